#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "documents/Canvas.h"

class Firmendaten;

// The payment code German banking apps scan ("GiroCode"): an EPC QR code
// (EPC069-12, version 002) for a SEPA credit transfer that fills in payee,
// IBAN, amount and reference, so that neither side types them. Documents
// that ask for money (the customer invoice, reminders) build it with Fuer
// and draw it with Zeichnen where Masse says it fits.
class GiroCode {
  public:
    static constexpr const char* kBeschriftung = "Zahlen mit Code";
    // The largest amount a code carries, in cents (999,999,999.99).
    static constexpr std::int64_t kHoechstbetrag = 99999999999;
    // What the code holds of the payee's name and of the reference.
    static constexpr std::size_t kNameLaenge = 70;
    static constexpr std::size_t kZweckLaenge = 140;
    // The highest QR version the guidelines allow.
    static constexpr int kHoechsteVersion = 13;

    // The code's text: "BCD", version "002", character set "1" (UTF-8),
    // "SCT", the BIC (may be empty), the name (its first 70 characters),
    // the IBAN, "EUR" with the amount ("EUR12.34"), an empty purpose, an
    // empty structured reference, and the remittance text (its first 140
    // characters), joined by LF with nothing after the last. Name and
    // remittance text come in Windows-1252; the result is UTF-8.
    static std::string EpcText(const std::string& bic, const std::string& name,
                               const std::string& iban, std::int64_t cent,
                               const std::string& verwendungszweck);

    // The QR symbol of the text (libqrencode, byte mode, error correction
    // level M, the smallest version that holds it); none when that would
    // be above version 13 or the library fails.
    static std::optional<Modulmatrix> Symbol(const std::string& text);

    // What a document asking for `offen` cents prints: the code, or none.
    // None without reason to tell (prices not in Euro, no IBAN, the setting
    // "GiroCode auf Rechnungen drucken" off, nothing open); none with a
    // reason in `hinweis` (Windows-1252) when the seller data cannot make a
    // valid code, an invalid IBAN above all.
    struct Zahlung {
        std::string text;  // the EPC text, empty without a code
        std::optional<Modulmatrix> symbol;
        std::string hinweis;
    };
    static Zahlung Fuer(const Firmendaten& firma, bool euro, std::int64_t offen,
                        const std::string& verwendungszweck);

    // The room a code takes on a page of height `seitenHoehe` (device
    // units, the height of an A4 sheet): the symbol at least 26 mm of that
    // sheet wide, so that it stays 25 mm where a printer lays the page out
    // on its printable area; around it the quiet zone of four modules; and
    // above it the caption in small print. (links, oben) of Zeichnen is the
    // top left corner of all that, `breite` × `hoehe`.
    struct Masse {
        int seite = 0;     // of the symbol
        int ruhezone = 0;  // on every side of the symbol
        int schrift = 0;   // the caption's cell height
        int breite = 0;
        int hoehe = 0;
    };
    static Masse Platz(const Modulmatrix& symbol, int seitenHoehe);

    // Draws the caption and below it the symbol, each left-aligned with the
    // other, in the room of `masse` at (links, oben).
    static void Zeichnen(Canvas& canvas, const Modulmatrix& symbol, const Masse& masse, int links,
                         int oben);
};
