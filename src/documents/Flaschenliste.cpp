#include "documents/Flaschenliste.h"

#include <string>

#include "documents/Ausgabeziel.h"
#include "documents/BIFFOut.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"

namespace {

constexpr const char* kZeilenende = "\r\n";

std::string Tag(std::int32_t julian) {
    return Datum(static_cast<std::uint32_t>(julian)).Text();
}

}  // namespace

Ergebnis<void> Flaschenliste::Write(RechnungsVerwaltung& rechnungen,
                                    const Customizer& einstellungen, const std::string& fileName,
                                    int format, Auslassung* auslassung) {
    Eintraege eintraege;
    rechnungen.GetFlaschenPosten(eintraege);
    switch (format) {
        case kText:
            return Ausgabeziel::Ersetzen(fileName, Text(fileName, eintraege, einstellungen));
        case kTabelle:
            return Tabelle(fileName, eintraege, einstellungen, auslassung);
        default:
            return {};
    }
}

std::string Flaschenliste::Text(const std::string& fileName, const Eintraege& eintraege,
                                const Customizer& einstellungen) {
    std::string out = "Datei: " + fileName + kZeilenende + kZeilenende;
    if (einstellungen.filterMit2) {
        out += "Flaschenliste für den Zeitraum vom "_w + Tag(einstellungen.filterVon2) +
               " bis zum " + Tag(einstellungen.filterBis2) + kZeilenende + kZeilenende +
               kZeilenende;
    }
    int summe = 0;
    int zaehler = 0;
    bool ersteInZeile = true;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        const auto& eintrag = eintraege[i];
        if (i == 0 || eintrag.weinNummer != eintraege[i - 1].weinNummer) {
            if (i != 0) {
                out += kZeilenende + std::string("Summe: ") + std::to_string(summe) + kZeilenende +
                       kZeilenende;
            }
            out += "Wein Nummer (" + std::to_string(eintrag.weinNummer) + "): ";
            summe = 0;
            // The heading takes the room of five numbers on the first line.
            zaehler = 5;
            ersteInZeile = true;
        }
        if (!ersteInZeile) {
            out += ", ";
        }
        out += std::to_string(eintrag.menge);
        ersteInZeile = false;
        summe += eintrag.menge;
        if (++zaehler > 25) {
            zaehler = 0;
            out += std::string(",") + kZeilenende;
            ersteInZeile = true;
        }
    }
    if (eintraege.Count() > 0) {
        out += kZeilenende + std::string("Summe: ") + std::to_string(summe) + kZeilenende +
               kZeilenende;
    }
    return out;
}

Ergebnis<void> Flaschenliste::Tabelle(const std::string& fileName, const Eintraege& eintraege,
                                      const Customizer& einstellungen, Auslassung* auslassung) {
    BIFFOut out(fileName);
    Auslassung fehlt;
    fehlt.postenGesamt = eintraege.Count();
    out.SetDefColWidth(10);
    out.WriteLabel(0, 0, "Liste verkaufter Flaschen");
    if (einstellungen.filterMit2) {
        out.WriteLabel(1, 0,
                       "Datierung der Rechnungen von " + Tag(einstellungen.filterVon2) + " bis " +
                           Tag(einstellungen.filterBis2));
    }
    int spalte = 0;
    int zeile = 5;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        const auto& eintrag = eintraege[i];
        if (i == 0 || eintrag.weinNummer != eintraege[i - 1].weinNummer) {
            if (i != 0) {
                ++spalte;
            }
            ++fehlt.weineGesamt;
            if (spalte >= BIFFOut::kMaxColumns) {
                ++fehlt.weine;
            }
            out.WriteLabel(3, spalte, "Wein " + std::to_string(eintrag.weinNummer));
            zeile = 5;
        }
        if (spalte >= BIFFOut::kMaxColumns || zeile >= BIFFOut::kMaxRows) {
            ++fehlt.posten;
        }
        out.WriteNumber(zeile, spalte, static_cast<double>(eintrag.menge));
        ++zeile;
    }
    if (auslassung != nullptr) {
        *auslassung = fehlt;
    }
    return out.Close();
}

std::string Flaschenliste::AuslassungsText(const Auslassung& a) {
    std::string text = "Die Tabelle ist unvollständig: sie fasst höchstens "_w +
                       std::to_string(BIFFOut::kMaxColumns) + " Weine und je Wein " +
                       std::to_string(BIFFOut::kMaxRows - 5) + " Posten. Es fehlen " +
                       std::to_string(a.posten) + " von " + std::to_string(a.postenGesamt) +
                       " Posten";
    if (a.weine > 0) {
        text += " (darunter alle Posten von " + std::to_string(a.weine) + " der " +
                std::to_string(a.weineGesamt) + " Weine)";
    }
    return text + ". Die Flaschenliste als Textdatei enthält alle Posten."_w;
}
