#include "model/Kunde.h"

#include <gtest/gtest.h>

#include <cstring>

#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "support/FileBytes.h"

namespace {

TEST(KundeTest, FileImageHasTheFieldsAtTheirOffsets) {
    FixedClock clock(7, 3, 2002, 10, 0, 0);
    Kunde kunde(17);
    std::strcpy(kunde.Anrede, "Herrn");
    std::strcpy(kunde.Nachname, "Meier");
    std::strcpy(kunde.Ort, "Mainz");
    std::strcpy(kunde.bemerkung, "x");
    kunde.PLZ = 55116;
    kunde.preisliste = -1;
    kunde.kundenGruppe = 2;
    std::string bytes;
    ByteWriter out(bytes);
    out << kunde;
    ASSERT_EQ(bytes.size(), Kunde::DiskSize);
    EXPECT_EQ(Int32At(bytes, 0), 17);
    EXPECT_EQ(bytes.substr(4, 6), std::string("Herrn\0", 6));
    EXPECT_EQ(bytes.substr(66, 5), "Meier");
    EXPECT_EQ(Int32At(bytes, 128), 55116);
    EXPECT_EQ(bytes.substr(132, 5), "Mainz");
    EXPECT_EQ(bytes[256], 'x');
    EXPECT_EQ(Int16At(bytes, 512), -1);
    EXPECT_EQ(Int16At(bytes, 514), 2);
    EXPECT_EQ(static_cast<std::uint32_t>(Int32At(bytes, 516)), Datum(7, 3, 2002).Julian());
    EXPECT_EQ(Int32At(bytes, 524), -1);

    Kunde gelesen(0);
    ByteReader in(bytes);
    in >> gelesen;
    std::string again;
    ByteWriter out2(again);
    out2 << gelesen;
    EXPECT_EQ(again, bytes);
}

}  // namespace
