// Whole commands as the user runs them, and the start-up repair of chain
// heads.
//
// Befehl/... runs a reading command ("suche --betrag", "suche --nummer",
// "flaschenliste", "pruefen", "adressen") as a process of its own on the
// benchmark business (2,000 customers, 200 wines, 20 price lists, 50,000
// invoices, 500,000 items) and reports its median time as a multiple of
// "cat" reading the files the command must read ("xCat"), with the time of
// cat itself ("cat_ms") and the command's peak memory ("peak_MB"); the same
// in CPU time ("xCatCPU", "cpu_ms", "cat_cpu_ms"). REBKONTOR_BENCH_RECHNUNGEN=N
// runs them on a business of N invoices instead (ten items each, a customer
// per 25 invoices), so that sizes can be compared.
//
// BetragGegenSqlite/... runs "suche --betrag 100 --abweichung 5" against
// the sqlite3 program answering the same question from a database of the
// same business (invoices, and items indexed by invoice — index_rechnung —
// or by invoice, amount and price, so that SQLite need not read the items'
// table — index_deckend), both as processes, interleaved, and reports the
// median CPU time as a multiple of sqlite3's ("xSQLite"), after checking
// that both find the same invoices.
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
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Beispielbetrieb.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
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

std::string Betrieb() {
    static const std::string wurzel = [] {
        Beispieldaten::Umfang umfang = Beispieldaten::Umfang::Benchmark();
        std::string name = "rebkontor-beispielbetrieb";
        if (const char* groesse = std::getenv("REBKONTOR_BENCH_RECHNUNGEN")) {
            const int rechnungen = std::atoi(groesse);
            if (rechnungen > 0 && rechnungen != umfang.rechnungen) {
                umfang.rechnungen = rechnungen;
                umfang.posten = 10 * std::int64_t{rechnungen};
                umfang.kunden = std::max(1, rechnungen / 25);
                name += "-" + std::to_string(rechnungen);
            }
        }
        // Made in a child process: a command started from a process holds
        // that process's memory until it runs, and that would count in the
        // command's peak.
        if (const pid_t kind = ::fork(); kind == 0) {
            Beispielbetrieb(name, umfang, 20261231, Datum(31, 12, 2026));
            ::_exit(0);
        } else if (kind > 0) {
            ::waitpid(kind, nullptr, 0);
        }
        return Beispielbetrieb(name, umfang, 20261231, Datum(31, 12, 2026));
    }();
    return wurzel;
}

// Medians of a reference program and a command run in turn, so that a
// machine busy with other work slows both alike.
struct Wechsel {
    double referenz = 0.0;
    double befehl = 0.0;
    double referenzCpu = 0.0;
    double befehlCpu = 0.0;
    double mb = 0.0;
};

std::optional<Wechsel> Abwechselnd(benchmark::State& state,
                                   const std::vector<std::string>& referenz,
                                   const std::vector<std::string>& befehl) {
    // The files come from the page cache in both, as they do for a user
    // who runs a command twice.
    Prozess(referenz);
    Prozess(befehl);
    std::vector<double> r;
    std::vector<double> b;
    std::vector<double> rCpu;
    std::vector<double> bCpu;
    Wechsel w;
    for (auto _ : state) {
        const Messung mr = Prozess(referenz);
        const Messung mb = Prozess(befehl);
        if (mr.sekunden <= 0.0 || mb.sekunden < 0.0) {
            state.SkipWithError((referenz[0] + " or rebkontor-cli failed").c_str());
            return std::nullopt;
        }
        r.push_back(mr.sekunden);
        b.push_back(mb.sekunden);
        rCpu.push_back(mr.cpu);
        bCpu.push_back(mb.cpu);
        w.mb = std::max(w.mb, mb.mb);
        state.SetIterationTime(mb.sekunden);
    }
    const auto median = [](std::vector<double>& werte) {
        std::sort(werte.begin(), werte.end());
        return werte[werte.size() / 2];
    };
    w.referenz = median(r);
    w.befehl = median(b);
    w.referenzCpu = std::max(median(rCpu), 1e-6);
    w.befehlCpu = median(bCpu);
    return w;
}

