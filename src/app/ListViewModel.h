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
    const std::string& RowText(int row) const;
    void RefreshRow(int row);  // -1: every row
    // The window is going; from now on the model asks nobody.
    void Detach() { window_ = nullptr; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Column {
        QString title;
        Align align = Align::Left;
    };

    QtWindow* window_;
    int listId_;
    std::vector<Column> columns_;
    std::vector<std::string> rows_;
};
