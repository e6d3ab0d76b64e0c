#include "sicherung/Sicherungsinhalt.h"

#include <cstdio>
#include <ctime>
#include <map>
#include <set>

#include "model/DatenDateien.h"
#include "storage/CodePage.h"

namespace {

constexpr const char* kKopf = "Rebkontor-Datensicherung";

std::string Anzahl(std::int64_t n, const char* eins, const char* mehrere) {
    return std::to_string(n) + " " + (n == 1 ? eins : mehrere);
}

// Decimal digits only, without sign, and not too many for the value.
bool ZahlLesen(std::string_view text, std::int64_t& wert) {
    if (text.empty() || text.size() > 15) {
        return false;
    }
    wert = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        wert = wert * 10 + (c - '0');
    }
    return true;
}

bool IstHex(std::string_view text) {
    if (text.size() != 64) {
        return false;
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// A text from the archive as it may appear inside a message: printable
// characters only, and not endless.
std::string Zitat(std::string_view text) {
    std::string zitat;
    for (char c : text.substr(0, 80)) {
        zitat += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return "»"_w + zitat + (text.size() > 80 ? "…"_w : "") + "«"_w;
}

}  // namespace

std::string Sicherungsinhalt::Text() const {
    std::string text = std::string(kKopf) + "\r\n";
    auto zeile = [&text](const std::string& schluessel, const std::string& wert) {
        text += schluessel + "=" + wert + "\r\n";
    };
    zeile("Format", std::to_string(format));
    zeile("Programmversion", programmversion);
    zeile("Zeitpunkt", Zeittext(zeitpunkt));
    zeile("Kunden", std::to_string(kunden));
    zeile("Weine", std::to_string(weine));
    zeile("Rechnungen", std::to_string(rechnungen));
    zeile("Dateien", std::to_string(dateien.size()));
    for (const Datei& datei : dateien) {
        zeile("Datei",
              std::to_string(datei.groesse) + " " + datei.sha256 + " " + kOrdner + datei.name);
    }
    return text;
}

Sicherungsinhalt Sicherungsinhalt::Lesen(std::string_view text,
                                         std::vector<std::string>& probleme) {
    Sicherungsinhalt inhalt;
    auto problem = [&probleme](const std::string& was) {
        probleme.push_back(std::string(kName) + ": " + was);
    };
    std::vector<std::string_view> zeilen;
    while (!text.empty()) {
        std::size_t ende = text.find('\n');
        std::string_view zeile = text.substr(0, ende);
        if (!zeile.empty() && zeile.back() == '\r') {
            zeile.remove_suffix(1);
        }
        zeilen.push_back(zeile);
        text.remove_prefix(ende == std::string_view::npos ? text.size() : ende + 1);
    }
    if (zeilen.empty() || zeilen[0] != kKopf) {
        problem("die erste Zeile ist nicht »"_w + kKopf + "«; es ist kein Verzeichnis einer "_w +
                "Rebkontor-Datensicherung.");
        return inhalt;
    }
    std::map<std::string, std::string, std::less<>> werte;
    std::set<std::string> namen;
    for (std::size_t i = 1; i < zeilen.size(); ++i) {
        const std::string_view zeile = zeilen[i];
        if (zeile.empty() || zeile[0] == '#') {
            continue;
        }
        const std::size_t gleich = zeile.find('=');
        if (gleich == std::string_view::npos) {
            problem("die Zeile " + std::to_string(i + 1) + " " + Zitat(zeile) +
                    " hat kein Gleichheitszeichen.");
            continue;
        }
        const std::string schluessel(zeile.substr(0, gleich));
        const std::string_view wert = zeile.substr(gleich + 1);
        if (schluessel != "Datei") {
            if (!werte.emplace(schluessel, std::string(wert)).second) {
                problem("der Eintrag " + Zitat(schluessel) + " steht zweimal darin.");
            }
            continue;
        }
        // "Datei=<Größe> <SHA-256> daten/<Name>"
        const std::size_t erstes = wert.find(' ');
        const std::size_t zweites =
            erstes == std::string_view::npos ? erstes : wert.find(' ', erstes + 1);
        Datei datei;
        std::string_view pfad;
        if (zweites != std::string_view::npos) {
            pfad = wert.substr(zweites + 1);
            datei.sha256 = std::string(wert.substr(erstes + 1, zweites - erstes - 1));
        }
        if (zweites == std::string_view::npos ||
            !ZahlLesen(wert.substr(0, erstes), datei.groesse) || !IstHex(datei.sha256) ||
            pfad.substr(0, std::string_view(kOrdner).size()) != kOrdner) {
            problem("die Zeile " + std::to_string(i + 1) + " " + Zitat(zeile) +
                    " nennt keine Datei mit Größe und SHA-256."_w);
            continue;
        }
        datei.name = std::string(pfad.substr(std::string_view(kOrdner).size()));
        if (DatenDateien::Finde(datei.name) == nullptr) {
            problem("die Datei " + Zitat(pfad) + " ist keine Datei von Rebkontor.");
            continue;
        }
        if (!namen.insert(datei.name).second) {
            problem("die Datei " + Zitat(pfad) + " steht mehrmals darin.");
            continue;
        }
        inhalt.dateien.push_back(datei);
    }
    auto zahl = [&](const char* schluessel, std::int64_t& ziel) {
        const auto it = werte.find(schluessel);
        if (it == werte.end()) {
            problem(std::string("der Eintrag »"_w) + schluessel + "« fehlt."_w);
        } else if (!ZahlLesen(it->second, ziel)) {
            problem(std::string("der Eintrag »"_w) + schluessel + "« ist keine Zahl: "_w +
                    Zitat(it->second) + ".");
        }
    };
    std::int64_t format = 0;
    zahl("Format", format);
    if (format > kFormat) {
        problem("die Sicherung hat das Format " + std::to_string(format) +
                " einer neueren Rebkontor-Version; diese Version kennt nur das Format " +
                std::to_string(kFormat) + ".");
    }
    inhalt.format = static_cast<int>(format);
    zahl("Kunden", inhalt.kunden);
    zahl("Weine", inhalt.weine);
    zahl("Rechnungen", inhalt.rechnungen);
    std::int64_t anzahl = 0;
    zahl("Dateien", anzahl);
    if (werte.count("Dateien") != 0 && anzahl != static_cast<std::int64_t>(namen.size())) {
        problem("es nennt " + std::to_string(anzahl) + " Dateien, führt aber "_w +
                std::to_string(namen.size()) + " auf.");
    }
    if (const auto it = werte.find("Programmversion"); it != werte.end()) {
        inhalt.programmversion = it->second;
    }
    const auto zeit = werte.find("Zeitpunkt");
    if (zeit == werte.end() || !ZeitLesen(zeit->second, inhalt.zeitpunkt)) {
        problem("der Zeitpunkt der Sicherung fehlt oder ist falsch geschrieben.");
    }
    return inhalt;
}

const Sicherungsinhalt::Datei* Sicherungsinhalt::Finde(const std::string& name) const {
    for (const Datei& datei : dateien) {
        if (datei.name == name) {
            return &datei;
        }
    }
    return nullptr;
}

std::int64_t Sicherungsinhalt::Bytes() const {
    std::int64_t summe = 0;
    for (const Datei& datei : dateien) {
        summe += datei.groesse;
    }
    return summe;
}

std::string Sicherungsinhalt::Programmtext() const {
    if (programmversion.empty()) {
        return {};
    }
    std::string text = "Rebkontor ";
    for (char c : programmversion.substr(0, 40)) {
        text += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return text;
}

std::string Sicherungsinhalt::Datumstext() const {
    const std::time_t t = static_cast<std::time_t>(zeitpunkt);
    std::tm lokal{};
    localtime_r(&t, &lokal);
    char text[64];
    std::snprintf(text, sizeof text, "vom %d.%d.%d, %d:%02d:%02d Uhr", lokal.tm_mday,
                  lokal.tm_mon + 1, lokal.tm_year + 1900, lokal.tm_hour, lokal.tm_min,
                  lokal.tm_sec);
    return text;
}

std::string Sicherungsinhalt::Mengentext() const {
    return Anzahl(kunden, "Kunde", "Kunden") + ", " + Anzahl(weine, "Wein", "Weine") + ", " +
           Anzahl(rechnungen, "Rechnung", "Rechnungen");
}

std::string Sicherungsinhalt::Dateientext() const {
    return Anzahl(static_cast<std::int64_t>(dateien.size()), "Datei", "Dateien") + ", " +
           Groesse(Bytes());
}

std::string Sicherungsinhalt::Zeittext(std::int64_t zeitpunkt) {
    const std::time_t t = static_cast<std::time_t>(zeitpunkt);
    std::tm lokal{};
    localtime_r(&t, &lokal);
    const long versatz = lokal.tm_gmtoff;
    const long betrag = versatz < 0 ? -versatz : versatz;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                  lokal.tm_year + 1900, lokal.tm_mon + 1, lokal.tm_mday, lokal.tm_hour,
                  lokal.tm_min, lokal.tm_sec, versatz < 0 ? '-' : '+', betrag / 3600,
                  betrag / 60 % 60);
    return text;
}

bool Sicherungsinhalt::ZeitLesen(std::string_view text, std::int64_t& zeitpunkt) {
    // "2026-12-07T17:00:00+01:00"
    if (text.size() != 25 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || (text[19] != '+' && text[19] != '-') ||
        text[22] != ':') {
        return false;
    }
    std::int64_t teil[8];
    constexpr std::size_t kAnfang[] = {0, 5, 8, 11, 14, 17, 20, 23};
    constexpr std::size_t kLaenge[] = {4, 2, 2, 2, 2, 2, 2, 2};
    for (int i = 0; i < 8; ++i) {
        if (!ZahlLesen(text.substr(kAnfang[i], kLaenge[i]), teil[i])) {
            return false;
        }
    }
    if (teil[1] < 1 || teil[1] > 12 || teil[2] < 1 || teil[2] > 31 || teil[3] > 23 ||
        teil[4] > 59 || teil[5] > 60 || teil[6] > 23 || teil[7] > 59) {
        return false;
    }
    std::tm utc{};
    utc.tm_year = static_cast<int>(teil[0]) - 1900;
    utc.tm_mon = static_cast<int>(teil[1]) - 1;
    utc.tm_mday = static_cast<int>(teil[2]);
    utc.tm_hour = static_cast<int>(teil[3]);
    utc.tm_min = static_cast<int>(teil[4]);
    utc.tm_sec = static_cast<int>(teil[5]);
    const std::int64_t versatz = (teil[6] * 3600 + teil[7] * 60) * (text[19] == '-' ? -1 : 1);
    zeitpunkt = static_cast<std::int64_t>(timegm(&utc)) - versatz;
    return true;
}

std::string Sicherungsinhalt::Groesse(std::int64_t bytes) {
    char text[32];
    if (bytes < 1024) {
        return Anzahl(bytes, "Byte", "Bytes");
    }
    if (bytes < 1024 * 1024) {
        std::snprintf(text, sizeof text, "%lld KB", static_cast<long long>((bytes + 512) / 1024));
        return text;
    }
    const bool giga = bytes >= 1024LL * 1024 * 1024;
    const double wert = static_cast<double>(bytes) / (giga ? 1024.0 * 1024 * 1024 : 1024.0 * 1024);
    std::snprintf(text, sizeof text, "%.1f %s", wert, giga ? "GB" : "MB");
    std::string ergebnis = text;
    for (char& c : ergebnis) {
        if (c == '.') {
            c = ',';
        }
    }
    return ergebnis;
}
