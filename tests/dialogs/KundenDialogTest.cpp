#include "dialogs/KundenDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/KundenListe.h"
#include "dialogs/RechnungsListe.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "storage/LogBuch.h"
#include "support/DialogFixture.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/FakeServices.h"

namespace {

constexpr const char* kKunden = "daten/kunden.dat";
constexpr const char* kLog = "daten/logbuch.txt";

class KundenDialogTest : public ::testing::Test {
  protected:
    KundenDialogTest() {
        app_.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
        preise_.AddPreisliste("Privat");
        preise_.AddPreisliste("Handel");
        gruppen_.AddGeoGruppe("Mosel");
        gruppen_.AddGeoGruppe("Ahr");
        verwaltungen_.preisVerwaltung = &preise_;
        verwaltungen_.geoGruppe = &gruppen_;
        verwaltungen_.logBuch = &log_;
        Neu();
    }

    // The customers as the next start reads them from disk.
    void Neu() {
        kunden_.reset();
        KundenVerwaltung::maxNummer = 0;
        kunden_ = std::make_unique<KundenVerwaltung>(kKunden);
        kunden_->SetLogBuch(&log_);
        verwaltungen_.kundenVerwaltung = kunden_.get();
    }

    void Anlegen(const char* nachname, const char* vorname = "", int plz = 0, const char* ort = "",
                 int gruppe = 0) {
        Kunde k;
        FixedText::Set(k.Anrede, "Herrn");
        FixedText::Set(k.Nachname, CodePage::Utf8ToCp1252(nachname));
        FixedText::Set(k.Vorname, vorname);
        FixedText::Set(k.Strasse, std::string("Weg ") + vorname);
        k.PLZ = plz;
        FixedText::Set(k.Ort, ort);
        k.kundenGruppe = static_cast<std::int16_t>(gruppe);
        kunden_->AddKunde(k);
    }

    FakeWindow& Oeffnen(int modus, const Kunde* kunde = nullptr) {
        dialog_ = std::make_unique<KundenDialog>(modus, verwaltungen_, kunde);
        return app_.Show(*dialog_);
    }

    // Two timer ticks: the pause after which the count runs.
    static void Pause(FakeWindow& w) {
        w.FireTimer(1);
        w.FireTimer(1);
    }

    std::string Log() const { return FileExists(kLog) ? ReadBytes(kLog) : std::string(); }

