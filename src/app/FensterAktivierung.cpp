#include "app/FensterAktivierung.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// Windows of their own that can take the keyboard; popups, tooltips and the
// like come and go with the window they belong to.
bool EigenesFenster(const QWidget* w) {
    if (!w->isWindow()) {
        return false;
    }
    const Qt::WindowType art = w->windowType();
    return art == Qt::Window || art == Qt::Dialog || art == Qt::Tool || art == Qt::Sheet;
}

// The window of its own that `eltern` opened last and that is still on the
// screen, leaving out the tool windows.
QWidget* Geschwister(QWidget* eltern) {
    if (eltern == nullptr) {
        return nullptr;
    }
    QWidget* gefunden = nullptr;
    const auto kinder = eltern->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* kind : kinder) {
        if (kind->isWindow() && kind->windowType() == Qt::Window && kind->isVisible() &&
            kind->windowModality() == Qt::NonModal) {
            gefunden = kind;
        }
    }
    return gefunden;
}

void Aktivieren(QWidget* fenster) {
    if (fenster != nullptr && fenster->isVisible() && !fenster->isMinimized() &&
        QApplication::activeWindow() != fenster) {
        fenster->activateWindow();
    }
}

}  // namespace

FensterAktivierung::FensterAktivierung(QObject* parent) : QObject(parent) {}

QWidget* FensterAktivierung::Nachfolger(QWidget* eltern) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->isVisible()) {
        return modal;
    }
    if (eltern != nullptr && eltern->isVisible()) {
        return eltern;
    }
    const auto fenster = QApplication::topLevelWidgets();
    for (QWidget* w : fenster) {
        if (qobject_cast<QMainWindow*>(w) != nullptr && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

bool FensterAktivierung::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type typ = event->type();
    if ((typ != QEvent::Show && typ != QEvent::Hide) || !watched->isWidgetType()) {
        return false;
    }
    auto* w = static_cast<QWidget*>(watched);
    if (!EigenesFenster(w)) {
        return false;
    }

    if (typ == QEvent::Show) {
        if (w->windowType() != Qt::Tool && !w->testAttribute(Qt::WA_ShowWithoutActivating)) {
            // Once the window system has it on the screen.
            QPointer<QWidget> neu(w);
            QTimer::singleShot(0, w, [neu] { Aktivieren(neu); });
        }
    } else {
        // The window may have lost the keyboard already, or may never have
        // had it; whether another window has it is seen once it is gone, and
        // the successor is chosen from what is open then.
        QPointer<QWidget> eltern(w->parentWidget() != nullptr ? w->parentWidget()->window()
                                                              : nullptr);
        const bool modal = w->windowModality() != Qt::NonModal;
        QTimer::singleShot(0, this, [eltern, modal] {
            QWidget* aktiv = QApplication::activeWindow();
            if (aktiv == nullptr || !aktiv->isVisible()) {
                // A window beside the work (a preview) hands the keyboard to
                // the next one of its kind, so that Escape closes one after
                // the other; a dialog or a box hands it back to where it was
                // asked for.
                QWidget* naechstes = modal ? nullptr : Geschwister(eltern);
                Aktivieren(naechstes != nullptr ? naechstes : Nachfolger(eltern));
            }
        });
    }
    return false;
}
