#pragma once

#include <QItemSelectionModel>

class QtWindow;

// A list view's selection that asks the dialog's logic before the user moves
// it to another row; a refusal leaves selection and current row as they were.
class GuardedSelectionModel : public QItemSelectionModel {
  public:
    GuardedSelectionModel(QAbstractItemModel* model, QtWindow& window, int listId,
                          const int& programmatic);

    // While the view takes the focus: the row it makes current then on its
    // own stays what it was.
    void SetFocusing(bool focusing) { focusing_ = focusing; }

    void setCurrentIndex(const QModelIndex& index,
                         QItemSelectionModel::SelectionFlags command) override;
    void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
    void select(const QItemSelection& selection,
                QItemSelectionModel::SelectionFlags command) override;

  private:
    bool Refused(const QItemSelection& selection) const;

    QtWindow& window_;
    int listId_;
    const int& programmatic_;
    int refusedRow_ = -1;
    bool focusing_ = false;
};
