// The two backup dialogs under Optionen and the backup at the end of a run,
// on the fixture's data set, with the backups read back from disk.

#include "dialogs/DatensicherungDlg.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "dialogs/Hauptfenster.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/SicherungZurueckspielenDlg.h"
#include "model/DatenDateien.h"
#include "sicherung/Sicherungsarchiv.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "support/DialogFixture.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

using D = DatensicherungDlg;
using R = SicherungZurueckspielenDlg;

// The program's files of a data folder with their bytes.
std::map<std::string, std::string> Programmdateien(const std::string& ordner) {
    std::map<std::string, std::string> bild;
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        if (FileExists(ordner + "/" + datei.name)) {
            bild[datei.name] = ReadBytes(ordner + "/" + datei.name);
        }
    }
    return bild;
}

// Every name below a folder, to see that nothing was left behind.
std::vector<std::string> Namen(const std::string& ordner) {
    std::vector<std::string> namen;
    for (const auto& e : fs::recursive_directory_iterator(ordner)) {
        namen.push_back(fs::relative(e.path(), ordner).string());
    }
    std::sort(namen.begin(), namen.end());
    return namen;
}

// The data files a backup holds, unpacked.
std::map<std::string, std::string> Ausgepackt(const std::string& archiv) {
    TempDir ziel;
    const Sicherungsarchiv::Bericht bericht = Sicherungsarchiv::Pruefen(archiv, ziel.Path());
    EXPECT_TRUE(bericht.Gut()) << archiv;
    return Programmdateien(ziel.Path());
}

// The check of "pruefen" stands in: the dialogs never see the tool.
std::vector<std::string> KeineBefunde(const std::string&) {
    return {};
}

class DatensicherungDlgTest : public DialogFixture {
  protected:
    DatensicherungDlgTest() {
        const char* home = std::getenv("HOME");
        home_ = home != nullptr ? home : "";
        heim_ = fs::current_path().string() + "/heim";
        fs::create_directory(heim_);
        ::setenv("HOME", heim_.c_str(), 1);
        fenster_.SetSicherung({"daten", [this] { bestand_->Schreiben(); }, KeineBefunde});
    }
    ~DatensicherungDlgTest() override { ::setenv("HOME", home_.c_str(), 1); }

    FakeWindow& Einstellen() {
        return Oeffnen<DatensicherungDlg>(sicherung_, [this] { bestand_->Schreiben(); });
    }

    std::string home_;
    std::string heim_;
    Datensicherung sicherung_{"daten"};
    Hauptfenster fenster_{V(), app_};
};

