#include "storage/File.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "storage/CodePage.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

std::string Grund(const Fehler& fehler) {
    return CodePage::Cp1252ToUtf8(fehler.Grund());
}

// A failure names what was done, to which file, and why, in the words the
// messages use; a failed replacement names the file asked for, not its
// temporary file, and leaves nothing beside it.
TEST(FileTest, AFailureKeepsItsOperationPathAndReason) {
    TempDir dir;
    const std::string fehlt = dir / "fehlt.dat";
    const Ergebnis<std::string> gelesen = File::ReadFile(fehlt);
    ASSERT_FALSE(gelesen);
    EXPECT_EQ(gelesen.Ursache().Was(), Fehler::Vorgang::Oeffnen);
    EXPECT_EQ(gelesen.Ursache().Pfad(), fehlt);
    EXPECT_EQ(gelesen.Ursache().Nummer(), ENOENT);
    EXPECT_EQ(Grund(gelesen.Ursache()), "die Datei gibt es nicht");
    // Only a missing file reads as empty.
    const Ergebnis<std::string> leer = File::ReadIfExists(fehlt);
    ASSERT_TRUE(leer);
    EXPECT_EQ(*leer, "");
    const Ergebnis<std::string> ordner = File::ReadIfExists(dir.Path());
    ASSERT_FALSE(ordner);
    EXPECT_EQ(Grund(ordner.Ursache()), "es ist ein Verzeichnis");

    const Ergebnis<File> ohneOrdner = File::OpenReadWrite(dir / "nirgends/neu.dat");
    ASSERT_FALSE(ohneOrdner);
    EXPECT_EQ(ohneOrdner.Ursache().Was(), Fehler::Vorgang::Anlegen);
    EXPECT_EQ(Grund(ohneOrdner.Ursache()), "den Ordner gibt es nicht");

    const std::string ziel = dir / "ziel.txt";
    WriteBytes(ziel, "alt");
    for (const File::Temp temp : {File::Temp::Fixed, File::Temp::Unique}) {
        for (const auto& [op, nummer, vorgang, grund] :
             std::vector<std::tuple<IoFaults::Op, int, Fehler::Vorgang, std::string>>{
                 {IoFaults::Op::Open, EACCES, Fehler::Vorgang::Anlegen, "keine Berechtigung"},
                 {IoFaults::Op::Write, ENOSPC, Fehler::Vorgang::Schreiben,
                  "kein Platz mehr auf dem Datenträger"},
                 {IoFaults::Op::Sync, EIO, Fehler::Vorgang::Sichern,
                  "Ein-/Ausgabefehler des Datenträgers"},
                 {IoFaults::Op::Rename, EROFS, Fehler::Vorgang::Umbenennen,
                  "das Dateisystem ist schreibgeschützt"}}) {
            IoFaults::SetHook([op = op, nummer = nummer](IoFaults::Op o, const std::string&) {
                return o == op ? nummer : 0;
            });
            const Ergebnis<void> ersetzt = File::ReplaceAtomically(ziel, "neu", temp);
            IoFaults::ClearHook();
            ASSERT_FALSE(ersetzt) << grund;
            EXPECT_EQ(ersetzt.Ursache().Was(), vorgang) << grund;
            EXPECT_EQ(ersetzt.Ursache().Pfad(), ziel) << grund;
            EXPECT_EQ(Grund(ersetzt.Ursache()), grund);
            EXPECT_EQ(ReadBytes(ziel), "alt");
            std::vector<std::string> namen;
            for (const auto& eintrag : std::filesystem::directory_iterator(dir.Path())) {
                namen.push_back(eintrag.path().filename().string());
            }
            EXPECT_EQ(namen, std::vector<std::string>{"ziel.txt"}) << grund;
        }
    }
}

}  // namespace
