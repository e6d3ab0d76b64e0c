#include "cli/Lesekopie.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "model/DatenDateien.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

// Record lists keep at most 255 characters of a file name; the copy must
// stay well below that.
constexpr std::size_t kLaengsterTempPfad = 200;

std::string TempBasis() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && tmp[0] == '/' && std::string(tmp).size() < kLaengsterTempPfad) {
        return tmp;
    }
    return "/tmp";
}

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

}  // namespace

bool Lesekopie::IstDatendatei(const std::string& name) {
    return std::find_if(std::begin(kDateien), std::end(kDateien),
                        [&](const char* d) { return name == d; }) != std::end(kDateien);
}

bool Lesekopie::IstPreislistendatei(const std::string& name) {
    for (int k = 0; k < PreisVerwaltung::kMaxPreislisten; ++k) {
        if (name == std::to_string(k) + ".wl") {
            return true;
        }
    }
    return false;
}

void Lesekopie::VerzeichnisPruefen(const std::string& verzeichnis) {
    struct stat st {};
    if (::stat(verzeichnis.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::error_code ec;
        const std::string hier = std::filesystem::current_path(ec).string();
        throw MessageException("Das Datenverzeichnis " + Anzeige(verzeichnis) +
                               " gibt es nicht (im Verzeichnis " + Anzeige(hier) + ").");
    }
    // A data file that is a link, pipe or device stops every command, as it
    // stops the window's start.
    DatenDateien::Pruefen(verzeichnis, false);
}

Lesekopie::Lesekopie(const std::string& verzeichnis) {
    VerzeichnisPruefen(verzeichnis);
    std::string muster = TempBasis() + "/rebkontor-cli-XXXXXX";
    std::vector<char> puffer(muster.begin(), muster.end());
    puffer.push_back('\0');
    if (::mkdtemp(puffer.data()) == nullptr) {
        throw MessageException("Es konnte kein temporäres Verzeichnis angelegt werden (in "_w +
                               Anzeige(TempBasis()) + ").");
    }
    kopie_ = puffer.data();
    try {
        Kopieren(verzeichnis);
        bestand_ = std::make_unique<Datenbestand>(kopie_);
        bestand_->KundenEinlesen();
    } catch (...) {
        bestand_.reset();
        std::error_code ec;
        std::filesystem::remove_all(kopie_, ec);
        throw;
    }
}

Lesekopie::~Lesekopie() {
    try {
        bestand_.reset();
    } catch (...) {
        // The copy goes anyway.
    }
    std::error_code ec;
    std::filesystem::remove_all(kopie_, ec);
}

void Lesekopie::Kopieren(const std::string& verzeichnis) {
    std::error_code ec;
    std::filesystem::directory_iterator it(verzeichnis, ec);
    if (ec) {
        throw MessageException("Das Datenverzeichnis " + Anzeige(verzeichnis) +
                               " kann nicht gelesen werden.");
    }
    for (const auto& eintrag : it) {
        const std::string name = eintrag.path().filename().string();
        if (!IstDatendatei(name) && !IstPreislistendatei(name)) {
            continue;
        }
        const std::string quelle = verzeichnis + "/" + name;
        std::string bytes;
        struct stat st {};
        if (::stat(quelle.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            !File::ReadFile(quelle, bytes)) {
            throw MessageException("Die Datei " + Anzeige(quelle) + " kann nicht gelesen werden.");
        }
        File ziel = File::OpenReadWrite(kopie_ + "/" + name);
        if (!ziel.IsOpen() || !ziel.WriteAt(0, bytes)) {
            throw MessageException("Die Datei " + Anzeige(quelle) +
                                   " konnte nicht in das temporäre Verzeichnis kopiert werden."_w);
        }
    }
}
