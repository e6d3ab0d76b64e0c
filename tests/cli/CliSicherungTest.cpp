// The backup commands as a script runs them: a backup of the sample business
// into a file, its check, a damaged archive refused, a restore that only
// says what it would do, and one with --ja over changed data, after which
// the data are those of the backup byte for byte and the changed data are a
// backup of their own.

#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "model/DatenDateien.h"
#include "sicherung/Datensicherung.h"
#include "sicherung/Sicherungsarchiv.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

using CliSicherungTest = CliFixture;

TEST_F(CliSicherungTest, BacksUpChecksAndRestoresOverChangedDataWhoseBackupComesFirst) {
    SampleDaten();
    const std::string archiv = Pfad("weingut.zip");
    Ergebnis r = Lauf({"sichern", "--datei", archiv});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Datensicherung geschrieben: »" + archiv + "«\n"));
    fs::copy(Daten(), Pfad("original"), fs::copy_options::recursive);

    r = Lauf({"sicherung-pruefen", archiv});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(r.out, HasSubstr("Prüfung von »" + archiv + "«: keine Probleme gefunden.\n"));

    WriteBytes(Pfad("kaputt.zip"), "PK\x03\x04 und nichts weiter");
    r = Lauf({"sicherung-pruefen", Pfad("kaputt.zip")});
    EXPECT_EQ(r.status, 1);
    r = Lauf({"wiederherstellen", Pfad("kaputt.zip"), "--ja"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("wird nicht zurückgespielt"));

    // The data change; the backup before the restore goes where the settings say.
    const std::string vorher = Pfad("vorher");
    WriteBytes(Daten() + "/geogruppe.txt", "Neue Gruppe\r\n");
    WriteBytes(Daten() + "/sicherung.txt", "Ordner=" + vorher + "\r\n");
    const Schnappschuss geaendert = Aufnahme(Daten());

    r = Lauf({"wiederherstellen", archiv});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Mit --ja würden die Daten in »daten« durch diese Sicherung "
                                 "ersetzt. Vorher würden die jetzigen Daten in den Ordner »" +
                                 vorher + "« gesichert."));
    EXPECT_EQ(Aufnahme(Daten()), geaendert);
    EXPECT_FALSE(fs::exists(vorher));

    r = Lauf({"wiederherstellen", archiv, "--ja"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("« hält jetzt "));
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        const std::string alt = Pfad("original/") + datei.name;
        const std::string jetzt = Daten() + "/" + datei.name;
        ASSERT_EQ(FileExists(jetzt), FileExists(alt)) << datei.name;
        if (FileExists(alt)) {
            EXPECT_EQ(ReadBytes(jetzt), ReadBytes(alt)) << datei.name;
        }
    }
    // The settings file was not in the backup, so it went with the rest.
    EXPECT_FALSE(FileExists(Daten() + "/sicherung.txt"));

    const std::vector<std::string> gesichert = Datensicherung::Sicherungen(vorher);
    ASSERT_EQ(gesichert.size(), 1u);
    EXPECT_THAT(r.out, HasSubstr("Die bisherigen Daten sind gesichert in »" + vorher + "/" +
                                 gesichert[0] + "«."));
    fs::create_directory(Pfad("ausgepackt"));
    ASSERT_TRUE(Sicherungsarchiv::Pruefen(vorher + "/" + gesichert[0], Pfad("ausgepackt")).Gut());
    EXPECT_EQ(ReadBytes(Pfad("ausgepackt/geogruppe.txt")), "Neue Gruppe\r\n");
    EXPECT_EQ(ReadBytes(Pfad("ausgepackt/sicherung.txt")), "Ordner=" + vorher + "\r\n");

    EXPECT_EQ(Lauf({"pruefen"}).status, 0);
}

}  // namespace
