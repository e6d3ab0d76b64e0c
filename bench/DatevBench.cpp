// The DATEV export of one year of the benchmark business (2,000 customers,
// 200 wines, 20 price lists, 50,000 invoices, 500,000 items, on 31 December
// 2026): the bytes of the batch for 2026, built from the data set as the
// window holds it open. Reported with the time to read the invoice and item
// files once from the page cache ("Lesen_ms") and its own time as a multiple
// of it ("xLesen"; the target is 3 at most). Both are measured as the
// process's CPU time (user and system, the copy from the page cache
// included), so that other programs on a busy machine do not count.
//
// BM_DatevVorschau is what the export dialog does on every keystroke in the
// period's fields: the count and sum of the year.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "Beispielbetrieb.h"
#include "Rohlesen.h"
#include "documents/DatevExport.h"
#include "model/Datenbestand.h"
#include "model/Firmendaten.h"

namespace {

const std::string& Daten() {
    static const std::string verzeichnis =
        Beispielbetrieb("rebkontor-beispielbetrieb", Beispieldaten::Umfang::Benchmark(), 20261231,
                        Datum(31, 12, 2026)) +
        "/daten";
    return verzeichnis;
}

// The fastest of several reads of both files, in seconds.
double Lesezeit() {
    static const double sekunden = [] {
        double beste = 1e9;
        for (int i = 0; i < 50; ++i) {
            const double start = Rechenzeit();
            benchmark::DoNotOptimize(RohLesen(Daten() + "/rechnungen.dat") +
                                     RohLesen(Daten() + "/rechnungsposten.dat"));
            beste = std::min(beste, Rechenzeit() - start);
        }
        return beste;
    }();
    return sekunden;
}

Datenbestand& Bestand() {
    static std::unique_ptr<Datenbestand> bestand = [] {
        auto b =
            std::make_unique<Datenbestand>(Daten(), Datenbestand::Beobachter{}, Zugriff::NurLesen);
        b->KundenEinlesen();
        Firmendaten& firma = b->GetFirmendaten();
        firma.datev.vorhanden = true;
        firma.datev.beraternummer = "29098";
        firma.datev.mandantennummer = "55003";
        return b;
    }();
    return *bestand;
}

template <typename F>
void Messen(benchmark::State& state, F&& f) {
    const double lesezeit = Lesezeit();
    double summe = 0.0;
    for (auto _ : state) {
        const double start = Rechenzeit();
        f();
        summe += Rechenzeit() - start;
    }
    state.counters["Lesen_ms"] = lesezeit * 1e3;
    state.counters["xLesen"] = summe / static_cast<double>(state.iterations()) / lesezeit;
}

void BM_DatevJahr(benchmark::State& state) {
    Datenbestand& bestand = Bestand();
    std::size_t buchungen = 0;
    Messen(state, [&] {
        std::string fehler;
        const std::optional<DatevExport::Stapel> stapel =
            DatevExport::Sammeln(bestand.GetVerwaltungen(), bestand.GetFirmendaten(),
                                 Datum(1, 1, 2026), Datum(31, 12, 2026), fehler);
        if (!stapel) {
            state.SkipWithError(fehler.c_str());
            return;
        }
        buchungen = stapel->buchungen.size();
        benchmark::DoNotOptimize(
            DatevExport::Text(*stapel, bestand.GetFirmendaten(), "bench", 1798700000).size());
    });
    state.counters["Buchungen"] = static_cast<double>(buchungen);
}

void BM_DatevVorschau(benchmark::State& state) {
    Datenbestand& bestand = Bestand();
    Messen(state, [&] {
        benchmark::DoNotOptimize(DatevExport::Summe(DatevExport::Belege(
            bestand.GetVerwaltungen(), Datum(1, 1, 2026), Datum(31, 12, 2026))));
    });
}

}  // namespace

BENCHMARK(BM_DatevJahr)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_DatevVorschau)->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
