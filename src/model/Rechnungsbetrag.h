#pragma once

#include <cstdint>
#include <string>

#include "model/PostenVerwaltung.h"
#include "storage/Datum.h"

class Customizer;
class Rechnung;

// The amounts of one invoice in whole cents, each exactly what the printed
// invoice shows: "%.2f" of the invoice's single-precision arithmetic. The
// page, the e-invoice, the dialogs, the amount search and the command line
// all take their amounts from here, so that no two of them can differ by a
// cent. The settings choose the currency (Euro or DM prices), the VAT rate
// and whether the prices include VAT; without settings the prices are DM
// and no VAT is added.
struct Rechnungsbetrag {
    // One item: its unit price and its line amount (quantity × price).
    struct Posten {
        std::int64_t preis = 0;
        std::int64_t betrag = 0;
    };

    Rechnungsbetrag(const Rechnung& rechnung, const Customizer* einstellungen);

    // The sum of the items ("Summe"): the net sum when the prices exclude
    // VAT, the final amount when they include it.
    std::int64_t summe = 0;
    // The VAT added on top of the sum, or contained in it.
    std::int64_t mwst = 0;
    // What the customer pays.
    std::int64_t endbetrag = 0;
    std::int64_t eingegangen = 0;
    // The final amount less the amount received; never negative.
    std::int64_t offen = 0;
    // Whether the invoice has a date of its own that the customer invoice
    // prints (a year from 1976 to 9999), and the date that counts for it:
    // that date, or else the day the invoice was captured.
    bool datiert = false;
    Datum datum;

    static Posten Von(const PostenVerwaltung::Posten& posten, const Customizer* einstellungen);
    // The sum of the items of a chain, for searches that walk the invoice
    // file without reading whole invoices.
    static std::int64_t Summe(const PostenVerwaltung& posten, std::int32_t kopf,
                              std::int32_t rechnung, const Customizer* einstellungen);

    // A single-precision amount in cents as "%.2f" rounds it (to the
    // nearest, a half to the even cent); "nan" is 0, and a value beyond
    // ±10^15 cents, which only a damaged file holds, stops there.
    static std::int64_t Cent(float betrag);
    // Cents as "%.2f" writes them: "12.34", "-0.05".
    static std::string Text(std::int64_t cent);
};
