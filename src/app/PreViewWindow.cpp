#include "app/PreViewWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/QtServices.h"
#include "app/QtText.h"
#include "documents/RecordingCanvas.h"
#include "printing/QPainterCanvas.h"

namespace {

constexpr double kBreiteZuHoehe = 21.0 / 29.6;

int BreiteZu(int hoehe) {
    return static_cast<int>(std::lround(hoehe * kBreiteZuHoehe));
}

}  // namespace

PreViewWindow::PreViewWindow(std::unique_ptr<PrintJob> job, QtServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window), job_(std::move(job)), services_(services) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Druck-Vorschau"));
    setMinimumSize(BreiteZu(148), 148);
    int hoehe = 800;
    if (const QScreen* bildschirm = QGuiApplication::primaryScreen()) {
        hoehe = std::max(148, bildschirm->availableGeometry().height() * 8 / 10);
    }
    resize(BreiteZu(hoehe), hoehe);
    // A screen reader cannot read a painted page; it gets the page's text,
    // line by line, as the window's description.
    setAccessibleDescription(Seitentext());
}

QString PreViewWindow::Seitentext() const {
    if (!job_->HasPage(1) || !job_->drawPage) {
        return {};
    }
    RecordingCanvas seite;
    services_.GuardQuietly([&] { job_->drawPage(seite, 1, 0, 0, BreiteZu(2960), 2960); });
    std::vector<RecordingCanvas::Text> texte = seite.Texts();
    std::stable_sort(texte.begin(), texte.end(), [](const auto& a, const auto& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    QStringList zeilen;
    QString zeile;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (i > 0 && texte[i].y != texte[i - 1].y && !zeile.isEmpty()) {
            zeilen << zeile;
            zeile.clear();
        }
        const QString teil = QtText::From(texte[i].text).simplified();
        if (!teil.isEmpty()) {
            zeile += (zeile.isEmpty() ? QString() : QStringLiteral(" ")) + teil;
        }
    }
    if (!zeile.isEmpty()) {
        zeilen << zeile;
    }
    return zeilen.join(QLatin1Char('\n'));
}

PreViewWindow::~PreViewWindow() = default;

void PreViewWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The whole page is laid out whatever part of the window needs paint:
    // the layout depends on the size of the rectangle it is given.
    if (job_->HasPage(1) && job_->drawPage) {
        QPainterCanvas canvas(painter, &briefkopf_);
        services_.GuardQuietly([&] { job_->drawPage(canvas, 1, 0, 0, width(), height()); });
    }
    gemalt_ = true;
}

void PreViewWindow::keyPressEvent(QKeyEvent* event) {
    // Escape closes the preview as it closes a dialog; on a desktop without a window
    // manager there is no close box, and the previews would cover the main window for good.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreViewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!gemalt_) {
        return;
    }
    gemalt_ = false;
    const int hoehe = event->size().height();
    if (BreiteZu(hoehe) != event->size().width()) {
        resize(BreiteZu(hoehe), hoehe);
    }
}
