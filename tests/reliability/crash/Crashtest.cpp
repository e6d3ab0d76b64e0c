// The crash test of the data files: a workload through the managers that is
// killed with SIGKILL at random moments or at each of its file system calls
// in turn, and the check of the data after each kill.
//
//   rebkontor-crashtest arbeiten VERZ JOURNAL SEED [SCHRITTE]
//       runs the workload in VERZ (which holds "daten"), journaling to JOURNAL
//   rebkontor-crashtest pruefen VERZ JOURNAL [CLI]
//       checks VERZ after a kill; CLI is rebkontor-cli, whose data check is
//       run too
//   rebkontor-crashtest zufall VERZ ITERATIONEN SEED [CLI]
//       kills the workload at random moments ITERATIONEN times, checking
//       after each kill, on the same data (VERZ is emptied first)
//   rebkontor-crashtest einzeln VERZ JOURNAL ART
//       one operation of kind ART (for strace's kills at each call)
//   rebkontor-crashtest stellen VERZ [CLI]
//       for every kind of operation, kills it at each of its file system
//       calls in turn with strace, checking after each
//   rebkontor-crashtest zurueckspielen VERZ CLI [JEDER]
//       restores a backup with CLI ("wiederherstellen --ja") over another data
//       set and kills it at each of its file system calls in turn (at every
//       JEDER-th of the frequent reads and writes), checking after each that
//       the next start finds the old or the restored data, whole
//   rebkontor-crashtest syncfolge VERZ [SCHRITTE]
//       runs the workload under strace and checks that every file a
//       confirmed operation wrote was synced before it was confirmed, and
//       items, invoices and log lines before the stock and chain heads
//
// Exit status 0 when every check passed.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Arbeitslast.h"
#include "Journal.h"
#include "Nachpruefung.h"
#include "Syncfolge.h"
#include "model/DatenDateien.h"
#include "model/Datenersatz.h"
#include "model/KundenVerwaltung.h"

namespace fs = std::filesystem;

namespace {

std::string Selbst() {
    return fs::read_symlink("/proc/self/exe").string();
}

void Betreten(const std::string& verzeichnis) {
    fs::create_directories(verzeichnis + "/daten");
    fs::current_path(verzeichnis);
}

int Arbeiten(const std::string& verzeichnis, const std::string& journal, std::uint32_t seed,
             long schritte) {
    const std::string pfad = fs::absolute(journal).string();
    Betreten(verzeichnis);
    Journal j(pfad);
    Arbeitslast last(seed, j);
    last.Starten();
    for (long i = 0; schritte < 0 || i < schritte; ++i) {
        last.Schritt();
    }
    return 0;
}

// Runs a program and returns its wait status.
int Starten(const std::vector<std::string>& argumente, pid_t* pid = nullptr,
            bool ausgabeVerwerfen = false) {
    const pid_t kind = ::fork();
    if (kind == 0) {
        if (ausgabeVerwerfen) {
            const int nichts = ::open("/dev/null", O_WRONLY);
            ::dup2(nichts, STDOUT_FILENO);
            ::dup2(nichts, STDERR_FILENO);
        }
        std::vector<char*> argv;
        for (const std::string& a : argumente) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid != nullptr) {
        *pid = kind;
        return 0;
    }
    int status = 0;
    ::waitpid(kind, &status, 0);
    return status;
}

struct Statistik {
    int pruefungen = 0;
    int bestaetigt = 0;
    int unterbrochen = 0;
    int temporaere = 0;
    int zurueckgebucht = 0;
    int bestand = 0;
    int cli = 0;
    std::map<std::string, std::map<std::string, int>> wirkung;

    void Zaehlen(const Nachpruefung::Ergebnis& e) {
        ++pruefungen;
        bestaetigt += e.bestaetigt;
        temporaere += e.temporaereDateien;
        zurueckgebucht += e.zurueckgebucht;
        bestand += e.bestandAbweichungen;
        cli += e.cliMeldungen;
        if (e.unterbrochen) {
            ++unterbrochen;
            ++wirkung[e.unterbrochen->Art()][e.wirkung];
        }
    }

