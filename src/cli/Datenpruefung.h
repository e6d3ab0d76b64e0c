#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Kunde.h"
#include "model/Rechnung.h"

// Checks a data directory for the damage the program cannot see or mend by
// itself, reading the raw files and changing nothing (no manager is opened,
// so no file is created or rewritten):
//
//  - record files whose length is no whole number of records, and a settings
//    file of another length than 336 bytes or with values no dialog stores
//    (which the program sets back to their defaults);
//  - customer numbers and wine numbers that occur more than once;
//  - invoices whose id differs from their position in the file;
//  - item chains that leave the file, run in a circle, pass items of another
//    invoice, run into another invoice's chain or jump forward (where the
//    program stops reading them); customer chains through the invoices alike;
//  - invoices (not deleted) whose customer is not in the customer file;
//  - items of invoices that were never stored, also where the id was given
//    to a later invoice, and items their invoice never took into its chain;
//  - price list files without a name, names without a file, more than 20
//    price lists;
//  - reminder records whose level is outside 0 to 3, that name an invoice
//    twice or one the invoice file does not hold;
//  - what an interrupted sample business left behind.
//
// Every walk along a chain visits each record at most once, so no damage can
// make the check run on.
class Datenpruefung {
  public:
    explicit Datenpruefung(std::string verzeichnis);

    // One German line (Windows-1252) per problem, in the order above.
    std::vector<std::string> Pruefen();

  private:
    // The file's bytes; nothing when it is missing (which is no problem) or
    // unreadable (which is).
    std::optional<std::string> Lies(const std::string& name);
    // Hands the image of each whole record of the file to f, read in
    // pieces; the file's length, or nothing as for Lies.
    template <typename F>
    std::optional<std::size_t> SaetzeLesen(const std::string& name, std::size_t satz, F f);
    // The names in the directory, sorted.
    std::vector<std::string> Namen() const;
    void Laenge(const std::string& name, std::size_t laenge, std::size_t satz);
    void Kunden();
    void Weine();
    void Rechnungen();
    // The dunning file: whole records, levels 0 to 3, each invoice once and
    // one the invoice file holds.
    void Mahnungen();
    void Postenketten();
    void Kundenketten();
    void UnbekannteKunden();
    void NieGespeicherte();
    void Preislisten();
    void Reste();
    void Problem(const std::string& text) { probleme_.push_back(text); }
    std::string Datei(const std::string& name) const;
    std::string RechnungsName(std::size_t position) const;

    std::string verzeichnis_;
    std::vector<std::string> probleme_;
    std::vector<Kunde> kunden_;
    // Of each invoice only what the checks look at: one small record per
    // invoice, so that memory grows with the invoice count alone.
    struct Kopf {
        std::int32_t id = -1;
        std::int32_t nummer = -1;
        std::int32_t kunde = -1;
        std::int32_t postenKopf = -1;
        std::int32_t vorigeRechnung = -1;
        bool geloescht = false;
    };
    std::vector<Kopf> rechnungen_;
    struct Posten {
        std::int32_t rechnung = -1;
        std::int32_t naechster = -1;
    };
    std::vector<Posten> posten_;
    // Whether the chain walk of the invoice at a position reported damage,
    // and whether a walk reached the item at an index.
    std::vector<bool> ketteKaputt_;
    std::vector<bool> erreicht_;
};
