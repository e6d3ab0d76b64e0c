#include "storage/LogBuch.h"

#include <gtest/gtest.h>

#include "storage/CodePage.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

TEST(LogBuchTest, StampIsPaddedAndLinesEndWithCrLf) {
    TempDir dir;
    const std::string path = dir / "logbuch.txt";
    FixedClock clock(6, 12, 2026, 9, 5, 3);
    {
        LogBuch log(path);
        log.Stamp() << ">> KUNDE GELÖSCHT << (erfasst am "_w << 17 << "," << 9.5f << "," << 4.86f
                    << "," << 12.0f << std::endl;
    }
    EXPECT_EQ(ReadBytes(path),
              "( 6.12.2026  9: 5: 3) >> KUNDE GEL\xD6SCHT << (erfasst am 17,9.5,4.86,12\r\n");
}

TEST(LogBuchTest, AppendsAcrossRunsAndWritesInnerLineBreaksAsCrLf) {
    TempDir dir;
    const std::string path = dir / "logbuch.txt";
    FixedClock clock(31, 12, 2026, 23, 59, 59);
    {
        LogBuch log(path);
        log.Stamp() << "eins" << std::endl;
    }
    {
        LogBuch log(path);
        log.Stamp() << "zwei\"x\",\nweiter" << std::endl;
        // Nothing reaches the file before the line is ended.
        log.Stamp() << "drei";
        EXPECT_EQ(ReadBytes(path).find("drei"), std::string::npos);
        log.Stamp() << std::flush;
    }
    EXPECT_EQ(ReadBytes(path),
              "(31.12.2026 23:59:59) eins\r\n"
              "(31.12.2026 23:59:59) zwei\"x\",\r\nweiter\r\n"
              "(31.12.2026 23:59:59) drei(31.12.2026 23:59:59) ");
}

TEST(LogBuchTest, ALineThatCannotBeWrittenOrSyncedIsRefusedAndTakenBack) {
    TempDir dir;
    const std::string path = dir / "logbuch.txt";
    FixedClock clock(6, 12, 2026, 9, 5, 3);
    LogBuch log(path);
    log.Stamp() << "eins" << std::endl;
    const std::string eins = ReadBytes(path);
    for (IoFaults::Op op : {IoFaults::Op::Write, IoFaults::Op::Sync}) {
        // A full disk: the append, or the sync after it, fails.
        IoFaults::SetHook(
            [op](IoFaults::Op o, const std::string&) { return o == op ? ENOSPC : 0; });
        try {
            log.Stamp() << "zwei" << std::endl;
            ADD_FAILURE() << "no exception";
        } catch (const MessageException& e) {
            // The message names the real reason, not a guess at it.
            EXPECT_EQ(CodePage::Cp1252ToUtf8(e.Text()),
                      "Die Zeile für das Logbuch " + path +
                          " konnte nicht geschrieben werden (kein Platz mehr auf dem "
                          "Datenträger). Die Änderung wurde nicht ausgeführt.");
        }
        IoFaults::ClearHook();
        EXPECT_EQ(ReadBytes(path), eins);
    }
    // The disk works again.
    log.Stamp() << "drei" << std::endl;
    EXPECT_EQ(ReadBytes(path), eins + "( 6.12.2026  9: 5: 3) drei\r\n");
}

TEST(LogBuchTest, UnopenableFileIsSilentlyIgnored) {
    TempDir dir;
    LogBuch log(dir / "missing/logbuch.txt");
    EXPECT_FALSE(log.IsOpen());
    log.Stamp() << "nichts" << std::endl;
    EXPECT_FALSE(FileExists(dir / "missing/logbuch.txt"));
}

TEST(LogBuchTest, FloatsUseSixSignificantDigits) {
    TempDir dir;
    const std::string path = dir / "logbuch.txt";
    FixedClock clock(1, 2, 2027, 10, 11, 12);
    {
        LogBuch log(path);
        log.Stamp() << 1234567.0f << "," << 0.1f << "," << 100.0f << "," << 12.345678f << std::endl;
    }
    EXPECT_EQ(ReadBytes(path), "( 1. 2.2027 10:11:12) 1.23457e+06,0.1,100,12.3457\r\n");
}

}  // namespace
