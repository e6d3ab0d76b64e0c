#include "cli/Betragssuche.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>

#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"

namespace {

constexpr std::size_t kPosten = PostenVerwaltung::Posten::DiskSize;
constexpr std::size_t kRechnung = Rechnung::DiskSize;
constexpr std::size_t kStueck = 256 * 1024;

// What the search keeps of a live invoice; the rest of a hit's record is
// read again at its position, so that the sums of the many invoices that
// are no hit cost twelve bytes each.
struct Kopf {
    std::int32_t id = 0;
    std::uint32_t satz = 0;
    float summe = 0.0f;
    // The item the invoice waits for (-1: none), and the next invoice that
    // waits in the same list.
    std::int32_t ziel = -1;
    std::uint32_t weiter = 0;
};

constexpr std::uint32_t kKeiner = 0xFFFFFFFFu;

// The file, or a closed one when it is missing.
File Oeffnen(const std::string& pfad) {
    Ergebnis<File> datei = File::OpenReadOnly(pfad);
    if (!datei) {
        if (datei.Ursache().Fehlt()) {
            return File();
        }
        throw MessageException(Oeffnungsfehler(datei.Ursache()));
    }
    return std::move(*datei);
}

std::int64_t Laenge(const File& datei) {
    if (!datei.IsOpen()) {
        return 0;
    }
    const Ergebnis<std::int64_t> laenge = datei.Size();
    if (!laenge) {
        throw MessageException(Oeffnungsfehler(laenge.Ursache()));
    }
    return *laenge;
}

}  // namespace

