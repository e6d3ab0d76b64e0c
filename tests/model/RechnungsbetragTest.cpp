#include "model/Rechnungsbetrag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "model/RechnungsFixture.h"

namespace {

// What the page has always printed for an amount.
std::string Gedruckt(float betrag) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(betrag));
    return text;
}

float AusBits(std::uint32_t bits) {
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The cents are printf's own digits for every float an invoice can hold,
// half cents (which go to the even cent) and negative amounts included.
TEST(Rechnungsbetrag, CentsAreTheDigitsThePagePrints) {
    std::mt19937 zufall(4711);
    // Every finite positive float as a bit pattern.
    std::uniform_int_distribution<std::uint32_t> bits(0, 0x7f7fffff);
    int geprueft = 0;
    auto pruefen = [&](float f) {
        ++geprueft;
        ASSERT_EQ(Rechnungsbetrag::Text(Rechnungsbetrag::Cent(f)), Gedruckt(f)) << f;
    };
    for (int i = 0; i < 200000; ++i) {
        // Every magnitude from half a cent to 10^12, either sign.
        const float f = AusBits(bits(zufall));
        if (std::fabs(f) < 1e12f && std::fabs(f) >= 0.005f) {
            pruefen(i % 2 == 0 ? f : -f);
        }
    }
    for (int achtel = 1; achtel < 100000; achtel += 2) {
        pruefen(static_cast<float>(achtel) / 800.0f);  // x.xx5 with an exact half
        pruefen(static_cast<float>(achtel) * 0.125f);
    }
    EXPECT_GT(geprueft, 100000);
    EXPECT_EQ(Rechnungsbetrag::Cent(0.125f), 12);
    EXPECT_EQ(Rechnungsbetrag::Cent(0.375f), 38);
    EXPECT_EQ(Rechnungsbetrag::Text(-5), "-0.05");
    EXPECT_EQ(Rechnungsbetrag::Text(0), "0.00");
    // What only a damaged file holds still gives a number.
    EXPECT_EQ(Rechnungsbetrag::Cent(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(Rechnungsbetrag::Cent(std::numeric_limits<float>::infinity()), 1000000000000000);
    EXPECT_EQ(Rechnungsbetrag::Cent(-3e38f), -1000000000000000);
}

using RechnungsbetragTest = RechnungsFixture;

// One invoice through both currencies and both VAT modes, against the
// amounts worked out by hand: 3 × 4.95 + 2 × 10.10 Euro, 3 × 9.70 + 2 ×
// 19.75 DM.
TEST_F(RechnungsbetragTest, SumVatFinalAndOpenAmountInEveryMode) {
    WeinAnlegen(1, 100);
    WeinAnlegen(2, 100);
    const std::int32_t id =
        RechnungSpeichern(KundeAnlegen("Huber"), {{1, 3, 9.7f, 4.95f}, {2, 2, 19.75f, 10.1f}});
    Rechnung r = *Rv().GetRechnung(id);
    r.betragEingegangen = 10.0f;
    Customizer& c = *V().customizer;
    c.mwst = 19.0f;

    c.preiseInEuro = 1;
    c.mwstEnthalten = 0;
    Rechnungsbetrag b(r, &c);
    EXPECT_EQ(b.summe, 3505);
    EXPECT_EQ(b.mwst, 666);  // 6.6595
    EXPECT_EQ(b.endbetrag, 4171);
    EXPECT_EQ(b.eingegangen, 1000);
    EXPECT_EQ(b.offen, 3171);
    const PostenVerwaltung::Posten zweiter = PostenVon(r).at(0);
    EXPECT_EQ(Rechnungsbetrag::Von(zweiter, &c).preis, 1010);
    EXPECT_EQ(Rechnungsbetrag::Von(zweiter, &c).betrag, 2020);

    c.mwstEnthalten = 1;
    b = Rechnungsbetrag(r, &c);
    EXPECT_EQ(b.summe, 3505);
    EXPECT_EQ(b.mwst, 560);  // 5.5962: contained, not added
    EXPECT_EQ(b.endbetrag, 3505);
    EXPECT_EQ(b.offen, 2505);

    c.preiseInEuro = 0;
    b = Rechnungsbetrag(r, &c);
    EXPECT_EQ(b.summe, 6860);
    EXPECT_EQ(b.mwst, 1095);  // 10.9529
    EXPECT_EQ(Rechnungsbetrag::Von(zweiter, &c).betrag, 3950);
    EXPECT_EQ(Rechnungsbetrag::Summe(Pv(), r.postenKopf, r.id, &c), 6860);

    // More received than owed leaves nothing open; without settings the
    // prices are DM and nothing is added.
    r.betragEingegangen = 100.0f;
    EXPECT_EQ(Rechnungsbetrag(r, &c).offen, 0);
    b = Rechnungsbetrag(r, nullptr);
    EXPECT_EQ(b.summe, 6860);
    EXPECT_EQ(b.mwst, 0);
    EXPECT_EQ(b.endbetrag, 6860);
}

// The date the customer invoice prints, from 1976 on, and otherwise the
// capture day, which the e-invoice then names.
TEST_F(RechnungsbetragTest, TheInvoiceDateCountsFrom1976AndTheCaptureDayBefore) {
    Rechnung r;
    r.erfasstDatum = Datum(6, 12, 2026).Julian();
    for (const auto& [datum, datiert] :
         {std::pair{Datum(1, 1, 1976), true}, std::pair{Datum(31, 12, 1975), false},
          std::pair{Datum(31, 12, 9999), true}, std::pair{Datum(1, 1, 10000), false},
          std::pair{Datum(Datum::k1901), false}, std::pair{Datum(), false}}) {
        r.datum = datum.Julian();
        const Rechnungsbetrag b(r, V().customizer);
        EXPECT_EQ(b.datiert, datiert) << datum.Text();
        EXPECT_EQ(b.datum.Text(), datiert ? datum.Text() : "6.12.2026") << datum.Text();
    }
}

}  // namespace