// A command on the benchmark business against cat of the files it must
// read.
void Befehl(benchmark::State& state, std::vector<std::string> argumente,
            std::vector<std::string> dateien) {
    const std::string wurzel = Betrieb();
    std::vector<std::string> katze = {"cat"};
    for (const std::string& datei : dateien) {
        katze.push_back(wurzel + "/daten/" + datei);
    }
    std::vector<std::string> befehl = {REBKONTOR_CLI, "-C", wurzel};
    befehl.insert(befehl.end(), argumente.begin(), argumente.end());
    const std::optional<Wechsel> w = Abwechselnd(state, katze, befehl);
    if (!w) {
        return;
    }
    state.counters["cat_ms"] = w->referenz * 1e3;
    state.counters["median_ms"] = w->befehl * 1e3;
    state.counters["xCat"] = w->befehl / w->referenz;
    state.counters["peak_MB"] = w->mb;
    // The same in CPU time (user + system), the fairer measure when other
    // work shares the cores.
    state.counters["cat_cpu_ms"] = w->referenzCpu * 1e3;
    state.counters["cpu_ms"] = w->befehlCpu * 1e3;
    state.counters["xCatCPU"] = w->befehlCpu / w->referenzCpu;
}

// The business as an SQLite database, made once beside it for each index:
// the live invoices, and every item with the price the program adds (DM or
// euro as the settings say), its index given by `spalten` — "rechnung"
// (the items of an invoice found through the index, their amounts and
// prices read from the table) or "rechnung, menge, preis" (the sums read
// from the index alone, in invoice order). Empty when sqlite3 failed.
std::string SqliteDatenbank(const std::string& name, const std::string& spalten) {
    static std::map<std::string, std::string> gebaut;
    if (const auto da = gebaut.find(name); da != gebaut.end()) {
        return da->second;
    }
    return gebaut[name] = [&]() -> std::string {
        const std::string wurzel = Betrieb();
        const std::string datei = wurzel + "/" + name + ".sqlite";
        if (File::Exists(datei)) {
            return datei;
        }
        const std::string daten = wurzel + "/daten";
        Customizer einstellungen(daten + "/preferences.dat", Zugriff::NurLesen);
        einstellungen.Load();
        const bool inDM = einstellungen.preiseInEuro == 0;
        const std::string rechnungen = wurzel + "/vergleich-rechnungen.csv";
        const std::string posten = wurzel + "/vergleich-posten.csv";
        std::FILE* r = std::fopen(rechnungen.c_str(), "w");
        std::FILE* p = std::fopen(posten.c_str(), "w");
        if (r == nullptr || p == nullptr) {
            return {};
        }
        (void)File::ReadFileInPieces(
            daten + "/rechnungen.dat", 1024 * Rechnung::DiskSize, [&](std::string_view stueck) {
                for (; stueck.size() >= Rechnung::DiskSize;
                     stueck.remove_prefix(Rechnung::DiskSize)) {
                    if (Feldwert<&Rechnung::kartons>(stueck) != Rechnung::kGeloescht) {
                        std::fprintf(r, "%d,%d,%d,%u\n", Feldwert<&Rechnung::id>(stueck),
                                     Feldwert<&Rechnung::nummer>(stueck),
                                     Feldwert<&Rechnung::kunde>(stueck),
                                     Feldwert<&Rechnung::datum>(stueck));
                    }
                }
            });
        using P = PostenVerwaltung::Posten;
        (void)File::ReadFileInPieces(
            daten + "/rechnungsposten.dat", 1024 * P::DiskSize, [&](std::string_view stueck) {
                for (; stueck.size() >= P::DiskSize; stueck.remove_prefix(P::DiskSize)) {
                    std::fprintf(p, "%d,%d,%.9g\n", Feldwert<&P::rechnung>(stueck),
                                 Feldwert<&P::menge>(stueck),
                                 static_cast<double>(inDM ? Feldwert<&P::preisDM>(stueck)
                                                          : Feldwert<&P::preisEuro>(stueck)));
                }
            });
        std::fclose(r);
        std::fclose(p);
        const std::string skript =
            "CREATE TABLE rechnungen(id INTEGER PRIMARY KEY, nummer INTEGER, kunde INTEGER, "
            "datum INTEGER);\n"
            "CREATE TABLE posten(rechnung INTEGER, menge INTEGER, preis REAL);\n"
            ".import --csv " +
            rechnungen + " rechnungen\n.import --csv " + posten +
            " posten\n"
            "CREATE INDEX posten_nach_rechnung ON posten(" +
            spalten +
            ");\n"
            "ANALYZE;\n";
        (void)File::ReplaceAtomically(wurzel + "/vergleich.sql", skript);
        File::Remove(datei + ".neu");
        const bool fertig =
            Prozess(
                {"sh", "-c", "sqlite3 -bail '" + datei + ".neu' < '" + wurzel + "/vergleich.sql'"})
                    .sekunden >= 0.0 &&
            File::Rename(datei + ".neu", datei);
        File::Remove(rechnungen);
        File::Remove(posten);
        return fertig ? datei : std::string();
    }();
}

