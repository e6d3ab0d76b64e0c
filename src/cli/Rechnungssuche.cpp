#include "cli/Rechnungssuche.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>

#include "cli/Rechnungsstrom.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"

namespace {

constexpr std::size_t kPosten = PostenVerwaltung::Posten::DiskSize;
constexpr std::size_t kRechnung = Rechnung::DiskSize;

bool InDM(const Customizer* einstellungen) {
    return einstellungen == nullptr || einstellungen->preiseInEuro == 0;
}

// One field straight from an image that holds the whole record: the
// files are little-endian, as the machines this runs on, so that the hot
// walks copy the field instead of assembling it byte by byte.
static_assert(std::endian::native == std::endian::little);
template <auto glied>
typename Glied<decltype(glied)>::Typ Feld(const char* bild) {
    using G = Glied<decltype(glied)>;
    constexpr std::size_t offset = G::Satz::kFelder.Offset(glied);
    typename G::Typ wert;
    static_assert(offset + sizeof wert <= G::Satz::kFelder.kGroesse);
    std::memcpy(&wert, bild + offset, sizeof wert);
    return wert;
}

Rechnungssuche::Treffer AusSatz(std::string_view satz, std::int64_t summe) {
    return {Feld<&Rechnung::id>(satz.data()), Feld<&Rechnung::nummer>(satz.data()),
            Feld<&Rechnung::kunde>(satz.data()), Feld<&Rechnung::datum>(satz.data()), summe};
}

// Whether a sum lies so far from the amount that no rounding to cents can
// bring it within the tolerance: most invoices do, and telling them in
// doubles (exact for these magnitudes) spares the rounding. Unsure cases
// (no number, very large values) are left to the exact test.
bool WeitAb(float summe, std::int64_t betrag, std::int64_t toleranz) {
    constexpr std::int64_t kGenau = std::int64_t{1} << 50;
    if (betrag <= -kGenau || betrag >= kGenau || toleranz < 0 || toleranz >= kGenau) {
        return false;
    }
    const double cent = static_cast<double>(summe) * 100.0;
    return std::fabs(cent) < 1e14 &&
           std::fabs(cent - static_cast<double>(betrag)) > static_cast<double>(toleranz) + 1.0;
}

using Fund = std::pair<std::uint32_t, Rechnungssuche::Treffer>;

// Every live invoice with the float sum of its items, given to `fertig`
// with its position once its chain is walked; both files are read from
// their ends in pieces.
// Invoices and items are appended in time order, so an invoice's chain head
// lies above the heads of the invoices stored before it: the walk down the
// item file takes in the invoices down the invoice file just before it
// reaches their heads, and keeps an invoice only while its chain is open.
// An invoice whose head the walk has already passed (its items were stored
// after newer invoices' items) is set aside and walked afterwards with the
// others of its kind. Memory grows with the open chains and those set aside,
// never with the files. Links are followed as PostenVerwaltung follows them
// (a link that does not point down, or leaves the file, ends the chain).
template <typename F>
void Summieren(const File& posten, std::int32_t anzahl, const File& rechnungen,
               std::uint32_t saetze, bool inDM, F&& fertig) {
    using P = PostenVerwaltung::Posten;
    using Treffer = Rechnungssuche::Treffer;
    constexpr auto kBlock = static_cast<std::int32_t>(Rechnungsstrom::kStueck / kPosten);
    constexpr auto kJeStueck = static_cast<std::uint32_t>(Rechnungsstrom::kStueck / kRechnung);
    constexpr std::uint32_t kKeiner = 0xFFFFFFFFu;

    const auto posteneintrag = [inDM](const char* bild) {
        const float preis = inDM ? Feld<&P::preisDM>(bild) : Feld<&P::preisEuro>(bild);
        return static_cast<float>(Feld<&P::menge>(bild)) * preis;
    };

    // An open chain: its invoice, the sum so far, the item it waits for and
    // the next chain waiting in the same list. Places are reused.
    struct Offen {
        std::uint32_t satz;
        Treffer rechnung;
        float summe;
        std::int32_t ziel;
        std::uint32_t weiter;
    };
    std::vector<Offen> offen;
    std::vector<std::uint32_t> frei;
    const std::size_t bloecke = (static_cast<std::size_t>(anzahl) + kBlock - 1) / kBlock;
    std::vector<std::uint32_t> blockListe(bloecke, kKeiner);
    const auto warten = [&](std::uint32_t platz, std::int32_t index) {
        std::uint32_t& liste = blockListe[static_cast<std::size_t>(index / kBlock)];
        offen[platz].ziel = index;
        offen[platz].weiter = liste;
        liste = platz;
    };

    struct Spaet {
        std::uint32_t satz;
        Treffer rechnung;
        std::int32_t kopf;
    };
    std::vector<Spaet> spaete;
    // The walk has read the items from here to the end.
    std::int32_t gelesenAb = anzahl;
    const auto anmelden = [&](std::uint32_t satz, std::string_view bild) {
        const std::int32_t kopf = Feld<&Rechnung::postenKopf>(bild.data());
        const Treffer rechnung = AusSatz(bild, 0);
        if (kopf < 0 || kopf >= anzahl) {
            fertig(satz, rechnung, 0.0f);
        } else if (kopf >= gelesenAb) {
            spaete.push_back({satz, rechnung, kopf});
        } else {
            std::uint32_t platz = 0;
            if (frei.empty()) {
                platz = static_cast<std::uint32_t>(offen.size());
                offen.emplace_back();
            } else {
                platz = frei.back();
                frei.pop_back();
            }
            offen[platz] = Offen{satz, rechnung, 0.0f, kopf, kKeiner};
            warten(platz, kopf);
        }
    };

    // Takes in invoices down the file until one's head lies below `bis`.
    std::unique_ptr<char[]> rechnungsPuffer(new char[std::size_t{kJeStueck} * kRechnung]);
    std::uint32_t ungelesen = saetze;
    std::uint32_t pufferAnfang = saetze;
    std::int32_t letzterKopf = std::numeric_limits<std::int32_t>::max();
    const auto einlesen = [&](std::int64_t bis) {
        while (ungelesen > 0 && letzterKopf >= bis) {
            if (ungelesen == pufferAnfang) {
                const std::uint32_t n = std::min(ungelesen, kJeStueck);
                pufferAnfang = ungelesen - n;
                Rechnungsstrom::Lesen(rechnungen,
                                      std::int64_t{pufferAnfang} * std::int64_t{kRechnung},
                                      rechnungsPuffer.get(), std::size_t{n} * kRechnung);
            }
            --ungelesen;
            const std::string_view bild(
                rechnungsPuffer.get() + std::size_t{ungelesen - pufferAnfang} * kRechnung,
                kRechnung);
            if (Feld<&Rechnung::kartons>(bild.data()) == Rechnung::kGeloescht) {
                continue;
            }
            const std::int32_t kopf = Feld<&Rechnung::postenKopf>(bild.data());
            if (kopf >= 0 && kopf < anzahl) {
                letzterKopf = kopf;
            }
            anmelden(ungelesen, bild);
        }
    };

    // A block is read once, when the walk reaches it, and every chain waiting
    // in it is followed through it on its own: within the block all links
    // are at hand, and a chain that leaves it downwards waits for a lower one.
    std::unique_ptr<char[]> postenPuffer(new char[Rechnungsstrom::kStueck]);
    for (std::size_t block = bloecke; block-- > 0;) {
        const auto anfang = static_cast<std::int32_t>(block) * kBlock;
        const std::int32_t ende = std::min(anzahl, anfang + kBlock);
        einlesen(anfang);
        std::uint32_t platz = blockListe[block];
        if (platz != kKeiner) {
            blockListe[block] = kKeiner;
            Rechnungsstrom::Lesen(posten, std::int64_t{anfang} * std::int64_t{kPosten},
                                  postenPuffer.get(),
                                  static_cast<std::size_t>(ende - anfang) * kPosten);
        }
        const char* const puffer = postenPuffer.get();
        while (platz != kKeiner) {
            Offen& kette = offen[platz];
            const std::uint32_t folgend = kette.weiter;
            const std::int32_t id = kette.rechnung.id;
            // Kept out of memory while the chain runs: the images may alias
            // anything, so the sum would be stored after every item.
            float summe = kette.summe;
            std::int32_t index = kette.ziel;
            for (;;) {
                const char* const bild =
                    puffer + kPosten * static_cast<std::size_t>(index - anfang);
                // Added up in exactly the order (and single precision) of
                // the window's walk.
                if (Feld<&P::rechnung>(bild) == id) {
                    summe += posteneintrag(bild);
                }
                const std::int32_t naechster = Feld<&P::naechster>(bild);
                // Most chains run on to the item just below. Counting down
                // then, instead of taking the link as the next index, lets
                // the next item's read start before this link is read.
                if (naechster == index - 1 && index > anfang) {
                    --index;
                    continue;
                }
                if (naechster < 0 || naechster >= index) {
                    fertig(kette.satz, kette.rechnung, summe);
                    frei.push_back(platz);
                    break;
                }
                if (naechster < anfang) {
                    kette.summe = summe;
                    warten(platz, naechster);
                    break;
                }
                index = naechster;
            }
            platz = folgend;
        }
        gelesenAb = anfang;
    }
    einlesen(std::numeric_limits<std::int64_t>::min());

    if (!spaete.empty()) {
        Kettenlauf lauf(posten, anzahl);
        lauf.Reservieren(spaete.size());
        for (const Spaet& s : spaete) {
            lauf.Anmelden(s.kopf);
        }
        std::vector<float> summen(spaete.size(), 0.0f);
        lauf.Gehen([&](std::uint32_t platz, std::string_view bild) {
            if (Feld<&P::rechnung>(bild.data()) == spaete[platz].rechnung.id) {
                summen[platz] += posteneintrag(bild.data());
            }
        });
        for (std::size_t i = 0; i < spaete.size(); ++i) {
            fertig(spaete[i].satz, spaete[i].rechnung, summen[i]);
        }
    }
}

}  // namespace

