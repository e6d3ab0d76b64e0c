#include "documents/FlaschenlisteArbeitsmappe.h"

#include <unordered_map>

#include "documents/Arbeitsmappe.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"

namespace {

std::string Tag(std::int32_t julian) {
    return Datum(static_cast<std::uint32_t>(julian)).Text();
}

}  // namespace

std::string FlaschenlisteArbeitsmappe::Zeitraum(const Customizer& c) {
    std::string text;
    if (c.filterMit2) {
        text = "Datierung der Rechnungen von " + Tag(c.filterVon2) + " bis " + Tag(c.filterBis2);
    }
    if (c.filterMit1) {
        text += (text.empty() ? "" : ", ") + std::string("Erfassung der Rechnungen von ") +
                Tag(c.filterVon1) + " bis " + Tag(c.filterBis1);
    }
    return text;
}

::Tabelle FlaschenlisteArbeitsmappe::Inhalt(const Flaschenliste::Eintraege& eintraege,
                                            const Customizer& einstellungen,
                                            const WeinlistenVerwaltung* weine) {
    using Art = ::Tabelle::Art;
    using Zelle = ::Tabelle::Zelle;
    ::Tabelle t;
    t.titel = "Liste verkaufter Flaschen";
    t.zeitraum = Zeitraum(einstellungen);
    t.spalten = {{"Nr.", Art::Nummer, 6},
                 {"Wein", Art::Text, 30},
                 {"Bezeichnung", Art::Text, 30},
                 {"Füllmenge"_w, Art::Text, 9},
                 {"Flaschen", Art::Anzahl, 9}};
    std::unordered_map<std::int32_t, const Wein*> katalog;
    if (weine != nullptr) {
        for (unsigned i = 0; i < weine->Count(); ++i) {
            katalog.emplace((*weine)[i].nummer, &(*weine)[i]);
        }
    }
    std::int64_t summe = 0;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        const auto& eintrag = eintraege[i];
        if (i == 0 || eintrag.weinNummer != eintraege[i - 1].weinNummer) {
            const auto it = katalog.find(eintrag.weinNummer);
            const Wein* wein = it != katalog.end() ? it->second : nullptr;
            t.zeilen.push_back(
                {Zelle::Ganz(eintrag.weinNummer),
                 Zelle::Von(wein != nullptr ? FixedText::Get(wein->name) : std::string("N/A")),
                 Zelle::Von(wein != nullptr ? FixedText::Get(wein->bezeichnung) : std::string()),
                 Zelle::Von(wein != nullptr ? FixedText::Get(wein->fuellmenge) : std::string()),
                 Zelle::Ganz(0)});
        }
        t.zeilen.back()[4].ganz += eintrag.menge;
        summe += eintrag.menge;
    }
    t.summe = {Zelle::Frei(), Zelle::Von("Summe"), Zelle::Von(""), Zelle::Von(""),
               Zelle::Ganz(summe)};
    return t;
}

Ergebnis<void> FlaschenlisteArbeitsmappe::Schreiben(const std::string& datei,
                                                    const Flaschenliste::Eintraege& eintraege,
                                                    const Customizer& einstellungen,
                                                    const WeinlistenVerwaltung* weine) {
    return Arbeitsmappe::Schreiben(datei, Inhalt(eintraege, einstellungen, weine));
}
