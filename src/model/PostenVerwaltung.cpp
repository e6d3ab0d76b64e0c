#include "model/PostenVerwaltung.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string_view>

#include "model/Rechnung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"

namespace {

constexpr const char* kUpdateFehler =
    "Es wurde in PostenVerwaltung::Update() ein Posten upgedated, den es noch gar nicht gibt";
constexpr const char* kCursorFehler =
    "Es wurde in PostenVerwaltung::GetPosten() ein index < 0 angegeben";
constexpr const char* kAddSchreibFehler =
    "Der Rechnungsposten konnte nicht in die Datei geschrieben werden "
    "(PostenVerwaltung::AddPosten())";
constexpr const char* kUpdateSchreibFehler =
    "Der Rechnungsposten konnte nicht in die Datei geschrieben werden "
    "(PostenVerwaltung::Update())";

constexpr std::int64_t kGroesse = static_cast<std::int64_t>(PostenVerwaltung::Posten::DiskSize);

// The DM price of an item in its marked form: a NaN that no typed or computed
// price ever is.
constexpr std::uint32_t kVormerkung = 0x7FC2524Bu;

// The item in its marked form, whose bottles are not taken out of stock
// while its wine holds `frei` bottles.
PostenVerwaltung::Posten Vormerkung(const PostenVerwaltung::Posten& posten, std::int32_t frei) {
    PostenVerwaltung::Posten vorgemerkt = posten;
    vorgemerkt.preisDM = std::bit_cast<float>(kVormerkung);
    vorgemerkt.preisEuro = std::bit_cast<float>(frei);
    return vorgemerkt;
}

std::int32_t FreierBestand(const PostenVerwaltung::Posten& posten) {
    return std::bit_cast<std::int32_t>(posten.preisEuro);
}

// The stock after `delta`, held within the field as the wine manager holds it.
std::int32_t Bestand(std::int32_t bestand, std::int32_t delta) {
    const std::int64_t summe = std::int64_t{bestand} + delta;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        summe, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Field by field at the offsets of the record table, as Hole decodes the
// mapped records: the generic reader costs more than the read.
template <typename T>
T Feld(const char* bild, std::size_t offset) {
    T wert;
    std::memcpy(&wert, bild + offset, sizeof wert);
    return wert;
}

void Entschluesseln(std::string_view bild, PostenVerwaltung::Posten& posten) {
    using P = PostenVerwaltung::Posten;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr auto& f = P::kFelder;
        posten.weinNummer = Feld<std::int32_t>(bild.data(), f.Offset(&P::weinNummer));
        posten.rechnung = Feld<std::int32_t>(bild.data(), f.Offset(&P::rechnung));
        posten.preisDM = Feld<float>(bild.data(), f.Offset(&P::preisDM));
        posten.preisEuro = Feld<float>(bild.data(), f.Offset(&P::preisEuro));
        posten.menge = Feld<std::int16_t>(bild.data(), f.Offset(&P::menge));
        posten.naechster = Feld<std::int32_t>(bild.data(), f.Offset(&P::naechster));
    } else {
        SatzLesen(bild, posten);
    }
}

}  // namespace

PostenVerwaltung::PostenVerwaltung(const std::string& fileName, Zugriff zugriff)
    : fileName_(fileName), zugriff_(zugriff), abbild_(fileName) {
    // A missing file is created by the first item. One that cannot be read
    // stops the start: taken for empty, the next item would be written over
    // the first. Stray bytes after the last whole record are no item; the
    // next item is written over them, at its own index.
    const Ergebnis<std::int64_t> laenge = abbild_.Oeffnen();
    if (!laenge) {
        if (laenge.Ursache().Fehlt()) {
            return;
        }
        throw MessageException(Oeffnungsfehler(laenge.Ursache()));
    }
    anzahl_ = static_cast<std::uint32_t>(*laenge / kGroesse);
}

void PostenVerwaltung::Abgeschnitten() const {
    throw MessageException(Oeffnungsfehler(abbild_.Abgeschnitten()));
}

bool PostenVerwaltung::Schreibe(std::int32_t index, const Posten& posten) {
    Schreibverbot::Pruefen(zugriff_, fileName_, "PostenVerwaltung");
    if (!datei_.IsOpen()) {
        datei_ = File::OpenReadWrite(fileName_).WertOder(File());
    }
    if (!datei_.IsOpen()) {
        return false;
    }
    // Room in the mapping first, so that the item can be read once it is
    // written; not to be had, nothing is written.
    if (const Ergebnis<void> platz = abbild_.Platz((index + 1) * kGroesse); !platz) {
        throw MessageException(Oeffnungsfehler(platz.Ursache()));
    }
    // On the disk before the stock that counts on it is changed.
    return datei_.WriteAt(index * kGroesse, Satzbild(posten)) && datei_.DataSync();
}

