#include "dialogs/GeoFilterDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/FakeServices.h"

namespace {

class GeoFilterDlgTest : public ::testing::Test {
  protected:
    GeoFilterDlgTest() {
        KundenVerwaltung::maxNummer = 0;
        app_.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
        // Created in this order, so that the group numbers are not the
        // alphabetical places.
        gruppen_.AddGeoGruppe("Mosel");
        gruppen_.AddGeoGruppe("Ahr");
        gruppen_.AddGeoGruppe("Pfalz");
        Kunde("Herrn", "Hans", "Acker", "Weg 1", 54470, "Bernkastel", 0);
        Kunde("Frau", "Eva", "Berg", "Am Hang, 3", 53474, "Ahrweiler", 1);
        Kunde("Firma", "", "Cuvée", "Ring 2", 67098, "Bad Dürkheim", 2);
        Kunde("Frau", "Ida", "Dorn", "Tal 4", 53505, "Altenahr", 1);
        verwaltungen_.kundenVerwaltung = &kunden_;
        verwaltungen_.geoGruppe = &gruppen_;
    }

    void Kunde(const char* anrede, const char* vorname, const char* nachname, const char* strasse,
               int plz, const char* ort, int gruppe) {
        ::Kunde k;
        FixedText::Set(k.Anrede, anrede);
        FixedText::Set(k.Vorname, vorname);
        FixedText::Set(k.Nachname, CodePage::Utf8ToCp1252(nachname));
        FixedText::Set(k.Strasse, strasse);
        k.PLZ = plz;
        FixedText::Set(k.Ort, CodePage::Utf8ToCp1252(ort));
        k.kundenGruppe = static_cast<std::int16_t>(gruppe);
        kunden_.AddKunde(k);
    }

    FakeWindow& Oeffnen() {
        dialog_ = std::make_unique<GeoFilterDlg>(verwaltungen_);
        return app_.Show(*dialog_);
    }

    TempDir dir_{true};
    GeoGruppe gruppen_{"daten/geogruppe.txt"};
    KundenVerwaltung kunden_{"daten/kunden.dat"};
    Verwaltungen verwaltungen_;
    FakeServices app_;
    std::unique_ptr<GeoFilterDlg> dialog_;
};

constexpr const char* kKopf = "Anrede,Vorname,Nachname,Strasse,PLZ,Ort,Telefon,Fax,EMail\r\n";

TEST_F(GeoFilterDlgTest, ExportsTheChosenGroupAndRangeAndClosesAfterwards) {
    FakeWindow& w = Oeffnen();
    EXPECT_EQ(w.Caption(), "Adressdatei aus Kundengruppe");
    EXPECT_EQ(w.Items(105), (std::vector<std::string>{"Ahr", "Mosel", "Pfalz"}));
    EXPECT_EQ(w.Selected(105), -1);
    EXPECT_TRUE(w.IsChecked(107));
    EXPECT_FALSE(w.IsChecked(108));
    EXPECT_FALSE(w.IsEnabled(103));
    EXPECT_FALSE(w.IsEnabled(104));

    // "Ahr" is listed first but is group 1; the file has Berg and Dorn.
    w.Choose(105, "Ahr");
    app_.SaveFileAnswer(std::nullopt);
    w.Click(109);
    ASSERT_EQ(app_.SaveRequests().size(), 1u);
    const SaveFileRequest& anfrage = app_.SaveRequests()[0];
    EXPECT_EQ(anfrage.title, "Adressdatei erzeugen");
    EXPECT_EQ(anfrage.filter, "Adressdatei (*.CSV)|*.csv| Alle Dateien (*.*)|*.*|");
    EXPECT_EQ(anfrage.fileName, "*.csv");
    EXPECT_EQ(anfrage.initialDir, "");
    EXPECT_EQ(anfrage.defaultExt, "csv");
    EXPECT_FALSE(w.IsClosed());  // cancelled: nothing written, still open
    EXPECT_FALSE(FileExists("ahr.csv"));

    // Both filters: group Ahr and 53500 to 53505, both ends included. The
    // range fields take digits only.
    w.Click(108);
    EXPECT_TRUE(w.IsEnabled(103));
    w.Type(103, "D-53500");
    w.Type(104, "53505");
    EXPECT_EQ(w.Text(103), "53500");
    app_.SaveFileAnswer(SaveFileResult{"ahr.csv", 1});
    w.Click(109);
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), 1);
    EXPECT_EQ(app_.Cursors(), (std::vector<std::string>{"wait", "arrow"}));
    EXPECT_TRUE(app_.Messages().empty());
    EXPECT_EQ(ReadBytes("ahr.csv"),
              std::string(kKopf) + "Frau,Ida,Dorn,Tal 4,53505,Altenahr,,,\r\n");

    // Without either filter every customer goes out in file order; the
    // street with a comma spills into the next column.
    FakeWindow& alle = Oeffnen();
    alle.Click(107);
    EXPECT_FALSE(alle.IsEnabled(105));
    app_.SaveFileAnswer(SaveFileResult{"alle.csv", 1});
    alle.Click(109);
    EXPECT_TRUE(alle.IsClosed());
    EXPECT_EQ(ReadBytes("alle.csv"), std::string(kKopf) +
                                         "Herrn,Hans,Acker,Weg 1,54470,Bernkastel,,,\r\n"
                                         "Frau,Eva,Berg,Am Hang, 3,53474,Ahrweiler,,,\r\n" +
                                         "Firma,,Cuvée,Ring 2,67098,Bad Dürkheim,,,\r\n"_w +
                                         "Frau,Ida,Dorn,Tal 4,53505,Altenahr,,,\r\n");

    // The group filter on and nothing chosen would let nobody pass: the user
    // is asked for a group before any file name, and nothing is written.
    const std::size_t anfragen = app_.SaveRequests().size();
    FakeWindow& keine = Oeffnen();
    keine.Focus(108);
    keine.Click(109);
    EXPECT_FALSE(keine.IsClosed());
    EXPECT_EQ(app_.SaveRequests().size(), anfragen);
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().text, "Bitte wählen Sie eine Kundengruppe."_w);
    EXPECT_EQ(app_.LastMessage().caption, "Adressdatei erzeugen");
    EXPECT_EQ(keine.FocusedControl(), 105);
    // Choosing one then exports it.
    keine.Choose(105, "Pfalz");
    app_.SaveFileAnswer(SaveFileResult{"pfalz.csv", 1});
    keine.Click(109);
    EXPECT_TRUE(keine.IsClosed());
    EXPECT_EQ(ReadBytes("pfalz.csv"),
              std::string(kKopf) + "Firma,,Cuvée,Ring 2,67098,Bad Dürkheim,,,\r\n"_w);
}

