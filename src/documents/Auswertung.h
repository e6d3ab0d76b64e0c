#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/Tabelle.h"
#include "storage/Datum.h"

struct Verwaltungen;

// The sales figures of a period, for the statistics: revenue per month beside
// the same months of the year before, bottles and revenue per wine, the
// customers by revenue, and the stock of each wine with how long it lasts at
// the pace of the period.
//
// Counted are the invoices that are not deleted and whose date lies in the
// period, the date being the one the invoice counts by (its own, or the day
// it was captured when it has none; see Rechnungsbetrag). Every amount is the
// printed invoice's, in cents, from Rechnungsbetrag. Texts are Windows-1252.
class Auswertung {
  public:
    enum class Ansicht { Umsatz, Weine, Kunden, Bestand };
    static constexpr Ansicht kAnsichten[] = {Ansicht::Umsatz, Ansicht::Weine, Ansicht::Kunden,
                                             Ansicht::Bestand};

    // Below this many months of stock a wine is to be bottled or bought.
    static constexpr double kKnappeReichweite = 3.0;

    // One month of the period, and the same month a year before (over the
    // same days when the period begins or ends inside the month).
    struct Monat {
        int jahr = 0;
        int monat = 0;  // 1 to 12
        unsigned rechnungen = 0;
        std::int64_t netto = 0;
        std::int64_t brutto = 0;
        unsigned vorjahrRechnungen = 0;
        std::int64_t vorjahrNetto = 0;
        std::int64_t vorjahrBrutto = 0;
    };

    // A wine sold in the period. The revenue is the sum of its invoice
    // lines, as printed: gross when the prices include VAT, else net.
    struct Wein {
        std::int32_t nummer = 0;
        // False when the catalogue no longer has the wine; its texts are
        // then "N/A" and empty.
        bool bekannt = false;
        std::string name;
        std::string bezeichnung;
        std::string fuellmenge;
        std::int64_t flaschen = 0;
        std::int64_t umsatz = 0;
    };

    // A customer with invoices in the period; the revenue is what the
    // invoices ask for (gross).
    struct Kunde {
        std::int32_t nummer = 0;
        bool bekannt = false;
        std::string name;
        std::string ort;
        unsigned rechnungen = 0;
        std::int64_t flaschen = 0;
        std::int64_t umsatz = 0;
        // The newest invoice's date.
        Datum letzteRechnung;
    };

    // A wine of the catalogue with its stock and the pace of the period.
    struct Bestand {
        std::int32_t nummer = 0;
        std::string name;
        std::string bezeichnung;
        std::string fuellmenge;
        std::int32_t bestand = 0;
        std::int64_t flaschen = 0;
        // Bottles sold per month of the period.
        double proMonat = 0;
        // How many months the stock lasts at that pace; none when nothing
        // was sold (it lasts for ever), 0 when there is none left.
        std::optional<double> reichweite;

        bool Knapp() const { return reichweite && *reichweite < kKnappeReichweite; }
    };

    // The figures of the period from `von` to `bis` (both included). A
    // period whose end lies before its start, or that has an invalid date,
    // gives no figures. Reads the managers only.
    static Auswertung Berechnen(Verwaltungen& verwaltungen, Datum von, Datum bis);

    // The day a year before: 29 February becomes 28 February.
    static Datum Vorjahr(Datum tag);
    // How many months the period covers: each month as the share of its
    // days that lie in the period (1.1. to 31.12. is 12, 1.2. to 14.2.2026
    // is 0.5).
    static double Monate(Datum von, Datum bis);

    // The table of a view, as the dialog shows it and the files hold it;
    // without rows when no invoice lies in the period.
    ::Tabelle TabelleVon(Ansicht ansicht) const;
    // "Umsatz je Monat", "Weine", "Kunden", "Bestand und Reichweite".
    static std::string Titel(Ansicht ansicht);
    // "1.1.2026 bis 6.12.2026"
    std::string Zeitraum() const;
    // The currency the settings sum in ("EUR").
    const std::string& Waehrung() const { return waehrung; }
    // "3 Rechnungen ohne gültiges Datum nicht enthalten"; empty when all
    // invoices have one.
    std::string OhneDatumHinweis() const;

    Datum von;
    Datum bis;
    // Whether the prices include VAT, so that the wines' revenue is gross.
    bool mwstEnthalten = false;
    std::string waehrung;
    // The invoices counted, and those left out for want of a valid date.
    unsigned rechnungen = 0;
    unsigned ohneDatum = 0;
    double monateImZeitraum = 0;

    std::vector<Monat> monate;
    // Most bottles first.
    std::vector<Wein> weine;
    // Most revenue first.
    std::vector<Kunde> kunden;
    // Every wine of the catalogue, the shortest reach first, those that
    // last for ever last.
    std::vector<Bestand> bestand;
};
