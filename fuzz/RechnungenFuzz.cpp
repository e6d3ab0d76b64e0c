// Invoices and their items together with the customers, wines and settings
// they refer to: every chain walk and search, the bottle list, the totals and
// the printed pages, and then the changes the invoice dialogs make, all on
// whatever the files hold. Reading changes no file (but for a customer's
// invoice chain head that start-up mends, and the items no invoice leads to
// that it books back); after the changes every file still loads and the
// invoice and item files keep whole records.

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzEingabe.h"
#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "KundenBild.h"
#include "documents/Flaschenliste.h"
#include "documents/PrintRechnung.h"
#include "documents/RecordingCanvas.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kKunden = "daten/kunden.dat";
constexpr const char* kWeine = "daten/weinliste.dat";
constexpr const char* kRechnungen = "daten/rechnungen.dat";
constexpr const char* kPosten = "daten/rechnungsposten.dat";
constexpr const char* kEinstellungen = "daten/preferences.dat";

// How many invoices and customers the walks look at, so that one input stays
// quick.
constexpr std::int32_t kHoechstens = 48;

// The customers of a customer file as the program reads them (a part record
// at the end completed from the one before), each as a copy holds it and
// without the head of its invoice chain: start-up may mend a head, and
// writing the customer back writes the copy.
std::string OhneKettenkoepfe(std::string_view kunden) {
    std::string bild;
    Kunde kunde;
    for (std::size_t pos = 0; pos < kunden.size(); pos += Kunde::DiskSize) {
        ByteReader reader(kunden.substr(pos, Kunde::DiskSize));
        reader >> kunde;
        Kunde kopie(kunde);
        kopie.letzteRechnung = 0;
        bild += KundenBild::Normal(kopie);
    }
    return bild;
}

struct Parameter {
    std::int32_t nummer;
    float betrag;
    float toleranz;
    std::uint32_t erfasstVon;
    std::uint32_t erfasstBis;
    std::uint32_t datumVon;
    std::uint32_t datumBis;
    bool mitErfasst;
    bool mitDatum;
    bool nurOffene;
    bool aendern;
    std::int32_t auswahl;
};

Parameter Lies(std::string_view teil) {
    Parameter p{};
    p.nummer = FuzzEingabe::Int32(teil, 0);
    p.betrag = std::bit_cast<float>(FuzzEingabe::Int32(teil, 4));
    p.toleranz = std::bit_cast<float>(FuzzEingabe::Int32(teil, 8));
    p.erfasstVon = static_cast<std::uint32_t>(FuzzEingabe::Int32(teil, 12));
    p.erfasstBis = static_cast<std::uint32_t>(FuzzEingabe::Int32(teil, 16));
    p.datumVon = static_cast<std::uint32_t>(FuzzEingabe::Int32(teil, 20));
    p.datumBis = static_cast<std::uint32_t>(FuzzEingabe::Int32(teil, 24));
    const std::uint8_t schalter = FuzzEingabe::UInt8(teil, 28);
    p.mitErfasst = (schalter & 1) != 0;
    p.mitDatum = (schalter & 2) != 0;
    p.nurOffene = (schalter & 4) != 0;
    p.aendern = (schalter & 8) != 0;
    p.auswahl = FuzzEingabe::UInt8(teil, 29);
    return p;
}

void Seiten(Verwaltungen& v, const Rechnung& r) {
    const Kunde* kunde = v.kundenVerwaltung->GetKunde(r.kunde);
    for (std::int32_t art = 0; art < 3; ++art) {
        PrintRechnung druck(art, art == 1, &v, kunde, &r);
        FUZZ_PRUEFE(druck.Seiten() >= 1);
        for (int seite = 1; seite <= druck.Seiten() && seite <= 2; ++seite) {
            RecordingCanvas canvas;
            druck.Layout(canvas, seite, 0, 0, 4800, 6800);
        }
        RecordingCanvas letzte;
        druck.Layout(letzte, druck.Seiten(), 0, 0, 4800, 6800);
        (void)druck.JobTitel();
    }
}