    TempDir dir_{true};
    FixedClock uhr_{6, 12, 2026, 10, 0, 0};
    PreisVerwaltung preise_{"daten/weinlisten.txt", "daten"};
    GeoGruppe gruppen_{"daten/geogruppe.txt"};
    LogBuch log_{kLog};
    std::unique_ptr<KundenVerwaltung> kunden_;
    Verwaltungen verwaltungen_;
    FakeServices app_;
    std::unique_ptr<KundenDialog> dialog_;
};

const std::vector<int> kFormular = {101, 102, 103, 104, 105, 106, 107, 108, 109, 200, 202};

TEST_F(KundenDialogTest, EnteringStoresEachCustomerWithTheStampOfTheFormAndAsksBeforeClosing) {
    Anlegen("Acker", "Hans", 54470, "Bernkastel");
    FakeWindow& w = Oeffnen(KundenDialog::kErfassen);
    EXPECT_TRUE(w.IsShown(25002));
    for (int bild : {25000, 25001, 25003}) {
        EXPECT_FALSE(w.IsShown(bild)) << bild;
    }
    EXPECT_EQ(w.Items(101), (std::vector<std::string>{"Eheleute", "Firma", "Frau", "Herrn"}));
    EXPECT_EQ(w.Items(200), (std::vector<std::string>{"Privat", "Handel"}));
    EXPECT_EQ(w.Items(202), (std::vector<std::string>{"Mosel", "Ahr"}));
    EXPECT_EQ(w.Selected(200), 0);
    EXPECT_EQ(w.Selected(202), 0);
    EXPECT_EQ(w.Text(122), "Speichern");
    EXPECT_EQ(w.Text(201), "Formular löschen"_w);
    EXPECT_EQ(w.Text(105), "");  // no postcode: nothing stands in the field
    EXPECT_EQ(w.Limit(103), 30);
    EXPECT_EQ(w.Limit(105), 5);
    EXPECT_EQ(w.Limit(110), 255);
    EXPECT_FALSE(w.TimerRunning(1));

    // The town is proposed for a known postcode above 9999 only, and only
    // into an empty town field.
    w.Type(105, "01067");
    EXPECT_EQ(w.Text(106), "");
    w.Type(105, "5447");
    EXPECT_EQ(w.Text(106), "");
    w.Type(105, "54470");
    EXPECT_EQ(w.Text(106), "Bernkastel");

    // No surname: refused, nothing stored.
    w.Click(122);
    EXPECT_EQ(app_.LastMessage().text, "Es muß mindestens der Nachname angegeben werden"_w);
    EXPECT_EQ(app_.LastMessage().caption, "Kunden speichern");
    EXPECT_EQ(FileSize(kKunden), 528);

    // Enter moves on and does not close.
    w.Focus(103);
    w.Click(112);
    EXPECT_EQ(w.FocusedControl(), 104);
    EXPECT_FALSE(w.IsClosed());

    w.Type(101, "Frau");
    w.Type(103, "Berg");
    w.Type(110, "erste Zeile\nzweite Zeile");
    w.Choose(200, 1);
    w.Choose(202, "Ahr");
    uhr_.Advance(3600);
    w.Click(122);
    // The form is empty again for the next customer; the lists keep their choice.
    EXPECT_EQ(w.Text(103), "");
    EXPECT_EQ(w.Text(105), "");
    EXPECT_EQ(w.Text(106), "");
    EXPECT_EQ(w.Selected(202), 1);
    EXPECT_EQ(w.FocusedControl(), 103);
    // Nothing unsaved: closing does not ask.
    w.Type(103, "Dorn");
    uhr_.Advance(3600);
    w.Click(122);

    // Unsaved input: the question, No keeps the form, Yes closes it.
    w.Type(103, "Ungespeichert");
    app_.Answer(Answer::No);
    w.Click(1);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().text,
              "Sie haben die eingegebenen Daten noch nicht gespeichert. Möchten Sie fortfahren?"_w);
    EXPECT_EQ(app_.LastMessage().caption, "Dialog beenden");
    app_.Answer(Answer::Yes);
    w.Click(1);
    EXPECT_TRUE(w.IsClosed());

    Neu();
    ASSERT_EQ(kunden_->Count(), 3u);
    const Kunde& berg = (*kunden_)[1];
    const Kunde& dorn = (*kunden_)[2];
    EXPECT_EQ(berg.nummer, 2);
    EXPECT_EQ(dorn.nummer, 3);
    EXPECT_STREQ(berg.Anrede, "Frau");
    EXPECT_STREQ(berg.Ort, "Bernkastel");
    EXPECT_EQ(berg.PLZ, 54470);
    EXPECT_STREQ(berg.bemerkung, "erste Zeile\r\nzweite Zeile");
    EXPECT_EQ(berg.preisliste, 1);
    EXPECT_EQ(berg.kundenGruppe, 1);
    EXPECT_EQ(berg.letzteRechnung, -1);
    // Both carry the moment the form was opened.
    EXPECT_EQ(berg.erfasstZeit, dorn.erfasstZeit);
    EXPECT_EQ(berg.erfasstDatum, dorn.erfasstDatum);
    EXPECT_EQ(berg.erfasstZeit, (*kunden_)[0].erfasstZeit);
    EXPECT_STREQ(dorn.Anrede, "");
    EXPECT_EQ(dorn.PLZ, 0);
}

