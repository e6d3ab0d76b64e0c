#include "model/WeinlistenVerwaltung.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kDatei = "daten/weinliste.dat";

std::vector<std::int32_t> NummernImFile() {
    const std::string bytes = ReadBytes(kDatei);
    std::vector<std::int32_t> nummern;
    for (std::size_t pos = 0; pos + Wein::DiskSize <= bytes.size(); pos += Wein::DiskSize) {
        nummern.push_back(Int32At(bytes, pos));
    }
    return nummern;
}

std::string AlterText(std::uint8_t laenge, const std::string& text, std::size_t capacity) {
    std::string feld(1, static_cast<char>(laenge));
    feld += text;
    feld.resize(capacity + 1, '\0');
    return feld;
}

class WeinlistenVerwaltungTest : public ::testing::Test {
  protected:
    TempDir dir_{true};
};

TEST_F(WeinlistenVerwaltungTest, RecordLayoutAndDefaults) {
    FixedClock clock(7, 3, 2002, 10, 0, 0);
    Wein wein;
    wein.nummer = 12;
    FixedText::Set(wein.name, "Riesling");
    wein.gewicht = 1300;
    wein.bestand = -5;
    wein.verborgen = 1;
    std::string bytes;
    ByteWriter out(bytes);
    out << wein;
    ASSERT_EQ(bytes.size(), 149u);
    EXPECT_EQ(bytes.substr(4, 9), std::string("Riesling\0", 9));
    EXPECT_EQ(Int16At(bytes, 134), 1300);
    EXPECT_EQ(Int32At(bytes, 136), -5);
    EXPECT_EQ(bytes[140], 1);
    EXPECT_EQ(static_cast<std::uint32_t>(Int32At(bytes, 141)), Datum(7, 3, 2002).Julian());
}

TEST_F(WeinlistenVerwaltungTest, SortRewritesTheFileInNumberOrder) {
    WeinlistenVerwaltung verwaltung(kDatei);
    for (std::int32_t nummer : {30, 10, 20, 10}) {
        verwaltung.AddWein(nummer);
    }
    EXPECT_EQ(verwaltung.Count(), 3u);
    EXPECT_EQ(NummernImFile(), (std::vector<std::int32_t>{30, 10, 20}));
    verwaltung.Sort();
    EXPECT_EQ(NummernImFile(), (std::vector<std::int32_t>{10, 20, 30}));
    verwaltung.AddWein(15);
    EXPECT_EQ(NummernImFile(), (std::vector<std::int32_t>{10, 20, 30, 15}));
    EXPECT_EQ(verwaltung[3].nummer, 15);
    verwaltung.Sort();
    EXPECT_EQ(NummernImFile(), (std::vector<std::int32_t>{10, 15, 20, 30}));
}

TEST_F(WeinlistenVerwaltungTest, StockAndHiddenFlagAreOnDiskAtOnce) {
    WeinlistenVerwaltung verwaltung(kDatei);
    verwaltung.AddWein(1);
    verwaltung.AddWein(2);
    EXPECT_EQ(verwaltung.ChangeBestand(-1, 5), nullptr);
    EXPECT_EQ(verwaltung.ChangeBestand(3, 5), nullptr);

    Wein* wein = verwaltung.ChangeBestand(2, 6);
    ASSERT_NE(wein, nullptr);
    wein = verwaltung.ChangeBestand(2, -10);
    EXPECT_EQ(wein->bestand, -4);
    EXPECT_EQ(Int32At(ReadBytes(kDatei), 149 + 136), -4);
    // The stock does not wrap around.
    verwaltung.ChangeBestand(1, 2147483647);
    verwaltung.ChangeBestand(1, 10);
    EXPECT_EQ(verwaltung.GetWein(1)->bestand, 2147483647);

    Wein* versteckt = verwaltung.GetWein(1);
    versteckt->verborgen = 1;
    verwaltung.Store(versteckt);
    EXPECT_EQ(ReadBytes(kDatei)[140], 1);
    Wein fremd;
    EXPECT_THROW(verwaltung.Store(&fremd), MessageException);

    WeinlistenVerwaltung wieder("daten/weinliste.dat");
    ASSERT_NE(wieder.GetWein(1), nullptr);
    EXPECT_EQ(wieder.GetWein(1)->verborgen, 1);
    EXPECT_EQ(wieder.GetWein(2)->bestand, -4);
}

TEST_F(WeinlistenVerwaltungTest, ImportOfTheOldListClampsTextsAndFillsTheFile) {
    std::filesystem::create_directory("daten_alt");
    std::string alt;
    // Record 0 has no name and is skipped; record 1 has overlong lengths.
    alt += AlterText(0, "", 60) + AlterText(3, "abc", 60) + AlterText(2, "1l", 10) + "\x10\x05";
    alt += AlterText(60, std::string(60, 'N'), 60) + AlterText(255, std::string(60, 'B'), 60) +
           AlterText(10, "0,75 Liter", 10) + "\x14\x05";
    alt += AlterText(8, "Sp\x84tlese", 60) + AlterText(0, "", 60) + AlterText(4, "0,7l", 10) +
           std::string("\xE8\x03", 2);
    // A record cut off by the end of the file is no wine.
    alt += AlterText(4, "Rest", 60);
    WriteBytes("daten_alt/wl", alt);

    FixedClock clock(1, 5, 2026);
    WeinlistenVerwaltung verwaltung(kDatei);
    verwaltung.AddWein(500);
    verwaltung.ImportAlteWeinliste();

    ASSERT_EQ(verwaltung.Count(), 2u);
    const Wein& lang = verwaltung[0];
    EXPECT_EQ(lang.nummer, 1);
    EXPECT_EQ(std::string(lang.name), std::string(59, 'N'));
    EXPECT_EQ(std::string(lang.bezeichnung), std::string(59, 'B'));
    EXPECT_STREQ(lang.fuellmenge, "0,75 Lite");
    EXPECT_EQ(lang.gewicht, 0x0514);
    EXPECT_EQ(lang.bestand, 100000);
    EXPECT_EQ(lang.verborgen, 0);
    EXPECT_EQ(FixedText::Get(verwaltung[1].name), "Spätlese"_w);
    EXPECT_EQ(verwaltung[1].gewicht, 1000);

    // The file holds the imported wines, not fresh defaults.
    const std::string datei = ReadBytes(kDatei);
    ASSERT_EQ(datei.size(), 2u * 149);
    EXPECT_EQ(datei.substr(4, 59), std::string(59, 'N'));
    EXPECT_EQ(Int32At(datei, 136), 100000);
    EXPECT_EQ(Int32At(datei, 149), 2);
}

TEST_F(WeinlistenVerwaltungTest, ImportWithoutTheOldFileChangesNothing) {
    WeinlistenVerwaltung verwaltung(kDatei);
    verwaltung.AddWein(7);
    const std::string vorher = ReadBytes(kDatei);
    try {
        verwaltung.ImportAlteWeinliste();
        FAIL();
    } catch (const MessageException& e) {
        EXPECT_NE(e.Text().find("daten_alt/wl"), std::string::npos);
    }
    EXPECT_EQ(verwaltung.Count(), 1u);
    EXPECT_EQ(ReadBytes(kDatei), vorher);
}

}  // namespace
