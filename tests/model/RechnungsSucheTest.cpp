#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "RechnungsFixture.h"
#include "storage/Datum.h"

namespace {

using IdListe = std::vector<std::int32_t>;

class RechnungsSucheTest : public RechnungsFixture {
  protected:
    // Stores an invoice with the given capture and dating dates.
    std::int32_t Datiert(std::int32_t kunde, Datum erfasst, Datum datiert,
                         const std::vector<Position>& posten = {}) {
        Rechnung* r = Rv().AllocRechnung(kunde);
        r->erfasstDatum = erfasst.Julian();
        r->datum = datiert.Julian();
        for (const Position& p : posten) {
            Rv().SetPosten(*r, p.wein, p.dm, p.euro, p.menge);
        }
        const std::int32_t id = r->id;
        Rv().StoreRechnung();
        return id;
    }

    template <typename F>
    void Aendern(std::int32_t id, F&& f) {
        Rechnung* r = Rv().GetRechnung(id);
        ASSERT_NE(r, nullptr);
        f(*r);
        Rv().UpdateCurrentRechnung();
    }

    IdListe NachDatum(Datum erfasstVon, Datum erfasstBis, Datum von, Datum bis, bool mitErfasst,
                      bool mitDatum, bool nurOffene) {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenNachDatum(liste, erfasstVon.Julian(), erfasstBis.Julian(), von.Julian(),
                                    bis.Julian(), mitErfasst, mitDatum, nurOffene);
        return Ids(liste);
    }

    IdListe VonKunde(std::int32_t kunde, bool nurOffene) {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenVonKunde(kunde, liste, nurOffene);
        return Ids(liste);
    }

