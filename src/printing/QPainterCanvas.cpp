#include "printing/QPainterCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QSvgRenderer>
#include <QString>
#include <algorithm>
#include <cmath>

#include "printing/Briefkopf.h"
#include "storage/CodePage.h"

namespace {

QString AusCp1252(const std::string& text) {
    return QString::fromStdString(CodePage::Cp1252ToUtf8(text));
}

// Fonts are measured at this em size, large enough for the rounding of
// hinted metrics not to matter.
constexpr int kMessGroesse = 1000;

}  // namespace

QPainterCanvas::QPainterCanvas(QPainter& painter, const Briefkopf* briefkopf)
    : painter_(painter), briefkopf_(briefkopf) {
    SelectFont("Courier New", 12, kNormal, false);
}

double QPainterCanvas::ZellenFaktor(const QFont& font) {
    const auto key = std::make_pair(font.family(), font.weight());
    auto it = zellenFaktoren_.find(key);
    if (it != zellenFaktoren_.end()) {
        return it->second;
    }
    QFont mess(font);
    mess.setPixelSize(kMessGroesse);
    const QFontMetricsF metrics(mess, painter_.device());
    const double zelle = metrics.ascent() + metrics.descent();
    const double faktor = zelle > 0 ? zelle / kMessGroesse : 1.0;
    zellenFaktoren_.emplace(key, faktor);
    return faktor;
}

void QPainterCanvas::SelectFont(const std::string& face, int height, int weight, bool underline) {
    QFont font(AusCp1252(face));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    // The rule under a text is drawn here, so that it also runs under blanks.
    font.setUnderline(false);
    // A negative height is an em size, as with printer fonts; zero would be
    // the device's default, which no page asks for. Font engines round the
    // size to whole pixels; the rest is made up by scaling, so that small
    // cells on the screen keep the proportions of the printed page.
    double em = 1;
    if (height < 0) {
        em = -static_cast<double>(height);
    } else if (height > 0) {
        em = height / ZellenFaktor(font);
    }
    em = std::max(1.0, em);
    const int pixel = std::max(1, static_cast<int>(std::lround(em)));
    font.setPixelSize(pixel);
    massstab_ = em / pixel;
    font_ = font;
    underline_ = underline;
}

void QPainterCanvas::DrawText(int x, int y, const std::string& text) {
    const QString s = AusCp1252(text);
    const QFontMetricsF metrics(font_, painter_.device());
    painter_.save();
    painter_.translate(x, y);
    painter_.scale(massstab_, massstab_);
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    painter_.drawText(QPointF(0, metrics.ascent()), s);
    if (underline_) {
        const double staerke = std::max(1.0 / massstab_, metrics.lineWidth());
        painter_.fillRect(QRectF(0, metrics.ascent() + metrics.underlinePos(),
                                 metrics.horizontalAdvance(s), staerke),
                          Qt::black);
    }
    painter_.restore();
}

bool QPainterCanvas::HasLetterhead() const {
    return briefkopf_ != nullptr && briefkopf_->Geladen();
}

void QPainterCanvas::DrawModules(int left, int top, int size, const Modulmatrix& matrix) {
    const int n = matrix.seite;
    if (n <= 0 || size <= 0 || matrix.dunkel.size() != static_cast<std::size_t>(n) * n) {
        return;
    }
    // Module i spans from Kante(i) to Kante(i + 1): whole device units, so
    // that neighbouring modules neither overlap nor leave a hair between
    // them, and no smoothing greys an edge.
    const auto kante = [&](int i) {
        return static_cast<int>(static_cast<long long>(i) * size / n);
    };
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 0; y < n; ++y) {
        // Runs of dark modules in a row become one rectangle.
        for (int x = 0; x < n;) {
            if (!matrix.Dunkel(x, y)) {
                ++x;
                continue;
            }
            const int anfang = x;
            while (x < n && matrix.Dunkel(x, y)) {
                ++x;
            }
            painter_.fillRect(QRect(left + kante(anfang), top + kante(y),
                                    kante(x) - kante(anfang), kante(y + 1) - kante(y)),
                              Qt::black);
        }
    }
    painter_.restore();
}

void QPainterCanvas::PlayLetterhead(int left, int top, int width, int height) {
    if (briefkopf_ != nullptr) {
        briefkopf_->Abspielen(painter_, QRectF(left, top, width, height));
    }
}

void QPainterCanvas::DrawPicture(int left, int top, int width, int height,
                                 const std::string& svg) {
    QSvgRenderer bild(QByteArray::fromStdString(svg));
    if (!bild.isValid()) {
        return;
    }
    bild.setAspectRatioMode(Qt::KeepAspectRatio);
    painter_.save();
    bild.render(&painter_, QRectF(left, top, width, height));
    painter_.restore();
}
