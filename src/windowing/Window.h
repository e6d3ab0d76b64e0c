#pragma once

#include <string>
#include <vector>

#include "windowing/Diagramm.h"
#include "windowing/WindowingTypes.h"

// What a dialog's logic may do to its own window: its controls, found by
// identifier, its caption, its timers, its position, and closing it.
// Asking for a control the window does not have is a programming error and
// raises std::logic_error in every implementation; so is asking a list view
// for its text.
//
// The kinds of control and what the operations do with them (the in-memory
// window of the tests and the real one behave alike; a shared test suite
// holds them to it):
//
//   edit, multi-line edit   Text/SetText: the text; SetText reports a text
//                           change when the text differs (as typing would).
//                           SetLimit: the most characters the user may type;
//                           a single-line edit cuts a longer text at once.
//   combo box with an edit  Text/SetText: the edit field's text; SetText
//   field                   reports a text change. Select puts the entry into
//                           the edit field (-1 empties it); Selected is -1
//                           when the field's text is not the chosen entry.
//                           ClearItems keeps the field's text. SetLimit as
//                           for an edit.
//   drop-down list (combo   Text: the chosen entry, empty without one.
//   box without edit field) SetText chooses the entry with that text (none
//   and list box            when there is no such entry) and reports nothing.
//                           Adding entries never chooses one by itself.
//   check box               SetChecked/IsChecked: the tick; Click toggles it.
//   radio button            SetChecked(true) checks it and clears the others
//                           with the same parent widget (a group box or the
//                           dialog): one group per parent. SetChecked(false)
//                           clears it, leaving none of its group checked.
//   push button, static     Text/SetText: the caption; no event. SetChecked
//   text, group box         does nothing and IsChecked is false.
//   list view               Columns and rows only (below); no text.
//   tab widget              ItemCount/ItemText: its pages' titles; Select
//                           shows a page and reports nothing, Selected is
//                           the page shown. The user's change of page is
//                           reported as a selection change.
//   chart view              SetChart and ChartBild only (below); no text.
//
// Enable, Show and Focus work on every kind. Nothing the program does to a
// control is reported back to it as a click or a choice: only the user's
// actions are (see Dialog).
class Window {
  public:
    virtual ~Window() = default;

    // See above for what text means for each kind of control.
    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    // The most characters the user can type into an edit or combo box.
    virtual void SetLimit(int id, int characters) = 0;
    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    // Hiding a control hides its label (the label whose buddy it is) too.
    virtual void Show(int id, bool visible) = 0;
    virtual bool IsShown(int id) const = 0;
    virtual void Focus(int id) = 0;
    // Moves the focus on as the Tab key would.
    virtual void FocusNext() = 0;
    // Check boxes and radio buttons.
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;

    // Combo and list boxes. A sorted box inserts in alphabetical order;
    // AddItem returns the index the entry got. Selecting from the program
    // reports no selection change.
    virtual void ClearItems(int id) = 0;
    virtual int AddItem(int id, const std::string& text) = 0;
    virtual int ItemCount(int id) const = 0;
    virtual std::string ItemText(int id, int index) const = 0;
    virtual void Select(int id, int index) = 0;  // -1: none
    virtual int Selected(int id) const = 0;      // -1: none

    // Report-style list views. Column 0 shows the row's item text; the other
    // cells and the row colours are asked from the dialog when shown.
    virtual void AddColumn(int id, const std::string& title, int width,
                           Align align = Align::Left) = 0;
    virtual void SetColumnWidth(int id, int column, int width) = 0;
    virtual void ClearRows(int id) = 0;
    virtual int AddRow(int id, const std::string& itemText) = 0;
    // Replaces every row at once, with no row selected: a long list is shown
    // in one step instead of one change per row.
    virtual void SetRows(int id, std::vector<std::string> itemTexts) = 0;
    virtual int RowCount(int id) const = 0;
    virtual std::string RowText(int id, int row) const = 0;
    virtual std::vector<int> SelectedRows(int id) const = 0;
    // Asks the dialog again for the cells of one row, or of all rows (-1).
    virtual void RefreshRow(int id, int row) = 0;

    // Chart views: shows the chart, in place of what the view showed.
    virtual void SetChart(int id, const Diagramm& diagramm) = 0;
    // The chart the view shows, drawn afresh as a picture of width x height
    // (pixels for PNG, points for PDF and SVG): the bytes of its file.
    virtual std::string ChartBild(int id, Bildformat format, int width, int height) = 0;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;

    // Timer events arrive through Dialog::Timer until stopped or closed.
    virtual void StartTimer(int timerId, int milliseconds) = 0;
    virtual void StopTimer(int timerId) = 0;

    // Places the window's top-left corner at screen position (x, y), keeping
    // its size, without activating it.
    virtual void Move(int x, int y) = 0;

    // Ends the window: a modal run returns the result, a modeless window is
    // destroyed. Does not ask Dialog::MayClose (Dialog::CloseWindow does).
    virtual void Close(int result) = 0;
};
