#include "model/DatevExporte.h"

#include <cctype>
#include <cstdio>

#include "storage/CodePage.h"
#include "storage/File.h"

namespace {

std::vector<std::string> Zeilen(const std::string& text) {
    std::vector<std::string> zeilen;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t ende = text.find('\n', start);
        if (ende == std::string::npos) {
            ende = text.size();
        }
        std::string z = text.substr(start, ende - start);
        if (!z.empty() && z.back() == '\r') {
            z.pop_back();
        }
        zeilen.push_back(z);
        start = ende + 1;
    }
    return zeilen;
}

std::vector<std::string> Teile(const std::string& text, char trenner) {
    std::vector<std::string> teile;
    std::size_t start = 0;
    for (;;) {
        const std::size_t ende = text.find(trenner, start);
        teile.push_back(text.substr(start, ende - start));
        if (ende == std::string::npos) {
            return teile;
        }
        start = ende + 1;
    }
}

bool Zahl(const std::string& text, std::int64_t hoechstens, std::int64_t& wert) {
    if (text.empty() || text.size() > 18) {
        return false;
    }
    wert = 0;
    for (unsigned char c : text) {
        if (!std::isdigit(c)) {
            return false;
        }
        wert = wert * 10 + (c - '0');
    }
    return wert <= hoechstens;
}

// "6.12.2026": a date the calendar has.
bool DatumLesen(const std::string& text, Datum& datum) {
    const std::vector<std::string> teile = Teile(text, '.');
    std::int64_t t = 0;
    std::int64_t m = 0;
    std::int64_t j = 0;
    if (teile.size() != 3 || !Zahl(teile[0], 31, t) || !Zahl(teile[1], 12, m) ||
        teile[2].size() != 4 || !Zahl(teile[2], 9999, j) || j < 1000) {
        // A year with a leading zero would be written back with three digits.
        return false;
    }
    datum = Datum(static_cast<int>(t), static_cast<int>(m), static_cast<int>(j));
    return datum.IsValid() && datum.Day() == t && datum.Month() == m && datum.Year() == j;
}

}  // namespace

std::string DatevExporte::Betrag(std::int64_t cent) {
    const bool negativ = cent < 0;
    const std::uint64_t betrag =
        negativ ? 0 - static_cast<std::uint64_t>(cent) : static_cast<std::uint64_t>(cent);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu,%02llu", negativ ? "-" : "",
                  static_cast<unsigned long long>(betrag / 100),
                  static_cast<unsigned long long>(betrag % 100));
    return text;
}

std::string DatevExporte::Zeile(const Eintrag& e) {
    char zeit[32];
    std::snprintf(zeit, sizeof zeit, " %d:%02d:%02d", e.stunde, e.minute, e.sekunde);
    return e.von.Text() + ";" + e.bis.Text() + ";" + e.tag.Text() + zeit + ";" +
           std::to_string(e.anzahl) + ";" + Betrag(e.cent);
}

bool DatevExporte::AusZeile(const std::string& zeile, Eintrag& e) {
    const std::vector<std::string> teile = Teile(zeile, ';');
    if (teile.size() != 5) {
        return false;
    }
    const std::size_t blank = teile[2].find(' ');
    if (blank == std::string::npos || !DatumLesen(teile[0], e.von) ||
        !DatumLesen(teile[1], e.bis) || !DatumLesen(teile[2].substr(0, blank), e.tag) ||
        e.bis.Julian() < e.von.Julian()) {
        return false;
    }
    const std::vector<std::string> uhr = Teile(teile[2].substr(blank + 1), ':');
    std::int64_t h = 0;
    std::int64_t m = 0;
    std::int64_t s = 0;
    if (uhr.size() != 3 || !Zahl(uhr[0], 23, h) || !Zahl(uhr[1], 59, m) || !Zahl(uhr[2], 60, s)) {
        return false;
    }
    e.stunde = static_cast<int>(h);
    e.minute = static_cast<int>(m);
    e.sekunde = static_cast<int>(s);
    std::string betrag = teile[4];
    const bool negativ = !betrag.empty() && betrag[0] == '-';
    if (negativ) {
        betrag.erase(0, 1);
    }
    const std::size_t komma = betrag.find(',');
    std::int64_t euro = 0;
    std::int64_t cent = 0;
    constexpr std::int64_t kGrenze = 10000000000000;
    if (!Zahl(teile[3], kGrenze, e.anzahl) || komma == std::string::npos ||
        betrag.size() != komma + 3 || !Zahl(betrag.substr(0, komma), kGrenze, euro) ||
        !Zahl(betrag.substr(komma + 1), 99, cent)) {
        return false;
    }
    e.cent = (euro * 100 + cent) * (negativ ? -1 : 1);
    return true;
}

