#include "dialogs/DialogCustomizer.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/GeoGruppe.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/IoFaults.h"
#include "support/DialogFixture.h"
#include "support/FileBytes.h"

namespace {

class DialogCustomizerTest : public DialogFixture {
  protected:
    void TearDown() override { IoFaults::ClearHook(); }

    FakeWindow& Oeffnen() { return DialogFixture::Oeffnen<DialogCustomizer>(V()); }
    GeoGruppe& Gruppen() { return *V().geoGruppe; }
    PreisVerwaltung& Preise() { return *V().preisVerwaltung; }
};

using D = DialogCustomizer;

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
    Gruppen().AddGeoGruppe("Mosel");
    Gruppen().AddGeoGruppe("Baden");
    Preise().AddPreisliste("Privat");
    Einstellungen().mwst = 7.0f;
    Einstellungen().SetWaehrung("EUR");
    Einstellungen().preiseInEuro = 1;

    FakeWindow& w = Oeffnen();
    EXPECT_EQ(w.Caption(), "Grundeinstellungen für Rebkontor"_w);
    EXPECT_EQ(w.Text(D::kMwst), "7.00");
    EXPECT_EQ(w.Text(D::kWaehrung), "EUR");
    EXPECT_EQ(w.Text(D::kVordatierung), "31");
    EXPECT_EQ(w.Text(D::kBemerkung), Customizer::kStandardBemerkung);
    EXPECT_TRUE(w.IsChecked(D::kPreiseInEuro));
    EXPECT_FALSE(w.IsChecked(D::kMwstEnthalten));
    EXPECT_EQ(w.Items(D::kGruppe), (std::vector<std::string>{"Mosel", "Baden"}));
    EXPECT_EQ(w.Items(D::kPreisliste), std::vector<std::string>{"Privat"});
    EXPECT_EQ(w.Limit(D::kGruppe), 8);
    EXPECT_EQ(w.Limit(D::kBemerkung), 299);
}

TEST_F(DialogCustomizerTest, GroupNamesNeedTwoToEightCharactersAndMustBeNew) {
    FakeWindow& w = Oeffnen();
    w.Type(D::kGruppe, "M");
    w.Click(D::kGruppeHinzufuegen);
    EXPECT_EQ(app_.LastMessage().text, kGruppeLaenge);
    EXPECT_EQ(app_.LastMessage().caption, "Geogruppe hinzufügen"_w);
    EXPECT_EQ(w.Text(D::kGruppe), "M");  // left for correction

    // The field takes no ninth character, from the user or the program
    // (as the real field does).
    w.Type(D::kGruppe, "Rheinhess");
    EXPECT_EQ(w.Text(D::kGruppe), "Rheinhes");
    w.SetText(D::kGruppe, "Rheinhessen");
    EXPECT_EQ(w.Text(D::kGruppe), "Rheinhes");
    EXPECT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(Gruppen().Count(), 0u);
    EXPECT_FALSE(FileExists("daten/geogruppe.txt") && FileSize("daten/geogruppe.txt") > 0);

    w.Type(D::kGruppe, "Ahr");
    w.Click(D::kGruppeHinzufuegen);
    w.Type(D::kGruppe, "Rheinhes");
    w.Click(D::kGruppeHinzufuegen);
    w.Type(D::kGruppe, "ab");
    w.Click(D::kGruppeHinzufuegen);
    EXPECT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(w.Items(D::kGruppe), (std::vector<std::string>{"Ahr", "Rheinhes", "ab"}));
    EXPECT_EQ(ReadBytes("daten/geogruppe.txt"), "Ahr\r\nRheinhes\r\nab");

    w.Type(D::kGruppe, "Ahr");
    w.Click(D::kGruppeHinzufuegen);
    EXPECT_EQ(app_.LastMessage().text, kGruppeDoppelt);
    w.Type(D::kGruppe, "ahr");  // the comparison is case-sensitive
    w.Click(D::kGruppeHinzufuegen);
    EXPECT_EQ(app_.Messages().size(), 2u);
    EXPECT_EQ(ReadBytes("daten/geogruppe.txt"), "Ahr\r\nRheinhes\r\nab\r\nahr");
}

TEST_F(DialogCustomizerTest, PriceListsAreNamedWithTheSameRulesAndGetTheirFile) {
    FakeWindow& w = Oeffnen();
    w.Type(D::kPreisliste, "P");
    w.Click(D::kPreislisteHinzufuegen);
    EXPECT_EQ(app_.LastMessage().text, kListeLaenge);
    EXPECT_EQ(app_.LastMessage().caption, "Preisliste hinzufügen"_w);
    w.Type(D::kPreisliste, "Privat");
    w.Click(D::kPreislisteHinzufuegen);
    EXPECT_EQ(Preise().count, 1);
    EXPECT_TRUE(FileExists("daten/0.wl"));
    w.Click(D::kPreislisteHinzufuegen);
    EXPECT_EQ(app_.LastMessage().text, kListeDoppelt);
    EXPECT_EQ(Preise().count, 1);

    // A 21st list is refused with a message, not with an exception.
    for (int i = 1; i < 20; ++i) {
        w.Type(D::kPreisliste, "Liste" + std::to_string(i));
        w.Click(D::kPreislisteHinzufuegen);
    }
    EXPECT_EQ(Preise().count, 20);
    w.Type(D::kPreisliste, "Liste20");
    w.Click(D::kPreislisteHinzufuegen);
    EXPECT_EQ(Preise().count, 20);
    EXPECT_EQ(app_.LastMessage().text, "Mehr als 20 Preislisten dürfen nicht erzeugt werden"_w);
    EXPECT_EQ(w.ItemCount(D::kPreisliste), 20);
}

