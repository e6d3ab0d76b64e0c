#include "documents/Flaschenliste.h"

#include <cstdio>
#include <string>

#include "documents/BIFFOut.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/File.h"

namespace {

constexpr const char* kZeilenende = "\r\n";

std::string Tag(std::int32_t julian) {
    return Datum(static_cast<std::uint32_t>(julian)).Text();
}

}  // namespace

bool Flaschenliste::Write(RechnungsVerwaltung& rechnungen, const Customizer& einstellungen,
                          const std::string& fileName, int format) {
    Eintraege eintraege;
    rechnungen.GetFlaschenPosten(eintraege);
    switch (format) {
        case kText:
            return File::ReplaceAtomically(fileName, Text(fileName, eintraege, einstellungen));
        case kTabelle:
            return Tabelle(fileName, eintraege, einstellungen);
        default:
            return true;
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

bool Flaschenliste::Tabelle(const std::string& fileName, const Eintraege& eintraege,
                            const Customizer& einstellungen) {
    BIFFOut out(fileName);
    out.SetDefColWidth(10);
    out.WriteLabel(0, 0, "Liste verkaufter Flaschen");
    if (einstellungen.filterMit2) {
        const Datum von(static_cast<std::uint32_t>(einstellungen.filterVon2));
        const Datum bis(static_cast<std::uint32_t>(einstellungen.filterBis2));
        char text[160];
        std::snprintf(text, sizeof text, "Datierung der Rechnungen von %d.%d.%d bis %d.%d.%d",
                      von.Day(), von.Month(), von.Year(), bis.Day(), bis.Month(), bis.Year());
        out.WriteLabel(1, 0, text);
    }
    int spalte = 0;
    int zeile = 5;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        const auto& eintrag = eintraege[i];
        if (i == 0 || eintrag.weinNummer != eintraege[i - 1].weinNummer) {
            if (i != 0) {
                ++spalte;
            }
            out.WriteLabel(3, spalte, "Wein " + std::to_string(eintrag.weinNummer));
            zeile = 5;
        }
        out.WriteNumber(zeile, spalte, static_cast<double>(eintrag.menge));
        ++zeile;
    }
    return out.Close();
}
