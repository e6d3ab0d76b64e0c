#include "model/MerkzettelVerwaltung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/FixedText.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kDatei = "daten/merkzettel.dat";

std::vector<std::string> TexteImFile() {
    const std::string bytes = ReadBytes(kDatei);
    std::vector<std::string> texte;
    for (std::size_t pos = 0; pos + 308 <= bytes.size(); pos += 308) {
        texte.emplace_back(bytes.c_str() + pos);
    }
    return texte;
}

class MerkzettelVerwaltungTest : public ::testing::Test {
  protected:
    TempDir dir_{true};
};

TEST_F(MerkzettelVerwaltungTest, NewNoteIsInTheFileAtOnceNearTheOrigin) {
    MerkzettelVerwaltung verwaltung(kDatei);
    EXPECT_TRUE(FileExists(kDatei));
    std::vector<MerkzettelVerwaltung::MerkzettelIntern*> geoeffnet;
    verwaltung.ShowAll([&](MerkzettelVerwaltung::MerkzettelIntern& n) { geoeffnet.push_back(&n); });
    EXPECT_TRUE(geoeffnet.empty());
    for (int i = 0; i < 50; ++i) {
        MerkzettelVerwaltung::MerkzettelIntern& notiz = verwaltung.NewNote();
        EXPECT_STREQ(notiz.text, "<< neuer Merkzettel >>");
        EXPECT_GE(notiz.x, 0);
        EXPECT_LT(notiz.x, 300);
        EXPECT_GE(notiz.y, 0);
        EXPECT_LT(notiz.y, 250);
    }
    ASSERT_EQ(geoeffnet.size(), 50u);
    EXPECT_EQ(geoeffnet[49], &verwaltung[49]);
    const std::string bytes = ReadBytes(kDatei);
    ASSERT_EQ(bytes.size(), 50u * 308);
    EXPECT_EQ(Int32At(bytes, 300), verwaltung[0].x);
    EXPECT_EQ(Int32At(bytes, 304), verwaltung[0].y);
}

TEST_F(MerkzettelVerwaltungTest, ReferencesStayValidWhileTheListGrows) {
    {
        MerkzettelVerwaltung verwaltung(kDatei);
        MerkzettelVerwaltung::MerkzettelIntern& erste = verwaltung.NewNote();
        for (int i = 0; i < 40; ++i) {
            verwaltung.NewNote();
        }
        // What a window writes into its note is stored by the note alone.
        FixedText::Set(erste.text, "Lieferung Meier");
        erste.x = 12;
        erste.y = 34;
        verwaltung.Store(&erste);
        EXPECT_EQ(TexteImFile()[0], "Lieferung Meier");
        EXPECT_EQ(Int32At(ReadBytes(kDatei), 304), 34);

        FixedText::Set(verwaltung[40].text, "zuletzt");
        verwaltung.Flush();
        EXPECT_EQ(TexteImFile()[40], "zuletzt");

        MerkzettelVerwaltung::MerkzettelIntern fremd;
        EXPECT_THROW(verwaltung.Store(&fremd), MessageException);
    }
    MerkzettelVerwaltung verwaltung(kDatei);
    ASSERT_EQ(verwaltung.Count(), 41u);
    EXPECT_STREQ(verwaltung[0].text, "Lieferung Meier");
    EXPECT_EQ(verwaltung[0].x, 12);
    std::vector<std::string> texte;
    verwaltung.ShowAll([&](MerkzettelVerwaltung::MerkzettelIntern& n) { texte.push_back(n.text); });
    ASSERT_EQ(texte.size(), 41u);
    EXPECT_EQ(texte[40], "zuletzt");
}

TEST_F(MerkzettelVerwaltungTest, EmptyNotesAreDroppedAtTheEnd) {
    {
        MerkzettelVerwaltung verwaltung(kDatei);
        for (const char* text : {"", "eins", "", "", "zwei", ""}) {
            FixedText::Set(verwaltung.NewNote().text, text);
        }
    }
    std::vector<std::string> texte = TexteImFile();
    std::sort(texte.begin(), texte.end());
    EXPECT_EQ(texte, (std::vector<std::string>{"eins", "zwei"}));
    MerkzettelVerwaltung verwaltung(kDatei);
    EXPECT_EQ(verwaltung.Count(), 2u);
}

}  // namespace
