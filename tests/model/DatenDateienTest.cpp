#include "model/DatenDateien.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>

#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

using ::testing::HasSubstr;

std::string StartFehler(const std::string& verzeichnis = "daten") {
    try {
        Datenbestand bestand(verzeichnis);
        bestand.KundenEinlesen();
    } catch (const MessageException& e) {
        return CodePage::Cp1252ToUtf8(e.Text());
    }
    return "";
}

// A small data set: three customers, a wine, a note.
void Anlegen() {
    KundenVerwaltung::maxNummer = 0;
    Datenbestand bestand;
    KundenVerwaltung& kunden = bestand.KundenEinlesen();
    for (const char* name : {"Becker", "Schmitt", "Wagner"}) {
        Kunde k;
        FixedText::Set(k.Nachname, name);
        kunden.AddKunde(k);
    }
    bestand.GetVerwaltungen().weinlistenVerwaltung->AddWein(3);
    FixedText::Set(bestand.MerkzettelOeffnen().NewNote().text, "Korken");
}

std::int64_t Mtime(const std::string& pfad) {
    struct stat st {};
    ::stat(pfad.c_str(), &st);
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

TEST(DatenDateienTest, LinksPipesAndFoldersNamedLikeDataFilesStopTheStartAndAreLeftAlone) {
    TempDir dir(true);
    Anlegen();
    const std::string kunden = ReadBytes("daten/kunden.dat");

    // A link to a file outside the folder: neither written through nor
    // replaced by a local file.
    WriteBytes("fremd.dat", std::string(80, 'f'));
    std::filesystem::rename("daten/weinliste.dat", "weinliste.dat");
    std::filesystem::create_symlink(dir / "fremd.dat", "daten/weinliste.dat");
    EXPECT_THAT(StartFehler(), HasSubstr("»daten/weinliste.dat« ist eine symbolische Verknüpfung "
                                         "und keine gewöhnliche Datei."));
    EXPECT_EQ(ReadBytes("fremd.dat"), std::string(80, 'f'));
    EXPECT_TRUE(std::filesystem::is_symlink("daten/weinliste.dat"));
    std::filesystem::remove("daten/weinliste.dat");
    std::filesystem::rename("weinliste.dat", "daten/weinliste.dat");

    // A pipe is never opened, so it cannot hang the start.
    std::filesystem::remove("daten/merkzettel.dat");
    ASSERT_EQ(::mkfifo("daten/merkzettel.dat", 0600), 0);
    EXPECT_THAT(StartFehler(), HasSubstr("»daten/merkzettel.dat« ist eine benannte Pipe (FIFO)"));
    std::filesystem::remove("daten/merkzettel.dat");

    // The letterhead beside the folder alike.
    ASSERT_EQ(::mkfifo("bkopf.emf", 0600), 0);
    EXPECT_THAT(StartFehler(), HasSubstr("»bkopf.emf« ist eine benannte Pipe (FIFO)"));
    std::filesystem::remove("bkopf.emf");
    std::filesystem::create_directory("daten/3.wl");
    EXPECT_THAT(StartFehler(), HasSubstr("»daten/3.wl« ist ein Verzeichnis"));
    std::filesystem::remove("daten/3.wl");
    EXPECT_EQ(ReadBytes("daten/kunden.dat"), kunden);

    // The folder itself may be a link.
    std::filesystem::rename("daten", "echt");
    std::filesystem::create_symlink(dir / "echt", "daten");
    EXPECT_EQ(StartFehler(), "");
    EXPECT_EQ(ReadBytes("echt/kunden.dat"), kunden);

    // Files opened for writing never follow a link, nor wait on a pipe.
    std::filesystem::create_symlink(dir / "fremd.dat", "echt/link.dat");
    const Ergebnis<File> link = File::OpenReadWrite("echt/link.dat");
    ASSERT_FALSE(link);
    EXPECT_EQ(link.Ursache().Nummer(), ELOOP);
    ASSERT_EQ(::mkfifo("echt/pipe.dat", 0600), 0);
    EXPECT_FALSE(File::OpenReadWrite("echt/pipe.dat"));
    const Ergebnis<std::string> pipe = File::ReadIfExists("echt/pipe.dat");
    ASSERT_FALSE(pipe);
    EXPECT_EQ(CodePage::Cp1252ToUtf8(pipe.Ursache().Grund()), "es ist keine gewöhnliche Datei");
    EXPECT_EQ(ReadBytes("fremd.dat"), std::string(80, 'f'));
}

TEST(DatenDateienTest, AnIncompleteRecordIsReportedAndItsFileKeptBesideIt) {
    TempDir dir(true);
    Anlegen();
    // Cut in the middle of the third customer.
    const std::string ganz = ReadBytes("daten/kunden.dat");
    ASSERT_EQ(ganz.size(), 3 * Kunde::DiskSize);
    const std::string abgeschnitten = ganz.substr(0, 2 * Kunde::DiskSize + 100);
    WriteBytes("daten/kunden.dat", abgeschnitten);
    {
        KundenVerwaltung::maxNummer = 0;
        Datenbestand bestand;
        bestand.KundenEinlesen();
        ASSERT_EQ(bestand.Startmeldungen().size(), 1u);
        const std::string meldung = CodePage::Cp1252ToUtf8(bestand.Startmeldungen()[0]);
        EXPECT_THAT(meldung, HasSubstr("»daten/kunden.dat« endet mitten in einem Datensatz"));
        EXPECT_THAT(meldung, HasSubstr("»daten/kunden.dat.unvollstaendig«"));
        EXPECT_EQ(ReadBytes("daten/kunden.dat.unvollstaendig"), abgeschnitten);
        // Changed, so that the exit rewrites the file whole.
        bestand.GetVerwaltungen().kundenVerwaltung->operator[](0).PLZ = 55116;
    }
    EXPECT_EQ(FileSize("daten/kunden.dat"), 3 * static_cast<std::int64_t>(Kunde::DiskSize));
    EXPECT_EQ(ReadBytes("daten/kunden.dat.unvollstaendig"), abgeschnitten);
    {
        // Whole again: nothing to tell.
        Datenbestand bestand;
        bestand.KundenEinlesen();
        EXPECT_TRUE(bestand.Startmeldungen().empty());
    }

    // A second, different cut keeps the first copy and takes the next name.
    WriteBytes("daten/kunden.dat", ganz.substr(0, 10));
    EXPECT_EQ(DatenDateien::Pruefen("daten", true).size(), 1u);
    EXPECT_EQ(ReadBytes("daten/kunden.dat.unvollstaendig"), abgeschnitten);
    EXPECT_EQ(ReadBytes("daten/kunden.dat.unvollstaendig.2"), ganz.substr(0, 10));
    // Without `sichern` nothing is written.
    WriteBytes("daten/weinliste.dat", "abc");
    EXPECT_EQ(DatenDateien::Pruefen("daten", false).size(), 2u);
    EXPECT_FALSE(FileExists("daten/weinliste.dat.unvollstaendig"));
}

TEST(DatenDateienTest, AnExitWritesOnlyTheFilesWhoseContentsChanged) {
    TempDir dir(true);
    Anlegen();
    WriteBytes("daten/weinlisten.txt", "Privat");
    {
        Datenbestand bestand;
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen();
    }
    // Every file an hour old.
    std::map<std::string, std::int64_t> vorher;
    for (const auto& eintrag : std::filesystem::directory_iterator("daten")) {
        const std::string pfad = eintrag.path().string();
        struct timeval alt[2] = {{1700000000, 0}, {1700000000, 0}};
        ASSERT_EQ(::utimes(pfad.c_str(), alt), 0);
        vorher[pfad] = Mtime(pfad);
    }
    {
        Datenbestand bestand;
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen();
    }
    for (const auto& [pfad, zeit] : vorher) {
        EXPECT_EQ(Mtime(pfad), zeit) << pfad;
    }
    {
        Datenbestand bestand;
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen();
        (*bestand.GetVerwaltungen().kundenVerwaltung)[1].PLZ = 67547;
    }
    for (const auto& [pfad, zeit] : vorher) {
        EXPECT_EQ(Mtime(pfad) != zeit, pfad == "daten/kunden.dat") << pfad;
    }
}

TEST(DatenDateienTest, ALogBookThatCannotBeOpenedIsToldAtStart) {
    TempDir dir(true);
    IoFaults::SetHook([](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Open && pfad == "daten/logbuch.txt" ? EACCES : 0;
    });
    {
        Datenbestand bestand;
        IoFaults::ClearHook();
        ASSERT_EQ(bestand.Startmeldungen().size(), 1u);
        EXPECT_EQ(CodePage::Cp1252ToUtf8(bestand.Startmeldungen()[0]),
                  "Das Logbuch »daten/logbuch.txt« kann nicht geöffnet werden (keine "
                  "Berechtigung). Änderungen und Löschungen werden in dieser Sitzung nicht im "
                  "Logbuch festgehalten.");
    }
    IoFaults::ClearHook();
    Datenbestand bestand;
    EXPECT_TRUE(bestand.Startmeldungen().empty());
}

}  // namespace
