#include "windowing/FileFilter.h"

#include <gtest/gtest.h>

namespace {

TEST(FileFilterTest, ParsesDescriptionPatternPairs) {
    auto f = FileFilter::Parse("Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].description, "Textdatei (*.TXT)");
    EXPECT_EQ(f[0].patterns, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(f[1].patterns, std::vector<std::string>{"*.xls"});
    EXPECT_EQ(FileFilter::BareDescription(f[1].description), "Excel Tabelle");
}

TEST(FileFilterTest, MissingPatternAndAllFilesAreMended) {
    // A description without its pattern takes the one it names.
    auto f = FileFilter::Parse("Textdatei (*.TXT)|");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].patterns, std::vector<std::string>{"*.TXT"});

    auto g = FileFilter::Parse("Adressdatei (*.CSV)|*.csv| Alle Dateien (*.*)|*.*|");
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[1].description, "Alle Dateien (*.*)");
    EXPECT_EQ(g[1].patterns, std::vector<std::string>{"*"});

    EXPECT_EQ(FileFilter::Parse("").front().patterns, std::vector<std::string>{"*"});
    EXPECT_EQ(FileFilter::Parse("Bilder|*.png;*.jpg|")[0].patterns.size(), 2u);
}

TEST(FileFilterTest, NameWithoutExtensionGetsTheChosenFiltersOne) {
    auto f = FileFilter::Parse("Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|");
    EXPECT_EQ(FileFilter::CompleteName("/tmp/fl_1_1_2027", f, 1, "txt"), "/tmp/fl_1_1_2027.txt");
    EXPECT_EQ(FileFilter::CompleteName("/tmp/fl_1_1_2027", f, 2, "txt"), "/tmp/fl_1_1_2027.xls");
    EXPECT_EQ(FileFilter::CompleteName("/tmp/liste.dat", f, 2, "txt"), "/tmp/liste.dat");
    EXPECT_EQ(FileFilter::CompleteName("/tmp.d/liste", f, 1, "txt"), "/tmp.d/liste.txt");
    auto all = FileFilter::Parse("Alle Dateien (*.*)|*.*|");
    EXPECT_EQ(FileFilter::CompleteName("adressen", all, 1, "csv"), "adressen.csv");
    EXPECT_EQ(FileFilter::CompleteName("adressen", all, 1, ""), "adressen");
    EXPECT_TRUE(FileFilter::IsPattern("*.csv"));
    EXPECT_FALSE(FileFilter::IsPattern("preislisten.txt"));
}

}  // namespace
