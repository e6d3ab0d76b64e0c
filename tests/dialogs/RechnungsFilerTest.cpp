#include "dialogs/RechnungsFiler.h"

#include <gtest/gtest.h>

#include "support/DialogFixture.h"

namespace {

using F = RechnungsFiler;

class RechnungsFilerTest : public DialogFixture {
  protected:
    FakeWindow& Oeffnen() { return DialogFixture::Oeffnen<RechnungsFiler>(V()); }
    static std::int32_t Tag(int d, int m, int y) {
        return static_cast<std::int32_t>(Datum(d, m, y).Julian());
    }
    static std::string Feld(FakeWindow& w, int tag, int monat, int jahr) {
        return w.Text(tag) + "." + w.Text(monat) + "." + w.Text(jahr);
    }
};

TEST_F(RechnungsFilerTest, PeriodsSwitchOnAndOffTodayButtonsAndTakingOver) {
    clock_.Set(15, 3, 2002);
    Customizer& c = Einstellungen();
    c.filterVon2 = Tag(1, 1, 2002);
    c.filterBis2 = Tag(31, 1, 2002);
    c.filterVon1 = 0;  // no date: empty fields
    FakeWindow& w = Oeffnen();
    EXPECT_EQ(w.Caption(), "Rechnungs-Filter");
    // Every start uses the dating period only.
    EXPECT_TRUE(w.IsChecked(F::kMitDatum));
    EXPECT_FALSE(w.IsChecked(F::kMitErfasst));
    EXPECT_TRUE(w.IsEnabled(F::kDatumVonTag));
    EXPECT_FALSE(w.IsEnabled(F::kErfasstVonJahr));
    EXPECT_EQ(Feld(w, F::kDatumBisTag, F::kDatumBisMonat, F::kDatumBisJahr), "31.1.2002");
    EXPECT_EQ(Feld(w, F::kErfasstVonTag, F::kErfasstVonMonat, F::kErfasstVonJahr), "..");
    EXPECT_EQ(w.FocusedControl(), F::kDatumVonTag);

    w.Click(F::kMitDatum);  // both periods off: nothing to look for
    EXPECT_FALSE(w.IsEnabled(ControlId::kOk));
    EXPECT_FALSE(w.IsEnabled(F::kDatumBisJahr));
    w.Click(F::kMitErfasst);
    EXPECT_TRUE(w.IsEnabled(ControlId::kOk));
    EXPECT_TRUE(w.IsEnabled(F::kErfasstBisJahr));

    w.Click(F::kErfasstHeute);
    EXPECT_EQ(Feld(w, F::kErfasstVonTag, F::kErfasstVonMonat, F::kErfasstVonJahr), "22.2.2002");
    EXPECT_EQ(Feld(w, F::kErfasstBisTag, F::kErfasstBisMonat, F::kErfasstBisJahr), "15.3.2002");
    EXPECT_EQ(c.filterVon1, Tag(22, 2, 2002));
    w.Click(F::kUebernehmen);  // the dating period becomes the capture period
    EXPECT_EQ(c.filterVon1, Tag(1, 1, 2002));
    EXPECT_EQ(c.filterBis1, Tag(31, 1, 2002));
    w.Click(F::kMitDatum);
    w.Click(F::kDatumHeute);
    EXPECT_EQ(c.filterVon2, Tag(22, 2, 2002));

    // Typing changes the settings at once; an emptied year is the invalid
    // date, which shows empty.
    w.Type(F::kDatumBisJahr, "");
    EXPECT_EQ(c.filterBis2, 0);
    w.Type(F::kDatumVonMonat, "13");
    EXPECT_EQ(c.filterVon2, 0);
    // A date that does not exist, or lies after 2099, is not taken with OK:
    // the user is told, and the focus goes to it.
    w.PressEnter();
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().text, "Das Datum 22.13.2002 gibt es nicht.");
    EXPECT_EQ(app_.LastMessage().caption, "Rechnungs-Filter");
    EXPECT_EQ(w.FocusedControl(), F::kDatumVonTag);
    w.Type(F::kDatumVonMonat, "12");
    w.Type(F::kErfasstBisJahr, "2100");
    w.PressEnter();
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().text,
              "Das Datum 31.1.2100 liegt nach dem Jahr 2099. Bitte geben Sie ein Datum bis zum "
              "31.12.2099 an.");
    EXPECT_EQ(w.FocusedControl(), F::kErfasstBisTag);
    w.Type(F::kErfasstBisJahr, "2002");
    w.Type(F::kDatumVonJahr, "");
    w.PressEnter();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), ControlId::kOk);
    EXPECT_EQ(c.filterMit1, 1);
    EXPECT_EQ(c.filterMit2, 1);
    FakeWindow& wieder = Oeffnen();
    EXPECT_EQ(Feld(wieder, F::kDatumBisTag, F::kDatumBisMonat, F::kDatumBisJahr), "..");
    EXPECT_EQ(Feld(wieder, F::kDatumVonTag, F::kDatumVonMonat, F::kDatumVonJahr), "..");
}

TEST_F(RechnungsFilerTest, CancelEscapeAndCloseBoxPutTheSixFieldsBack) {
    Customizer& c = Einstellungen();
    c.filterVon1 = Tag(1, 2, 2026);
    c.filterBis1 = Tag(2, 2, 2026);
    c.filterVon2 = Tag(3, 2, 2026);
    c.filterBis2 = Tag(4, 2, 2026);
    struct {
        std::int32_t filterVon1, filterBis1, filterVon2, filterBis2;
        std::uint8_t filterMit1, filterMit2;
    } const vorher{c.filterVon1, c.filterBis1, c.filterVon2,
                   c.filterBis2, c.filterMit1, c.filterMit2};
    for (int weg = 0; weg < 2; ++weg) {
        FakeWindow& w = Oeffnen();
        w.Click(F::kMitErfasst);
        w.Type(F::kErfasstVonTag, "9");
        w.Type(F::kDatumBisJahr, "2030");
        w.Click(F::kDatumHeute);
        ASSERT_NE(c.filterVon2, vorher.filterVon2);
        if (weg == 0) {
            w.Click(ControlId::kCancel);
        } else {
            w.CloseBox();  // Escape comes the same way
        }
        EXPECT_TRUE(w.IsClosed());
        EXPECT_EQ(w.Result(), ControlId::kCancel);
        EXPECT_EQ(c.filterVon1, vorher.filterVon1);
        EXPECT_EQ(c.filterBis1, vorher.filterBis1);
        EXPECT_EQ(c.filterVon2, vorher.filterVon2);
        EXPECT_EQ(c.filterBis2, vorher.filterBis2);
        EXPECT_EQ(c.filterMit1, vorher.filterMit1);
        EXPECT_EQ(c.filterMit2, vorher.filterMit2);
    }
}

}  // namespace
