#include "app/PreViewWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "app/QtServices.h"
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
