#pragma once

#include <cstdint>
#include <string>

#include "storage/Datum.h"

// A realistic sample business for a new user to try the program on, and the
// data set of the benchmarks: a wine estate in Rheinhessen with customers near
// and far (German names, streets, postcodes and towns of the wine regions and
// of the big cities), customer groups by region, price lists with DM and Euro
// prices, a catalogue of German grape varieties over several vintages with
// their stock, and the invoices of the last years with their items, captured
// on working days with the season's rush before Christmas.
//
// Everything is written through the managers, as the program writes it, with
// the clock held at the moment each record is captured. The same size, seed
// and reference day give the same bytes (in the same time zone).
class Beispieldaten {
  public:
    struct Umfang {
        int kunden = 250;
        int weine = 60;
        int preislisten = 5;
        int rechnungen = 2500;
        // Items of all invoices together; negative: six per invoice.
        std::int64_t posten = -1;

        // The benchmarks' data set, a grower's two decades: 2,000 customers,
        // 200 wines, 20 price lists, 50,000 invoices, 500,000 items.
        static Umfang Benchmark();
        std::int64_t Posten() const { return posten >= 0 ? posten : 6 * std::int64_t{rechnungen}; }
    };

    static constexpr std::uint32_t kStandardSeed = 1;
    static constexpr int kMaxPreislisten = 20;
    static constexpr const char* kGruppen[] = {"Vor Ort", "Mainz", "Worms",    "Alzey", "Pfalz",
                                               "Mosel",   "Nahe",  "Rheingau", "Fernab"};

    // Why the directory must not be filled: a German sentence in
    // Windows-1252 when it already holds customers, wines, invoices, items,
    // price lists or customer groups; empty when it may be filled.
    static std::string Hindernis(const std::string& verzeichnis);

    // Fills the existing, empty directory. The business's "now" is 17:00
    // local time on `stichtag`; the invoices reach back a few years from
    // there (three at least, twenty at most). The clock is fixed while the
    // data is written and runs on the system time again afterwards. The
    // sample estate's seller data are entered only where there are none.
    // Raises the managers' MessageException when a file cannot be written.
    static void Erzeugen(const std::string& verzeichnis, const Umfang& umfang, std::uint32_t seed,
                         Datum stichtag);

    // Fills the existing data directory as Erzeugen does, but so that a
    // failure (a full disk) leaves it as it was: the business is written into
    // a fresh folder inside it, together with copies of the files already
    // there, synced, and only then moved in, file by file. On failure the
    // fresh folder goes, and a MessageException with a German text says what
    // happened. The caller holds the directory's lock.
    static void Anlegen(const std::string& verzeichnis, const Umfang& umfang, std::uint32_t seed,
                        Datum stichtag);

    // Whether the directory holds seller data ("firmendaten.txt"), which
    // Erzeugen and Anlegen keep instead of entering the sample estate's.
    static bool FirmendatenVorhanden(const std::string& verzeichnis);

    // The prefix of the fresh folder; one a crash left behind is removed by
    // the next Anlegen.
    static constexpr const char* kNeuerOrdner = ".beispieldaten-";

    // 17:00 local time on the day, as seconds since 1970.
    static std::int64_t Zeitpunkt(Datum tag, int sekundeDesTages = 17 * 3600);
};
