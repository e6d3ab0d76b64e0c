#include "model/RechnungsVerwaltung.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <ostream>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "model/Verwaltungen.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"
#include "storage/Zeit.h"

namespace {

constexpr std::size_t kGroesse = Rechnung::DiskSize;

// The pre-dating limit when no settings are attached: their default.
constexpr std::int32_t kStandardVordatierung = 31;

constexpr const char* kStoreOeffnenFehler =
    "In RechnungsVerwaltung::StoreRechnung() konnte die Datei nicht geöffnet werden";
constexpr const char* kStoreSchreibFehler =
    "Die Rechnung konnte nicht in die Datei geschrieben werden "
    "(RechnungsVerwaltung::StoreRechnung())";
constexpr const char* kUpdateSchreibFehler =
    "Die Rechnung konnte nicht in die Datei geschrieben werden "
    "(RechnungsVerwaltung::UpdateCurrentRechnung())";

constexpr const char* kOhnePostenVerwaltung =
    "In Rechnung::SetPosten() fehlt die Verwaltung der Rechnungsposten";

// The number after `nummer`; the file may hold any value, and the largest
// one wraps round as it always did instead of overflowing.
std::int32_t Nachfolger(std::int32_t nummer) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(nummer) + 1u);
}

}  // namespace

RechnungsVerwaltung::RechnungsVerwaltung(const std::string& fileName, Zugriff zugriff)
    : aktuell_(std::make_unique<Rechnung>(nullptr, Rechnung::kOhneNummer, Rechnung::kOhneNummer,
                                          Rechnung::kOhneNummer)),
      fileName_(fileName),
      zugriff_(zugriff),
      abbild_(fileName) {
    // A missing file holds no invoice. One that cannot be read stops the
    // start: taken for empty, the next invoice would get id 0 and be written
    // over the first.
    const Ergebnis<std::int64_t> laenge = abbild_.Oeffnen();
    if (!laenge && !laenge.Ursache().Fehlt()) {
        throw MessageException(Oeffnungsfehler(laenge.Ursache()));
    }
    // Only whole records count; stray bytes after them are written over by
    // the next invoice, at its own position.
    gespeichert_ =
        laenge ? static_cast<std::int32_t>(*laenge / static_cast<std::int64_t>(kGroesse)) : 0;
    if (gespeichert_ > 0) {
        anzahl_ = gespeichert_;
        naechsteNummer_ = Nachfolger(Feldwert<&Rechnung::nummer>(Satz(gespeichert_ - 1)));
    }
    JederSatz([&](std::int32_t n, std::string_view satz) {
        idsSindPositionen_ = idsSindPositionen_ && Feldwert<&Rechnung::id>(satz) == n;
    });
    Nachsehen();
}

RechnungsVerwaltung::~RechnungsVerwaltung() = default;

void RechnungsVerwaltung::SetVerwaltungen(Verwaltungen* verwaltungen) {
    verwaltungen_ = verwaltungen;
    aktuell_->SetVerwaltungen(verwaltungen);
}

std::string_view RechnungsVerwaltung::Satz(std::int32_t n) const {
    return std::string_view(abbild_.Daten() + static_cast<std::size_t>(n) * kGroesse, kGroesse);
}

void RechnungsVerwaltung::Abgeschnitten() const {
    throw MessageException(Oeffnungsfehler(abbild_.Abgeschnitten()));
}

template <typename F>
void RechnungsVerwaltung::JederSatz(F&& f) const {
    // A megabyte at a time; the file's cache keeps what is let go.
    constexpr std::int32_t kSchritt = (1 << 20) / static_cast<std::int32_t>(kGroesse);
    auto bis = [](std::int32_t n) {
        return static_cast<std::int64_t>(n) * static_cast<std::int64_t>(kGroesse);
    };
    abbild_.Durchlauf(true);
    std::int32_t losgelassen = 0;
    for (std::int32_t n = 0; n < gespeichert_; ++n) {
        if (n - losgelassen == kSchritt) {
            abbild_.Freigeben(bis(losgelassen), bis(n));
            losgelassen = n;
        }
        f(n, Satz(n));
    }
    abbild_.Freigeben(bis(losgelassen), bis(gespeichert_));
    abbild_.Durchlauf(false);
}

void RechnungsVerwaltung::Lies(std::int32_t n, Rechnung& r) const {
    SatzLesen(Satz(n), r);
    Nachsehen();
    r.PostenGeaendert();
}

std::int32_t RechnungsVerwaltung::IdAn(std::int32_t n) const {
    return Feldwert<&Rechnung::id>(Satz(n));
}

