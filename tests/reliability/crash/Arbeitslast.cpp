#include "Arbeitslast.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"

namespace {

const char* const kOrte[] = {"Alzey", "Mainz", "Worms", "Bingen", "Nierstein"};

std::string S(std::int64_t wert) {
    return std::to_string(wert);
}

[[noreturn]] void Abbruch(const std::string& text) {
    std::fprintf(stderr, "crash test workload: %s\n", text.c_str());
    std::exit(4);
}

}  // namespace

const char* const Arbeitslast::kArten[] = {"KundeNeu",          "KundeAendern",
                                           "KundeLoeschen",     "WeinNeu",
                                           "WeinAendern",       "WeinVerbergen",
                                           "PreisSetzen",       "RechnungNeu",
                                           "RechnungEinPosten", "PostenSetzen",
                                           "RechnungAendern",   "RechnungLoeschen",
                                           "RechnungAbleiten",  "GruppeNeu",
                                           "PreislisteNeu",     "MerkzettelNeu",
                                           "MahnstufeSetzen",   "EinstellungenSpeichern",
                                           "Neustart",          nullptr};

Arbeitslast::Arbeitslast(std::uint32_t seed, Journal& journal) : zufall_(seed), journal_(journal) {}

Arbeitslast::~Arbeitslast() = default;

void Arbeitslast::Starten() {
    bestand_ = std::make_unique<Datenbestand>("daten");
    bestand_->KundenEinlesen();
    bestand_->MerkzettelOeffnen();
}

std::int32_t Arbeitslast::Zufall(std::int32_t von, std::int32_t bis) {
    return std::uniform_int_distribution<std::int32_t>(von, bis)(zufall_);
}

int Arbeitslast::LogZeilen() const {
    if (!FileExists("daten/logbuch.txt")) {
        return 0;
    }
    const std::string log = ReadBytes("daten/logbuch.txt");
    int zeilen = 0;
    for (std::size_t pos = log.find("\r\n"); pos != std::string::npos;
         pos = log.find("\r\n", pos + 2)) {
        ++zeilen;
    }
    return zeilen;
}

void Arbeitslast::Melden(const Vorhaben& vorhaben) {
    journal_.Anhaengen("B " + vorhaben.Text());
}

void Arbeitslast::Fertig() {
    journal_.Anhaengen("E " + S(LogZeilen()));
}

void Arbeitslast::Schritt() {
    // Plenty of customers and wines first, then mostly invoices.
    Verwaltungen& v = B().GetVerwaltungen();
    const unsigned kunden = v.kundenVerwaltung->Count();
    const unsigned weine = v.weinlistenVerwaltung->Count();
    if (kunden < 4) {
        Ausfuehren("KundeNeu");
        return;
    }
    if (weine < 4) {
        Ausfuehren("WeinNeu");
        return;
    }
    if (v.preisVerwaltung->count == 0) {
        Ausfuehren("PreislisteNeu");
        return;
    }
    static const std::vector<std::pair<const char*, int>> gewichte = {
        {"KundeNeu", 8},         {"KundeAendern", 6},    {"KundeLoeschen", 3},
        {"WeinNeu", 3},          {"WeinAendern", 3},     {"WeinVerbergen", 2},
        {"PreisSetzen", 5},      {"RechnungNeu", 12},    {"RechnungEinPosten", 4},
        {"PostenSetzen", 12},    {"RechnungAendern", 6}, {"RechnungLoeschen", 5},
        {"RechnungAbleiten", 5}, {"GruppeNeu", 2},       {"PreislisteNeu", 1},
        {"MerkzettelNeu", 2},    {"MahnstufeSetzen", 3}, {"EinstellungenSpeichern", 2},
        {"Neustart", 1}};
    int summe = 0;
    for (const auto& [art, gewicht] : gewichte) {
        summe += gewicht;
    }
    for (int versuch = 0; versuch < 10; ++versuch) {
        int wahl = Zufall(0, summe - 1);
        for (const auto& [art, gewicht] : gewichte) {
            if (wahl < gewicht) {
                if (Ausfuehren(art)) {
                    return;
                }
                break;
            }
            wahl -= gewicht;
        }
    }
}

