#include "dialogs/Hauptfenster.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "dialogs/Hauptmenue.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "support/DialogFixture.h"

namespace {

class HauptfensterTest : public DialogFixture {
  protected:
    PreisVerwaltung& Preise() { return *V().preisVerwaltung; }

    HauptfensterTest() {
        fenster_.SetFirmendaten(&bestand_->GetFirmendaten(), bestand_->FirmendatenDatei());
        fenster_.SetMahnwesen(bestand_.get());
        fenster_.SetSicherung({"daten", {}, {}});
    }

    Hauptfenster fenster_{V(), app_};
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

    Preise().AddPreisliste("Privat");
    app_.ClearMessages();
    EXPECT_TRUE(fenster_.PreislisteVorhanden(Hauptmenue::kRechnungErstellen));
    EXPECT_TRUE(app_.Messages().empty());
}

TEST_F(HauptfensterTest, EveryMenuCommandCanBeChosen) {
    for (const Hauptmenue::Popup& popup : Hauptmenue::Menue()) {
        for (const Hauptmenue::Eintrag& eintrag : popup.eintraege) {
            if (eintrag.befehl != 0 && eintrag.befehl != Hauptmenue::kNeuerMerkzettel) {
                EXPECT_TRUE(fenster_.Verfuegbar(eintrag.befehl)) << eintrag.befehl;
            }
        }
    }
    EXPECT_FALSE(fenster_.Verfuegbar(12345));
    EXPECT_TRUE(fenster_.Verfuegbar(Hauptmenue::kGrundeinstellungen));
    EXPECT_FALSE(fenster_.Verfuegbar(Hauptmenue::kNeuerMerkzettel));  // no notes manager yet

    fenster_.Befehl(Hauptmenue::kGrundeinstellungen);
    fenster_.Befehl(Hauptmenue::kFirmendaten);
    fenster_.Befehl(Hauptmenue::kDatevEinstellungen);
    fenster_.Befehl(Hauptmenue::kDatevExport);
    fenster_.Befehl(Hauptmenue::kUeber);
    EXPECT_EQ(app_.Executed(), (std::vector<int>{5, 1017, 2701, 2702, 22000}));
}

TEST_F(HauptfensterTest, CustomerCommandsOpenTheirDialogsAndF5NeedsAPriceList) {
    for (int befehl : {51682, 51683, 51686, 51687}) {
        EXPECT_TRUE(fenster_.Verfuegbar(befehl)) << befehl;
    }
    // F5 without a price list: only the message.
    fenster_.Befehl(Hauptmenue::kRechnungErstellen);
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung erstellen");
    EXPECT_TRUE(app_.Executed().empty());

    std::vector<std::string> banner;
    auto merken = [&](FakeWindow& w) {
        for (int bild : {25000, 25001, 25002, 25003}) {
            if (w.IsShown(bild)) {
                banner.push_back(std::to_string(bild));
            }
        }
    };
    Preise().AddPreisliste("Privat");
    for (int befehl : {51682, 51683, 51686}) {
        app_.OnExecute(merken);
        fenster_.Befehl(befehl);
    }
    fenster_.Befehl(Hauptmenue::kKundendatenExportieren);
    EXPECT_EQ(app_.Executed(), (std::vector<int>{1, 1, 1, 7}));
    EXPECT_EQ(banner, (std::vector<std::string>{"25002", "25003", "25001"}));
}

TEST_F(HauptfensterTest, PriceListExportAsksForTheFileFirst) {
    std::vector<std::string> exportiert;
    fenster_.SetPreislistenExporter(
        [&](const std::string& datei, Verwaltungen& v) -> Ergebnis<void> {
            EXPECT_EQ(&v, &V());
            exportiert.push_back(datei);
            if (datei.rfind("/nicht/", 0) == 0) {
                return Fehler(Fehler::Vorgang::Anlegen, datei, ENOENT);
            }
            return {};
        });
    ASSERT_TRUE(fenster_.Verfuegbar(Hauptmenue::kPreislisteExportieren));

    // Without a price list there is nothing to export, and no empty file.
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_TRUE(app_.SaveRequests().empty());
    EXPECT_TRUE(exportiert.empty());
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().caption, "Preislisten exportieren");
    EXPECT_EQ(app_.LastMessage().text,
              "Es gibt keine Preisliste, die exportiert werden könnte. Preislisten werden unter "
              "Optionen/Grundeinstellungen benannt."_w);
    app_.ClearMessages();

    Preise().AddPreisliste("Privat");
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
              "Die Datei /nicht/schreibbar.txt konnte nicht geschrieben werden (den Ordner gibt "
              "es nicht). Die Preislisten wurden nicht exportiert.");
    // The path is named in the program's code page, not as "jÃ¼rgen".
    app_.SaveFileAnswer(SaveFileResult{"/nicht/jürgen.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei /nicht/jürgen.txt konnte nicht geschrieben werden (den Ordner gibt es "
              "nicht). Die Preislisten wurden nicht exportiert."_w);
}

