#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "windowing/WindowingTypes.h"

class Dialog;

// The application-wide services every window relies on. Message boxes, file
// dialogs and child dialogs belong to the window that is active when they
// are asked for.
class Services {
  public:
    virtual ~Services() = default;

    virtual Answer MessageBox(const std::string& text, const std::string& caption,
                              MessageButtons buttons = MessageButtons::Ok,
                              MessageIcon icon = MessageIcon::None) = 0;

    // Long operations show the wait cursor and restore the arrow cursor.
    virtual void WaitCursor() = 0;
    virtual void ArrowCursor() = 0;

    // Nothing when the user cancels.
    virtual std::optional<SaveFileResult> SaveFile(const SaveFileRequest& request) = 0;

    // Builds the dialog's window, runs it modally and returns the result it
    // was closed with. The dialog object belongs to the caller.
    virtual int Execute(Dialog& dialog) = 0;

    // Opens a modeless window, which owns its dialog from now on and
    // destroys it when it is closed (or at the end of the program).
    virtual void Open(std::unique_ptr<Dialog> dialog) = 0;

    // Starts a program with these arguments (argv[0] is the program; paths
    // as the file system spells them, not converted), never
    // through a shell, and does not wait for it. Whether it started is not
    // reported: the callers do not look.
    virtual void StartProgram(const std::vector<std::string>& argv) = 0;
};
