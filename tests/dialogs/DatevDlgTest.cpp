#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/DatevEinstellungenDlg.h"
#include "dialogs/DatevExportDlg.h"
#include "dialogs/FirmendatenDlg.h"
#include "documents/DatevExport.h"
#include "model/KundenVerwaltung.h"
#include "storage/CodePage.h"
#include "support/DialogFixture.h"

namespace {

constexpr const char* kFirmendaten = "daten/firmendaten.txt";
constexpr const char* kVermerke = "daten/datev-exporte.txt";

// A small business in Euro with prices that include 19 % VAT: two invoices
// dated in November 2026, one in October, one deleted in November and one
// without a date of its own (it counts on its capture day, 6 December), and
// one dated in March 2027, further ahead than the invoice filter looks.
class DatevDlgTest : public DialogFixture {
  protected:
    DatevDlgTest() {
        // Customer numbers count on from the test before in this process.
        KundenVerwaltung::maxNummer = 0;
        Einstellungen().preiseInEuro = 1;
        Einstellungen().mwstEnthalten = 1;
        Einstellungen().mwst = 19.0f;
        WeinAnlegen(1, 100);
        const std::int32_t mueller = Kunde("Hans", "Müller");
        const std::int32_t berg = Kunde("Eva", "Berg \"am Hang\"");
        Datiert(RechnungSpeichern(mueller, {{1, 6, 0.0f, 12.50f}}), Datum(15, 11, 2026));
        Datiert(RechnungSpeichern(berg, {{1, 3, 0.0f, 9.90f}}), Datum(30, 11, 2026));
        Datiert(RechnungSpeichern(mueller, {{1, 2, 0.0f, 5.00f}}), Datum(31, 10, 2026));
        const std::int32_t geloescht = RechnungSpeichern(berg, {{1, 1, 0.0f, 7.00f}});
        Datiert(geloescht, Datum(1, 11, 2026));
        Rv().DeleteRechnung(geloescht, true);
        RechnungSpeichern(mueller, {{1, 1, 0.0f, 4.00f}});
        Datiert(RechnungSpeichern(berg, {{1, 2, 0.0f, 8.00f}}), Datum(1, 3, 2027));
    }

    std::int32_t Kunde(const char* vorname, const char* nachname) {
        ::Kunde kunde;
        FixedText::Set(kunde.Vorname, vorname);
        FixedText::Set(kunde.Nachname, CodePage::Utf8ToCp1252(nachname));
        Kv().AddKunde(kunde);
        return kunde.nummer;
    }
    void Datiert(std::int32_t id, Datum datum) {
        Rechnung r = *Rv().GetRechnung(id);
        r.datum = datum.Julian();
        Rv().UpdateRechnung(r);
    }

    Firmendaten& Firma() { return bestand_->GetFirmendaten(); }
    FakeWindow& Einstellungsdialog() {
        return Oeffnen<DatevEinstellungenDlg>(Firma(), bestand_->FirmendatenDatei(),
                                              &Einstellungen());
    }
    FakeWindow& Exportdialog() { return Oeffnen<DatevExportDlg>(V(), Firma(), "daten"); }

    // A booking line as DATEV's columns have it, by their numbers (1 to
    // 125) in the format description.
    static std::string Buchung(const std::string& umsatz, const std::string& konto,
                               const std::string& belegdatum, const std::string& nummer,
                               const std::string& text, const std::string& faellig) {
        std::vector<std::string> f(125);
        f[1 - 1] = umsatz;
        f[2 - 1] = "\"S\"";
        f[3 - 1] = "\"EUR\"";
        f[7 - 1] = konto;
        f[8 - 1] = "8400";
        f[10 - 1] = belegdatum;
        f[11 - 1] = "\"" + nummer + "\"";
        f[14 - 1] = "\"" + text + "\"";
        f[114 - 1] = "0";
        f[117 - 1] = faellig;
        std::string zeile;
        for (std::size_t i = 0; i < f.size(); ++i) {
            zeile += (i == 0 ? "" : ";") + f[i];
        }
        return zeile + "\r\n";
    }
};

using E = DatevEinstellungenDlg;
using X = DatevExportDlg;

TEST_F(DatevDlgTest, SettingsAreCheckedAsTypedAndStoredAsASectionTheSellerDialogKeeps) {
    FakeWindow& w = Einstellungsdialog();
    EXPECT_EQ(w.Caption(), "DATEV-Einstellungen");
    EXPECT_EQ(w.Text(E::kWjTag), "1");
    EXPECT_EQ(w.Text(E::kWjMonat), "1");
    EXPECT_EQ(w.Text(E::kSachkontenlaenge), "4");
    EXPECT_TRUE(w.IsChecked(E::kSkr03));
    EXPECT_TRUE(w.IsChecked(E::kJeKunde));
    EXPECT_EQ(w.Text(E::kHinweis), "Es fehlt noch: Beraternummer, Mandantennummer.");
    w.Click(ControlId::kOk);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().caption, "DATEV-Einstellungen");
    EXPECT_EQ(app_.LastMessage().text,
              "Es fehlt noch: Beraternummer, Mandantennummer. Die DATEV-Einstellungen wurden "
              "nicht gespeichert.");
    EXPECT_FALSE(std::filesystem::exists(kFirmendaten));