TEST_F(DatensicherungDlgTest, ChoosesTheFolderBacksUpWhatMemoryHoldsAndStoresTheSettings) {
    FakeWindow& w = Einstellen();
    EXPECT_EQ(w.Caption(), "Datensicherung");
    EXPECT_EQ(w.Text(D::kOrdner), "~/Rebkontor-Sicherungen");
    EXPECT_TRUE(w.IsChecked(D::kAutomatisch));
    EXPECT_EQ(w.Text(D::kBehalten), "20");
    EXPECT_EQ(w.Text(D::kStand), "In diesem Ordner liegt noch keine Sicherung.");

    // A setting changed in memory only, which the end of the run would write:
    // the backup holds it.
    Einstellungen().mwst = 7.0f;
    fs::create_directory(heim_ + "/USB-Stick");
    app_.FolderAnswer(heim_ + "/USB-Stick/Sicherungen");
    w.Click(D::kDurchsuchen);
    ASSERT_EQ(app_.FolderRequests().size(), 1u);
    EXPECT_EQ(app_.FolderRequests()[0].title, "Sicherungsordner wählen"_w);
    EXPECT_EQ(app_.FolderRequests()[0].initialDir, heim_ + "/Rebkontor-Sicherungen");
    EXPECT_EQ(w.Text(D::kOrdner), "~/USB-Stick/Sicherungen");
    w.Click(D::kJetztSichern);
    const std::string archiv =
        heim_ + "/USB-Stick/Sicherungen/rebkontor-sicherung-2026-12-06-090503.zip";
    ASSERT_TRUE(FileExists(archiv)) << CodePage::Cp1252ToUtf8(w.Text(D::kStand));
    EXPECT_EQ(w.Text(D::kStand),
              "Gesichert in »"_w + archiv + "«: 0 Kunden, 0 Weine, 0 Rechnungen."_w);
    EXPECT_EQ(app_.StatusMessages().back(), "Datensicherung gespeichert: " + archiv);
    EXPECT_EQ(Ausgepackt(archiv).at("preferences.dat"), Einstellungen().Image());
    EXPECT_EQ(Ausgepackt(archiv), Programmdateien("daten"));
    EXPECT_TRUE(app_.Messages().empty());

    w.Type(D::kBehalten, "0");
    w.Click(ControlId::kOk);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Zahl der aufbewahrten Sicherungen muss zwischen 1 und 999 liegen. Die "
              "Einstellungen wurden nicht gespeichert.");
    w.Type(D::kBehalten, "5");
    w.Type(D::kOrdner, "Sicherungen");
    EXPECT_EQ(w.Text(D::kStand), "In diesem Ordner liegt noch keine Sicherung.");
    w.Click(ControlId::kOk);
    EXPECT_THAT(app_.LastMessage().text, StartsWith("Bitte geben Sie den Sicherungsordner mit "
                                                    "vollständigem Pfad an"_w));
    EXPECT_FALSE(w.IsClosed());
    EXPECT_FALSE(FileExists("daten/sicherung.txt"));

    w.Type(D::kOrdner, "~/USB-Stick/Sicherungen");
    EXPECT_EQ(
        w.Text(D::kStand),
        "Neueste Sicherung in diesem Ordner: 6.12.2026, 9:05:03 Uhr (1 Sicherung im Ordner).");
    w.Click(D::kAutomatisch);
    w.Click(ControlId::kOk);
    ASSERT_TRUE(w.IsClosed());
    EXPECT_EQ(ReadBytes("daten/sicherung.txt"),
              "Ordner=~/USB-Stick/Sicherungen\r\nAutomatisch=nein\r\nBehalten=5\r\n");

    FakeWindow& wieder = Einstellen();
    EXPECT_EQ(wieder.Text(D::kOrdner), "~/USB-Stick/Sicherungen");
    EXPECT_FALSE(wieder.IsChecked(D::kAutomatisch));
    EXPECT_EQ(wieder.Text(D::kBehalten), "5");
}

