#include "app/Diagrammansicht.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QImage>
#include <QLegend>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <optional>
#include <utility>

#include "app/QtText.h"

namespace {

// The size the chart is laid out in before it is scaled into a picture:
// that of the dialog's chart on a common screen, so that the fonts keep
// their proportion to the bars.
constexpr double kEntwurfBreite = 960;

// Category names longer than this are cut, so that the bars keep room.
constexpr int kLaengsterName = 40;

// Lying bars beyond this many get their names in kKleineSchrift (points).
constexpr qsizetype kLesbareZeilen = 10;
constexpr double kKleineSchrift = 7.5;

QColor Farbe(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QString Kategorie(const std::string& text) {
    QString name = QtText::From(text);
    if (name.size() > kLaengsterName) {
        name = name.left(kLaengsterName - 1) + QChar(0x2026);
    }
    return name;
}

// The message across an empty chart, kept in the middle of its plot area.
void HinweisZeigen(QChart* chart, const QString& hinweis) {
    auto* text = new QGraphicsSimpleTextItem(hinweis, chart);
    QFont font = text->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    text->setFont(font);
    text->setBrush(QColor(90, 90, 90));
    auto mitte = [chart, text] {
        const QRectF rahmen = text->boundingRect();
        const QRectF flaeche = chart->plotArea().isEmpty() ? chart->rect() : chart->plotArea();
        text->setPos(flaeche.center() - rahmen.center());
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, mitte);
    QObject::connect(chart, &QChart::geometryChanged, chart, mitte);
    mitte();
}

}  // namespace

QChart* Diagrammansicht::Bauen(const Diagramm& d) {
    auto* chart = new QChart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTheme(QChart::ChartThemeLight);
    chart->setBackgroundRoundness(0);
    // The view's frame already sets the chart apart: its room goes to the bars.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(8, 4, 8, 4));
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    chart->setTitle(QtText::From(d.titel));
    QFont titelSchrift = chart->titleFont();
    titelSchrift.setBold(true);
    titelSchrift.setPointSizeF(titelSchrift.pointSizeF() * 1.2);
    chart->setTitleFont(titelSchrift);
    chart->legend()->setVisible(d.reihen.size() > 1);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (d.Leer() || d.reihen.empty()) {
        HinweisZeigen(chart, QtText::From(d.hinweis));
        return chart;
    }

    const bool liegend = d.art != Diagramm::Art::Saeulen;
    QAbstractBarSeries* reihen = nullptr;
    switch (d.art) {
        case Diagramm::Art::Saeulen:
            reihen = new QBarSeries();
            break;
        case Diagramm::Art::Balken:
            reihen = new QHorizontalBarSeries();
            break;
        case Diagramm::Art::GestapelteBalken:
            reihen = new QHorizontalStackedBarSeries();
            break;
    }
    // Lying bars are drawn from the bottom up; the first category belongs at
    // the top, where the eye starts.
    QStringList kategorien;
    for (const std::string& k : d.kategorien) {
        kategorien << Kategorie(k);
    }
    if (liegend) {
        std::reverse(kategorien.begin(), kategorien.end());
    }
    double groesster = 0;
    for (const Diagramm::Reihe& r : d.reihen) {
        auto* satz = new QBarSet(QtText::From(r.name));
        satz->setColor(Farbe(r.farbe));
        satz->setBorderColor(Farbe(r.farbe).darker(120));
        std::vector<double> werte = r.werte;
        werte.resize(d.kategorien.size(), 0.0);
        if (liegend) {
            std::reverse(werte.begin(), werte.end());
        }
        for (double wert : werte) {
            satz->append(wert);
        }
        reihen->append(satz);
    }
    for (std::size_t i = 0; i < d.kategorien.size(); ++i) {
        double summe = 0;
        for (const Diagramm::Reihe& r : d.reihen) {
            const double wert = i < r.werte.size() ? r.werte[i] : 0.0;
            summe = d.art == Diagramm::Art::GestapelteBalken ? summe + wert : std::max(summe, wert);
        }
        groesster = std::max(groesster, summe);
    }
    reihen->setBarWidth(d.reihen.size() > 1 && d.art == Diagramm::Art::Saeulen ? 0.8 : 0.7);
    chart->addSeries(reihen);

    auto* achse = new QBarCategoryAxis();
    achse->append(kategorien);
    // The names are cut to kLaengsterName already; the axis would cut them
    // again, down to "...", whenever its first layout found too little room.
    achse->setTruncateLabels(false);
    if (!liegend && kategorien.size() > 12) {
        achse->setLabelsAngle(-90);
    }
    if (liegend && kategorien.size() > kLesbareZeilen) {
        // The axis drops and cuts the names that do not fit their row: in
        // the dialog's chart twenty rows get a smaller type instead.
        QFont schrift = achse->labelsFont();
        schrift.setPointSizeF(std::min(schrift.pointSizeF(), kKleineSchrift));
        achse->setLabelsFont(schrift);
    }
    auto* werte = new QValueAxis();
    werte->setLabelFormat(QStringLiteral("%.%1f").arg(std::max(0, d.nachkommastellen)));
    werte->setTitleText(QtText::From(d.wertachse));
    werte->setRange(0, groesster > 0 ? groesster : 1);
    werte->applyNiceNumbers();
    werte->setMin(0);
    chart->addAxis(achse, liegend ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(werte, liegend ? Qt::AlignBottom : Qt::AlignLeft);
    reihen->attachAxis(achse);
    reihen->attachAxis(werte);
    return chart;
}

namespace {

void Einsetzen(QChartView& ansicht, const Diagramm& diagramm) {
    QChart* alt = ansicht.chart();
    ansicht.setChart(Diagrammansicht::Bauen(diagramm));
    ansicht.setRenderHint(QPainter::Antialiasing);
    // The view lets the chart it showed go without deleting it.
    delete alt;
}

// The chart a hidden view is to show, built when the view is shown. Laying
// out a chart measures every label of its axes, and a view on a page behind
// others, or in a window not shown yet, would lay it out for a size it never
// shows and then once more when it comes to the front.
class Vorgemerkt : public QObject {
  public:
    explicit Vorgemerkt(QChartView& ansicht) : QObject(&ansicht), ansicht_(ansicht) {
        ansicht.installEventFilter(this);
    }

    static Vorgemerkt& Von(QChartView& ansicht) {
        for (QObject* kind : ansicht.children()) {
            if (auto* vorgemerkt = dynamic_cast<Vorgemerkt*>(kind)) {
                return *vorgemerkt;
            }
        }
        return *new Vorgemerkt(ansicht);
    }

    std::optional<Diagramm> diagramm;

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (objekt == &ansicht_ && ereignis->type() == QEvent::Show && diagramm) {
            const Diagramm d = std::move(*diagramm);
            diagramm.reset();
            Einsetzen(ansicht_, d);
        }
        return false;
    }

  private:
    QChartView& ansicht_;
};

}  // namespace

void Diagrammansicht::Zeigen(QChartView& ansicht, const Diagramm& diagramm) {
    Vorgemerkt& vorgemerkt = Vorgemerkt::Von(ansicht);
    if (ansicht.isVisible()) {
        vorgemerkt.diagramm.reset();
        Einsetzen(ansicht, diagramm);
    } else {
        vorgemerkt.diagramm = diagramm;
    }
    // A screen reader may read a page that is not in front.
    ansicht.setAccessibleDescription(Beschreibung(diagramm));
}

QString Diagrammansicht::Beschreibung(const Diagramm& d) {
    if (d.Leer()) {
        return QtText::From(d.titel + ": " + d.hinweis);
    }
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    QStringList saetze;
    saetze << QtText::From(d.titel + " (" + d.wertachse + ")");
    for (std::size_t i = 0; i < d.kategorien.size(); ++i) {
        QStringList werte;
        for (const Diagramm::Reihe& r : d.reihen) {
            const double wert = i < r.werte.size() ? r.werte[i] : 0.0;
            if (d.art == Diagramm::Art::GestapelteBalken && wert == 0.0) {
                continue;
            }
            werte << QtText::From(r.name) + QStringLiteral(" ") +
                         deutsch.toString(wert, 'f', std::max(0, d.nachkommastellen));
        }
        saetze << QtText::From(d.kategorien[i]) + QStringLiteral(": ") +
                      werte.join(QStringLiteral(", "));
    }
    return saetze.join(QStringLiteral(". ")) + QStringLiteral(".");
}

QByteArray Diagrammansicht::Bild(const Diagramm& diagramm, Bildformat format, int breite,
                                 int hoehe) {
    breite = std::max(breite, 1);
    hoehe = std::max(hoehe, 1);
    QGraphicsScene szene;
    QChart* chart = Bauen(diagramm);
    szene.addItem(chart);
    const QRectF entwurf(0, 0, kEntwurfBreite, kEntwurfBreite * hoehe / breite);
    chart->setGeometry(entwurf);
    // The layout is otherwise made on the next round of the event loop.
    if (chart->layout() != nullptr) {
        chart->layout()->activate();
    }
    szene.setSceneRect(entwurf);
    const QRectF ziel(0, 0, breite, hoehe);

    QByteArray bytes;
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    switch (format) {
        case Bildformat::Png: {
            QImage bild(breite, hoehe, QImage::Format_ARGB32);
            bild.fill(Qt::white);
            QPainter maler(&bild);
            maler.setRenderHint(QPainter::Antialiasing);
            maler.setRenderHint(QPainter::TextAntialiasing);
            szene.render(&maler, ziel, entwurf);
            maler.end();
            bild.save(&puffer, "PNG");
            break;
        }
        case Bildformat::Pdf: {
            QPdfWriter pdf(&puffer);
            pdf.setCreator(QStringLiteral("Rebkontor"));
            pdf.setTitle(QtText::From(diagramm.titel));
            pdf.setPageSize(QPageSize(QSizeF(breite, hoehe), QPageSize::Point));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter maler(&pdf);
            maler.setRenderHint(QPainter::Antialiasing);
            szene.render(&maler, QRectF(0, 0, pdf.width(), pdf.height()), entwurf);
            maler.end();
            break;
        }
        case Bildformat::Svg: {
            QSvgGenerator svg;
            svg.setOutputDevice(&puffer);
            svg.setSize(QSize(breite, hoehe));
            svg.setViewBox(ziel);
            svg.setTitle(QtText::From(diagramm.titel));
            QPainter maler(&svg);
            maler.setRenderHint(QPainter::Antialiasing);
            szene.render(&maler, ziel, entwurf);
            maler.end();
            break;
        }
    }
    // The scene deletes the chart with itself.
    return bytes;
}
