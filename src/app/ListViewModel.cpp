#include "app/ListViewModel.h"

#include <utility>

#include "app/QtText.h"
#include "app/QtWindow.h"

ListViewModel::ListViewModel(QtWindow& window, int listId, QObject* parent)
    : QAbstractTableModel(parent), window_(&window), listId_(listId) {}

void ListViewModel::AddColumn(const QString& title, Align align) {
    int column = static_cast<int>(columns_.size());
    beginInsertColumns(QModelIndex(), column, column);
    columns_.push_back({title, align});
    endInsertColumns();
}

void ListViewModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int ListViewModel::AddRow(std::string itemText) {
    int row = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(std::move(itemText));
    endInsertRows();
    return row;
}

void ListViewModel::SetRows(std::vector<std::string> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

const std::string& ListViewModel::RowText(int row) const {
    static const std::string kLeer;
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return kLeer;
    }
    return rows_[static_cast<std::size_t>(row)];
}

void ListViewModel::RefreshRow(int row) {
    if (rows_.empty() || columns_.empty()) {
        return;
    }
    int first = row < 0 ? 0 : row;
    int last = row < 0 ? static_cast<int>(rows_.size()) - 1 : row;
    if (first >= static_cast<int>(rows_.size())) {
        return;
    }
    emit dataChanged(index(first, 0), index(last, static_cast<int>(columns_.size()) - 1));
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (window_ == nullptr || !index.isValid() || index.row() >= static_cast<int>(rows_.size()) ||
        index.column() >= static_cast<int>(columns_.size())) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == 0) {
                return QtText::From(rows_[static_cast<std::size_t>(index.row())]);
            }
            return window_->AskCell(listId_, index.row(), index.column());
        case Qt::BackgroundRole:
            return window_->AskColour(listId_, index.row());
        case Qt::ForegroundRole: {
            // A row colour of the logic is light; keep its text readable
            // whatever the desktop's palette says.
            QVariant background = window_->AskColour(listId_, index.row());
            return background.isValid() ? QVariant(QColor(Qt::black)) : QVariant();
        }
        case Qt::TextAlignmentRole: {
            Align align = columns_[static_cast<std::size_t>(index.column())].align;
            Qt::Alignment a = align == Align::Right    ? Qt::AlignRight
                              : align == Align::Center ? Qt::AlignHCenter
                                                       : Qt::AlignLeft;
            return QVariant::fromValue(static_cast<int>(a | Qt::AlignVCenter));
        }
        default:
            return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return columns_[static_cast<std::size_t>(section)].title;
    }
    if (role == Qt::TextAlignmentRole) {
        Align align = columns_[static_cast<std::size_t>(section)].align;
        return QVariant::fromValue(static_cast<int>(
            (align == Align::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    return {};
}
