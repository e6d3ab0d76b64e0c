#include "cli/Datenpruefung.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <type_traits>
#include <utility>

#include "cli/Beispieldaten.h"
#include "model/Datenersatz.h"
#include "model/DatevExporte.h"
#include "model/Firmendaten.h"
#include "model/Kunde.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/NamensDatei.h"
#include "model/PostenVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Wein.h"
#include "storage/ByteReader.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"
#include "storage/FixedText.h"

namespace {

constexpr std::size_t kHoechstensPositionen = 10;

using PostenSatz = PostenVerwaltung::Posten;
constexpr std::size_t kStueck = 256 * 1024;
constexpr std::uint32_t kKeine = UINT32_MAX;

// An integer field of a whole record image, as Feldwert reads it, but
// assembled in place: the check reads four fields of every record.
template <auto glied>
typename Glied<decltype(glied)>::Typ Zahl(std::string_view bild) {
    using G = Glied<decltype(glied)>;
    using T = typename G::Typ;
    static_assert(std::is_integral_v<T>);
    constexpr std::size_t offset = G::Satz::kFelder.Offset(glied);
    std::make_unsigned_t<T> wert = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        wert |= static_cast<std::make_unsigned_t<T>>(
            static_cast<std::make_unsigned_t<T>>(static_cast<unsigned char>(bild[offset + i]))
            << (8 * i));
    }
    return static_cast<T>(wert);
}

// Only whole records are read; a partial last one is reported by its length.
template <typename T>
std::vector<T> Saetze(const std::string& bytes, std::size_t satz) {
    std::vector<T> saetze(bytes.size() / satz);
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        ByteReader reader(std::string_view(bytes).substr(i * satz, satz));
        reader >> saetze[i];
    }
    return saetze;
}

template <typename T>
std::string Liste(const std::vector<T>& positionen) {
    std::string text;
    for (std::size_t i = 0; i < positionen.size() && i < kHoechstensPositionen; ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(positionen[i]);
    }
    if (positionen.size() > kHoechstensPositionen) {
        text += ", …"_w;
    }
    return text;
}

// Numbers that occur more than once, each with the positions of its
// records, by number: `nummern` holds (number, position) of every record.
std::vector<std::pair<std::int32_t, std::vector<std::size_t>>> Doppelte(
    std::vector<std::pair<std::int32_t, std::size_t>> nummern) {
    std::sort(nummern.begin(), nummern.end());
    std::vector<std::pair<std::int32_t, std::vector<std::size_t>>> doppelte;
    for (std::size_t a = 0; a < nummern.size();) {
        std::size_t b = a + 1;
        while (b < nummern.size() && nummern[b].first == nummern[a].first) {
            ++b;
        }
        if (b - a > 1) {
            auto& [nummer, positionen] = doppelte.emplace_back();
            nummer = nummern[a].first;
            for (std::size_t i = a; i < b; ++i) {
                positionen.push_back(nummern[i].second);
            }
        }
        a = b;
    }
    return doppelte;
}

// Whole records from pieces of a file: hands each record's image to f, also
// one that a piece boundary cut in two.
template <typename F>
class Ganze {
  public:
    Ganze(std::size_t satz, F f) : satz_(satz), f_(std::move(f)) {}

    void operator()(std::string_view stueck) {
        if (!rest_.empty()) {
            const std::size_t fehlt = satz_ - rest_.size();
            rest_.append(stueck.substr(0, fehlt));
            stueck.remove_prefix(std::min(fehlt, stueck.size()));
            if (rest_.size() == satz_) {
                f_(std::string_view(rest_));
                rest_.clear();
            }
        }
        while (stueck.size() >= satz_) {
            f_(stueck.substr(0, satz_));
            stueck.remove_prefix(satz_);
        }
        rest_.append(stueck);
    }

  private:
    std::size_t satz_;
    F f_;
    std::string rest_;
};

}  // namespace

Datenpruefung::Datenpruefung(std::string verzeichnis) : verzeichnis_(std::move(verzeichnis)) {}

std::string Datenpruefung::Datei(const std::string& name) const {
    return CodePage::Utf8ToCp1252(verzeichnis_ + "/" + name);
}

std::string Datenpruefung::RechnungsName(std::size_t position) const {
    const Kopf& r = rechnungen_[position];
    const std::string name = "Rechnung Nr. " + std::to_string(r.nummer);
    if (r.id == static_cast<std::int64_t>(position)) {
        return name + " (Id " + std::to_string(r.id) + ")";
    }
    return name + " an Position " + std::to_string(position) + " (Id " + std::to_string(r.id) + ")";
}

std::vector<std::string> Datenpruefung::Namen() const {
    return File::List(verzeichnis_).WertOder({});
}

std::optional<std::string> Datenpruefung::Lies(const std::string& name) {
    Ergebnis<std::string> bytes = File::ReadFile(verzeichnis_ + "/" + name);
    if (!bytes) {
        if (!bytes.Ursache().Fehlt()) {
            Lesefehler(name, bytes.Ursache());
        }
        return std::nullopt;
    }
    return std::move(*bytes);
}

