#include "model/PreisVerwaltung.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "storage/CodePage.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kNamen = "daten/weinlisten.txt";

std::string Namen(int anzahl, const std::string& trenner = "\r\n") {
    std::string text;
    for (int i = 0; i < anzahl; ++i) {
        if (i > 0) {
            text += trenner;
        }
        text += "L" + std::to_string(i);
    }
    return text;
}

std::string Fehler(const std::function<void()>& aktion) {
    try {
        aktion();
    } catch (const MessageException& e) {
        return e.Text();
    }
    return "keine Ausnahme";
}

// An old price record: length byte and up to ten characters.
std::string AlterPreis(const std::string& text) {
    std::string satz(1, static_cast<char>(text.size()));
    satz += text;
    satz.resize(11, '\0');
    return satz;
}

class PreisVerwaltungTest : public ::testing::Test {
  protected:
    TempDir dir_{true};
    const std::string zuViele_ = "Mehr als 20 Preislisten dürfen nicht erzeugt werden"_w;
};

TEST_F(PreisVerwaltungTest, NamesFileHoldsAtMostTwentyLists) {
    WriteBytes(kNamen, Namen(20));
    {
        PreisVerwaltung verwaltung(kNamen, "daten");
        EXPECT_EQ(verwaltung.count, 20);
        EXPECT_STREQ(verwaltung.GetPreislisteName(19), "L19");
        EXPECT_EQ(verwaltung.GetPreislisteName(20), nullptr);
        EXPECT_EQ(verwaltung.GetPreislisteName(-1), nullptr);
        EXPECT_TRUE(FileExists("daten/19.wl"));
        // The 21st list is refused and no file changes.
        EXPECT_EQ(Fehler([&] { verwaltung.AddPreisliste("neu"); }), zuViele_);
        EXPECT_EQ(verwaltung.count, 20);
        EXPECT_EQ(ReadBytes(kNamen), Namen(20));
        EXPECT_FALSE(FileExists("daten/20.wl"));
    }
    WriteBytes(kNamen, Namen(20) + "\r\n");
    EXPECT_EQ(Fehler([] { PreisVerwaltung verwaltung(kNamen, "daten"); }), zuViele_);
    WriteBytes(kNamen, Namen(21, "\n"));
    EXPECT_EQ(Fehler([] { PreisVerwaltung verwaltung(kNamen, "daten"); }), zuViele_);
}

TEST_F(PreisVerwaltungTest, NamesAreReadByLineAndAppendedWithLineEndsBetween) {
    {
        PreisVerwaltung verwaltung(kNamen, "daten");
        EXPECT_EQ(verwaltung.count, 0);
        EXPECT_EQ(verwaltung.Current(), -1);
        verwaltung.AddPreisliste("Abhol");
        EXPECT_EQ(ReadBytes(kNamen), "Abhol");
        verwaltung.AddPreisliste("Versand-Liste-mit-einem-sehr-langen-Namen");
        EXPECT_EQ(ReadBytes(kNamen), "Abhol\r\nVersand-Liste-mit-einem-sehr-langen-Namen");
        EXPECT_EQ(FileSize("daten/1.wl"), 0);
        EXPECT_STREQ(verwaltung.GetPreislisteName(1), "Versand-Liste-mit-einem-sehr-");
        EXPECT_THROW(verwaltung.AddPreisliste("zwei\nZeilen"), MessageException);
        EXPECT_EQ(verwaltung.count, 2);
    }
    // A hand-edited file: LF line ends, an empty name keeps the later indices,
    // a final line end adds no list.
    WriteBytes(kNamen, "A\n\nC\n");
    PreisVerwaltung verwaltung(kNamen, "daten");
    ASSERT_EQ(verwaltung.count, 3);
    EXPECT_STREQ(verwaltung.GetPreislisteName(1), "");
    EXPECT_STREQ(verwaltung.GetPreislisteName(2), "C");
    EXPECT_EQ(verwaltung.GetPreisliste(2)->nummer, 2);
    verwaltung.AddPreisliste("D");
    EXPECT_EQ(ReadBytes(kNamen), "A\n\nC\nD");
    EXPECT_STREQ(PreisVerwaltung(kNamen, "daten").GetPreislisteName(3), "D");
}

TEST_F(PreisVerwaltungTest, ListWhoseNameCannotBeRecordedIsNotAdded) {
    PreisVerwaltung verwaltung(kNamen, "daten");
    verwaltung.AddPreisliste("A");
    IoFaults::SetHook(
        [](IoFaults::Op op, const std::string&) { return op == IoFaults::Op::Rename ? 28 : 0; });
    EXPECT_THROW(verwaltung.AddPreisliste("B"), MessageException);
    IoFaults::ClearHook();
    EXPECT_EQ(verwaltung.count, 1);
    EXPECT_EQ(ReadBytes(kNamen), "A");
    verwaltung.AddPreisliste("C");
    EXPECT_EQ(ReadBytes(kNamen), "A\r\nC");
    EXPECT_STREQ(verwaltung.GetPreislisteName(1), "C");
}

