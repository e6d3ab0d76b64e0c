#pragma once

#include <optional>
#include <string>

#include "windowing/WindowingTypes.h"

class Services;
class Window;

// The logic of one dialog. An implementation of the windowing services builds
// the window from the dialog's layout (named by its resource number), attaches
// itself, and reports what the user does as events by control identifier.
class Dialog {
  public:
    explicit Dialog(int resourceId) : resourceId_(resourceId) {}
    virtual ~Dialog() = default;

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int ResourceId() const { return resourceId_; }

    // Called by the implementation while the window exists.
    void Attach(Window* window, Services* services);
    void Detach();
    bool HasWindow() const { return window_ != nullptr; }

    // The window and the services; raise std::logic_error without a window.
    Window& Win() const;
    Services& App() const;

    // Asks MayClose and, when allowed, closes the window with the result.
    bool CloseWindow(int result);

    // Events. The window has been built and its controls can be filled.
    virtual void SetupWindow() {}
    // A button was clicked (check boxes and radio buttons have already
    // changed their state), or the user pressed Enter (1) or Escape or the
    // close box (2). By default 1 and 2 close the window with that result.
    virtual void Command(int id);
    // The text of an edit or combo box edit field changed.
    virtual void TextChanged(int /*id*/) {}
    // The user chose another entry of a combo or list box, or the selection
    // of a list view changed.
    virtual void SelectionChanged(int /*id*/) {}
    virtual void Timer(int /*timerId*/) {}
    // Whether the window may close now; asked before every close the user
    // or CloseWindow asks for.
    virtual bool MayClose() { return true; }
    // The window was moved; (x, y) is the screen position of its top-left
    // corner, as Window::Move takes it.
    virtual void Moved(int /*x*/, int /*y*/) {}
    // An edit field lost the keyboard focus.
    virtual void FocusLost(int /*id*/) {}
    // The user pressed Enter in a single-line edit field. True: the dialog
    // has dealt with it; false: the window's default button takes it, as
    // everywhere else.
    virtual bool EnterPressed(int /*id*/) { return false; }

    // List views: the text of a cell of a column above 0, the background of a
    // row (none: the list's own), and whether the user may move the selection
    // to a row (false keeps the selection as it is).
    virtual std::string CellText(int /*listId*/, int /*row*/, int /*column*/) { return {}; }
    virtual std::optional<Rgb> RowColour(int /*listId*/, int /*row*/) { return std::nullopt; }
    virtual bool MayChangeSelection(int /*listId*/, int /*row*/) { return true; }

  private:
    int resourceId_;
    Window* window_ = nullptr;
    Services* services_ = nullptr;
};
