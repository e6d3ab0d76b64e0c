#include <gtest/gtest.h>

#include "storage/Clock.h"
#include "storage/Datum.h"
#include "storage/Zeit.h"
#include "support/FileBytes.h"

namespace {

TEST(DatumTest, JulianDayNumbers) {
    EXPECT_EQ(Datum(1, 1, 1901).Julian(), 2415386u);
    EXPECT_EQ(Datum(1, 1, 1901).Julian(), Datum::k1901);
    EXPECT_EQ(Datum(31, 12, 1900).Julian(), 2415385u);
    EXPECT_EQ(Datum(1, 1, 2000).Julian(), 2451545u);
    EXPECT_EQ(Datum(6, 12, 2026).Julian() - Datum(6, 11, 2026).Julian(), 30u);
}

TEST(DatumTest, ImpossibleDatesAreInvalid) {
    EXPECT_FALSE(Datum(31, 4, 2002).IsValid());
    EXPECT_FALSE(Datum(29, 2, 1900).IsValid());
    EXPECT_TRUE(Datum(29, 2, 2000).IsValid());
    EXPECT_FALSE(Datum(29, 2, 2001).IsValid());
    EXPECT_FALSE(Datum(0, 1, 2002).IsValid());
    EXPECT_FALSE(Datum(1, 13, 2002).IsValid());
    EXPECT_FALSE(Datum(1, 0, 2002).IsValid());
    EXPECT_FALSE(Datum(1, 1, -5).IsValid());
    EXPECT_EQ(Datum(32, 1, 2002).Julian(), 0u);
    EXPECT_FALSE(Datum().IsValid());
}

TEST(DatumTest, TwoDigitYearsAreNineteenHundreds) {
    EXPECT_EQ(Datum(7, 3, 2).Julian(), Datum(7, 3, 1902).Julian());
    EXPECT_EQ(Datum(1, 1, 99).Year(), 1999);
    EXPECT_EQ(Datum(1, 1, 100).Year(), 100);
}

TEST(DatumTest, SplitsAndFormatsWithoutPadding) {
    Datum d(7, 3, 2002);
    EXPECT_EQ(d.Day(), 7);
    EXPECT_EQ(d.Month(), 3);
    EXPECT_EQ(d.Year(), 2002);
    EXPECT_EQ(d.Text(), "7.3.2002");
    EXPECT_EQ(d.LongText(), "March 7, 2002");
    EXPECT_EQ(Datum(Datum::k1901).LongText(), "January 1, 1901");
    EXPECT_EQ(Datum(31, 12, 2026).LongText(), "December 31, 2026");
    for (std::uint32_t jd = 2400000; jd < 2500000; jd += 97) {
        Datum x(jd);
        EXPECT_EQ(Datum(x.Day(), x.Month(), x.Year()).Julian(), jd);
    }
}

TEST(DatumTest, TodayFollowsTheLocalClock) {
    // 23:30 UTC on 5 December is already 6 December in Berlin.
    Clock::Fix(1796513400);
    EXPECT_EQ(Datum::Heute().Text(), "6.12.2026");
    Clock::Fix(std::nullopt);
}

TEST(ZeitTest, SecondsSince1901InLocalTime) {
    EXPECT_EQ(Zeit::FromUnix(-Zeit::kUnixOffset).Seconds(), 0u);
    FixedClock clock(6, 12, 2026, 9, 5, 3);
    Zeit now = Zeit::Jetzt();
    EXPECT_EQ(now.Hour(), 9);
    EXPECT_EQ(now.Minute(), 5);
    EXPECT_EQ(now.Second(), 3);
    // Berlin is one hour ahead of UTC in winter...
    EXPECT_EQ(now.Seconds() % 86400, (8 * 3600 + 5 * 60 + 3) % 86400);
    // ...and two in summer.
    FixedClock summer(1, 7, 2026, 14, 0, 0);
    EXPECT_EQ(Zeit::Jetzt().Hour(), 14);
    EXPECT_EQ(Zeit::Jetzt().Seconds() % 86400, 12u * 3600);
}

}  // namespace
