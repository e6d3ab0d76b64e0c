#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RechnungsFixture.h"
#include "model/Mahntexte.h"
#include "model/MahnungsVerwaltung.h"
#include "model/OffenePosten.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"
#include "storage/Datum.h"

namespace {

class MahnwesenTest : public RechnungsFixture {
  protected:
    std::int32_t Rechnung_(std::int32_t kunde, Datum datum, float euro, float eingegangen = 0,
                           bool bezahlt = false) {
        const std::int32_t id = RechnungSpeichern(kunde, {{1, 1, euro, euro}});
        Rechnung* r = Rv().GetRechnung(id);
        r->datum = datum.Julian();
        r->betragEingegangen = eingegangen;
        r->beglichen = bezahlt ? 1 : 0;
        Rv().UpdateCurrentRechnung();
        return id;
    }
    std::vector<OffenerPosten> Liste(Datum stichtag, bool nurUeberfaellig) {
        return OffenePosten::Ermitteln(Rv(), V().customizer, bestand_->GetFirmendaten(),
                                       &bestand_->GetMahnungen(), bestand_->GetMahntexte(),
                                       stichtag, nurUeberfaellig);
    }
    static const OffenerPosten* Zu(const std::vector<OffenerPosten>& liste, std::int32_t id) {
        for (const OffenerPosten& p : liste) {
            if (p.id == id) {
                return &p;
            }
        }
        return nullptr;
    }
};

// The record is 12 bytes: invoice id, level, Julian day, each little-endian.
TEST_F(MahnwesenTest, RecordLayoutLogLineAndReopen) {
    WeinAnlegen(1, 1000);
    const std::int32_t kunde = KundeAnlegen("Huber");
    RechnungSpeichern(kunde);
    const std::int32_t id = RechnungSpeichern(kunde);
    bestand_->GetMahnungen().Vermerken(id, 77, 2, Datum(3, 12, 2026), V().logBuch);
    const std::string bild = ReadBytes("daten/mahnungen.dat");
    const std::uint32_t tag = Datum(3, 12, 2026).Julian();
    const std::string erwartet = {static_cast<char>(id),
                                  0,
                                  0,
                                  0,
                                  2,
                                  0,
                                  0,
                                  0,
                                  static_cast<char>(tag & 0xFF),
                                  static_cast<char>((tag >> 8) & 0xFF),
                                  static_cast<char>((tag >> 16) & 0xFF),
                                  static_cast<char>(tag >> 24)};
    EXPECT_EQ(bild, erwartet);
    EXPECT_EQ(LogZeilen().back(),
              std::string(kStempel) + ">> MAHNSTUFE << Rechnung 77 (Id 1): 0 -> 2 am 3.12.2026");
    // A second change writes over the record in place.
    bestand_->GetMahnungen().Vermerken(id, 77, 3, Datum(5, 12, 2026), V().logBuch);
    EXPECT_EQ(ReadBytes("daten/mahnungen.dat").size(), 12u);
    Neustart();
    EXPECT_EQ(bestand_->GetMahnungen().Stufe(id), 3);
    EXPECT_EQ(bestand_->GetMahnungen().LetzteMahnung(id).Text(), "5.12.2026");
    EXPECT_EQ(bestand_->GetMahnungen().Stufe(0), 0);
    EXPECT_TRUE(bestand_->Startmeldungen().empty());
}

// Levels outside 0 to 3, unknown invoices and repeated ones are reported
// and never taken for more than they are.
TEST_F(MahnwesenTest, DamagedRecordsAreReportedAtStart) {
    const std::int32_t kunde = KundeAnlegen("Huber");
    RechnungSpeichern(kunde);
    bestand_.reset();
    auto satz = [](std::int32_t id, std::int32_t stufe) {
        std::string s(12, '\0');
        s[0] = static_cast<char>(id);
        s[4] = static_cast<char>(stufe);
        return s;
    };
    WriteBytes("daten/mahnungen.dat", satz(0, 9) + satz(42, 1) + satz(0, 1));
    Starten();
    const std::vector<std::string>& meldungen = bestand_->Startmeldungen();
    ASSERT_EQ(meldungen.size(), 3u);
    EXPECT_NE(meldungen[0].find("Mahnstufe 9"), std::string::npos) << meldungen[0];
    EXPECT_NE(meldungen[1].find("Id 42"), std::string::npos) << meldungen[1];
    EXPECT_NE(meldungen[2].find("weiteres Mal"), std::string::npos) << meldungen[2];
    EXPECT_EQ(bestand_->GetMahnungen().Stufe(0), 3);
    EXPECT_EQ(bestand_->GetMahnungen().Stufe(42), 1);
}

TEST(Mahntexte, DefaultsRoundTripAndFees) {
    Mahntexte texte;
    EXPECT_EQ(texte.Von(1).titel, "Zahlungserinnerung");
    EXPECT_EQ(texte.Von(2).titel, "1. Mahnung");
    EXPECT_EQ(texte.Von(3).titel, "2. Mahnung");
    EXPECT_EQ(texte.Von(1).gebuehr, 0);
    EXPECT_EQ(texte.Von(2).gebuehr, 500);
    EXPECT_EQ(texte.Von(3).gebuehr, 1000);
    EXPECT_EQ(texte.tageBisNaechsteStufe, 14);
    EXPECT_NE(texte.Von(2).text.find(Mahntexte::kPlatzhalterBetrag), std::string::npos);
    EXPECT_NE(texte.Von(2).text.find(Mahntexte::kPlatzhalterFaellig), std::string::npos);

    texte.Von(2).text = "Zeile\\eins\nZeile zwei \xE4";
    texte.Von(3).gebuehr = 1250;
    texte.tageBisNaechsteStufe = 10;
    const std::string datei = texte.Text();
    EXPECT_NE(datei.find("Text2=Zeile\\\\eins\\nZeile zwei \xE4\r\n"), std::string::npos);
    const Mahntexte gelesen = Mahntexte::AusText(datei);
    EXPECT_EQ(gelesen.Von(2).text, texte.Von(2).text);
    EXPECT_EQ(gelesen.Von(3).gebuehr, 1250);
    EXPECT_EQ(gelesen.tageBisNaechsteStufe, 10);
    EXPECT_EQ(gelesen.Text(), datei);

    EXPECT_EQ(Mahntexte::GebuehrLesen("12,50"), 1250);
    EXPECT_EQ(Mahntexte::GebuehrLesen("12.50"), 1250);
    EXPECT_EQ(Mahntexte::GebuehrLesen(" 5 "), 500);
    EXPECT_EQ(Mahntexte::GebuehrLesen("0,5"), 50);
    EXPECT_EQ(Mahntexte::GebuehrLesen("-5"), -1);
    EXPECT_EQ(Mahntexte::GebuehrLesen("zwei"), -1);
    EXPECT_EQ(Mahntexte::GebuehrLesen("1.234,56"), -1);
    EXPECT_EQ(Mahntexte::GebuehrLesen(""), -1);
    EXPECT_EQ(Mahntexte::GebuehrLesen("1,005"), -1);
    EXPECT_EQ(Mahntexte::GebuehrText(1250), "12,50");
}

// Due on the invoice date plus the payment term; open the final amount less
// what was received; paid, deleted and covered invoices are not listed.
TEST_F(MahnwesenTest, OpenItemsDueDatesLevelsAndProposals) {
    WeinAnlegen(1, 1000);
    const std::int32_t kunde = KundeAnlegen("Huber");
    const Datum stichtag(6, 12, 2026);
    const std::int32_t alt = Rechnung_(kunde, Datum(1, 9, 2026), 100.0f);
    const std::int32_t teil = Rechnung_(kunde, Datum(1, 10, 2026), 80.0f, 30.0f);
    const std::int32_t bezahlt = Rechnung_(kunde, Datum(1, 9, 2026), 50.0f, 0, true);
    const std::int32_t gedeckt = Rechnung_(kunde, Datum(1, 9, 2026), 40.0f, 1000.0f);
    const std::int32_t jung = Rechnung_(kunde, Datum(1, 12, 2026), 20.0f);
    const std::int32_t geloescht = Rechnung_(kunde, Datum(1, 9, 2026), 20.0f);
    Rv().DeleteRechnung(geloescht, false);
    // Reminded recently: not yet proposed for the next level.
    bestand_->GetMahnungen().Vermerken(teil, 2, 1, Datum(1, 12, 2026), V().logBuch);

    const std::vector<OffenerPosten> ueberfaellig = Liste(stichtag, true);
    ASSERT_EQ(ueberfaellig.size(), 2u);
    EXPECT_EQ(ueberfaellig[0].id, alt);
    const OffenerPosten& a = ueberfaellig[0];
    EXPECT_EQ(a.faellig.Text(), "1.10.2026");
    EXPECT_EQ(a.tageUeberfaellig, 66);
    EXPECT_TRUE(a.vorgeschlagen);
    EXPECT_EQ(a.NaechsteStufe(), 1);
    const OffenerPosten& t = ueberfaellig[1];
    EXPECT_EQ(t.id, teil);
    EXPECT_EQ(t.stufe, 1);
    EXPECT_FALSE(t.vorgeschlagen);
    // Exactly the printed amounts.
    const Rechnungsbetrag betrag(*Rv().GetRechnung(teil), V().customizer);
    EXPECT_EQ(t.endbetrag, betrag.endbetrag);
    EXPECT_EQ(t.eingegangen, 3000);
    EXPECT_EQ(t.offen, betrag.endbetrag - 3000);
    EXPECT_EQ(Zu(ueberfaellig, bezahlt), nullptr);
    EXPECT_EQ(Zu(ueberfaellig, gedeckt), nullptr);
    EXPECT_EQ(Zu(ueberfaellig, jung), nullptr);
    EXPECT_EQ(Zu(ueberfaellig, geloescht), nullptr);
    EXPECT_NE(Zu(Liste(stichtag, false), jung), nullptr);
    // Fourteen days after the reminder the next level is proposed.
    EXPECT_TRUE(Zu(Liste(Datum(15, 12, 2026), true), teil)->vorgeschlagen);

    // Without seller data the term is 30 days; with them it is theirs.
    bestand_->GetFirmendaten().zahlungsziel = "10";
    EXPECT_EQ(Zu(Liste(stichtag, true), alt)->faellig.Text(), "11.9.2026");

    // One letter per customer at the highest next level, with its fee.
    const std::vector<Mahnbrief> briefe =
        Mahnbrief::Bilden(Liste(Datum(15, 12, 2026), true), bestand_->GetMahntexte());
    ASSERT_EQ(briefe.size(), 1u);
    EXPECT_EQ(briefe[0].stufe, 2);
    EXPECT_EQ(briefe[0].gebuehr, 500);
    EXPECT_EQ(briefe[0].Gesamt(), briefe[0].offen + 500);
    Mahnbrief::Vermerken(briefe, bestand_->GetMahnungen(), V().logBuch, Datum(15, 12, 2026));
    EXPECT_EQ(bestand_->GetMahnungen().Stufe(alt), 1);
    EXPECT_EQ(bestand_->GetMahnungen().Stufe(teil), 2);
}

}  // namespace