void Lesen(Datenbestand& bestand, const Parameter& p) {
    Verwaltungen& v = bestand.GetVerwaltungen();
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    KundenVerwaltung& kv = *v.kundenVerwaltung;

    for (unsigned i = 0; i < kv.Count() && i < static_cast<unsigned>(kHoechstens); ++i) {
        const std::int32_t kunde = kv[i].nummer;
        for (bool nurOffene : {false, true}) {
            GenericList<Rechnung> liste;
            rv.GetRechnungenVonKunde(kunde, liste, nurOffene);
            FUZZ_PRUEFE(static_cast<std::int32_t>(liste.Count()) <= rv.Gespeichert());
            for (unsigned j = 0; j < liste.Count(); ++j) {
                FUZZ_PRUEFE(liste[j].kunde == kunde && !liste[j].IstGeloescht());
                FUZZ_PRUEFE(!nurOffene || liste[j].beglichen == 0);
            }
        }
    }

    GenericList<Rechnung> nachDatum;
    rv.GetRechnungenNachDatum(nachDatum, p.erfasstVon, p.erfasstBis, p.datumVon, p.datumBis,
                              p.mitErfasst, p.mitDatum, p.nurOffene);
    for (unsigned j = 0; j < nachDatum.Count(); ++j) {
        const Rechnung& r = nachDatum[j];
        FUZZ_PRUEFE(!r.IstGeloescht());
        FUZZ_PRUEFE(!p.mitErfasst ||
                    (r.erfasstDatum >= p.erfasstVon && r.erfasstDatum <= p.erfasstBis));
        FUZZ_PRUEFE(!p.mitDatum || (r.datum >= p.datumVon && r.datum <= p.datumBis));
        FUZZ_PRUEFE(!p.nurOffene || r.beglichen == 0);
    }

    GenericList<Rechnung> gefunden;
    rv.GetRechnungenNachNummerOderBetrag(p.nummer, p.betrag, p.toleranz, gefunden);
    rv.GetRechnungenNachNummerOderBetrag(-1, 0.0f, 0.0f, gefunden);

    Flaschenliste::Eintraege flaschen;
    rv.GetFlaschenPosten(flaschen);
    for (unsigned j = 1; j < flaschen.Count(); ++j) {
        FUZZ_PRUEFE(flaschen[j - 1].weinNummer <= flaschen[j].weinNummer);
    }
    FUZZ_PRUEFE(Flaschenliste::Write(rv, *v.customizer, "flaschen.txt", Flaschenliste::kText));
    FUZZ_PRUEFE(Flaschenliste::Write(rv, *v.customizer, "flaschen.xls", Flaschenliste::kTabelle));

    for (std::int32_t n = 0; n < rv.Gespeichert() && n < kHoechstens; ++n) {
        const Rechnung* gelesen = rv.GetRechnung(n);
        if (gelesen == nullptr) {
            continue;
        }
        FUZZ_PRUEFE(gelesen->id == n);
        Rechnung r(*gelesen);
        (void)r.GetSumme(true);
        (void)r.GetSumme(false);
        (void)r.GetGewicht();
        const std::int32_t anzahl = r.GetAnzahlPosten();
        std::int32_t gezaehlt = 0;
        PostenVerwaltung::Posten posten;
        for (std::int32_t cursor = r.FirstPosten(); r.NextPosten(posten, cursor);) {
            FUZZ_PRUEFE(posten.rechnung == r.id);
            FUZZ_PRUEFE(r.FindPosten(posten.weinNummer) != nullptr);
            ++gezaehlt;
        }
        FUZZ_PRUEFE(gezaehlt == anzahl);
        GenericList<Rechnung> nachNummer;
        rv.GetRechnungenNachNummerOderBetrag(r.nummer, 0.0f, 0.0f, nachNummer);
        if (!r.IstGeloescht() && r.nummer >= 0) {
            FUZZ_PRUEFE(nachNummer.Count() >= 1);
        }
        if (n == p.auswahl % rv.Gespeichert() || n + 1 == rv.Gespeichert()) {
            Seiten(v, r);
        }
    }
}

