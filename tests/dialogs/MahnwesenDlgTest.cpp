#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/DruckDialog.h"
#include "dialogs/MahnwesenDlg.h"
#include "dialogs/OffenePostenDlg.h"
#include "documents/Dokumentausgabe.h"
#include "documents/RecordingCanvas.h"
#include "model/Mahntexte.h"
#include "model/MahnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "support/DialogFixture.h"

namespace {

// Keeps the letters a dialog saves as PDF, and writes a stand-in file.
class PdfMitschrift : public Dokumentausgabe {
  public:
    bool Pdf(const std::string&, Verwaltungen&, const Rechnung&, bool, bool, bool) override {
        return false;
    }
    bool Zugferd(const std::string&, Verwaltungen&, const Rechnung&, const std::string&,
                 std::string&) override {
        return false;
    }
    bool PdfAuftraege(const std::string& datei, const std::vector<PrintJob>& auftraege,
                      const std::string&) override {
        jobs = auftraege;
        WriteBytes(datei, "%PDF");
        return true;
    }
    std::vector<PrintJob> jobs;
};

// Every text a job draws on its pages, one line per text.
std::string Seitentext(const PrintJob& job) {
    std::string text;
    for (int seite = 1; seite <= job.pages; ++seite) {
        RecordingCanvas canvas;
        job.drawPage(canvas, seite, 0, 0, 2100, 2970);
        for (const auto& t : canvas.Texts()) {
            text += t.text + "\n";
        }
    }
    return CodePage::Cp1252ToUtf8(text);
}

// The text with every run of blanks made one, for lines laid out in columns.
std::string Eng(const std::string& text) {
    std::string eng;
    for (const char c : text) {
        if (c != ' ' || eng.empty() || eng.back() != ' ') {
            eng += c;
        }
    }
    return eng;
}

class MahnwesenDlgTest : public DialogFixture {
  protected:
    std::int32_t Rechnung_(std::int32_t kunde, Datum datum, float euro, float eingegangen = 0) {
        const std::int32_t id = RechnungSpeichern(kunde, {{1, 1, euro, euro}});
        Rechnung* r = Rv().GetRechnung(id);
        r->datum = datum.Julian();
        r->betragEingegangen = eingegangen;
        Rv().UpdateCurrentRechnung();
        return id;
    }
    MahnungsVerwaltung& Mv() { return bestand_->GetMahnungen(); }
    static void AlleWaehlen(FakeWindow& fenster) {
        for (int i = 0; i < fenster.RowCount(OffenePostenDlg::kListe); ++i) {
            fenster.PickRow(OffenePostenDlg::kListe, i, i > 0);
        }
    }
    int Zeile(FakeWindow& fenster, std::int32_t nummer) {
        for (int i = 0; i < fenster.RowCount(OffenePostenDlg::kListe); ++i) {
            if (fenster.Cell(OffenePostenDlg::kListe, i, 1) == std::to_string(nummer)) {
                return i;
            }
        }
        return -1;
    }
};

// Three customers: one never reminded with a partly paid invoice beside an
// unpaid one, one reminded once three weeks ago, one who paid after the
// first reminder. The letters go to the printer, are confirmed, and the
// levels and log lines are on disk; a level is set back; letters saved as
// PDF but not confirmed record nothing.
TEST_F(MahnwesenDlgTest, WholeDunningRunPrintsConfirmsAndRecords) {
    Einstellungen().preiseInEuro = 1;
    Einstellungen().mwst = 19.0f;
    Einstellungen().mwstEnthalten = 1;
    FixedText::Set(Einstellungen().waehrung, "EUR");
    WeinAnlegen(1, 1000);
    const std::int32_t huber = KundeAnlegen("Huber");
    const std::int32_t maier = KundeAnlegen("Maier");
    const std::int32_t schulz = KundeAnlegen("Schulz");
    const std::int32_t h1 = Rechnung_(huber, Datum(1, 9, 2026), 120.0f);
    const std::int32_t h2 = Rechnung_(huber, Datum(15, 9, 2026), 80.0f, 30.0f);
    const std::int32_t m1 = Rechnung_(maier, Datum(1, 8, 2026), 45.5f);
    const std::int32_t s1 = Rechnung_(schulz, Datum(1, 8, 2026), 60.0f);
    Mv().Vermerken(m1, Rv().GetRechnung(m1)->nummer, 1, Datum(15, 11, 2026), V().logBuch);
    Mv().Vermerken(s1, Rv().GetRechnung(s1)->nummer, 1, Datum(15, 11, 2026), V().logBuch);
    {
        Rechnung* r = Rv().GetRechnung(s1);
        r->betragEingegangen = 60.0f;  // paid after the reminder
        Rv().UpdateCurrentRechnung();
    }
    const std::int32_t nH1 = Rv().GetRechnung(h1)->nummer;
    const std::int32_t nH2 = Rv().GetRechnung(h2)->nummer;
    const std::int32_t nM1 = Rv().GetRechnung(m1)->nummer;

    FakeWindow& fenster = Oeffnen<OffenePostenDlg>(*bestand_);
    EXPECT_EQ(fenster.Text(OffenePostenDlg::kStichtag), "6.12.2026");
    EXPECT_TRUE(fenster.IsChecked(OffenePostenDlg::kNurUeberfaellig));
    ASSERT_EQ(fenster.RowCount(OffenePostenDlg::kListe), 3);
    EXPECT_EQ(fenster.Text(OffenePostenDlg::kStatus), "3 Rechnungen, offen zusammen EUR 215.50");
    const int zeileH2 = Zeile(fenster, nH2);
    ASSERT_GE(zeileH2, 0);
    EXPECT_EQ(fenster.RowText(OffenePostenDlg::kListe, zeileH2), "Huber");
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileH2, 3), "15.10.2026");
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileH2, 4), "52");
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileH2, 5), "80.00");
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileH2, 6), "30.00");
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileH2, 7), "50.00");
    const int zeileM1 = Zeile(fenster, nM1);
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileM1, 8), "1");
    EXPECT_EQ(fenster.Cell(OffenePostenDlg::kListe, zeileM1, 9), "15.11.2026");
    // All three are due for their next reminder.
    EXPECT_EQ(fenster.RowColour(OffenePostenDlg::kListe, zeileM1),
              OffenePostenDlg::kMahnungFaellig);

    // Nothing chosen, nothing to remind.
    EXPECT_FALSE(fenster.IsEnabled(OffenePostenDlg::kDrucken));
    EXPECT_FALSE(fenster.IsEnabled(OffenePostenDlg::kAnzeigen));

    AlleWaehlen(fenster);
    app_.OnExecute([](FakeWindow& druck) {
        EXPECT_FALSE(druck.IsShown(DruckDialog::kAusfertigungen));
        druck.Click(ControlId::kOk);
    });
    app_.Answer(Answer::Yes);
    fenster.Click(OffenePostenDlg::kDrucken);
    ASSERT_EQ(app_.Printed().size(), 2u);
    EXPECT_EQ(app_.LastMessage().text, OffenePostenDlg::kFrage);
    // The letters in the order of the list, which shows the longest due first.
    const std::string maierBrief = Eng(Seitentext(app_.Printed()[0]));
    const std::string huberBrief = Eng(Seitentext(app_.Printed()[1]));
    EXPECT_NE(huberBrief.find("Zahlungserinnerung"), std::string::npos) << huberBrief;
    EXPECT_NE(huberBrief.find("den offenen Betrag von EUR 170.00"), std::string::npos)
        << huberBrief;
    EXPECT_NE(huberBrief.find("fällig seit 1.10.2026"), std::string::npos) << huberBrief;
    EXPECT_NE(
        huberBrief.find("\n" + std::to_string(nH1) + " 1.9.2026 1.10.2026 120.00 0.00 120.00\n"),
        std::string::npos)
        << huberBrief;
    EXPECT_NE(
        huberBrief.find("\n" + std::to_string(nH2) + " 15.9.2026 15.10.2026 80.00 30.00 50.00\n"),
        std::string::npos)
        << huberBrief;
    EXPECT_NE(huberBrief.find("\n Mahngebühr EUR 0.00\n Jetzt fällig EUR 170.00\n"),
              std::string::npos)
        << huberBrief;
    EXPECT_NE(maierBrief.find("1. Mahnung"), std::string::npos) << maierBrief;
    EXPECT_NE(maierBrief.find(
                  "\n Summe offen EUR 45.50\n Mahngebühr EUR 5.00\n Jetzt fällig EUR 50.50\n"),
              std::string::npos)
        << maierBrief;
    EXPECT_EQ(maierBrief.find("Schulz"), std::string::npos);

    // Recorded on disk, each with its log line.
    const std::vector<std::string> log = LogZeilen();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], std::string(kStempel) + ">> MAHNSTUFE << Rechnung " +
                                       std::to_string(nM1) + " (Id " + std::to_string(m1) +
                                       "): 1 -> 2 am 6.12.2026");
    EXPECT_EQ(log.back(), std::string(kStempel) + ">> MAHNSTUFE << Rechnung " +
                              std::to_string(nH2) + " (Id " + std::to_string(h2) +
                              "): 0 -> 1 am 6.12.2026");
    Neustart();
    EXPECT_EQ(Mv().Stufe(h1), 1);
    EXPECT_EQ(Mv().Stufe(h2), 1);
    EXPECT_EQ(Mv().Stufe(m1), 2);
    EXPECT_EQ(Mv().LetzteMahnung(m1).Text(), "6.12.2026");
    EXPECT_EQ(Mv().Stufe(s1), 1);

    // Set back: the next reminder is again a payment reminder.
    FakeWindow& neu = Oeffnen<OffenePostenDlg>(*bestand_);
    EXPECT_EQ(neu.RowColour(OffenePostenDlg::kListe, Zeile(neu, nM1)), std::nullopt);
    neu.PickRow(OffenePostenDlg::kListe, Zeile(neu, nM1));
    app_.Answer(Answer::Yes);
    neu.Click(OffenePostenDlg::kZuruecksetzen);
    EXPECT_EQ(Mv().Stufe(m1), 0);
    EXPECT_EQ(LogZeilen().back(), std::string(kStempel) + ">> MAHNSTUFE << Rechnung " +
                                      std::to_string(nM1) + " (Id " + std::to_string(m1) +
                                      "): 2 -> 0");

    // Saved as PDF, not confirmed: nothing recorded.
    PdfMitschrift pdf;
    app_.SetDokumente(&pdf);
    neu.PickRow(OffenePostenDlg::kListe, Zeile(neu, nH1));
    app_.SaveFileAnswer(SaveFileResult{"mahnungen.pdf"});
    app_.Answer(Answer::No);
    neu.Click(OffenePostenDlg::kPdf);
    ASSERT_EQ(pdf.jobs.size(), 1u);
    EXPECT_NE(Seitentext(pdf.jobs[0]).find("1. Mahnung"), std::string::npos);
    EXPECT_EQ(ReadBytes("mahnungen.pdf"), "%PDF");
    EXPECT_EQ(app_.LastMessage().text, OffenePostenDlg::kFrage);
    EXPECT_EQ(Mv().Stufe(h1), 1);
    app_.SetDokumente(nullptr);

    // A key date that is no date empties the list and says so.
    neu.Type(OffenePostenDlg::kStichtag, "31.2.2026");
    EXPECT_EQ(neu.RowCount(OffenePostenDlg::kListe), 0);
    neu.Type(OffenePostenDlg::kStichtag, "1.10.2026");
    EXPECT_EQ(neu.RowCount(OffenePostenDlg::kListe), 1);
    neu.Click(OffenePostenDlg::kNurUeberfaellig);
    EXPECT_EQ(neu.RowCount(OffenePostenDlg::kListe), 3);
}

