// One program at a time writes a data folder: the lock, seen from a second
// real process; and a sample business that fails half-way (a full disk)
// leaves the folder as it was.

#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "storage/DatenSperre.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

using ::testing::AnyOf;
using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kKlein = {"beispieldaten", "--kunden", "20",         "--weine",  "8",
                                         "--rechnungen",  "50",       "--stichtag", "7.12.2026"};

using SperreTest = CliFixture;

TEST_F(SperreTest, BeispieldatenWaitsForNoOneAndTouchesNothingWhileAnotherProgramHoldsTheFolder) {
    fs::create_directory(Daten());
    WriteBytes(Daten() + "/logbuch.txt", "( 1. 1.2026 10: 0: 0) >> KUNDE GEL\xD6SCHT <<\r\n");
    {
        // This test process is the window that has the folder open.
        DatenSperre fenster(Daten());
        ASSERT_TRUE(fenster.Gehalten());
        const Schnappschuss vorher = Aufnahme(Daten());
        const Ergebnis e = Lauf(kKlein);
        EXPECT_EQ(e.status, 1);
        EXPECT_THAT(e.err,
                    HasSubstr("Das Datenverzeichnis \xC2\xBB" + fs::canonical(Daten()).string() +
                              "\xC2\xAB wird gerade von einem anderen Rebkontor-Programm "
                              "benutzt"));
        EXPECT_EQ(e.out, "");
        EXPECT_EQ(Aufnahme(Daten()), vorher);

        // Reading commands do not wait for the window.
        const Ergebnis suche = Lauf({"suche", "--betrag", "10"});
        EXPECT_EQ(suche.status, 0) << suche.err;
        EXPECT_EQ(Lauf({"pruefen"}).status, 0);
        EXPECT_EQ(Aufnahme(Daten()), vorher);
    }
    // Files that are no business data stay as they are, not even rewritten.
    WriteBytes(Daten() + "/merkzettel.dat", std::string(308, 'n'));
    WriteBytes(Daten() + "/eigene-notizen.txt", "meins");
    Schnappschuss fremd = Aufnahme(Daten());
    const Ergebnis danach = Lauf(kKlein);
    EXPECT_EQ(danach.status, 0) << danach.err;
    Schnappschuss jetzt = Aufnahme(Daten());
    EXPECT_EQ(jetzt["merkzettel.dat"], fremd["merkzettel.dat"]);
    EXPECT_EQ(jetzt["eigene-notizen.txt"], fremd["eigene-notizen.txt"]);
    EXPECT_EQ(FileSize(Daten() + "/kunden.dat"), 20 * 528);
    // The log book of the folder is kept, with the business's lines after it.
    EXPECT_THAT(ReadBytes(Daten() + "/logbuch.txt"),
                ::testing::StartsWith("( 1. 1.2026 10: 0: 0) >> KUNDE GEL\xD6SCHT <<\r\n"));
}

