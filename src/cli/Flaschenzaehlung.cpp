#include "cli/Flaschenzaehlung.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cli/Rechnungsstrom.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"

namespace {

using P = PostenVerwaltung::Posten;

// One counted item: the chosen invoice it belongs to (its place in the file
// order of the chosen ones), its wine (as a dense index) and its bottles.
struct Besuch {
    std::uint32_t platz = 0;
    std::uint32_t wein = 0;
    std::int16_t menge = 0;
};

// Wine numbers as dense indices, with the number of items counted for each:
// the numbers of a catalogue are small, so a table answers for them; any
// other number (damage) goes to a map.
class Weine {
  public:
    std::uint32_t Zaehlen(std::int32_t nummer) {
        std::uint32_t index = 0;
        if (nummer >= 0 && nummer < kDirekt) {
            std::uint32_t& direkt = direkt_[static_cast<std::size_t>(nummer)];
            if (direkt == kNeu) {
                direkt = Neu(nummer);
            }
            index = direkt;
        } else {
            const auto [eintrag, neu] = sonst_.try_emplace(nummer, 0);
            if (neu) {
                eintrag->second = Neu(nummer);
            }
            index = eintrag->second;
        }
        ++posten_[index];
        return index;
    }
    const std::vector<std::int32_t>& Nummern() const { return nummern_; }
    const std::vector<std::size_t>& Posten() const { return posten_; }

  private:
    static constexpr std::int32_t kDirekt = 1 << 16;
    static constexpr std::uint32_t kNeu = 0xFFFFFFFFu;

    std::uint32_t Neu(std::int32_t nummer) {
        nummern_.push_back(nummer);
        posten_.push_back(0);
        return static_cast<std::uint32_t>(nummern_.size() - 1);
    }

    std::vector<std::uint32_t> direkt_ = std::vector<std::uint32_t>(kDirekt, kNeu);
    std::unordered_map<std::int32_t, std::uint32_t> sonst_;
    std::vector<std::int32_t> nummern_;
    std::vector<std::size_t> posten_;
};

}  // namespace

void Flaschenzaehlung::Zaehlen(const std::string& verzeichnis, const Customizer& c,
                               Flaschenliste::Eintraege& eintraege) {
    eintraege.Empty();
    const File posten = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungsposten.dat");
    const auto anzahl = static_cast<std::int32_t>(Rechnungsstrom::Saetze(posten, P::DiskSize));
    Kettenlauf lauf(posten, anzahl);

    // The invoices the filter periods choose, as the window chooses them
    // newest first: there the first invoice captured more than the
    // pre-dating limit after the start of the dating period ends the search,
    // so here, front to back, it drops every invoice chosen before it.
    const auto erfasstVon = static_cast<std::uint32_t>(c.filterVon1);
    const auto erfasstBis = static_cast<std::uint32_t>(c.filterBis1);
    const auto datumVon = static_cast<std::uint32_t>(c.filterVon2);
    const auto datumBis = static_cast<std::uint32_t>(c.filterBis2);
    const bool mitErfasst = c.filterMit1 != 0;
    const bool mitDatum = c.filterMit2 != 0;
    const std::int32_t grenze = c.vordatierungTage;
    std::vector<std::int32_t> ids;
    std::vector<std::int32_t> koepfe;
    const File rechnungen = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungen.dat");
    Rechnungsstrom::JederSatz(
        rechnungen, Rechnung::DiskSize, [&](std::uint32_t, std::string_view satz) {
            const std::uint32_t erfasst = Feldwert<&Rechnung::erfasstDatum>(satz);
            if (mitDatum && static_cast<std::int32_t>(datumVon - erfasst) > grenze) {
                ids.clear();
                koepfe.clear();
                return;
            }
            if (Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
                return;
            }
            if (mitErfasst && (erfasst < erfasstVon || erfasst > erfasstBis)) {
                return;
            }
            if (mitDatum) {
                const std::uint32_t datum = Feldwert<&Rechnung::datum>(satz);
                if (datum < datumVon || datum > datumBis) {
                    return;
                }
            }
            ids.push_back(Feldwert<&Rechnung::id>(satz));
            koepfe.push_back(Feldwert<&Rechnung::postenKopf>(satz));
        });
    lauf.Reservieren(koepfe.size());
    for (const std::int32_t kopf : koepfe) {
        lauf.Anmelden(kopf);
    }
    koepfe = {};

    // Room for one visit per item of the file: used only as far as items
    // are counted (chains that run into each other may need more).
    std::vector<Besuch> besuche;
    besuche.reserve(static_cast<std::size_t>(anzahl));
    Weine weine;
    // Whether the walk met the items in the collection order already (the
    // newest chosen invoice first), as it does where every invoice's items
    // were stored after those of the invoices before it.
    bool geordnet = true;
    std::uint32_t zuletzt = 0xFFFFFFFFu;
    lauf.Gehen([&](std::uint32_t platz, std::string_view bild) {
        if (Feldwert<&P::rechnung>(bild) != ids[platz]) {
            return;
        }
        geordnet = geordnet && platz <= zuletzt;
        zuletzt = platz;
        besuche.push_back(
            {platz, weine.Zaehlen(Feldwert<&P::weinNummer>(bild)), Feldwert<&P::menge>(bild)});
    });
    if (!geordnet) {
        // Counted out by invoice, newest first; a chain's items keep the
        // order of its walk.
        std::vector<std::size_t> stelle(ids.size() + 1, 0);
        for (const Besuch& b : besuche) {
            ++stelle[ids.size() - 1 - b.platz];
        }
        std::size_t summe = 0;
        for (std::size_t& s : stelle) {
            summe += std::exchange(s, summe);
        }
        std::vector<Besuch> neu(besuche.size());
        for (const Besuch& b : besuche) {
            neu[stelle[ids.size() - 1 - b.platz]++] = b;
        }
        besuche = std::move(neu);
    }

    // Counted out by wine, in ascending wine numbers, into the list made
    // once in its full size.
    const std::vector<std::int32_t>& nummern = weine.Nummern();
    std::vector<std::uint32_t> reihe(nummern.size());
    for (std::uint32_t w = 0; w < reihe.size(); ++w) {
        reihe[w] = w;
    }
    std::sort(reihe.begin(), reihe.end(),
              [&](std::uint32_t a, std::uint32_t b) { return nummern[a] < nummern[b]; });
    std::vector<std::size_t> anfang(nummern.size(), 0);
    std::size_t summe = 0;
    for (const std::uint32_t w : reihe) {
        anfang[w] = summe;
        summe += weine.Posten()[w];
    }
    std::vector<std::size_t> stelle = anfang;
    std::vector<std::int16_t> mengen(besuche.size());
    for (const Besuch& b : besuche) {
        mengen[stelle[b.wein]++] = b.menge;
    }
    besuche = {};
    eintraege.Reserve(static_cast<unsigned>(mengen.size()));
    for (const std::uint32_t w : reihe) {
        RechnungsVerwaltung::FlaschenPosten f;
        f.weinNummer = nummern[w];
        for (std::size_t i = anfang[w]; i < stelle[w]; ++i) {
            f.menge = mengen[i];
            eintraege.Add(f);
        }
    }
}