std::string DatevExporte::Beschreibung(const Eintrag& e) {
    char zeit[16];
    std::snprintf(zeit, sizeof zeit, " %d:%02d", e.stunde, e.minute);
    return "vom " + e.tag.Text() + zeit + " (" + e.von.Text() + " bis " + e.bis.Text() + ", " +
           std::to_string(e.anzahl) + (e.anzahl == 1 ? " Rechnung, " : " Rechnungen, ") +
           Betrag(e.cent) + " EUR)";
}

std::string DatevExporte::Konflikt(const std::string& text, Datum von, Datum bis) {
    const std::vector<std::string> zeilen = Zeilen(text);
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        if (zeilen[i].empty()) {
            continue;
        }
        Eintrag e;
        if (!AusZeile(zeilen[i], e)) {
            return "In der Datei daten/" + std::string(kDatei) + " ist Zeile " +
                   std::to_string(i + 1) +
                   " kein lesbarer Eintrag; ob sie diesen Zeitraum schon exportiert hat, ist "
                   "nicht zu erkennen."_w;
        }
        if (e.von.Julian() <= bis.Julian() && von.Julian() <= e.bis.Julian()) {
            return "Der Zeitraum " + von.Text() + " bis " + bis.Text() +
                   " überschneidet sich mit dem DATEV-Export "_w + Beschreibung(e) + ".";
        }
    }
    return {};
}

std::vector<std::string> DatevExporte::Unlesbar(const std::string& text) {
    std::vector<std::string> probleme;
    const std::vector<std::string> zeilen = Zeilen(text);
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        Eintrag e;
        if (!zeilen[i].empty() && !AusZeile(zeilen[i], e)) {
            probleme.push_back("Zeile " + std::to_string(i + 1) +
                               " ist kein Eintrag der Form "
                               "»1.11.2026;30.11.2026;6.12.2026 9:05:03;12;1234,56«."_w);
        }
    }
    return probleme;
}

Ergebnis<void> DatevExporte::Anhaengen(const std::string& datei, const Eintrag& eintrag) {
    const bool neu = !File::Exists(datei);
    const Ergebnis<std::string> bisher = File::ReadIfExists(datei);
    if (!bisher) {
        return bisher.Ursache();
    }
    Ergebnis<File> f = File::OpenAppend(datei);
    if (!f) {
        return f.Ursache();
    }
    // The last line is ended first; a lone CR at the end already began its
    // line end, and another CR would become part of that line.
    std::string vorher;
    if (!bisher->empty() && bisher->back() != '\n') {
        vorher = bisher->back() == '\r' ? "\n" : "\r\n";
    }
    if (Ergebnis<void> geschrieben = f->Append(vorher + Zeile(eintrag) + "\r\n"); !geschrieben) {
        return geschrieben;
    }
    if (Ergebnis<void> gesichert = f->DataSync(); !gesichert || !neu) {
        return gesichert;
    }
    // A new file's name must survive a power cut as well as its line.
    const std::size_t schraegstrich = datei.find_last_of('/');
    return File::SyncPath(schraegstrich == std::string::npos ? "."
                                                             : datei.substr(0, schraegstrich));
}