std::vector<Rechnungssuche::Treffer> Rechnungssuche::NachBetrag(const std::string& verzeichnis,
                                                                std::int64_t betrag,
                                                                std::int64_t toleranz,
                                                                const Customizer* einstellungen) {
    const bool inDM = InDM(einstellungen);
    // The items first, as the data set reads them: no invoice read after
    // can name an item the count does not hold.
    const File posten = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungsposten.dat");
    const auto anzahl = static_cast<std::int32_t>(Rechnungsstrom::Saetze(posten, kPosten));
    const File rechnungen = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungen.dat");
    const auto saetze = static_cast<std::uint32_t>(Rechnungsstrom::Saetze(rechnungen, kRechnung));
    std::vector<Fund> gefunden;
    Summieren(posten, anzahl, rechnungen, saetze, inDM,
              [&](std::uint32_t satz, Treffer rechnung, float summe) {
                  if (WeitAb(summe, betrag, toleranz)) {
                      return;
                  }
                  rechnung.summe = Rechnungsbetrag::Cent(summe);
                  if (std::llabs(rechnung.summe - betrag) <= toleranz) {
                      gefunden.emplace_back(satz, rechnung);
                  }
              });
    // Chains end out of their invoices' order; the newest invoice first.
    std::sort(gefunden.begin(), gefunden.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<Treffer> treffer;
    treffer.reserve(gefunden.size());
    for (const auto& [satz, t] : gefunden) {
        treffer.push_back(t);
    }
    return treffer;
}

std::vector<Rechnungssuche::Treffer> Rechnungssuche::NachNummer(const std::string& verzeichnis,
                                                                std::int32_t nummer,
                                                                const Customizer* einstellungen) {
    const bool inDM = InDM(einstellungen);
    const File posten = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungsposten.dat");
    const std::int64_t anzahl = Rechnungsstrom::Saetze(posten, kPosten);
    std::vector<Treffer> treffer;
    std::vector<std::int32_t> koepfe;
    const File rechnungen = Rechnungsstrom::Oeffnen(verzeichnis + "/rechnungen.dat");
    Rechnungsstrom::JederSatz(rechnungen, kRechnung, [&](std::uint32_t, std::string_view satz) {
        if (Feldwert<&Rechnung::nummer>(satz) != nummer ||
            Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
            return;
        }
        treffer.push_back(AusSatz(satz, 0));
        koepfe.push_back(Feldwert<&Rechnung::postenKopf>(satz));
    });
    // A number is given to few invoices: their chains are short, the item
    // file is long.
    for (std::size_t i = 0; i < treffer.size(); ++i) {
        treffer[i].summe = Rechnungsbetrag::Cent(
            PostenVerwaltung::SummeAusDatei(posten, anzahl, koepfe[i], treffer[i].id, inDM));
    }
    return {treffer.rbegin(), treffer.rend()};
}