TEST_F(SperreTest, TheLockGoesWithItsProcessEvenWhenItIsKilled) {
    fs::create_directory(Daten());
    int bereit[2];
    ASSERT_EQ(::pipe(bereit), 0);
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::close(bereit[0]);
        // Only system calls from here: the lock of a process that dies.
        const std::string pfad = Daten() + "/" + DatenSperre::kDateiname;
        DatenSperre sperre(Daten());
        const char zeichen = sperre.Gehalten() ? 'j' : 'n';
        (void)!::write(bereit[1], &zeichen, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(bereit[1]);
    char zeichen = 0;
    ASSERT_EQ(::read(bereit[0], &zeichen, 1), 1);
    ::close(bereit[0]);
    ASSERT_EQ(zeichen, 'j');

    // Held by the other process: this one is refused too.
    EXPECT_THROW(DatenSperre zweite(Daten()), MessageException);
    EXPECT_EQ(Lauf(kKlein).status, 1);

    // A crash leaves no stale lock behind.
    ::kill(kind, SIGKILL);
    int status = 0;
    ::waitpid(kind, &status, 0);
    DatenSperre danach(Daten());
    EXPECT_TRUE(danach.Gehalten());
}

TEST_F(SperreTest, BeispieldatenThatFailsAtAnyWriteLeavesTheFolderAsItWas) {
    fs::create_directory(Daten());
    WriteBytes(Daten() + "/preferences.dat", std::string(336, '\0'));
    const Schnappschuss vorher = Aufnahme(Daten());
    Beispieldaten::Umfang umfang;
    umfang.kunden = 12;
    umfang.weine = 6;
    umfang.preislisten = 2;
    umfang.rechnungen = 30;
    // How many writes the whole business takes, counted on a folder of its own.
    int alle = 0;
    {
        TempDir probe;
        fs::copy(Daten(), probe / "daten");
        IoFaults::SetHook([&](IoFaults::Op op, const std::string&) {
            alle += op == IoFaults::Op::Write ? 1 : 0;
            return 0;
        });
        Beispieldaten::Anlegen(probe / "daten", umfang, 3, Datum(7, 12, 2026));
        IoFaults::ClearHook();
    }
    ASSERT_GT(alle, 50);
    // The copies of the files there, the first records, the middle, the last.
    for (const int n : {1, 2, 3, alle / 4, alle / 2, alle - 1, alle}) {
        TempDir versuch;
        fs::copy(Daten(), versuch / "daten");
        const std::string daten = versuch / "daten";
        const Schnappschuss davor = Aufnahme(daten);
        int schreibvorgaenge = 0;
        IoFaults::SetHook([&](IoFaults::Op op, const std::string&) {
            return op == IoFaults::Op::Write && ++schreibvorgaenge == n ? ENOSPC : 0;
        });
        bool gescheitert = false;
        try {
            Beispieldaten::Anlegen(daten, umfang, 3, Datum(7, 12, 2026));
        } catch (const MessageException& fehler) {
            gescheitert = true;
            // The reason, where the failed write gives it.
            EXPECT_THAT(fehler.Text(),
                        AnyOf(HasSubstr("Die Beispieldaten konnten nicht angelegt werden (kein "
                                        "Platz mehr auf dem Datentr\xE4ger)"),
                              HasSubstr("Die Beispieldaten konnten nicht angelegt werden (ist "
                                        "der Datentr\xE4ger voll?)")));
            EXPECT_THAT(fehler.Text(), HasSubstr("ist unver\xE4ndert."));
        }
        IoFaults::ClearHook();
        if (gescheitert) {
            EXPECT_EQ(Aufnahme(daten), davor) << "write " << n;
        } else {
            // Only the rewrites when the data set closes may fail unseen:
            // they write what is already there.
            EXPECT_GT(n, alle / 2);
            EXPECT_EQ(FileSize(daten + "/kunden.dat"), 12 * 528);
            EXPECT_EQ(Lauf({"pruefen"}, versuch.Path()).status, 0);
        }
    }
    EXPECT_EQ(Aufnahme(Daten()), vorher);
    // And it runs again.
    Beispieldaten::Anlegen(Daten(), umfang, 3, Datum(7, 12, 2026));
    EXPECT_EQ(FileSize(Daten() + "/kunden.dat"), 12 * 528);
    EXPECT_EQ(Lauf({"pruefen"}).status, 0);
}

TEST_F(SperreTest, BeispieldatenOnARealFullDiskSaysSoAndLeavesTheFolderAsItWas) {
    fs::create_directory(Daten());
    if (::mount("tmpfs", Daten().c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "no small tmpfs can be mounted here (" << std::strerror(errno)
                     << "); the fault seam covers the full disk instead";
    }
    struct Aushaengen {
        std::string pfad;
        ~Aushaengen() { ::umount2(pfad.c_str(), MNT_DETACH); }
    } aushaengen{Daten()};
    WriteBytes(Daten() + "/merkzettel.dat", std::string(308, 'x'));
    const Schnappschuss vorher = Aufnahme(Daten());

    const Ergebnis e = Lauf({"beispieldaten", "--kunden", "1000", "--stichtag", "7.12.2026"});
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.err, AnyOf(HasSubstr("Die Beispieldaten konnten nicht angelegt werden (kein "
                                       "Platz mehr auf dem Datentr\xC3\xA4ger)"),
                             HasSubstr("Die Beispieldaten konnten nicht angelegt werden (ist der "
                                       "Datentr\xC3\xA4ger voll?)")));
    EXPECT_EQ(e.out, "");
    Schnappschuss nachher = Aufnahme(Daten());
    // The lock file is no data; it stays for the next program.
    nachher.erase(DatenSperre::kDateiname);
    EXPECT_EQ(nachher, vorher);

    // Not refused the next time: a business that fits is made.
    const Ergebnis klein = Lauf(kKlein);
    EXPECT_EQ(klein.status, 0) << klein.err;
}

}  // namespace