TEST_F(PreisVerwaltungTest, PricesBelongToTheCurrentList) {
    WriteBytes(kNamen, "A\r\nB");
    {
        PreisVerwaltung verwaltung(kNamen, "daten");
        EXPECT_EQ(verwaltung.GetPreis(1), nullptr);
        verwaltung.AddPreis(Preis(1, 10.0f, 5.0f));
        EXPECT_EQ(FileSize("daten/0.wl"), 0);

        const std::string ungueltig =
            "Der Funktion PreisVerwaltung::SetPreisliste() wurde ein unzulässiger Index "
            "übergeben"_w;
        EXPECT_EQ(Fehler([&] { verwaltung.SetPreisliste(2); }), ungueltig);
        EXPECT_EQ(Fehler([&] { verwaltung.SetPreisliste(-1); }), ungueltig);
        EXPECT_EQ(verwaltung.Current(), -1);

        verwaltung.SetPreisliste(1);
        verwaltung.AddPreis(Preis(7, 12.5f, 6.4f));
        verwaltung.AddPreis(Preis(7, 99.0f, 99.0f));
        EXPECT_EQ(FileSize("daten/1.wl"), 12);
        Preis* preis = verwaltung.GetPreis(7);
        ASSERT_NE(preis, nullptr);
        EXPECT_FLOAT_EQ(preis->preisDM, 12.5f);
        preis->preisEuro = 6.5f;
        verwaltung.FlushPreisliste();
        EXPECT_FLOAT_EQ(Float32At(ReadBytes("daten/1.wl"), 8), 6.5f);

        verwaltung.SetPreisliste(0);
        EXPECT_EQ(verwaltung.GetPreis(7), nullptr);
    }
    const std::string datei = ReadBytes("daten/1.wl");
    ASSERT_EQ(datei.size(), 12u);
    EXPECT_EQ(Int32At(datei, 0), 7);
    EXPECT_FLOAT_EQ(Float32At(datei, 4), 12.5f);
}

TEST_F(PreisVerwaltungTest, OldPricesAreAddedPerListAsDmAndHalfInEuro) {
    WriteBytes(kNamen, "A\r\nB\r\nC");
    std::filesystem::create_directory("daten_alt");
    WriteBytes("daten_alt/wl-1", AlterPreis("12.50") + AlterPreis("0") + AlterPreis("") +
                                     AlterPreis("7") + AlterPreis("abc"));
    // Nothing for list 1; list 2 has a record cut short.
    WriteBytes("daten_alt/wl-3", AlterPreis("3") + AlterPreis("9.0").substr(0, 3));
    WriteBytes("daten_alt/wl-4", AlterPreis("1"));

    PreisVerwaltung verwaltung(kNamen, "daten");
    verwaltung.SetPreisliste(0);
    verwaltung.AddPreis(Preis(3, 1.0f, 2.0f));
    std::vector<std::pair<std::string, std::string>> meldungen;
    verwaltung.ReadPascalFile([&](const std::string& text, const std::string& titel) {
        meldungen.emplace_back(text, titel);
    });

    verwaltung.SetPreisliste(0);
    ASSERT_NE(verwaltung.GetPreis(0), nullptr);
    EXPECT_FLOAT_EQ(verwaltung.GetPreis(0)->preisDM, 12.5f);
    EXPECT_FLOAT_EQ(verwaltung.GetPreis(0)->preisEuro, 6.25f);
    EXPECT_EQ(verwaltung.GetPreis(1), nullptr);
    EXPECT_EQ(verwaltung.GetPreis(2), nullptr);
    EXPECT_FLOAT_EQ(verwaltung.GetPreis(3)->preisDM, 1.0f);
    EXPECT_EQ(verwaltung.GetPreis(4), nullptr);
    EXPECT_EQ(FileSize("daten/0.wl"), 2 * 12);

    verwaltung.SetPreisliste(1);
    EXPECT_EQ(verwaltung.AktuellePreisliste()->preise.Count(), 0u);

    verwaltung.SetPreisliste(2);
    EXPECT_FLOAT_EQ(verwaltung.GetPreis(0)->preisDM, 3.0f);
    EXPECT_FLOAT_EQ(verwaltung.GetPreis(1)->preisDM, 9.0f);
    EXPECT_EQ(verwaltung.AktuellePreisliste()->preise.Count(), 2u);

    // Both old files end before their 999th record: each is reported once.
    // The list without an old file is not reported.
    const std::pair<std::string, std::string> kurz{"PreisVerwaltung::ReadPascalFile",
                                                   "Es wurden != 11 Zeichen gelesen"};
    EXPECT_EQ(meldungen, (std::vector<std::pair<std::string, std::string>>{kurz, kurz}));
}

}  // namespace