bool RechnungsVerwaltung::Schreibe(std::int32_t n, const Rechnung& r) {
    Schreibverbot::Pruefen(zugriff_, fileName_, "RechnungsVerwaltung");
    if (!datei_.IsOpen()) {
        datei_ = File::OpenReadWrite(fileName_).WertOder(File());
    }
    if (!datei_.IsOpen()) {
        return false;
    }
    const std::string bytes = Satzbild(r);
    const auto offset = static_cast<std::int64_t>(n) * static_cast<std::int64_t>(kGroesse);
    // Room in the mapping first, so that the record can be read once it is
    // written; not to be had, nothing is written.
    if (const Ergebnis<void> platz = abbild_.Platz(offset + static_cast<std::int64_t>(kGroesse));
        !platz) {
        throw MessageException(Oeffnungsfehler(platz.Ursache()));
    }
    // On the disk before the chain head that counts on it is written.
    if (!datei_.WriteAt(offset, bytes) || !datei_.DataSync()) {
        return false;
    }
    idsSindPositionen_ = idsSindPositionen_ && r.id == n;
    if (n >= gespeichert_) {
        ++gespeichert_;
    }
    return true;
}

Rechnung* RechnungsVerwaltung::AllocRechnung(std::int32_t kunde) {
    // A reservation moves the customer's chain head, which is stored.
    Schreibverbot::Pruefen(zugriff_, fileName_, "RechnungsVerwaltung::AllocRechnung");
    if (reserviertFlag_) {
        throw MessageException(kAllocFehler);
    }
    reserviert_ = std::make_unique<Rechnung>(verwaltungen_, anzahl_, naechsteNummer_, kunde);
    reserviertKunde_ = kunde;
    anzahl_ = Nachfolger(anzahl_);
    naechsteNummer_ = Nachfolger(naechsteNummer_);
    reserviertFlag_ = true;
    return reserviert_.get();
}

void RechnungsVerwaltung::StoreRechnung() {
    Schreibverbot::Pruefen(zugriff_, fileName_, "RechnungsVerwaltung::StoreRechnung");
    if (!reserviertFlag_) {
        throw MessageException(kStoreFehler);
    }
    if (!datei_.IsOpen()) {
        datei_ = File::OpenReadWrite(fileName_).WertOder(File());
    }
    if (!datei_.IsOpen()) {
        throw MessageException(CodePage::Utf8ToCp1252(kStoreOeffnenFehler));
    }
    // Appended right after the last whole record, which is the position its
    // id names.
    const std::int32_t position = gespeichert_;
    if (!Schreibe(position, *reserviert_)) {
        (void)datei_.Truncate(static_cast<std::int64_t>(position) *
                              static_cast<std::int64_t>(kGroesse));
        throw MessageException(kStoreSchreibFehler);
    }
    const std::int32_t id = reserviert_->id;
    const std::int32_t kunde = reserviertKunde_;
    reserviertFlag_ = false;
    reserviert_.reset();
    reserviertKunde_ = -1;

    // The customer became the head of its invoice chain when the invoice was
    // reserved; now that the invoice is on disk, so is the head, and a crash
    // cannot leave the customer's older invoices unreachable.
    KundenVerwaltung* kunden = verwaltungen_ != nullptr ? verwaltungen_->kundenVerwaltung : nullptr;
    if (kunden != nullptr) {
        const Kunde* k = kunden->GetKunde(kunde);
        if (k != nullptr && k->letzteRechnung == id) {
            kunden->Store(k);
        }
    }
}

void RechnungsVerwaltung::ReservierungBeenden() {
    if (!reserviertFlag_) {
        return;
    }
    try {
        StoreRechnung();
        return;
    } catch (const MessageException&) {
        // Not to be had; the items stay as those of an invoice never stored,
        // which the next start books back.
    }
    KundenVerwaltung* kunden = verwaltungen_ != nullptr ? verwaltungen_->kundenVerwaltung : nullptr;
    Kunde* k = kunden != nullptr ? kunden->GetKunde(reserviertKunde_) : nullptr;
    if (k != nullptr && k->letzteRechnung == reserviert_->id) {
        k->letzteRechnung = reserviert_->vorigeRechnung;
        try {
            kunden->Store(k);
        } catch (const MessageException&) {
            // The customer file is written from memory at its release anyway.
        }
    }
    reserviertFlag_ = false;
    reserviert_.reset();
    reserviertKunde_ = -1;
}

