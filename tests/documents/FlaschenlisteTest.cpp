#include "documents/Flaschenliste.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "model/RechnungsFixture.h"

namespace {

class FlaschenlisteTest : public RechnungsFixture {
  protected:
    FlaschenlisteTest() {
        WeinAnlegen(4, 1000);
        WeinAnlegen(9, 1000);
        kunde_ = KundeAnlegen("Meier");
        Customizer& c = *V().customizer;
        // Dating period 1.12. to 31.12.2026, in use; capture period off.
        c.filterVon2 = static_cast<std::int32_t>(Datum(1, 12, 2026).Julian());
        c.filterBis2 = static_cast<std::int32_t>(Datum(31, 12, 2026).Julian());
        c.filterMit1 = 0;
        c.filterMit2 = 1;
    }

    void Datiert(std::int32_t id) {
        Rechnung* r = Rv().GetRechnung(id);
        r->datum = Datum(5, 12, 2026).Julian();
        Rv().UpdateCurrentRechnung();
    }

    std::string Text() {
        EXPECT_TRUE(Flaschenliste::Write(Rv(), *V().customizer, "fl.txt", Flaschenliste::kText));
        return ReadBytes("fl.txt");
    }

    std::int32_t kunde_ = 0;
};

const std::string kKopf =
    "Datei: fl.txt\r\n\r\nFlaschenliste f\xFCr den Zeitraum vom 1.12.2026 bis zum 31.12.2026\r\n"
    "\r\n\r\n";

TEST_F(FlaschenlisteTest, TwoWinesInCollectionOrderWithSums) {
    Datiert(RechnungSpeichern(kunde_, {{4, 6, 1, 1}}));
    Datiert(RechnungSpeichern(kunde_, {{9, 3, 1, 1}, {4, 12, 1, 1}}));
    // Newest invoice first: 12 bottles of wine 4 are collected before 6.
    EXPECT_EQ(Text(), kKopf +
                          "Wein Nummer (4): 12, 6\r\n"
                          "Summe: 18\r\n\r\n"
                          "Wein Nummer (9): 3\r\n"
                          "Summe: 3\r\n\r\n");

    ASSERT_TRUE(Flaschenliste::Write(Rv(), *V().customizer, "fl.xls", Flaschenliste::kTabelle));
    std::ofstream script("lies.py");
    script << "import os, xlrd\n"
              "book = xlrd.open_workbook('fl.xls', logfile=open(os.devnull, 'w'))\n"
              "s = book.sheet_by_index(0)\n"
              "for r in range(s.nrows):\n"
              "    for c in range(s.ncols):\n"
              "        v = s.cell_value(r, c)\n"
              "        if v != '': print(r, c, repr(v))\n";
    script.close();
    ASSERT_EQ(std::system("/usr/bin/python3 lies.py > zellen.txt 2>&1"), 0)
        << ReadBytes("zellen.txt");
    EXPECT_EQ(ReadBytes("zellen.txt"),
              "0 0 'Liste verkaufter Flaschen'\n"
              "1 0 'Datierung der Rechnungen von 1.12.2026 bis 31.12.2026'\n"
              "3 0 'Wein 4'\n"
              "3 1 'Wein 9'\n"
              "5 0 12.0\n"
              "5 1 3.0\n"
              "6 0 6.0\n");
}

TEST_F(FlaschenlisteTest, SpreadsheetBytesForASmallCase) {
    Datiert(RechnungSpeichern(kunde_, {{9, 3, 1, 1}}));
    V().customizer->filterMit2 = 0;
    V().customizer->filterMit1 = 1;
    V().customizer->filterVon1 = static_cast<std::int32_t>(Datum(1, 12, 2026).Julian());
    V().customizer->filterBis1 = static_cast<std::int32_t>(Datum(31, 12, 2026).Julian());
    ASSERT_TRUE(Flaschenliste::Write(Rv(), *V().customizer, "fl.xls", Flaschenliste::kTabelle));
    auto label = [](int row, int col, const std::string& text) {
        return std::string("\x04\x00", 2) + static_cast<char>(8 + text.size()) + '\0' +
               static_cast<char>(row) + '\0' + static_cast<char>(col) + '\0' +
               std::string("\x00\x00\x03", 3) + static_cast<char>(text.size()) + text;
    };
    const std::string expected =
        std::string("\x09\x02\x06\x00\x07\x00\x10\x00\x00\x00", 10) +
        std::string("\x0B\x02\x0C\x00", 4) + std::string(12, '\0') +
        std::string("\x55\x00\x02\x00\x0A\x00", 6) + label(0, 0, "Liste verkaufter Flaschen") +
        label(3, 0, "Wein 9") + std::string("\x03\x00\x0F\x00\x05\x00\x00\x00\x00\x00\x00", 11) +
        std::string("\x00\x00\x00\x00\x00\x00\x08\x40", 8) + std::string("\x0A\x00\x00\x00", 4);
    EXPECT_EQ(ReadBytes("fl.xls"), expected);
    // Only the capture period in use: no period line in the text either.
    EXPECT_EQ(Text(), "Datei: fl.txt\r\n\r\nWein Nummer (9): 3\r\nSumme: 3\r\n\r\n");
}

TEST_F(FlaschenlisteTest, TwentyTwoInvoicesBreakTheLineAfterTheTwentyFirst) {
    for (int i = 1; i <= 22; ++i) {
        Datiert(RechnungSpeichern(kunde_, {{4, static_cast<std::int16_t>(i), 1, 1}}));
    }
    std::string zeile1 = "Wein Nummer (4): 22";
    for (int i = 21; i >= 2; --i) {
        zeile1 += ", " + std::to_string(i);
    }
    EXPECT_EQ(Text(), kKopf + zeile1 + ",\r\n1\r\nSumme: 253\r\n\r\n");
}

TEST_F(FlaschenlisteTest, NoInvoicesGiveOnlyTheHeading) {
    EXPECT_EQ(Text(), kKopf);
    ASSERT_TRUE(Flaschenliste::Write(Rv(), *V().customizer, "fl.xls", Flaschenliste::kTabelle));
    EXPECT_EQ(FileSize("fl.xls"), 10 + 16 + 6 + (12 + 25) + (12 + 53) + 4);
    // Other formats collect and write nothing.
    EXPECT_TRUE(Flaschenliste::Write(Rv(), *V().customizer, "nichts.txt", 7));
    EXPECT_FALSE(FileExists("nichts.txt"));
}

TEST_F(FlaschenlisteTest, DeletedInvoicesAreNotCounted) {
    Datiert(RechnungSpeichern(kunde_, {{4, 6, 1, 1}}));
    std::int32_t weg = RechnungSpeichern(kunde_, {{4, 12, 1, 1}});
    Datiert(weg);
    Rv().DeleteRechnung(weg, false);
    EXPECT_EQ(Text(), kKopf + "Wein Nummer (4): 6\r\nSumme: 6\r\n\r\n");
}

TEST_F(FlaschenlisteTest, ASheetTooSmallForTheListSaysHowMuchItLeftOut) {
    // 300 wines with one item each, and wine 1 with more items than rows.
    Flaschenliste::Eintraege eintraege;
    for (int i = 0; i < 16400; ++i) {
        eintraege.Add({1, 6});
    }
    for (std::int32_t wein = 2; wein <= 300; ++wein) {
        eintraege.Add({wein, 12});
    }
    Flaschenliste::Auslassung a;
    ASSERT_TRUE(Flaschenliste::Tabelle("voll.xls", eintraege, *V().customizer, &a));
    // Rows 5 to 16383 of wine 1, columns 0 to 255: 16379 + 255 items fit.
    EXPECT_EQ(a.postenGesamt, 16699u);
    EXPECT_EQ(a.posten, 16699u - 16379u - 255u);
    EXPECT_EQ(a.weine, 44u);
    EXPECT_EQ(a.weineGesamt, 300u);
    EXPECT_FALSE(a.Vollstaendig());
    EXPECT_EQ(Flaschenliste::AuslassungsText(a),
              "Die Tabelle ist unvollst\xE4ndig: sie fasst h\xF6"
              "chstens 256 Weine und je Wein "
              "16379 Posten. Es fehlen 65 von 16699 Posten (darunter alle Posten von 44 der 300 "
              "Weine). Die Flaschenliste als Textdatei enth\xE4lt alle Posten.");
    // What fits is written all the same.
    EXPECT_GT(FileSize("voll.xls"), 16379 * 19);

    Flaschenliste::Auslassung passt;
    Datiert(RechnungSpeichern(kunde_, {{4, 6, 1, 1}}));
    ASSERT_TRUE(
        Flaschenliste::Write(Rv(), *V().customizer, "fl.xls", Flaschenliste::kTabelle, &passt));
    EXPECT_TRUE(passt.Vollstaendig());
    EXPECT_EQ(passt.postenGesamt, 1u);
}

}  // namespace
