#pragma once

// What the Qt tests share: the program's application object, the controls
// of a window, acting in windows as they open, and waiting. A test waits
// only by looking again and again until what it waits for has happened,
// never for a fixed time: a slow or busy machine makes it slower, never
// wrong. It gives up after kGeduld, which nothing that works comes near.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <utility>

#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "support/TempDir.h"
#include "windowing/Dialog.h"

// Milliseconds.
constexpr int kGeduld = 60000;

// Runs the event loop until `bedingung` holds; false when it still does not
// after kGeduld.
inline bool Warte(const std::function<bool()>& bedingung) {
    return QTest::qWaitFor(bedingung, kGeduld);
}

// Waits until the condition holds, and fails the test naming it when it
// never does.
#define WARTE_BIS(bedingung)                                         \
    EXPECT_TRUE(Warte([&] { return static_cast<bool>(bedingung); })) \
        << "waited in vain for: " #bedingung

inline TRebkontorApp& App() {
    return *static_cast<TRebkontorApp*>(QApplication::instance());
}

// A control of a window by its identifier, or null.
template <typename T = QWidget>
T* Control(QWidget* fenster, int id) {
    return fenster->findChild<T*>(QStringLiteral("c%1").arg(id));
}

// Any widget of a window by its object name, or null.
template <typename T>
T* Kind(QWidget* fenster, const char* name) {
    return fenster->findChild<T*>(QString::fromLatin1(name));
}

// A test of the whole program in a working directory of its own; the
// program ends with the test.
class ProgrammTest : public ::testing::Test {
  protected:
    void TearDown() override { App().Beenden(); }
    TempDir dir_{true};
};

namespace basis {

using Uhr = std::chrono::steady_clock;

inline void Suchen(const std::function<bool(QWidget*)>& passt,
                   const std::function<void(QWidget*)>& handlung, Uhr::time_point bis,
                   int wartezeit) {
    QTimer::singleShot(wartezeit, [=] {
        QWidget* fenster = QApplication::activeModalWidget();
        if (fenster != nullptr && passt(fenster)) {
            handlung(fenster);
        } else if (Uhr::now() < bis) {
            Suchen(passt, handlung, bis, 10);  // not open yet
        } else {
            // A window that never comes fails the test; one that stands in
            // its way is closed, so that the test ends instead of waiting.
            ADD_FAILURE() << "the window the test waits for did not open";
            if (auto* dialog = qobject_cast<QDialog*>(fenster)) {
                dialog->done(-1);
            }
        }
    });
}

}  // namespace basis

// Acts in the next modal window for which `passt` holds, as soon as it is
// the active one, as a user would. It looks every 10 ms: a busy event loop
// before the window opens only delays it.
inline void ImFenster(std::function<bool(QWidget*)> passt, std::function<void(QWidget*)> handlung) {
    basis::Suchen(passt, handlung, basis::Uhr::now() + std::chrono::milliseconds(kGeduld), 0);
}

inline void ImNaechstenFenster(std::function<void(QWidget*)> handlung) {
    ImFenster([](QWidget*) { return true; }, std::move(handlung));
}

// The next modal window with this title.
inline void ImFenster(const QString& titel, std::function<void(QWidget*)> handlung) {
    ImFenster([titel](QWidget* fenster) { return fenster->windowTitle() == titel; },
              std::move(handlung));
}

// The next modal dialog of this resource.
inline void ImDialog(int resource, std::function<void(QWidget*)> handlung) {
    ImFenster(
        [resource](QWidget* fenster) {
            auto* window = dynamic_cast<QtWindow*>(fenster);
            return window != nullptr && window->Logic().ResourceId() == resource;
        },
        std::move(handlung));
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

// Acts in every window of type T that opens while it lives, once each, as a
// user would; counts them.
template <typename T>
class Jedesmal {
  public:
    explicit Jedesmal(std::function<void(T*)> handlung) : handlung_(std::move(handlung)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* fenster = qobject_cast<T*>(QApplication::activeModalWidget());
            if (fenster != nullptr && fenster->isVisible() && !gesehen_.contains(fenster)) {
                gesehen_.push_back(fenster);
                handlung_(fenster);
            }
        });
        timer_.start();
    }
    int Anzahl() const { return static_cast<int>(gesehen_.size()); }

  private:
    std::function<void(T*)> handlung_;
    QTimer timer_;
    QList<QPointer<T>> gesehen_;
};

// Types text into a widget key by key, umlauts included.
inline void Tippen(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