std::vector<std::int32_t> RechnungsVerwaltung::KettenkoepfeNachtragen() {
    std::vector<std::int32_t> berichtigt;
    KundenVerwaltung* kunden = verwaltungen_ != nullptr ? verwaltungen_->kundenVerwaltung : nullptr;
    if (kunden == nullptr) {
        return berichtigt;
    }
    // An invoice captured before the customer belongs to an earlier customer
    // who had the same number.
    auto nachDemKunden = [](const Rechnung& r, const Kunde& k) {
        return r.erfasstDatum > k.erfasstDatum ||
               (r.erfasstDatum == k.erfasstDatum && r.erfasstZeit >= k.erfasstZeit);
    };
    bool geaendert = false;

    if (gespeichert_ > 0 && IdAn(gespeichert_ - 1) == gespeichert_ - 1) {
        Rechnung neueste;
        Lies(gespeichert_ - 1, neueste);
        Kunde* k = kunden->GetKunde(neueste.kunde);
        if (k != nullptr && k->letzteRechnung != neueste.id &&
            k->letzteRechnung == neueste.vorigeRechnung && nachDemKunden(neueste, *k)) {
            k->letzteRechnung = neueste.id;
            berichtigt.push_back(k->nummer);
            geaendert = true;
        }
    }

    // The customers whose head lies beyond the file (an older copy of the
    // invoices restored), by number; several may share one.
    std::unordered_map<std::int32_t, std::vector<unsigned>> offen;
    std::size_t fehlend = 0;
    for (unsigned i = 0; i < kunden->Count(); ++i) {
        const Kunde& k = (*kunden)[i];
        if (k.letzteRechnung >= gespeichert_) {
            offen[k.nummer].push_back(i);
            ++fehlend;
        }
    }
    if (fehlend > 0) {
        geaendert = true;
        // A customer's invoices form its chain in the order of their ids, so
        // the newest one that is there is the head: one walk from the newest
        // invoice down finds every customer's head, and whoever is left has
        // none.
        Rechnung r;
        // The pages passed are let go, a megabyte at a time, as in JederSatz.
        constexpr std::int32_t kSchritt = (1 << 20) / static_cast<std::int32_t>(kGroesse);
        auto bis = [](std::int32_t n) {
            return static_cast<std::int64_t>(n) * static_cast<std::int64_t>(kGroesse);
        };
        std::int32_t losgelassen = gespeichert_;
        std::int32_t unten = gespeichert_;
        for (std::int32_t n = gespeichert_ - 1; n >= 0 && fehlend > 0; --n) {
            unten = n;
            if (losgelassen - n == kSchritt) {
                abbild_.Freigeben(bis(n + 1), bis(losgelassen));
                losgelassen = n + 1;
            }
            if (IdAn(n) != n) {
                continue;
            }
            const auto treffer = offen.find(Feldwert<&Rechnung::kunde>(Satz(n)));
            if (treffer == offen.end()) {
                continue;
            }
            Lies(n, r);
            std::vector<unsigned>& wartend = treffer->second;
            for (std::size_t j = 0; j < wartend.size();) {
                Kunde& k = (*kunden)[wartend[j]];
                if (nachDemKunden(r, k)) {
                    k.letzteRechnung = n;
                    berichtigt.push_back(k.nummer);
                    wartend[j] = wartend.back();
                    wartend.pop_back();
                    --fehlend;
                } else {
                    ++j;
                }
            }
            if (wartend.empty()) {
                offen.erase(treffer);
            }
        }
        abbild_.Freigeben(bis(unten), bis(losgelassen));
        for (const auto& [nummer, wartend] : offen) {
            for (unsigned i : wartend) {
                (*kunden)[i].letzteRechnung = -1;
                berichtigt.push_back((*kunden)[i].nummer);
            }
        }
    }
    // Nothing mended from what a cut file showed.
    Nachsehen();
    std::sort(berichtigt.begin(), berichtigt.end());
    if (!geaendert || zugriff_ == Zugriff::NurLesen) {
        return berichtigt;
    }
    try {
        kunden->Flush();
    } catch (const MessageException&) {
        // Mended in memory; written with the customer file at the latest.
    }
    return berichtigt;
}