bool Arbeitslast::Ausfuehren(const std::string& art) {
    if (art == "KundeNeu")
        return KundeNeu();
    if (art == "KundeAendern")
        return KundeAendern();
    if (art == "KundeLoeschen")
        return KundeLoeschen();
    if (art == "WeinNeu")
        return WeinNeu();
    if (art == "WeinAendern")
        return WeinAendern();
    if (art == "WeinVerbergen")
        return WeinVerbergen();
    if (art == "PreisSetzen")
        return PreisSetzen();
    if (art == "RechnungNeu")
        return RechnungNeu(Zufall(1, 4));
    if (art == "RechnungEinPosten")
        return RechnungNeu(1);
    if (art == "PostenSetzen")
        return PostenSetzen();
    if (art == "RechnungAendern")
        return RechnungAendern();
    if (art == "RechnungLoeschen")
        return RechnungLoeschen();
    if (art == "RechnungAbleiten")
        return RechnungAbleiten();
    if (art == "GruppeNeu")
        return GruppeNeu();
    if (art == "PreislisteNeu")
        return PreislisteNeu();
    if (art == "MerkzettelNeu")
        return MerkzettelNeu();
    if (art == "MahnstufeSetzen")
        return MahnstufeSetzen();
    if (art == "EinstellungenSpeichern")
        return EinstellungenSpeichern();
    if (art == "Neustart")
        return Neustart();
    Abbruch("unknown operation " + art);
}

bool Arbeitslast::KundeNeu() {
    KundenVerwaltung& kv = *B().GetVerwaltungen().kundenVerwaltung;
    const auto nummer = static_cast<std::int32_t>(KundenVerwaltung::maxNummer + 1);
    const std::string name = "N" + S(nummer);
    const std::string ort = kOrte[Zufall(0, 4)];
    Melden(Vorhaben("KundeNeu", {S(nummer), name, ort}));
    Kunde k;
    FixedText::Set(k.Nachname, name);
    FixedText::Set(k.Ort, ort);
    k.PLZ = 55000 + nummer % 1000;
    k.preisliste = 0;
    kv.AddKunde(k);
    if (k.nummer != nummer) {
        Abbruch("customer got number " + S(k.nummer) + " instead of " + S(nummer));
    }
    Fertig();
    return true;
}

bool Arbeitslast::KundeAendern() {
    KundenVerwaltung& kv = *B().GetVerwaltungen().kundenVerwaltung;
    if (kv.Count() == 0) {
        return false;
    }
    Kunde k = kv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(kv.Count()) - 1))];
    const std::string ort = std::string(kOrte[Zufall(0, 4)]) + S(Zufall(0, 99));
    Melden(Vorhaben("KundeAendern", {S(k.nummer), ort}));
    FixedText::Set(k.Ort, ort);
    kv.UpdateKunde(k);
    Fertig();
    return true;
}

bool Arbeitslast::KundeLoeschen() {
    KundenVerwaltung& kv = *B().GetVerwaltungen().kundenVerwaltung;
    if (kv.Count() < 3) {
        return false;
    }
    // Never the highest number: the next start would give it again, and
    // the invoices of the one deleted would then seem to be the new one's.
    std::int32_t hoechste = 0;
    for (unsigned i = 0; i < kv.Count(); ++i) {
        hoechste = std::max(hoechste, kv[i].nummer);
    }
    const std::int32_t nummer =
        kv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(kv.Count()) - 1))].nummer;
    if (nummer == hoechste) {
        return false;
    }
    Melden(Vorhaben("KundeLoeschen", {S(nummer)}));
    kv.DeleteKunde(nummer);
    Fertig();
    return true;
}