    void Ausgeben() const {
        std::printf("checks: %d, operations confirmed: %d, kills during an operation: %d\n",
                    pruefungen, bestaetigt, unterbrochen);
        for (const auto& [art, w] : wirkung) {
            std::printf("  %-24s", art.c_str());
            for (const auto& [was, anzahl] : w) {
                std::printf(" %s %d", was.c_str(), anzahl);
            }
            std::printf("\n");
        }
        std::printf(
            "temporary files found before start-up (removed by it): %d; items of invoices "
            "never stored, booked back by the start: %d; stocks left off by an interrupted "
            "change of an item: %d; data check messages of deleted customers' invoices and "
            "unnamed price files: %d\n",
            temporaere, zurueckgebucht, bestand, cli);
        std::fflush(stdout);
    }
};

// Checks the data in `verzeichnis` as a new start of the program would find
// them.
bool Pruefen(const std::string& verzeichnis, const std::string& journal, const std::string& cli,
             Statistik& statistik) {
    const fs::path vorher = fs::current_path();
    const std::string pfad = fs::absolute(journal).string();
    fs::current_path(verzeichnis);
    Nachpruefung pruefung(pfad, cli);
    const Nachpruefung::Ergebnis e = pruefung.Pruefen();
    fs::current_path(vorher);
    statistik.Zaehlen(e);
    for (const std::string& p : e.probleme) {
        std::printf("PROBLEM: %s\n", p.c_str());
    }
    if (!e.probleme.empty() && e.unterbrochen) {
        std::printf("  (interrupted: %s)\n", e.unterbrochen->Text().c_str());
    }
    return e.probleme.empty();
}

int Zufall(const std::string& verzeichnis, int iterationen, std::uint32_t seed,
           const std::string& cli) {
    // Always from an empty data directory, so that a run can be repeated.
    std::error_code egal;
    fs::remove_all(verzeichnis, egal);
    fs::create_directories(verzeichnis + "/daten");
    const std::string journal = fs::absolute(verzeichnis + "/journal").string();
    std::mt19937 zufall(seed);
    Statistik statistik;
    for (int i = 0; i < iterationen; ++i) {
        pid_t pid = 0;
        Starten({Selbst(), "arbeiten", verzeichnis, journal, std::to_string(seed + i)}, &pid);
        // Mostly within the first operations, sometimes much later.
        std::uniform_int_distribution<int> kurz(0, 60);
        std::uniform_int_distribution<int> lang(0, 400);
        const int ms = zufall() % 4 == 0 ? lang(zufall) : kurz(zufall);
        const timespec warten{ms / 1000, (ms % 1000) * 1000000L};
        ::nanosleep(&warten, nullptr);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFSIGNALED(status)) {
            std::printf("the workload ended by itself (status %d)\n", status);
            return 1;
        }
        if (!Pruefen(verzeichnis, journal, cli, statistik)) {
            std::printf("iteration %d failed; data kept in %s\n", i, verzeichnis.c_str());
            statistik.Ausgeben();
            return 1;
        }
    }
    std::printf("random kills: %d\n", iterationen);
    statistik.Ausgeben();
    return 0;
}

int Einzeln(const std::string& verzeichnis, const std::string& journal, const std::string& art) {
    const std::string pfad = fs::absolute(journal).string();
    Betreten(verzeichnis);
    Journal j(pfad);
    Arbeitslast last(1, j);
    last.Starten();
    // The random choice may hit something the operation is not for (the
    // customer with the highest number, a deleted invoice); the next one
    // will do.
    for (int versuch = 0; versuch < 200; ++versuch) {
        if (last.Ausfuehren(art)) {
            return 0;
        }
    }
    std::fprintf(stderr, "nothing to do %s on\n", art.c_str());
    return 5;
}

void Kopieren(const std::string& von, const std::string& nach) {
    std::error_code egal;
    fs::remove_all(nach, egal);
    fs::copy(von, nach, fs::copy_options::recursive);
}

