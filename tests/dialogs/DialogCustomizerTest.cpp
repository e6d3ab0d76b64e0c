#include "dialogs/DialogCustomizer.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/GeoGruppe.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/FakeServices.h"

namespace {

class DialogCustomizerTest : public ::testing::Test {
  protected:
    void TearDown() override { IoFaults::ClearHook(); }

    DialogCustomizerTest() {
        app_.SetLayoutDir(REBKONTOR_LAYOUTS);
        Neu();
    }

    // The managers as a fresh start would read them.
    void Neu() {
        customizer_.reset();
        preise_.reset();
        gruppen_.reset();
        gruppen_ = std::make_unique<GeoGruppe>("daten/geogruppe.txt");
        preise_ = std::make_unique<PreisVerwaltung>("daten/weinlisten.txt", "daten");
        customizer_ = std::make_unique<Customizer>("daten/preferences.dat");
        verwaltungen_.geoGruppe = gruppen_.get();
        verwaltungen_.preisVerwaltung = preise_.get();
        verwaltungen_.customizer = customizer_.get();
    }

    FakeWindow& Oeffnen() {
        dialog_ = std::make_unique<DialogCustomizer>(verwaltungen_);
        return app_.Show(*dialog_);
    }

    TempDir dir_{true};
    FixedClock clock_{6, 12, 2026};
    std::unique_ptr<GeoGruppe> gruppen_;
    std::unique_ptr<PreisVerwaltung> preise_;
    std::unique_ptr<Customizer> customizer_;
    Verwaltungen verwaltungen_;
    FakeServices app_;
    std::unique_ptr<DialogCustomizer> dialog_;
};

const std::string kGruppeLaenge =
    "Das Kürzel für die Geogruppe sollte aus 2-8 Buchstaben bestehen."_w;
const std::string kGruppeDoppelt =
    "Diese Geogruppe existiert bereits in der Liste. Vergeben Sie bitte nur Namen, die noch nicht "
    "vorkommen.";
const std::string kListeLaenge =
    "Das Kürzel für die Preisliste sollte aus 2-8 Buchstaben bestehen."_w;
const std::string kListeDoppelt =
    "Diese Bezeichnung für eine Preisliste existiert bereits. Vergeben Sie bitte nur Namen, die "
    "noch nicht vorkommen."_w;

TEST_F(DialogCustomizerTest, ShowsTheSettingsAndTheNamesInTheirOrder) {
    gruppen_->AddGeoGruppe("Mosel");
    gruppen_->AddGeoGruppe("Baden");
    preise_->AddPreisliste("Privat");
    customizer_->mwst = 7.0f;
    customizer_->SetWaehrung("EUR");
    customizer_->preiseInEuro = 1;

    FakeWindow& w = Oeffnen();
    EXPECT_EQ(w.Caption(), "Grundeinstellungen für Rebkontor"_w);
    EXPECT_EQ(w.Text(108), "7.00");
    EXPECT_EQ(w.Text(109), "EUR");
    EXPECT_EQ(w.Text(113), "31");
    EXPECT_EQ(w.Text(114), Customizer::kStandardBemerkung);
    EXPECT_TRUE(w.IsChecked(110));
    EXPECT_FALSE(w.IsChecked(111));
    EXPECT_EQ(w.Items(104), (std::vector<std::string>{"Mosel", "Baden"}));
    EXPECT_EQ(w.Items(106), std::vector<std::string>{"Privat"});
    EXPECT_EQ(w.Limit(104), 8);
    EXPECT_EQ(w.Limit(114), 299);
}

TEST_F(DialogCustomizerTest, GroupNamesNeedTwoToEightCharactersAndMustBeNew) {
    FakeWindow& w = Oeffnen();
    w.Type(104, "M");
    w.Click(105);
    EXPECT_EQ(app_.LastMessage().text, kGruppeLaenge);
    EXPECT_EQ(app_.LastMessage().caption, "Geogruppe hinzufügen"_w);
    EXPECT_EQ(w.Text(104), "M");  // left for correction

    // The field takes no ninth character; a longer text that reached it
    // anyway is refused.
    w.Type(104, "Rheinhess");
    EXPECT_EQ(w.Text(104), "Rheinhes");
    w.SetText(104, "Rheinhess");
    w.Click(105);
    EXPECT_EQ(app_.Messages().size(), 2u);
    EXPECT_EQ(gruppen_->Count(), 0u);
    EXPECT_FALSE(FileExists("daten/geogruppe.txt") && FileSize("daten/geogruppe.txt") > 0);

    w.Type(104, "Ahr");
    w.Click(105);
    w.Type(104, "Rheinhes");
    w.Click(105);
    w.Type(104, "ab");
    w.Click(105);
    EXPECT_EQ(app_.Messages().size(), 2u);
    EXPECT_EQ(w.Items(104), (std::vector<std::string>{"Ahr", "Rheinhes", "ab"}));
    EXPECT_EQ(ReadBytes("daten/geogruppe.txt"), "Ahr\r\nRheinhes\r\nab");

    w.Type(104, "Ahr");
    w.Click(105);
    EXPECT_EQ(app_.LastMessage().text, kGruppeDoppelt);
    w.Type(104, "ahr");  // the comparison is case-sensitive
    w.Click(105);
    EXPECT_EQ(app_.Messages().size(), 3u);
    EXPECT_EQ(ReadBytes("daten/geogruppe.txt"), "Ahr\r\nRheinhes\r\nab\r\nahr");
}

TEST_F(DialogCustomizerTest, PriceListsAreNamedWithTheSameRulesAndGetTheirFile) {
    FakeWindow& w = Oeffnen();
    w.Type(106, "P");
    w.Click(107);
    EXPECT_EQ(app_.LastMessage().text, kListeLaenge);
    EXPECT_EQ(app_.LastMessage().caption, "Preisliste hinzufügen"_w);
    w.Type(106, "Privat");
    w.Click(107);
    EXPECT_EQ(preise_->count, 1);
    EXPECT_TRUE(FileExists("daten/0.wl"));
    w.Click(107);
    EXPECT_EQ(app_.LastMessage().text, kListeDoppelt);
    EXPECT_EQ(preise_->count, 1);

    // A 21st list is refused with a message, not with an exception.
    for (int i = 1; i < 20; ++i) {
        w.Type(106, "Liste" + std::to_string(i));
        w.Click(107);
    }
    EXPECT_EQ(preise_->count, 20);
    w.Type(106, "Liste20");
    w.Click(107);
    EXPECT_EQ(preise_->count, 20);
    EXPECT_EQ(app_.LastMessage().text, "Mehr als 20 Preislisten dürfen nicht erzeugt werden"_w);
    EXPECT_EQ(w.ItemCount(106), 20);
}

TEST_F(DialogCustomizerTest, OkTakesOverClampsAndStores) {
    FakeWindow& w = Oeffnen();
    w.Click(110);
    w.Click(111);
    w.Type(108, "19.5");
    w.Type(109, "Euro");
    w.Type(113, "-5");
    w.Type(114, "Frei Haus:");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), 1);
    EXPECT_EQ(w.Text(113), "0");

    Neu();
    EXPECT_EQ(customizer_->preiseInEuro, 1);
    EXPECT_EQ(customizer_->mwstEnthalten, 1);
    EXPECT_FLOAT_EQ(customizer_->mwst, 19.5f);
    EXPECT_EQ(customizer_->Waehrung(), "Euro");
    EXPECT_EQ(customizer_->vordatierungTage, 0);
    EXPECT_EQ(customizer_->Bemerkung(), "Frei Haus:");

    FakeWindow& w2 = Oeffnen();
    w2.Type(113, "5000");
    w2.Type(109, "Euro-Cent1");  // ten characters: eight are kept
    w2.Type(108, "kein Wert");
    w2.PressEnter();
    EXPECT_EQ(w2.Text(113), "1000");
    Neu();
    EXPECT_EQ(customizer_->vordatierungTage, 1000);
    EXPECT_EQ(customizer_->Waehrung(), "Euro-Cen");
    EXPECT_EQ(customizer_->mwst, 0.0f);
    EXPECT_EQ(FileSize("daten/preferences.dat"), 336);
}