bool Arbeitslast::WeinNeu() {
    WeinlistenVerwaltung& wv = *B().GetVerwaltungen().weinlistenVerwaltung;
    std::int32_t nummer = Zufall(1, 400);
    if (wv.GetWein(nummer) != nullptr) {
        return false;
    }
    const std::string name = "W" + S(nummer);
    const std::int32_t bestand = Zufall(100, 5000);
    Melden(Vorhaben("WeinNeu", {S(nummer), name, S(bestand)}));
    wv.AddWein(nummer);
    Wein neu = *wv.GetWein(nummer);
    FixedText::Set(neu.name, name);
    FixedText::Set(neu.fuellmenge, "0,75 l");
    neu.gewicht = static_cast<std::uint16_t>(Zufall(900, 1600));
    neu.bestand = bestand;
    *wv.GetWein(nummer) = neu;
    wv.Sort();
    Fertig();
    return true;
}

bool Arbeitslast::WeinAendern() {
    WeinlistenVerwaltung& wv = *B().GetVerwaltungen().weinlistenVerwaltung;
    if (wv.Count() == 0) {
        return false;
    }
    Wein kopie = wv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(wv.Count()) - 1))];
    const std::string name = "W" + S(kopie.nummer) + "v" + S(Zufall(0, 999));
    Melden(Vorhaben("WeinAendern", {S(kopie.nummer), name}));
    FixedText::Set(kopie.name, name);
    *wv.GetWein(kopie.nummer) = kopie;
    wv.Sort();
    Fertig();
    return true;
}

bool Arbeitslast::WeinVerbergen() {
    WeinlistenVerwaltung& wv = *B().GetVerwaltungen().weinlistenVerwaltung;
    if (wv.Count() == 0) {
        return false;
    }
    Wein* w = &wv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(wv.Count()) - 1))];
    if (w->verborgen != 0) {
        return false;
    }
    Melden(Vorhaben("WeinVerbergen", {S(w->nummer)}));
    w->verborgen = 1;
    wv.Store(w);
    Fertig();
    return true;
}

bool Arbeitslast::PreisSetzen() {
    Verwaltungen& v = B().GetVerwaltungen();
    PreisVerwaltung& pv = *v.preisVerwaltung;
    WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    if (pv.count == 0 || wv.Count() == 0) {
        return false;
    }
    const std::int32_t liste = Zufall(0, pv.count - 1);
    const std::int32_t wein =
        wv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(wv.Count()) - 1))].nummer;
    const std::int32_t cent = Zufall(1, 4000);
    Melden(Vorhaben("PreisSetzen", {S(liste), S(wein), S(cent)}));
    pv.SetPreisliste(liste);
    if (pv.GetPreis(wein) == nullptr) {
        pv.AddPreis(Preis(wein, 0.0f, 0.0f));
    }
    Preis* p = pv.GetPreis(wein);
    p->preisDM = static_cast<float>(cent) / 100.0f;
    p->preisEuro = static_cast<float>(cent) / 200.0f;
    pv.FlushPreisliste();
    Fertig();
    return true;
}

