#include "model/RechnungsVerwaltung.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <limits>
#include <string>
#include <vector>

#include "RechnungsFixture.h"
#include "storage/ByteWriter.h"
#include "storage/Datum.h"
#include "storage/GenericList.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"

namespace {

class RechnungsVerwaltungTest : public RechnungsFixture {};

std::string Text(const MessageException& e) {
    return e.Text();
}

template <typename F>
std::string FehlerVon(F&& f) {
    try {
        f();
    } catch (const MessageException& e) {
        return Text(e);
    }
    return "kein Fehler";
}

TEST_F(RechnungsVerwaltungTest, FirstInvoiceIsIdZeroNumberZeroAndOneRecordOnDisk) {
    const std::int32_t kunde = KundeAnlegen("Huber");
    Rechnung* r = Rv().AllocRechnung(kunde);
    EXPECT_EQ(r->id, 0);
    EXPECT_EQ(r->nummer, 0);
    EXPECT_EQ(r->datum, 2415386u);
    EXPECT_EQ(r->erfasstDatum, Datum(6, 12, 2026).Julian());
    EXPECT_FALSE(FileExists(kRechnungen));
    r->steigen = 2;
    r->kartons = 3;
    FixedText::Set(r->bemerkung, "Danke");
    Rv().StoreRechnung();
    EXPECT_EQ(Rv().Reserviert(), nullptr);

    const std::string file = ReadBytes(kRechnungen);
    ASSERT_EQ(file.size(), 297u);
    EXPECT_EQ(Int32At(file, 0), 0);
    EXPECT_EQ(Int32At(file, 8), kunde);
    EXPECT_EQ(Int16At(file, 12), 2);
    EXPECT_EQ(Int16At(file, 14), 3);
    EXPECT_EQ(Int32At(file, 16), 2415386);
    EXPECT_EQ(static_cast<std::uint32_t>(Int32At(file, 25)), Datum(6, 12, 2026).Julian());
    EXPECT_EQ(file.substr(33, 6), std::string("Danke\0", 6));
    EXPECT_EQ(Int32At(file, 289), -1);
    EXPECT_EQ(Int32At(file, 293), -1);
}

TEST_F(RechnungsVerwaltungTest, CountersFollowTheLastRecordAfterARestart) {
    const std::int32_t kunde = KundeAnlegen("Huber");
    RechnungSpeichern(kunde);
    RechnungSpeichern(kunde);
    Rechnung* r = Rv().GetRechnung(1);
    ASSERT_NE(r, nullptr);
    r->nummer = 500;
    Rv().UpdateCurrentRechnung();

    // Within the run the sequence goes on; after a restart it follows the
    // newest record.
    EXPECT_EQ(Rv().AllocRechnung(kunde)->nummer, 2);
    Rv().StoreRechnung();
    r = Rv().GetRechnung(2);
    r->nummer = 500;
    Rv().UpdateCurrentRechnung();
    Neustart();
    Rechnung* neu = Rv().AllocRechnung(kunde);
    EXPECT_EQ(neu->id, 3);
    EXPECT_EQ(neu->nummer, 501);
}

TEST_F(RechnungsVerwaltungTest, MisuseRaisesTheInternalErrors) {
    EXPECT_EQ(FehlerVon([&] { Rv().StoreRechnung(); }),
              "Es wurde in RechnungsVerwaltung::StoreRechnung() versucht eine Rechnung zu "
              "speichern, obwohl noch gar keine reserviert wurde");
    EXPECT_EQ(FehlerVon([&] { Rv().UpdateCurrentRechnung(); }),
              "Es wurde in RechnungsVerwaltung::UpdateCurrentRechnung() versucht eine Rechnung "
              "zu erneuern, obwohl keine angefordert wurde");
    EXPECT_EQ(FehlerVon([&] { Rv().DeleteRechnung(0, false); }),
              "Die referenzierte Rechnung konnte in RechnungsVerwaltung::DeleteRechnung() nicht "
              "gefunden werden");
    Rv().AllocRechnung(1);
    EXPECT_EQ(FehlerVon([&] { Rv().AllocRechnung(1); }),
              "Es wurde eine Rechnung in RechnungsVerwaltung::AllocRechnung() allokiert, obwohl "
              "die letzte noch nicht gespeichert wrude");
    EXPECT_EQ(Rv().Anzahl(), 1);
    EXPECT_EQ(Rv().GetRechnung(0), nullptr);
    EXPECT_FALSE(FileExists(kRechnungen));
}

TEST_F(RechnungsVerwaltungTest, CustomerChainIsStoredWithTheInvoice) {
    const std::int32_t huber = KundeAnlegen("Huber");
    const std::int32_t maier = KundeAnlegen("Maier");
    RechnungSpeichern(huber);
    Rechnung* r = Rv().AllocRechnung(maier);
    EXPECT_EQ(r->vorigeRechnung, -1);
    Rv().StoreRechnung();
    r = Rv().AllocRechnung(huber);
    EXPECT_EQ(r->vorigeRechnung, 0);
    EXPECT_EQ(Kv().GetKunde(huber)->letzteRechnung, 2);
    Rv().StoreRechnung();

    // The head is on disk without a flush of the customer file.
    const std::string kunden = ReadBytes("daten/kunden.dat");
    ASSERT_EQ(kunden.size(), 2u * 528u);
    EXPECT_EQ(Int32At(kunden, 0 * 528 + 524), 2);
    EXPECT_EQ(Int32At(kunden, 1 * 528 + 524), 1);
}

TEST_F(RechnungsVerwaltungTest, DeleteWithStockCorrectionReturnsBottlesAndLogsFourLines) {
    WeinAnlegen(3, 100);
    WeinAnlegen(5, 100);
    const std::int32_t kunde = KundeAnlegen("Huber");
    const std::int32_t id = RechnungSpeichern(kunde, {{3, 6, 9.5f, 4.86f}, {5, 12, 7.0f, 3.5f}});
    Rechnung* r = Rv().GetRechnung(id);
    r->betragEingegangen = 12.5f;
    r->datum = Datum(7, 3, 2002).Julian();
    FixedText::Set(r->bemerkung, "Gru\xDF");
    Rv().UpdateCurrentRechnung();
    EXPECT_EQ(Bestand(3), 94);
    EXPECT_EQ(Bestand(5), 88);
    const std::size_t vorher = LogZeilen().size();

    Rv().DeleteRechnung(id, true);
    EXPECT_EQ(Bestand(3), 100);
    EXPECT_EQ(Bestand(5), 100);
    const std::vector<std::string> zeilen = LogZeilen();
    ASSERT_EQ(zeilen.size(), vorher + 4);
    const std::string werte = std::to_string(kunde) + ",0,0,\"March 7, 2002\",12.5,0,\"Gru\xDF\"";
    EXPECT_EQ(zeilen[vorher + 0],
              std::string(kStempel) + ">> POSTEN GEL\xD6SCHT << -> 5,0,7,3.5,12");
    EXPECT_EQ(zeilen[vorher + 1],
              std::string(kStempel) + ">> POSTEN GEL\xD6SCHT << -> 3,0,9.5,4.86,6");
    EXPECT_EQ(zeilen[vorher + 2], std::string(kStempel) +
                                      ">> RECHNUNG GEL\xD6SCHT << (erfasst am 6.12.2026 9:5:3) -> "
                                      "0,0," +
                                      werte);
    EXPECT_EQ(zeilen[vorher + 3], std::string(kStempel) +
                                      ">> RECHNUNG GE\xC4NDERT << (erfasst am 6.12.2026 9:5:3) -> "
                                      "0,0," +
                                      werte);
    const std::string file = ReadBytes(kRechnungen);
    EXPECT_EQ(Int16At(file, 12), 32767);
    EXPECT_EQ(Int16At(file, 14), 32767);
    EXPECT_EQ(PostenVon(*Rv().GetRechnung(id)).size(), 0u);
}

TEST_F(RechnungsVerwaltungTest, DeleteWithoutStockCorrectionLeavesItemsAndStock) {
    WeinAnlegen(3, 100);
    const std::int32_t kunde = KundeAnlegen("Huber");
    const std::int32_t id = RechnungSpeichern(kunde, {{3, 6, 9.5f, 4.86f}});
    const std::string posten = ReadBytes(kPosten);
    const std::size_t vorher = LogZeilen().size();

    Rv().DeleteRechnung(id, false);
    EXPECT_EQ(Bestand(3), 94);
    EXPECT_EQ(ReadBytes(kPosten), posten);
    const std::vector<std::string> zeilen = LogZeilen();
    ASSERT_EQ(zeilen.size(), vorher + 2);
    EXPECT_NE(zeilen[vorher].find(">> RECHNUNG GEL\xD6SCHT << "), std::string::npos);
    EXPECT_NE(zeilen[vorher + 1].find(">> RECHNUNG GE\xC4NDERT << "), std::string::npos);
    EXPECT_TRUE(Rv().GetRechnung(id)->IstGeloescht());
}

TEST_F(RechnungsVerwaltungTest, DerivedInvoiceIsOpenWithItemsInReverseOrder) {
    WeinAnlegen(3, 100);
    WeinAnlegen(5, 100);
    WeinAnlegen(8, 100);
    const std::int32_t kunde = KundeAnlegen("Huber");
    const std::int32_t quelle =
        RechnungSpeichern(kunde, {{3, 1, 1.0f, 0.5f}, {5, 2, 2.0f, 1.0f}, {8, 3, 3.0f, 1.5f}});
    Rechnung* r = Rv().GetRechnung(quelle);
    r->nummer = 41;
    r->beglichen = 1;
    r->betragEingegangen = 14.0f;
    r->steigen = 1;
    r->kartons = 2;
    r->datum = Datum(1, 12, 2026).Julian();
    Rv().UpdateCurrentRechnung();
    clock_.Advance(3600 + 60 + 1);

    const std::int32_t id = Rv().DeriveRechnung(*Rv().GetRechnung(quelle));
    EXPECT_EQ(id, 1);
    Rechnung kopie = *Rv().GetRechnung(id);
    EXPECT_EQ(kopie.beglichen, 0);
    EXPECT_EQ(kopie.betragEingegangen, 0.0f);
    EXPECT_EQ(kopie.steigen, 1);
    EXPECT_EQ(kopie.kartons, 2);
    EXPECT_EQ(kopie.datum, Datum(1, 12, 2026).Julian());
    EXPECT_EQ(kopie.kunde, kunde);
    EXPECT_EQ(FixedText::Get(kopie.bemerkung),
              "Abgeleitet aus Rechnung Nr. 41 am 6.12.2026 10:6:4");
    std::vector<std::int32_t> weine;
    for (const auto& p : PostenVon(kopie)) {
        weine.push_back(p.weinNummer);
    }
    EXPECT_EQ(weine, (std::vector<std::int32_t>{3, 5, 8}));
    EXPECT_EQ(Bestand(8), 94);
    EXPECT_FLOAT_EQ(kopie.GetSumme(true), 14.0f);
    EXPECT_EQ(Kv().GetKunde(kunde)->letzteRechnung, id);
}

TEST_F(RechnungsVerwaltungTest, ItemsOfAStoredInvoiceReachTheFileAtOnce) {
    WeinAnlegen(3, 100);
    WeinAnlegen(4, 100);
    const std::int32_t kunde = KundeAnlegen("Huber");
    const std::int32_t id = RechnungSpeichern(kunde, {{3, 6, 1.0f, 0.5f}});

    // Changed through the working copy itself.
    Rechnung* r = Rv().GetRechnung(id);
    Rv().SetPosten(*r, 4, 2.0f, 1.0f, 2);
    EXPECT_EQ(Int32At(ReadBytes(kRechnungen), 289), 1);
    EXPECT_NE(LogZeilen().back().find(">> RECHNUNG GE\xC4NDERT << "), std::string::npos);

    // Changed through a copy; a change of an existing item leaves the header.
    Rechnung kopie = *Rv().GetRechnung(id);
    Rv().SetPosten(kopie, 3, 1.0f, 0.5f, 10);
    Rv().SetPosten(kopie, 4, 2.0f, 1.0f, 0);
    EXPECT_EQ(Int32At(ReadBytes(kRechnungen), 289), 1);
    EXPECT_EQ(Bestand(3), 90);
    EXPECT_EQ(Bestand(4), 100);
    ASSERT_NE(kopie.FindPosten(3), nullptr);
    EXPECT_EQ(kopie.FindPosten(3)->menge, 10);
    EXPECT_EQ(kopie.FindPosten(4), nullptr);
    EXPECT_EQ(kopie.GetAnzahlPosten(), 1);
    Rv().DeletePosten(kopie, 3);
    EXPECT_EQ(Bestand(3), 100);
    EXPECT_EQ(kopie.GetAnzahlPosten(), 0);
}

TEST_F(RechnungsVerwaltungTest, TotalIsSummedInSinglePrecisionAndWeightSkipsMissingWines) {
    WeinAnlegen(1, 10, 1300);
    WeinAnlegen(2, 10, 750);
    const std::int32_t kunde = KundeAnlegen("Huber");
    // Added small ones first, so the chain (newest first) begins with the big one.
    const std::int32_t id = RechnungSpeichern(
        kunde, {{99, 2, 0.3f, 1.0f}, {2, 1, 0.2f, 1.0f}, {1, 3, 0.1f, 16777216.0f}});
    const Rechnung r = *Rv().GetRechnung(id);
    float dm = 0.0f;
    dm += 3.0f * 0.1f;
    dm += 1.0f * 0.2f;
    dm += 2.0f * 0.3f;
    EXPECT_EQ(r.GetSumme(true), dm);
    // 3 × 2^24, then 1 and 2, each step rounded to float: both vanish. Summed
    // in double, or in the other order, the total would be 50331652.
    EXPECT_EQ(r.GetSumme(false), 50331648.0f);
    EXPECT_EQ(r.GetGewicht(), 3 * 1300 + 750);
    EXPECT_EQ(r.GetAnzahlPosten(), 3);
}

TEST_F(RechnungsVerwaltungTest, DamagedInvoiceFilesCountWholeRecordsOnly) {
    bestand_.reset();
    WriteBytes(kRechnungen, "");
    Starten();
    EXPECT_EQ(Rv().Anzahl(), 0);
    EXPECT_EQ(Rv().NaechsteNummer(), 0);

    const std::int32_t kunde = KundeAnlegen("Huber");
    RechnungSpeichern(kunde);
    Rechnung* r = Rv().GetRechnung(0);
    r->nummer = 77;
    Rv().UpdateCurrentRechnung();
    bestand_.reset();
    WriteBytes(kRechnungen, ReadBytes(kRechnungen) + std::string(100, 'x'));
    Starten();
    EXPECT_EQ(Rv().Anzahl(), 1);
    EXPECT_EQ(Rv().NaechsteNummer(), 78);
    EXPECT_EQ(RechnungSpeichern(kunde), 1);
    const std::string file = ReadBytes(kRechnungen);
    ASSERT_EQ(file.size(), 2u * 297u);
    EXPECT_EQ(Int32At(file, 297), 1);
    EXPECT_EQ(Int32At(file, 297 + 4), 78);
}

TEST_F(RechnungsVerwaltungTest, FailedStoreKeepsTheReservation) {
    const std::int32_t kunde = KundeAnlegen("Huber");
    RechnungSpeichern(kunde);
    const std::string vorher = ReadBytes(kRechnungen);
    Rv().AllocRechnung(kunde);
    IoFaults::SetHook([](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Write && pfad == kRechnungen ? 28 : 0;
    });
    const std::string fehler = FehlerVon([&] { Rv().StoreRechnung(); });
    IoFaults::ClearHook();
    EXPECT_EQ(fehler,
              "Die Rechnung konnte nicht in die Datei geschrieben werden "
              "(RechnungsVerwaltung::StoreRechnung())");
    EXPECT_EQ(ReadBytes(kRechnungen), vorher);
    ASSERT_NE(Rv().Reserviert(), nullptr);
    Rv().StoreRechnung();
    EXPECT_EQ(ReadBytes(kRechnungen).size(), 2u * 297u);
}

// Another program cuts the item file and then the invoice file short while
// the managers have them mapped: a read past the new end ends in the German
// read error naming the file, never in a signal, and nothing read there is
// taken for data. Once a file is whole again the same reads see it.
TEST_F(RechnungsVerwaltungTest, FilesCutShortUnderTheManagersEndInTheReadErrorNotASignal) {
    const auto seite = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    // Several pages of each file, chains as stored invoices leave them.
    const auto anzahl = static_cast<std::int32_t>(3 * seite / Rechnung::DiskSize + 3);
    constexpr std::int32_t kJe = 20;
    std::string rechnungen;
    std::string posten;
    {
        ByteWriter rw(rechnungen);
        ByteWriter pw(posten);
        std::int32_t index = 0;
        for (std::int32_t n = 0; n < anzahl; ++n) {
            for (std::int32_t j = 0; j < kJe; ++j, ++index) {
                PostenVerwaltung::Posten p;
                p.weinNummer = 100 + j;
                p.rechnung = n;
                p.preisDM = 2.0f;
                p.preisEuro = 1.0f + static_cast<float>(j);
                p.menge = 1;
                p.naechster = j == 0 ? -1 : index - 1;
                pw << p;
            }
            Rechnung r;
            r.id = n;
            r.nummer = 500 + n;
            r.postenKopf = index - 1;
            rw << r;
        }
    }
    ASSERT_GT(posten.size(), 3 * seite);
    bestand_.reset();
    WriteBytes(kRechnungen, rechnungen);
    WriteBytes(kPosten, posten);
    Starten();
    const std::int32_t letzte = anzahl - 1;
    // 1 + 2 + ... + 20 Euro.
    const float summe = 210.0f;
    ASSERT_FLOAT_EQ(Rv().GetRechnung(letzte)->GetSumme(false), summe);

    using ::testing::HasSubstr;
    const char* kGekuerzt = "die Datei wurde beim Lesen k\xFCrzer";
    ASSERT_EQ(::truncate(kPosten, static_cast<off_t>(seite)), 0);
    std::string text = FehlerVon([&] { Rv().GetRechnung(letzte)->GetSumme(false); });
    EXPECT_THAT(text, HasSubstr("daten/rechnungsposten.dat\n"));
    EXPECT_THAT(text, HasSubstr(kGekuerzt));
    GenericList<Rechnung> liste;
    text = FehlerVon([&] { Rv().GetRechnungenNachNummerOderBetrag(-1, summe, 0.01f, liste); });
    EXPECT_THAT(text, HasSubstr("daten/rechnungsposten.dat\n"));
    EXPECT_THAT(text, HasSubstr(kGekuerzt));
    // Whole again: the pages of the file, not the zeros of the cut.
    WriteBytes(kPosten, posten);
    EXPECT_FLOAT_EQ(Rv().GetRechnung(letzte)->GetSumme(false), summe);

    ASSERT_EQ(::truncate(kRechnungen, static_cast<off_t>(seite)), 0);
    text = FehlerVon([&] { Rv().GetRechnung(letzte); });
    EXPECT_THAT(text, HasSubstr("daten/rechnungen.dat\n"));
    EXPECT_THAT(text, HasSubstr(kGekuerzt));
    liste.Empty();
    text = FehlerVon([&] {
        Rv().GetRechnungenNachDatum(liste, 0, std::numeric_limits<std::uint32_t>::max(), 0, 0, true,
                                    false, false);
    });
    EXPECT_THAT(text, HasSubstr("daten/rechnungen.dat\n"));
    EXPECT_THAT(text, HasSubstr(kGekuerzt));
    // A scan of the raw records learns it at its next record, or when it
    // asks after its last.
    text = FehlerVon([&] {
        std::int64_t nummern = 0;
        for (std::int32_t n = 0; n < Rv().Gespeichert(); ++n) {
            nummern += Feldwert<&Rechnung::nummer>(Rv().Rohsatz(n));
        }
        Rv().Nachsehen();
        ADD_FAILURE() << "numbers added up to " << nummern << " from a cut file";
    });
    EXPECT_THAT(text, HasSubstr("daten/rechnungen.dat\n"));
    EXPECT_THAT(text, HasSubstr(kGekuerzt));
    WriteBytes(kRechnungen, rechnungen);
    ASSERT_NE(Rv().GetRechnung(letzte), nullptr);
    EXPECT_EQ(Rv().GetRechnung(letzte)->nummer, 500 + letzte);
}

TEST(RechnungsVerwaltungOhneDatei, UnwritableDirectoryIsReportedAtStore) {
    TempDir dir;
    RechnungsVerwaltung verwaltung(dir / "fehlt/rechnungen.dat");
    verwaltung.AllocRechnung(1);
    EXPECT_EQ(FehlerVon([&] { verwaltung.StoreRechnung(); }),
              "In RechnungsVerwaltung::StoreRechnung() konnte die Datei nicht ge\xF6"
              "ffnet werden");
}

}  // namespace

namespace {

TEST(RechnungsVerwaltungIdsTest, RecordsWhoseIdIsNotTheirPositionAreFoundNewestFirst) {
    TempDir dir;
    const std::string path = dir / "rechnungen.dat";
    std::string bytes;
    ByteWriter writer(bytes);
    for (std::int32_t id : {0, 5, 2}) {
        Rechnung r;
        r.id = id;
        r.nummer = 10 + id;
        writer << r;
    }
    WriteBytes(path, bytes);
    RechnungsVerwaltung verwaltung(path);
    EXPECT_EQ(verwaltung.Anzahl(), 3);
    EXPECT_EQ(verwaltung.NaechsteNummer(), 13);
    ASSERT_NE(verwaltung.GetRechnung(0), nullptr);
    EXPECT_EQ(verwaltung.GetRechnung(0)->nummer, 10);
    EXPECT_EQ(verwaltung.GetRechnung(2)->nummer, 12);
    // The scan stops at the first lower id it meets.
    EXPECT_EQ(verwaltung.GetRechnung(5), nullptr);
    EXPECT_EQ(verwaltung.GetRechnung(1), nullptr);
}

}  // namespace