TEST_F(DatensicherungDlgTest, AFolderThatCannotTakeABackupIsToldAndTheEndOfTheRunStillEnds) {
    FakeWindow& w = Einstellen();
    const std::string datei = heim_ + "/eine-datei";
    WriteBytes(datei, "x");
    w.Type(D::kOrdner, datei);
    const std::string grund =
        "Der Sicherungsordner »"_w + datei + "« ist kein Ordner, sondern eine Datei."_w;
    EXPECT_EQ(w.Text(D::kStand), grund);
    w.Click(D::kJetztSichern);
    EXPECT_EQ(app_.LastMessage().caption, "Datensicherung");
    EXPECT_EQ(app_.LastMessage().icon, MessageIcon::Warning);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datensicherung in den Ordner »"_w + datei + "« ist nicht gelungen. "_w + grund +
                  " Es wurde keine Sicherung angelegt; die Daten sind unverändert."_w);
    app_.Answer(Answer::No);
    w.Click(ControlId::kOk);
    EXPECT_EQ(app_.LastMessage().text, grund + "\n\nSoll der Ordner trotzdem eingestellt werden?");
    EXPECT_EQ(app_.LastMessage().defaultButton, Answer::No);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_FALSE(FileExists("daten/sicherung.txt"));
    w.CloseBox();

    // The end of the run: with the defaults, into ~/Rebkontor-Sicherungen,
    // at most once an hour.
    const std::string ordner = heim_ + "/Rebkontor-Sicherungen";
    app_.ClearMessages();
    DatensicherungDlg::BeimBeenden(app_, sicherung_);
    DatensicherungDlg::BeimBeenden(app_, sicherung_);
    clock_.Advance(3600);
    DatensicherungDlg::BeimBeenden(app_, sicherung_);
    EXPECT_EQ(Datensicherung::Sicherungen(ordner),
              (std::vector<std::string>{"rebkontor-sicherung-2026-12-06-090503.zip",
                                        "rebkontor-sicherung-2026-12-06-100503.zip"}));
    EXPECT_TRUE(app_.Messages().empty());

    // A stick that was pulled: the user is told why, and that is all.
    clock_.Advance(3600);
    WriteBytes("daten/sicherung.txt", "Ordner=~/Stick/Sicherungen\r\n");
    DatensicherungDlg::BeimBeenden(app_, sicherung_);
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().buttons, MessageButtons::Ok);
    EXPECT_EQ(app_.LastMessage().text,
              "Die automatische Datensicherung beim Beenden ist nicht gelungen.\n\nDie "
              "Datensicherung in den Ordner »"_w +
                  heim_ + "/Stick/Sicherungen« ist nicht gelungen. Den Sicherungsordner »"_w +
                  heim_ +
                  "/Stick/Sicherungen« gibt es nicht, und er kann nicht angelegt werden, "
                  "weil es den Ordner »"_w +
                  heim_ +
                  "/Stick« nicht gibt. Ist der USB-Stick oder das Netzlaufwerk angeschlossen? Es "
                  "wurde keine Sicherung angelegt; die Daten sind unverändert.\n\nRebkontor wird "
                  "trotzdem beendet; die Daten sind gespeichert. Bitte prüfen Sie den "
                  "Sicherungsordner unter Optionen/Datensicherung."_w);
    EXPECT_FALSE(FileExists(heim_ + "/Stick"));
    EXPECT_EQ(app_.Cursors().back(), "arrow");

    WriteBytes("daten/sicherung.txt", "Ordner=~/Stick/Sicherungen\r\nAutomatisch=nein\r\n");
    app_.ClearMessages();
    DatensicherungDlg::BeimBeenden(app_, sicherung_);
    EXPECT_TRUE(app_.Messages().empty());
}