// A new invoice as the invoice editor writes it: reserved, its items stored
// one by one (each taking its bottles out of stock), then the invoice.
bool Arbeitslast::RechnungNeu(int anzahl) {
    Verwaltungen& v = B().GetVerwaltungen();
    KundenVerwaltung& kv = *v.kundenVerwaltung;
    WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    if (kv.Count() == 0 || wv.Count() == 0) {
        return false;
    }
    const std::int32_t kunde =
        kv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(kv.Count()) - 1))].nummer;
    std::vector<std::pair<std::int32_t, std::int16_t>> posten;
    for (int i = 0; i < anzahl; ++i) {
        const std::int32_t wein =
            wv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(wv.Count()) - 1))].nummer;
        bool doppelt = false;
        for (const auto& [w, m] : posten) {
            doppelt = doppelt || w == wein;
        }
        if (!doppelt) {
            posten.emplace_back(wein, static_cast<std::int16_t>(Zufall(1, 24)));
        }
    }
    const std::int32_t id = rv.Anzahl();
    std::vector<std::string> argumente = {S(id), S(v.postenVerwaltung->Anzahl()), S(kunde)};
    for (const auto& [wein, menge] : posten) {
        argumente.push_back(S(wein));
        argumente.push_back(S(menge));
    }
    Melden(Vorhaben(anzahl == 1 ? "RechnungEinPosten" : "RechnungNeu", argumente));
    Rechnung* r = rv.AllocRechnung(kunde);
    if (r->id != id) {
        Abbruch("invoice got id " + S(r->id) + " instead of " + S(id));
    }
    for (const auto& [wein, menge] : posten) {
        rv.SetPosten(*r, wein, 9.5f, 4.75f, menge);
    }
    r->kartons = 1;
    r->steigen = static_cast<std::int16_t>(Zufall(0, 3));
    r->datum = r->erfasstDatum;
    rv.StoreRechnung();
    Fertig();
    return true;
}

std::int32_t Arbeitslast::OffeneRechnung() {
    RechnungsVerwaltung& rv = *B().GetVerwaltungen().rechnungsVerwaltung;
    if (rv.Gespeichert() == 0) {
        return -1;
    }
    // Mostly recent invoices, as in daily work.
    const std::int32_t von = std::max(0, rv.Gespeichert() - 40);
    const std::int32_t id = Zufall(von, rv.Gespeichert() - 1);
    const Rechnung* r = rv.GetRechnung(id);
    return r != nullptr && !r->IstGeloescht() ? id : -1;
}

bool Arbeitslast::PostenSetzen() {
    Verwaltungen& v = B().GetVerwaltungen();
    WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    const std::int32_t id = OffeneRechnung();
    if (id < 0 || wv.Count() == 0) {
        return false;
    }
    Rechnung kopie(*v.rechnungsVerwaltung->GetRechnung(id));
    std::int32_t wein;
    std::int16_t menge;
    PostenVerwaltung::Posten p;
    std::int32_t cursor = kopie.FirstPosten();
    if (Zufall(0, 2) > 0 && kopie.NextPosten(p, cursor)) {
        wein = p.weinNummer;
        menge = static_cast<std::int16_t>(Zufall(0, 3) == 0 ? 0 : Zufall(1, 30));
    } else {
        wein =
            wv[static_cast<unsigned>(Zufall(0, static_cast<std::int32_t>(wv.Count()) - 1))].nummer;
        menge = static_cast<std::int16_t>(Zufall(1, 12));
    }
    if (menge == 0 && kopie.FindPosten(wein) == nullptr) {
        return false;
    }
    Melden(Vorhaben("PostenSetzen", {S(id), S(v.postenVerwaltung->Anzahl()), S(wein), S(menge)}));
    v.rechnungsVerwaltung->SetPosten(kopie, wein, 9.5f, 4.75f, menge);
    Fertig();
    return true;
}

bool Arbeitslast::RechnungAendern() {
    RechnungsVerwaltung& rv = *B().GetVerwaltungen().rechnungsVerwaltung;
    const std::int32_t id = OffeneRechnung();
    if (id < 0) {
        return false;
    }
    Rechnung kopie(*rv.GetRechnung(id));
    const int beglichen = kopie.beglichen == 0 ? 1 : 0;
    const std::int32_t cent = Zufall(0, 50000);
    Melden(Vorhaben("RechnungAendern", {S(id), S(beglichen), S(cent)}));
    kopie.beglichen = static_cast<std::uint8_t>(beglichen);
    kopie.betragEingegangen = static_cast<float>(cent) / 100.0f;
    rv.UpdateRechnung(kopie);
    Fertig();
    return true;
}

