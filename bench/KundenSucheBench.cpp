// The live hit count of the customer search: the count runs in the timer
// tick after the user paused typing, over every customer, so it must stay
// far below the 200 ms of a tick also on a large customer file. 10,000
// customers; the surname prefix is one letter, the case that matches most.
//
// "Zaehlung" is one pause in the real dialog logic (type a letter, two timer
// ticks); "SearchKunden" is the bare scan of the manager beneath it.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "dialogs/KundenDialog.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "storage/ByteWriter.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "windowing/FakeServices.h"

namespace {

constexpr unsigned kKunden = 10000;

const char* const kNachnamen[] = {
    "Müller",     "Schmidt",  "Schneider", "Fischer", "Weber",    "Meyer", "Wagner",  "Becker",
    "Schulz",     "Hoffmann", "Koch",      "Richter", "Klein",    "Wolf",  "Neumann", "Schwarz",
    "Zimmermann", "Braun",    "Krüger",    "Hofmann", "Hartmann", "Lange", "Schmitt", "Werner",
    "Krause",     "Meier",    "Lehmann",   "Maurer",  "Huber",    "Mayer", "Kaiser",  "Fuchs",
    "Peters",     "Lang",     "Scholz",    "Möller",  "Weiß",     "Jung",  "Hahn",    "Vogel"};

struct Bestand {
    std::string wurzel;
    std::unique_ptr<PreisVerwaltung> preise;
    std::unique_ptr<GeoGruppe> gruppen;
    std::unique_ptr<KundenVerwaltung> kunden;
    Verwaltungen v;

    Bestand() {
        wurzel = std::filesystem::temp_directory_path().string() + "/rebkontor-kundensuche-" +
                 std::to_string(::getpid());
        std::filesystem::create_directories(wurzel + "/daten");
        // Written in one piece: adding 10,000 customers one by one would
        // measure the disk.
        std::mt19937 zufall(20261206);
        std::string bytes;
        ByteWriter out(bytes);
        for (unsigned i = 0; i < kKunden; ++i) {
            Kunde k(static_cast<std::int32_t>(i + 1));
            FixedText::Set(k.Nachname,
                           CodePage::Utf8ToCp1252(kNachnamen[zufall() % std::size(kNachnamen)]));
            FixedText::Set(k.Vorname, "Vorname");
            FixedText::Set(k.Strasse, "Weinbergstr. " + std::to_string(i % 200));
            k.PLZ = 54000 + static_cast<std::int32_t>(zufall() % 1000);
            FixedText::Set(k.Ort, "Bernkastel-Kues");
            out << k;
        }
        (void)File::ReplaceAtomically(wurzel + "/daten/kunden.dat", bytes);
        preise =
            std::make_unique<PreisVerwaltung>(wurzel + "/daten/weinlisten.txt", wurzel + "/daten");
        gruppen = std::make_unique<GeoGruppe>(wurzel + "/daten/geogruppe.txt");
        kunden = std::make_unique<KundenVerwaltung>(wurzel + "/daten/kunden.dat");
        v.preisVerwaltung = preise.get();
        v.geoGruppe = gruppen.get();
        v.kundenVerwaltung = kunden.get();
    }
    ~Bestand() {
        kunden.reset();
        std::error_code fehler;
        std::filesystem::remove_all(wurzel, fehler);
    }
};

Bestand& Daten() {
    static Bestand bestand;
    return bestand;
}

void Zaehlung(benchmark::State& state) {
    Bestand& b = Daten();
    FakeServices app;
    KundenDialog dialog(KundenDialog::kSuchen, b.v);
    FakeWindow& w = app.Show(dialog);
    // Two letters in turn, so that every round is a change of the form.
    const std::string buchstaben[] = {"M", "S"};
    unsigned runde = 0;
    for (auto _ : state) {
        w.Type(KundenDialog::kNachname, buchstaben[runde++ % 2]);
        w.FireTimer(KundenDialog::kZaehlTimer);
        w.FireTimer(KundenDialog::kZaehlTimer);
        benchmark::DoNotOptimize(w.Text(KundenDialog::kTreffer));
    }
    state.counters["Treffer"] = std::stod(w.Text(KundenDialog::kTreffer));
}
BENCHMARK(Zaehlung)->Unit(benchmark::kMicrosecond);

void SearchKunden(benchmark::State& state) {
    Bestand& b = Daten();
    Kunde muster;
    FixedText::Set(muster.Nachname, "S");
    unsigned treffer = 0;
    for (auto _ : state) {
        treffer = b.kunden->SearchKunden(muster, nullptr);
        benchmark::DoNotOptimize(treffer);
    }
    state.counters["Treffer"] = treffer;
}
BENCHMARK(SearchKunden)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
