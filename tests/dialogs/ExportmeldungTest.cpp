// Every export says in the main window's status bar what it wrote, without a
// box to click away; one that failed says so in a box and nothing more.

#include <gtest/gtest.h>

#include <string>

#include "dialogs/ERechnungSpeichern.h"
#include "dialogs/GeoFilterDlg.h"
#include "dialogs/Hauptfenster.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/RechnungsFiler.h"
#include "model/Firmendaten.h"
#include "model/PreisVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "support/DialogFixture.h"
#include "support/FileBytes.h"

namespace {

class ExportmeldungTest : public DialogFixture {
  protected:
    ExportmeldungTest() {
        V().preisVerwaltung->AddPreisliste("Privat");
        V().preisVerwaltung->AddPreisliste("Handel");
        WeinAnlegen(3, 100);
        WeinAnlegen(7, 100);
        kunde_ = KundeAnlegen("Meier");
        KundeAnlegen("Berg");
        id_ = RechnungSpeichern(kunde_, {{3, 6, 10.0f, 5.0f}, {7, 1, 8.0f, 4.0f}});
        Rechnung r = *Rv().GetRechnung(id_);
        r.nummer = 4711;
        r.datum = Datum(6, 12, 2026).Julian();
        Rv().UpdateRechnung(r);
    }

    Hauptfenster fenster_{V(), app_};
    std::int32_t kunde_ = 0;
    std::int32_t id_ = 0;
};

TEST_F(ExportmeldungTest, EveryExportSaysInTheStatusBarWhatItWrote) {
    // The price lists.
    app_.SaveFileAnswer(SaveFileResult{dir_ / "preise.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_TRUE(app_.Messages().empty());
    ASSERT_EQ(app_.StatusMessages().size(), 1u);
    EXPECT_EQ(app_.StatusMessages().back(),
              "Preislisten gespeichert: " + (dir_ / "preise.txt") + " (2 Preislisten)");

    // The bottle list, as text and as a sheet; the notice before it is the
    // only box.
    for (const auto& [name, format] : {std::pair{"fl.txt", 1}, std::pair{"fl.xls", 2}}) {
        app_.ClearMessages();
        app_.OnExecute([](FakeWindow& filter) {
            filter.Click(RechnungsFiler::kDatumHeute);
            filter.PressEnter();
        });
        app_.SaveFileAnswer(SaveFileResult{dir_ / name, format});
        fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
        ASSERT_EQ(app_.Messages().size(), 1u);
        EXPECT_EQ(app_.LastMessage().text.rfind("Anh\xE4ngig", 0), 0u);
        EXPECT_EQ(app_.StatusMessages().back(),
                  "Flaschenliste gespeichert: " + (dir_ / name) + " (7 Flaschen)");
    }

    // The address file, every customer.
    app_.ClearMessages();
    FakeWindow& adressen = Oeffnen<GeoFilterDlg>(V());
    adressen.Click(GeoFilterDlg::kMitGruppe);
    app_.SaveFileAnswer(SaveFileResult{dir_ / "adressen.csv", 1});
    adressen.Click(GeoFilterDlg::kErzeugen);
    EXPECT_TRUE(adressen.IsClosed());
    EXPECT_TRUE(app_.Messages().empty());
    EXPECT_EQ(app_.StatusMessages().back(),
              "Adressdatei gespeichert: " + (dir_ / "adressen.csv") + " (2 Adressen)");

    // The e-invoice.
    Einstellungen().preiseInEuro = 1;
    Firmendaten firma;
    firma.name = "Weingut Rebenhof";
    firma.inhaber = "Martin Becker";
    firma.strasse = "Hauptstr. 21";
    firma.plz = "55232";
    firma.ort = "Alzey";
    firma.telefon = "06731 945870";
    firma.email = "info@rebenhof.example.com";
    firma.steuernummer = "44/220/12345";
    firma.iban = "DE85550501200123456789";
    ASSERT_TRUE(firma.Speichern("daten/firmendaten.txt"));
    Kunde* k = Kv().GetKunde(kunde_);
    FixedText::Set(k->EMail, "karl@meier.example.com");
    FixedText::Set(k->Strasse, "Am Markt 1");
    FixedText::Set(k->Ort, "Alzey");
    k->PLZ = 55232;
    app_.SaveFileAnswer(SaveFileResult{dir_ / "r.xml", 1});
    ERechnungSpeichern(app_, V(), nullptr).Speichern(*Rv().GetRechnung(id_));
    EXPECT_TRUE(app_.Messages().empty()) << app_.LastMessage().text;
    EXPECT_EQ(app_.StatusMessages().back(),
              "E-Rechnung gespeichert: " + (dir_ / "r.xml") + " (2 Posten)");
    EXPECT_NE(ReadBytes(dir_ / "r.xml").find("<ram:ID>4711</ram:ID>"), std::string::npos);

    // A file that could not be written is told in a box, and the status bar
    // does not claim it.
    const std::size_t gesagt = app_.StatusMessages().size();
    app_.SaveFileAnswer(SaveFileResult{dir_ / "fehlt/preise.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.StatusMessages().size(), gesagt);
}

}  // namespace
