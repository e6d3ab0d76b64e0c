#pragma once

#include <QApplication>
#include <memory>

#include "app/QtServices.h"
#include "app/TSDIDecFrame.h"

// The application: builds the main window, runs the event loop until it is
// closed, and is the last line for exceptions that escape an event handler.
class TRebkontorApp : public QApplication {
  public:
    TRebkontorApp(int& argc, char** argv);
    ~TRebkontorApp() override;

    // Whether a graphical session can be reached at all; the toolkit would
    // otherwise end the program with its own message.
    static bool DisplayVorhanden();

    // Start-up, event loop and orderly shutdown; the exit code.
    int Run(TSDIDecFrame::ZeigeModus modus = TSDIDecFrame::ZeigeModus::Normal);

    bool notify(QObject* receiver, QEvent* event) override;

    QtServices& Services() { return services_; }
    TSDIDecFrame* Frame() const { return frame_.get(); }

    // The single steps of Run, for tests that drive the window themselves.
    bool Starten(TSDIDecFrame::ZeigeModus modus);
    void Beenden();

  private:
    QtServices services_;
    std::unique_ptr<TSDIDecFrame> frame_;
};
