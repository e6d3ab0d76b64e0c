#pragma once

#include <QObject>

class QWidget;

// Which window takes the keyboard. A window manager activates each new
// window and, when the active one closes, the window below it. Without one,
// X leaves a new window inactive (Escape then reaches the window behind
// it), and when the active window goes, the focus falls to the root window,
// where no key reaches the program until the user clicks a window. So the
// program does both itself, with or without a window manager: every window
// it opens is activated (but not the windows meant to open beside the work
// without taking the keyboard: notes, the toolbar, the start-up notice), and
// when the active window is hidden, the window the user goes on in is
// activated: after a preview the next preview of the same window, else the
// open modal dialog, else the window the closed one belonged to, else the
// main window.
class FensterAktivierung : public QObject {
  public:
    explicit FensterAktivierung(QObject* parent = nullptr);

    // The window that is to have the keyboard once a window is gone that
    // belonged to `eltern` (null: to none).
    static QWidget* Nachfolger(QWidget* eltern);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
