#include "model/MahnungsVerwaltung.h"

#include <algorithm>
#include <ostream>

#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"

MahnungsVerwaltung::MahnungsVerwaltung(const std::string& fileName, Zugriff zugriff)
    : liste_(fileName.c_str(), zugriff) {
    for (unsigned i = 0; i < liste_.Count(); ++i) {
        index_.emplace(liste_[i].rechnung, i);
    }
}

std::int32_t MahnungsVerwaltung::Stufe(std::int32_t rechnung) const {
    const auto it = index_.find(rechnung);
    if (it == index_.end()) {
        return 0;
    }
    return std::clamp(liste_[it->second].stufe, 0, kHoechsteStufe);
}

Datum MahnungsVerwaltung::LetzteMahnung(std::int32_t rechnung) const {
    const auto it = index_.find(rechnung);
    return it == index_.end() ? Datum() : Datum(liste_[it->second].datum);
}

void MahnungsVerwaltung::Vermerken(std::int32_t rechnung, std::int32_t nummer, std::int32_t stufe,
                                   Datum datum, LogBuch* logBuch) {
    const std::int32_t alt = Stufe(rechnung);
    if (logBuch != nullptr) {
        // A flush that fails raises before the record is touched. A level
        // set back names no day.
        logBuch->Stamp() << ">> MAHNSTUFE << Rechnung " << nummer << " (Id " << rechnung
                         << "): " << alt << " -> " << stufe
                         << (datum.IsValid() ? " am " + datum.Text() : std::string()) << std::endl;
    }
    Mahnstand neu;
    neu.rechnung = rechnung;
    neu.stufe = stufe;
    neu.datum = datum.Julian();
    const auto it = index_.find(rechnung);
    if (it == index_.end()) {
        liste_.Add(neu);
        index_.emplace(rechnung, liste_.Count() - 1);
        return;
    }
    const Mahnstand vorher = liste_[it->second];
    liste_[it->second] = neu;
    try {
        liste_.Store(it->second);
    } catch (...) {
        liste_[it->second] = vorher;
        throw;
    }
}

std::vector<std::string> MahnungsVerwaltung::Probleme(RechnungsVerwaltung& rechnungen) const {
    std::vector<std::string> probleme;
    const std::string datei = "»"_w + CodePage::Utf8ToCp1252(liste_.FileName()) + "«"_w;
    std::unordered_map<std::int32_t, unsigned> gesehen;
    for (unsigned i = 0; i < liste_.Count(); ++i) {
        const Mahnstand& m = liste_[i];
        const std::string satz = "Satz " + std::to_string(i + 1) + " der Mahndatei " + datei;
        if (m.stufe < 0 || m.stufe > kHoechsteStufe) {
            probleme.push_back(satz + " hat die Mahnstufe " + std::to_string(m.stufe) +
                               " (erlaubt sind 0 bis 3).");
        }
        if (!gesehen.emplace(m.rechnung, i).second) {
            probleme.push_back(satz + " nennt die Rechnung mit der Id " +
                               std::to_string(m.rechnung) +
                               " ein weiteres Mal; es gilt der erste Satz.");
            continue;
        }
        const Rechnung* r = rechnungen.GetRechnung(m.rechnung);
        if (r == nullptr || r->id != m.rechnung) {
            probleme.push_back(satz + " nennt die Rechnung mit der Id " +
                               std::to_string(m.rechnung) +
                               ", die es in der Rechnungsdatei nicht gibt; der Satz wird "
                               "übergangen."_w);
        }
    }
    return probleme;
}
