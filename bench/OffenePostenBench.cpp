// The open items dialog filled from the benchmarks' business (50,000
// invoices, 500,000 items) on 31 December 2026: every open invoice with its
// amounts, due date and reminder level, with and without "nur überfällige".
// Meant to stay well under a second.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "Beispielbetrieb.h"
#include "cli/Beispieldaten.h"
#include "dialogs/OffenePostenDlg.h"
#include "model/Datenbestand.h"
#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "windowing/FakeServices.h"
#include "windowing/FakeWindow.h"

namespace {

Datenbestand& Daten() {
    static const std::unique_ptr<Datenbestand> bestand = [] {
        const std::string daten =
            Beispielbetrieb("rebkontor-beispielbetrieb", Beispieldaten::Umfang::Benchmark(),
                            20261231, Datum(31, 12, 2026)) +
            "/daten";
        auto b =
            std::make_unique<Datenbestand>(daten, Datenbestand::Beobachter{}, Zugriff::NurLesen);
        b->KundenEinlesen();
        return b;
    }();
    return *bestand;
}

void Fuellen(benchmark::State& state) {
    Datenbestand& bestand = Daten();
    FakeServices app;
    app.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
    OffenePostenDlg dialog(bestand);
    FakeWindow& w = app.Show(dialog);
    w.Type(OffenePostenDlg::kStichtag, "31.12.2026");
    const bool alle = state.range(0) != 0;
    if (alle) {
        w.Click(OffenePostenDlg::kNurUeberfaellig);
    }
    // Each round a key date a day apart, so that every round fills anew.
    const std::string tage[] = {"30.12.2026", "31.12.2026"};
    unsigned runde = 0;
    for (auto _ : state) {
        w.Type(OffenePostenDlg::kStichtag, tage[runde++ % 2]);
        benchmark::DoNotOptimize(w.RowCount(OffenePostenDlg::kListe));
    }
    state.counters["Zeilen"] = static_cast<double>(w.RowCount(OffenePostenDlg::kListe));
}
BENCHMARK(Fuellen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