template <typename F>
std::optional<std::size_t> Datenpruefung::SaetzeLesen(const std::string& name, std::size_t satz,
                                                      F f) {
    std::size_t laenge = 0;
    // Pieces are whole records but for a file that grew meanwhile.
    Ganze ganze(satz, std::move(f));
    const Ergebnis<void> gelesen = File::ReadFileInPieces(
        verzeichnis_ + "/" + name, (kStueck / satz) * satz, [&](std::string_view stueck) {
            laenge += stueck.size();
            ganze(stueck);
        });
    if (!gelesen) {
        if (!gelesen.Ursache().Fehlt()) {
            Lesefehler(name, gelesen.Ursache());
        }
        return std::nullopt;
    }
    return laenge;
}

void Datenpruefung::Lesefehler(const std::string& name, const Fehler& fehler) {
    Problem("Die Datei " + Datei(name) + " kann nicht gelesen werden (" + fehler.Grund() + ").");
}

std::string Datenpruefung::LaengenFehler(const std::string& name, std::size_t laenge,
                                         std::size_t satz) const {
    const std::size_t rest = laenge % satz;
    if (rest == 0) {
        return {};
    }
    return Datei(name) + ": " + std::to_string(laenge) +
           " Bytes sind keine ganze Zahl von Sätzen zu "_w + std::to_string(satz) + " Bytes (" +
           std::to_string(laenge / satz) + " ganze Sätze und "_w + std::to_string(rest) +
           " Bytes Rest).";
}

void Datenpruefung::Laenge(const std::string& name, std::size_t laenge, std::size_t satz) {
    if (std::string fehler = LaengenFehler(name, laenge, satz); !fehler.empty()) {
        Problem(std::move(fehler));
    }
}

std::vector<std::string> Datenpruefung::Pruefen() {
    probleme_.clear();
    if (auto bytes = Lies("preferences.dat")) {
        if (bytes->size() != Customizer::kDiskSize) {
            Problem(Datei("preferences.dat") + ": " + std::to_string(bytes->size()) +
                    " Bytes statt " + std::to_string(Customizer::kDiskSize) + ".");
        }
        // The program sets each of these back to its default at the next start.
        for (const std::string& wert : Customizer::Unstimmigkeiten(*bytes)) {
            Problem(Datei("preferences.dat") + ": " + wert);
        }
    }
    if (auto bytes = Lies(Firmendaten::kDatei)) {
        Firmendaten daten;
        std::string fehler;
        if (!Firmendaten::AusText(*bytes, daten, fehler)) {
            Problem(Datei(Firmendaten::kDatei) + ": " + fehler + ".");
        }
        if (const std::string falsch = daten.Pruefen(); !falsch.empty()) {
            Problem(Datei(Firmendaten::kDatei) + ": " + falsch);
        }
        if (const std::string falsch = daten.datev.Pruefen(); !falsch.empty()) {
            Problem(Datei(Firmendaten::kDatei) + ", DATEV: " + falsch);
        }
    }
    if (auto bytes = Lies(DatevExporte::kDatei)) {
        for (const std::string& zeile : DatevExporte::Unlesbar(*bytes)) {
            Problem(Datei(DatevExporte::kDatei) + ": " + zeile);
        }
    }
    if (auto bytes = Lies("merkzettel.dat")) {
        Laenge("merkzettel.dat", bytes->size(), MerkzettelVerwaltung::MerkzettelIntern::DiskSize);
    }
    Kunden();
    Weine();
    Rechnungen();
    Mahnungen();
    Postenketten();
    Kundenketten();
    UnbekannteKunden();
    NieGespeicherte();
    Preislisten();
    Reste();
    return probleme_;
}

void Datenpruefung::Reste() {
    for (const std::string& name : Namen()) {
        if (name == Datenersatz::kBereit) {
            Problem(
                "Im Datenverzeichnis wurde das Zurückspielen einer Datensicherung "
                "unterbrochen (»"_w +
                Datei(name) + "«); der nächste Start von Rebkontor schließt es ab."_w);
            continue;
        }
        if (name.rfind(Datenersatz::kNeuerOrdner, 0) == 0) {
            Problem("Im Datenverzeichnis liegt »"_w + Datei(name) +
                    "«, von einem abgebrochenen Zurückspielen einer Datensicherung "
                    "zurückgelassen; es gehört nicht zu den Daten und kann gelöscht werden."_w);
            continue;
        }
        if (name.rfind(Beispieldaten::kNeuerOrdner, 0) != 0) {
            continue;
        }
        Problem("Im Datenverzeichnis liegt »"_w + Datei(name) +
                "«, von einem abgebrochenen »rebkontor-cli beispieldaten« zurückgelassen; "
                "es gehört nicht zu den Daten und kann gelöscht werden."_w);
    }
}