TEST_F(DatensicherungDlgTest,
       ARestoreIsCheckedConfirmedPrecededByABackupAndThenTheDataSetRestarts) {
    KundeAnlegen("Weinstein");
    WeinAnlegen(1, 60);
    const std::string ordner = heim_ + "/Sicherungen";
    WriteBytes("daten/sicherung.txt", "Ordner=" + ordner + "\r\n");
    bestand_->Schreiben();
    const std::string archiv = sicherung_.InOrdner(ordner, Clock::Now(), 20).datei;
    const auto gesichert = Programmdateien("daten");
    std::int64_t bytes = 0;
    for (const auto& [name, inhalt] : gesichert) {
        bytes += static_cast<std::int64_t>(inhalt.size());
    }
    // Afterwards another customer came.
    KundeAnlegen("Rebmann");
    clock_.Advance(60);
    const auto geaendert = Programmdateien("daten");

    // A damaged file is refused with its reason, and nothing can be restored.
    WriteBytes("kaputt.zip", "PK\x03\x04 nichts weiter");
    app_.OnExecute([&](FakeWindow& w) {
        EXPECT_EQ(w.Caption(), "Datensicherung zurückspielen"_w);
        EXPECT_FALSE(w.IsEnabled(ControlId::kOk));
        w.Type(R::kArchiv, "kaputt.zip");
        w.PressEnter(R::kArchiv);
        EXPECT_THAT(w.Text(R::kInhalt),
                    StartsWith("Die Datensicherung »kaputt.zip« ist beschädigt oder keine "
                               "Datensicherung von Rebkontor und wird nicht zurückgespielt:\n"_w));
        EXPECT_FALSE(w.IsEnabled(ControlId::kOk));
        w.CloseBox();
    });
    fenster_.Befehl(Hauptmenue::kSicherungZurueckspielen);
    EXPECT_FALSE(fenster_.AusstehendesZurueckspielen());
    EXPECT_EQ(Programmdateien("daten"), geaendert);

    app_.OnExecute([&](FakeWindow& w) {
        app_.OpenFileAnswer(archiv);
        w.Click(R::kDurchsuchen);
        EXPECT_EQ(app_.OpenRequests().back().initialDir, ordner);
        EXPECT_EQ(app_.OpenRequests().back().filter, "Datensicherung (*.zip)|*.zip|");
        EXPECT_EQ(w.Text(R::kArchiv), archiv);
        EXPECT_EQ(w.Text(R::kInhalt),
                  "Datensicherung vom 6.12.2026, 9:05:03 Uhr (Rebkontor " REBKONTOR_VERSION
                  ")\n1 Kunde, 1 Wein, "
                  "0 Rechnungen\n" +
                      std::to_string(gesichert.size()) + " Dateien, " +
                      Sicherungsinhalt::Groesse(bytes) +
                      "\n\nDie Sicherung ist unbeschädigt, und die Prüfung ihrer Daten fand "
                      "nichts."_w);
        ASSERT_TRUE(w.IsEnabled(ControlId::kOk));
        // Checked, not yet restored.
        EXPECT_EQ(Programmdateien("daten"), geaendert);
        app_.Answer(Answer::No);
        w.Click(ControlId::kOk);
        EXPECT_EQ(
            app_.LastMessage().text,
            "Die jetzigen Daten werden durch die Datensicherung vom 6.12.2026, 9:05:03 Uhr "
            "(1 Kunde, 1 Wein, 0 Rechnungen) ersetzt. Vorher werden sie selbst im Ordner »"_w +
                ordner + "« gesichert.\n\nSoll die Datensicherung jetzt zurückgespielt werden?"_w);
        EXPECT_EQ(app_.LastMessage().defaultButton, Answer::No);
        EXPECT_FALSE(w.IsClosed());
        EXPECT_EQ(Datensicherung::Sicherungen(ordner).size(), 1u);
        app_.Answer(Answer::Yes);
        w.Click(ControlId::kOk);
        EXPECT_TRUE(w.IsClosed());
    });
    fenster_.Befehl(Hauptmenue::kSicherungZurueckspielen);
    std::unique_ptr<Rueckspielauftrag> auftrag = fenster_.AusstehendesZurueckspielen();
    ASSERT_TRUE(auftrag);
    // The data as they were before are a backup of their own, the changed
    // customers and all.
    EXPECT_EQ(auftrag->vorher, ordner + "/rebkontor-sicherung-2026-12-06-090603.zip");
    EXPECT_EQ(Ausgepackt(auftrag->vorher), geaendert);
    EXPECT_EQ(Programmdateien("daten"), geaendert);

    app_.ClearMessages();
    auftrag->Ausfuehren(
        app_, [&] { bestand_.reset(); }, [&] { Starten(); });
    auto jetzt = Programmdateien("daten");
    for (const auto& [name, soll] : gesichert) {
        EXPECT_EQ(jetzt[name], soll) << name;
    }
    EXPECT_EQ(Kv().Count(), 1u);
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().icon, MessageIcon::Information);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datensicherung vom 6.12.2026, 9:05:03 Uhr ist zurückgespielt. Rebkontor "
              "arbeitet jetzt mit ihren Daten (1 Kunde, 1 Wein, 0 Rechnungen).\n\nDie Daten von "
              "vorher sind gesichert in »"_w +
                  auftrag->vorher + "«."_w);
    EXPECT_THAT(Namen("daten"), testing::Not(testing::Contains(StartsWith(".wieder"))));
}

}  // namespace
