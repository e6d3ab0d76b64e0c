#include "model/Rechnung.h"

#include <cstring>
#include <ctime>

#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Clock.h"
#include "storage/MessageException.h"
#include "storage/Zeit.h"

namespace {

constexpr const char* kOhnePostenVerwaltung =
    "In Rechnung::SetPosten() fehlt die Verwaltung der Rechnungsposten";

// Date and time of one reading of the clock, so that a stamp taken at
// midnight cannot pair one day's date with the next day's time.
void Stempel(std::uint32_t& datum, std::uint32_t& zeit) {
    const std::int64_t jetzt = Clock::Now();
    const auto t = static_cast<std::time_t>(jetzt);
    std::tm lokal{};
    localtime_r(&t, &lokal);
    datum = Datum(lokal.tm_mday, lokal.tm_mon + 1, lokal.tm_year + 1900).Julian();
    zeit = Zeit::FromUnix(jetzt).Seconds();
}

}  // namespace

ByteWriter& operator<<(ByteWriter& out, const Rechnung& r) {
    out.Int32(r.id);
    out.Int32(r.nummer);
    out.Int32(r.kunde);
    out.Int16(r.steigen);
    out.Int16(r.kartons);
    out.UInt32(r.datum);
    out.Float32(r.betragEingegangen);
    out.UInt8(r.beglichen);
    out.UInt32(r.erfasstDatum);
    out.UInt32(r.erfasstZeit);
    out.Text(r.bemerkung);
    out.Int32(r.postenKopf);
    out.Int32(r.vorigeRechnung);
    return out;
}

ByteReader& operator>>(ByteReader& in, Rechnung& r) {
    in.Int32(r.id);
    in.Int32(r.nummer);
    in.Int32(r.kunde);
    in.Int16(r.steigen);
    in.Int16(r.kartons);
    in.UInt32(r.datum);
    in.Float32(r.betragEingegangen);
    in.UInt8(r.beglichen);
    in.UInt32(r.erfasstDatum);
    in.UInt32(r.erfasstZeit);
    in.Text(r.bemerkung);
    in.Int32(r.postenKopf);
    in.Int32(r.vorigeRechnung);
    r.cacheGueltig_ = false;
    return in;
}

Rechnung::Rechnung() = default;

Rechnung::Rechnung(Verwaltungen* verwaltungen, std::int32_t idWert, std::int32_t nummerWert,
                   std::int32_t kundeWert)
    : id(idWert), nummer(nummerWert), kunde(kundeWert), verwaltungen_(verwaltungen) {
    Stempel(erfasstDatum, erfasstZeit);
    if (kunde == kOhneNummer || verwaltungen_ == nullptr ||
        verwaltungen_->kundenVerwaltung == nullptr) {
        return;
    }
    if (Kunde* k = verwaltungen_->kundenVerwaltung->GetKunde(kunde)) {
        vorigeRechnung = k->letzteRechnung;
        k->letzteRechnung = id;
    }
}

Rechnung::Rechnung(const Rechnung& other) {
    *this = other;
}

Rechnung& Rechnung::operator=(const Rechnung& other) {
    if (this == &other) {
        return *this;
    }
    verwaltungen_ = other.verwaltungen_;
    id = other.id;
    nummer = other.nummer;
    kunde = other.kunde;
    steigen = other.steigen;
    kartons = other.kartons;
    datum = other.datum;
    betragEingegangen = other.betragEingegangen;
    beglichen = other.beglichen;
    erfasstDatum = other.erfasstDatum;
    erfasstZeit = other.erfasstZeit;
    std::memcpy(bemerkung, other.bemerkung, sizeof bemerkung);
    postenKopf = other.postenKopf;
    vorigeRechnung = other.vorigeRechnung;
    cacheGueltig_ = false;
    return *this;
}

Rechnung::~Rechnung() = default;

void Rechnung::SetVerwaltungen(Verwaltungen* verwaltungen) {
    verwaltungen_ = verwaltungen;
    cacheGueltig_ = false;
}

PostenVerwaltung* Rechnung::PostenVw() const {
    return verwaltungen_ != nullptr ? verwaltungen_->postenVerwaltung : nullptr;
}