TEST_F(HauptfensterTest, PriceListExportRefusesTheDataDirectoryAndWhatIsNoRegularFile) {
    Preise().AddPreisliste("Privat");
    std::vector<std::string> exportiert;
    fenster_.SetPreislistenExporter([&](const std::string& datei, Verwaltungen&) {
        exportiert.push_back(datei);
        return Ergebnis<void>();
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
    Preise().AddPreisliste("Privat");
    Wv().AddWein(12);
    app_.SaveFileAnswer(SaveFileResult{dir_ / "preislisten.txt", 1});
    fenster_.Befehl(Hauptmenue::kPreislisteExportieren);
    EXPECT_TRUE(app_.Messages().empty());
    std::string text = ReadBytes(dir_ / "preislisten.txt");
    EXPECT_EQ(text.substr(0, 7), "12     ");
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
    app_.ClearMessages();
    EXPECT_TRUE(app_.Messages().empty());  // a program that opened it is not answered

    // No program on this desktop shows the manual.
    app_.FailPrograms(true);
    fenster_.Befehl(Hauptmenue::kBenutzerhandbuch);
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().caption, "Benutzerhandbuch");
    EXPECT_EQ(app_.LastMessage().text,
              "Das Benutzerhandbuch konnte nicht geöffnet werden: Es fand sich kein Programm, das "
              "es anzeigt. Es ist die Datei "_w +
                  expected + "; ein Web-Browser kann sie öffnen."_w);
}

TEST_F(HauptfensterTest, SettingsSetBackAtStartAreNamedOnce) {
    fenster_.ZurueckgesetzteEinstellungen();
    EXPECT_TRUE(app_.Messages().empty());  // a sound file is not mentioned

    std::string bytes = Einstellungen().Image();
    bytes.replace(0, 4, std::string("\0\0\x48\x43", 4));  // 200 %
    bytes.replace(30, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    WriteBytes("daten/preferences.dat", bytes);
    Customizer beschaedigt("daten/preferences.dat");
    Customizer* gelesen = V().customizer;
    V().customizer = &beschaedigt;
    fenster_.ZurueckgesetzteEinstellungen();
    V().customizer = gelesen;
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().caption, "Grundeinstellungen");
    EXPECT_EQ(app_.LastMessage().icon, MessageIcon::Warning);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei daten/preferences.dat enthielt ungültige Grundeinstellungen. Diese Werte "
              "wurden auf ihre Voreinstellung zurückgesetzt:\n\n"
              "Mehrwertsteuer 200.00 % liegt nicht zwischen 0 und 100 % (Voreinstellung 16.00 "
              "%).\n"
              "Vordatierung max. Tage -1 liegt nicht zwischen 0 und 1000 (Voreinstellung 31).\n\n"
              "Bitte prüfen Sie sie unter Optionen/Grundeinstellungen."_w);
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
    // The fifteen commands of the original menus, plus "Firmendaten",
    // "DATEV-Einstellungen...", "Mahnwesen..." and the two backup commands
    // below "Grundeinstellungen", and "Auswertungen...", "DATEV-Export..."
    // and the open items below "Flaschenzählung".
    EXPECT_EQ(befehle, 23);
    EXPECT_EQ(menue[3].eintraege[2].befehl, Hauptmenue::kGrundeinstellungen);
    EXPECT_EQ(menue[3].eintraege[3].befehl, Hauptmenue::kFirmendaten);
    EXPECT_EQ(menue[3].eintraege[4].befehl, Hauptmenue::kDatevEinstellungen);
    EXPECT_EQ(menue[3].eintraege[4].text, "&DATEV-Einstellungen...");
    EXPECT_EQ(menue[2].eintraege[6].befehl, Hauptmenue::kDatevExport);
    EXPECT_EQ(menue[2].eintraege[6].text, "DATEV-E&xport...");
    EXPECT_EQ(menue[2].eintraege[8].befehl, Hauptmenue::kOffenePosten);
    EXPECT_EQ(menue[3].eintraege[5].befehl, Hauptmenue::kMahnwesen);
    EXPECT_EQ(menue[3].eintraege[7].text, "Daten&sicherung...");
    EXPECT_EQ(menue[3].eintraege[8].text, "Datensicherung &zurückspielen..."_w);
    EXPECT_EQ(Hauptmenue::Hinweis(51682), "Neue Kunden erfassen");
    EXPECT_EQ(Hauptmenue::Hinweis(24310), "Rebkontor verlassen und alle Daten speichern");
    EXPECT_EQ(Hauptmenue::Hinweis(51683), "");
    EXPECT_EQ(Hauptmenue::Werkzeugleiste().size(), 8u);
    EXPECT_EQ(Hauptmenue::Werkzeugleiste().back().befehl, 2009);
}

}  // namespace
