#include "cli/Flaschenzaehlung.h"

#include <algorithm>
#include <cstdint>
#include <span>
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

// The items of one chosen invoice that the walk met one after the other:
// the invoice's place in the file order of the chosen ones, and where its
// items begin and end among the counted ones.
struct Strecke {
    std::uint32_t platz = 0;
    std::size_t anfang = 0;
    std::size_t ende = 0;
};

// A counted item's wine index that does not fit in 16 bits (only damage
// names that many wines) is kept aside.
constexpr std::uint16_t kBreit = 0xFFFF;

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

void Flaschenzaehlung::Zaehlung::Eintraege(Flaschenliste::Eintraege& eintraege) const {
    eintraege.Empty();
    eintraege.Reserve(static_cast<unsigned>(mengen.size()));
    for (const Flaschenliste::Wein& wein : weine) {
        RechnungsVerwaltung::FlaschenPosten f;
        f.weinNummer = wein.nummer;
        for (const std::int16_t menge : wein.mengen) {
            f.menge = menge;
            eintraege.Add(f);
        }
    }
}

Flaschenzaehlung::Zaehlung Flaschenzaehlung::Zaehlen(const std::string& verzeichnis,
                                                     const Customizer& c) {
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

    // Per counted item four bytes, in the order the walk met them, and per
    // stretch of items of one invoice its place: where the items of every
    // invoice were stored after those of the invoices before it, the walk
    // meets each invoice's items together and in the collection order (the
    // newest chosen invoice first).
    std::vector<std::uint16_t> weinVon;
    std::vector<std::int16_t> mengeVon;
    std::unordered_map<std::size_t, std::uint32_t> breit;
    std::vector<Strecke> strecken;
    // Room for one item of the file each, used only as far as items are
    // counted (chains that run into each other may need more).
    weinVon.reserve(static_cast<std::size_t>(anzahl));
    mengeVon.reserve(static_cast<std::size_t>(anzahl));
    strecken.reserve(ids.size());
    Weine weine;
    bool geordnet = true;
    lauf.Gehen([&](std::uint32_t platz, std::string_view bild) {
        if (Feldwert<&P::rechnung>(bild) != ids[platz]) {
            return;
        }
        if (strecken.empty() || strecken.back().platz != platz) {
            geordnet = geordnet && (strecken.empty() || platz < strecken.back().platz);
            strecken.push_back({platz, mengeVon.size(), 0});
        }
        const std::uint32_t wein = weine.Zaehlen(Feldwert<&P::weinNummer>(bild));
        if (wein >= kBreit) {
            breit.emplace(weinVon.size(), wein);
        }
        weinVon.push_back(static_cast<std::uint16_t>(std::min<std::uint32_t>(wein, kBreit)));
        mengeVon.push_back(Feldwert<&P::menge>(bild));
    });
    for (std::size_t i = 0; i < strecken.size(); ++i) {
        strecken[i].ende = i + 1 < strecken.size() ? strecken[i + 1].anfang : mengeVon.size();
    }
    if (!geordnet) {
        // Newest invoice first; a chain's items keep the order of its walk.
        std::stable_sort(strecken.begin(), strecken.end(),
                         [](const Strecke& a, const Strecke& b) { return a.platz > b.platz; });
    }

    // Counted out by wine, in ascending wine numbers, into room made once.
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
    Zaehlung zaehlung;
    zaehlung.mengen.resize(mengeVon.size());
    for (const Strecke& strecke : strecken) {
        for (std::size_t i = strecke.anfang; i < strecke.ende; ++i) {
            const std::uint32_t wein = weinVon[i] == kBreit ? breit.at(i) : weinVon[i];
            zaehlung.mengen[stelle[wein]++] = mengeVon[i];
        }
    }
    zaehlung.weine.reserve(reihe.size());
    for (const std::uint32_t w : reihe) {
        zaehlung.weine.push_back(
            {nummern[w], std::span<const std::int16_t>(zaehlung.mengen.data() + anfang[w],
                                                       stelle[w] - anfang[w])});
    }
    return zaehlung;
}
