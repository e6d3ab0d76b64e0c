#include "cli/Lesebestand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "model/DatenDateien.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"

namespace {

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

}  // namespace

void Lesebestand::VerzeichnisPruefen(const std::string& verzeichnis) {
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

void Lesebestand::DateiPruefen(const std::string& pfad) {
    struct stat st {};
    if (::lstat(pfad.c_str(), &st) != 0 && errno == ENOENT) {
        return;
    }
    // Opened without waiting, so that a FIFO cannot hold the command up.
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const bool regulaer = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (fd >= 0) {
        ::close(fd);
    }
    if (!regulaer) {
        throw MessageException("Die Datei " + Anzeige(pfad) + " kann nicht gelesen werden.");
    }
}

Lesebestand::Lesebestand(const std::string& verzeichnis) {
    VerzeichnisPruefen(verzeichnis);
    for (const char* datei : kDateien) {
        DateiPruefen(verzeichnis + "/" + datei);
    }
    for (int k = 0; k < PreisVerwaltung::kMaxPreislisten; ++k) {
        DateiPruefen(verzeichnis + "/" + std::to_string(k) + ".wl");
    }
    bestand_ =
        std::make_unique<Datenbestand>(verzeichnis, Datenbestand::Beobachter{}, Zugriff::NurLesen);
    bestand_->KundenEinlesen();
}