bool Arbeitslast::RechnungLoeschen() {
    RechnungsVerwaltung& rv = *B().GetVerwaltungen().rechnungsVerwaltung;
    const std::int32_t id = OffeneRechnung();
    if (id < 0) {
        return false;
    }
    const int korrigieren = Zufall(0, 1);
    Melden(Vorhaben("RechnungLoeschen", {S(id), S(korrigieren)}));
    rv.DeleteRechnung(id, korrigieren != 0);
    Fertig();
    return true;
}

bool Arbeitslast::RechnungAbleiten() {
    Verwaltungen& v = B().GetVerwaltungen();
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    const std::int32_t id = OffeneRechnung();
    if (id < 0) {
        return false;
    }
    const Rechnung quelle(*rv.GetRechnung(id));
    const std::int32_t neu = rv.Anzahl();
    Melden(Vorhaben("RechnungAbleiten", {S(id), S(neu), S(v.postenVerwaltung->Anzahl())}));
    if (rv.DeriveRechnung(quelle) != neu) {
        Abbruch("derived invoice got another id than " + S(neu));
    }
    Fertig();
    return true;
}

bool Arbeitslast::GruppeNeu() {
    GeoGruppe& gruppen = *B().GetVerwaltungen().geoGruppe;
    const std::int32_t n = static_cast<std::int32_t>(gruppen.Count());
    const std::string name = "G" + S(n);
    Melden(Vorhaben("GruppeNeu", {S(n), name}));
    gruppen.AddGeoGruppe(name);
    Fertig();
    return true;
}

bool Arbeitslast::PreislisteNeu() {
    PreisVerwaltung& pv = *B().GetVerwaltungen().preisVerwaltung;
    if (pv.count >= PreisVerwaltung::kMaxPreislisten) {
        return false;
    }
    const std::string name = "L" + S(pv.count);
    Melden(Vorhaben("PreislisteNeu", {S(pv.count), name}));
    pv.AddPreisliste(name);
    Fertig();
    return true;
}

bool Arbeitslast::MerkzettelNeu() {
    MerkzettelVerwaltung& mv = *B().GetMerkzettelVerwaltung();
    const std::string text = "Notiz" + S(mv.Count());
    Melden(Vorhaben("MerkzettelNeu", {S(mv.Count()), text}));
    MerkzettelVerwaltung::MerkzettelIntern& notiz = mv.NewNote();
    FixedText::Set(notiz.text, text);
    mv.Store(&notiz);
    Fertig();
    return true;
}

bool Arbeitslast::MahnstufeSetzen() {
    RechnungsVerwaltung& rv = *B().GetVerwaltungen().rechnungsVerwaltung;
    if (rv.Gespeichert() == 0) {
        return false;
    }
    const std::int32_t id = Zufall(0, rv.Gespeichert() - 1);
    const Rechnung* r = rv.GetRechnung(id);
    if (r == nullptr) {
        return false;
    }
    MahnungsVerwaltung& mahnungen = B().GetMahnungen();
    // Up to the highest level, then set back.
    const std::int32_t alt = mahnungen.Stufe(id);
    const std::int32_t neu = alt < MahnungsVerwaltung::kHoechsteStufe ? alt + 1 : 0;
    Melden(Vorhaben("MahnstufeSetzen", {S(id), S(neu)}));
    mahnungen.Vermerken(id, r->nummer, neu, neu == 0 ? Datum() : Datum(6, 12, 2026),
                        B().GetVerwaltungen().logBuch);
    Fertig();
    return true;
}

bool Arbeitslast::EinstellungenSpeichern() {
    Customizer& c = *B().GetVerwaltungen().customizer;
    const std::int32_t tage = Zufall(0, 1000);
    Melden(Vorhaben("EinstellungenSpeichern", {S(tage)}));
    c.vordatierungTage = tage;
    (void)c.Store();
    Fertig();
    return true;
}

bool Arbeitslast::Neustart() {
    Melden(Vorhaben("Neustart", {}));
    bestand_.reset();
    Starten();
    Fertig();
    return true;
}
