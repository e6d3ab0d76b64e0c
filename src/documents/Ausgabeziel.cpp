#include "documents/Ausgabeziel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "storage/CodePage.h"

namespace {

namespace fs = std::filesystem;

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

std::string Verzeichnis(const std::string& pfad) {
    const std::size_t schraegstrich = pfad.find_last_of('/');
    if (schraegstrich == std::string::npos) {
        return ".";
    }
    return schraegstrich == 0 ? "/" : pfad.substr(0, schraegstrich);
}

// The path with every link resolved; empty when it does not exist.
std::string Aufgeloest(const std::string& pfad) {
    char* voll = ::realpath(pfad.c_str(), nullptr);
    if (voll == nullptr) {
        return {};
    }
    std::string ergebnis = voll;
    std::free(voll);
    return ergebnis;
}

std::string Art(mode_t modus) {
    if (S_ISDIR(modus)) {
        return "ein Verzeichnis";
    }
    if (S_ISLNK(modus)) {
        return "eine symbolische Verknüpfung"_w;
    }
    if (S_ISFIFO(modus)) {
        return "eine Pipe (FIFO)";
    }
    if (S_ISCHR(modus) || S_ISBLK(modus)) {
        return "ein Gerät"_w;
    }
    if (S_ISSOCK(modus)) {
        return "ein Socket";
    }
    return "keine gewöhnliche Datei"_w;
}

// A folder a Rebkontor program keeps its data in: it holds the lock file or
// one of the record files. Any business's folder, not only the one the
// program works on, so that an export can never replace another's data.
bool IstDatenordner(const std::string& ordner) {
    static constexpr const char* kKennzeichen[] = {
        "rebkontor.lock",      "kunden.dat",     "weinliste.dat",  "rechnungen.dat",
        "rechnungsposten.dat", "merkzettel.dat", "preferences.dat"};
    for (const char* name : kKennzeichen) {
        struct stat st {};
        if (::lstat((ordner + "/" + name).c_str(), &st) == 0) {
            return true;
        }
    }
    return false;
}

bool Schreiben(int fd, std::string_view bytes) {
    std::size_t geschrieben = 0;
    while (geschrieben < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + geschrieben, bytes.size() - geschrieben);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        geschrieben += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string Ausgabeziel::Hindernis(const std::string& pfad, const std::string& daten) {
    if (pfad.empty()) {
        return "Es wurde kein Dateiname angegeben.";
    }
    struct stat ziel {};
    const bool vorhanden = ::lstat(pfad.c_str(), &ziel) == 0;
    if (vorhanden && !S_ISREG(ziel.st_mode)) {
        return "Die Datei " + Anzeige(pfad) + " wird nicht geschrieben: dort steht " +
               Art(ziel.st_mode) + ", keine gewöhnliche Datei."_w;
    }
    auto imDatenverzeichnis = [&pfad](const std::string& verzeichnis) {
        return "Die Datei " + Anzeige(pfad) +
               " wird nicht geschrieben: sie läge im Datenverzeichnis "_w + Anzeige(verzeichnis) +
               ", und ein Export darf keine Daten überschreiben. Bitte einen anderen Ort "
               "wählen."_w;
    };
    const std::string ort = Aufgeloest(Verzeichnis(pfad));
    const std::string datenEcht = Aufgeloest(daten);
    if (!datenEcht.empty() && !ort.empty() &&
        (ort == datenEcht || ort.rfind(datenEcht + "/", 0) == 0)) {
        return imDatenverzeichnis(daten);
    }
    if (!ort.empty() && IstDatenordner(ort)) {
        return imDatenverzeichnis(Verzeichnis(pfad));
    }
    if (datenEcht.empty()) {
        return {};
    }
    if (vorhanden) {
        // A second name of a data file, elsewhere.
        std::error_code ec;
        for (const auto& eintrag : fs::directory_iterator(datenEcht, ec)) {
            struct stat datei {};
            if (::lstat(eintrag.path().c_str(), &datei) == 0 && datei.st_dev == ziel.st_dev &&
                datei.st_ino == ziel.st_ino) {
                return imDatenverzeichnis(daten);
            }
        }
    }
    return {};
}

bool Ausgabeziel::Ersetzen(const std::string& pfad, std::string_view bytes,
                           const std::string& daten) {
    if (!Hindernis(pfad, daten).empty()) {
        return false;
    }
    const std::string ort = Verzeichnis(pfad);
    const std::string name = pfad.substr(pfad.find_last_of('/') + 1);
    std::string muster = (ort == "/" ? "" : ort) + "/." + name + ".XXXXXX";
    const int fd = ::mkostemp(muster.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // An export is readable by others as any file the user creates is.
    const mode_t maske = ::umask(0);
    ::umask(maske);
    bool ok = ::fchmod(fd, 0666 & ~maske) == 0 && Schreiben(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(muster.c_str(), pfad.c_str()) == 0;
    if (!ok) {
        ::unlink(muster.c_str());
        return false;
    }
    const int verzeichnis = ::open(ort.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (verzeichnis >= 0) {
        ::fsync(verzeichnis);
        ::close(verzeichnis);
    }
    return true;
}