std::vector<std::string> RechnungsVerwaltung::NichtGespeichertesZurueckbuchen() {
    std::vector<std::string> meldungen;
    PostenVerwaltung* posten = verwaltungen_ != nullptr ? verwaltungen_->postenVerwaltung : nullptr;
    if (posten == nullptr || zugriff_ == Zugriff::NurLesen) {
        return meldungen;
    }
    const auto anzahl = static_cast<std::int64_t>(posten->Anzahl());
    std::vector<bool> erreicht(static_cast<std::size_t>(anzahl), false);
    struct Kette {
        std::int32_t nummer = 0;
        std::int32_t kopf = -1;
        bool heil = true;
    };
    // The chain of every stored invoice, by position, walked as the program
    // reads it; a chain that ends anywhere but at -1, passes another
    // invoice's item or meets another chain is damaged.
    std::vector<Kette> ketten(static_cast<std::size_t>(gespeichert_));
    // Where ids are not positions (a damaged file), the position of each id's
    // first record.
    std::unordered_map<std::int32_t, std::int32_t> position;
    auto finde = [&](std::int32_t id) -> Kette* {
        if (idsSindPositionen_) {
            return id >= 0 && id < gespeichert_ ? &ketten[static_cast<std::size_t>(id)] : nullptr;
        }
        const auto treffer = position.find(id);
        return treffer != position.end() ? &ketten[static_cast<std::size_t>(treffer->second)]
                                         : nullptr;
    };
    // The items of one invoice lie close together, behind those of the
    // invoice before: their pages are let go with the invoices'.
    constexpr std::int32_t kSchritt = (1 << 20) / static_cast<std::int32_t>(kGroesse);
    std::uint32_t losgelassen = 0;
    std::uint32_t oben = 0;
    JederSatz([&](std::int32_t n, std::string_view satz) {
        if (n % kSchritt == 0 && oben > losgelassen) {
            posten->Loslassen(losgelassen, oben);
            losgelassen = oben;
        }
        const std::int32_t id = Feldwert<&Rechnung::id>(satz);
        Kette kette{Feldwert<&Rechnung::nummer>(satz), Feldwert<&Rechnung::postenKopf>(satz), true};
        for (std::int64_t i = kette.kopf; i != -1;) {
            if (i < 0 || i >= anzahl || erreicht[static_cast<std::size_t>(i)]) {
                kette.heil = false;
                break;
            }
            const PostenVerwaltung::Posten p = (*posten)[static_cast<std::uint32_t>(i)];
            erreicht[static_cast<std::size_t>(i)] = true;
            oben = std::max(oben, static_cast<std::uint32_t>(i) + 1);
            if (p.rechnung != id && p.rechnung != PostenVerwaltung::kGeloescht) {
                // Another invoice's item in this chain: damage, and the item
                // is not one that no invoice leads to.
                kette.heil = false;
                break;
            }
            if (p.naechster != -1 && (p.naechster < 0 || p.naechster >= i)) {
                kette.heil = false;
                break;
            }
            i = p.naechster;
        }
        ketten[static_cast<std::size_t>(n)] = kette;
        if (!idsSindPositionen_) {
            const auto [eintrag, neu] = position.emplace(id, n);
            if (!neu) {
                // Two records with one id: neither chain can be trusted.
                ketten[static_cast<std::size_t>(eintrag->second)].heil = false;
            }
        }
    });
    Nachsehen();
    posten->Loslassen(0, oben);

    // What is left, by id: items of invoices never stored (also where the
    // id was given again), and new items of a stored invoice that never
    // learnt of them (newer than its chain's head).
    std::map<std::int32_t, std::vector<std::uint32_t>> nieGespeichert;
    std::map<std::int32_t, std::vector<std::uint32_t>> neuePosten;
    constexpr std::uint32_t kPostenSchritt = (1 << 20) / PostenVerwaltung::Posten::DiskSize;
    std::uint32_t bisher = 0;
    for (std::uint32_t i = 0; i < posten->Anzahl(); ++i) {
        if (i - bisher == kPostenSchritt) {
            posten->Loslassen(bisher, i);
            bisher = i;
        }
        if (erreicht[i]) {
            continue;
        }
        const PostenVerwaltung::Posten p = (*posten)[i];
        if (p.rechnung < 0) {
            continue;
        }
        const Kette* kette = finde(p.rechnung);
        if (kette == nullptr) {
            nieGespeichert[p.rechnung].push_back(i);
        } else if (kette->heil) {
            (static_cast<std::int64_t>(i) > kette->kopf ? neuePosten : nieGespeichert)[p.rechnung]
                .push_back(i);
        }
    }
    posten->Loslassen(bisher, posten->Anzahl());
    auto zurueckbuchen = [&](const std::vector<std::uint32_t>& liste) {
        for (std::uint32_t i : liste) {
            posten->Zurueckbuchen(i);
        }
    };
    try {
        for (const auto& [id, liste] : nieGespeichert) {
            zurueckbuchen(liste);
            meldungen.push_back(
                "Beim letzten Programmende war eine neue Rechnung nicht gespeichert; ihre "_w +
                std::to_string(liste.size()) + " Posten wurden zurückgebucht."_w);
        }
        for (const auto& [id, liste] : neuePosten) {
            zurueckbuchen(liste);
            const std::string rechnung =
                " der Rechnung Nr. " + std::to_string(finde(id)->nummer) + " nicht gespeichert; ";
            meldungen.push_back(liste.size() == 1
                                    ? "Beim letzten Programmende war ein neuer Posten"_w +
                                          rechnung + "er wurde zurückgebucht."_w
                                    : "Beim letzten Programmende waren " +
                                          std::to_string(liste.size()) + " neue Posten" + rechnung +
                                          "sie wurden zurückgebucht."_w);
        }
    } catch (const MessageException& fehler) {
        meldungen.push_back(
            "Beim letzten Programmende war eine neue Rechnung nicht gespeichert; ihre Posten "
            "konnten nicht zurückgebucht werden: "_w +
            fehler.Text() + " Der nächste Start versucht es wieder."_w);
    }
    return meldungen;
}

