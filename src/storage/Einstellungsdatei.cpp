#include "storage/Einstellungsdatei.h"

#include <cerrno>

#include "storage/File.h"

namespace Einstellungsdatei {

Ergebnis<std::string> Lesen(const std::string& datei) {
    const Ergebnis<File::Entry> eintrag = File::Stat(datei);
    if (!eintrag) {
        return std::string();
    }
    if (eintrag->kind == File::Kind::Link) {
        return Fehler(Fehler::Vorgang::Oeffnen, datei, ELOOP);
    }
    // Only a missing file means no settings.
    return File::ReadIfExists(datei);
}

void Zeilen(std::string_view text,
            const std::function<void(const std::string& schluessel, const std::string& wert)>& f) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t ende = text.find('\n', start);
        if (ende == std::string_view::npos) {
            ende = text.size();
        }
        std::string_view zeile = text.substr(start, ende - start);
        start = ende + 1;
        if (!zeile.empty() && zeile.back() == '\r') {
            zeile.remove_suffix(1);
        }
        const std::size_t gleich = zeile.find('=');
        if (gleich != std::string_view::npos) {
            f(std::string(zeile.substr(0, gleich)), std::string(zeile.substr(gleich + 1)));
        }
    }
}

}  // namespace Einstellungsdatei
