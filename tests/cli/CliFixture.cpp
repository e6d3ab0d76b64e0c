#include "CliFixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "model/KundenVerwaltung.h"
#include "storage/Datum.h"
#include "support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

// The sample business of all tests, made once.
const std::string& Vorlage() {
    static TempDir vorlage;
    static const bool fertig = [] {
        fs::create_directory(vorlage / "daten");
        Beispieldaten::Erzeugen(vorlage / "daten", CliFixture::SampleUmfang(), 4711,
                                Datum(7, 12, 2026));
        return true;
    }();
    (void)fertig;
    static const std::string daten = vorlage / "daten";
    return daten;
}

}  // namespace

const Beispieldaten::Umfang& CliFixture::SampleUmfang() {
    static const Beispieldaten::Umfang umfang = [] {
        Beispieldaten::Umfang u;
        u.kunden = 40;
        u.weine = 16;
        u.preislisten = 4;
        u.rechnungen = 400;
        return u;
    }();
    return umfang;
}

void CliFixture::SetUp() {
    if (!fs::exists(REBKONTOR_CLI)) {
        GTEST_SKIP() << "rebkontor-cli is not built: " << REBKONTOR_CLI;
    }
}

CliFixture::Ergebnis CliFixture::Lauf(const std::vector<std::string>& argumente,
                                      const std::string& verzeichnis) {
    return Programm(REBKONTOR_CLI, argumente, verzeichnis);
}

CliFixture::Ergebnis CliFixture::Programm(const std::string& programm,
                                          const std::vector<std::string>& argumente,
                                          const std::string& verzeichnis,
                                          const std::vector<std::string>& umgebung) {
    const std::string wo = verzeichnis.empty() ? dir_.Path() : verzeichnis;
    TempDir ausgaben;
    const std::string outDatei = ausgaben / "out";
    const std::string errDatei = ausgaben / "err";
    std::vector<std::string> woerter = {programm};
    woerter.insert(woerter.end(), argumente.begin(), argumente.end());
    std::vector<std::string> variablen = umgebung;
    std::vector<char*> argv;
    for (std::string& wort : woerter) {
        argv.push_back(wort.data());
    }
    argv.push_back(nullptr);

    const pid_t kind = ::fork();
    if (kind == 0) {
        const int out = ::open(outDatei.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errDatei.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::chdir(wo.c_str()) != 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        for (std::string& variable : variablen) {
            ::putenv(variable.data());
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    Ergebnis ergebnis;
    int status = 0;
    if (kind > 0 && ::waitpid(kind, &status, 0) == kind && WIFEXITED(status)) {
        ergebnis.status = WEXITSTATUS(status);
    }
    ergebnis.out = ReadBytes(outDatei);
    ergebnis.err = ReadBytes(errDatei);
    return ergebnis;
}

void CliFixture::SampleDaten() {
    fs::copy(Vorlage(), Daten(), fs::copy_options::recursive);
}

CliFixture::Schnappschuss CliFixture::Aufnahme(const std::string& verzeichnis) {
    Schnappschuss bild;
    if (!fs::exists(verzeichnis)) {
        return bild;
    }
    for (const auto& eintrag : fs::recursive_directory_iterator(verzeichnis)) {
        const std::string name = fs::relative(eintrag.path(), verzeichnis).string();
        if (eintrag.is_directory()) {
            bild[name + "/"] = "";
            continue;
        }
        struct stat st {};
        ::stat(eintrag.path().c_str(), &st);
        // A rewrite with the same bytes is a change too.
        bild[name] = ReadBytes(eintrag.path().string()) + "@" + std::to_string(st.st_mtim.tv_sec) +
                     "." + std::to_string(st.st_mtim.tv_nsec) + "#" + std::to_string(st.st_ino);
    }
    return bild;
}

CliFixture::Bibliothek::Bibliothek(const std::string& daten) {
    fs::copy(daten, kopie_ / "daten", fs::copy_options::recursive);
    bestand_ = std::make_unique<Datenbestand>(kopie_ / "daten");
    bestand_->KundenEinlesen();
}

std::unique_ptr<Datenbestand> CliFixture::Oeffnen() {
    auto bestand = std::make_unique<Datenbestand>(Daten());
    bestand->KundenEinlesen();
    return bestand;
}

void SetzeInt32(const std::string& datei, std::size_t offset, std::int32_t wert) {
    std::string bytes = ReadBytes(datei);
    for (int i = 0; i < 4; ++i) {
        bytes.at(offset + static_cast<std::size_t>(i)) =
            static_cast<char>((static_cast<std::uint32_t>(wert) >> (8 * i)) & 0xFF);
    }
    WriteBytes(datei, bytes);
}

std::int32_t LiesInt32(const std::string& datei, std::size_t offset) {
    return Int32At(ReadBytes(datei), offset);
}
