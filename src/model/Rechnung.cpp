#include "model/Rechnung.h"

#include <ctime>

#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Clock.h"
#include "storage/Zeit.h"

namespace {

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

void Rechnung::SetVerwaltungen(Verwaltungen* verwaltungen) {
    verwaltungen_ = verwaltungen;
    PostenGeaendert();
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
    if (!cache_.liste) {
        cache_.liste = std::make_unique<GenericList<PostenVerwaltung::Posten>>();
    }
    if (cache_.gueltig) {
        return;
    }
    cache_.liste->Empty();
    if (const PostenVerwaltung* posten = PostenVw()) {
        posten->FuerJedenPosten(postenKopf, id,
                                [&](const PostenVerwaltung::Posten& p) { cache_.liste->Add(p); });
        cache_.gueltig = true;
    }
}

PostenVerwaltung::Posten* Rechnung::FindPosten(std::int32_t weinNummer) {
    CacheFuellen();
    GenericList<PostenVerwaltung::Posten>& liste = *cache_.liste;
    for (unsigned i = 0; i < liste.Count(); ++i) {
        if (liste[i].weinNummer == weinNummer) {
            return &liste[i];
        }
    }
    return nullptr;
}
