// Whole commands as the user runs them, and the start-up repair of chain
// heads.
//
// BM_CliSucheNachBetrag runs "rebkontor-cli suche --betrag 100 --abweichung
// 5" as a process of its own on the benchmark business (2,000 customers, 200
// wines, 20 price lists, 50,000 invoices, 500,000 items) and reports its time
// as a multiple of "cat" reading the invoice and item files ("xCat"; the
// target is 8 at most), with the time of cat itself ("cat_ms").
//
// BM_Sichern runs "rebkontor-cli sichern --datei" on the benchmark business
// and BM_SicherungPruefen "rebkontor-cli sicherung-pruefen" on its backup
// (the check a restore makes first, the data check of the unpacked copy
// included), each reported as a multiple of "zip -q -r" packing the same
// data folder on the same machine in the same run ("xZip"; the target is 3
// at most), with the time of zip itself ("zip_ms").
//
// BM_KettenkoepfeReparieren opens a business of 20,000 customers and 200,000
// invoices whose invoice file is an older copy (150,000 invoices), so that
// most customers' chain heads lie behind it, and lets the start-up mend them.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "Beispielbetrieb.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "storage/File.h"

extern char** environ;

namespace {

// Runs a program with its output thrown away; the wall time in seconds.
double Prozess(std::vector<std::string> woerter) {
    std::vector<char*> argv;
    for (std::string& wort : woerter) {
        argv.push_back(wort.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_addopen(&aktionen, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t kind = 0;
    if (posix_spawnp(&kind, argv[0], &aktionen, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&aktionen);
        return -1.0;
    }
    int status = 0;
    ::waitpid(kind, &status, 0);
    const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&aktionen);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? dauer.count() : -1.0;
}

std::string Betrieb() {
    static const std::string wurzel =
        Beispielbetrieb("rebkontor-beispielbetrieb", Beispieldaten::Umfang::Benchmark(), 20261231,
                        Datum(31, 12, 2026));
    return wurzel;
}

void BM_CliSucheNachBetrag(benchmark::State& state) {
    const std::string wurzel = Betrieb();
    const std::vector<std::string> katze = {"cat", wurzel + "/daten/rechnungen.dat",
                                            wurzel + "/daten/rechnungsposten.dat"};
    const std::vector<std::string> suche = {REBKONTOR_CLI, "-C",  wurzel,         "suche",
                                            "--betrag",    "100", "--abweichung", "5"};
    // The files come from the page cache in both, as they do for a user
    // who searches twice.
    Prozess(katze);
    Prozess(suche);
    std::vector<double> cat;
    for (int i = 0; i < 21; ++i) {
        cat.push_back(Prozess(katze));
    }
    std::sort(cat.begin(), cat.end());
    const double median = cat[cat.size() / 2];
    if (median <= 0.0) {
        state.SkipWithError("cat failed");
        return;
    }
    double summe = 0.0;
    for (auto _ : state) {
        const double t = Prozess(suche);
        if (t < 0.0) {
            state.SkipWithError("rebkontor-cli failed");
            return;
        }
        summe += t;
        state.SetIterationTime(t);
    }
    state.counters["cat_ms"] = median * 1e3;
    state.counters["xCat"] = summe / static_cast<double>(state.iterations()) / median;
}

// The median time of 11 runs of "zip -q -r" over the business's data folder,
// into a new archive each time, as "sichern" writes one.
double ZipZeit(const std::string& wurzel) {
    const std::string ziel = wurzel + "/vergleich.zip";
    const std::vector<std::string> zip = {
        "sh", "-c",
        "rm -f '" + ziel + "' && cd '" + wurzel + "' && zip -q -r '" + ziel + "' daten"};
    Prozess(zip);
    std::vector<double> zeiten;
    for (int i = 0; i < 11; ++i) {
        zeiten.push_back(Prozess(zip));
    }
    std::sort(zeiten.begin(), zeiten.end());
    return zeiten[zeiten.size() / 2];
}

// Times a command and compares it with zip over the same folder.
void GegenZip(benchmark::State& state, const std::vector<std::string>& befehl) {
    const std::string wurzel = Betrieb();
    const double zip = ZipZeit(wurzel);
    if (zip <= 0.0) {
        state.SkipWithError("zip failed (scripts/install-deps installs it)");
        return;
    }
    Prozess(befehl);
    double summe = 0.0;
    for (auto _ : state) {
        const double t = Prozess(befehl);
        if (t < 0.0) {
            state.SkipWithError("rebkontor-cli failed");
            return;
        }
        summe += t;
        state.SetIterationTime(t);
    }
    state.counters["zip_ms"] = zip * 1e3;
    state.counters["xZip"] = summe / static_cast<double>(state.iterations()) / zip;
}

void BM_Sichern(benchmark::State& state) {
    const std::string wurzel = Betrieb();
    GegenZip(state, {REBKONTOR_CLI, "-C", wurzel, "sichern", "--datei", wurzel + "/sicherung.zip"});
}

void BM_SicherungPruefen(benchmark::State& state) {
    const std::string wurzel = Betrieb();
    if (Prozess({REBKONTOR_CLI, "-C", wurzel, "sichern", "--datei", wurzel + "/sicherung.zip"}) <
        0.0) {
        state.SkipWithError("rebkontor-cli sichern failed");
        return;
    }
    GegenZip(state, {REBKONTOR_CLI, "sicherung-pruefen", wurzel + "/sicherung.zip"});
}

std::string KettenBetrieb() {
    static const std::string daten = [] {
        Beispieldaten::Umfang umfang;
        umfang.kunden = 20000;
        umfang.weine = 200;
        umfang.preislisten = 5;
        umfang.rechnungen = 200000;
        umfang.posten = 200000;
        return Beispielbetrieb(
                   "rebkontor-kettenkoepfe", umfang, 7, Datum(31, 12, 2026),
                   [](const std::string& d) {
                       std::string rechnungen = File::ReadFile(d + "/rechnungen.dat").WertOder({});
                       rechnungen.resize(150000 * Rechnung::DiskSize);
                       (void)File::ReplaceAtomically(d + "/rechnungen.dat", rechnungen);
                       (void)File::ReplaceAtomically(
                           d + "/kunden.vorher", File::ReadFile(d + "/kunden.dat").WertOder({}));
                   }) +
               "/daten";
    }();
    return daten;
}

void BM_KettenkoepfeReparieren(benchmark::State& state) {
    const std::string daten = KettenBetrieb();
    const std::string kunden = File::ReadFile(daten + "/kunden.vorher").WertOder({});
    for (auto _ : state) {
        state.PauseTiming();
        (void)File::ReplaceAtomically(daten + "/kunden.dat", kunden);
        KundenVerwaltung::maxNummer = 0;
        state.ResumeTiming();
        auto bestand = std::make_unique<Datenbestand>(daten);
        bestand->KundenEinlesen();
        state.PauseTiming();
        bestand.reset();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_CliSucheNachBetrag)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_Sichern)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SicherungPruefen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_KettenkoepfeReparieren)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
