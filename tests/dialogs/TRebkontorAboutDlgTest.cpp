#include "dialogs/TRebkontorAboutDlg.h"

#include <gtest/gtest.h>

#include <map>

#include "storage/CodePage.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/FakeServices.h"

namespace {

TEST(TProjectRCVersionTest, ReadsTheRecordTheBuildPutIntoTheProgram) {
    // This test program carries the record as the real one does.
    TProjectRCVersion version;
    ASSERT_TRUE(version.HatRecord());
    EXPECT_EQ(version.Uebersetzung(), 0x040904E4u);
    std::string text;
    EXPECT_TRUE(version.GetProductName(text));
    EXPECT_EQ(text, "Rebkontor");
    EXPECT_TRUE(version.GetProductVersion(text));
    EXPECT_EQ(text, REBKONTOR_VERSION);
    EXPECT_TRUE(version.Query("FileDescription", text));
    EXPECT_EQ(text, "Rebkontor for Windows");
    EXPECT_TRUE(version.Query("CompanyName", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(version.GetCopyright(text));
    EXPECT_FALSE(version.GetSpecialBuild(text));
}

TEST(TProjectRCVersionTest, FilesWithoutOrWithABrokenRecordHaveNone) {
    TempDir dir;
    WriteBytes(dir / "text", "kein Programm");
    WriteBytes(dir / "elf", std::string("\x7f"
                                        "ELF\x02\x01",
                                        6) +
                                std::string(58, '\xff'));
    for (const std::string& path :
         {dir / "text", dir / "elf", dir / "fehlt", std::string("/bin/true")}) {
        TProjectRCVersion version(path);
        std::string text;
        EXPECT_FALSE(version.HatRecord()) << path;
        EXPECT_FALSE(version.GetProductName(text)) << path;
    }
    std::map<std::string, std::string> entries;
    EXPECT_FALSE(TProjectRCVersion::Parse("RKVRkey", entries));
    EXPECT_FALSE(TProjectRCVersion::Parse(std::string("RKVRkey\0\x09\x00"
                                                      "abc",
                                                      13),
                                          entries));
    EXPECT_TRUE(TProjectRCVersion::Parse(std::string("RKVRkey\0\x03\x00"
                                                     "abc",
                                                     13),
                                         entries));
    EXPECT_EQ(entries["key"], "abc");
}

TEST(TRebkontorAboutDlgTest, ShowsTheVersionLineOnlyWithARecord) {
    FakeServices app;
    app.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
    TRebkontorAboutDlg mit;
    FakeWindow& w = app.Show(mit);
    EXPECT_EQ(w.Caption(), "About Rebkontor");
    EXPECT_EQ(w.Text(22001), std::string("Rebkontor Version ") + REBKONTOR_VERSION);
    EXPECT_EQ(w.Text(22002), TRebkontorAboutDlg::Rechtshinweis());
    EXPECT_EQ(w.Text(22003), "");

    TRebkontorAboutDlg ohne("/bin/true");
    FakeWindow& v = app.Show(ohne);
    EXPECT_EQ(v.Text(22001), "Version");
    EXPECT_EQ(v.Text(22002), "");
    v.PressEnter();
    EXPECT_EQ(v.Result(), 1);
}

}  // namespace