TEST_F(KundenDialogTest, NoPostcodeIsAnEmptyFieldWhenEnteringAndWhenChanging) {
    Anlegen("Acker", "Hans", 55232, "Alzey");
    Anlegen("Ohne", "Ida");
    FakeWindow& w = Oeffnen(KundenDialog::kErfassen);
    // Typed where the cursor lands, after what the field shows: the postcode
    // stays whole and its town is proposed.
    w.Type(105, w.Text(105) + "55232");
    EXPECT_EQ(w.Text(105), "55232");
    EXPECT_EQ(w.Text(106), "Alzey");
    w.Type(103, "Berg");
    w.Click(122);
    EXPECT_EQ(w.Text(105), "");

    // Changing a customer without a postcode shows none and stores none.
    const Kunde ohne = *kunden_->GetKunde(2);
    FakeWindow& aendern = Oeffnen(KundenDialog::kAendern, &ohne);
    EXPECT_EQ(aendern.Text(105), "");
    aendern.Type(102, "Ina");
    app_.Answer(Answer::Yes);
    aendern.Click(122);
    const Kunde acker = *kunden_->GetKunde(1);
    EXPECT_EQ(Oeffnen(KundenDialog::kAendern, &acker).Text(105), "55232");

    Neu();
    EXPECT_EQ(kunden_->GetKunde(3)->PLZ, 55232);
    EXPECT_STREQ(kunden_->GetKunde(3)->Ort, "Alzey");
    EXPECT_STREQ(kunden_->GetKunde(2)->Vorname, "Ina");
    EXPECT_EQ(kunden_->GetKunde(2)->PLZ, 0);
}

TEST_F(KundenDialogTest, ARemarkIsMeasuredAsStoredAndNeverCutWithoutAWord) {
    // 85 short lines fit the field's 255 characters as typed, but take 340
    // bytes on disk, where each line break is CR LF.
    std::string lang;
    for (int i = 0; i < 85; ++i) {
        lang += "ab\n";
    }
    FakeWindow& w = Oeffnen(KundenDialog::kErfassen);
    w.Type(103, "Berg");
    w.Type(110, lang);
    ASSERT_EQ(w.Text(110), lang);
    w.Click(122);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Bemerkung ist zu lang: Es können höchstens 255 Zeichen gespeichert werden, und "
              "jeder Zeilenumbruch zählt dabei als zwei Zeichen. Bitte kürzen Sie die Bemerkung "
              "um 85 Zeichen."_w);
    EXPECT_EQ(app_.LastMessage().caption, "Kunden speichern");
    EXPECT_EQ(kunden_->Count(), 0u);
    EXPECT_EQ(w.Text(103), "Berg");
    EXPECT_EQ(w.Text(110), lang);
    EXPECT_EQ(w.FocusedControl(), 110);

    // 63 lines and three letters are 255 bytes stored: they fit, whole.
    std::string passt;
    for (int i = 0; i < 63; ++i) {
        passt += "ab\n";
    }
    passt += "xyz";
    w.Type(110, passt);
    w.Click(122);
    ASSERT_EQ(kunden_->Count(), 1u);

    // Changing: refused before the overwrite question, the stored customer
    // stays as it was.
    const Kunde berg = *kunden_->GetKunde(1);
    FakeWindow& aendern = Oeffnen(KundenDialog::kAendern, &berg);
    aendern.Type(110, passt + "\n");
    const std::size_t fragen = app_.Messages().size();
    aendern.Click(122);
    ASSERT_EQ(app_.Messages().size(), fragen + 1);
    EXPECT_EQ(app_.LastMessage().caption, "Vorgang Kundendaten verändern"_w);
    EXPECT_NE(app_.LastMessage().text.find("um 2 Zeichen"), std::string::npos);
    EXPECT_EQ(aendern.Text(110), passt + "\n");
    EXPECT_EQ(Log(), "");

    Neu();
    std::string gespeichert;
    for (int i = 0; i < 63; ++i) {
        gespeichert += "ab\r\n";
    }
    EXPECT_EQ(FixedText::Get(kunden_->GetKunde(1)->bemerkung), gespeichert + "xyz");
}

