#include "model/OffenePosten.h"

#include <algorithm>
#include <tuple>

#include "model/Firmendaten.h"
#include "model/Mahntexte.h"
#include "model/MahnungsVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/GenericList.h"

std::int32_t OffenerPosten::NaechsteStufe() const {
    return std::min(stufe + 1, MahnungsVerwaltung::kHoechsteStufe);
}

Datum OffenePosten::Faelligkeit(const Rechnungsbetrag& betrag, int zahlungszielTage) {
    if (!betrag.datum.IsValid()) {
        return Datum();
    }
    return Datum(betrag.datum.Julian() + static_cast<std::uint32_t>(std::max(0, zahlungszielTage)));
}

std::vector<OffenerPosten> OffenePosten::Ermitteln(RechnungsVerwaltung& rechnungen,
                                                   const Customizer* einstellungen,
                                                   const Firmendaten& firma,
                                                   const MahnungsVerwaltung* mahnungen,
                                                   const Mahntexte& texte, Datum stichtag,
                                                   bool nurUeberfaellig) {
    GenericList<Rechnung> offene;
    rechnungen.GetRechnungenNachDatum(offene, 0, 0, 0, 0, false, false, true);
    const int ziel = firma.ZahlungszielTage();
    const auto heute = static_cast<std::int64_t>(stichtag.Julian());
    std::vector<OffenerPosten> posten;
    posten.reserve(offene.Count());
    for (unsigned i = 0; i < offene.Count(); ++i) {
        const Rechnung& r = offene[i];
        const Rechnungsbetrag betrag(r, einstellungen);
        if (betrag.offen <= 0) {
            continue;
        }
        OffenerPosten p;
        p.id = r.id;
        p.nummer = r.nummer;
        p.kunde = r.kunde;
        p.datum = betrag.datum;
        p.faellig = Faelligkeit(betrag, ziel);
        // An invoice without any date has been due since ever.
        p.tageUeberfaellig =
            p.faellig.IsValid()
                ? static_cast<std::int32_t>(heute - static_cast<std::int64_t>(p.faellig.Julian()))
                : static_cast<std::int32_t>(heute);
        if (nurUeberfaellig && p.tageUeberfaellig <= 0) {
            continue;
        }
        p.endbetrag = betrag.endbetrag;
        p.eingegangen = betrag.eingegangen;
        p.offen = betrag.offen;
        if (mahnungen != nullptr) {
            p.stufe = mahnungen->Stufe(r.id);
            p.letzteMahnung = mahnungen->LetzteMahnung(r.id);
        }
        if (p.tageUeberfaellig > 0) {
            if (p.stufe == 0) {
                p.vorgeschlagen = true;
            } else if (p.stufe < MahnungsVerwaltung::kHoechsteStufe) {
                p.vorgeschlagen = !p.letzteMahnung.IsValid() ||
                                  heute - static_cast<std::int64_t>(p.letzteMahnung.Julian()) >=
                                      texte.tageBisNaechsteStufe;
            }
        }
        posten.push_back(p);
    }
    std::sort(posten.begin(), posten.end(), [](const OffenerPosten& a, const OffenerPosten& b) {
        return std::make_tuple(a.faellig.Julian(), a.nummer, a.id) <
               std::make_tuple(b.faellig.Julian(), b.nummer, b.id);
    });
    return posten;
}

Datum Mahnbrief::Faelligkeit() const {
    Datum frueheste;
    for (const OffenerPosten& p : posten) {
        if (p.faellig.IsValid() &&
            (!frueheste.IsValid() || p.faellig.Julian() < frueheste.Julian())) {
            frueheste = p.faellig;
        }
    }
    return frueheste;
}

std::string Mahnbrief::Verwendungszweck() const {
    std::string text = "Mahnung";
    for (std::size_t i = 0; i < posten.size(); ++i) {
        text += (i == 0 ? " " : ", ") + std::to_string(posten[i].nummer);
    }
    return text;
}

std::vector<Mahnbrief> Mahnbrief::Bilden(const std::vector<OffenerPosten>& gewaehlt,
                                         const Mahntexte& texte) {
    std::vector<Mahnbrief> briefe;
    for (const OffenerPosten& p : gewaehlt) {
        auto brief = std::find_if(briefe.begin(), briefe.end(),
                                  [&](const Mahnbrief& b) { return b.kunde == p.kunde; });
        if (brief == briefe.end()) {
            briefe.emplace_back();
            brief = briefe.end() - 1;
            brief->kunde = p.kunde;
        }
        brief->posten.push_back(p);
        brief->offen += p.offen;
        brief->stufe = std::max(brief->stufe, p.NaechsteStufe());
    }
    for (Mahnbrief& brief : briefe) {
        brief.gebuehr = texte.Von(brief.stufe).gebuehr;
    }
    return briefe;
}

void Mahnbrief::Vermerken(const std::vector<Mahnbrief>& briefe, MahnungsVerwaltung& mahnungen,
                          LogBuch* logBuch, Datum datum) {
    for (const Mahnbrief& brief : briefe) {
        for (const OffenerPosten& p : brief.posten) {
            mahnungen.Vermerken(p.id, p.nummer, p.NaechsteStufe(), datum, logBuch);
        }
    }
}
