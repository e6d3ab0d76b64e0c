#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

// A whole data set in a fresh working directory, with the clock fixed at
// 6 December 2026, 9:05:03 local time.
class RechnungsFixture : public ::testing::Test {
  protected:
    static constexpr const char* kRechnungen = "daten/rechnungen.dat";
    static constexpr const char* kPosten = "daten/rechnungsposten.dat";
    static constexpr const char* kLog = "daten/logbuch.txt";
    static constexpr const char* kStempel = "( 6.12.2026  9: 5: 3) ";

    RechnungsFixture() : dir_(true), clock_(6, 12, 2026, 9, 5, 3) { Starten(); }

    void Starten() {
        bestand_ = std::make_unique<Datenbestand>("daten");
        bestand_->KundenEinlesen();
    }
    void Neustart() {
        bestand_.reset();
        Starten();
    }

    Verwaltungen& V() { return bestand_->GetVerwaltungen(); }
    RechnungsVerwaltung& Rv() { return *V().rechnungsVerwaltung; }
    PostenVerwaltung& Pv() { return *V().postenVerwaltung; }
    WeinlistenVerwaltung& Wv() { return *V().weinlistenVerwaltung; }
    KundenVerwaltung& Kv() { return *V().kundenVerwaltung; }

    void WeinAnlegen(std::int32_t nummer, std::int32_t bestand, std::uint16_t gewicht = 1000) {
        Wv().AddWein(nummer);
        Wein* wein = Wv().GetWein(nummer);
        wein->bestand = bestand;
        wein->gewicht = gewicht;
        Wv().Store(wein);
    }
    std::int32_t Bestand(std::int32_t nummer) { return Wv().GetWein(nummer)->bestand; }

    std::int32_t KundeAnlegen(const char* nachname) {
        Kunde kunde;
        FixedText::Set(kunde.Nachname, nachname);
        Kv().AddKunde(kunde);
        return kunde.nummer;
    }

    // Reserves and stores an invoice with items {wine, quantity, DM, Euro}.
    struct Position {
        std::int32_t wein;
        std::int16_t menge;
        float dm;
        float euro;
    };
    std::int32_t RechnungSpeichern(std::int32_t kunde, const std::vector<Position>& posten = {}) {
        Rechnung* r = Rv().AllocRechnung(kunde);
        for (const Position& p : posten) {
            Rv().SetPosten(*r, p.wein, p.dm, p.euro, p.menge);
        }
        const std::int32_t id = r->id;
        Rv().StoreRechnung();
        return id;
    }

    // The live items of an invoice as its own iteration delivers them.
    std::vector<PostenVerwaltung::Posten> PostenVon(const Rechnung& r) {
        std::vector<PostenVerwaltung::Posten> alle;
        PostenVerwaltung::Posten p;
        for (std::int32_t cursor = r.FirstPosten(); r.NextPosten(p, cursor);) {
            alle.push_back(p);
        }
        return alle;
    }

    // The ids of a result list, in list order.
    static std::vector<std::int32_t> Ids(const GenericList<Rechnung>& liste) {
        std::vector<std::int32_t> ids;
        for (unsigned i = 0; i < liste.Count(); ++i) {
            ids.push_back(liste[i].id);
        }
        return ids;
    }

    static std::vector<std::string> LogZeilen() {
        std::vector<std::string> zeilen;
        const std::string text = ReadBytes(kLog);
        std::size_t start = 0;
        for (std::size_t ende; (ende = text.find("\r\n", start)) != std::string::npos;
             start = ende + 2) {
            zeilen.push_back(text.substr(start, ende - start));
        }
        return zeilen;
    }

    TempDir dir_;
    FixedClock clock_;
    std::unique_ptr<Datenbestand> bestand_;
};