TEST_F(KundenDialogTest, TheImportWordsAskAndOnlyTheExactWordsImport) {
    Anlegen("Alt");
    WriteBytes("kunden.csv",
               "Karl Ernst Müller;Hauptstr. 1;D-55234;Alzey;06731;;k@m.de\r\n"
               "Eva Groß;Weg 2;55116;Mainz;;;Stammkundin\r\n"_w);
    FakeWindow& w = Oeffnen(KundenDialog::kErfassen);
    w.Type(110, "import csv");
    app_.Answer(Answer::No);
    w.Click(122);
    EXPECT_EQ(app_.LastMessage().text,
              "Soll die Kundendatei kunden.csv importiert werden? VORSICHT: Dabei gehen alle "
              "bisher eingegebenen Kunden verloren!");
    EXPECT_EQ(app_.LastMessage().caption, "KundenDialog::CmStore()");
    EXPECT_EQ(kunden_->Count(), 1u);

    app_.Answer(Answer::Yes);
    w.Click(122);
    EXPECT_EQ(app_.LastMessage().text, "Die CSV Kundendatei wurde importiert");
    EXPECT_EQ(app_.Cursors(), (std::vector<std::string>{"wait", "arrow"}));
    EXPECT_EQ(w.Text(110), "import csv");  // nothing else happens

    // Other letters are an ordinary remark.
    w.Type(103, "Neu");
    w.Type(110, "Import CSV");
    w.Click(122);
    // A missing file is told and changes nothing.
    std::filesystem::remove("kunden.csv");
    w.Type(110, "import csv");
    app_.Answer(Answer::Yes);
    w.Click(122);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei kunden.csv konnte nicht geöffnet werden (die Datei gibt es nicht). Die "
              "Kundendaten bleiben unverändert."_w);
    EXPECT_FALSE(app_.IsWaiting());

    Neu();
    ASSERT_EQ(kunden_->Count(), 3u);
    EXPECT_STREQ((*kunden_)[0].Vorname, "Karl Ernst");
    EXPECT_EQ((*kunden_)[0].nummer, 2);
    EXPECT_STREQ((*kunden_)[1].bemerkung, "Stammkundin");
    EXPECT_STREQ((*kunden_)[2].Nachname, "Neu");
    EXPECT_STREQ((*kunden_)[2].bemerkung, "Import CSV");
    EXPECT_EQ((*kunden_)[2].nummer, 4);
}

