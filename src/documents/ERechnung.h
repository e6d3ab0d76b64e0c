#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Firmendaten;
class Rechnung;
struct Verwaltungen;

// An invoice as the European e-invoice standard (EN 16931) sees it: the
// same number, date, items and final amount as the printed customer
// invoice, with the seller from the Firmendaten and the buyer from the
// customer file. Texts are UTF-8; amounts are whole cents, the net unit
// price in 1/10000 of the currency unit, the VAT rate in 1/100 percent.
struct ERechnung {
    struct Partei {
        std::string kennung;  // buyer: the customer number
        std::string name;
        std::string kontakt;
        std::string strasse;
        std::string plz;
        std::string ort;
        std::string land;
        std::string telefon;
        std::string email;
        std::string ustId;
        std::string steuernummer;
    };
    struct Zeile {
        std::int32_t weinNummer = 0;
        std::string name;
        std::string beschreibung;
        std::int32_t menge = 0;
        std::int64_t nettoPreis = 0;  // per bottle, 1/10000
        std::int64_t netto = 0;       // line net amount, cents
    };

    std::int32_t nummer = 0;
    // Dates as year, month, day.
    int jahr = 0, monat = 0, tag = 0;
    int faelligJahr = 0, faelligMonat = 0, faelligTag = 0;
    std::string referenz;
    std::string bemerkung;
    std::string zahlungsbedingungen;
    Partei verkaeufer;
    Partei kaeufer;
    std::string iban;
    std::string bic;
    std::string kontoinhaber;
    std::int64_t satz = 0;  // VAT rate, 1/100 percent
    std::vector<Zeile> zeilen;
    std::int64_t summeNetto = 0;
    std::int64_t mwst = 0;
    std::int64_t brutto = 0;
    std::int64_t rundung = 0;
    std::int64_t zahlbar = 0;

    // Makes the e-invoice of `rechnung`. `referenz` is the buyer's
    // reference; empty gives the customer number. Without a result,
    // `fehler` says in German (Windows-1252) what is missing.
    static std::optional<ERechnung> Aus(const Rechnung& rechnung, Verwaltungen& verwaltungen,
                                        const Firmendaten& firma, const std::string& referenz,
                                        std::string& fehler);

    // A Windows-1252 text as UTF-8 that XML can carry: control characters,
    // which it cannot even as references, become blanks.
    static std::string Text(std::string cp1252);

    // Every amount of the XML is written by this one function: a whole
    // number of 1/10^stellen as a decimal, "-4.2017" for -42017 with four
    // places, "0.05" for 5 with two.
    static std::string Dezimal(std::int64_t wert, int stellen);
    // A cent amount as "12.34" (or "-0.05").
    static std::string Betrag(std::int64_t cent) { return Dezimal(cent, 2); }
    // The unit price as "12.3456".
    static std::string Preis(std::int64_t zehntausendstel) { return Dezimal(zehntausendstel, 4); }
};
