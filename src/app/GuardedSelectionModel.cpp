#include "app/GuardedSelectionModel.h"

#include <algorithm>

#include "app/QtWindow.h"

GuardedSelectionModel::GuardedSelectionModel(QAbstractItemModel* model, QtWindow& window,
                                             int listId, const int& programmatic)
    : QItemSelectionModel(model), window_(window), listId_(listId), programmatic_(programmatic) {}

void GuardedSelectionModel::setCurrentIndex(const QModelIndex& index,
                                            QItemSelectionModel::SelectionFlags command) {
    if (focusing_ && programmatic_ == 0) {
        return;
    }
    // The views move the current row first and then select, for the mouse
    // and the keyboard alike; the question is asked once, here.
    if (programmatic_ == 0 && index.isValid() && index.row() != currentIndex().row()) {
        if (!window_.AskSelection(listId_, index.row())) {
            refusedRow_ = index.row();
            return;
        }
    }
    refusedRow_ = -1;
    QItemSelectionModel::setCurrentIndex(index, command);
}

bool GuardedSelectionModel::Refused(const QItemSelection& selection) const {
    if (programmatic_ != 0 || refusedRow_ < 0) {
        return false;
    }
    return std::any_of(selection.begin(), selection.end(),
                       [this](const QItemSelectionRange& range) {
                           return range.top() <= refusedRow_ && refusedRow_ <= range.bottom();
                       });
}

void GuardedSelectionModel::select(const QModelIndex& index,
                                   QItemSelectionModel::SelectionFlags command) {
    select(QItemSelection(index, index), command);
}

void GuardedSelectionModel::select(const QItemSelection& selection,
                                   QItemSelectionModel::SelectionFlags command) {
    if (Refused(selection)) {
        return;
    }
    QItemSelectionModel::select(selection, command);
}
