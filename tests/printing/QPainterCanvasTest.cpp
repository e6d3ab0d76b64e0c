#include "printing/QPainterCanvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "Poppler.h"
#include "documents/RecordingCanvas.h"
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

// The documents' overlap check relies on the recording canvas knowing where
// this canvas puts ink: every character of the code page, in both weights,
// and the rule under an underlined text lie inside its estimate, and a line
// is as wide as it estimates.
TEST(QPainterCanvasTest, TheRecordingCanvasKnowsWhereTheInkGoes) {
    constexpr int kZelle = 120;
    constexpr int kFeldB = 100;
    constexpr int kFeldH = 150;
    constexpr int kSpalten = 16;
    auto innen = [](const QRect& tinte, const RecordingCanvas::Kasten& k) {
        // A pixel of antialiasing either side.
        return tinte.left() >= k.left - 1 && tinte.right() + 1 <= k.right + 1 &&
               tinte.top() >= k.top - 1 && tinte.bottom() + 1 <= k.bottom + 1;
    };
    for (int gewicht : {Canvas::kNormal, Canvas::kBold}) {
        std::vector<RecordingCanvas::Text> zeichen;
        for (int c = 0x21; c <= 0xFF; ++c) {
            const int n = static_cast<int>(zeichen.size());
            zeichen.push_back(RecordingCanvas::Text{(n % kSpalten) * kFeldB + 20,
                                                    (n / kSpalten) * kFeldH + 15,
                                                    std::string(1, static_cast<char>(c)),
                                                    {kCourier, kZelle, gewicht, false}});
        }
        const QImage bild = Gemalt(kSpalten * kFeldB, 14 * kFeldH, [&](Canvas& c) {
            c.SelectFont(kCourier, kZelle, gewicht, false);
            for (const auto& z : zeichen) {
                c.DrawText(z.x, z.y, z.text);
            }
        });
        for (std::size_t i = 0; i < zeichen.size(); ++i) {
            const auto& z = zeichen[i];
            const QRect tinte = Tinte(bild, QRect(z.x - 20, z.y - 15, kFeldB, kFeldH));
            const auto schaetzung = RecordingCanvas::Tinte(z);
            ASSERT_EQ(schaetzung.size(), 1u);
            EXPECT_TRUE(tinte.isEmpty() || innen(tinte, schaetzung[0]))
                << "character 0x" << std::hex << (static_cast<int>(z.text[0]) & 0xFF) << std::dec
                << " weight " << gewicht << ": ink " << tinte.left() << "," << tinte.top() << " to "
                << tinte.right() << "," << tinte.bottom() << ", estimated " << schaetzung[0].left
                << "," << schaetzung[0].top << " to " << schaetzung[0].right << ","
                << schaetzung[0].bottom;
        }
    }

    // A whole line of the customer invoice and an underline rule of blanks.
    const RecordingCanvas::Text zeile{
        40, 20, std::string(81, 'M'), {kCourier, 23, Canvas::kBold, false}};
    const RecordingCanvas::Text regel{
        40, 80, std::string(81, ' '), {kCourier, 23, Canvas::kBold, true}};
    const QImage bild = Gemalt(1100, 120, [&](Canvas& c) {
        c.SelectFont(kCourier, 23, Canvas::kBold, false);
        c.DrawText(zeile.x, zeile.y, zeile.text);
        c.SelectFont(kCourier, 23, Canvas::kBold, true);
        c.DrawText(regel.x, regel.y, regel.text);
    });
    const QRect zeilenTinte = Tinte(bild, QRect(0, 0, 1100, 60));
    const auto zeilenKaesten = RecordingCanvas::Tinte(zeile);
    EXPECT_NEAR(zeilenTinte.right() + 1, zeilenKaesten.back().right, 1.5);
    EXPECT_NEAR(zeilenTinte.left(), zeilenKaesten.front().left, 1.5);
    const QRect regelTinte = Tinte(bild, QRect(0, 60, 1100, 60));
    const auto regelKaesten = RecordingCanvas::Tinte(regel);
    ASSERT_EQ(regelKaesten.size(), 1u);
    EXPECT_TRUE(innen(regelTinte, regelKaesten[0]));
    EXPECT_NEAR(regelTinte.right() + 1, regelKaesten[0].right, 1.5);
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
