#include "Datengenerator.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Clock.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"

namespace {

// 31 December 2026, 12:00 UTC.
constexpr std::int64_t kJetzt = 1798718400;
constexpr int kJahre = 20;

struct Preise {
    float dm;
    float euro;
};

class Zufall {
  public:
    explicit Zufall(std::uint32_t seed) : engine_(seed) {}
    // 0 .. n-1. The engine's output is fixed by the standard; the
    // distributions are not, so they are not used.
    int Bis(int n) { return static_cast<int>(engine_() % static_cast<std::uint32_t>(n)); }

  private:
    std::mt19937 engine_;
};

std::string Text(const char* format, int wert) {
    char puffer[64];
    std::snprintf(puffer, sizeof puffer, format, wert);
    return puffer;
}

}  // namespace

void ErzeugeDatenbestand(const std::string& verzeichnis, std::uint32_t seed, const Umfang& umfang) {
    Clock::Fix(kJetzt);
    Zufall zufall(seed);
    {
        Datenbestand bestand(verzeichnis);
        Verwaltungen& v = bestand.GetVerwaltungen();
        KundenVerwaltung& kunden = bestand.KundenEinlesen();

        for (int w = 1; w <= umfang.weine; ++w) {
            v.weinlistenVerwaltung->AddWein(w);
            Wein* wein = v.weinlistenVerwaltung->GetWein(w);
            FixedText::Set(wein->name, Text("Riesling Nr. %d", w));
            FixedText::Set(wein->bezeichnung, Text("Qualit\xE4tswein, Lage %d", zufall.Bis(40)));
            FixedText::Set(wein->fuellmenge, "0,75 l");
            wein->gewicht = static_cast<std::uint16_t>(1200 + zufall.Bis(400));
            wein->bestand = 1000000;
            v.weinlistenVerwaltung->Store(wein);
        }

        std::vector<std::vector<Preise>> preise(static_cast<std::size_t>(umfang.preislisten));
        for (int p = 0; p < umfang.preislisten; ++p) {
            v.preisVerwaltung->AddPreisliste(Text("Preisliste %d", p));
            v.preisVerwaltung->SetPreisliste(p);
            for (int w = 1; w <= umfang.weine; ++w) {
                const Preise preis{static_cast<float>(400 + zufall.Bis(2000)) / 100.0f,
                                   static_cast<float>(200 + zufall.Bis(1000)) / 100.0f};
                preise[static_cast<std::size_t>(p)].push_back(preis);
                v.preisVerwaltung->AddPreis(Preis(w, preis.dm, preis.euro));
            }
        }

        std::vector<std::int32_t> nummern;
        for (int k = 0; k < umfang.kunden; ++k) {
            Kunde kunde;
            FixedText::Set(kunde.Anrede, zufall.Bis(2) == 0 ? "Herrn" : "Frau");
            FixedText::Set(kunde.Vorname, Text("Vorname%d", zufall.Bis(300)));
            FixedText::Set(kunde.Nachname, Text("Nachname%d", k));
            FixedText::Set(kunde.Strasse, Text("Weinbergstra\xDF"
                                               "e %d",
                                               1 + zufall.Bis(120)));
            kunde.PLZ = 55000 + zufall.Bis(1000);
            FixedText::Set(kunde.Ort, Text("Ort%d", zufall.Bis(200)));
            kunde.preisliste = static_cast<std::int16_t>(zufall.Bis(umfang.preislisten));
            kunden.AddKunde(kunde);
            nummern.push_back(kunde.nummer);
        }

        const std::uint32_t erster = Datum(1, 1, 2027 - kJahre).Julian();
        const std::uint32_t tage = Datum(31, 12, 2026).Julian() - erster;
        const int mittel = std::max(1, umfang.posten / std::max(1, umfang.rechnungen));
        int uebrig = umfang.posten;
        int vorher = mittel;
        std::vector<bool> belegt(static_cast<std::size_t>(umfang.weine) + 1);
        for (int i = 0; i < umfang.rechnungen; ++i) {
            // Pairs of invoices hold twice the mean, so the total comes out
            // exactly.
            int anzahl = umfang.rechnungen - i == 1 ? uebrig
                         : i % 2 == 0               ? 1 + zufall.Bis(2 * mittel - 1)
                                                    : 2 * mittel - vorher;
            anzahl = std::clamp(anzahl, 0, std::min(uebrig, umfang.weine));
            vorher = anzahl;
            uebrig -= anzahl;

            const std::int32_t kunde = nummern[static_cast<std::size_t>(zufall.Bis(umfang.kunden))];
            const auto liste = static_cast<std::size_t>(kunden.GetKunde(kunde)->preisliste);
            Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(kunde);
            r->erfasstDatum = erster + static_cast<std::uint32_t>(static_cast<std::int64_t>(i) *
                                                                  tage / umfang.rechnungen);
            r->datum = r->erfasstDatum - static_cast<std::uint32_t>(zufall.Bis(8));
            r->steigen = static_cast<std::int16_t>(zufall.Bis(3));
            r->kartons = static_cast<std::int16_t>(zufall.Bis(5));
            FixedText::Set(r->bemerkung,
                           "Ich sandte Ihnen zu umseitigen Bedingungen auf Ihre "
                           "Rechnung und Gefahr durch:");
            std::fill(belegt.begin(), belegt.end(), false);
            for (int j = 0; j < anzahl; ++j) {
                int wein = 1 + zufall.Bis(umfang.weine);
                while (belegt[static_cast<std::size_t>(wein)]) {
                    wein = wein % umfang.weine + 1;
                }
                belegt[static_cast<std::size_t>(wein)] = true;
                const Preise& preis = preise[liste][static_cast<std::size_t>(wein - 1)];
                r->SetPosten(wein, preis.dm, preis.euro,
                             static_cast<std::int16_t>(1 + zufall.Bis(24)));
            }
            if (zufall.Bis(5) != 0) {
                r->beglichen = 1;
                r->betragEingegangen = r->GetSumme(true);
            }
            const std::int32_t id = r->id;
            v.rechnungsVerwaltung->StoreRechnung();
            if (zufall.Bis(200) == 0) {
                v.rechnungsVerwaltung->DeleteRechnung(id, zufall.Bis(2) == 0);
            }
        }
    }
    Clock::Fix(std::nullopt);
}
