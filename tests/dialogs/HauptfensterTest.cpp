#include "dialogs/Hauptfenster.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "dialogs/Hauptmenue.h"
#include "model/GeoGruppe.h"
#include "model/PreisVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/FakeServices.h"

namespace {

class HauptfensterTest : public ::testing::Test {
  protected:
    HauptfensterTest() {
        app_.SetLayoutDir(REBKONTOR_LAYOUTS);
        verwaltungen_.preisVerwaltung = &preise_;
        verwaltungen_.geoGruppe = &gruppen_;
        verwaltungen_.customizer = &customizer_;
    }

    TempDir dir_{true};
    PreisVerwaltung preise_{"daten/weinlisten.txt", "daten"};
    GeoGruppe gruppen_{"daten/geogruppe.txt"};
    Customizer customizer_{"daten/preferences.dat"};
    Verwaltungen verwaltungen_;
    FakeServices app_;
    Hauptfenster fenster_{verwaltungen_, app_};
};

TEST_F(HauptfensterTest, PriceListCommandsNeedAPriceList) {
    EXPECT_FALSE(fenster_.PreislisteVorhanden(Hauptmenue::kPreislisteVerwalten));
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().caption, "Preisliste editieren");
    EXPECT_EQ(app_.LastMessage().text,
              "Vor der Erstellung von Preislisten müssen diese zuvor benannt werden. Dies kann im "
              "Dialog Optionen/Grundeinstellungen getan werden. Ausführliche Hinweise finden sich "
              "in der Hilfe unter dem Menü Hife/Benutzerhandbuch."_w);
    EXPECT_EQ(app_.LastMessage().buttons, MessageButtons::Ok);
    EXPECT_EQ(app_.LastMessage().icon, MessageIcon::None);

    EXPECT_FALSE(fenster_.PreislisteVorhanden(Hauptmenue::kRechnungErstellen));
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung erstellen");
    EXPECT_EQ(app_.LastMessage().text,
              "Vor der Erstellung einer Rechnung müssen zuvor Preislisten benannt und erstellt "
              "werden. Ausführliche Hinweise finden sich in der Hilfe unter dem Menü "
              "Hife/Benutzerhandbuch."_w);
    EXPECT_TRUE(app_.Executed().empty());

    preise_.AddPreisliste("Privat");
    app_.ClearMessages();
    EXPECT_TRUE(fenster_.PreislisteVorhanden(Hauptmenue::kRechnungErstellen));
    EXPECT_TRUE(app_.Messages().empty());
}

TEST_F(HauptfensterTest, CommandsWithoutTheirDialogCannotBeChosen) {
    for (int befehl : {51682, 51683, 51684, 51685, 51686, 51687, 51688, 51689, 51693}) {
        EXPECT_FALSE(fenster_.Verfuegbar(befehl)) << befehl;
        fenster_.Befehl(befehl);
    }
    EXPECT_TRUE(app_.Messages().empty());
    EXPECT_TRUE(app_.Executed().empty());
    EXPECT_TRUE(fenster_.Verfuegbar(Hauptmenue::kGrundeinstellungen));
    EXPECT_FALSE(fenster_.Verfuegbar(Hauptmenue::kNeuerMerkzettel));  // no notes manager yet

    fenster_.Befehl(Hauptmenue::kGrundeinstellungen);
    fenster_.Befehl(Hauptmenue::kUeber);
    EXPECT_EQ(app_.Executed(), (std::vector<int>{5, 22000}));
}

