#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "storage/Fehler.h"
#include "storage/File.h"

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
// make the check run on. Of each invoice and customer it keeps a few
// numbers, of the items nothing: the item chains are walked all at once in
// one pass over the item file, so that memory grows with the invoice count
// alone. Only where a chain jumps forward are the items held in memory.
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
    // What is wrong with a record file's length; empty when nothing.
    std::string LaengenFehler(const std::string& name, std::size_t laenge, std::size_t satz) const;
    void Laenge(const std::string& name, std::size_t laenge, std::size_t satz);
    void Lesefehler(const std::string& name, const Fehler& fehler);
    void Kunden();
    void Weine();
    void Rechnungen();
    // The dunning file: whole records, levels 0 to 3, each invoice once and
    // one the invoice file holds.
    void Mahnungen();
    void Postenketten();
    // Walks every item chain at once from the end of the item file to its
    // start. False where a chain jumps forward (that walk cannot follow it)
    // or the file cannot be read (then *fehler says why).
    bool KettenZugleich(std::optional<Fehler>& fehler);
    // Walks the chains one after the other over all items held in memory.
    void KettenNacheinander(std::optional<Fehler>& fehler);
    void Kundenketten();
    // The same for the customers' invoice chains.
    bool KundenkettenZugleich();
    void KundenkettenNacheinander();
    void UnbekannteKunden();
    void NieGespeicherte();
    void Preislisten();
    void Reste();
    void Problem(const std::string& text) { probleme_.push_back(text); }
    std::string Datei(const std::string& name) const;
    std::string RechnungsName(std::size_t position) const;
    // What an item chain's walk finds, for the invoice at position n.
    std::string KetteAusserhalb(std::size_t n, std::int64_t posten) const;
    std::string KetteFremd(std::size_t n, std::int64_t posten, std::int32_t rechnung) const;
    std::string KetteMuendet(std::size_t n, std::int64_t posten, std::size_t andere) const;
    // The same for the customer at position k.
    std::string KundenketteAusserhalb(std::size_t k, std::int64_t rechnung) const;
    std::string KundenketteFremd(std::size_t k, std::size_t rechnung) const;
    std::string KundenketteMuendet(std::size_t k, std::size_t rechnung, std::size_t andere) const;

    std::string verzeichnis_;
    std::vector<std::string> probleme_;
    struct KundenKopf {
        std::int32_t nummer = 0;
        std::int32_t letzteRechnung = -1;
    };
    std::vector<KundenKopf> kunden_;
    // Of each invoice only what the checks look at: one small record per
    // invoice, so that memory grows with the invoice count alone.
    struct Kopf {
        std::int32_t id = -1;
        std::int32_t nummer = -1;
        std::int32_t kunde = -1;
        std::int32_t postenKopf = -1;
        std::int32_t vorigeRechnung = -1;
    };
    std::vector<Kopf> rechnungen_;
    std::vector<bool> geloescht_;
    // The item file stays open from its length to the walk of the chains.
    // Its problems go where the first of them would stand (probleme_'s
    // length then); without a readable file no chain is checked.
    File postenDatei_;
    std::int64_t postenLaenge_ = 0;
    std::int64_t postenAnzahl_ = 0;
    std::size_t postenStelle_ = 0;
    bool postenLesbar_ = true;
    // Whether the chain walk of the invoice at a position reported damage.
    std::vector<bool> ketteKaputt_;
    // The items no walk reached that name an invoice: index and invoice id,
    // by index.
    std::vector<std::pair<std::int32_t, std::int32_t>> unerreicht_;
};
