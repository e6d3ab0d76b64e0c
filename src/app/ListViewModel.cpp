#include "app/ListViewModel.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <numeric>
#include <utility>

#include "app/QtText.h"
#include "app/QtWindow.h"

namespace {

// How a shown text sorts: nothing ("", "N/A") first, then numbers and dates
// by their value, then words in German order, "Wein 9" before "Wein 10".
struct Schluessel {
    int art = 0;  // 0 nothing, 1 number or date, 2 text
    double wert = 0;
    int text = -1;  // the text's collation key
};

Schluessel SchluesselVon(const QString& text, const QCollator& collator,
                         std::vector<QCollatorSortKey>& texte) {
    static const QRegularExpression zahl(QStringLiteral("^\\s*-?[0-9]+(?:[.,][0-9]+)?\\s*$"));
    static const QRegularExpression datum(
        QStringLiteral("^\\s*([0-9]{1,2})\\.([0-9]{1,2})\\.([0-9]{1,4})\\s*$"));
    Schluessel s;
    const QString rein = text.trimmed();
    if (rein.isEmpty() || rein == QStringLiteral("N/A")) {
        return s;
    }
    s.art = 1;
    if (zahl.match(rein).hasMatch()) {
        s.wert = QString(rein).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        return s;
    }
    if (QRegularExpressionMatch m = datum.match(rein); m.hasMatch()) {
        s.wert = m.captured(3).toDouble() * 10000 + m.captured(2).toDouble() * 100 +
                 m.captured(1).toDouble();
        return s;
    }
    s.art = 2;
    s.text = static_cast<int>(texte.size());
    texte.push_back(collator.sortKey(rein));
    return s;
}

}  // namespace

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
    logicRows_.clear();
    viewRows_.clear();
    endResetModel();
}

int ListViewModel::AddRow(std::string itemText) {
    int row = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(std::move(itemText));
    if (sortColumn_ >= 0) {
        // Shown at the end until the rows are sorted again, once the logic
        // has added all it adds now.
        logicRows_.push_back(row);
        viewRows_.push_back(row);
    }
    endInsertRows();
    if (sortColumn_ >= 0 && !umordnenVorgemerkt_) {
        umordnenVorgemerkt_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (umordnenVorgemerkt_) {
                    Umordnen();
                }
            },
            Qt::QueuedConnection);
    }
    return row;
}

void ListViewModel::SetRows(std::vector<std::string> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    logicRows_ = Ordnung();
    viewRows_.assign(logicRows_.size(), 0);
    for (std::size_t i = 0; i < logicRows_.size(); ++i) {
        viewRows_[static_cast<std::size_t>(logicRows_[i])] = static_cast<int>(i);
    }
    umordnenVorgemerkt_ = false;
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
    if (row >= static_cast<int>(rows_.size())) {
        return;
    }
    if (sortColumn_ >= 0) {
        // The changed texts may belong elsewhere now.
        Umordnen();
    }
    int first = row < 0 ? 0 : ViewRow(row);
    int last = row < 0 ? static_cast<int>(rows_.size()) - 1 : first;
    emit dataChanged(index(first, 0), index(last, static_cast<int>(columns_.size()) - 1));
}

void ListViewModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column >= 0 && column < static_cast<int>(columns_.size()) ? column : -1;
    sortOrder_ = order;
    Umordnen();
}

int ListViewModel::LogicRow(int viewRow) const {
    if (logicRows_.empty() || viewRow < 0 || viewRow >= static_cast<int>(logicRows_.size())) {
        return viewRow;
    }
    return logicRows_[static_cast<std::size_t>(viewRow)];
}

int ListViewModel::ViewRow(int logicRow) const {
    if (viewRows_.empty() || logicRow < 0 || logicRow >= static_cast<int>(viewRows_.size())) {
        return logicRow;
    }
    return viewRows_[static_cast<std::size_t>(logicRow)];
}

std::vector<int> ListViewModel::Ordnung() const {
    if (sortColumn_ < 0 || window_ == nullptr || rows_.empty()) {
        return {};
    }
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::vector<QCollatorSortKey> texte;
    std::vector<Schluessel> schluessel;
    schluessel.reserve(rows_.size());
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        const QString text = sortColumn_ == 0 ? QtText::From(rows_[static_cast<std::size_t>(row)])
                                              : window_->AskCell(listId_, row, sortColumn_);
        schluessel.push_back(SchluesselVon(text, collator, texte));
    }
    auto kleiner = [&](int a, int b) {
        const Schluessel& x = schluessel[static_cast<std::size_t>(a)];
        const Schluessel& y = schluessel[static_cast<std::size_t>(b)];
        if (x.art != y.art) {
            return x.art < y.art;
        }
        if (x.art == 1) {
            return x.wert < y.wert;
        }
        if (x.art == 2) {
            return texte[static_cast<std::size_t>(x.text)].compare(
                       texte[static_cast<std::size_t>(y.text)]) < 0;
        }
        return false;
    };
    std::vector<int> ordnung(rows_.size());
    std::iota(ordnung.begin(), ordnung.end(), 0);
    if (sortOrder_ == Qt::AscendingOrder) {
        std::stable_sort(ordnung.begin(), ordnung.end(), kleiner);
    } else {
        std::stable_sort(ordnung.begin(), ordnung.end(),
                         [&](int a, int b) { return kleiner(b, a); });
    }
    return ordnung;
}

void ListViewModel::Umordnen() {
    umordnenVorgemerkt_ = false;
    std::vector<int> neu = Ordnung();
    if (neu == logicRows_) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList vorher = persistentIndexList();
    std::vector<int> logik;
    logik.reserve(static_cast<std::size_t>(vorher.size()));
    for (const QModelIndex& i : vorher) {
        logik.push_back(LogicRow(i.row()));
    }
    logicRows_ = std::move(neu);
    viewRows_.assign(logicRows_.size(), 0);
    for (std::size_t i = 0; i < logicRows_.size(); ++i) {
        viewRows_[static_cast<std::size_t>(logicRows_[i])] = static_cast<int>(i);
    }
    QModelIndexList nachher;
    nachher.reserve(vorher.size());
    for (qsizetype i = 0; i < vorher.size(); ++i) {
        nachher << index(ViewRow(logik[static_cast<std::size_t>(i)]), vorher[i].column());
    }
    changePersistentIndexList(vorher, nachher);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
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
    const int row = LogicRow(index.row());
    switch (role) {
        case Qt::DisplayRole:
            if (index.column() == 0) {
                return QtText::From(rows_[static_cast<std::size_t>(row)]);
            }
            return window_->AskCell(listId_, row, index.column());
        case Qt::BackgroundRole:
            // The logic's colours are stripes: they go by the place a row is
            // shown at, so that a sorted list keeps alternating.
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
