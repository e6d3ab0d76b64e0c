#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

// Acts in the next modal window (dialog or message box) as soon as it is
// open, as a user would. It looks again every 10 ms for five seconds: a busy
// event loop before the window opens must not use up the tries at once.
inline void ImNaechstenFenster(std::function<void(QWidget*)> handlung, int versuche = 500,
                               int wartezeit = 0) {
    QTimer::singleShot(wartezeit, [handlung, versuche] {
        QWidget* fenster = QApplication::activeModalWidget();
        if (fenster == nullptr) {
            if (versuche > 0) {
                ImNaechstenFenster(handlung, versuche - 1, 10);  // not open yet
            }
            return;
        }
        handlung(fenster);
    });
}

// Clicks the button with this text (without its access key's "&") in the
// next message box, and tells what the box said.
inline void AntworteImNaechstenFenster(const QString& knopf, QString* text = nullptr,
                                       QString* titel = nullptr) {
    ImNaechstenFenster([=](QWidget* fenster) {
        auto* box = qobject_cast<QMessageBox*>(fenster);
        if (box == nullptr) {
            return;
        }
        if (text != nullptr)
            *text = box->text();
        if (titel != nullptr)
            *titel = box->windowTitle();
        const auto buttons = box->buttons();
        for (QAbstractButton* b : buttons) {
            // The access key's "&" is no part of what the button says.
            if (b->text().remove(QLatin1Char('&')) == knopf) {
                b->click();
                return;
            }
        }
        // A box that does not offer the answer is a fault of its own, and
        // the test must not wait for it for ever.
        ADD_FAILURE() << "no button \"" << knopf.toStdString()
                      << "\" in the box: " << box->text().toStdString();
        box->done(-1);
    });
}

// Types text into a widget key by key, umlauts included.
inline void Tippen(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