TEST_F(KundenDialogTest, SearchingCountsAfterAPauseAndFillsTheFormWithASingleHit) {
    Anlegen("Müller", "Anna", 54470, "Bernkastel");
    Anlegen("Maier", "Bert");
    Anlegen("Berg", "Carl");
    Anlegen("Münch", "Dora");
    FakeWindow& w = Oeffnen(KundenDialog::kSuchen);
    EXPECT_TRUE(w.IsShown(25003));
    EXPECT_FALSE(w.IsShown(25002));
    EXPECT_EQ(w.TimerInterval(1), 200);
    EXPECT_EQ(w.FocusedControl(), 103);
    EXPECT_FALSE(w.IsEnabled(110));

    // No input: nothing is counted, the button stays off.
    Pause(w);
    EXPECT_FALSE(w.IsEnabled(122));
    EXPECT_EQ(w.Text(111), "");

    w.Type(103, "M");
    w.FireTimer(1);
    EXPECT_EQ(w.Text(111), "");  // the first tick only waits
    EXPECT_EQ(w.Text(122), "&Trefferliste");
    EXPECT_FALSE(w.IsEnabled(122));
    w.FireTimer(1);
    EXPECT_EQ(w.Text(111), "3");
    EXPECT_TRUE(w.IsEnabled(122));
    w.FireTimer(1);  // once per pause
    EXPECT_TRUE(w.IsEnabled(122));

    // The postcode does not look up a town while searching.
    w.Type(105, "54470");
    EXPECT_EQ(w.Text(106), "");
    w.Type(105, "");

    // The hit list: the three matches in file order, green first.
    app_.OnExecute([&](FakeWindow& liste) {
        ASSERT_EQ(liste.RowCount(101), 3);
        EXPECT_EQ(liste.RowText(101, 0), "Herrn Anna Müller"_w);
        EXPECT_EQ(liste.RowText(101, 1), "Herrn Bert Maier");
        EXPECT_EQ(liste.RowText(101, 2), "Herrn Dora Münch"_w);
        EXPECT_EQ(liste.Cell(101, 0, 2), "54470");
        EXPECT_EQ(liste.Cell(101, 0, 3), "Bernkastel");
        EXPECT_EQ(liste.RowColour(101, 0), (Rgb{192, 255, 192}));
        EXPECT_EQ(liste.RowColour(101, 1), (Rgb{255, 255, 255}));
        EXPECT_EQ(liste.RowColour(101, 2), (Rgb{192, 255, 192}));
        EXPECT_FALSE(liste.IsShown(103));
        liste.Click(2);
    });
    Pause(w);
    w.Click(122);
    EXPECT_EQ(app_.Executed(), std::vector<int>{2});
    EXPECT_FALSE(w.IsClosed());

    // One hit: the form shows that customer, locked, and offers its invoices.
    w.Type(103, "Mü"_w);
    w.Type(102, "D");
    Pause(w);
    EXPECT_EQ(w.Text(111), "1");
    EXPECT_EQ(w.Text(122), "&Rechnungen");
    EXPECT_TRUE(w.IsEnabled(122));
    EXPECT_EQ(w.Text(103), "Münch"_w);
    EXPECT_EQ(w.Text(104), "Weg Dora");
    EXPECT_EQ(dialog_->Formular().nummer, 4);
    for (int feld : kFormular) {
        EXPECT_FALSE(w.IsEnabled(feld)) << feld;
    }

    // Clearing unlocks the form and counts everybody after the next pause.
    w.Click(201);
    for (int feld : kFormular) {
        EXPECT_TRUE(w.IsEnabled(feld)) << feld;
    }
    EXPECT_EQ(w.Text(103), "");
    Pause(w);
    EXPECT_EQ(w.Text(111), "4");
    EXPECT_EQ(w.Text(122), "&Trefferliste");

    // Searching never asks before closing.
    w.Type(103, "B");
    w.CloseBox();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(app_.PendingAnswers(), 0u);
}

