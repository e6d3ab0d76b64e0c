// The start of the main window: the application and the main window built
// as the program builds them, the data set loaded (customers included) and
// the window shown and painted once, on the offscreen platform. Each start
// runs in a child process of its own, so that its peak memory is the
// start's own and nothing is warm but the page cache. Reported are the
// child's CPU time (user + system, "CPU_ms", the fastest start), the time
// on the clock from the fork to the painted window ("Uhr_ms", the fastest)
// and the peak resident memory ("RSS_MB", the largest).
//
// The data set is the 50,000-invoice benchmark business (see
// RechnungenBench.cpp), or the data folder named by $REBKONTOR_FENSTER_DATEN
// or the first argument after the benchmark's own (for instance a business
// of 1,000,000 invoices). The window starts with write access, as the
// program does, so it starts on a copy, made once into a fresh folder beside
// the benchmark businesses and removed at the end; the folder named is
// never written.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Beispielbetrieb.h"
#include "app/TRebkontorApp.h"
#include "app/TSDIDecFrame.h"
#include "cli/Beispieldaten.h"
#include "storage/Datum.h"
#include "storage/File.h"

namespace {

constexpr std::uint32_t kSeed = 20261231;

std::string gQuelle;
std::string gKopie;

// The working folder of the copy (its data in "daten" below it).
const std::string& Arbeitsordner() {
    static const std::string ordner = [] {
        const std::string quelle =
            !gQuelle.empty()
                ? gQuelle
                : Beispielbetrieb("rebkontor-beispielbetrieb", Beispieldaten::Umfang::Benchmark(),
                                  kSeed, Datum(31, 12, 2026)) +
                      "/daten";
        const Ergebnis<std::string> neu =
            File::CreateTempDirectory(BenchBasis() + "/rebkontor-fensterstart-");
        if (!neu) {
            std::fprintf(stderr, "no folder for the copy\n");
            std::exit(1);
        }
        std::filesystem::copy(quelle, *neu + "/daten", std::filesystem::copy_options::recursive);
        std::filesystem::remove(*neu + "/daten/rebkontor.lock");
        gKopie = *neu;
        return *neu;
    }();
    return ordner;
}

struct Messung {
    double cpuMs = 0;
    double uhrMs = 0;
    double rssMb = 0;
    bool ok = false;
};

double CpuMs(const rusage& r) {
    return (static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
            static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3);
}

// One start in a child: it reports its figures through a pipe and ends
// without the orderly shutdown, which is not part of the start.
Messung Start() {
    int rohr[2];
    if (::pipe(rohr) != 0) {
        return {};
    }
    const auto anfang = std::chrono::steady_clock::now();
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::close(rohr[0]);
        if (::chdir(Arbeitsordner().c_str()) != 0) {
            std::_Exit(2);
        }
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int argc = 1;
        char name[] = "rebkontor";
        char* argv[] = {name, nullptr};
        TRebkontorApp app(argc, argv);
        if (!app.Starten(TSDIDecFrame::ZeigeModus::Normal)) {
            std::_Exit(3);
        }
        QApplication::processEvents();
        const std::chrono::duration<double, std::milli> uhr =
            std::chrono::steady_clock::now() - anfang;
        rusage r{};
        ::getrusage(RUSAGE_SELF, &r);
        const Messung m{CpuMs(r), uhr.count(), static_cast<double>(r.ru_maxrss) / 1024.0, true};
        (void)::write(rohr[1], &m, sizeof m);
        std::_Exit(0);
    }
    ::close(rohr[1]);
    Messung m;
    if (kind < 0 || ::read(rohr[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) {
        m.ok = false;
    }
    ::close(rohr[0]);
    int status = 0;
    if (kind > 0) {
        ::waitpid(kind, &status, 0);
    }
    m.ok = m.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

void BM_FensterStart(benchmark::State& state) {
    Arbeitsordner();
    Messung beste;
    beste.cpuMs = 1e18;
    beste.uhrMs = 1e18;
    for (auto _ : state) {
        const Messung m = Start();
        if (!m.ok) {
            state.SkipWithError("the window did not start");
            break;
        }
        state.SetIterationTime(m.uhrMs / 1e3);
        beste.cpuMs = std::min(beste.cpuMs, m.cpuMs);
        beste.uhrMs = std::min(beste.uhrMs, m.uhrMs);
        beste.rssMb = std::max(beste.rssMb, m.rssMb);
    }
    state.counters["CPU_ms"] = beste.cpuMs;
    state.counters["Uhr_ms"] = beste.uhrMs;
    state.counters["RSS_MB"] = beste.rssMb;
}

BENCHMARK(BM_FensterStart)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (const char* daten = std::getenv("REBKONTOR_FENSTER_DATEN")) {
        gQuelle = daten;
    }
    if (argc > 1) {
        gQuelle = argv[1];
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Only the copy goes; the folder it came from stays as it was.
    if (!gKopie.empty()) {
        File::Remove(gKopie);
    }
    return 0;
}