TEST_F(HauptfensterTest, PriceListExportAsksForTheFileFirst) {
    std::vector<std::string> exportiert;
    fenster_.SetPreislistenExporter([&](const std::string& datei, Verwaltungen& v) -> bool {
        EXPECT_EQ(&v, &verwaltungen_);
        exportiert.push_back(datei);
        return datei != "/nicht/schreibbar.txt";
    });
    ASSERT_TRUE(fenster_.Verfuegbar(Hauptmenue::kPreislisteExportieren));

    app_.SaveFileAnswer(std::nullopt);
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_TRUE(exportiert.empty());
    ASSERT_EQ(app_.SaveRequests().size(), 1u);
    const SaveFileRequest& r = app_.SaveRequests()[0];
    EXPECT_EQ(r.title, "Preislisten exportieren");
    EXPECT_EQ(r.filter, "Textdatei (*.TXT)|");
    EXPECT_EQ(r.fileName, "preislisten.txt");
    EXPECT_EQ(r.initialDir, "");
    EXPECT_EQ(r.defaultExt, "txt");

    app_.SaveFileAnswer(SaveFileResult{"/tmp/liste.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_EQ(exportiert, std::vector<std::string>{"/tmp/liste.txt"});
    EXPECT_TRUE(app_.Messages().empty());

    app_.SaveFileAnswer(SaveFileResult{"/nicht/schreibbar.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei /nicht/schreibbar.txt konnte nicht geschrieben werden. Die Preislisten "
              "wurden nicht exportiert.");
}

TEST_F(HauptfensterTest, PriceListExportRefusesTheDataDirectoryAndWhatIsNoRegularFile) {
    std::vector<std::string> exportiert;
    fenster_.SetPreislistenExporter([&](const std::string& datei, Verwaltungen&) -> bool {
        exportiert.push_back(datei);
        return true;
    });
    std::filesystem::create_directory_symlink(dir_ / "daten", dir_ / "ablage");
    std::filesystem::create_directory(dir_ / "ordner.txt");
    for (const std::string& ziel :
         {std::string("daten/preislisten.txt"), dir_ / "ablage/preislisten.txt",
          std::string("daten/weinlisten.txt")}) {
        app_.SaveFileAnswer(SaveFileResult{ziel, 1});
        fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
        EXPECT_EQ(app_.LastMessage().caption, "Preislisten exportieren");
        EXPECT_NE(app_.LastMessage().text.find("sie l\xE4ge im Datenverzeichnis"),
                  std::string::npos)
            << ziel;
    }
    app_.SaveFileAnswer(SaveFileResult{"ordner.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_NE(app_.LastMessage().text.find("dort steht ein Verzeichnis"), std::string::npos);
    EXPECT_NE(app_.LastMessage().text.find("Die Preislisten wurden nicht exportiert."),
              std::string::npos);
    EXPECT_TRUE(exportiert.empty());
    EXPECT_FALSE(FileExists("daten/preislisten.txt"));
}

TEST_F(HauptfensterTest, PriceListExportWritesTheChosenFile) {
    preise_.AddPreisliste("Privat");
    WeinlistenVerwaltung weine("daten/weinliste.dat");
    weine.AddWein(12);
    verwaltungen_.weinlistenVerwaltung = &weine;
    app_.SaveFileAnswer(SaveFileResult{dir_ / "preislisten.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_TRUE(app_.Messages().empty());
    std::string text = ReadBytes(dir_ / "preislisten.txt");
    EXPECT_EQ(text.substr(0, 7), "12     ");
    verwaltungen_.weinlistenVerwaltung = nullptr;
}

TEST_F(HauptfensterTest, ManualOpensWithTheDesktopsProgramThroughAnArgumentVector) {
    fenster_.Befehl(Hauptmenue::kBenutzerhandbuch);
    EXPECT_TRUE(app_.Started().empty());
    EXPECT_NE(app_.LastMessage().text.find("doc/index.htm"), std::string::npos);

    std::filesystem::create_directory("doc");
    WriteBytes("doc/index.htm", "<html></html>");
    fenster_.Befehl(Hauptmenue::kBenutzerhandbuch);
    ASSERT_EQ(app_.Started().size(), 1u);
    std::string expected = (std::filesystem::current_path() / "doc/index.htm").string();
    EXPECT_EQ(app_.Started()[0], (std::vector<std::string>{"xdg-open", expected}));
}

TEST(HauptmenueTest, MenuKeysAndToolbarAreComplete) {
    const auto& menue = Hauptmenue::Menue();
    ASSERT_EQ(menue.size(), 5u);
    EXPECT_EQ(menue[2].text, "&Rechungsverwaltung");
    EXPECT_EQ(menue[2].eintraege[4].text, "&Flaschenzählung"_w);
    EXPECT_EQ(menue[4].eintraege[1].text, "&Über.."_w);
    int befehle = 0;
    for (const auto& popup : menue) {
        for (const auto& e : popup.eintraege) {
            befehle += e.befehl != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(befehle, 15);
    EXPECT_EQ(Hauptmenue::Hinweis(51682), "Neue Kunden erfassen");
    EXPECT_EQ(Hauptmenue::Hinweis(24310), "Rebkontor verlassen und alle Daten speichern");
    EXPECT_EQ(Hauptmenue::Hinweis(51683), "");
    EXPECT_EQ(Hauptmenue::Werkzeugleiste().size(), 8u);
    EXPECT_EQ(Hauptmenue::Werkzeugleiste().back().befehl, 2009);
}

}  // namespace