Rechnung* RechnungsVerwaltung::GetRechnung(std::int32_t id) {
    // Positions past the file (a reserved invoice not yet stored) hold nothing
    // to read.
    const std::int32_t oberste = std::min(anzahl_, gespeichert_) - 1;
    if (idsSindPositionen_ && id >= 0 && id <= oberste) {
        // Every record above this one has a greater id, so the scan would
        // pass them all and stop here.
        aktuellerIndex_ = id;
        Lies(id, *aktuell_);
        return aktuell_.get();
    }
    for (std::int32_t n = oberste; n >= 0; --n) {
        aktuellerIndex_ = n;
        const std::int32_t gelesen = IdAn(n);
        if (gelesen == id) {
            Lies(n, *aktuell_);
            return aktuell_.get();
        }
        if (gelesen < id) {
            Lies(n, *aktuell_);
            return nullptr;
        }
    }
    if (oberste >= 0) {
        Lies(0, *aktuell_);
    }
    return nullptr;
}

void RechnungsVerwaltung::UpdateCurrentRechnung() {
    if (aktuellerIndex_ < 0 || aktuellerIndex_ >= gespeichert_) {
        throw MessageException(kUpdateFehler);
    }
    Rechnung alt;
    Lies(aktuellerIndex_, alt);
    Protokolliere(">> RECHNUNG GEÄNDERT << (erfasst am ", alt);
    if (!Schreibe(aktuellerIndex_, *aktuell_)) {
        // Put back whatever part of the old record the failed write may
        // have overwritten.
        Schreibe(aktuellerIndex_, alt);
        throw MessageException(kUpdateSchreibFehler);
    }
    aktuellerIndex_ = -1;
}

void RechnungsVerwaltung::UpdateRechnung(const Rechnung& rechnung) {
    if (&rechnung == reserviert_.get()) {
        return;
    }
    // The invoice may be the working copy itself, which GetRechnung is about
    // to overwrite with the stored values.
    const Rechnung geaendert(rechnung);
    if (GetRechnung(geaendert.id) == nullptr) {
        return;
    }
    *aktuell_ = geaendert;
    // The working copy always works with this manager's set, whatever set the
    // copy carried.
    aktuell_->SetVerwaltungen(verwaltungen_);
    UpdateCurrentRechnung();
}

void RechnungsVerwaltung::SetPosten(Rechnung& rechnung, std::int32_t weinNummer, float preisDM,
                                    float preisEuro, std::int16_t menge) {
    Verwaltungen* verwaltungen = rechnung.GetVerwaltungen();
    PostenVerwaltung* verwaltung =
        verwaltungen != nullptr ? verwaltungen->postenVerwaltung : nullptr;
    if (verwaltung == nullptr) {
        throw MessageException(kOhnePostenVerwaltung);
    }
    PostenVerwaltung::Posten posten{weinNummer, rechnung.id, preisDM, preisEuro, menge};
    if (rechnung.FindPosten(weinNummer) != nullptr) {
        verwaltung->Update(posten, rechnung.postenKopf);
        rechnung.PostenGeaendert();
        return;
    }
    const std::int32_t index = verwaltung->AddPosten(rechnung, posten);
    const std::int32_t kopf = rechnung.postenKopf;
    rechnung.postenKopf = std::max(kopf, index);
    rechnung.PostenGeaendert();
    try {
        UpdateRechnung(rechnung);
    } catch (const MessageException&) {
        // The stored invoice does not lead to the item: taken back, its
        // bottles with it, rather than left to no invoice.
        rechnung.postenKopf = kopf;
        verwaltung->Zuruecknehmen(index);
        throw;
    }
}

void RechnungsVerwaltung::DeletePosten(Rechnung& rechnung, std::int32_t weinNummer) {
    const Verwaltungen* verwaltungen = rechnung.GetVerwaltungen();
    if (verwaltungen != nullptr && verwaltungen->postenVerwaltung != nullptr &&
        rechnung.FindPosten(weinNummer) != nullptr) {
        SetPosten(rechnung, weinNummer, 0.0f, 0.0f, 0);
    }
}