void Datenpruefung::Kunden() {
    std::vector<std::pair<std::int32_t, std::size_t>> nummern;
    const auto laenge = SaetzeLesen("kunden.dat", Kunde::DiskSize, [&](std::string_view satz) {
        const KundenKopf& k = kunden_.emplace_back(
            KundenKopf{Zahl<&Kunde::nummer>(satz), Zahl<&Kunde::letzteRechnung>(satz)});
        nummern.emplace_back(k.nummer, nummern.size());
    });
    if (!laenge) {
        return;
    }
    Laenge("kunden.dat", *laenge, Kunde::DiskSize);
    for (const auto& [nummer, positionen] : Doppelte(std::move(nummern))) {
        Problem("Die Kundennummer " + std::to_string(nummer) + " kommt " +
                std::to_string(positionen.size()) + "-mal vor (Positionen " + Liste(positionen) +
                " in " + Datei("kunden.dat") + ").");
    }
}

void Datenpruefung::Weine() {
    std::vector<std::pair<std::int32_t, std::size_t>> nummern;
    const auto laenge = SaetzeLesen("weinliste.dat", Wein::DiskSize, [&](std::string_view satz) {
        nummern.emplace_back(Feldwert<&Wein::nummer>(satz), nummern.size());
    });
    if (!laenge) {
        return;
    }
    Laenge("weinliste.dat", *laenge, Wein::DiskSize);
    for (const auto& [nummer, positionen] : Doppelte(std::move(nummern))) {
        Problem("Die Weinnummer " + std::to_string(nummer) + " kommt " +
                std::to_string(positionen.size()) + "-mal vor (Positionen " + Liste(positionen) +
                " in " + Datei("weinliste.dat") + ").");
    }
}

void Datenpruefung::Rechnungen() {
    const std::string pfad = verzeichnis_ + "/rechnungen.dat";
    // Room for all at once: growing by steps would hold the old and the new
    // table side by side.
    if (const Ergebnis<File::Entry> eintrag = File::Stat(pfad, true); eintrag) {
        const auto anzahl =
            static_cast<std::size_t>(std::max<std::int64_t>(eintrag->size, 0)) / Rechnung::DiskSize;
        rechnungen_.reserve(anzahl);
        geloescht_.reserve(anzahl);
    }
    if (const auto laenge =
            SaetzeLesen("rechnungen.dat", Rechnung::DiskSize, [&](std::string_view satz) {
                rechnungen_.push_back({Zahl<&Rechnung::id>(satz), Zahl<&Rechnung::nummer>(satz),
                                       Zahl<&Rechnung::kunde>(satz),
                                       Zahl<&Rechnung::postenKopf>(satz),
                                       Zahl<&Rechnung::vorigeRechnung>(satz)});
                geloescht_.push_back(Zahl<&Rechnung::kartons>(satz) == Rechnung::kGeloescht);
            })) {
        Laenge("rechnungen.dat", *laenge, Rechnung::DiskSize);
    }
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        if (rechnungen_[n].id != static_cast<std::int64_t>(n)) {
            Problem("Die Rechnung an Position " + std::to_string(n) + " (Nr. " +
                    std::to_string(rechnungen_[n].nummer) + ") trägt die Id "_w +
                    std::to_string(rechnungen_[n].id) + ".");
        }
    }
    // The items are read when their chains are walked, and what is wrong
    // with their file is told then, in its place after the invoices.
    postenStelle_ = probleme_.size();
    Ergebnis<File> datei = File::OpenReadOnly(verzeichnis_ + "/rechnungsposten.dat");
    Ergebnis<std::int64_t> groesse =
        datei ? datei->Size() : Ergebnis<std::int64_t>(datei.Ursache());
    if (!groesse) {
        if (!groesse.Ursache().Fehlt()) {
            Lesefehler("rechnungsposten.dat", groesse.Ursache());
            postenLesbar_ = false;
        }
        return;
    }
    postenDatei_ = std::move(*datei);
    postenLaenge_ = *groesse;
    postenAnzahl_ = *groesse / static_cast<std::int64_t>(PostenSatz::DiskSize);
}

