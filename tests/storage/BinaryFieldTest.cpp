#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"
#include "storage/FixedText.h"

namespace {

TEST(BinaryFieldTest, WritesLittleEndianWithoutPadding) {
    std::string bytes;
    ByteWriter w(bytes);
    w.UInt8(0xAB);
    w.Int16(-2);
    w.Int32(0x01020304);
    w.Float32(1.0f);
    w.Float64(-2.5);
    const char text[4] = {'a', '\0', 'z', 'q'};
    w.Text(text);
    EXPECT_EQ(bytes, std::string("\xAB"
                                 "\xFE\xFF"
                                 "\x04\x03\x02\x01"
                                 "\x00\x00\x80\x3F"
                                 "\x00\x00\x00\x00\x00\x00\x04\xC0"
                                 "a\0zq",
                                 23));
}

TEST(BinaryFieldTest, ReadsBackEveryWidth) {
    std::string bytes;
    ByteWriter w(bytes);
    w.UInt8(200);
    w.Int8(-3);
    w.UInt16(65535);
    w.Int16(-32768);
    w.UInt32(4000000000u);
    w.Int32(-2147483647 - 1);
    w.Float32(4.86f);
    w.Float64(1e300);

    ByteReader r(bytes);
    std::uint8_t u8 = 0;
    std::int8_t i8 = 0;
    std::uint16_t u16 = 0;
    std::int16_t i16 = 0;
    std::uint32_t u32 = 0;
    std::int32_t i32 = 0;
    float f = 0;
    double d = 0;
    r.UInt8(u8);
    r.Int8(i8);
    r.UInt16(u16);
    r.Int16(i16);
    r.UInt32(u32);
    r.Int32(i32);
    r.Float32(f);
    r.Float64(d);
    EXPECT_EQ(u8, 200);
    EXPECT_EQ(i8, -3);
    EXPECT_EQ(u16, 65535);
    EXPECT_EQ(i16, -32768);
    EXPECT_EQ(u32, 4000000000u);
    EXPECT_EQ(i32, -2147483647 - 1);
    EXPECT_EQ(f, 4.86f);
    EXPECT_EQ(d, 1e300);
    EXPECT_TRUE(r.AtEnd());
}

TEST(BinaryFieldTest, ShortDataReplacesOnlyTheBytesThatAreThere) {
    ByteReader r(std::string_view("\x11\x22\x33", 3));
    std::int32_t a = 0x44556677;
    std::int16_t b = 0x0102;
    r.Int32(a);
    r.Int16(b);
    EXPECT_EQ(a, 0x44332211);
    EXPECT_EQ(b, 0x0102);

    char field[5] = {'v', 'w', 'x', 'y', 'z'};
    ByteReader t(std::string_view("ab", 2));
    t.Text(field);
    EXPECT_EQ(std::string(field, 5), "abxyz");
}

TEST(FixedTextTest, CutsTerminatesAndNeverReadsPastTheField) {
    char field[6];
    std::memset(field, 'q', sizeof field);
    FixedText::Set(field, "Riesling");
    EXPECT_EQ(std::string(field, 6), std::string("Riesl\0", 6));
    FixedText::Set(field, "ab");
    EXPECT_EQ(std::string(field, 6), std::string("ab\0sl\0", 6));
    EXPECT_EQ(FixedText::Get(field), "ab");

    const char full[3] = {'x', 'y', 'z'};
    EXPECT_EQ(FixedText::Get(full), "xyz");
    char target[3] = {'1', '2', '3'};
    FixedText::Copy(target, full);
    EXPECT_EQ(std::string(target, 3), "xyz");
    const char shortText[3] = {'k', '\0', '!'};
    FixedText::Copy(target, shortText);
    EXPECT_EQ(std::string(target, 3), std::string("k\0z", 3));
}

}  // namespace