void RechnungsVerwaltung::DeleteRechnung(std::int32_t id, bool bestandKorrigieren) {
    Rechnung* r = GetRechnung(id);
    if (r == nullptr) {
        throw MessageException(kDeleteFehler);
    }
    if (bestandKorrigieren) {
        std::vector<std::int32_t> weine;
        if (verwaltungen_ != nullptr && verwaltungen_->postenVerwaltung != nullptr) {
            verwaltungen_->postenVerwaltung->FuerJedenPosten(
                r->postenKopf, r->id,
                [&](const PostenVerwaltung::Posten& p) { weine.push_back(p.weinNummer); });
        }
        for (std::int32_t wein : weine) {
            DeletePosten(*r, wein);
        }
    }
    // The deletion's line waits for the change's line, and both reach the
    // log book in one write: a log book that takes neither refuses the
    // deletion, and one never holds the deletion of an invoice still there.
    Protokolliere(">> RECHNUNG GELÖSCHT << (erfasst am ", *r, false);
    const std::int16_t steigen = r->steigen;
    const std::int16_t kartons = r->kartons;
    r->steigen = Rechnung::kGeloescht;
    r->kartons = Rechnung::kGeloescht;
    try {
        UpdateCurrentRechnung();
    } catch (...) {
        if (verwaltungen_ != nullptr && verwaltungen_->logBuch != nullptr) {
            verwaltungen_->logBuch->Verwerfen();
        }
        r->steigen = steigen;
        r->kartons = kartons;
        throw;
    }
}

std::int32_t RechnungsVerwaltung::DeriveRechnung(const Rechnung& quelle) {
    std::vector<PostenVerwaltung::Posten> posten;
    if (verwaltungen_ != nullptr && verwaltungen_->postenVerwaltung != nullptr) {
        verwaltungen_->postenVerwaltung->FuerJedenPosten(
            quelle.postenKopf, quelle.id,
            [&](const PostenVerwaltung::Posten& p) { posten.push_back(p); });
    }
    const Rechnung vorlage(quelle);

    Rechnung* neu = AllocRechnung(vorlage.kunde);
    const auto jetzt = static_cast<std::time_t>(Clock::Now());
    std::tm lokal{};
    localtime_r(&jetzt, &lokal);
    char text[sizeof neu->bemerkung];
    std::snprintf(text, sizeof text, "Abgeleitet aus Rechnung Nr. %d am %d.%d.%d %d:%d:%d",
                  vorlage.nummer, lokal.tm_mday, lokal.tm_mon + 1, lokal.tm_year + 1900,
                  lokal.tm_hour, lokal.tm_min, lokal.tm_sec);
    FixedText::Set(neu->bemerkung, text);
    neu->betragEingegangen = 0.0f;
    neu->beglichen = 0;
    neu->steigen = vorlage.steigen;
    neu->kartons = vorlage.kartons;
    neu->datum = vorlage.datum;
    const std::int32_t id = neu->id;
    try {
        for (const PostenVerwaltung::Posten& p : posten) {
            SetPosten(*neu, p.weinNummer, p.preisDM, p.preisEuro, p.menge);
        }
    } catch (const MessageException&) {
        // The items written so far belong to the new invoice; store it with
        // them rather than leave them to an invoice that never reaches the
        // file (and the reservation blocking every later invoice).
        try {
            StoreRechnung();
        } catch (const MessageException&) {
        }
        throw;
    }
    StoreRechnung();
    return id;
}

void RechnungsVerwaltung::GetRechnungenVonKunde(std::int32_t kunde, GenericList<Rechnung>& liste,
                                                bool nurOffene) {
    KundenVerwaltung* kunden = verwaltungen_ != nullptr ? verwaltungen_->kundenVerwaltung : nullptr;
    const Kunde* k = kunden != nullptr ? kunden->GetKunde(kunde) : nullptr;
    if (k == nullptr) {
        return;
    }
    Rechnung puffer;
    puffer.SetVerwaltungen(verwaltungen_);
    // Each invoice links to the customer's invoice before it, which always has
    // a lower id; a link that does not, or that leaves the file, is damage and
    // ends the chain (so a loop in it cannot hang the search).
    std::int32_t vorher = gespeichert_;
    for (std::int32_t id = k->letzteRechnung; id >= 0 && id < vorher;) {
        Lies(id, puffer);
        if (!puffer.IstGeloescht() && puffer.kunde == kunde && !(nurOffene && puffer.beglichen)) {
            liste.Add(puffer);
        }
        vorher = id;
        id = puffer.vorigeRechnung;
    }
}