// Kills the operation at the n-th call of each file system call in turn,
// from the start of the program to its end.
int Stellen(const std::string& verzeichnis, const std::string& cli) {
    const std::string basis = fs::absolute(verzeichnis).string();
    const std::string vorlage = basis + "/vorlage";
    const std::string arbeit = basis + "/arbeit";
    Statistik statistik;
    // A data set to work on, made by the workload itself and checked.
    fs::remove_all(vorlage);
    fs::create_directories(vorlage + "/daten");
    if (Starten({Selbst(), "arbeiten", vorlage, vorlage + "/journal", "7", "200"}) != 0 ||
        !Pruefen(vorlage, vorlage + "/journal", cli, statistik)) {
        std::printf("the data set for the crash points could not be made\n");
        return 1;
    }
    const std::vector<std::string> aufrufe = {"openat", "write",     "pwrite64", "ftruncate",
                                              "fsync",  "fdatasync", "rename",   "unlink"};
    int punkte = 0;
    for (int a = 0; Arbeitslast::kArten[a] != nullptr; ++a) {
        const std::string art = Arbeitslast::kArten[a];
        // How many calls of each kind the whole run makes.
        Kopieren(vorlage, arbeit);
        const std::string spur = basis + "/spur";
        std::string menge;
        for (const std::string& s : aufrufe) {
            menge += (menge.empty() ? "" : ",") + s;
        }
        const int status =
            Starten({"/usr/bin/strace", "-f", "-qq", "-o", spur, "-e", "trace=" + menge, Selbst(),
                     "einzeln", arbeit, arbeit + "/journal", art});
        if (status != 0) {
            std::printf("%s: the run without kills failed (status %d)\n", art.c_str(), status);
            return 1;
        }
        std::map<std::string, int> anzahl;
        {
            std::FILE* f = std::fopen(spur.c_str(), "r");
            char zeile[4096];
            while (f != nullptr && std::fgets(zeile, sizeof zeile, f) != nullptr) {
                std::string z = zeile;
                // "1234  openat(AT_FDCWD, ..." with -f
                const std::size_t klammer = z.find('(');
                std::size_t start = z.find_first_not_of("0123456789 ");
                if (klammer != std::string::npos && start < klammer) {
                    ++anzahl[z.substr(start, klammer - start)];
                }
            }
            if (f != nullptr) {
                std::fclose(f);
            }
        }
        int punkteDerArt = 0;
        for (const std::string& s : aufrufe) {
            for (int n = 1; n <= anzahl[s]; ++n) {
                Kopieren(vorlage, arbeit);
                const int st = Starten({"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-e",
                                        "inject=" + s + ":signal=SIGKILL:when=" + std::to_string(n),
                                        Selbst(), "einzeln", arbeit, arbeit + "/journal", art},
                                       nullptr, true);
                (void)st;
                ++punkte;
                ++punkteDerArt;
                if (!Pruefen(arbeit, arbeit + "/journal", cli, statistik)) {
                    std::printf("%s, killed at %s #%d: failed; data kept in %s\n", art.c_str(),
                                s.c_str(), n, arbeit.c_str());
                    statistik.Ausgeben();
                    return 1;
                }
            }
        }
        std::printf("%-24s crash points: %d (", art.c_str(), punkteDerArt);
        for (const std::string& s : aufrufe) {
            if (anzahl[s] > 0) {
                std::printf(" %s %d", s.c_str(), anzahl[s]);
            }
        }
        std::printf(" )\n");
        std::fflush(stdout);
    }
    std::printf("crash points: %d\n", punkte);
    statistik.Ausgeben();
    return 0;
}

// The program's files of a data folder, by name, with their bytes.
std::map<std::string, std::string> Programmdateien(const std::string& daten) {
    std::map<std::string, std::string> bild;
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        std::FILE* f = std::fopen((daten + "/" + datei.name).c_str(), "rb");
        if (f == nullptr) {
            continue;
        }
        std::string bytes;
        char puffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(puffer, 1, sizeof puffer, f)) > 0) {
            bytes.append(puffer, n);
        }
        std::fclose(f);
        bild[datei.name] = std::move(bytes);
    }
    return bild;
}

// How often each of `aufrufe` occurs in an strace output file.
std::map<std::string, int> Zaehlen(const std::string& spur) {
    std::map<std::string, int> anzahl;
    std::FILE* f = std::fopen(spur.c_str(), "r");
    char zeile[4096];
    while (f != nullptr && std::fgets(zeile, sizeof zeile, f) != nullptr) {
        const std::string z = zeile;
        const std::size_t klammer = z.find('(');
        const std::size_t start = z.find_first_not_of("0123456789 ");
        if (klammer != std::string::npos && start < klammer) {
            ++anzahl[z.substr(start, klammer - start)];
        }
    }
    if (f != nullptr) {
        std::fclose(f);
    }
    return anzahl;
}

