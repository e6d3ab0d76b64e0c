// The statistics' charts as Qt Charts draws them: the names of twenty lying
// bars in full, the message across an empty chart, what a screen reader is
// told, the pictures saved from a chart, and the chart of a page that comes
// to the front.

#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLocale>
#include <QTabWidget>
#include <memory>
#include <string>

#include "app/Diagrammansicht.h"
#include "windowing/Diagramm.h"

namespace {

Diagramm Kunden(std::size_t anzahl) {
    Diagramm d;
    d.art = Diagramm::Art::Balken;
    d.titel = "Die 20 besten Kunden";
    d.wertachse = "Umsatz brutto in EUR";
    Diagramm::Reihe umsatz{"Umsatz", {31, 119, 180}, {}};
    for (std::size_t i = 0; i < anzahl; ++i) {
        d.kategorien.push_back("Weinstube Rebstock " + std::to_string(i + 1) + ", Heidelberg");
        umsatz.werte.push_back(1234.0 * static_cast<double>(anzahl - i));
    }
    d.reihen = {umsatz};
    return d;
}

// The axis would cut names to "..." when its first layout finds too little
// room; the first category stands at the top, where the eye starts.
TEST(DiagrammQtTest, LyingBarsKeepTheirNamesAndTheFirstOnTop) {
    std::unique_ptr<QChart> chart(Diagrammansicht::Bauen(Kunden(20)));
    const auto achsen = chart->axes(Qt::Vertical);
    ASSERT_EQ(achsen.size(), 1);
    auto* kategorien = qobject_cast<QBarCategoryAxis*>(achsen.front());
    ASSERT_NE(kategorien, nullptr);
    EXPECT_FALSE(kategorien->truncateLabels());
    ASSERT_EQ(kategorien->count(), 20);
    EXPECT_EQ(kategorien->categories().back(), QStringLiteral("Weinstube Rebstock 1, Heidelberg"));
    EXPECT_EQ(chart->locale().language(), QLocale::German);
    EXPECT_TRUE(chart->localizeNumbers());
}

// An empty chart says why across its plot, and so does its description.
TEST(DiagrammQtTest, AnEmptyChartShowsItsMessage) {
    Diagramm leer;
    leer.titel = "Umsatz je Monat";
    leer.hinweis = "Keine Rechnungen im Zeitraum";
    std::unique_ptr<QChart> chart(Diagrammansicht::Bauen(leer));
    EXPECT_TRUE(chart->series().isEmpty());
    bool gezeigt = false;
    for (QGraphicsItem* kind : chart->childItems()) {
        if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(kind)) {
            gezeigt = gezeigt || text->text() == QStringLiteral("Keine Rechnungen im Zeitraum");
        }
    }
    EXPECT_TRUE(gezeigt);
    EXPECT_EQ(Diagrammansicht::Beschreibung(leer),
              QStringLiteral("Umsatz je Monat: Keine Rechnungen im Zeitraum"));
    // Its picture is a picture all the same.
    EXPECT_FALSE(QImage::fromData(Diagrammansicht::Bild(leer, Bildformat::Png, 400, 300)).isNull());
}

// A screen reader hears each bar with its German number.
TEST(DiagrammQtTest, TheDescriptionReadsEveryBarInGerman) {
    const QString text = Diagrammansicht::Beschreibung(Kunden(2));
    EXPECT_EQ(text, QStringLiteral("Die 20 besten Kunden (Umsatz brutto in EUR). "
                                   "Weinstube Rebstock 1, Heidelberg: Umsatz 2.468. "
                                   "Weinstube Rebstock 2, Heidelberg: Umsatz 1.234."));
}

// PNG in the pixels asked for, PDF and SVG as their files begin.
TEST(DiagrammQtTest, PicturesInEachFormat) {
    const Diagramm d = Kunden(20);
    const QImage png = QImage::fromData(Diagrammansicht::Bild(d, Bildformat::Png, 1600, 1000));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(1600, 1000));
    EXPECT_TRUE(Diagrammansicht::Bild(d, Bildformat::Pdf, 842, 595).startsWith("%PDF-"));
    EXPECT_TRUE(Diagrammansicht::Bild(d, Bildformat::Svg, 800, 500).contains("<svg"));
}

// A page behind others gets its chart when it comes to the front: the chart
// given last, not one given before it, and a screen reader hears of it at
// once. The page in front shows its chart at once.
TEST(DiagrammQtTest, AHiddenPageShowsTheChartGivenLastWhenItComesToTheFront) {
    QTabWidget seiten;
    auto* vorne = new QChartView();
    auto* hinten = new QChartView();
    seiten.addTab(vorne, QStringLiteral("Vorne"));
    seiten.addTab(hinten, QStringLiteral("Hinten"));
    seiten.resize(800, 600);
    // Before the window is shown nothing is in front.
    Diagrammansicht::Zeigen(*vorne, Kunden(3));
    seiten.show();
    ASSERT_EQ(vorne->chart()->axes(Qt::Vertical).size(), 1);

    Diagramm alt = Kunden(20);
    alt.titel = "Alt";
    Diagrammansicht::Zeigen(*hinten, alt);
    Diagrammansicht::Zeigen(*hinten, Kunden(5));
    EXPECT_TRUE(hinten->accessibleDescription().startsWith(QStringLiteral("Die 20 besten Kunden")));
    Diagramm umsatz = Kunden(2);
    umsatz.titel = "Umsatz je Monat";
    Diagrammansicht::Zeigen(*vorne, umsatz);
    EXPECT_EQ(vorne->chart()->title(), QStringLiteral("Umsatz je Monat"));

    seiten.setCurrentIndex(1);
    EXPECT_EQ(hinten->chart()->title(), QStringLiteral("Die 20 besten Kunden"));
    const auto achsen = hinten->chart()->axes(Qt::Vertical);
    ASSERT_EQ(achsen.size(), 1);
    EXPECT_EQ(qobject_cast<QBarCategoryAxis*>(achsen.front())->count(), 5);
    // Shown again, it keeps what it shows.
    QChart* gezeigt = hinten->chart();
    seiten.setCurrentIndex(0);
    seiten.setCurrentIndex(1);
    EXPECT_EQ(hinten->chart(), gezeigt);
}

}  // namespace
