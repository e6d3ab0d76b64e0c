#include "documents/BIFFOut.h"

#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

TEST(BIFFOutTest, WritesExactlyTheCellRecords) {
    TempDir dir;
    const std::string path = dir / "t.xls";
    {
        BIFFOut out(path);
        out.SetDefColWidth(10);
        out.WriteLabel(0, 0, "Wein 4");
        out.WriteNumber(5, 1, 12.0);
        EXPECT_TRUE(out.Close());
    }
    const std::string expected =
        std::string("\x09\x02\x06\x00\x07\x00\x10\x00\x00\x00", 10) +  // beginning of file
        std::string("\x0B\x02\x0C\x00", 4) + std::string(12, '\0') +   // index
        std::string("\x55\x00\x02\x00\x0A\x00", 6) +                   // default column width
        std::string("\x04\x00\x0E\x00\x00\x00\x00\x00\x00\x00\x03\x06", 12) + "Wein 4" +
        std::string("\x03\x00\x0F\x00\x05\x00\x01\x00\x00\x00\x00", 11) +
        std::string("\x00\x00\x00\x00\x00\x00\x28\x40", 8) +  // 12.0
        std::string("\x0A\x00\x00\x00", 4);                   // end of file
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(BIFFOutTest, CellsBeyondTheSheetAreLeftOut) {
    TempDir dir;
    const std::string path = dir / "t.xls";
    BIFFOut out(path);
    out.WriteNumber(16384, 0, 1.0);
    out.WriteLabel(0, 256, "x");
    out.WriteNumber(16383, 255, 2.0);
    EXPECT_EQ(out.SkippedCells(), 2);
    EXPECT_TRUE(out.Close());
    EXPECT_EQ(FileSize(path), 10 + 16 + 19 + 4);
}

TEST(BIFFOutTest, UnwritableFileIsReported) {
    TempDir dir;
    BIFFOut out(dir / "missing/t.xls");
    EXPECT_FALSE(out.Close());
    EXPECT_FALSE(FileExists(dir / "missing/t.xls"));
}

}  // namespace
