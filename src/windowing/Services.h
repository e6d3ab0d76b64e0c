#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "windowing/PrintJob.h"
#include "windowing/WindowingTypes.h"

class Dialog;
// The program's PDF files of the invoice documents (documents/Dokumentausgabe.h).
// The windowing layer only hands one over; it never writes them itself.
class Dokumentausgabe;

// The application-wide services every window relies on. Message boxes, file
// dialogs and child dialogs belong to the window that is active when they
// are asked for.
class Services {
  public:
    virtual ~Services() = default;

    // `defaultButton` is the button Enter presses. A question whose Yes
    // deletes or discards something gets No (or Cancel, when No does too), so
    // that a stray Enter destroys nothing.
    virtual Answer MessageBox(const std::string& text, const std::string& caption,
                              MessageButtons buttons = MessageButtons::Ok,
                              MessageIcon icon = MessageIcon::None,
                              Answer defaultButton = Answer::Yes) = 0;
    // Says in the main window's status bar, for a few seconds and without a
    // box to click away, what has just been done ("Flaschenliste gespeichert:
    // ...").
    virtual void StatusMessage(const std::string& text) = 0;

    // Long operations show the wait cursor and restore the arrow cursor.
    virtual void WaitCursor() = 0;
    virtual void ArrowCursor() = 0;
    // During a long operation: lets the windows repaint (a caption the
    // operation changed shows at once), without taking the user's input.
    virtual void ProcessEvents() = 0;

    // Nothing when the user cancels.
    virtual std::optional<SaveFileResult> SaveFile(const SaveFileRequest& request) = 0;
    // A folder (the backup's), or an existing file to read (a backup to
    // restore); nothing when the user cancels. The chooser starts in the
    // request's folder when it exists.
    virtual std::optional<std::string> ChooseFolder(const FolderRequest& request) = 0;
    virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;

    // Builds the dialog's window, runs it modally and returns the result it
    // was closed with. The dialog object belongs to the caller.
    virtual int Execute(Dialog& dialog) = 0;

    // Opens a modeless window, which owns its dialog from now on and
    // destroys it when it is closed (or at the end of the program).
    virtual void Open(std::unique_ptr<Dialog> dialog) = 0;

    // Starts a program with these arguments (argv[0] is the program; paths
    // as the file system spells them, not converted), never through a
    // shell, and does not wait for it. When it cannot be started or ends
    // with an error, `failed` is called once, later, from the event loop
    // (and no more once the main window is gone).
    virtual void StartProgram(const std::vector<std::string>& argv,
                              std::function<void()> failed = {}) = 0;

    // Printing. The print dialog comes first, once for all the jobs
    // (printer and copies; no page range); then every page of every job goes
    // to that printer, each job with its own title and paper source. False
    // when the user cancelled, the printer could not be used or its output
    // file may not be written (the user has been told); then nothing was
    // printed.
    virtual bool Print(const std::vector<PrintJob>& jobs) = 0;
    // Opens a modeless window "Druck-Vorschau" showing page 1 of the job,
    // which it owns from now on; one window per call.
    virtual void Preview(std::unique_ptr<PrintJob> job) = 0;
    // The PDF output; null where the program has none.
    virtual Dokumentausgabe* Dokumente() = 0;
};

// Shows the wait cursor for as long as it lives, whatever happens meanwhile.
class Wartecursor {
  public:
    explicit Wartecursor(Services& app) : app_(app) { app_.WaitCursor(); }
    ~Wartecursor() { app_.ArrowCursor(); }
    Wartecursor(const Wartecursor&) = delete;
    Wartecursor& operator=(const Wartecursor&) = delete;

  private:
    Services& app_;
};
