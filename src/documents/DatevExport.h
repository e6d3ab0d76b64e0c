#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/DatevExporte.h"
#include "storage/Datum.h"

class Firmendaten;
struct Verwaltungen;

// The invoices of a period as the booking batch the tax advisor's DATEV
// imports ("DATEV-Format", header version 700, category 21 "Buchungsstapel",
// format version 13): a header line, the line of the column headings and one
// booking per invoice, Windows-1252 with CR LF, fields separated by ";",
// texts in double quotes, amounts with a decimal comma.
//
// Each invoice is booked with the final amount its printed page shows, on
// the debit side of the customer's debitor account against the revenue
// account, whose automatic VAT splits it for the advisor. Payments are not
// booked: the program does not know when money came in; the advisor books
// them from the bank statement.
class DatevExport {
  public:
    static constexpr std::size_t kSpalten = 125;
    static constexpr std::size_t kKopffelder = 31;
    // DATEV takes no more bookings in one file.
    static constexpr std::size_t kHoechstensBuchungen = 99999;
    // The largest amount a booking can carry: ten digits before the comma.
    static constexpr std::int64_t kHoechstbetrag = 999999999999;

    // The column headings of format version 13, in DATEV's order (UTF-8,
    // as the sample file of DATEV's format description spells them).
    static const std::array<const char*, kSpalten>& Spalten();
    // The position of a heading, or kSpalten when the format has none of
    // that name.
    static std::size_t Spalte(std::string_view ueberschrift);

    // One invoice of the period.
    struct Beleg {
        std::int32_t id = 0;
        std::int32_t nummer = 0;
        std::int32_t kunde = 0;
        // The date the invoice shows: its own, or the day it was captured.
        Datum datum;
        // Its final amount in cents, as printed.
        std::int64_t cent = 0;
    };
    // The invoices that are not deleted, whose date lies from `von` to `bis`
    // and whose final amount is not zero (DATEV takes no booking of 0,00),
    // in the order of the invoice file.
    static std::vector<Beleg> Belege(Verwaltungen& verwaltungen, Datum von, Datum bis);
    static std::int64_t Summe(const std::vector<Beleg>& belege);

    struct Buchung {
        Beleg beleg;
        std::int64_t debitor = 0;
        Datum faellig;
        // "Rechnung 1108 Hans Acker", Windows-1252, at most 60 characters.
        std::string text;
    };
    struct Stapel {
        Datum von;
        Datum bis;
        // The first day of the fiscal year the period lies in.
        Datum wjBeginn;
        std::string erloeskonto;
        std::vector<Buchung> buchungen;
        std::int64_t summe = 0;
    };
    // Everything the batch of the period will hold, or nothing with the
    // German reason (Windows-1252) in `fehler`: settings missing or wrong,
    // prices not in Euro, no revenue account for the VAT rate, a period
    // that ends before it begins or reaches into the next fiscal year, a
    // customer whose debitor account does not fit the account length, an
    // amount too large or too many invoices for one file.
    static std::optional<Stapel> Sammeln(Verwaltungen& verwaltungen, const Firmendaten& firma,
                                         Datum von, Datum bis, std::string& fehler);

    // The bytes of the file. `benutzer` is who exports it, `jetzt` when
    // (seconds since 1970, written in local time).
    static std::string Text(const Stapel& stapel, const Firmendaten& firma,
                            const std::string& benutzer, std::int64_t jetzt);
    // The line that remembers the export in DatevExporte.
    static DatevExporte::Eintrag Vermerk(const Stapel& stapel, std::int64_t jetzt);

    // "EXTF_Buchungsstapel_20261101_20261130.csv": DATEV's batch processing
    // shows only files whose names begin with "EXTF_".
    static std::string Dateiname(Datum von, Datum bis);
    // The batch's label in the advisor's list, at most 30 characters:
    // "Rechnungsausgang 11/2026" for a calendar month, else
    // "Rechnungen 01.10.26-31.12.26".
    static std::string Bezeichnung(Datum von, Datum bis);
    // The login name, as the header may carry it (letters, digits and "_",
    // at most 25).
    static std::string Benutzer();
    // The previous calendar month of `heute`, the period most exports are
    // made for.
    static void Vormonat(Datum heute, Datum& von, Datum& bis);
};