TEST_F(DialogCustomizerTest, ClosingOtherwiseLeavesTheSettingsAndKeepsAddedNames) {
    FakeWindow& w = Oeffnen();
    w.Type(104, "Pfalz");
    w.Click(105);
    w.Type(113, "12");
    w.Click(110);
    w.CloseBox();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), 2);
    EXPECT_EQ(customizer_->vordatierungTage, 31);
    EXPECT_EQ(customizer_->preiseInEuro, 0);
    EXPECT_FALSE(FileExists("daten/preferences.dat"));
    EXPECT_EQ(gruppen_->Count(), 1u);
}

TEST_F(DialogCustomizerTest, VatTakesACommaAndMustLieBetweenNoughtAndHundred) {
    FakeWindow& w = Oeffnen();
    w.Type(113, "12");
    for (const char* falsch : {"150", "-1", "100,01"}) {
        w.Type(108, falsch);
        w.PressEnter();
        EXPECT_FALSE(w.IsClosed()) << falsch;
        EXPECT_EQ(app_.LastMessage().text,
                  "Die Mehrwertsteuer muss zwischen 0 und 100 % liegen."_w);
        EXPECT_EQ(w.FocusedControl(), 108);
    }
    EXPECT_FALSE(FileExists("daten/preferences.dat"));
    EXPECT_EQ(customizer_->vordatierungTage, 31);

    w.Type(108, "19,5");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    Neu();
    EXPECT_EQ(customizer_->mwst, 19.5f);
    EXPECT_EQ(customizer_->vordatierungTage, 12);
    EXPECT_EQ(Oeffnen().Text(108), "19.50");
}