bool PostenVerwaltung::Vorgemerkt(const Posten& posten) {
    return std::bit_cast<std::uint32_t>(posten.preisDM) == kVormerkung;
}

Wein* PostenVerwaltung::WeinZu(const Posten& posten) const {
    return weinlistenVerwaltung_ != nullptr ? weinlistenVerwaltung_->GetWein(posten.weinNummer)
                                            : nullptr;
}

void PostenVerwaltung::Abschneiden(std::int32_t index) {
    if (datei_.IsOpen()) {
        (void)datei_.Truncate(index * kGroesse);
    }
}

std::int32_t PostenVerwaltung::AddPosten(const Rechnung& rechnung, Posten& posten) {
    posten.naechster = rechnung.postenKopf;
    const auto index = static_cast<std::int32_t>(anzahl_);
    const Wein* wein = WeinZu(posten);
    const bool bewegt = wein != nullptr && posten.menge != 0;
    if (bewegt) {
        // First the item in its marked form, naming the stock before: a
        // crash before the item is whole then leaves a record that says
        // whether its bottles went out of stock.
        if (!Schreibe(index, Vormerkung(posten, wein->bestand))) {
            Abschneiden(index);
            throw MessageException(kAddSchreibFehler);
        }
        try {
            weinlistenVerwaltung_->ChangeBestand(posten.weinNummer, -posten.menge);
        } catch (const MessageException& fehler) {
            Abschneiden(index);
            throw MessageException(fehler.Text() + " Der Posten wurde nicht gespeichert.");
        }
    }
    if (!Schreibe(index, posten)) {
        if (bewegt) {
            try {
                weinlistenVerwaltung_->ChangeBestand(posten.weinNummer, posten.menge);
            } catch (const MessageException&) {
                // The stock stays taken; the marked record says so, and the
                // next start gives the bottles back. Counted, so that no
                // later item is written over it.
                ++anzahl_;
                throw MessageException(kAddSchreibFehler);
            }
        }
        // Whatever part of the record reached the file is no whole record;
        // take it back so that the file keeps only what the list holds.
        Abschneiden(index);
        throw MessageException(kAddSchreibFehler);
    }
    ++anzahl_;
    return index;
}

bool PostenVerwaltung::Zuruecknehmen(std::int32_t index) {
    if (!ImBestand(index) || static_cast<std::uint32_t>(index) + 1 != anzahl_) {
        return false;
    }
    const Posten posten = Hole(static_cast<std::uint32_t>(index));
    if (Wein* wein = WeinZu(posten); wein != nullptr && posten.menge != 0) {
        // Marked with the stock the bottles come back to, before they do.
        const Posten vorgemerkt = Vormerkung(posten, Bestand(wein->bestand, posten.menge));
        if (!Schreibe(index, vorgemerkt)) {
            return false;
        }
        try {
            weinlistenVerwaltung_->ChangeBestand(posten.weinNummer, posten.menge);
        } catch (const MessageException&) {
            return false;
        }
    }
    if (!datei_.IsOpen() || !datei_.Truncate(index * kGroesse)) {
        // Back in stock; the marked record left behind says so.
        return false;
    }
    --anzahl_;
    return true;
}

void PostenVerwaltung::Zurueckbuchen(std::uint32_t index) {
    if (index >= anzahl_) {
        throw std::out_of_range("PostenVerwaltung::Zurueckbuchen");
    }
    const Posten alt = Hole(index);
    Wein* wein = WeinZu(alt);
    // An item in its marked form took its bottles only if the stock moved
    // away from the stock it names; every other one took them.
    const bool genommen = wein != nullptr && alt.menge != 0 &&
                          !(Vorgemerkt(alt) && wein->bestand == FreierBestand(alt));
    Posten protokolliert = alt;
    if (Vorgemerkt(alt)) {
        // Its prices never reached the file.
        protokolliert.preisDM = 0.0f;
        protokolliert.preisEuro = 0.0f;
    }
    Protokolliere(">> POSTEN GELÖSCHT << -> ", protokolliert);
    if (genommen) {
        const Posten vorgemerkt = Vormerkung(alt, Bestand(wein->bestand, alt.menge));
        if (!Schreibe(static_cast<std::int32_t>(index), vorgemerkt)) {
            throw MessageException(kUpdateSchreibFehler);
        }
        weinlistenVerwaltung_->ChangeBestand(alt.weinNummer, alt.menge);
    }
    // As a deletion stores it: no invoice, no prices, quantity 0, the link
    // kept.
    Posten geloescht = alt;
    geloescht.rechnung = kGeloescht;
    geloescht.preisDM = 0.0f;
    geloescht.preisEuro = 0.0f;
    geloescht.menge = 0;
    if (!Schreibe(static_cast<std::int32_t>(index), geloescht)) {
        throw MessageException(kUpdateSchreibFehler);
    }
}

