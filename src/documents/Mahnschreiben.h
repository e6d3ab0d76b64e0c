#pragma once

#include <optional>
#include <string>
#include <vector>

#include "documents/Canvas.h"
#include "model/Firmendaten.h"
#include "model/Kunde.h"
#include "model/Mahntexte.h"
#include "model/OffenePosten.h"
#include "storage/Datum.h"
#include "windowing/PrintJob.h"

class Customizer;

// A reminder letter, laid out as fixed-pitch text like the customer invoice:
// the letterhead (or, without a picture, the seller's block), the customer's
// address, the date, the level's title and text, the table of the reminded
// invoices, the fee, the total now due and, when the seller data hold an
// IBAN, the payment code for that total with the remittance text
// "Mahnung <Rechnungsnummern>". A letter too long for one sheet goes on
// over the next ones. The letter keeps copies of everything it prints.
class Mahnschreiben {
  public:
    // `kunde` may be null (deleted since): the address reads "N/A".
    Mahnschreiben(const Mahnbrief& brief, const Kunde* kunde, const Firmendaten& firma,
                  const Mahntexte& texte, const Customizer* einstellungen, Datum datum);

    // The letter as a print job for the printer, the preview and PDF files.
    PrintJob Auftrag() const;

    int Seiten() const { return seiten_; }
    void Layout(Canvas& canvas, int seite, int left, int top, int width, int height) const;

    // The title, the text with its placeholders filled in, and the lines of
    // the table and totals, as printed (Windows-1252), for the letter's
    // check and the command line.
    std::string Titel() const;
    std::vector<std::string> Textzeilen() const;
    std::vector<std::string> Tabellenzeilen() const;
    // The payment code's text, empty when the letter carries none; and
    // what the user is to be told about a missing code.
    const std::string& GiroCodeText() const { return giroText_; }
    const std::string& Hinweis() const { return hinweis_; }
    const Mahnbrief& Brief() const { return brief_; }

  private:
    struct Zeile {
        std::string text;
        double groesse = 1;
        bool fett = false;
        // Lines of space after it.
        double vorschub = 1;
    };
    std::vector<Zeile> Fluss() const;
    // Lays out the flow, returns the number of pages it takes; draws page
    // `seite` on `canvas` when given.
    int Setzen(Canvas* canvas, int seite, int left, int top, int width, int height) const;
    std::string Betrag(std::int64_t cent) const;

    Mahnbrief brief_;
    std::optional<Kunde> kunde_;
    Firmendaten firma_;
    Mahntexte::Stufe stufe_;
    std::string waehrung_;
    Datum datum_;
    std::optional<Modulmatrix> giroCode_;
    std::string giroText_;
    std::string hinweis_;
    int seiten_ = 1;
};