TEST_F(GeoFilterDlgTest, AFileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen) {
    const std::string kundenVorher = ReadBytes("daten/kunden.dat");
    FakeWindow& w = Oeffnen();
    w.Click(107);

    // A folder that does not exist, with an umlaut in its name: the message
    // shows it in the program's code page, not as "jÃ¼rgen".
    app_.SaveFileAnswer(SaveFileResult{"jürgen/briefe.csv", 1});
    w.Click(109);
    EXPECT_FALSE(w.IsClosed());
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().caption, "Adressdatei erzeugen");
    EXPECT_EQ(app_.LastMessage().text,
              "Die Adressdatei jürgen/briefe.csv konnte nicht geschrieben werden (den Ordner gibt "
              "es nicht). Es wurden keine Adressen exportiert."_w);
    EXPECT_FALSE(app_.IsWaiting());

    // A folder under the chosen name is not replaced.
    std::filesystem::create_directory("ordner.csv");
    app_.SaveFileAnswer(SaveFileResult{"ordner.csv", 1});
    w.Click(109);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei »ordner.csv« wird nicht geschrieben: dort steht ein Verzeichnis, keine "
              "gewöhnliche Datei. Es wurden keine Adressen exportiert."_w);
    EXPECT_TRUE(std::filesystem::is_directory("ordner.csv"));

    // Nor is a data file of the program.
    app_.SaveFileAnswer(SaveFileResult{dir_ / "daten/kunden.dat", 1});
    w.Click(109);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei »"_w + (dir_ / "daten/kunden.dat") +
                  "« wird nicht geschrieben: sie läge im Datenverzeichnis »daten«, und ein "
                  "Export darf keine Daten überschreiben. Bitte einen anderen Ort wählen. Es "
                  "wurden keine Adressen exportiert."_w);
    EXPECT_EQ(ReadBytes("daten/kunden.dat"), kundenVorher);
    EXPECT_EQ(app_.Messages().size(), 3u);

    // The next name that works ends it.
    app_.SaveFileAnswer(SaveFileResult{"briefe.csv", 1});
    w.Click(109);
    EXPECT_TRUE(w.IsClosed());
    const std::string briefe = ReadBytes("briefe.csv");
    EXPECT_EQ(briefe.rfind(kKopf, 0), 0u);
    EXPECT_EQ(std::count(briefe.begin(), briefe.end(), '\n'), 5);
}

}  // namespace