void Datenpruefung::Mahnungen() {
    const auto bytes = Lies(MahnungsVerwaltung::kDatei);
    if (!bytes) {
        return;
    }
    using Mahnstand = MahnungsVerwaltung::Mahnstand;
    Laenge(MahnungsVerwaltung::kDatei, bytes->size(), Mahnstand::DiskSize);
    // The ids the invoice file holds: where the file is sound, each its own
    // position.
    std::vector<bool> ids(rechnungen_.size());
    std::vector<std::int32_t> andere;
    for (const Kopf& r : rechnungen_) {
        if (r.id >= 0 && static_cast<std::size_t>(r.id) < ids.size()) {
            ids[static_cast<std::size_t>(r.id)] = true;
        } else {
            andere.push_back(r.id);
        }
    }
    std::sort(andere.begin(), andere.end());
    const auto gibt = [&](std::int32_t id) {
        return id >= 0 && static_cast<std::size_t>(id) < ids.size()
                   ? static_cast<bool>(ids[static_cast<std::size_t>(id)])
                   : std::binary_search(andere.begin(), andere.end(), id);
    };
    std::set<std::int32_t> gesehen;
    const std::vector<Mahnstand> saetze = Saetze<Mahnstand>(*bytes, Mahnstand::DiskSize);
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        const Mahnstand& m = saetze[i];
        const std::string satz =
            Datei(MahnungsVerwaltung::kDatei) + ": Satz " + std::to_string(i + 1);
        if (m.stufe < 0 || m.stufe > MahnungsVerwaltung::kHoechsteStufe) {
            Problem(satz + " hat die Mahnstufe " + std::to_string(m.stufe) +
                    " (erlaubt sind 0 bis 3).");
        }
        if (!gesehen.insert(m.rechnung).second) {
            Problem(satz + " nennt die Rechnung mit der Id " + std::to_string(m.rechnung) +
                    " ein weiteres Mal.");
        } else if (!gibt(m.rechnung)) {
            Problem(satz + " nennt die Rechnung mit der Id " + std::to_string(m.rechnung) +
                    ", die es in der Rechnungsdatei nicht gibt.");
        }
    }
}

std::string Datenpruefung::KetteAusserhalb(std::size_t n, std::int64_t posten) const {
    return "Die Postenkette der " + RechnungsName(n) + " verweist auf Posten " +
           std::to_string(posten) + ", den es nicht gibt (die Datei hat " +
           std::to_string(postenAnzahl_) + " Posten).";
}

std::string Datenpruefung::KetteFremd(std::size_t n, std::int64_t posten,
                                      std::int32_t rechnung) const {
    return "Die Postenkette der " + RechnungsName(n) + " führt über Posten "_w +
           std::to_string(posten) + ", der zur Rechnung Id " + std::to_string(rechnung) +
           " gehört."_w;
}

std::string Datenpruefung::KetteMuendet(std::size_t n, std::int64_t posten,
                                        std::size_t andere) const {
    return "Die Postenkette der " + RechnungsName(n) + " mündet bei Posten "_w +
           std::to_string(posten) + " in die Postenkette der " + RechnungsName(andere) + ".";
}

void Datenpruefung::Postenketten() {
    ketteKaputt_.assign(rechnungen_.size(), false);
    if (!postenLesbar_) {
        return;
    }
    std::optional<Fehler> fehler;
    if (!KettenZugleich(fehler) && !fehler) {
        KettenNacheinander(fehler);
    }
    postenDatei_.Close();
    std::string datei;
    if (fehler) {
        // Of an item file read in part no chain can be judged.
        datei = "Die Datei " + Datei("rechnungsposten.dat") + " kann nicht gelesen werden (" +
                fehler->Grund() + ").";
        ketteKaputt_.assign(rechnungen_.size(), false);
        unerreicht_.clear();
    } else {
        datei = LaengenFehler("rechnungsposten.dat", static_cast<std::size_t>(postenLaenge_),
                              PostenSatz::DiskSize);
    }
    if (!datei.empty()) {
        probleme_.insert(probleme_.begin() + static_cast<std::ptrdiff_t>(postenStelle_),
                         std::move(datei));
    }
}

