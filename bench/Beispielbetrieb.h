#pragma once

// The data sets of the benchmarks: sample businesses of "rebkontor-cli
// beispieldaten", generated once per name into $REBKONTOR_BENCH_DIR, or else
// /dev/shm or $TMPDIR, and reused by later runs.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "cli/Beispieldaten.h"
#include "storage/Datum.h"
#include "storage/File.h"

inline std::string BenchBasis() {
    if (const char* dir = std::getenv("REBKONTOR_BENCH_DIR")) {
        return dir;
    }
    struct stat st {};
    if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode)) {
        return "/dev/shm";
    }
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr ? tmp : "/tmp";
}

// The working directory of the business `name` (its data in "daten" below
// it), made on first use; `danach` may change the fresh data once.
inline std::string Beispielbetrieb(const std::string& name, const Beispieldaten::Umfang& umfang,
                                   std::uint32_t seed, Datum stichtag,
                                   const std::function<void(const std::string&)>& danach = {}) {
    const std::string wurzel = BenchBasis() + "/" + name + "-" + std::to_string(seed);
    const std::string daten = wurzel + "/daten";
    const std::string fertig = wurzel + "/fertig";
    if (!File::Exists(fertig)) {
        std::filesystem::remove_all(wurzel);
        std::filesystem::create_directories(daten);
        Beispieldaten::Erzeugen(daten, umfang, seed, stichtag);
        if (danach) {
            danach(daten);
        }
        (void)File::ReplaceAtomically(fertig, "");
    }
    return wurzel;
}
