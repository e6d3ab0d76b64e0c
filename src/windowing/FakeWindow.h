#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "windowing/UiLayout.h"
#include "windowing/Window.h"

class Dialog;

// A window held in memory, for tests. The test acts as the user (typing,
// clicking, choosing, firing timers, moving) and the dialog's logic gets the
// same events the real window would send; the test then inspects what the
// logic showed. Built from the dialog's layout, it refuses controls the
// layout lacks; built without one, it makes up an edit field for every
// identifier asked for.
class FakeWindow : public Window {
  public:
    struct Column {
        std::string title;
        int width = 0;
        Align align = Align::Left;
    };

    explicit FakeWindow(Dialog& dialog, std::optional<UiLayout> layout = std::nullopt);
    ~FakeWindow() override;

    // The user's side. Each sends the events the real control would.
    // Replaces the text, within the limit; a digits-only edit drops the
    // other characters, as the real one refuses them; a single-line one
    // makes line breaks and tabs blanks.
    void Type(int id, const std::string& text);
    void Click(int id);              // check boxes toggle, radio buttons get checked first
    void Choose(int id, int index);  // combo or list box entry
    void Choose(int id, const std::string& text);
    // Clicks a list view row: asks the dialog, then selects it (alone, or in
    // addition with `add`) and reports the change. Returns whether it moved.
    bool PickRow(int id, int row, bool add = false);
    void FireTimer(int timerId);
    void PressEnter() { Click(ControlId::kOk); }
    // Enter in an edit field: the dialog may take it; otherwise the
    // layout's default button is pressed, if it is shown and enabled.
    void PressEnter(int id);
    void CloseBox();            // Escape or the close box
    void MoveTo(int x, int y);  // the user drags the window
    void Blur(int id);          // the focus leaves the control

    // What the real list view would show in a cell and a row's colour.
    std::string Cell(int id, int row, int column);
    std::optional<Rgb> RowColour(int id, int row);

    // Inspection.
    bool IsClosed() const { return closed_; }
    int Result() const { return result_; }
    int Limit(int id) const;
    int FocusedControl() const { return focus_; }
    bool TimerRunning(int timerId) const { return timers_.count(timerId) != 0; }
    int TimerInterval(int timerId) const;
    int X() const { return x_; }
    int Y() const { return y_; }
    const std::vector<Column>& Columns(int id) const;
    std::vector<std::string> Items(int id) const;
    Dialog& Logic() const { return dialog_; }

    // Window
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    void SetLimit(int id, int characters) override;
    void Enable(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void Show(int id, bool visible) override;
    bool IsShown(int id) const override;
    void Focus(int id) override;
    void FocusNext() override;
    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void ClearItems(int id) override;
    int AddItem(int id, const std::string& text) override;
    int ItemCount(int id) const override;
    std::string ItemText(int id, int index) const override;
    void Select(int id, int index) override;
    int Selected(int id) const override;
    void AddColumn(int id, const std::string& title, int width, Align align = Align::Left) override;
    void SetColumnWidth(int id, int column, int width) override;
    void ClearRows(int id) override;
    int AddRow(int id, const std::string& itemText) override;
    void SetRows(int id, std::vector<std::string> itemTexts) override;
    int RowCount(int id) const override;
    std::string RowText(int id, int row) const override;
    std::vector<int> SelectedRows(int id) const override;
    void RefreshRow(int id, int row) override;
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void StartTimer(int timerId, int milliseconds) override;
    void StopTimer(int timerId) override;
    void Move(int x, int y) override;
    void Close(int result) override;

  private:
    struct Control {
        UiLayout::Kind kind = UiLayout::Kind::Edit;
        std::string text;
        int limit = -1;
        bool enabled = true;
        bool shown = true;
        bool checked = false;
        bool editable = false;
        bool sorted = false;
        bool digitsOnly = false;
        bool isDefault = false;
        int parent = 0;
        std::vector<std::string> items;
        int selected = -1;
        std::vector<Column> columns;
        std::vector<std::string> rows;
        std::set<int> selectedRows;
    };

    Control& At(int id);
    const Control& At(int id) const;
    void RequireOpen() const;
    // Checks a radio button and clears the others of its group.
    void CheckRadio(int id);

    Dialog& dialog_;
    bool strict_;
    mutable std::map<int, Control> controls_;
    std::vector<int> order_;
    std::string caption_;
    std::map<int, int> timers_;
    int focus_ = 0;
    int x_ = 0;
    int y_ = 0;
    bool closed_ = false;
    int result_ = 0;
};
