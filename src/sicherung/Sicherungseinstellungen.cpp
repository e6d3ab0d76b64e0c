#include "sicherung/Sicherungseinstellungen.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "storage/CodePage.h"
#include "storage/Einstellungsdatei.h"
#include "storage/File.h"

namespace {

constexpr const char* kOrdner = "Ordner";
constexpr const char* kAutomatisch = "Automatisch";
constexpr const char* kBehalten = "Behalten";

}  // namespace

Ergebnis<void> Sicherungseinstellungen::Laden(const std::string& datei) {
    *this = Sicherungseinstellungen();
    const Ergebnis<std::string> text = Einstellungsdatei::Lesen(datei);
    if (!text) {
        return text.Ursache();
    }
    *this = AusText(*text);
    return {};
}

Ergebnis<void> Sicherungseinstellungen::Speichern(const std::string& datei) const {
    return File::ReplaceAtomically(datei, Text());
}

std::string Sicherungseinstellungen::Text() const {
    return std::string(kOrdner) + "=" + ordner + "\r\n" + kAutomatisch + "=" +
           (automatisch ? "ja" : "nein") + "\r\n" + kBehalten + "=" + std::to_string(behalten) +
           "\r\n";
}

Sicherungseinstellungen Sicherungseinstellungen::AusText(const std::string& text) {
    Sicherungseinstellungen e;
    Einstellungsdatei::Zeilen(text, [&](const std::string& schluessel, const std::string& wert) {
        if (schluessel == kOrdner && !wert.empty()) {
            e.ordner = wert;
        } else if (schluessel == kAutomatisch && (wert == "ja" || wert == "nein")) {
            e.automatisch = wert == "ja";
        } else if (schluessel == kBehalten && !wert.empty() && wert.size() <= 3 &&
                   wert.find_first_not_of("0123456789") == std::string::npos) {
            const int n = std::atoi(wert.c_str());
            if (n >= 1 && n <= kHoechstensBehalten) {
                e.behalten = n;
            }
        }
    });
    return e;
}

std::string Sicherungseinstellungen::Heimordner() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* pw = ::getpwuid(::getuid());
    return pw != nullptr && pw->pw_dir != nullptr && pw->pw_dir[0] == '/' ? pw->pw_dir : "/";
}

std::string Sicherungseinstellungen::Pfad() const {
    const std::string pfad = CodePage::Cp1252ToUtf8(ordner);
    if (pfad == "~" || pfad.rfind("~/", 0) == 0) {
        std::string heim = Heimordner();
        if (heim.size() > 1 && heim.back() == '/') {
            heim.pop_back();
        }
        return (heim == "/" ? "" : heim) + (pfad.size() > 1 ? pfad.substr(1) : "/");
    }
    return pfad;
}

std::string Sicherungseinstellungen::Kurzform(const std::string& pfad) {
    std::string heim = Heimordner();
    while (heim.size() > 1 && heim.back() == '/') {
        heim.pop_back();
    }
    std::string kurz = pfad;
    if (heim != "/" && (pfad == heim || pfad.rfind(heim + "/", 0) == 0)) {
        kurz = "~" + pfad.substr(heim.size());
    }
    return CodePage::Utf8ToCp1252(kurz);
}