// In a sound file every chain runs to lower indices, so that one walk from
// the end of the file to its start meets each chain's items in its own
// order, and all walks that reach an item meet it at the same time. Taken in
// the order of their invoices they find there what walking the chains one
// after the other finds: the first owns the item, the others run into its
// chain. Each walk waits for one item at a time: in the list of that item's
// block, and within the block that is read in the bucket of the item.
bool Datenpruefung::KettenZugleich(std::optional<Fehler>& fehler) {
    const std::int64_t anzahl = postenAnzahl_;
    constexpr std::int64_t kBlock = static_cast<std::int64_t>(kStueck / PostenSatz::DiskSize);
    const auto bloecke = static_cast<std::size_t>((anzahl + kBlock - 1) / kBlock);
    std::vector<std::uint32_t> blockListe(bloecke, kKeine);
    // Per invoice: the item its walk waits for, and the next in that list.
    struct Warten {
        std::int32_t ziel = -1;
        std::uint32_t weiter = kKeine;
    };
    std::vector<Warten> warten(rechnungen_.size());
    // At most one finding per chain, gathered by item and told by invoice.
    std::vector<std::pair<std::uint32_t, std::string>> befunde;
    const auto weiterAuf = [&](std::uint32_t n, std::int64_t ziel) {
        if (ziel == -1) {
            return;
        }
        if (ziel < 0 || ziel >= anzahl) {
            befunde.emplace_back(n, KetteAusserhalb(n, ziel));
            return;
        }
        const auto block = static_cast<std::size_t>(ziel / kBlock);
        warten[n] = {static_cast<std::int32_t>(ziel), blockListe[block]};
        blockListe[block] = n;
    };
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        weiterAuf(static_cast<std::uint32_t>(n), rechnungen_[n].postenKopf);
    }
    unerreicht_.clear();
    const std::unique_ptr<char[]> puffer(new char[kStueck]);
    std::vector<std::uint32_t> eimer(static_cast<std::size_t>(kBlock));
    std::vector<std::uint32_t> reihe;
    for (std::size_t block = bloecke; block-- > 0;) {
        const auto anfang = static_cast<std::int64_t>(block) * kBlock;
        const std::int64_t ende = std::min(anzahl, anfang + kBlock);
        const auto groesse = static_cast<std::size_t>(ende - anfang) * PostenSatz::DiskSize;
        const Ergebnis<std::size_t> gelesen = postenDatei_.ReadAt(
            anfang * static_cast<std::int64_t>(PostenSatz::DiskSize), puffer.get(), groesse);
        if (!gelesen || *gelesen < groesse) {
            fehler = gelesen
                         ? Fehler(Fehler::Vorgang::Lesen, postenDatei_.Path(), Fehler::kVerkuerzt)
                         : gelesen.Ursache();
            return false;
        }
        std::fill(eimer.begin(), eimer.end(), kKeine);
        for (std::uint32_t n = blockListe[block]; n != kKeine;) {
            const std::uint32_t folgend = warten[n].weiter;
            const auto platz = static_cast<std::size_t>(warten[n].ziel - anfang);
            warten[n].weiter = eimer[platz];
            eimer[platz] = n;
            n = folgend;
        }
        for (std::int64_t index = ende - 1; index >= anfang; --index) {
            const std::string_view bild(
                puffer.get() + static_cast<std::size_t>(index - anfang) * PostenSatz::DiskSize,
                PostenSatz::DiskSize);
            const std::int32_t rechnung = Zahl<&PostenSatz::rechnung>(bild);
            reihe.clear();
            for (std::uint32_t n = eimer[static_cast<std::size_t>(index - anfang)]; n != kKeine;
                 n = warten[n].weiter) {
                reihe.push_back(n);
            }
            if (reihe.size() > 1) {
                std::sort(reihe.begin(), reihe.end());
            }
            std::uint32_t besitzer = kKeine;
            for (const std::uint32_t n : reihe) {
                if (rechnung != rechnungen_[n].id && rechnung != PostenVerwaltung::kGeloescht) {
                    befunde.emplace_back(n, KetteFremd(n, index, rechnung));
                    continue;
                }
                if (besitzer != kKeine) {
                    befunde.emplace_back(n, KetteMuendet(n, index, besitzer));
                    continue;
                }
                besitzer = n;
                const std::int32_t naechster = Zahl<&PostenSatz::naechster>(bild);
                if (naechster >= index) {
                    return false;
                }
                if (naechster >= anfang) {
                    const auto platz = static_cast<std::size_t>(naechster - anfang);
                    warten[n] = {naechster, eimer[platz]};
                    eimer[platz] = n;
                } else {
                    weiterAuf(n, naechster);
                }
            }
            if (besitzer == kKeine && rechnung != PostenVerwaltung::kGeloescht) {
                unerreicht_.emplace_back(static_cast<std::int32_t>(index), rechnung);
            }
        }
    }
    std::reverse(unerreicht_.begin(), unerreicht_.end());
    std::sort(befunde.begin(), befunde.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [n, text] : befunde) {
        ketteKaputt_[n] = true;
        Problem(std::move(text));
    }
    return true;
}