    w.Type(E::kBerater, "999");
    EXPECT_EQ(w.Text(E::kHinweis), "Es fehlt noch: Mandantennummer.");
    w.Type(E::kMandant, "55003");
    EXPECT_EQ(w.Text(E::kHinweis), "Die Beraternummer ist eine Zahl von 1001 bis 9999999.");
    w.Type(E::kBerater, "29098");
    EXPECT_EQ(w.Text(E::kHinweis),
              "Gebucht wird jede Rechnung vom Debitor 10000 + Kundennummer an das Erlöskonto "
              "8400."_w);
    w.Click(E::kSkr04);
    w.Click(E::kSammeldebitor);
    EXPECT_EQ(w.Text(E::kHinweis),
              "Gebucht wird jede Rechnung vom Debitor 10000 an das Erlöskonto 4400."_w);
    // Longer ledger accounts have no preset revenue account.
    w.Type(E::kSachkontenlaenge, "5");
    EXPECT_EQ(w.Text(E::kHinweis),
              "Das voreingestellte Erlöskonto 4400 hat vier Stellen, die Sachkonten haben aber "
              "5. Bitte tragen Sie das Erlöskonto unter Optionen/DATEV-Einstellungen ein."_w);
    w.Type(E::kErloeskonto, "4400");
    EXPECT_EQ(w.Text(E::kHinweis),
              "Das Erlöskonto hat genau 5 Ziffern, so viele wie die Sachkonten."_w);
    w.Type(E::kErloeskonto, "44000");
    EXPECT_EQ(w.Text(E::kHinweis),
              "Gebucht wird jede Rechnung vom Debitor 100000 an das Erlöskonto 44000."_w);
    w.Type(E::kWjTag, "29");
    w.Type(E::kWjMonat, "2");
    EXPECT_EQ(w.Text(E::kHinweis),
              "Der Beginn des Wirtschaftsjahres ist ein Tag und ein Monat (zum Beispiel 1.1. "
              "oder 1.7.).");
    // Another VAT rate has no preset account either.
    Einstellungen().mwst = 16.0f;
    w.Type(E::kWjTag, "1");
    w.Type(E::kWjMonat, "1");
    w.Type(E::kSachkontenlaenge, "4");
    w.Type(E::kErloeskonto, "");
    w.Click(E::kSkr03);
    w.Click(E::kJeKunde);
    EXPECT_EQ(w.Text(E::kHinweis),
              "Für 16 % MwSt. hat der Kontenrahmen SKR03 kein voreingestelltes Erlöskonto. Bitte "
              "tragen Sie das Erlöskonto unter Optionen/DATEV-Einstellungen ein."_w);
    Einstellungen().mwst = 19.0f;
    w.Type(E::kErloeskonto, " ");
    w.Click(ControlId::kOk);
    ASSERT_TRUE(w.IsClosed());

    const std::string abschnitt =
        "[DATEV]\r\nBeraternummer=29098\r\nMandantennummer=55003\r\n"
        "Wirtschaftsjahresbeginn=1.1.\r\nSachkontenlaenge=4\r\nKontenrahmen=SKR03\r\n"
        "Erloeskonto=\r\nDebitoren=je Kunde\r\n";
    const std::string vorher = ReadBytes(kFirmendaten);
    EXPECT_EQ(vorher.substr(vorher.find("Zahlungsziel=30\r\n")),
              "Zahlungsziel=30\r\nGiroCode=ja\r\n" + abschnitt);