TEST_F(KundenDialogTest, TheHitListChangesAndDeletesWithItsQuestions) {
    Anlegen("Müller", "Anna", 54470, "Bernkastel", 1);
    Anlegen("Maier", "Bert");
    Anlegen("Berg", "Carl");
    FakeWindow& w = Oeffnen(KundenDialog::kSuchen);
    w.Type(103, "M");
    Pause(w);

    const std::string logVorher = Log();
    app_.OnExecute([&](FakeWindow& liste) {
        EXPECT_FALSE(liste.IsEnabled(104));
        EXPECT_FALSE(liste.IsEnabled(102));
        ASSERT_TRUE(liste.PickRow(101, 0));
        EXPECT_EQ(liste.Text(107), "Herrn Anna Müller"_w);
        EXPECT_EQ(liste.Text(111), "54470 Bernkastel");
        EXPECT_EQ(liste.Text(116), "KundenGruppe: Ahr Preisliste: Privat");
        EXPECT_TRUE(liste.IsEnabled(104));

        // Change: No first (nothing changes, no log line), then Yes.
        app_.OnExecute([&](FakeWindow& form) {
            EXPECT_TRUE(form.IsShown(25000));
            EXPECT_FALSE(form.IsEnabled(201));
            EXPECT_EQ(form.Text(103), "Müller"_w);
            form.Type(104, "Neuer Weg 5");
            app_.Answer(Answer::No);
            form.Click(122);
            EXPECT_EQ(app_.LastMessage().text, "Die Kundenkartei bleibt unverändert"_w);
            EXPECT_EQ(app_.LastMessage().caption, "Vorgang Kundendaten verändern"_w);
            EXPECT_EQ(Log(), logVorher);
            EXPECT_STREQ(kunden_->GetKunde(1)->Strasse, "Weg Anna");
            app_.Answer(Answer::Yes);
            form.Click(122);
            EXPECT_FALSE(form.IsClosed());  // stays open after a change
            form.Click(1);
        });
        liste.Click(104);
        EXPECT_EQ(liste.Cell(101, 0, 1), "Neuer Weg 5");  // built again
        EXPECT_EQ(liste.Text(107), "");

        // Delete: No keeps the customer, Yes removes it.
        liste.PickRow(101, 1);
        app_.Answer(Answer::No);
        liste.Click(102);
        EXPECT_EQ(app_.LastMessage().text, "Der Kunde verbleibt im Datenbestand");
        EXPECT_EQ(app_.LastMessage().caption, "Vorgang Kunde löschen"_w);
        EXPECT_EQ(liste.RowCount(101), 2);
        app_.Answer(Answer::Yes);
        liste.Click(102);
        EXPECT_EQ(liste.RowCount(101), 1);
        liste.Click(2);
    });
    w.Click(122);

    Neu();
    ASSERT_EQ(kunden_->Count(), 2u);
    EXPECT_STREQ((*kunden_)[0].Strasse, "Neuer Weg 5");
    EXPECT_EQ((*kunden_)[0].kundenGruppe, 1);
    EXPECT_STREQ((*kunden_)[1].Nachname, "Berg");
    const std::string log = Log();
    EXPECT_NE(log.find(">> KUNDE GEÄNDERT << (erfasst am 6.12.2026 10:0:0) -> 1,\"Herrn\",\"Anna\","
                       "\"Müller\",\"Weg Anna\",54470"_w),
              std::string::npos);
    EXPECT_NE(log.find(">> KUNDE GELÖSCHT << (erfasst am 6.12.2026 10:0:0) -> 2,"_w),
              std::string::npos);
}

TEST_F(KundenDialogTest, AChangeKeepsNumberStampAndTheInvoiceStoredMeanwhile) {
    Anlegen("Acker", "Hans");
    const Kunde kopie = *kunden_->GetKunde(1);
    uhr_.Advance(86400);
    FakeWindow& w = Oeffnen(KundenDialog::kAendern, &kopie);
    w.Type(103, "Ackermann");
    // Meanwhile an invoice for the customer moves the head of its chain on.
    kunden_->GetKunde(1)->letzteRechnung = 7;
    kunden_->Store(kunden_->GetKunde(1));
    app_.Answer(Answer::Yes);
    w.Click(122);
    w.Click(1);  // stored: no question
    EXPECT_TRUE(w.IsClosed());

    Neu();
    const Kunde& k = (*kunden_)[0];
    EXPECT_STREQ(k.Nachname, "Ackermann");
    EXPECT_EQ(k.nummer, 1);
    EXPECT_EQ(k.letzteRechnung, 7);
    EXPECT_EQ(k.erfasstDatum, kopie.erfasstDatum);
    EXPECT_EQ(k.erfasstZeit, kopie.erfasstZeit);
}

// Choosing the customer of a new invoice, on a whole data set.
class KundenRechnungTest : public DialogFixture {
  protected:
    KundenRechnungTest() {
        V().preisVerwaltung->AddPreisliste("Privat");
        mueller_ = KundeAnlegen("M\xFCller");
        maier_ = KundeAnlegen("Maier");
        berg_ = KundeAnlegen("Berg");
    }