void Datenpruefung::KettenNacheinander(std::optional<Fehler>& fehler) {
    std::vector<std::pair<std::int32_t, std::int32_t>> posten;
    posten.reserve(static_cast<std::size_t>(postenAnzahl_));
    Ganze ganze(PostenSatz::DiskSize, [&](std::string_view satz) {
        posten.emplace_back(Zahl<&PostenSatz::rechnung>(satz), Zahl<&PostenSatz::naechster>(satz));
    });
    if (const Ergebnis<void> gelesen =
            postenDatei_.ReadPieces((kStueck / PostenSatz::DiskSize) * PostenSatz::DiskSize,
                                    [&](std::string_view stueck) { ganze(stueck); });
        !gelesen) {
        fehler = gelesen.Ursache();
        return;
    }
    postenAnzahl_ = static_cast<std::int64_t>(posten.size());
    const std::int64_t anzahl = postenAnzahl_;
    // Which invoice's walk passed an item first (its position + 1; 0: none).
    std::vector<std::uint32_t> besucht(posten.size(), 0);
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        const Kopf& r = rechnungen_[n];
        const std::size_t vorher = probleme_.size();
        std::string vorwaerts;
        for (std::int64_t i = r.postenKopf; i != -1;) {
            if (i < 0 || i >= anzahl) {
                Problem(KetteAusserhalb(n, i));
                vorwaerts.clear();
                break;
            }
            const auto [rechnung, naechster] = posten[static_cast<std::size_t>(i)];
            if (rechnung != r.id && rechnung != PostenVerwaltung::kGeloescht) {
                Problem(KetteFremd(n, i, rechnung));
                vorwaerts.clear();
                break;
            }
            std::uint32_t& marke = besucht[static_cast<std::size_t>(i)];
            if (marke == n + 1) {
                Problem("Die Postenkette der " + RechnungsName(n) + " läuft im Kreis (Posten "_w +
                        std::to_string(i) + " kommt zweimal vor).");
                vorwaerts.clear();
                break;
            }
            if (marke != 0) {
                Problem(KetteMuendet(n, i, marke - 1));
                vorwaerts.clear();
                break;
            }
            marke = static_cast<std::uint32_t>(n + 1);
            if (naechster >= i && vorwaerts.empty()) {
                vorwaerts = "Die Postenkette der " + RechnungsName(n) + " springt bei Posten " +
                            std::to_string(i) + " vorwärts auf Posten "_w +
                            std::to_string(naechster) + "; das Programm liest dort nicht weiter.";
            }
            i = naechster;
        }
        if (!vorwaerts.empty()) {
            Problem(vorwaerts);
        }
        ketteKaputt_[n] = probleme_.size() != vorher;
    }
    unerreicht_.clear();
    for (std::size_t i = 0; i < posten.size(); ++i) {
        if (besucht[i] == 0 && posten[i].first != PostenVerwaltung::kGeloescht) {
            unerreicht_.emplace_back(static_cast<std::int32_t>(i), posten[i].first);
        }
    }
}

std::string Datenpruefung::KundenketteAusserhalb(std::size_t k, std::int64_t rechnung) const {
    return "Die Rechnungskette des Kunden " + std::to_string(kunden_[k].nummer) +
           " verweist auf die Rechnung Id " + std::to_string(rechnung) +
           ", die es nicht gibt (die Datei hat " + std::to_string(rechnungen_.size()) +
           " Rechnungen).";
}

std::string Datenpruefung::KundenketteFremd(std::size_t k, std::size_t rechnung) const {
    return "Die Rechnungskette des Kunden " + std::to_string(kunden_[k].nummer) +
           " führt über die "_w + RechnungsName(rechnung) + " des Kunden " +
           std::to_string(rechnungen_[rechnung].kunde) + ".";
}

std::string Datenpruefung::KundenketteMuendet(std::size_t k, std::size_t rechnung,
                                              std::size_t andere) const {
    return "Die Rechnungskette des Kunden " + std::to_string(kunden_[k].nummer) +
           " mündet bei der "_w + RechnungsName(rechnung) + " in die Rechnungskette des Kunden " +
           std::to_string(kunden_[andere].nummer) + ".";
}

void Datenpruefung::Kundenketten() {
    if (!KundenkettenZugleich()) {
        KundenkettenNacheinander();
    }
}

// As for the item chains: in a sound file each customer's chain runs to
// lower ids, so one walk down the invoices meets every chain at once, and
// the invoices are read in their order instead of jumping between them.
bool Datenpruefung::KundenkettenZugleich() {
    const auto anzahl = static_cast<std::int64_t>(rechnungen_.size());
    // Per invoice the first customer whose walk waits for it, per customer
    // the next waiting for the same.
    std::vector<std::uint32_t> wartende(rechnungen_.size(), kKeine);
    std::vector<std::uint32_t> weiter(kunden_.size(), kKeine);
    std::vector<std::pair<std::uint32_t, std::string>> befunde;
    const auto weiterAuf = [&](std::uint32_t k, std::int64_t ziel) {
        if (ziel == -1) {
            return;
        }
        if (ziel < 0 || ziel >= anzahl) {
            befunde.emplace_back(k, KundenketteAusserhalb(k, ziel));
            return;
        }
        weiter[k] = wartende[static_cast<std::size_t>(ziel)];
        wartende[static_cast<std::size_t>(ziel)] = k;
    };
    for (std::size_t k = 0; k < kunden_.size(); ++k) {
        weiterAuf(static_cast<std::uint32_t>(k), kunden_[k].letzteRechnung);
    }
    std::vector<std::uint32_t> reihe;
    for (std::size_t i = rechnungen_.size(); i-- > 0;) {
        if (wartende[i] == kKeine) {
            continue;
        }
        reihe.clear();
        for (std::uint32_t k = wartende[i]; k != kKeine; k = weiter[k]) {
            reihe.push_back(k);
        }
        if (reihe.size() > 1) {
            std::sort(reihe.begin(), reihe.end());
        }
        const Kopf& r = rechnungen_[i];
        std::uint32_t besitzer = kKeine;
        for (const std::uint32_t k : reihe) {
            if (r.kunde != kunden_[k].nummer) {
                befunde.emplace_back(k, KundenketteFremd(k, i));
                continue;
            }
            if (besitzer != kKeine) {
                befunde.emplace_back(k, KundenketteMuendet(k, i, besitzer));
                continue;
            }
            besitzer = k;
            if (r.vorigeRechnung >= static_cast<std::int64_t>(i)) {
                return false;
            }
            weiterAuf(k, r.vorigeRechnung);
        }
    }
    std::sort(befunde.begin(), befunde.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& befund : befunde) {
        Problem(std::move(befund.second));
    }
    return true;
}