    // Storing the seller's fields keeps the section.
    FakeWindow& f = Oeffnen<FirmendatenDlg>(Firma(), bestand_->FirmendatenDatei());
    f.Type(FirmendatenDlg::kName, "Weingut Probe");
    f.Click(ControlId::kOk);
    ASSERT_TRUE(f.IsClosed());
    const std::string nachher = ReadBytes(kFirmendaten);
    EXPECT_EQ(nachher.substr(0, 20), "Name=Weingut Probe\r\n");
    EXPECT_EQ(nachher.substr(nachher.find("Zahlungsziel=30\r\n")),
              "Zahlungsziel=30\r\nGiroCode=ja\r\n" + abschnitt);
    Neustart();
    EXPECT_EQ(Firma().datev.beraternummer, "29098");
    EXPECT_EQ(Firma().name, "Weingut Probe");
}

TEST_F(DatevDlgTest, ExportsThePreviousMonthAsksBeforeAnOverlapAndRemembersEachExport) {
    FakeWindow& ohne = Exportdialog();
    EXPECT_EQ(ohne.Caption(), "DATEV-Export");
    ohne.Click(ControlId::kOk);
    EXPECT_EQ(app_.LastMessage().text,
              "Für den DATEV-Export fehlen noch: Beraternummer, Mandantennummer. Ihr "
              "Steuerberater nennt sie Ihnen; sie werden unter Optionen/DATEV-Einstellungen "
              "eingetragen. Es wurde keine Datei geschrieben."_w);
    EXPECT_TRUE(app_.SaveRequests().empty());
    EXPECT_FALSE(ohne.IsClosed());
    Firma().datev.beraternummer = "29098";
    Firma().datev.mandantennummer = "55003";

    // November, the month before the clock's 6 December.
    FakeWindow& w = Exportdialog();
    EXPECT_EQ(w.Text(X::kVonTag) + "." + w.Text(X::kVonMonat) + "." + w.Text(X::kVonJahr),
              "1.11.2026");
    EXPECT_EQ(w.Text(X::kBisTag) + "." + w.Text(X::kBisMonat) + "." + w.Text(X::kBisJahr),
              "30.11.2026");
    EXPECT_EQ(w.Text(X::kUmfang), "2 Rechnungen, zusammen 104,70 EUR");
    // "H": the last 21 days, which holds the undated invoice of today.
    w.Click(X::kHeute);
    EXPECT_EQ(w.Text(X::kVonTag) + "." + w.Text(X::kVonMonat), "15.11");
    EXPECT_EQ(w.Text(X::kBisTag) + "." + w.Text(X::kBisMonat), "6.12");
    EXPECT_EQ(w.Text(X::kUmfang), "3 Rechnungen, zusammen 108,70 EUR");
    w.Type(X::kBisJahr, "");
    EXPECT_EQ(w.Text(X::kUmfang), "");
    w.Type(X::kVonTag, "1");
    w.Type(X::kBisTag, "30");
    w.Type(X::kBisMonat, "11");
    w.Type(X::kBisJahr, "2026");
    EXPECT_EQ(w.Text(X::kUmfang), "2 Rechnungen, zusammen 104,70 EUR");

    app_.SaveFileAnswer(std::nullopt);
    w.Click(ControlId::kOk);
    ASSERT_EQ(app_.SaveRequests().size(), 1u);
    EXPECT_EQ(app_.SaveRequests()[0].title, "DATEV-Export");
    EXPECT_EQ(app_.SaveRequests()[0].fileName, "EXTF_Buchungsstapel_20261101_20261130.csv");
    EXPECT_EQ(app_.SaveRequests()[0].defaultExt, "csv");
    EXPECT_FALSE(w.IsClosed());
    EXPECT_FALSE(std::filesystem::exists(kVermerke));

    app_.SaveFileAnswer(SaveFileResult{"EXTF_november.csv", 1});
    w.Click(ControlId::kOk);
    ASSERT_TRUE(w.IsClosed());
    EXPECT_EQ(app_.StatusMessages().back(),
              "DATEV-Stapel gespeichert: EXTF_november.csv (2 Rechnungen)");
    const std::string kopf =
        "\"EXTF\";700;21;\"Buchungsstapel\";13;20261206090503000;;\"RK\";\"" +
        DatevExport::Benutzer() +
        "\";\"\";29098;55003;20260101;4;20261101;20261130;\"Rechnungsausgang 11/2026\";\"\";1;0;"
        "0;\"EUR\";;\"\";;;\"03\";;;\"\";\"\"\r\n";
    const std::string datei = ReadBytes("EXTF_november.csv");
    const std::size_t zweite = datei.find("\r\n") + 2;
    const std::size_t dritte = datei.find("\r\n", zweite) + 2;
    EXPECT_EQ(datei.substr(0, zweite), kopf);
    const std::string spalten =
        "Umsatz (ohne Soll/Haben-Kz);Soll/Haben-Kennzeichen;WKZ Umsatz;Kurs;Basis-Umsatz;WKZ";
    EXPECT_EQ(datei.substr(zweite, spalten.size()), spalten);
    // A quote in a name is doubled; the name is in the program's code page.
    EXPECT_EQ(datei.substr(dritte),
              Buchung("75,00", "10001", "1511", "0", "Rechnung 0 Hans Müller"_w, "15122026") +
                  Buchung("29,70", "10002", "3011", "1", "Rechnung 1 Eva Berg \"\"am Hang\"\"",
                          "30122026"));
    EXPECT_EQ(ReadBytes(kVermerke), "1.11.2026;30.11.2026;6.12.2026 9:05:03;2;104,70\r\n");

    // Half of November again: asked first, and No changes nothing.
    app_.ClearMessages();
    FakeWindow& noch = Exportdialog();
    noch.Type(X::kVonTag, "16");
    noch.Type(X::kBisTag, "15");
    noch.Type(X::kBisMonat, "12");
    app_.Answer(Answer::No);
    noch.Click(ControlId::kOk);
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().text,
              "Der Zeitraum 16.11.2026 bis 15.12.2026 überschneidet sich mit dem DATEV-Export "
              "vom 6.12.2026 9:05 (1.11.2026 bis 30.11.2026, 2 Rechnungen, 104,70 EUR). "
              "Rechnungen, die der Steuerberater schon hat, würden doppelt gebucht. Möchten Sie "
              "den Zeitraum trotzdem exportieren?"_w);
    EXPECT_EQ(app_.LastMessage().buttons, MessageButtons::YesNo);
    EXPECT_EQ(app_.LastMessage().defaultButton, Answer::No);
    EXPECT_EQ(app_.SaveRequests().size(), 2u);
    EXPECT_FALSE(noch.IsClosed());
    app_.Answer(Answer::Yes);
    app_.SaveFileAnswer(SaveFileResult{"EXTF_nochmal.csv", 1});
    noch.Click(ControlId::kOk);
    ASSERT_TRUE(noch.IsClosed());
    EXPECT_EQ(app_.SaveRequests().back().fileName, "EXTF_Buchungsstapel_20261116_20261215.csv");
    EXPECT_EQ(ReadBytes(kVermerke),
              "1.11.2026;30.11.2026;6.12.2026 9:05:03;2;104,70\r\n"
              "16.11.2026;15.12.2026;6.12.2026 9:05:03;2;33,70\r\n");

    // Into the next fiscal year: refused before any file is asked for.
    app_.ClearMessages();
    FakeWindow& jahr = Exportdialog();
    jahr.Type(X::kBisTag, "31");
    jahr.Type(X::kBisMonat, "1");
    jahr.Type(X::kBisJahr, "2027");
    jahr.Click(ControlId::kOk);
    EXPECT_EQ(app_.LastMessage().text,
              "Der Zeitraum 1.11.2026 bis 31.1.2027 reicht über den Beginn des "
              "Wirtschaftsjahres am 1.1.2027 hinaus. DATEV nimmt einen Buchungsstapel nur "
              "innerhalb eines Wirtschaftsjahres an: Bitte exportieren Sie den Zeitraum "
              "1.11.2026 bis 31.12.2026 und den Zeitraum 1.1.2027 bis 31.1.2027 getrennt. Es "
              "wurde keine Datei geschrieben."_w);
    EXPECT_EQ(app_.SaveRequests().size(), 3u);
    EXPECT_FALSE(jahr.IsClosed());
    // An invoice dated months after it was captured belongs to its month.
    jahr.Type(X::kVonMonat, "3");
    jahr.Type(X::kVonJahr, "2027");
    jahr.Type(X::kBisMonat, "3");
    EXPECT_EQ(jahr.Text(X::kUmfang), "1 Rechnung, zusammen 16,00 EUR");
}

}  // namespace
