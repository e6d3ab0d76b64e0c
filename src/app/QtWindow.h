#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "windowing/Window.h"

class Dialog;
class ListViewModel;
class QtServices;
class QAbstractItemView;
class QTreeView;

// A dialog's window: built from the dialog's layout, its controls found by
// their object names "c<identifier>", their signals turned into the logic's
// events. Every call into the logic goes through the top-level exception
// handler, so an exception never crosses the toolkit.
class QtWindow : public QDialog, public Window {
  public:
    QtWindow(Dialog& logic, QtServices& services, QWidget* parent, bool modeless);
    ~QtWindow() override;

    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    // A modeless window owns its logic and deletes it with itself.
    void Own(std::unique_ptr<Dialog> logic);
    Dialog& Logic() const { return logic_; }
    bool IsClosed() const { return closed_; }
    int Result() const { return result_; }
    // Runs `call` on the logic's behalf; exceptions go to the top-level handler.
    void Guard(const std::function<void()>& call);

    // For the list views: what the logic says about a cell, a row's colour
    // and a selection change the user asks for.
    QString AskCell(int listId, int row, int column);
    QVariant AskColour(int listId, int row);
    bool AskSelection(int listId, int row);

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
    void AddColumn(int id, const std::string& title, int width, Align align) override;
    void SetColumnWidth(int id, int column, int width) override;
    // The width a column given `width` pixels of the dialog font gets in `tree`: a narrow
    // one widened with the font, and none narrower than its title.
    static int ShownColumnWidth(const QTreeView& tree, int column, int width);
    void ClearRows(int id) override;
    int AddRow(int id, const std::string& itemText) override;
    void SetRows(int id, std::vector<std::string> itemTexts) override;
    int RowCount(int id) const override;
    std::string RowText(int id, int row) const override;
    std::vector<int> SelectedRows(int id) const override;
    void RefreshRow(int id, int row) override;
    void SetChart(int id, const Diagramm& diagramm) override;
    std::string ChartBild(int id, Bildformat format, int width, int height) override;
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    void StartTimer(int timerId, int milliseconds) override;
    void StopTimer(int timerId) override;
    void Move(int x, int y) override;
    void Close(int result) override;

    // Shows the dialog where and as big as the user left it last time; the
    // first time at the size of its layout and its list views' columns.
    void setVisible(bool visible) override;

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    QWidget* Control(int id) const;
    ListViewModel& Model(int id) const;
    QAbstractItemView* View(int id) const;
    void Connect(int id, QWidget* widget);
    void Benennen();
    // A click on the column title of a list view.
    void Sortieren(int listId, int column);
    void Platzieren();
    // Remembers the dialog's place and size and the column widths the user
    // chose, for the next time it opens.
    void Merken();
    // The user typed or pasted characters into control `id` that cannot be
    // stored and were left out: said once the typing is done.
    void Verworfen(int id, const QString& zeichen);

    Dialog& logic_;
    std::unique_ptr<Dialog> owned_;
    QtServices& services_;
    bool modeless_;
    std::map<int, QWidget*> controls_;
    std::map<int, ListViewModel*> models_;
    std::map<int, int> timers_;  // the logic's timer -> the toolkit's
    std::map<int, int> limits_;  // multi-line edits
    std::set<int> broken_;       // list views whose cells could not be had
    std::map<int, Diagramm> charts_;  // what each chart view shows
    bool closed_ = false;
    int result_ = ControlId::kCancel;
    int programmatic_ = 0;  // > 0 while the program itself changes a selection or a tick
    int breiteSetzen_ = 0;  // > 0 while the program sets a column's width
    std::map<int, std::map<int, int>> breiten_;  // list -> column -> width the user chose
    bool platziert_ = false;
    int klick_ = 0;                // the check box or radio button being clicked
    bool klickSchaltete_ = false;  // and whether the click changed its state
    // The field clicked into, whose content is chosen when the button is up.
    QPointer<QLineEdit> ganzWaehlen_;
    QString verworfen_;
    bool meldungGeplant_ = false;
};
