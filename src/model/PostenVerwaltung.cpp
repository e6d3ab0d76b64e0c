#include "model/PostenVerwaltung.h"

#include <ostream>
#include <string_view>

#include "model/Rechnung.h"
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

}  // namespace

ByteWriter& operator<<(ByteWriter& out, const PostenVerwaltung::Posten& posten) {
    out.Int32(posten.weinNummer);
    out.Int32(posten.rechnung);
    out.Float32(posten.preisDM);
    out.Float32(posten.preisEuro);
    out.Int16(posten.menge);
    out.Int32(posten.naechster);
    return out;
}

ByteReader& operator>>(ByteReader& in, PostenVerwaltung::Posten& posten) {
    in.Int32(posten.weinNummer);
    in.Int32(posten.rechnung);
    in.Float32(posten.preisDM);
    in.Float32(posten.preisEuro);
    in.Int16(posten.menge);
    in.Int32(posten.naechster);
    return in;
}

PostenVerwaltung::PostenVerwaltung(const std::string& fileName, Zugriff zugriff)
    : fileName_(fileName), zugriff_(zugriff) {
    // A missing file is created by the first item. One that cannot be read
    // stops the start: taken for empty, the next item would be written over
    // the first.
    std::string bytes;
    if (!File::ReadIfExists(fileName_, bytes)) {
        throw MessageException(Oeffnungsfehler(fileName_));
    }
    // Stray bytes after the last whole record are no item; the next item
    // is written over them, at its own index.
    const std::size_t anzahl = bytes.size() / Posten::DiskSize;
    posten_.resize(anzahl);
    const std::string_view alle(bytes);
    for (std::size_t i = 0; i < anzahl; ++i) {
        ByteReader reader(alle.substr(i * Posten::DiskSize, Posten::DiskSize));
        reader >> posten_[i];
    }
}

bool PostenVerwaltung::Schreibe(std::int32_t index, const Posten& posten) {
    Schreibverbot::Pruefen(zugriff_, fileName_, "PostenVerwaltung");
    if (!datei_.IsOpen()) {
        datei_ = File::OpenReadWrite(fileName_);
    }
    std::string bytes;
    ByteWriter writer(bytes);
    writer << posten;
    // On the disk before the stock that counts on it is changed.
    return datei_.IsOpen() && datei_.WriteAt(index * kGroesse, bytes) && datei_.DataSync();
}

std::int32_t PostenVerwaltung::AddPosten(const Rechnung& rechnung, Posten& posten) {
    posten.naechster = rechnung.postenKopf;
    const auto index = static_cast<std::int32_t>(posten_.size());
    if (!Schreibe(index, posten)) {
        // Whatever part of the record reached the file is no whole record;
        // take it back so that the file keeps only what the list holds.
        if (datei_.IsOpen()) {
            datei_.Truncate(index * kGroesse);
        }
        throw MessageException(kAddSchreibFehler);
    }
    posten_.push_back(posten);
    if (weinlistenVerwaltung_ != nullptr) {
        weinlistenVerwaltung_->ChangeBestand(posten.weinNummer, -posten.menge);
    }
    return index;
}

void PostenVerwaltung::Update(const Posten& posten, std::int32_t start) {
    for (std::int32_t i = ImBestand(start) ? start : -1; i >= 0; i = Folge(i)) {
        const Posten alt = posten_[static_cast<std::size_t>(i)];
        if (alt.rechnung != posten.rechnung || alt.weinNummer != posten.weinNummer) {
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
        posten_[static_cast<std::size_t>(i)] = neu;
        if (weinlistenVerwaltung_ != nullptr) {
            weinlistenVerwaltung_->ChangeBestand(neu.weinNummer, alt.menge - neu.menge);
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
        posten = posten_[static_cast<std::size_t>(index)];
        cursor = Folge(index);
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

void PostenVerwaltung::Protokolliere(const char* marker, const Posten& alt) const {
    if (logBuch_ == nullptr) {
        return;
    }
    logBuch_->Stamp() << CodePage::Utf8ToCp1252(marker) << alt.weinNummer << ',' << alt.rechnung
                      << ',' << alt.preisDM << ',' << alt.preisEuro << ',' << alt.menge
                      << std::endl;
}