float Rechnung::GetSumme(bool inDM) const {
    const PostenVerwaltung* posten = PostenVw();
    return posten != nullptr ? posten->Summe(postenKopf, id, inDM) : 0.0f;
}

std::int32_t Rechnung::GetGewicht() const {
    const PostenVerwaltung* posten = PostenVw();
    WeinlistenVerwaltung* weine =
        verwaltungen_ != nullptr ? verwaltungen_->weinlistenVerwaltung : nullptr;
    if (posten == nullptr || weine == nullptr) {
        return 0;
    }
    std::int64_t gramm = 0;
    posten->FuerJedenPosten(postenKopf, id, [&](const PostenVerwaltung::Posten& p) {
        if (const Wein* wein = weine->GetWein(p.weinNummer)) {
            gramm += static_cast<std::int64_t>(wein->gewicht) * p.menge;
        }
    });
    return static_cast<std::int32_t>(gramm);
}

std::int32_t Rechnung::GetAnzahlPosten() const {
    const PostenVerwaltung* posten = PostenVw();
    std::int32_t anzahl = 0;
    if (posten != nullptr) {
        posten->FuerJedenPosten(postenKopf, id, [&](const PostenVerwaltung::Posten&) { ++anzahl; });
    }
    return anzahl;
}

bool Rechnung::NextPosten(PostenVerwaltung::Posten& posten, std::int32_t& cursor) const {
    const PostenVerwaltung* verwaltung = PostenVw();
    if (cursor < 0 || verwaltung == nullptr) {
        return false;
    }
    return verwaltung->GetPosten(posten, cursor, id);
}

void Rechnung::CacheFuellen() {
    if (!postenCache_) {
        postenCache_ = std::make_unique<GenericList<PostenVerwaltung::Posten>>();
    }
    if (cacheGueltig_) {
        return;
    }
    postenCache_->Empty();
    if (const PostenVerwaltung* posten = PostenVw()) {
        posten->FuerJedenPosten(postenKopf, id,
                                [&](const PostenVerwaltung::Posten& p) { postenCache_->Add(p); });
        cacheGueltig_ = true;
    }
}

PostenVerwaltung::Posten* Rechnung::FindPosten(std::int32_t weinNummer) {
    CacheFuellen();
    for (unsigned i = 0; i < postenCache_->Count(); ++i) {
        if ((*postenCache_)[i].weinNummer == weinNummer) {
            return &(*postenCache_)[i];
        }
    }
    return nullptr;
}

void Rechnung::SetPosten(std::int32_t weinNummer, float preisDM, float preisEuro,
                         std::int16_t menge) {
    PostenVerwaltung* verwaltung = PostenVw();
    if (verwaltung == nullptr) {
        throw MessageException(kOhnePostenVerwaltung);
    }
    PostenVerwaltung::Posten posten;
    posten.weinNummer = weinNummer;
    posten.rechnung = id;
    posten.preisDM = preisDM;
    posten.preisEuro = preisEuro;
    posten.menge = menge;
    if (FindPosten(weinNummer) != nullptr) {
        verwaltung->Update(posten, postenKopf);
        cacheGueltig_ = false;
        return;
    }
    const std::int32_t index = verwaltung->AddPosten(*this, posten);
    const std::int32_t kopf = postenKopf;
    if (postenKopf < index) {
        postenKopf = index;
    }
    if (verwaltungen_->rechnungsVerwaltung != nullptr) {
        try {
            verwaltungen_->rechnungsVerwaltung->UpdateRechnung(*this);
        } catch (const MessageException&) {
            // The stored invoice does not lead to the item: taken back, its
            // bottles with it, rather than left to no invoice.
            postenKopf = kopf;
            verwaltung->Zuruecknehmen(index);
            throw;
        }
    }
    postenCache_->Add(posten);
}

void Rechnung::DeletePosten(std::int32_t weinNummer) {
    PostenVerwaltung* verwaltung = PostenVw();
    if (verwaltung == nullptr || FindPosten(weinNummer) == nullptr) {
        return;
    }
    PostenVerwaltung::Posten posten;
    posten.weinNummer = weinNummer;
    posten.rechnung = id;
    verwaltung->Update(posten, postenKopf);
    cacheGueltig_ = false;
}
