#include "documents/Tabelle.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "storage/Datum.h"

namespace {

// Inserts "." between the thousands of the digits before the decimal comma.
std::string Gruppiert(const std::string& ziffern) {
    std::string out;
    const std::size_t n = ziffern.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            out += '.';
        }
        out += ziffern[i];
    }
    return out;
}

// "-1234.5" written the German way, with or without thousands separators.
std::string Deutsch(const std::string& punktzahl, bool gruppieren) {
    const bool negativ = !punktzahl.empty() && punktzahl[0] == '-';
    const std::string ohneVorzeichen = negativ ? punktzahl.substr(1) : punktzahl;
    const std::size_t punkt = ohneVorzeichen.find('.');
    const std::string ganz = ohneVorzeichen.substr(0, punkt);
    std::string out = negativ ? "-" : "";
    out += gruppieren ? Gruppiert(ganz) : ganz;
    if (punkt != std::string::npos) {
        out += ',' + ohneVorzeichen.substr(punkt + 1);
    }
    return out;
}

std::string CentText(std::int64_t cent) {
    const std::uint64_t betrag =
        cent < 0 ? 0 - static_cast<std::uint64_t>(cent) : static_cast<std::uint64_t>(cent);
    char text[40];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%02" PRIu64, cent < 0 ? "-" : "", betrag / 100,
                  betrag % 100);
    return text;
}

std::string DezimalText(double wert, int stellen) {
    if (!std::isfinite(wert)) {
        return "0";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", stellen, wert);
    // "-0,0" says nothing that "0,0" does not.
    std::string s = text;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) {
        s.erase(0, 1);
    }
    return s;
}

// The text of a cell in a CSV file: numbers without thousands separators.
std::string CsvZahl(const Tabelle::Spalte& spalte, const Tabelle::Zelle& zelle) {
    if (!zelle.HatWert()) {
        return {};
    }
    switch (spalte.art) {
        case Tabelle::Art::Text:
            return zelle.text;
        case Tabelle::Art::Anzahl:
        case Tabelle::Art::Nummer:
            return std::to_string(zelle.ganz);
        case Tabelle::Art::Betrag:
            return Deutsch(CentText(zelle.ganz), false);
        case Tabelle::Art::Dezimal:
            return Deutsch(DezimalText(zelle.dezimal, 1), false);
        case Tabelle::Art::Datum:
            return Tabelle::Datumstext(zelle.ganz);
    }
    return {};
}

std::string CsvFeld(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace

std::string Tabelle::Anzahl(std::int64_t wert) {
    return Deutsch(std::to_string(wert), true);
}

std::string Tabelle::Betrag(std::int64_t cent) {
    return Deutsch(CentText(cent), true);
}

std::string Tabelle::Dezimal(double wert, int stellen) {
    return Deutsch(DezimalText(wert, stellen), true);
}

std::string Tabelle::Datumstext(std::int64_t julian) {
    const ::Datum datum(static_cast<std::uint32_t>(julian));
    return julian > 0 && datum.IsValid() ? datum.Text() : std::string("N/A");
}

const std::string& Tabelle::Strich() {
    static const std::string strich = "\x96";  // the en dash of Windows-1252
    return strich;
}

std::string Tabelle::Text(const Zeile& zeile, std::size_t spalte) const {
    if (spalte >= zeile.size() || spalte >= spalten.size()) {
        return {};
    }
    const Zelle& zelle = zeile[spalte];
    if (zelle.inhalt == Zelle::Inhalt::Strich) {
        return Strich();
    }
    if (zelle.inhalt == Zelle::Inhalt::Nichts) {
        return {};
    }
    switch (spalten[spalte].art) {
        case Art::Text:
            return zelle.text;
        case Art::Anzahl:
            return Anzahl(zelle.ganz);
        case Art::Nummer:
            return std::to_string(zelle.ganz);
        case Art::Betrag:
            return Betrag(zelle.ganz);
        case Art::Dezimal:
            return Dezimal(zelle.dezimal);
        case Art::Datum:
            return Datumstext(zelle.ganz);
    }
    return {};
}

std::string Tabelle::Ueberschrift() const {
    return zeitraum.empty() ? titel : titel + ", " + zeitraum;
}

std::string Tabelle::Csv() const {
    std::string out;
    for (std::size_t i = 0; i < spalten.size(); ++i) {
        out += (i > 0 ? ";" : "") + CsvFeld(spalten[i].titel);
    }
    out += "\r\n";
    auto zeileSchreiben = [&](const Zeile& zeile) {
        for (std::size_t i = 0; i < spalten.size(); ++i) {
            const std::string feld = i < zeile.size() ? CsvZahl(spalten[i], zeile[i]) : "";
            out += (i > 0 ? ";" : "") + CsvFeld(feld);
        }
        out += "\r\n";
    };
    for (const Zeile& zeile : zeilen) {
        zeileSchreiben(zeile);
    }
    if (!summe.empty()) {
        zeileSchreiben(summe);
    }
    return out;
}

std::string Tabelle::Klartext(const std::string& zeilenende) const {
    std::vector<std::size_t> breiten(spalten.size(), 0);
    for (std::size_t i = 0; i < spalten.size(); ++i) {
        breiten[i] = spalten[i].titel.size();
    }
    auto messen = [&](const Zeile& zeile) {
        for (std::size_t i = 0; i < spalten.size(); ++i) {
            breiten[i] = std::max(breiten[i], Text(zeile, i).size());
        }
    };
    for (const Zeile& zeile : zeilen) {
        messen(zeile);
    }
    messen(summe);
    auto zeileSchreiben = [&](auto zelle) {
        std::string z;
        for (std::size_t i = 0; i < spalten.size(); ++i) {
            const std::string text = zelle(i);
            const std::string fuell(breiten[i] - std::min(breiten[i], text.size()), ' ');
            if (i > 0) {
                z += "  ";
            }
            z += Rechtsbuendig(i) ? fuell + text : text + fuell;
        }
        while (!z.empty() && z.back() == ' ') {
            z.pop_back();
        }
        return z + zeilenende;
    };
    std::size_t gesamt = 0;
    for (std::size_t b : breiten) {
        gesamt += b;
    }
    gesamt += spalten.empty() ? 0 : 2 * (spalten.size() - 1);
    const std::string strich = std::string(gesamt, '-') + zeilenende;

    std::string out = Ueberschrift() + zeilenende + zeilenende;
    out += zeileSchreiben([&](std::size_t i) { return spalten[i].titel; });
    out += strich;
    for (const Zeile& zeile : zeilen) {
        out += zeileSchreiben([&](std::size_t i) { return Text(zeile, i); });
    }
    if (!summe.empty()) {
        out += strich;
        out += zeileSchreiben([&](std::size_t i) { return Text(summe, i); });
    }
    return out;
}
