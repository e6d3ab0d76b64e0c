// Whole commands as the user runs them, and the start-up repair of chain
// heads.
//
// Befehl/... runs a reading command ("suche --betrag", "suche --nummer",
// "flaschenliste", "pruefen", "adressen") as a process of its own on the
// benchmark business (2,000 customers, 200 wines, 20 price lists, 50,000
// invoices, 500,000 items) and reports its median time as a multiple of
// "cat" reading the files the command must read ("xCat"), with the time of
// cat itself ("cat_ms") and the command's peak memory ("peak_MB"); the same
// in CPU time ("xCatCPU", "cpu_ms", "cat_cpu_ms"). REBKONTOR_CLI_RECHNUNGEN
// sets another size (see Betrieb below), e.g. 1000000.
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
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
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

struct Messung {
    // Wall time in seconds, -1 when the program failed.
    double sekunden = -1.0;
    // Peak resident memory in MB.
    double mb = 0.0;
    // User and system time of the process in seconds: on a shared machine
    // the wall clock also measures the neighbours.
    double cpu = 0.0;
};

// Runs a program with its output thrown away.
Messung Prozess(std::vector<std::string> woerter) {
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
        return {};
    }
    int status = 0;
    struct rusage verbrauch {};
    ::wait4(kind, &status, 0, &verbrauch);
    const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&aktionen);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {};
    }
    auto sekunden = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return {dauer.count(), static_cast<double>(verbrauch.ru_maxrss) / 1024.0,
            sekunden(verbrauch.ru_utime) + sekunden(verbrauch.ru_stime)};
}

// The benchmark business, or with REBKONTOR_CLI_RECHNUNGEN=N one of N
// invoices with ten items each, 20,000 customers, 200 wines and 20 price
// lists (made once, as the other).
std::string Betrieb() {
    static const std::string wurzel = [] {
        const char* rechnungen = std::getenv("REBKONTOR_CLI_RECHNUNGEN");
        if (rechnungen == nullptr || *rechnungen == '\0') {
            return Beispielbetrieb("rebkontor-beispielbetrieb", Beispieldaten::Umfang::Benchmark(),
                                   20261231, Datum(31, 12, 2026));
        }
        Beispieldaten::Umfang umfang;
        umfang.kunden = 20000;
        umfang.weine = 200;
        umfang.preislisten = 20;
        umfang.rechnungen = std::atoi(rechnungen);
        umfang.posten = 10 * std::int64_t{umfang.rechnungen};
        return Beispielbetrieb("rebkontor-rechnungen-" + std::to_string(umfang.rechnungen), umfang,
                               20261231, Datum(31, 12, 2026));
    }();
    return wurzel;
}

// A command on the benchmark business against cat of the files it must
// read, interleaved run by run, so that a machine busy with other work slows
// both alike; medians of each.
void Befehl(benchmark::State& state, std::vector<std::string> argumente,
            std::vector<std::string> dateien) {
    const std::string wurzel = Betrieb();
    std::vector<std::string> katze = {"cat"};
    for (const std::string& datei : dateien) {
        katze.push_back(wurzel + "/daten/" + datei);
    }
    std::vector<std::string> befehl = {REBKONTOR_CLI, "-C", wurzel};
    befehl.insert(befehl.end(), argumente.begin(), argumente.end());
    // The files come from the page cache in both, as they do for a user
    // who runs a command twice.
    Prozess(katze);
    Prozess(befehl);
    std::vector<double> cat;
    std::vector<double> zeiten;
    std::vector<double> catCpu;
    std::vector<double> cpu;
    double mb = 0.0;
    for (auto _ : state) {
        const Messung c = Prozess(katze);
        const Messung m = Prozess(befehl);
        if (c.sekunden <= 0.0 || m.sekunden < 0.0) {
            state.SkipWithError("cat or rebkontor-cli failed");
            return;
        }
        cat.push_back(c.sekunden);
        zeiten.push_back(m.sekunden);
        catCpu.push_back(c.cpu);
        cpu.push_back(m.cpu);
        mb = std::max(mb, m.mb);
        state.SetIterationTime(m.sekunden);
    }
    std::sort(cat.begin(), cat.end());
    std::sort(zeiten.begin(), zeiten.end());
    std::sort(catCpu.begin(), catCpu.end());
    std::sort(cpu.begin(), cpu.end());
    const double katzeMedian = cat[cat.size() / 2];
    state.counters["cat_ms"] = katzeMedian * 1e3;
    state.counters["median_ms"] = zeiten[zeiten.size() / 2] * 1e3;
    state.counters["xCat"] = zeiten[zeiten.size() / 2] / katzeMedian;
    state.counters["peak_MB"] = mb;
    // The same in CPU time (user + system), the fairer measure when other
    // work shares the cores.
    const double catCpuMedian = std::max(catCpu[catCpu.size() / 2], 1e-6);
    state.counters["cat_cpu_ms"] = catCpuMedian * 1e3;
    state.counters["cpu_ms"] = cpu[cpu.size() / 2] * 1e3;
    state.counters["xCatCPU"] = cpu[cpu.size() / 2] / catCpuMedian;
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
        zeiten.push_back(Prozess(zip).sekunden);
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
        const double t = Prozess(befehl).sekunden;
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
    if (Prozess({REBKONTOR_CLI, "-C", wurzel, "sichern", "--datei", wurzel + "/sicherung.zip"})
            .sekunden < 0.0) {
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

BENCHMARK_CAPTURE(Befehl, suche_betrag, {"suche", "--betrag", "100", "--abweichung", "5"},
                  {"rechnungen.dat", "rechnungsposten.dat"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK_CAPTURE(Befehl, suche_nummer, {"suche", "--nummer", "26000"}, {"rechnungen.dat"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK_CAPTURE(Befehl, flaschenliste,
                  {"flaschenliste", "-", "--erfassung", "1.1.1990", "31.12.2030"},
                  {"rechnungen.dat", "rechnungsposten.dat", "weinliste.dat"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK_CAPTURE(Befehl, pruefen, {"pruefen"},
                  {"weinliste.dat", "rechnungsposten.dat", "rechnungen.dat", "kunden.dat",
                   "geogruppe.txt", "preferences.dat", "weinlisten.txt"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK_CAPTURE(Befehl, adressen, {"adressen", "-"}, {"kunden.dat", "geogruppe.txt"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK(BM_Sichern)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SicherungPruefen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_KettenkoepfeReparieren)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
