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

TEST(FileFilterTest, AnOfferedExtensionDecidesTheFormatAnyOtherGetsTheFiltersOne) {
    auto f = FileFilter::Parse("Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|");
    auto complete = [&](const std::string& name, int filter, const std::string& defaultExt) {
        SaveFileResult r = FileFilter::Complete(name, f, filter, defaultExt);
        return r.path + " " + std::to_string(r.filterIndex);
    };
    EXPECT_EQ(complete("/tmp/fl_1_1_2027", 1, "txt"), "/tmp/fl_1_1_2027.txt 1");
    EXPECT_EQ(complete("/tmp/fl_1_1_2027", 2, "txt"), "/tmp/fl_1_1_2027.xls 2");
    EXPECT_EQ(complete("/tmp.d/liste", 1, "txt"), "/tmp.d/liste.txt 1");
    // A typed extension among those offered wins over the chosen filter.
    EXPECT_EQ(complete("/tmp/fl_dez.xls", 1, "txt"), "/tmp/fl_dez.xls 2");
    EXPECT_EQ(complete("/tmp/FL_DEZ.TXT", 2, "txt"), "/tmp/FL_DEZ.TXT 1");
    // Any other gets the filter's one added.
    EXPECT_EQ(complete("/tmp/liste.dat", 2, "txt"), "/tmp/liste.dat.xls 2");
    EXPECT_EQ(complete("/tmp/fl.dez", 1, "txt"), "/tmp/fl.dez.txt 1");
    EXPECT_EQ(complete("/tmp/liste.", 1, "txt"), "/tmp/liste.txt 1");
    EXPECT_EQ(complete("/tmp/.xls", 1, "txt"), "/tmp/.xls.txt 1");

    auto all = FileFilter::Parse("Adressdatei (*.CSV)|*.csv| Alle Dateien (*.*)|*.*|");
    auto alle = [&](const std::string& name, int filter, const std::string& defaultExt) {
        SaveFileResult r = FileFilter::Complete(name, all, filter, defaultExt);
        return r.path + " " + std::to_string(r.filterIndex);
    };
    EXPECT_EQ(alle("adressen", 2, "csv"), "adressen.csv 2");
    EXPECT_EQ(alle("adressen", 2, ""), "adressen 2");
    EXPECT_EQ(alle("adressen.txt", 2, "csv"), "adressen.txt 2");
    EXPECT_EQ(alle("adressen.txt", 1, "csv"), "adressen.txt.csv 1");
    EXPECT_EQ(alle("adressen.CSV", 2, "csv"), "adressen.CSV 1");
    EXPECT_TRUE(FileFilter::IsPattern("*.csv"));
    EXPECT_FALSE(FileFilter::IsPattern("preislisten.txt"));
}

}  // namespace