    unsigned Rechnungen(std::int32_t kunde) {
        GenericList<Rechnung> liste;
        Rv().GetRechnungenVonKunde(kunde, liste, false);
        return liste.Count();
    }

    std::int32_t mueller_ = 0;
    std::int32_t maier_ = 0;
    std::int32_t berg_ = 0;
};

TEST_F(KundenRechnungTest, OneMatchOpensTheEditorAndSeveralTheHitListWithRechnung) {
    FakeWindow& w = Oeffnen<KundenDialog>(KundenDialog::kRechnung, V());
    EXPECT_TRUE(w.IsShown(25001));
    EXPECT_FALSE(w.IsEnabled(122));
    w.Type(103, "B");
    w.FireTimer(1);
    EXPECT_EQ(w.Text(122), "Trefferliste");  // a tick without a count
    EXPECT_TRUE(w.IsEnabled(122));
    w.FireTimer(1);
    EXPECT_EQ(w.Text(122), "Neue Rechnung");
    EXPECT_EQ(Logik<KundenDialog>(w).Formular().nummer, berg_);
    w.Click(122);
    EXPECT_EQ(app_.Executed(), std::vector<int>{3});
    EXPECT_TRUE(w.IsClosed());

    // Several matches: the hit list, whose "Rechnung" opens the editor for
    // the chosen customer and then closes the list.
    FakeWindow& mehrere = Oeffnen<KundenDialog>(KundenDialog::kRechnung, V());
    mehrere.Type(103, "M");
    mehrere.FireTimer(1);
    mehrere.FireTimer(1);
    EXPECT_EQ(mehrere.Text(122), "Trefferliste");
    app_.OnExecute([&](FakeWindow& liste) {
        EXPECT_TRUE(liste.IsShown(103));
        EXPECT_FALSE(liste.IsEnabled(103));
        liste.PickRow(101, 1);
        liste.Click(103);
        EXPECT_TRUE(liste.IsClosed());
    });
    mehrere.Click(122);
    EXPECT_EQ(app_.Executed(), (std::vector<int>{3, 2, 3}));
    EXPECT_FALSE(mehrere.IsClosed());
    mehrere.CloseBox();

    // Clicked before the count ran: the one match is still the customer of
    // the invoice, not the search template.
    FakeWindow& schnell = Oeffnen<KundenDialog>(KundenDialog::kRechnung, V());
    schnell.Type(103, "Be");
    schnell.FireTimer(1);
    schnell.Click(122);
    EXPECT_TRUE(schnell.IsClosed());

    Neustart();
    EXPECT_EQ(Rechnungen(berg_), 2u);
    EXPECT_EQ(Rechnungen(maier_), 1u);
    EXPECT_EQ(Rechnungen(mueller_), 0u);
    EXPECT_EQ(Rechnungen(Kunde::kOhneNummer), 0u);
}

TEST_F(KundenRechnungTest, ASingleHitListsTheCustomersInvoicesAndThenCloses) {
    RechnungSpeichern(berg_);
    RechnungSpeichern(maier_);
    RechnungSpeichern(berg_);
    FakeWindow& w = Oeffnen<KundenDialog>(KundenDialog::kSuchen, V());
    w.Type(103, "B");
    w.FireTimer(1);
    w.FireTimer(1);
    ASSERT_EQ(w.Text(122), "&Rechnungen");
    unsigned gezeigt = 0;
    app_.OnExecute([&](FakeWindow& liste) {
        gezeigt = static_cast<RechnungsListe&>(liste.Logic()).Rechnungen().Count();
    });
    w.Click(122);
    EXPECT_EQ(app_.Executed(), std::vector<int>{4});
    EXPECT_EQ(gezeigt, 2u);
    EXPECT_TRUE(w.IsClosed());
}

}  // namespace