// The changes of the invoice editor and the invoice list. Damaged files may
// make them refuse with a message, never more.
void Aendern(Datenbestand& bestand, const Parameter& p) {
    Verwaltungen& v = bestand.GetVerwaltungen();
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    KundenVerwaltung& kv = *v.kundenVerwaltung;
    WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    const std::int32_t wein = wv.Count() > 0 ? wv[0].nummer : 1;
    const std::int32_t andererWein = wein == 1 ? 2 : 1;

    if (rv.Gespeichert() > 0) {
        const std::int32_t id = p.auswahl % rv.Gespeichert();
        try {
            if (Rechnung* r = rv.GetRechnung(id)) {
                Rechnung kopie(*r);
                rv.SetPosten(kopie, wein, 1.0f, 0.5f, 3);
                rv.SetPosten(kopie, wein, 1.0f, 0.5f, 0);
                kopie.beglichen = 1;
                rv.UpdateRechnung(kopie);
                rv.DeriveRechnung(kopie);
            }
        } catch (const MessageException&) {
        }
        try {
            rv.DeleteRechnung(id, (p.auswahl & 1) != 0);
        } catch (const MessageException&) {
        }
    }
    try {
        Rechnung* neu = rv.AllocRechnung(kv.Count() > 0 ? kv[0].nummer : 1);
        rv.SetPosten(*neu, wein, 2.0f, 1.0f, 6);
        rv.SetPosten(*neu, andererWein, 2.0f, 1.0f, 0);
        rv.StoreRechnung();
    } catch (const MessageException&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const FuzzEingabe eingabe(data, size, 6);
    const Parameter p = Lies(eingabe.Teil(0));
    const char* dateien[] = {kKunden, kWeine, kRechnungen, kPosten, kEinstellungen};
    for (std::size_t i = 0; i < 5; ++i) {
        FuzzVerzeichnis::Schreiben(dateien[i], eingabe.Teil(i + 1));
    }

    std::int32_t gespeichert = 0;
    {
        Datenbestand bestand("daten");
        bestand.KundenEinlesen();
        // Items no invoice leads to are booked back at the start: their
        // records are overwritten in place, their wines' stock changes.
        bool zurueckgebucht = false;
        for (const std::string& meldung : bestand.Startmeldungen()) {
            zurueckgebucht = zurueckgebucht || meldung.find(
                                                   "zur\xFC"
                                                   "ckgebucht") != std::string::npos;
        }
        Lesen(bestand, p);
        FUZZ_PRUEFE(OhneKettenkoepfe(FuzzVerzeichnis::Lesen(kKunden)) ==
                    OhneKettenkoepfe(eingabe.Teil(1)));
        for (std::size_t i = 1; i < 4; ++i) {
            const std::string jetzt = FuzzVerzeichnis::Lesen(dateien[i]);
            if (zurueckgebucht && i == 3) {
                FUZZ_PRUEFE(jetzt.size() == eingabe.Teil(i + 1).size());
            } else if (!zurueckgebucht || i != 1) {
                FUZZ_PRUEFE(jetzt == eingabe.Teil(i + 1));
            }
        }
        if (p.aendern) {
            Aendern(bestand, p);
            Lesen(bestand, p);
        }
        gespeichert = bestand.GetVerwaltungen().rechnungsVerwaltung->Gespeichert();
    }
    const std::string rechnungen = FuzzVerzeichnis::Lesen(kRechnungen);
    FUZZ_PRUEFE(rechnungen.size() / Rechnung::DiskSize == static_cast<std::size_t>(gespeichert));
    if (eingabe.Teil(3).size() % Rechnung::DiskSize == 0) {
        FUZZ_PRUEFE(rechnungen.size() % Rechnung::DiskSize == 0);
    }
    if (eingabe.Teil(4).size() % PostenVerwaltung::Posten::DiskSize == 0) {
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kPosten).size() % PostenVerwaltung::Posten::DiskSize ==
                    0);
    }
    Datenbestand wieder("daten");
    wieder.KundenEinlesen();
    FUZZ_PRUEFE(wieder.GetVerwaltungen().rechnungsVerwaltung->Gespeichert() == gespeichert);
    return 0;
}
