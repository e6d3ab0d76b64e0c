#include <gtest/gtest.h>

#include "storage/CodePage.h"
#include "storage/LenientNumber.h"

namespace {

TEST(CodePageTest, Windows1252RoundTripsThroughUtf8) {
    EXPECT_EQ(CodePage::Utf8ToCp1252("Müller Größe €"),
              "M\xFCller Gr\xF6\xDF"
              "e \x80");
    EXPECT_EQ(CodePage::Cp1252ToUtf8("M\xFCller \x80 \x84x\x93"), "Müller € „x“");
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(CodePage::Utf8ToCp1252(CodePage::Cp1252ToUtf8(all)), all);
}

TEST(CodePageTest, UnrepresentableAndBrokenUtf8BecomeQuestionMarks) {
    EXPECT_EQ(CodePage::Utf8ToCp1252("a\xE2\x82"), "a??");
    EXPECT_EQ(CodePage::Utf8ToCp1252("日"), "?");
    EXPECT_EQ(CodePage::Utf8ToCp1252("\xFF"), "?");
    EXPECT_EQ("ÄÖÜäöüß"_w, "\xC4\xD6\xDC\xE4\xF6\xFC\xDF");
}

TEST(CodePageTest, Cp850UmlautsAndBoxDrawing) {
    EXPECT_EQ(CodePage::Cp850ToCp1252("M\x81ller \x8E\x99\x9A\x84\x94\xE1"),
              "M\xFCller \xC4\xD6\xDC\xE4\xF6\xDF");
    EXPECT_EQ(CodePage::Cp850ToCp1252("\xC9\xCD\xBB\xBA\xB3\xC4\xDB"), "+-+||-#");
    EXPECT_EQ(CodePage::Cp850ToCp1252("plain 123"), "plain 123");
}

TEST(LenientNumberTest, Integers) {
    EXPECT_EQ(LenientNumber::ToInt("12345"), 12345);
    EXPECT_EQ(LenientNumber::ToInt("  -42abc"), -42);
    EXPECT_EQ(LenientNumber::ToInt("+7"), 7);
    EXPECT_EQ(LenientNumber::ToInt("06112 Halle"), 6112);
    EXPECT_EQ(LenientNumber::ToInt("Halle"), 0);
    EXPECT_EQ(LenientNumber::ToInt(""), 0);
    EXPECT_EQ(LenientNumber::ToInt("- 5"), 0);
    EXPECT_EQ(LenientNumber::ToInt("99999999999999"), 2147483647);
    EXPECT_EQ(LenientNumber::ToInt("-99999999999999"), -2147483647 - 1);
}

TEST(LenientNumberTest, Decimals) {
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble("12.50"), 12.5);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble(" -0.5x"), -0.5);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble(".25"), 0.25);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble("3."), 3.0);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble("12,50"), 12.0);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble("1e5"), 1.0);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble("abc"), 0.0);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble("."), 0.0);
    EXPECT_DOUBLE_EQ(LenientNumber::ToDouble(std::string(400, '9')), 1.7976931348623157e308);
}

TEST(LenientNumberTest, MoneyTakesADecimalCommaLikeAPoint) {
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney("12,50"), 12.5);
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney("12.50"), 12.5);
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney(" -0,5 DM"), -0.5);
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney(",25"), 0.25);
    // Only the first separator counts; no thousands separators.
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney("1.234,56"), 1.234);
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney(","), 0.0);
    EXPECT_DOUBLE_EQ(LenientNumber::ToMoney("EUR 3"), 0.0);
}

}  // namespace
