#include "model/GeoGruppe.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kDatei = "daten/geogruppe.txt";

class GeoGruppeTest : public ::testing::Test {
  protected:
    TempDir dir_{true};
};

TEST_F(GeoGruppeTest, GroupsAreAppendedWithLineEndsOnlyBetweenThem) {
    {
        GeoGruppe gruppen(kDatei);
        EXPECT_EQ(gruppen.Count(), 0u);
        EXPECT_TRUE(FileExists(kDatei));
        gruppen.AddGeoGruppe("AB");
        EXPECT_EQ(ReadBytes(kDatei), "AB");
        gruppen.AddGeoGruppe("ab");
        EXPECT_EQ(ReadBytes(kDatei), "AB\r\nab");
        EXPECT_THROW(gruppen.AddGeoGruppe("x\r\ny"), MessageException);
        ASSERT_EQ(gruppen.Count(), 2u);
        EXPECT_STREQ(gruppen.Name(1), "ab");
    }
    GeoGruppe gruppen(kDatei);
    ASSERT_EQ(gruppen.Count(), 2u);
    EXPECT_STREQ(gruppen.Name(0), "AB");
    EXPECT_STREQ(gruppen[1].text, "ab");
    EXPECT_THROW(gruppen.Name(2), MessageException);
}

TEST_F(GeoGruppeTest, HandEditedFilesKeepTheIndicesAndCutLongNames) {
    WriteBytes(kDatei, "Nord\n\n" + std::string(250, 'L') + "\r\nSued\r\n");
    GeoGruppe gruppen(kDatei);
    ASSERT_EQ(gruppen.Count(), 4u);
    EXPECT_STREQ(gruppen.Name(1), "");
    EXPECT_EQ(std::string(gruppen.Name(2)), std::string(199, 'L'));
    EXPECT_STREQ(gruppen.Name(3), "Sued");
    // The name after a final line end reads back at the index it was given.
    gruppen.AddGeoGruppe("West");
    EXPECT_EQ(ReadBytes(kDatei), "Nord\n\n" + std::string(250, 'L') + "\r\nSued\r\nWest");
    EXPECT_STREQ(GeoGruppe(kDatei).Name(4), "West");
}

TEST_F(GeoGruppeTest, UnwritableFileAddsNothing) {
    GeoGruppe gruppen("fehlt/geogruppe.txt");
    EXPECT_EQ(gruppen.Count(), 0u);
    EXPECT_THROW(gruppen.AddGeoGruppe("AB"), MessageException);
    EXPECT_EQ(gruppen.Count(), 0u);
}

}  // namespace
