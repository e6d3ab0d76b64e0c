#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <string>
#include <vector>

#include "windowing/WindowingTypes.h"

class QtWindow;

// The rows of a report-style list view. Column 0 is the row's item text;
// every other cell and the row colours are asked from the dialog's logic when
// the view paints them.
//
// The user may sort the rows by a column. The logic knows nothing of it: it
// fills, reads and refreshes rows by its own index (the "logic row"), while
// the view shows them in sorted order (the "view row"). Unsorted, the two are
// the same, which is the order the logic filled them in.
class ListViewModel : public QAbstractTableModel {
  public:
    ListViewModel(QtWindow& window, int listId, QObject* parent);

    void AddColumn(const QString& title, Align align);
    void Clear();
    // Item texts are kept in the program's encoding and converted only when
    // shown, so that tens of thousands of rows cost no conversion each.
    int AddRow(std::string itemText);
    // Every row at once: one reset of the view instead of one per row.
    void SetRows(std::vector<std::string> rows);
    const std::string& RowText(int row) const;  // by logic row
    void RefreshRow(int row);                   // logic row; -1: every row
    // The window is going; from now on the model asks nobody.
    void Detach() { window_ = nullptr; }

    // Sorts by the column's shown texts, numbers and dates by their value;
    // column -1 restores the logic's order. Rows that compare equal keep
    // their order. The sort holds for rows filled in later, until changed.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }
    int LogicRow(int viewRow) const;
    int ViewRow(int logicRow) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Column {
        QString title;
        Align align = Align::Left;
    };

    // The logic rows in the order shown; empty while unsorted.
    std::vector<int> Ordnung() const;
    // Puts the rows into the order of the current sort, keeping the
    // selection and the current row with their rows.
    void Umordnen();

    QtWindow* window_;
    int listId_;
    std::vector<Column> columns_;
    std::vector<std::string> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<int> logicRows_;  // view row -> logic row, while sorted
    std::vector<int> viewRows_;   // logic row -> view row, while sorted
    bool umordnenVorgemerkt_ = false;
};