// A restore killed at each of its file system calls: afterwards, once the
// next program has taken the lock (which completes a committed restore),
// the data folder holds the old data set or the restored one, byte for byte,
// and the data check finds nothing.
int Zurueckspielen(const std::string& verzeichnis, const std::string& cli, int jeder) {
    const std::string basis = fs::absolute(verzeichnis).string();
    std::error_code egal;
    fs::remove_all(basis, egal);
    const std::string alt = basis + "/alt";
    const std::string neu = basis + "/neu";
    const std::string arbeit = basis + "/arbeit";
    const std::string archiv = basis + "/neu.zip";
    // The backup of the present data before a restore goes into the home
    // folder's default; it belongs to the test.
    const std::string heim = basis + "/heim";
    fs::create_directories(heim);
    ::setenv("HOME", heim.c_str(), 1);
    // Two small sample businesses; the old one has a price list more, which
    // the restore must remove.
    const auto beispiel = [&](const std::string& ordner, const char* seed, const char* listen) {
        fs::create_directories(ordner);
        return Starten(
            {cli, "-C", ordner, "beispieldaten", "--kunden", "30", "--weine", "10", "--preislisten",
             listen, "--rechnungen", "60", "--seed", seed, "--stichtag", "6.12.2026"},
            nullptr, true);
    };
    if (beispiel(alt, "1", "5") != 0 || beispiel(neu, "2", "3") != 0 ||
        Starten({cli, "-C", neu, "sichern", "--datei", archiv}, nullptr, true) != 0) {
        std::printf("the data sets for the restore could not be made\n");
        return 1;
    }
    const auto vorher = Programmdateien(alt + "/daten");
    const auto nachher = Programmdateien(neu + "/daten");
    if (vorher == nachher) {
        std::printf("the two data sets are the same\n");
        return 1;
    }
    const std::vector<std::string> wiederherstellen = {cli,    "-C",  arbeit, "wiederherstellen",
                                                       archiv, "--ja"};
    const std::vector<std::string> aufrufe = {"openat", "write",     "fsync",     "fdatasync",
                                              "rename", "renameat2", "unlink",    "unlinkat",
                                              "mkdir",  "rmdir",     "ftruncate", "pwrite64"};
    std::string menge;
    for (const std::string& s : aufrufe) {
        menge += (menge.empty() ? "" : ",") + s;
    }
    Kopieren(alt, arbeit);
    fs::remove_all(heim, egal);
    fs::create_directories(heim);
    const std::string spur = basis + "/spur";
    std::vector<std::string> gezaehlt = {"/usr/bin/strace", "-f", "-qq", "-o", spur, "-e",
                                         "trace=" + menge};
    gezaehlt.insert(gezaehlt.end(), wiederherstellen.begin(), wiederherstellen.end());
    if (const int status = Starten(gezaehlt, nullptr, true); status != 0) {
        std::printf("the restore without kills failed (status %d)\n", status);
        return 1;
    }
    if (Programmdateien(arbeit + "/daten") != nachher) {
        std::printf("the restore without kills did not give the backed-up data\n");
        return 1;
    }
    const std::map<std::string, int> anzahl = Zaehlen(spur);
    int punkte = 0;
    int alteDaten = 0;
    int neueDaten = 0;
    for (const std::string& s : aufrufe) {
        const auto gefunden = anzahl.find(s);
        const int gesamt = gefunden == anzahl.end() ? 0 : gefunden->second;
        // Reads and writes of file contents come by the thousand; the calls
        // that change names and make data durable are all taken.
        const int schritt = (s == "openat" || s == "write" || s == "pwrite64") ? jeder : 1;
        for (int n = 1; n <= gesamt; n += schritt) {
            Kopieren(alt, arbeit);
            fs::remove_all(heim, egal);
            fs::create_directories(heim);
            std::vector<std::string> getoetet = {
                "/usr/bin/strace",
                "-f",
                "-qq",
                "-o",
                "/dev/null",
                "-e",
                "inject=" + s + ":signal=SIGKILL:when=" + std::to_string(n)};
            getoetet.insert(getoetet.end(), wiederherstellen.begin(), wiederherstellen.end());
            Starten(getoetet, nullptr, true);
            ++punkte;
            // The next start: it takes the lock and completes what was
            // committed; what was not is removed.
            try {
                Datenersatz::Abschliessen(arbeit + "/daten");
            } catch (const std::exception& e) {
                std::printf("restore killed at %s #%d: the next start failed: %s\n", s.c_str(), n,
                            e.what());
                return 1;
            }
            const auto jetzt = Programmdateien(arbeit + "/daten");
            const bool istAlt = jetzt == vorher;
            const bool istNeu = jetzt == nachher;
            alteDaten += istAlt ? 1 : 0;
            neueDaten += istNeu ? 1 : 0;
            bool reste = false;
            for (const auto& e : fs::directory_iterator(arbeit + "/daten")) {
                reste = reste || e.path().filename().string().rfind(".wiederherstellung", 0) == 0;
            }
            const int pruefung = Starten({cli, "-C", arbeit, "pruefen"}, nullptr, true);
            if ((!istAlt && !istNeu) || reste || pruefung != 0) {
                std::printf("restore killed at %s #%d: %s; data kept in %s\n", s.c_str(), n,
                            reste           ? "leftovers of the restore after the next start"
                            : pruefung != 0 ? "the data check finds problems"
                                            : "the data are neither the old nor the restored",
                            arbeit.c_str());
                return 1;
            }
        }
    }
    std::printf("restore crash points: %d (", punkte);
    for (const std::string& s : aufrufe) {
        const auto gefunden = anzahl.find(s);
        if (gefunden != anzahl.end()) {
            std::printf(" %s %d", s.c_str(), gefunden->second);
        }
    }
    std::printf(" ); afterwards old data %d, restored data %d\n", alteDaten, neueDaten);
    return alteDaten > 0 && neueDaten > 0 ? 0 : 1;
}

