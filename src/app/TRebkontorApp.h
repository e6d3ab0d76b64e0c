#pragma once

#include <QApplication>
#include <memory>
#include <optional>
#include <string>

#include "app/QtServices.h"
#include "app/TSDIDecFrame.h"
#include "cli/Beispieldaten.h"
#include "storage/DatenSperre.h"

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
    // Starten asks what to do when there is no data directory (create an
    // empty one, one with the sample business, or end); then it takes the
    // directory's lock; when another program holds it, it says so and
    // returns false without touching anything.
    bool Starten(TSDIDecFrame::ZeigeModus modus);
    // The orderly shutdown: the data set saved and released, then (with
    // `sichern`, after a run that had its window) the automatic backup, then
    // the lock released.
    void Beenden(bool sichern = false);

    // The folder to work in (--arbeitsordner); none: the working directory
    // as it is. Starten changes into it, or, when it does not exist yet,
    // creates it together with the data folder once the user says so.
    void SetArbeitsordner(std::optional<std::string> ordner) { arbeitsordner_ = std::move(ordner); }

    // The size of the sample business a first start offers.
    void SetBeispielUmfang(const Beispieldaten::Umfang& umfang) { beispielUmfang_ = umfang; }

  private:
    enum class Datenordner { Vorhanden, Leer, Beispiel, Beenden };
    // Looks for the data directory and, when there is none, asks the user
    // and creates it; Beenden when the program is to end (the user has been
    // told why).
    Datenordner DatenordnerPruefen();
    // Fills the new directory with the sample business; false (the user
    // has been told, the directory is gone again) when it could not.
    bool BeispielAnlegen();
    // Changes into the working folder of --arbeitsordner; false (the user
    // has been told) when it cannot be worked in. `fehlt` when it does not
    // exist yet.
    bool InArbeitsordner(bool& fehlt);
    // Tells the user why the program ends.
    void Abbruch(const QString& text);

    Beispieldaten::Umfang beispielUmfang_;
    std::optional<std::string> arbeitsordner_;
    QtServices services_;
    // Held from before the data set is opened until after it is saved.
    std::unique_ptr<DatenSperre> sperre_;
    std::unique_ptr<TSDIDecFrame> frame_;
};
