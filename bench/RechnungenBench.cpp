// Invoice searches, totals and loading on a data set of a grower's decades:
// 2,000 customers, 200 wines, 20 price lists, 50,000 invoices, 500,000 items.
// Each benchmark also reports the time to read the invoice and item files
// once from the page cache ("Lesen_ms") and its own time as a multiple of it
// ("xLesen").
//
// The data set is the sample business of "rebkontor-cli beispieldaten" in the
// benchmark size, on 31 December 2026. It is generated once per seed into
// $REBKONTOR_BENCH_DIR, or else /dev/shm or $TMPDIR, and reused by later runs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "Beispielbetrieb.h"
#include "Rohlesen.h"
#include "cli/Beispieldaten.h"
#include "model/Datenbestand.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/File.h"
#include "storage/GenericList.h"
#include "storage/GenericSortableList.h"

namespace {

constexpr std::uint32_t kSeed = 20261231;

const std::string& Daten() {
    static const std::string verzeichnis =
        Beispielbetrieb("rebkontor-beispielbetrieb", Beispieldaten::Umfang::Benchmark(), kSeed,
                        Datum(31, 12, 2026)) +
        "/daten";
    return verzeichnis;
}

std::string Rechnungen() {
    return Daten() + "/rechnungen.dat";
}
std::string Posten() {
    return Daten() + "/rechnungsposten.dat";
}

// The fastest of several reads of both files, in seconds.
double Lesezeit() {
    static const double sekunden = [] {
        double beste = 1e9;
        for (int i = 0; i < 50; ++i) {
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(RohLesen(Rechnungen()) + RohLesen(Posten()));
            const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
            beste = std::min(beste, dauer.count());
        }
        return beste;
    }();
    return sekunden;
}

Datenbestand& Bestand() {
    static std::unique_ptr<Datenbestand> bestand = [] {
        auto b = std::make_unique<Datenbestand>(Daten());
        b->KundenEinlesen();
        return b;
    }();
    return *bestand;
}

RechnungsVerwaltung& Rv() {
    return *Bestand().GetVerwaltungen().rechnungsVerwaltung;
}

template <typename F>
void Messen(benchmark::State& state, F&& f) {
    const double lesezeit = Lesezeit();
    double summe = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
        summe += dauer.count();
    }
    state.counters["Lesen_ms"] = lesezeit * 1e3;
    state.counters["xLesen"] = summe / static_cast<double>(state.iterations()) / lesezeit;
}

void BM_DateienLesen(benchmark::State& state) {
    Messen(state, [] { benchmark::DoNotOptimize(RohLesen(Rechnungen()) + RohLesen(Posten())); });
}

void BM_RechnungenUndPostenLaden(benchmark::State& state) {
    Messen(state, [] {
        RechnungsVerwaltung rechnungen(Rechnungen());
        PostenVerwaltung posten(Posten());
        benchmark::DoNotOptimize(rechnungen.Anzahl() + static_cast<int>(posten.Anzahl()));
    });
}

void BM_DatenbestandLaden(benchmark::State& state) {
    Daten();
    const double lesezeit = Lesezeit();
    double summe = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto bestand = std::make_unique<Datenbestand>(Daten());
        bestand->KundenEinlesen();
        const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
        summe += dauer.count();
        // Saving at shutdown is not loading.
        state.PauseTiming();
        bestand.reset();
        state.ResumeTiming();
    }
    state.counters["Lesen_ms"] = lesezeit * 1e3;
    state.counters["xLesen"] = summe / static_cast<double>(state.iterations()) / lesezeit;
}

void BM_SucheNachBetrag(benchmark::State& state) {
    // The total of an invoice from the middle of the file, with a cent of
    // tolerance: a handful of hits.
    Rechnung* r = Rv().GetRechnung(Rv().Anzahl() / 2);
    const float betrag = r->GetSumme(true);
    Messen(state, [&] {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenNachNummerOderBetrag(-1, betrag, 0.01f, liste);
        benchmark::DoNotOptimize(liste.Count());
    });
}

void BM_SucheNachNummer(benchmark::State& state) {
    const std::int32_t nummer = Rv().GetRechnung(Rv().Anzahl() / 3)->nummer;
    Messen(state, [&] {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenNachNummerOderBetrag(nummer, 0.0f, 0.0f, liste);
        benchmark::DoNotOptimize(liste.Count());
    });
}

void NachDatum(benchmark::State& state, Datum erfasstVon, Datum erfasstBis, Datum von, Datum bis,
               bool mitErfasst, bool mitDatum) {
    Messen(state, [&] {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenNachDatum(liste, erfasstVon.Julian(), erfasstBis.Julian(), von.Julian(),
                                    bis.Julian(), mitErfasst, mitDatum, false);
        benchmark::DoNotOptimize(liste.Count());
    });
}

// The invoice filter's default: dated in the last three weeks.
void BM_SucheNachDatum_3Wochen(benchmark::State& state) {
    NachDatum(state, Datum(), Datum(), Datum(10, 12, 2026), Datum(31, 12, 2026), false, true);
}

// A year five years back: the search reads every newer invoice first.
void BM_SucheNachDatum_Jahr2021(benchmark::State& state) {
    NachDatum(state, Datum(), Datum(), Datum(1, 1, 2021), Datum(31, 12, 2021), false, true);
}

// A capture range over everything: every invoice is a hit.
void BM_SucheNachErfassung_Alle(benchmark::State& state) {
    NachDatum(state, Datum(1, 1, 1990), Datum(31, 12, 2030), Datum(), Datum(), true, false);
}

void BM_SucheNachKunde(benchmark::State& state) {
    const std::int32_t kunde = Rv().GetRechnung(Rv().Anzahl() - 1)->kunde;
    Messen(state, [&] {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenVonKunde(kunde, liste, false);
        benchmark::DoNotOptimize(liste.Count());
    });
}

// The total of every invoice, as the invoice list shows it for its hits.
void BM_SummeAllerRechnungen(benchmark::State& state) {
    GenericList<Rechnung> alle;
    Rv().GetRechnungenNachDatum(alle, 0, 0, 0, 0, false, false, false);
    Messen(state, [&] {
        float summe = 0.0f;
        for (unsigned i = 0; i < alle.Count(); ++i) {
            summe += alle[i].GetSumme(true);
        }
        benchmark::DoNotOptimize(summe);
    });
}

// The items of the bottle list for invoices dated in one year.
void BM_FlaschenPosten_Jahr2021(benchmark::State& state) {
    Customizer& c = *Bestand().GetVerwaltungen().customizer;
    c.filterMit1 = 0;
    c.filterMit2 = 1;
    c.filterVon2 = static_cast<std::int32_t>(Datum(1, 1, 2021).Julian());
    c.filterBis2 = static_cast<std::int32_t>(Datum(31, 12, 2021).Julian());
    Messen(state, [&] {
        GenericSortableList<RechnungsVerwaltung::FlaschenPosten> liste;
        Rv().GetFlaschenPosten(liste);
        benchmark::DoNotOptimize(liste.Count());
    });
}

}  // namespace

BENCHMARK(BM_DateienLesen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RechnungenUndPostenLaden)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatenbestandLaden)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SucheNachBetrag)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SucheNachNummer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SucheNachDatum_3Wochen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SucheNachDatum_Jahr2021)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SucheNachErfassung_Alle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SucheNachKunde)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummeAllerRechnungen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlaschenPosten_Jahr2021)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