    IdListe NachNummerOderBetrag(std::int32_t nummer, float betrag, float toleranz) {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenNachNummerOderBetrag(nummer, betrag, toleranz, liste);
        return Ids(liste);
    }
};

TEST_F(RechnungsSucheTest, ByCustomerNewestFirstWithoutDeletedOrOthers) {
    WeinAnlegen(1, 100);
    const std::int32_t huber = KundeAnlegen("Huber");
    const std::int32_t maier = KundeAnlegen("Maier");
    RechnungSpeichern(huber, {{1, 2, 3.0f, 1.5f}});
    RechnungSpeichern(maier);
    RechnungSpeichern(huber);
    RechnungSpeichern(huber);
    Aendern(3, [](Rechnung& r) { r.beglichen = 1; });
    Rv().DeleteRechnung(2, false);

    EXPECT_EQ(VonKunde(huber, false), (IdListe{3, 0}));
    EXPECT_EQ(VonKunde(huber, true), (IdListe{0}));
    EXPECT_EQ(VonKunde(maier, false), (IdListe{1}));
    EXPECT_EQ(VonKunde(12345, false), IdListe{});

    // The copies can still reach their items.
    GenericList<Rechnung> liste;
    Rv().GetRechnungenVonKunde(huber, liste, false);
    EXPECT_FLOAT_EQ(liste[1].GetSumme(true), 6.0f);
}

TEST_F(RechnungsSucheTest, ByCustomerSurvivesDamagedChains) {
    const std::int32_t huber = KundeAnlegen("Huber");
    RechnungSpeichern(huber);
    RechnungSpeichern(huber);
    // A link to a newer invoice would lead round in a circle.
    Aendern(0, [](Rechnung& r) { r.vorigeRechnung = 1; });
    EXPECT_EQ(VonKunde(huber, false), (IdListe{1, 0}));
    Aendern(1, [](Rechnung& r) { r.vorigeRechnung = 1; });
    EXPECT_EQ(VonKunde(huber, false), (IdListe{1}));
    // A head past the end of the file finds nothing.
    Kv().GetKunde(huber)->letzteRechnung = 40;
    EXPECT_EQ(VonKunde(huber, false), IdListe{});
}

TEST_F(RechnungsSucheTest, ByDateStopsAtThePreDatingLimit) {
    const std::int32_t k = KundeAnlegen("Huber");
    Datiert(k, Datum(1, 1, 2026), Datum(10, 11, 2026));
    Datiert(k, Datum(1, 6, 2026), Datum(15, 11, 2026));
    Datiert(k, Datum(25, 11, 2026), Datum(20, 11, 2026));
    Datiert(k, Datum(5, 12, 2026), Datum(1, 12, 2026));
    const Datum egal(1, 1, 2000);
    const Datum von(1, 11, 2026);
    const Datum bis(30, 11, 2026);

    // Invoice 1 was captured 153 days before the range starts: the search
    // ends there, although it and invoice 0 are dated inside the range.
    EXPECT_EQ(NachDatum(egal, egal, von, bis, false, true, false), (IdListe{2}));
    V().customizer->vordatierungTage = 200;
    EXPECT_EQ(NachDatum(egal, egal, von, bis, false, true, false), (IdListe{2, 1}));

    // The capture range alone never stops early.
    EXPECT_EQ(NachDatum(Datum(1, 1, 2026), Datum(1, 6, 2026), egal, egal, true, false, false),
              (IdListe{1, 0}));
    EXPECT_EQ(NachDatum(Datum(1, 6, 2026), Datum(31, 12, 2026), von, bis, true, true, false),
              (IdListe{2, 1}));
    EXPECT_EQ(NachDatum(egal, egal, egal, egal, false, false, false), (IdListe{3, 2, 1, 0}));

    Aendern(2, [](Rechnung& r) { r.beglichen = 1; });
    EXPECT_EQ(NachDatum(egal, egal, von, bis, false, true, true), (IdListe{1}));
    Rv().DeleteRechnung(1, false);
    EXPECT_EQ(NachDatum(egal, egal, von, bis, false, true, false), (IdListe{2}));
}

TEST_F(RechnungsSucheTest, ByNumberOrAmount) {
    WeinAnlegen(1, 100);
    WeinAnlegen(2, 100);
    const std::int32_t k = KundeAnlegen("Huber");
    RechnungSpeichern(k, {{1, 3, 0.1f, 2.0f}});
    RechnungSpeichern(k, {{2, 1, 0.25f, 7.0f}});
    RechnungSpeichern(k, {{1, 1, 0.3f, 9.0f}});
    Aendern(2, [](Rechnung& r) { r.nummer = 1; });

    EXPECT_EQ(NachNummerOderBetrag(-1, 0.0f, 100.0f), IdListe{});
    EXPECT_EQ(NachNummerOderBetrag(1, 0.0f, 0.0f), (IdListe{2, 1}));
    // 3 × 0.1 summed in float is exactly 0.3f (in double it would not be).
    EXPECT_EQ(NachNummerOderBetrag(-1, 0.3f, 0.0f), (IdListe{2, 0}));
    EXPECT_EQ(NachNummerOderBetrag(-1, 0.29f, 0.0f), IdListe{});
    EXPECT_EQ(NachNummerOderBetrag(-1, 0.29f, 0.05f), (IdListe{2, 1, 0}));
    // A number that fits no invoice still lets the amount decide.
    EXPECT_EQ(NachNummerOderBetrag(77, 0.25f, 0.0f), (IdListe{1}));

    V().customizer->preiseInEuro = 1;
    EXPECT_EQ(NachNummerOderBetrag(-1, 7.0f, 0.0f), (IdListe{1}));
    Rv().DeleteRechnung(1, false);
    EXPECT_EQ(NachNummerOderBetrag(-1, 7.0f, 0.0f), IdListe{});

    // Totals are compared in cents, as the list shows them: 7 × 1.10 summed
    // in float lies a little above 7.70, and 7.70 still finds it exactly.
    const std::int32_t id = RechnungSpeichern(k, {{2, 7, 0.0f, 1.1f}});
    EXPECT_EQ(NachNummerOderBetrag(-1, 7.7f, 0.0f), IdListe{id});
    EXPECT_EQ(NachNummerOderBetrag(-1, 7.71f, 0.0f), IdListe{});
    EXPECT_EQ(NachNummerOderBetrag(-1, 7.71f, 0.01f), IdListe{id});
}

TEST_F(RechnungsSucheTest, BottleItemsAreSortedByWineInCollectionOrder) {
    for (std::int32_t wein : {4, 9}) {
        WeinAnlegen(wein, 1000);
    }
    const std::int32_t k = KundeAnlegen("Huber");
    Customizer& c = *V().customizer;
    c.filterMit1 = 0;
    c.filterMit2 = 1;
    c.filterVon2 = static_cast<std::int32_t>(Datum(1, 11, 2026).Julian());
    c.filterBis2 = static_cast<std::int32_t>(Datum(30, 11, 2026).Julian());
    const Datum erfasst(1, 12, 2026);
    Datiert(k, erfasst, Datum(1, 10, 2026), {{4, 1, 1, 1}});
    Datiert(k, erfasst, Datum(2, 11, 2026), {{4, 6, 1, 1}, {9, 3, 1, 1}});
    const std::int32_t geloescht = Datiert(k, erfasst, Datum(3, 11, 2026), {{4, 5, 1, 1}});
    const std::int32_t bezahlt = Datiert(k, erfasst, Datum(4, 11, 2026), {{4, 12, 1, 1}});
    Aendern(bezahlt, [](Rechnung& r) { r.beglichen = 1; });
    Rv().DeleteRechnung(geloescht, false);

    GenericSortableList<RechnungsVerwaltung::FlaschenPosten> liste;
    liste.Add({});
    Rv().GetFlaschenPosten(liste);
    std::vector<std::pair<std::int32_t, std::int16_t>> gezaehlt;
    for (unsigned i = 0; i < liste.Count(); ++i) {
        gezaehlt.emplace_back(liste[i].weinNummer, liste[i].menge);
    }
    EXPECT_EQ(gezaehlt,
              (std::vector<std::pair<std::int32_t, std::int16_t>>{{4, 12}, {4, 6}, {9, 3}}));
}

}  // namespace
