#include "FuzzVerzeichnis.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "model/KundenVerwaltung.h"
#include "storage/Clock.h"

namespace fs = std::filesystem;

namespace {

// 6 December 2026, 8:05:03 UTC: any fixed moment will do.
constexpr std::int64_t kJetzt = 1796544303;

}  // namespace

FuzzVerzeichnis& FuzzVerzeichnis::Get() {
    static FuzzVerzeichnis verzeichnis;
    return verzeichnis;
}

FuzzVerzeichnis::FuzzVerzeichnis() {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    Clock::Fix(kJetzt);

    struct stat st {};
    const char* tmp = std::getenv("TMPDIR");
    std::string basis =
        ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0
            ? "/dev/shm"
            : (tmp != nullptr ? tmp : "/tmp");
    std::string muster = basis + "/rebkontor-fuzz-XXXXXX";
    std::vector<char> puffer(muster.begin(), muster.end());
    puffer.push_back('\0');
    if (::mkdtemp(puffer.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    pfad_ = puffer.data();
    fs::create_directory(pfad_ + "/daten");
    fs::create_directory(pfad_ + "/daten_alt");
}

FuzzVerzeichnis::~FuzzVerzeichnis() {
    std::error_code egal;
    fs::remove_all(pfad_, egal);
}

FuzzVerzeichnis::Sitzung::Sitzung() : vorher_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    FuzzVerzeichnis& verzeichnis = Get();
    verzeichnis.Leeren();
    if (::chdir(verzeichnis.Pfad().c_str()) != 0) {
        std::perror("chdir");
        std::abort();
    }
}

FuzzVerzeichnis::Sitzung::~Sitzung() {
    if (vorher_ >= 0) {
        if (::fchdir(vorher_) != 0) {
            std::perror("fchdir");
            std::abort();
        }
        ::close(vorher_);
    }
}

void FuzzVerzeichnis::Leeren() {
    std::error_code egal;
    for (const auto& eintrag : fs::directory_iterator(pfad_, egal)) {
        if (eintrag.path().filename() == "daten" || eintrag.path().filename() == "daten_alt") {
            for (const auto& datei : fs::directory_iterator(eintrag.path(), egal)) {
                fs::remove_all(datei.path(), egal);
            }
        } else {
            fs::remove_all(eintrag.path(), egal);
        }
    }
    // Customer numbers are counted across every customer manager of a run;
    // each input starts from nothing, as a fresh program would.
    KundenVerwaltung::maxNummer = 0;
}

void FuzzVerzeichnis::Schreiben(const std::string& datei, std::string_view bytes) {
    std::ofstream out(datei, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", datei.c_str());
        std::abort();
    }
}

std::string FuzzVerzeichnis::Lesen(const std::string& datei) {
    std::ifstream in(datei, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FuzzVerzeichnis::Existiert(const std::string& datei) {
    struct stat st {};
    return ::stat(datei.c_str(), &st) == 0;
}
