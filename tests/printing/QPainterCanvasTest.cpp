#include "printing/QPainterCanvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "Poppler.h"
#include "storage/CodePage.h"

namespace {

constexpr const char* kCourier = "Courier New";

// What a few calls draw on a white picture.
QImage Gemalt(int breite, int hoehe, const std::function<void(Canvas&)>& malen) {
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter painter(&bild);
    QPainterCanvas canvas(painter, nullptr);
    malen(canvas);
    painter.end();
    return bild;
}

TEST(QPainterCanvasTest, TextHangsFromItsPointInsideItsCell) {
    const QImage bild = Gemalt(600, 200, [](Canvas& c) {
        c.SelectFont(kCourier, 40, Canvas::kBold, false);
        c.DrawText(100, 50, "ÄMgjy|"_w);
    });
    const QRect tinte = Tinte(bild);
    ASSERT_FALSE(tinte.isEmpty());
    EXPECT_GE(tinte.left(), 99);
    EXPECT_GE(tinte.top(), 49);
    EXPECT_LE(tinte.bottom(), 50 + 40);
    // Capitals with an umlaut reach up close to the top of the cell, and
    // descenders down close to its bottom.
    EXPECT_LE(tinte.top(), 50 + 8);
    EXPECT_GE(tinte.bottom(), 50 + 40 - 10);
}

TEST(QPainterCanvasTest, FixedPitchLinesKeepTheirWidthOnThePage) {
    // Half an A4 sheet at 254 dpi; the customer invoice's line height and
    // its widest line, 81 characters from W / 25.
    constexpr int kW = 1050;
    constexpr int kH = 1485;
    constexpr int kL = kH / 65;
    auto zeile = [&](int zeichen) {
        return Tinte(Gemalt(kW, 100, [&](Canvas& c) {
            c.SelectFont(kCourier, kL, Canvas::kBold, false);
            c.DrawText(kW / 25, 10, std::string(zeichen, 'M'));
        }));
    };
    const QRect z81 = zeile(81);
    const QRect z40 = zeile(40);
    // The cell is ascent plus descent; "Courier New" has a character width
    // of 0.6 em and a cell of about 1.13 em.
    const double schritt = 0.6 * kL / 1.1328;
    EXPECT_NEAR(z81.width() - z40.width(), 41 * schritt, 1.5);
    EXPECT_LT(z81.right(), kW - 10);
}

TEST(QPainterCanvasTest, UnderlinedBlanksDrawARuleAndUnderlineDoesNotStick) {
    const QImage bild = Gemalt(800, 200, [](Canvas& c) {
        c.SelectFont(kCourier, 30, Canvas::kBold, true);
        c.DrawText(20, 20, std::string(40, ' '));
        c.SelectFont(kCourier, 30, Canvas::kBold, false);
        c.DrawText(20, 100, std::string(40, ' '));
    });
    const QRect regel = Tinte(bild);
    ASSERT_FALSE(regel.isEmpty());
    EXPECT_NEAR(regel.left(), 20, 1);
    EXPECT_NEAR(regel.width(), 40 * 0.6 * 30 / 1.1328, 2);
    EXPECT_LE(regel.height(), 4);
    EXPECT_GT(regel.top(), 20 + 15);
    EXPECT_LT(regel.bottom(), 20 + 30);
}

TEST(QPainterCanvasTest, NoLetterheadMeansNoPicture) {
    const QImage bild = Gemalt(100, 100, [](Canvas& c) { c.PlayLetterhead(0, 0, 100, 100); });
    EXPECT_TRUE(Tinte(bild).isEmpty());
}

}  // namespace