TEST_F(DialogCustomizerTest, OkTakesOverClampsAndStores) {
    FakeWindow& w = Oeffnen();
    w.Click(D::kPreiseInEuro);
    w.Click(D::kMwstEnthalten);
    w.Type(D::kMwst, "19.5");
    w.Type(D::kWaehrung, "Euro");
    w.Type(D::kVordatierung, "-5");
    w.Type(D::kBemerkung, "Frei Haus:");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), 1);
    EXPECT_EQ(w.Text(D::kVordatierung), "0");

    Neustart();
    EXPECT_EQ(Einstellungen().preiseInEuro, 1);
    EXPECT_EQ(Einstellungen().mwstEnthalten, 1);
    EXPECT_FLOAT_EQ(Einstellungen().mwst, 19.5f);
    EXPECT_EQ(Einstellungen().Waehrung(), "Euro");
    EXPECT_EQ(Einstellungen().vordatierungTage, 0);
    EXPECT_EQ(Einstellungen().Bemerkung(), "Frei Haus:");

    FakeWindow& w2 = Oeffnen();
    w2.Type(D::kVordatierung, "5000");
    w2.Type(D::kWaehrung, "Euro-Cent1");  // ten characters: eight are kept
    w2.Type(D::kMwst, "kein Wert");
    w2.PressEnter();
    EXPECT_EQ(w2.Text(D::kVordatierung), "1000");
    Neustart();
    EXPECT_EQ(Einstellungen().vordatierungTage, 1000);
    EXPECT_EQ(Einstellungen().Waehrung(), "Euro-Cen");
    EXPECT_EQ(Einstellungen().mwst, 0.0f);
    EXPECT_EQ(FileSize("daten/preferences.dat"), 336);
}

TEST_F(DialogCustomizerTest, ClosingOtherwiseLeavesTheSettingsAndKeepsAddedNames) {
    FakeWindow& w = Oeffnen();
    w.Type(D::kGruppe, "Pfalz");
    w.Click(D::kGruppeHinzufuegen);
    w.Type(D::kVordatierung, "12");
    w.Click(D::kPreiseInEuro);
    w.CloseBox();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), 2);
    EXPECT_EQ(Einstellungen().vordatierungTage, 31);
    EXPECT_EQ(Einstellungen().preiseInEuro, 0);
    EXPECT_FALSE(FileExists("daten/preferences.dat"));
    EXPECT_EQ(Gruppen().Count(), 1u);
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
    EXPECT_EQ(Einstellungen().vordatierungTage, 31);

    w.Type(108, "19,5");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    Neustart();
    EXPECT_EQ(Einstellungen().mwst, 19.5f);
    EXPECT_EQ(Einstellungen().vordatierungTage, 12);
    EXPECT_EQ(Oeffnen().Text(108), "19.50");
}

TEST_F(DialogCustomizerTest, SettingsThatCannotBeStoredAreReportedAndNotTakenOver) {
    Einstellungen().mwst = 7.0f;
    ASSERT_TRUE(Einstellungen().Store());
    const std::string vorher = ReadBytes("daten/preferences.dat");
    auto meldung = [](const std::string& grund) {
        return "Die Grundeinstellungen konnten nicht gespeichert werden, denn die Datei "
               "daten/preferences.dat konnte nicht geschrieben werden (" +
               grund + "). Sie bleibt, wie sie war; es gelten weiter die bisherigen Einstellungen.";
    };

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
        // With the reason of the failed store.
        EXPECT_EQ(app_.LastMessage().text,
                  meldung(fehlschlag == 1 ? "keine Berechtigung"
                                          : "kein Platz mehr auf dem Datenträger"_w));
        EXPECT_EQ(app_.LastMessage().caption, "Grundeinstellungen");
        EXPECT_EQ(Einstellungen().preiseInEuro, 0);
        EXPECT_EQ(Einstellungen().mwst, 7.0f);
        EXPECT_EQ(Einstellungen().Waehrung(), "DM");
        EXPECT_EQ(Einstellungen().vordatierungTage, 31);
        IoFaults::ClearHook();
        EXPECT_EQ(ReadBytes("daten/preferences.dat"), vorher) << fehlschlag;
        w.CloseBox();
    }

    // Once the file can be written again, OK takes it all over.
    FakeWindow& w = Oeffnen();
    w.Type(108, "19,5");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    Neustart();
    EXPECT_EQ(Einstellungen().mwst, 19.5f);
}

}  // namespace