template <typename F>
void RechnungsVerwaltung::NachDatum(std::uint32_t erfasstVon, std::uint32_t erfasstBis,
                                    std::uint32_t datumVon, std::uint32_t datumBis, bool mitErfasst,
                                    bool mitDatum, bool nurOffene, F&& f) {
    const Customizer* einstellungen =
        verwaltungen_ != nullptr ? verwaltungen_->customizer : nullptr;
    const std::int32_t grenze =
        einstellungen != nullptr ? einstellungen->vordatierungTage : kStandardVordatierung;
    for (std::int32_t n = gespeichert_ - 1; n >= 0; --n) {
        const std::string_view satz = Satz(n);
        const std::uint32_t erfasst = Feldwert<&Rechnung::erfasstDatum>(satz);
        // Invoices are captured in id order and a dating date lies at most the
        // limit before the capture, so nothing older can be dated in range.
        if (mitDatum && static_cast<std::int32_t>(datumVon - erfasst) > grenze) {
            break;
        }
        if (Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
            continue;
        }
        if (mitErfasst && (erfasst < erfasstVon || erfasst > erfasstBis)) {
            continue;
        }
        if (mitDatum) {
            const std::uint32_t datum = Feldwert<&Rechnung::datum>(satz);
            if (datum < datumVon || datum > datumBis) {
                continue;
            }
        }
        if (nurOffene && Feldwert<&Rechnung::beglichen>(satz) != 0) {
            continue;
        }
        f(n, satz);
    }
    Nachsehen();
}

void RechnungsVerwaltung::GetRechnungenNachDatum(GenericList<Rechnung>& liste,
                                                 std::uint32_t erfasstVon, std::uint32_t erfasstBis,
                                                 std::uint32_t datumVon, std::uint32_t datumBis,
                                                 bool mitErfasst, bool mitDatum, bool nurOffene) {
    // Counting first costs a look at a few fields per record and spares the
    // growing result list copying every invoice several times.
    unsigned treffer = 0;
    NachDatum(erfasstVon, erfasstBis, datumVon, datumBis, mitErfasst, mitDatum, nurOffene,
              [&](std::int32_t, std::string_view) { ++treffer; });
    liste.Reserve(liste.Count() + treffer);
    Rechnung puffer;
    puffer.SetVerwaltungen(verwaltungen_);
    NachDatum(erfasstVon, erfasstBis, datumVon, datumBis, mitErfasst, mitDatum, nurOffene,
              [&](std::int32_t n, std::string_view) {
                  Lies(n, puffer);
                  liste.Add(puffer);
              });
}

void RechnungsVerwaltung::JedeMitDatumOderErfasstIn(
    std::uint32_t von, std::uint32_t bis, const std::function<void(const Rechnung&)>& f) const {
    Rechnung puffer;
    puffer.SetVerwaltungen(verwaltungen_);
    for (std::int32_t n = 0; n < gespeichert_; ++n) {
        const std::string_view satz = Satz(n);
        if (Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
            continue;
        }
        const std::uint32_t datum = Feldwert<&Rechnung::datum>(satz);
        const std::uint32_t erfasst = Feldwert<&Rechnung::erfasstDatum>(satz);
        if ((datum >= von && datum <= bis) || (erfasst >= von && erfasst <= bis)) {
            Lies(n, puffer);
            f(puffer);
        }
    }
    Nachsehen();
}

void RechnungsVerwaltung::GetRechnungenNachNummerOderBetrag(std::int32_t nummer, float betrag,
                                                            float toleranz,
                                                            GenericList<Rechnung>& liste) {
    const Customizer* einstellungen =
        verwaltungen_ != nullptr ? verwaltungen_->customizer : nullptr;
    const PostenVerwaltung* posten =
        verwaltungen_ != nullptr ? verwaltungen_->postenVerwaltung : nullptr;
    // In cents, as the list shows the totals: 105.00 lies within 5 of 100.
    const std::int64_t betragCent = Rechnungsbetrag::Cent(betrag);
    const std::int64_t toleranzCent = Rechnungsbetrag::Cent(toleranz);
    Rechnung puffer;
    puffer.SetVerwaltungen(verwaltungen_);
    for (std::int32_t n = gespeichert_ - 1; n >= 0; --n) {
        const std::string_view satz = Satz(n);
        if (Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
            continue;
        }
        bool treffer = false;
        if (nummer >= 0 && Feldwert<&Rechnung::nummer>(satz) == nummer) {
            treffer = true;
        } else if (betrag > 0.0f) {
            const std::int64_t summe =
                posten != nullptr
                    ? Rechnungsbetrag::Summe(*posten, Feldwert<&Rechnung::postenKopf>(satz),
                                             Feldwert<&Rechnung::id>(satz), einstellungen)
                    : 0;
            treffer = std::llabs(summe - betragCent) <= toleranzCent;
        }
        if (treffer) {
            Lies(n, puffer);
            liste.Add(puffer);
        }
    }
    Nachsehen();
}

