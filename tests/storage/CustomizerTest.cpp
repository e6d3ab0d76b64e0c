#include "storage/Customizer.h"

#include <gtest/gtest.h>

#include "storage/Datum.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

class CustomizerTest : public ::testing::Test {
  protected:
    void TearDown() override { IoFaults::ClearHook(); }

    TempDir dir_;
    std::string path_ = dir_ / "preferences.dat";
    FixedClock clock_{6, 12, 2026, 10, 0, 0};
    std::int32_t today_ = static_cast<std::int32_t>(Datum(6, 12, 2026).Julian());
};

TEST_F(CustomizerTest, FirstStartGivesDefaultsAndWritesNothing) {
    Customizer* settings = new Customizer(path_);
    EXPECT_EQ(settings->mwst, 16.0f);
    EXPECT_EQ(settings->Waehrung(), "DM");
    EXPECT_EQ(settings->mwstEnthalten, 0);
    EXPECT_EQ(settings->preiseInEuro, 0);
    EXPECT_EQ(settings->vordatierungTage, 31);
    EXPECT_EQ(settings->Bemerkung(),
              "Ich sandte Ihnen zu umseitigen Bedingungen auf Ihre Rechnung und Gefahr durch:");
    EXPECT_EQ(settings->filterVon1, today_ - 21);
    EXPECT_EQ(settings->filterBis1, today_);
    EXPECT_EQ(settings->filterVon2, today_ - 21);
    EXPECT_EQ(settings->filterBis2, today_);
    EXPECT_EQ(settings->filterMit1, 0);
    EXPECT_EQ(settings->filterMit2, 1);
    EXPECT_FALSE(FileExists(path_));
    delete settings;  // stores at shutdown
    EXPECT_EQ(FileSize(path_), 336);
}

TEST_F(CustomizerTest, FileLayoutHasTheFixedOffsets) {
    {
        Customizer settings(path_);
        settings.mwst = 19.0f;
        settings.SetWaehrung("EUR");
        settings.mwstEnthalten = 1;
        settings.preiseInEuro = 1;
        settings.filterVon1 = 100;
        settings.filterBis1 = 200;
        settings.filterVon2 = 300;
        settings.filterBis2 = 400;
        settings.vordatierungTage = 1000;
        settings.SetBemerkung("Hallo");
        ASSERT_TRUE(settings.Store());
    }
    std::string bytes = ReadBytes(path_);
    ASSERT_EQ(bytes.size(), 336u);
    EXPECT_EQ(Float32At(bytes, 0), 19.0f);
    EXPECT_EQ(bytes.substr(4, 4), std::string("EUR\0", 4));
    EXPECT_EQ(bytes[12], 1);
    EXPECT_EQ(bytes[13], 1);
    EXPECT_EQ(Int32At(bytes, 14), 100);
    EXPECT_EQ(Int32At(bytes, 18), 200);
    EXPECT_EQ(Int32At(bytes, 22), 300);
    EXPECT_EQ(Int32At(bytes, 26), 400);
    EXPECT_EQ(Int32At(bytes, 30), 1000);
    EXPECT_EQ(bytes.substr(34, 6), std::string("Hallo\0", 6));
}

TEST_F(CustomizerTest, RestartKeepsStoredValuesButResetsFilterSwitches) {
    {
        Customizer settings(path_);
        settings.filterVon1 = 11;
        settings.filterBis2 = 22;
        settings.filterMit1 = 1;
        settings.filterMit2 = 0;
    }
    Customizer settings(path_);
    EXPECT_EQ(settings.filterVon1, 11);
    EXPECT_EQ(settings.filterBis2, 22);
    EXPECT_EQ(settings.filterMit1, 0);
    EXPECT_EQ(settings.filterMit2, 1);
}

TEST_F(CustomizerTest, FullEightCharacterCurrencyReadsBackWithoutOverrun) {
    {
        Customizer settings(path_);
        settings.SetWaehrung("ABCDEFGHIJ");
        EXPECT_EQ(settings.Waehrung(), "ABCDEFGH");
    }
    std::string bytes = ReadBytes(path_);
    EXPECT_EQ(bytes.substr(4, 9), std::string("ABCDEFGH\0", 9));  // the flag byte follows
    Customizer settings(path_);
    EXPECT_EQ(settings.Waehrung(), "ABCDEFGH");
    settings.SetWaehrung("SFr");
    EXPECT_EQ(settings.Waehrung(), "SFr");
}

TEST_F(CustomizerTest, FailedStoreIsSilentAndKeepsTheOldFile) {
    {
        Customizer settings(path_);
        settings.mwst = 7.0f;
        ASSERT_TRUE(settings.Store());
    }
    const std::string before = ReadBytes(path_);
    for (auto op :
         {IoFaults::Op::Open, IoFaults::Op::Write, IoFaults::Op::Sync, IoFaults::Op::Rename}) {
        IoFaults::SetHook(
            [op](IoFaults::Op what, const std::string&) { return what == op ? ENOSPC : 0; });
        Customizer settings(path_);
        settings.mwst = 99.0f;
        EXPECT_FALSE(settings.Store());  // the settings dialog tells the user
        EXPECT_EQ(ReadBytes(path_), before);
        EXPECT_FALSE(FileExists(path_ + ".tmp"));
    }
}