// The workload under strace, from an empty data folder, and the order of its
// writes and syncs.
int SyncfolgePruefen(const std::string& verzeichnis, long schritte) {
    const std::string basis = fs::absolute(verzeichnis).string();
    std::error_code egal;
    fs::remove_all(basis, egal);
    fs::create_directories(basis + "/daten");
    const std::string spur = basis + "/spur";
    const int status =
        Starten({"/usr/bin/strace", "-f", "-qq", "-y", "-s", "16", "-o", spur, "-e",
                 "trace=write,pwrite64,ftruncate,fsync,fdatasync,rename,renameat,"
                 "renameat2",
                 Selbst(), "arbeiten", basis, basis + "/journal", "3", std::to_string(schritte)});
    if (status != 0) {
        std::printf("the workload under strace failed (status %d)\n", status);
        return 1;
    }
    const Syncfolge::Ergebnis e = Syncfolge::Pruefen(spur);
    std::printf("sync order: %d operations confirmed, %d writes to data files, %d syncs\n",
                e.bestaetigt, e.schreibvorgaenge, e.syncs);
    for (const std::string& p : e.probleme) {
        std::printf("PROBLEM: %s\n", p.c_str());
    }
    if (e.bestaetigt == 0 || e.schreibvorgaenge == 0) {
        std::printf("PROBLEM: the trace shows no confirmed operation\n");
        return 1;
    }
    return e.probleme.empty() ? 0 : 1;
}

int Gebrauch() {
    std::fprintf(stderr,
                 "usage: rebkontor-crashtest arbeiten VERZ JOURNAL SEED [SCHRITTE]\n"
                 "       rebkontor-crashtest pruefen VERZ JOURNAL [CLI]\n"
                 "       rebkontor-crashtest zufall VERZ ITERATIONEN SEED [CLI]\n"
                 "       rebkontor-crashtest einzeln VERZ JOURNAL ART\n"
                 "       rebkontor-crashtest stellen VERZ [CLI]\n"
                 "       rebkontor-crashtest zurueckspielen VERZ CLI [JEDER]\n"
                 "       rebkontor-crashtest syncfolge VERZ [SCHRITTE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 4 && a[0] == "arbeiten") {
        return Arbeiten(a[1], a[2], static_cast<std::uint32_t>(std::stoul(a[3])),
                        a.size() > 4 ? std::stol(a[4]) : -1);
    }
    if (a.size() >= 3 && a[0] == "pruefen") {
        Statistik statistik;
        const bool gut = Pruefen(a[1], a[2], a.size() > 3 ? a[3] : "", statistik);
        statistik.Ausgeben();
        return gut ? 0 : 1;
    }
    if (a.size() >= 4 && a[0] == "zufall") {
        return Zufall(fs::absolute(a[1]).string(), std::stoi(a[2]),
                      static_cast<std::uint32_t>(std::stoul(a[3])), a.size() > 4 ? a[4] : "");
    }
    if (a.size() == 4 && a[0] == "einzeln") {
        return Einzeln(a[1], a[2], a[3]);
    }
    if (a.size() >= 2 && a[0] == "syncfolge") {
        return SyncfolgePruefen(a[1], a.size() > 2 ? std::stol(a[2]) : 300);
    }
    if (a.size() >= 3 && a[0] == "zurueckspielen") {
        return Zurueckspielen(a[1], fs::absolute(a[2]).string(),
                              a.size() > 3 ? std::stoi(a[3]) : 1);
    }
    if (a.size() >= 2 && a[0] == "stellen") {
        return Stellen(a[1], a.size() > 2 ? fs::absolute(a[2]).string() : "");
    }
    return Gebrauch();
}