// Fees with a decimal comma or point are taken, a negative one or none at
// all is refused and nothing is stored; OK stores every field.
TEST_F(MahnwesenDlgTest, TextsAndFeesAreCheckedAndStored) {
    Mahntexte& texte = bestand_->GetMahntexte();
    FakeWindow& fenster = Oeffnen<MahnwesenDlg>(texte, bestand_->MahntexteDatei());
    EXPECT_EQ(fenster.Text(MahnwesenDlg::Feld(MahnwesenDlg::kTitel, 2)), "1. Mahnung");
    EXPECT_EQ(fenster.Text(MahnwesenDlg::Feld(MahnwesenDlg::kGebuehr, 3)), "10,00");
    EXPECT_EQ(fenster.Text(MahnwesenDlg::kTage), "14");

    fenster.Type(MahnwesenDlg::Feld(MahnwesenDlg::kGebuehr, 2), "-5");
    fenster.Click(ControlId::kOk);
    EXPECT_FALSE(fenster.IsClosed());
    EXPECT_NE(CodePage::Cp1252ToUtf8(app_.LastMessage().text)
                  .find("Die Gebühr der Stufe 2 »-5« ist kein Betrag"),
              std::string::npos);
    fenster.Type(MahnwesenDlg::Feld(MahnwesenDlg::kGebuehr, 2), "zwölf"_w);
    fenster.Click(ControlId::kOk);
    EXPECT_FALSE(fenster.IsClosed());
    EXPECT_FALSE(std::filesystem::exists("daten/mahnwesen.txt"));

    fenster.Type(MahnwesenDlg::Feld(MahnwesenDlg::kGebuehr, 2), "7,50");
    fenster.Type(MahnwesenDlg::Feld(MahnwesenDlg::kGebuehr, 3), "12.50");
    fenster.Type(MahnwesenDlg::Feld(MahnwesenDlg::kTitel, 3), "Letzte Mahnung");
    fenster.Type(MahnwesenDlg::Feld(MahnwesenDlg::kText, 1),
                 "Bitte zahlen Sie {Betrag}.\r\nDanke."_w);
    fenster.Type(MahnwesenDlg::kTage, "10");
    fenster.Click(ControlId::kOk);
    EXPECT_TRUE(fenster.IsClosed());
    EXPECT_EQ(texte.Von(2).gebuehr, 750);
    const std::string datei = ReadBytes("daten/mahnwesen.txt");
    EXPECT_NE(datei.find("Gebuehr2=7,50\r\nTitel3=Letzte Mahnung\r\n"), std::string::npos) << datei;
    EXPECT_NE(datei.find("Gebuehr3=12,50\r\n"), std::string::npos) << datei;
    EXPECT_NE(datei.find("Text1=Bitte zahlen Sie {Betrag}.\\nDanke.\r\n"), std::string::npos)
        << datei;
    EXPECT_NE(datei.find("TageBisNaechsteStufe=10\r\n"), std::string::npos) << datei;
    Neustart();
    EXPECT_EQ(bestand_->GetMahntexte().Von(3).titel, "Letzte Mahnung");
    EXPECT_EQ(bestand_->GetMahntexte().Von(1).text, "Bitte zahlen Sie {Betrag}.\nDanke.");
}

}  // namespace