TEST_F(CustomizerTest, ShortFileKeepsDefaultsForUnreachedFields) {
    WriteBytes(path_, std::string("\x00\x00\x98\x41SFr\0", 8));
    Customizer settings(path_);
    EXPECT_EQ(settings.mwst, 19.0f);
    EXPECT_EQ(settings.Waehrung(), "SFr");
    EXPECT_EQ(settings.vordatierungTage, 31);
    EXPECT_EQ(settings.filterBis2, today_);
}

TEST_F(CustomizerTest, DamagedValuesAreSetBackAndNamedWhileSoundOnesAreKeptExactly) {
    // 336 bytes as a damaged disk gives them: every checked value is wrong,
    // the others are whatever stood there.
    std::string damaged(336, '\x5A');
    damaged.replace(0, 4, "\xDD\x40\x6C\x5D");  // about 1.06e18 %
    damaged.replace(4, 8, "E\x01UR\0\0\0\0", 8);
    damaged.replace(30, 4, "\x88\x13\0\0", 4);  // 5000 days
    damaged.replace(34, 10, "Frei\tHaus\0", 10);
    ASSERT_EQ(damaged.size(), 336u);
    WriteBytes(path_, damaged);
    const std::vector<std::string> lines = Customizer::Unstimmigkeiten(damaged);
    {
        Customizer settings(path_);
        EXPECT_EQ(settings.mwst, 16.0f);
        EXPECT_EQ(settings.Waehrung(), "DM");
        EXPECT_EQ(settings.vordatierungTage, 31);
        EXPECT_EQ(settings.Bemerkung(), Customizer::kStandardBemerkung);
        EXPECT_EQ(settings.filterVon1, 0x5A5A5A5A);  // not checked, kept
        ASSERT_EQ(settings.Zurueckgesetzt().size(), 4u);
        EXPECT_EQ(settings.Zurueckgesetzt()[0],
                  "Mehrwertsteuer 1063990598970638336.00 % liegt nicht zwischen 0 und 100 % "
                  "(Voreinstellung 16.00 %).");
        EXPECT_EQ(settings.Zurueckgesetzt()[1],
                  "Das W\xE4hrungsk\xFCrzel enth\xE4lt Steuerzeichen (Voreinstellung \"DM\").");
        EXPECT_EQ(settings.Zurueckgesetzt()[2],
                  "Vordatierung max. Tage 5000 liegt nicht zwischen 0 und 1000 (Voreinstellung "
                  "31).");
        EXPECT_EQ(settings.Zurueckgesetzt()[3],
                  "Die Rechnung-Bemerkung enth\xE4lt Steuerzeichen (Voreinstellung \"" +
                      std::string(Customizer::kStandardBemerkung) + "\").");
        EXPECT_EQ(lines, settings.Zurueckgesetzt());
    }
    EXPECT_TRUE(Customizer::Unstimmigkeiten(ReadBytes(path_)).empty());

    // The edges of each range, a full currency field and the upper half of
    // Windows-1252 are no damage.
    for (float mwst : {0.0f, 100.0f, 7.25f}) {
        std::string sound = damaged;
        sound.replace(0, 4, std::string(reinterpret_cast<const char*>(&mwst), 4));
        sound.replace(4, 8, "\x80\xA3SFr-CH");
        sound.replace(30, 4, mwst == 0.0f ? std::string(4, '\0') : std::string("\xE8\x03\0\0", 4));
        sound.replace(34, 14,
                      "Gr\xFC\xDF"
                      "e aus \xC4\0\x07x",
                      14);  // after the end: not looked at
        sound[335] = '\0';  // the remark ends inside its field
        WriteBytes(path_, sound);
        Customizer settings(path_);
        EXPECT_TRUE(settings.Zurueckgesetzt().empty()) << settings.Zurueckgesetzt()[0];
        EXPECT_EQ(settings.mwst, mwst);
        EXPECT_EQ(settings.vordatierungTage, mwst == 0.0f ? 0 : 1000);
        EXPECT_EQ(settings.Waehrung(), "\x80\xA3SFr-CH");
        EXPECT_EQ(settings.Bemerkung(),
                  "Gr\xFC\xDF"
                  "e aus \xC4");
        EXPECT_TRUE(Customizer::Unstimmigkeiten(sound).empty());
        ASSERT_TRUE(settings.Store());
        EXPECT_EQ(ReadBytes(path_), sound);
    }

    // Nothing a field can take is stored with control characters.
    Customizer settings(path_);
    settings.SetBemerkung("Frei\tHaus\r\n");
    settings.SetWaehrung("E\x1BUR");
    EXPECT_EQ(settings.Bemerkung(), "Frei Haus  ");
    EXPECT_EQ(settings.Waehrung(), "E UR");
    std::uint32_t nan = 0x7FC00000;
    std::string image = settings.Image();
    image.replace(0, 4, std::string(reinterpret_cast<const char*>(&nan), 4));
    EXPECT_EQ(Customizer::Unstimmigkeiten(image).size(), 1u);
}

}  // namespace