void Datenpruefung::KundenkettenNacheinander() {
    const auto anzahl = static_cast<std::int64_t>(rechnungen_.size());
    std::vector<std::uint32_t> besucht(rechnungen_.size(), 0);
    for (std::size_t k = 0; k < kunden_.size(); ++k) {
        const KundenKopf& kunde = kunden_[k];
        std::string vorwaerts;
        for (std::int64_t i = kunde.letzteRechnung; i != -1;) {
            if (i < 0 || i >= anzahl) {
                Problem(KundenketteAusserhalb(k, i));
                vorwaerts.clear();
                break;
            }
            const auto position = static_cast<std::size_t>(i);
            const Kopf& r = rechnungen_[position];
            if (r.kunde != kunde.nummer) {
                Problem(KundenketteFremd(k, position));
                vorwaerts.clear();
                break;
            }
            std::uint32_t& marke = besucht[position];
            if (marke == k + 1) {
                Problem("Die Rechnungskette des Kunden " + std::to_string(kunde.nummer) +
                        " läuft im Kreis (die "_w + RechnungsName(position) +
                        " kommt zweimal vor).");
                vorwaerts.clear();
                break;
            }
            if (marke != 0) {
                Problem(KundenketteMuendet(k, position, marke - 1));
                vorwaerts.clear();
                break;
            }
            marke = static_cast<std::uint32_t>(k + 1);
            if (r.vorigeRechnung >= i && vorwaerts.empty()) {
                vorwaerts = "Die Rechnungskette des Kunden " + std::to_string(kunde.nummer) +
                            " springt bei der " + RechnungsName(position) +
                            " vorwärts auf die Rechnung Id "_w + std::to_string(r.vorigeRechnung) +
                            "; das Programm liest dort nicht weiter.";
            }
            i = r.vorigeRechnung;
        }
        if (!vorwaerts.empty()) {
            Problem(vorwaerts);
        }
    }
}

void Datenpruefung::UnbekannteKunden() {
    std::vector<std::int32_t> nummern;
    nummern.reserve(kunden_.size());
    for (const KundenKopf& k : kunden_) {
        nummern.push_back(k.nummer);
    }
    std::sort(nummern.begin(), nummern.end());
    // Customer numbers are mostly counted up from 1: then a bitmap over
    // their range answers each invoice at once.
    std::vector<bool> bekannt;
    const std::int64_t kleinste = nummern.empty() ? 0 : nummern.front();
    if (!nummern.empty() &&
        nummern.back() - kleinste < 64 * static_cast<std::int64_t>(kunden_.size()) + 4096) {
        bekannt.resize(static_cast<std::size_t>(nummern.back() - kleinste) + 1);
        for (const std::int32_t nummer : nummern) {
            bekannt[static_cast<std::size_t>(nummer - kleinste)] = true;
        }
    }
    const auto gibt = [&](std::int32_t nummer) {
        if (bekannt.empty()) {
            return std::binary_search(nummern.begin(), nummern.end(), nummer);
        }
        const std::int64_t stelle = nummer - kleinste;
        return stelle >= 0 && stelle < static_cast<std::int64_t>(bekannt.size()) &&
               bekannt[static_cast<std::size_t>(stelle)];
    };
    // By customer, each with the positions of its invoices.
    std::map<std::int32_t, std::vector<std::size_t>> fremde;
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        const Kopf& r = rechnungen_[n];
        if (!geloescht_[n] && !gibt(r.kunde)) {
            fremde[r.kunde].push_back(n);
        }
    }
    for (const auto& [kunde, positionen] : fremde) {
        const std::string unbekannt = "zum Kunden " + std::to_string(kunde) + ", den es in " +
                                      Datei("kunden.dat") + " nicht gibt";
        if (positionen.size() == 1) {
            Problem("Die " + RechnungsName(positionen[0]) + " gehört "_w + unbekannt + ".");
            continue;
        }
        std::vector<std::int32_t> rechnungsnummern;
        for (std::size_t n : positionen) {
            rechnungsnummern.push_back(rechnungen_[n].nummer);
        }
        Problem(std::to_string(positionen.size()) + " Rechnungen gehören "_w + unbekannt +
                " (Rechnung Nr. " + Liste(rechnungsnummern) + ").");
    }
}