std::vector<Betragssuche::Treffer> Betragssuche::Suchen(const std::string& verzeichnis,
                                                        std::int64_t betrag, std::int64_t toleranz,
                                                        const Customizer* einstellungen) {
    const bool inDM = einstellungen == nullptr || einstellungen->preiseInEuro == 0;
    // The items first, as the data set reads them: no invoice read after
    // can name an item the count does not hold.
    const File posten = Oeffnen(verzeichnis + "/rechnungsposten.dat");
    const auto anzahl = static_cast<std::int32_t>(Laenge(posten) / std::int64_t{kPosten});

    std::vector<Kopf> koepfe;
    const File rechnungen = Oeffnen(verzeichnis + "/rechnungen.dat");
    if (rechnungen.IsOpen()) {
        koepfe.reserve(static_cast<std::size_t>(Laenge(rechnungen)) / kRechnung);
        std::string rest;
        std::uint32_t position = 0;
        auto satz = [&](std::string_view bild) {
            const std::uint32_t hier = position++;
            if (Feldwert<&Rechnung::kartons>(bild) == Rechnung::kGeloescht) {
                return;
            }
            const std::int32_t kopf = Feldwert<&Rechnung::postenKopf>(bild);
            koepfe.push_back({Feldwert<&Rechnung::id>(bild), hier, 0.0f,
                              kopf >= 0 && kopf < anzahl ? kopf : -1});
        };
        // Stray bytes after the last whole record are no invoice.
        const Ergebnis<void> gelesen =
            rechnungen.ReadPieces((kStueck / kRechnung) * kRechnung, [&](std::string_view stueck) {
                if (!rest.empty()) {
                    const std::size_t fehlt = kRechnung - rest.size();
                    rest.append(stueck.substr(0, fehlt));
                    stueck.remove_prefix(std::min(fehlt, stueck.size()));
                    if (rest.size() == kRechnung) {
                        satz(rest);
                        rest.clear();
                    }
                }
                while (stueck.size() >= kRechnung) {
                    satz(stueck.substr(0, kRechnung));
                    stueck.remove_prefix(kRechnung);
                }
                rest.append(stueck);
            });
        if (!gelesen) {
            throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
        }
    }

    // Every chain runs to lower indices, so one walk from the end of the file
    // to its start meets each chain's items in its own order, and adds them
    // up in exactly the order (and single precision) of the window's walk.
    // Each invoice waits for one item at a time: in the list of that item's
    // block, and within the block that is read in the bucket of the item.
    constexpr std::int32_t kBlock = static_cast<std::int32_t>(kStueck / kPosten);
    const std::size_t bloecke = (static_cast<std::size_t>(anzahl) + kBlock - 1) / kBlock;
    std::vector<std::uint32_t> blockListe(bloecke, kKeiner);
    auto warten = [&](std::uint32_t platz, std::int32_t index) {
        Kopf& k = koepfe[platz];
        k.ziel = index;
        k.weiter = blockListe[static_cast<std::size_t>(index / kBlock)];
        blockListe[static_cast<std::size_t>(index / kBlock)] = platz;
    };
    for (std::uint32_t platz = 0; platz < koepfe.size(); ++platz) {
        if (koepfe[platz].ziel >= 0) {
            warten(platz, koepfe[platz].ziel);
        }
    }
    const std::unique_ptr<char[]> puffer(new char[kStueck]);
    std::vector<std::uint32_t> eimer(static_cast<std::size_t>(kBlock));
    using P = PostenVerwaltung::Posten;
    for (std::size_t block = bloecke; block-- > 0;) {
        // Blocks no invoice waits in are skipped, not read.
        if (blockListe[block] == kKeiner) {
            continue;
        }
        const auto anfang = static_cast<std::int32_t>(block) * kBlock;
        const std::int32_t ende = std::min(anzahl, anfang + kBlock);
        const auto groesse = static_cast<std::size_t>(ende - anfang) * kPosten;
        const Ergebnis<std::size_t> gelesen =
            posten.ReadAt(std::int64_t{anfang} * std::int64_t{kPosten}, puffer.get(), groesse);
        if (!gelesen) {
            throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
        }
        if (*gelesen < groesse) {
            throw MessageException(
                Oeffnungsfehler(Fehler(Fehler::Vorgang::Lesen, posten.Path(), Fehler::kVerkuerzt)));
        }
        std::fill(eimer.begin(), eimer.end(), kKeiner);
        for (std::uint32_t platz = blockListe[block]; platz != kKeiner;) {
            Kopf& k = koepfe[platz];
            const std::uint32_t folgend = k.weiter;
            k.weiter = eimer[static_cast<std::size_t>(k.ziel - anfang)];
            eimer[static_cast<std::size_t>(k.ziel - anfang)] = platz;
            platz = folgend;
        }
        blockListe[block] = kKeiner;
        for (std::int32_t index = ende - 1; index >= anfang; --index) {
            const std::string_view bild(
                puffer.get() + static_cast<std::size_t>(index - anfang) * kPosten, kPosten);
            for (std::uint32_t platz = eimer[static_cast<std::size_t>(index - anfang)];
                 platz != kKeiner;) {
                Kopf& k = koepfe[platz];
                const std::uint32_t folgend = k.weiter;
                if (Feldwert<&P::rechnung>(bild) == k.id) {
                    const float preis =
                        inDM ? Feldwert<&P::preisDM>(bild) : Feldwert<&P::preisEuro>(bild);
                    k.summe += static_cast<float>(Feldwert<&P::menge>(bild)) * preis;
                }
                const std::int32_t naechster = Feldwert<&P::naechster>(bild);
                if (naechster >= 0 && naechster < index) {
                    if (naechster >= anfang) {
                        k.ziel = naechster;
                        k.weiter = eimer[static_cast<std::size_t>(naechster - anfang)];
                        eimer[static_cast<std::size_t>(naechster - anfang)] = platz;
                    } else {
                        warten(platz, naechster);
                    }
                }
                platz = folgend;
            }
        }
    }

    std::vector<Treffer> treffer;
    char bild[kRechnung];
    for (auto k = koepfe.rbegin(); k != koepfe.rend(); ++k) {
        const std::int64_t summe = Rechnungsbetrag::Cent(k->summe);
        if (std::llabs(summe - betrag) > toleranz) {
            continue;
        }
        const Ergebnis<std::size_t> gelesen =
            rechnungen.ReadAt(std::int64_t{k->satz} * std::int64_t{kRechnung}, bild, sizeof bild);
        if (!gelesen) {
            throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
        }
        if (*gelesen < sizeof bild) {
            throw MessageException(Oeffnungsfehler(
                Fehler(Fehler::Vorgang::Lesen, rechnungen.Path(), Fehler::kVerkuerzt)));
        }
        const std::string_view satz(bild, sizeof bild);
        treffer.push_back({k->id, Feldwert<&Rechnung::nummer>(satz),
                           Feldwert<&Rechnung::kunde>(satz), Feldwert<&Rechnung::datum>(satz),
                           summe});
    }
    return treffer;
}