void RechnungsVerwaltung::GetFlaschenPosten(GenericSortableList<FlaschenPosten>& liste) {
    liste.Empty();
    const Customizer* c = verwaltungen_ != nullptr ? verwaltungen_->customizer : nullptr;
    const PostenVerwaltung* posten =
        verwaltungen_ != nullptr ? verwaltungen_->postenVerwaltung : nullptr;
    if (c == nullptr || posten == nullptr) {
        return;
    }
    std::vector<FlaschenPosten> alle;
    NachDatum(static_cast<std::uint32_t>(c->filterVon1), static_cast<std::uint32_t>(c->filterBis1),
              static_cast<std::uint32_t>(c->filterVon2), static_cast<std::uint32_t>(c->filterBis2),
              c->filterMit1 != 0, c->filterMit2 != 0, false,
              [&](std::int32_t, std::string_view satz) {
                  posten->FuerJedenPosten(Feldwert<&Rechnung::postenKopf>(satz),
                                          Feldwert<&Rechnung::id>(satz),
                                          [&](const PostenVerwaltung::Posten& p) {
                                              FlaschenPosten f;
                                              f.weinNummer = p.weinNummer;
                                              f.menge = p.menge;
                                              alle.push_back(f);
                                          });
              });
    // In the order of a stable sort by wine, counted out: the items of
    // years come from a few hundred wines, so that one pass counts the items
    // per wine and a second puts each item at its place, and the list is
    // made once in its full size.
    std::unordered_map<std::int32_t, std::uint32_t> platz;
    std::vector<std::int32_t> weine;
    std::vector<std::uint32_t> welcher(alle.size());
    for (std::size_t i = 0; i < alle.size(); ++i) {
        const auto [eintrag, neu] =
            platz.try_emplace(alle[i].weinNummer, static_cast<std::uint32_t>(weine.size()));
        if (neu) {
            weine.push_back(alle[i].weinNummer);
        }
        welcher[i] = eintrag->second;
    }
    std::vector<std::size_t> anzahl(weine.size(), 0);
    for (const std::uint32_t w : welcher) {
        ++anzahl[w];
    }
    // The wines in ascending order, each starting where the one before ends.
    std::vector<std::uint32_t> reihe(weine.size());
    for (std::uint32_t w = 0; w < reihe.size(); ++w) {
        reihe[w] = w;
    }
    std::sort(reihe.begin(), reihe.end(),
              [&](std::uint32_t a, std::uint32_t b) { return weine[a] < weine[b]; });
    std::vector<std::size_t> stelle(weine.size(), 0);
    std::size_t summe = 0;
    for (const std::uint32_t w : reihe) {
        stelle[w] = summe;
        summe += anzahl[w];
    }
    std::vector<FlaschenPosten> sortiert(alle.size());
    for (std::size_t i = 0; i < alle.size(); ++i) {
        sortiert[stelle[welcher[i]]++] = alle[i];
    }
    liste.Reserve(static_cast<unsigned>(sortiert.size()));
    for (const FlaschenPosten& f : sortiert) {
        liste.Add(f);
    }
}

void RechnungsVerwaltung::Protokolliere(const char* marker, const Rechnung& r,
                                        bool abschliessen) const {
    LogBuch* logBuch = verwaltungen_ != nullptr ? verwaltungen_->logBuch : nullptr;
    if (logBuch == nullptr) {
        return;
    }
    const Zeit erfasst(r.erfasstZeit);
    std::ostream& zeile = logBuch->Stamp();
    zeile << CodePage::Utf8ToCp1252(marker) << Datum(r.erfasstDatum).Text() << ' ' << erfasst.Hour()
          << ':' << erfasst.Minute() << ':' << erfasst.Second() << ") -> " << r.id << ','
          << r.nummer << ',' << r.kunde << ',' << r.steigen << ',' << r.kartons << ",\""
          << Datum(r.datum).LongText() << "\"," << r.betragEingegangen << ','
          << static_cast<int>(r.beglichen) << ",\"" << FixedText::Get(r.bemerkung) << '"';
    if (abschliessen) {
        zeile << std::endl;
    } else {
        zeile << '\n';
    }
}