TEST_F(DialogCustomizerTest, SettingsThatCannotBeStoredAreReportedAndNotTakenOver) {
    customizer_->mwst = 7.0f;
    ASSERT_TRUE(customizer_->Store());
    const std::string vorher = ReadBytes("daten/preferences.dat");
    const std::string meldung =
        "Die Grundeinstellungen konnten nicht gespeichert werden, denn die Datei "
        "daten/preferences.dat konnte nicht geschrieben werden. Sie bleibt, wie sie war; es "
        "gelten weiter die bisherigen Einstellungen.";

    // A folder the user may not write: not one of the stores succeeds. Then
    // a disk that fills up half-way: the third store fails after two went
    // through, and the file is put back.
    for (int fehlschlag : {1, 3}) {
        int umbenennungen = 0;
        IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
            if (pfad.find("preferences") == std::string::npos) {
                return 0;
            }
            if (fehlschlag == 1) {
                return op == IoFaults::Op::Open ? EACCES : 0;
            }
            return op == IoFaults::Op::Rename && ++umbenennungen == fehlschlag ? ENOSPC : 0;
        });
        app_.ClearMessages();
        FakeWindow& w = Oeffnen();
        w.Click(110);
        w.Type(108, "19,5");
        w.Type(109, "EUR");
        w.Type(113, "60");
        w.PressEnter();
        EXPECT_FALSE(w.IsClosed()) << fehlschlag;
        ASSERT_EQ(app_.Messages().size(), 1u);
        EXPECT_EQ(app_.LastMessage().text, meldung);
        EXPECT_EQ(app_.LastMessage().caption, "Grundeinstellungen");
        EXPECT_EQ(customizer_->preiseInEuro, 0);
        EXPECT_EQ(customizer_->mwst, 7.0f);
        EXPECT_EQ(customizer_->Waehrung(), "DM");
        EXPECT_EQ(customizer_->vordatierungTage, 31);
        IoFaults::ClearHook();
        EXPECT_EQ(ReadBytes("daten/preferences.dat"), vorher) << fehlschlag;
        w.CloseBox();
    }

    // Once the file can be written again, OK takes it all over.
    FakeWindow& w = Oeffnen();
    w.Type(108, "19,5");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    Neu();
    EXPECT_EQ(customizer_->mwst, 19.5f);
}

}  // namespace