// The invoices whose items add up to 95 to 105, with number, customer, date
// and sum: what "suche --betrag 100 --abweichung 5" writes.
constexpr const char* kSqliteAbfrage =
    "SELECT r.id, r.nummer, r.kunde, r.datum, s.summe FROM (SELECT rechnung, "
    "round(sum(menge * preis), 2) AS summe FROM posten GROUP BY rechnung) AS s JOIN rechnungen "
    "AS r ON r.id = s.rechnung WHERE s.summe BETWEEN 95 AND 105;";

void BetragGegenSqlite(benchmark::State& state, std::string name, std::string spalten) {
    const std::string wurzel = Betrieb();
    const std::string datenbank = SqliteDatenbank(name, spalten);
    if (datenbank.empty()) {
        state.SkipWithError("sqlite3 failed (scripts/install-deps installs it)");
        return;
    }
    const std::vector<std::string> sqlite = {"sqlite3", datenbank, kSqliteAbfrage};
    const std::vector<std::string> befehl = {REBKONTOR_CLI, "-C",  wurzel,         "suche",
                                             "--betrag",    "100", "--abweichung", "5"};
    // Both must find the same invoices, or the comparison is none.
    const std::string ids = wurzel + "/vergleich-ids";
    if (Prozess({"sh", "-c",
                 "sqlite3 '" + datenbank + "' '" + kSqliteAbfrage + "' | cut -d'|' -f1 | sort > '" +
                     ids + "-sqlite' && '" + REBKONTOR_CLI + "' -C '" + wurzel +
                     "' suche --betrag 100 --abweichung 5 | cut -d';' -f1 | sort > '" + ids +
                     "-rebkontor' && test -s '" + ids + "-sqlite' && cmp -s '" + ids +
                     "-sqlite' '" + ids + "-rebkontor'"})
            .sekunden < 0.0) {
        state.SkipWithError("sqlite3 and suche --betrag found different invoices");
        return;
    }
    const std::optional<Wechsel> w = Abwechselnd(state, sqlite, befehl);
    if (!w) {
        return;
    }
    state.counters["sqlite_cpu_ms"] = w->referenzCpu * 1e3;
    state.counters["cpu_ms"] = w->befehlCpu * 1e3;
    state.counters["xSQLite"] = w->befehlCpu / w->referenzCpu;
    state.counters["xSQLiteWall"] = w->befehl / w->referenz;
    state.counters["peak_MB"] = w->mb;
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
BENCHMARK_CAPTURE(BetragGegenSqlite, index_rechnung, "vergleich-rechnung", "rechnung")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK_CAPTURE(BetragGegenSqlite, index_deckend, "vergleich", "rechnung, menge, preis")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(21);
BENCHMARK(BM_Sichern)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SicherungPruefen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_KettenkoepfeReparieren)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