void PostenVerwaltung::Update(const Posten& posten, std::int32_t start) {
    for (std::int32_t i = ImBestand(start) ? start : -1; i >= 0;) {
        const Posten alt = Hole(static_cast<std::uint32_t>(i));
        if (alt.rechnung != posten.rechnung || alt.weinNummer != posten.weinNummer) {
            i = Folge(i, alt);
            continue;
        }
        Posten neu = posten;
        // The old values go to the log book before the record is overwritten,
        // so that they survive whatever happens to the write.
        if (neu.menge == 0) {
            Protokolliere(">> POSTEN GELÖSCHT << -> ", alt);
            neu.rechnung = kGeloescht;
        } else {
            Protokolliere(">> POSTEN VERÄNDERT << -> ", alt);
        }
        neu.naechster = alt.naechster;
        if (!Schreibe(i, neu)) {
            // A failed overwrite may have left part of the new record; put the
            // old one back as well as the file allows.
            Schreibe(i, alt);
            throw MessageException(kUpdateSchreibFehler);
        }
        if (weinlistenVerwaltung_ != nullptr) {
            try {
                weinlistenVerwaltung_->ChangeBestand(neu.weinNummer, alt.menge - neu.menge);
            } catch (const MessageException& fehler) {
                // The item as it was, to match the stock as it is.
                (void)Schreibe(i, alt);
                throw MessageException(fehler.Text() +
                                       (neu.menge == 0 ? " Der Posten wurde nicht gelöscht."_w
                                                       : " Der Posten wurde nicht geändert."_w));
            }
        }
        return;
    }
    throw MessageException(kUpdateFehler);
}

bool PostenVerwaltung::GetPosten(Posten& posten, std::int32_t& cursor,
                                 std::int32_t rechnung) const {
    if (cursor < 0) {
        throw MessageException(kCursorFehler);
    }
    while (ImBestand(cursor)) {
        const std::int32_t index = cursor;
        posten = Hole(static_cast<std::uint32_t>(index));
        cursor = Folge(index, posten);
        if (posten.rechnung == rechnung) {
            return true;
        }
    }
    cursor = -1;
    return false;
}

float PostenVerwaltung::Summe(std::int32_t kopf, std::int32_t rechnung, bool inDM) const {
    float summe = 0.0f;
    FuerJedenPosten(kopf, rechnung, [&](const Posten& posten) {
        const float preis = inDM ? posten.preisDM : posten.preisEuro;
        summe += static_cast<float>(posten.menge) * preis;
    });
    return summe;
}

float PostenVerwaltung::SummeAusDatei(const File& datei, std::int64_t anzahl, std::int32_t kopf,
                                      std::int32_t rechnung, bool inDM) {
    float summe = 0.0f;
    char satz[Posten::DiskSize];
    // The links are followed as Folge follows them in memory, so that the
    // same items count in the same order.
    for (std::int64_t i = kopf >= 0 && kopf < anzahl ? kopf : -1; i >= 0;) {
        const Ergebnis<std::size_t> gelesen = datei.ReadAt(i * kGroesse, satz, sizeof satz);
        if (!gelesen) {
            throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
        }
        if (*gelesen < sizeof satz) {
            throw MessageException(
                Oeffnungsfehler(Fehler(Fehler::Vorgang::Lesen, datei.Path(), Fehler::kVerkuerzt)));
        }
        Posten posten;
        Entschluesseln(std::string_view(satz, sizeof satz), posten);
        if (posten.rechnung == rechnung) {
            const float preis = inDM ? posten.preisDM : posten.preisEuro;
            summe += static_cast<float>(posten.menge) * preis;
        }
        i = posten.naechster >= 0 && posten.naechster < i ? posten.naechster : -1;
    }
    return summe;
}

void PostenVerwaltung::Protokolliere(const char* marker, const Posten& alt) const {
    if (logBuch_ == nullptr) {
        return;
    }
    logBuch_->Stamp() << CodePage::Utf8ToCp1252(marker) << alt.weinNummer << ',' << alt.rechnung
                      << ',' << alt.preisDM << ',' << alt.preisEuro << ',' << alt.menge
                      << std::endl;
}