void Datenpruefung::NieGespeicherte() {
    // The position of the first invoice with each id. In a sound file the
    // id is the position, so a table indexed by id holds them; only damage
    // puts an id outside it.
    std::vector<std::uint32_t> erste(rechnungen_.size(), kKeine);
    std::map<std::int32_t, std::size_t> andere;
    for (std::size_t n = 0; n < rechnungen_.size(); ++n) {
        const std::int32_t id = rechnungen_[n].id;
        if (id >= 0 && static_cast<std::size_t>(id) < erste.size()) {
            if (erste[static_cast<std::size_t>(id)] == kKeine) {
                erste[static_cast<std::size_t>(id)] = static_cast<std::uint32_t>(n);
            }
        } else {
            andere.emplace(id, n);
        }
    }
    const auto positionDer = [&](std::int32_t id) -> std::optional<std::size_t> {
        if (id >= 0 && static_cast<std::size_t>(id) < erste.size()) {
            const std::uint32_t n = erste[static_cast<std::size_t>(id)];
            return n == kKeine ? std::nullopt : std::optional<std::size_t>(n);
        }
        const auto gefunden = andere.find(id);
        return gefunden == andere.end() ? std::nullopt
                                        : std::optional<std::size_t>(gefunden->second);
    };
    std::map<std::int32_t, std::vector<std::size_t>> fremde;
    // Items with the id of a stored invoice whose sound chain does not reach
    // them, by the invoice's position: left by an invoice that was never
    // stored before its id was given again, or by an item whose invoice
    // never learnt of it. (Behind a damaged chain they may be its own; that
    // damage is reported above.)
    std::map<std::size_t, std::vector<std::size_t>> ohneKette;
    for (const auto& [i, rechnung] : unerreicht_) {
        const std::optional<std::size_t> gespeichert = positionDer(rechnung);
        if (!gespeichert) {
            fremde[rechnung].push_back(static_cast<std::size_t>(i));
        } else if (!ketteKaputt_[*gespeichert]) {
            ohneKette[*gespeichert].push_back(static_cast<std::size_t>(i));
        }
    }
    for (const auto& [position, liste] : ohneKette) {
        const bool einer = liste.size() == 1;
        Problem("Die " + RechnungsName(position) + " erreicht " + std::to_string(liste.size()) +
                " Posten mit ihrer Id nicht (Posten " + Liste(liste) +
                (einer ? "): er stammt" : "): sie stammen") +
                " von einer nie gespeicherten Rechnung mit derselben Id oder aus einer nie "
                "gespeicherten Änderung; der nächste Start des Programms bucht "_w +
                (einer ? "ihn" : "sie") + " zurück."_w);
    }
    for (const auto& [rechnung, positionen] : fremde) {
        if (rechnung < 0) {
            Problem(std::to_string(positionen.size()) +
                    (positionen.size() == 1 ? " Posten trägt"_w : std::string(" Posten tragen")) +
                    " die ungültige Rechnungs-Id "_w + std::to_string(rechnung) + " (Posten " +
                    Liste(positionen) + ").");
        } else {
            Problem("Die Rechnung Id " + std::to_string(rechnung) + " wurde nie gespeichert; " +
                    std::to_string(positionen.size()) +
                    (positionen.size() == 1 ? " Posten gehört"_w : " Posten gehören"_w) +
                    " zu ihr (Posten " + Liste(positionen) + ").");
        }
    }
}

void Datenpruefung::Preislisten() {
    std::vector<std::string> namen;
    if (const auto bytes = Lies("weinlisten.txt")) {
        const NamensDatei::Inhalt inhalt = NamensDatei::Lesen(*bytes);
        namen = inhalt.namen;
        const auto hoechstens = static_cast<std::size_t>(PreisVerwaltung::kMaxPreislisten);
        if (namen.size() > hoechstens) {
            Problem(Datei("weinlisten.txt") + " nennt " + std::to_string(namen.size()) +
                    " Preislisten; mehr als 20 sind nicht erlaubt.");
        } else if (namen.size() == hoechstens && inhalt.zeilenendeAmSchluss) {
            Problem(Datei("weinlisten.txt") +
                    " endet nach der 20. Preisliste mit einem Zeilenende, das als 21. Preisliste "
                    "gilt; mehr als 20 sind nicht erlaubt.");
        }
    }
    for (std::size_t k = 0; k < namen.size(); ++k) {
        const std::string datei = std::to_string(k) + ".wl";
        if (!File::Exists(verzeichnis_ + "/" + datei)) {
            Problem("Die Preisliste " + std::to_string(k) + " »"_w + namen[k] +
                    "« hat keine Datei "_w + Datei(datei) + ".");
        }
    }
    for (const std::string& name : Namen()) {
        if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".wl") != 0) {
            continue;
        }
        bool benannt = false;
        for (std::size_t k = 0; k < namen.size() && !benannt; ++k) {
            benannt = name == std::to_string(k) + ".wl";
        }
        if (!benannt) {
            Problem("Die Datei " + Datei(name) + " gehört zu keiner Preisliste ("_w +
                    Datei("weinlisten.txt") + " nennt " + std::to_string(namen.size()) + ").");
        }
        if (const auto bytes = Lies(name)) {
            Laenge(name, bytes->size(), Preis::DiskSize);
        }
    }
}
