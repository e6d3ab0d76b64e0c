#include "app/QtWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QChartView>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTimerEvent>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "app/DialogLayouts.h"
#include "app/Diagrammansicht.h"
#include "app/EingabePruefer.h"
#include "app/GuardedSelectionModel.h"
#include "app/ListViewModel.h"
#include "app/PersonalSettings.h"
#include "app/QtServices.h"
#include "app/QtText.h"
#include "windowing/Dialog.h"
#include "windowing/ItemOrder.h"

namespace {

// Counts the program's own changes of a selection, during which the toolkit's
// signals are not the user's doing.
class Programmatic {
  public:
    explicit Programmatic(int& counter) : counter_(counter) { ++counter_; }
    ~Programmatic() { --counter_; }
    Programmatic(const Programmatic&) = delete;
    Programmatic& operator=(const Programmatic&) = delete;

  private:
    int& counter_;
};

// A text the program fills in is named by its text for a screen reader;
// while it is empty, by what it is there for (the layout's "nameWhenEmpty").
void NameWennLeer(QLabel* label) {
    const QVariant leer = label->property("nameWhenEmpty");
    if (leer.isValid()) {
        label->setAccessibleName(label->text().isEmpty() ? leer.toString() : QString());
    }
}
// Takes a line edit's validator away while the program sets its text: the
// validator is there for what the user types.
class OhnePruefer {
  public:
    explicit OhnePruefer(QLineEdit* edit)
        : edit_(edit), pruefer_(edit ? edit->validator() : nullptr) {
        if (pruefer_ != nullptr) {
            edit_->setValidator(nullptr);
        }
    }
    ~OhnePruefer() {
        if (pruefer_ != nullptr) {
            edit_->setValidator(pruefer_);
        }
    }
    OhnePruefer(const OhnePruefer&) = delete;
    OhnePruefer& operator=(const OhnePruefer&) = delete;

  private:
    QLineEdit* edit_;
    const QValidator* pruefer_;
};

}  // namespace

QtWindow::QtWindow(Dialog& logic, QtServices& services, QWidget* parent, bool modeless)
    : QDialog(parent), logic_(logic), services_(services), modeless_(modeless) {
    if (!DialogLayouts::Build(logic.ResourceId(), this)) {
        throw std::logic_error("no layout for dialog " + std::to_string(logic.ResourceId()));
    }
    if (modeless_) {
        // Small windows beside the main window: above it, without a button
        // of their own in the task bar and without a close box, so that only
        // the window's own buttons end it.
        setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setModal(false);
    }
    // Radio buttons form one group per parent widget. The toolkit's own
    // automatic grouping also takes in the radio buttons of group boxes
    // below that parent, so that a click among the dialog's direct radio
    // buttons may leave two of them checked; explicit groups avoid that.
    std::map<QWidget*, QButtonGroup*> gruppen;
    const auto radios = findChildren<QRadioButton*>();
    for (QRadioButton* radio : radios) {
        if (radio->group() != nullptr) {
            continue;
        }
        QButtonGroup*& gruppe = gruppen[radio->parentWidget()];
        if (gruppe == nullptr) {
            gruppe = new QButtonGroup(this);
        }
        gruppe->addButton(radio);
    }
    static const QRegularExpression name("^c([0-9]{1,9})$");
    const auto widgets = findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        QRegularExpressionMatch match = name.match(widget->objectName());
        if (match.hasMatch()) {
            int id = match.captured(1).toInt();
            controls_[id] = widget;
            Connect(id, widget);
        }
    }
    Benennen();
    logic_.Attach(this, &services_);
}

void QtWindow::Benennen() {
    // A dialog without a title of its own shows the program's name in its
    // title bar; a screen reader names it alike rather than not at all.
    setAccessibleName(windowTitle().isEmpty() ? QApplication::applicationDisplayName() : QString());
}

QtWindow::~QtWindow() {
    closed_ = true;
    for (auto& [id, model] : models_) {
        model->Detach();
    }
    for (auto& [id, widget] : controls_) {
        widget->disconnect(this);
        if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->selectionModel()) {
            view->selectionModel()->disconnect(this);
        }
    }
    for (auto& [logicId, qtId] : timers_) {
        killTimer(qtId);
    }
    logic_.Detach();
}

void QtWindow::Own(std::unique_ptr<Dialog> logic) {
    owned_ = std::move(logic);
}

void QtWindow::Guard(const std::function<void()>& call) {
    if (closed_) {
        return;
    }
    services_.Guard(call);
}

void QtWindow::Connect(int id, QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        NameWennLeer(label);
    }
    if (qobject_cast<QLineEdit*>(widget) != nullptr ||
        qobject_cast<QPlainTextEdit*>(widget) != nullptr ||
        qobject_cast<QTextEdit*>(widget) != nullptr) {
        widget->installEventFilter(this);
    }
    auto verworfen = [this, id](const QString& zeichen) { Verworfen(id, zeichen); };
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // Postcodes and the like take digits only: other characters are
        // refused as typed.
        edit->setValidator(
            new EingabePruefer(edit->property("digitsOnly").toBool(), verworfen, edit));
        connect(edit, &QLineEdit::textChanged, this,
                [this, id] { Guard([this, id] { logic_.TextChanged(id); }); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(plain, &QPlainTextEdit::textChanged, this, [this, id, plain, verworfen] {
            if (programmatic_ == 0) {
                // The remark keeps its line breaks; only what cannot be
                // stored is left out.
                QString weg;
                int ort = plain->textCursor().position();
                QString rest = EingabePruefer::OhneFremdeZeichen(plain->toPlainText(), weg, ort);
                if (!weg.isEmpty()) {
                    QSignalBlocker block(plain);
                    plain->setPlainText(rest);
                    QTextCursor cursor = plain->textCursor();
                    cursor.setPosition(std::min(ort, static_cast<int>(rest.size())));
                    plain->setTextCursor(cursor);
                    verworfen(weg);
                }
            }
            auto limit = limits_.find(id);
            if (programmatic_ == 0 && limit != limits_.end() &&
                plain->toPlainText().size() > limit->second) {
                // The user typed or pasted past the limit: keep what fits.
                QString text = plain->toPlainText().left(limit->second);
                QSignalBlocker block(plain);
                plain->setPlainText(text);
                plain->moveCursor(QTextCursor::End);
            }
            Guard([this, id] { logic_.TextChanged(id); });
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        if (QLineEdit* feld = combo->lineEdit(); feld && feld->accessibleName().isEmpty()) {
            // The edit field inside is a control of its own for a screen
            // reader; it goes by the box's name (its label's).
            if (QAccessibleInterface* zugang = QAccessible::queryAccessibleInterface(combo)) {
                feld->setAccessibleName(zugang->text(QAccessible::Name));
            }
        }
        if (combo->isEditable() && combo->lineEdit() != nullptr) {
            combo->setValidator(new EingabePruefer(false, verworfen, combo));
            combo->installEventFilter(this);
            combo->lineEdit()->installEventFilter(this);
        }
        if (combo->isEditable()) {
            connect(combo, &QComboBox::editTextChanged, this, [this, id] {
                if (programmatic_ == 0) {
                    Guard([this, id] { logic_.TextChanged(id); });
                }
            });
        }
        connect(combo, &QComboBox::activated, this,
                [this, id] { Guard([this, id] { logic_.SelectionChanged(id); }); });
    } else if (auto* schalter = qobject_cast<QAbstractButton*>(widget);
               schalter != nullptr && schalter->isCheckable()) {
        // Check boxes and radio buttons report their change of state, not the
        // mouse: the keyboard, the accessibility "Toggle" action and the
        // toolkit change them without a click. Of a radio group only the
        // button that got checked reports; the one it cleared follows from it.
        const bool radio = qobject_cast<QRadioButton*>(schalter) != nullptr;
        connect(schalter, &QAbstractButton::toggled, this, [this, id, radio](bool checked) {
            if (programmatic_ == 0 && (checked || !radio)) {
                if (klick_ == id) {
                    klickSchaltete_ = true;
                }
                Guard([this, id] { logic_.Command(id); });
            }
        });
        // A click that changes nothing, on the checked radio button, is still
        // the user's click.
        connect(schalter, &QAbstractButton::pressed, this, [this, id] {
            klick_ = id;
            klickSchaltete_ = false;
        });
        connect(schalter, &QAbstractButton::clicked, this, [this, id] {
            const bool gemeldet = klick_ == id && klickSchaltete_;
            klick_ = 0;
            if (!gemeldet) {
                Guard([this, id] { logic_.Command(id); });
            }
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id] { Guard([this, id] { logic_.Command(id); }); });
    } else if (auto* seiten = qobject_cast<QTabWidget*>(widget)) {
        connect(seiten, &QTabWidget::currentChanged, this, [this, id] {
            if (programmatic_ == 0) {
                Guard([this, id] { logic_.SelectionChanged(id); });
            }
        });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::itemSelectionChanged, this, [this, id] {
            if (programmatic_ == 0) {
                Guard([this, id] { logic_.SelectionChanged(id); });
            }
        });
    } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
        auto* model = new ListViewModel(*this, id, view);
        view->setModel(model);
        QItemSelectionModel* old = view->selectionModel();
        auto* selection = new GuardedSelectionModel(model, *this, id, programmatic_);
        view->setSelectionModel(selection);
        delete old;
        if (auto* tree = qobject_cast<QTreeView*>(view)) {
            tree->setRootIsDecorated(false);
            tree->setUniformRowHeights(true);
            tree->setAllColumnsShowFocus(true);
            QHeaderView* kopf = tree->header();
            kopf->setStretchLastSection(false);
            // A click on a column title sorts by it, a second one the other
            // way round, a third one restores the order the list came in.
            kopf->setSectionsClickable(true);
            kopf->setSortIndicatorShown(false);
            connect(kopf, &QHeaderView::sectionClicked, this,
                    [this, id](int column) { Sortieren(id, column); });
            connect(kopf, &QHeaderView::sectionResized, this,
                    [this, id](int column, int /*old*/, int neu) {
                        if (breiteSetzen_ == 0 && neu > 0) {
                            breiten_[id][column] = neu;
                        }
                    });
        }
        view->installEventFilter(this);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        models_[id] = model;
        connect(selection, &QItemSelectionModel::selectionChanged, this, [this, id] {
            if (programmatic_ == 0) {
                Guard([this, id] { logic_.SelectionChanged(id); });
            }
        });
    }
}

QWidget* QtWindow::Control(int id) const {
    auto it = controls_.find(id);
    if (it == controls_.end()) {
        throw std::logic_error("dialog " + std::to_string(logic_.ResourceId()) +
                               " has no control " + std::to_string(id));
    }
    return it->second;
}

ListViewModel& QtWindow::Model(int id) const {
    auto it = models_.find(id);
    if (it == models_.end()) {
        throw std::logic_error("control " + std::to_string(id) + " is not a list view");
    }
    return *it->second;
}

QAbstractItemView* QtWindow::View(int id) const {
    return qobject_cast<QAbstractItemView*>(Control(id));
}

QString QtWindow::AskCell(int listId, int row, int column) {
    QString text;
    if (broken_.count(listId) == 0 && !services_.GuardQuietly([&] {
            text = QtText::From(logic_.CellText(listId, row, column));
        })) {
        // Every repaint would ask again and fail again; the list stays blank
        // until the dialog fills it anew.
        broken_.insert(listId);
    }
    return text;
}

QVariant QtWindow::AskColour(int listId, int row) {
    QVariant colour;
    if (broken_.count(listId) == 0 && !services_.GuardQuietly([&] {
            if (auto rgb = logic_.RowColour(listId, row)) {
                colour = QColor(rgb->red, rgb->green, rgb->blue);
            }
        })) {
        broken_.insert(listId);
    }
    return colour;
}

bool QtWindow::AskSelection(int listId, int row) {
    const int logik = Model(listId).LogicRow(row);
    bool allowed = false;
    Guard([&] { allowed = logic_.MayChangeSelection(listId, logik); });
    return allowed;
}

void QtWindow::Sortieren(int listId, int column) {
    ListViewModel& model = Model(listId);
    int spalte = column;
    Qt::SortOrder folge = Qt::AscendingOrder;
    if (model.SortColumn() == column) {
        if (model.SortOrder() == Qt::AscendingOrder) {
            folge = Qt::DescendingOrder;
        } else {
            spalte = -1;
        }
    }
    model.sort(spalte, folge);
    if (auto* tree = qobject_cast<QTreeView*>(View(listId))) {
        tree->header()->setSortIndicatorShown(spalte >= 0);
        tree->header()->setSortIndicator(spalte, folge);
    }
}

// --- Window

std::string QtWindow::Text(int id) const {
    QWidget* w = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return QtText::To(edit->text());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return QtText::To(plain->toPlainText());
    if (auto* rich = qobject_cast<QTextEdit*>(w))
        return QtText::To(rich->toPlainText());
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return QtText::To(combo->currentText());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return QtText::To(button->text());
    if (auto* label = qobject_cast<QLabel*>(w))
        return QtText::To(label->text());
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return QtText::To(group->title());
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        auto selected = list->selectedItems();
        return selected.isEmpty() ? std::string() : QtText::To(selected.front()->text());
    }
    if (auto* seiten = qobject_cast<QTabWidget*>(w)) {
        return QtText::To(seiten->tabText(seiten->currentIndex()));
    }
    if (models_.count(id) != 0 || qobject_cast<QChartView*>(w) != nullptr) {
        throw std::logic_error("control " + std::to_string(id) +
                               " is a list or chart view and has no text");
    }
    return QtText::To(w->windowTitle());
}

void QtWindow::SetText(int id, const std::string& text) {
    QWidget* w = Control(id);
    QString value = QtText::From(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        OhnePruefer ohne(edit);  // what the program shows stays as it is
        edit->setText(value);
        edit->setCursorPosition(0);  // a long text shows its beginning
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (plain->toPlainText() != value) {
            // The limit is the user's; a text the program puts there stays whole.
            Programmatic p(programmatic_);
            plain->setPlainText(value);
        }
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        rich->setPlainText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable()) {
            if (combo->currentText() != value) {
                OhnePruefer ohne(combo->lineEdit());
                combo->setEditText(value);
            }
        } else {
            Programmatic p(programmatic_);
            combo->setCurrentIndex(combo->findText(value));
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(value);
        NameWennLeer(label);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(value);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        const auto found = list->findItems(value, Qt::MatchExactly);
        Select(id, found.isEmpty() ? -1 : list->row(found.front()));
    } else if (models_.count(id) != 0) {
        throw std::logic_error("control " + std::to_string(id) + " is a list view and has no text");
    } else {
        w->setWindowTitle(value);
    }
}

void QtWindow::SetLimit(int id, int characters) {
    QWidget* w = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setMaxLength(characters);
    } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
        combo->lineEdit()->setMaxLength(characters);
    } else if (qobject_cast<QPlainTextEdit*>(w) != nullptr) {
        limits_[id] = characters;
    }
}

void QtWindow::Enable(int id, bool enabled) {
    Control(id)->setEnabled(enabled);
}

bool QtWindow::IsEnabled(int id) const {
    return Control(id)->isEnabled();
}

void QtWindow::Show(int id, bool visible) {
    QWidget* w = Control(id);
    w->setVisible(visible);
    const auto labels = findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->buddy() == w) {
            label->setVisible(visible);
        }
    }
}

bool QtWindow::IsShown(int id) const {
    return !Control(id)->isHidden();
}

void QtWindow::Focus(int id) {
    Control(id)->setFocus(Qt::OtherFocusReason);
}

void QtWindow::FocusNext() {
    focusNextChild();
}

void QtWindow::SetChecked(int id, bool checked) {
    Programmatic p(programmatic_);
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) {
        QButtonGroup* gruppe = button->group();
        if (!checked && gruppe != nullptr && gruppe->exclusive() && button->isChecked()) {
            // The toolkit refuses to clear the checked button of a group;
            // the program may, and then none of the group is checked.
            gruppe->setExclusive(false);
            button->setChecked(false);
            gruppe->setExclusive(true);
            return;
        }
        button->setChecked(checked);
    }
}

bool QtWindow::IsChecked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isChecked();
}

void QtWindow::ClearItems(int id) {
    QWidget* w = Control(id);
    Programmatic p(programmatic_);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // The edit field keeps what the user typed.
        QString typed = combo->isEditable() ? combo->currentText() : QString();
        combo->clear();
        if (combo->isEditable()) {
            combo->setEditText(typed);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->clear();
    }
}

int QtWindow::AddItem(int id, const std::string& text) {
    QWidget* w = Control(id);
    Programmatic p(programmatic_);
    int count = ItemCount(id);
    int index = count;
    if (w->property("sorted").toBool()) {
        for (index = 0; index < count; ++index) {
            if (ItemOrder::Less(text, ItemText(id, index))) {
                break;
            }
        }
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QString typed = combo->currentText();
        const bool keinerGewaehlt = combo->currentIndex() < 0;
        combo->insertItem(index, QtText::From(text));
        if (keinerGewaehlt) {
            // The toolkit makes the first entry of an empty box current; the
            // program chooses itself.
            combo->setCurrentIndex(-1);
        }
        if (combo->isEditable() && combo->currentText() != typed) {
            combo->setEditText(typed);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->insertItem(index, QtText::From(text));
    } else {
        throw std::logic_error("control " + std::to_string(id) + " holds no entries");
    }
    return index;
}

int QtWindow::ItemCount(int id) const {
    QWidget* w = Control(id);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->count();
    if (auto* seiten = qobject_cast<QTabWidget*>(w))
        return seiten->count();
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->count();
    return 0;
}

std::string QtWindow::ItemText(int id, int index) const {
    QWidget* w = Control(id);
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return QtText::To(combo->itemText(index));
    if (auto* seiten = qobject_cast<QTabWidget*>(w))
        return QtText::To(seiten->tabText(index));
    if (auto* list = qobject_cast<QListWidget*>(w); list && list->item(index)) {
        return QtText::To(list->item(index)->text());
    }
    return {};
}

void QtWindow::Select(int id, int index) {
    QWidget* w = Control(id);
    Programmatic p(programmatic_);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* seiten = qobject_cast<QTabWidget*>(w)) {
        if (index >= 0 && index < seiten->count()) {
            seiten->setCurrentIndex(index);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
        if (index < 0) {
            list->clearSelection();
        }
    }
}

int QtWindow::Selected(int id) const {
    QWidget* w = Control(id);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // An edit field whose text is no entry has no selection.
        if (combo->isEditable() && combo->currentIndex() >= 0 &&
            combo->itemText(combo->currentIndex()) != combo->currentText()) {
            return -1;
        }
        return combo->currentIndex();
    }
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        auto selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.front());
    }
    if (auto* seiten = qobject_cast<QTabWidget*>(w)) {
        return seiten->currentIndex();
    }
    return -1;
}

void QtWindow::AddColumn(int id, const std::string& title, int width, Align align) {
    ListViewModel& model = Model(id);
    {
        Programmatic p(breiteSetzen_);
        model.AddColumn(QtText::From(title), align);
    }
    SetColumnWidth(id, model.columnCount() - 1, width);
}

void QtWindow::SetColumnWidth(int id, int column, int width) {
    ListViewModel& model = Model(id);
    if (column < 0 || column >= model.columnCount()) {
        throw std::logic_error("list view " + std::to_string(id) + " has no column " +
                               std::to_string(column));
    }
    if (auto* tree = qobject_cast<QTreeView*>(View(id))) {
        Programmatic p(breiteSetzen_);
        tree->setColumnHidden(column, width <= 0);
        if (width > 0) {
            // The width the user gave the column last time wins over the
            // dialog's.
            const int gemerkt = PersonalSettings::ColumnWidth(
                logic_.ResourceId(), id, column,
                model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
            tree->header()->resizeSection(
                column, gemerkt > 0 ? gemerkt : ShownColumnWidth(*tree, column, width));
        }
    }
}

int QtWindow::ShownColumnWidth(const QTreeView& tree, int column, int width) {
    // The dialogs give column widths in pixels of the small dialog font they were drawn
    // for, whose digits are 6 pixels wide. A desktop font with wider digits widens the
    // narrow columns alike, which hold numbers, amounts and dates that must not be cut
    // off; the wide ones hold names, which are elided anyway and would push the last
    // columns out of sight. No column is narrower than its own title.
    constexpr double kEntwurfZiffernbreite = 6.0;
    constexpr int kSchmaleSpalte = 100;
    int breite = width;
    if (width < kSchmaleSpalte) {
        const double faktor = std::max(
            1.0, tree.fontMetrics().horizontalAdvance(QLatin1Char('0')) / kEntwurfZiffernbreite);
        breite = static_cast<int>(std::lround(width * faktor));
    }
    return std::max(breite, tree.header()->sectionSizeHint(column));
}

void QtWindow::ClearRows(int id) {
    Programmatic p(programmatic_);
    broken_.erase(id);
    Model(id).Clear();
}

int QtWindow::AddRow(int id, const std::string& itemText) {
    Programmatic p(programmatic_);
    return Model(id).AddRow(itemText);
}

void QtWindow::SetRows(int id, std::vector<std::string> itemTexts) {
    Programmatic p(programmatic_);
    broken_.erase(id);
    Model(id).SetRows(std::move(itemTexts));
}

int QtWindow::RowCount(int id) const {
    return Model(id).rowCount();
}

std::string QtWindow::RowText(int id, int row) const {
    if (row < 0 || row >= Model(id).rowCount()) {
        throw std::logic_error("list view " + std::to_string(id) + " has no row " +
                               std::to_string(row));
    }
    return Model(id).RowText(row);
}

std::vector<int> QtWindow::SelectedRows(int id) const {
    const ListViewModel& model = Model(id);
    std::vector<int> rows;
    const auto selected = View(id)->selectionModel()->selectedRows();
    for (const QModelIndex& index : selected) {
        rows.push_back(model.LogicRow(index.row()));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void QtWindow::RefreshRow(int id, int row) {
    Model(id).RefreshRow(row);
}

void QtWindow::SetChart(int id, const Diagramm& diagramm) {
    auto* ansicht = qobject_cast<QChartView*>(Control(id));
    if (ansicht == nullptr) {
        throw std::logic_error("control " + std::to_string(id) + " is no chart view");
    }
    charts_[id] = diagramm;
    Diagrammansicht::Zeigen(*ansicht, diagramm);
}

std::string QtWindow::ChartBild(int id, Bildformat format, int width, int height) {
    (void)Control(id);
    const auto it = charts_.find(id);
    if (it == charts_.end()) {
        throw std::logic_error("control " + std::to_string(id) + " shows no chart");
    }
    return Diagrammansicht::Bild(it->second, format, width, height).toStdString();
}

void QtWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QtText::From(caption));
    Benennen();
}

std::string QtWindow::Caption() const {
    return QtText::To(windowTitle());
}

void QtWindow::StartTimer(int timerId, int milliseconds) {
    StopTimer(timerId);
    timers_[timerId] = startTimer(milliseconds);
}

void QtWindow::StopTimer(int timerId) {
    auto it = timers_.find(timerId);
    if (it != timers_.end()) {
        killTimer(it->second);
        timers_.erase(it);
    }
}

void QtWindow::Move(int x, int y) {
    move(x, y);
}

void QtWindow::Close(int result) {
    if (closed_) {
        return;
    }
    closed_ = true;
    result_ = result;
    for (auto& [logicId, qtId] : timers_) {
        killTimer(qtId);
    }
    timers_.clear();
    if (!modeless_ && platziert_) {
        Merken();
    }
    if (modeless_) {
        hide();
        deleteLater();
    } else {
        done(result);
    }
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (!closed_ && qobject_cast<QLineEdit*>(watched) != nullptr) {
                // The dialog may take Enter in a field before the default
                // button does.
                const auto* key = static_cast<QKeyEvent*>(event);
                if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                    (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                    for (auto& [id, widget] : controls_) {
                        if (widget == watched) {
                            bool erledigt = false;
                            const int control = id;
                            Guard([&] { erledigt = logic_.EnterPressed(control); });
                            if (erledigt) {
                                return true;
                            }
                            break;
                        }
                    }
                }
            }
            break;
        case QEvent::FocusIn: {
            const auto* fokus = static_cast<QFocusEvent*>(event);
            if (auto* view = qobject_cast<QAbstractItemView*>(watched)) {
                // A list view given the focus makes its first row current on
                // its own; that is nobody's choice and would load the row
                // over what the user typed. Nothing is current until the
                // user picks a row, and then the first arrow key picks the
                // first row.
                if (auto* auswahl = dynamic_cast<GuardedSelectionModel*>(view->selectionModel())) {
                    auswahl->SetFocusing(true);
                    const bool erledigt = static_cast<QObject*>(view)->event(event);
                    auswahl->SetFocusing(false);
                    return erledigt;
                }
            } else if (fokus->reason() == Qt::MouseFocusReason) {
                // Clicked into, a field offers its whole content to be typed
                // over, as it does when tabbed into; once the button is up,
                // unless the user has chosen a part by dragging.
                if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
                    ganzWaehlen_ = edit;
                } else if (auto* combo = qobject_cast<QComboBox*>(watched)) {
                    ganzWaehlen_ = combo->lineEdit();
                }
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            if (ganzWaehlen_ != nullptr && watched == ganzWaehlen_ &&
                !ganzWaehlen_->hasSelectedText()) {
                ganzWaehlen_->selectAll();
            }
            ganzWaehlen_ = nullptr;
            break;
        case QEvent::FocusOut:
            // Edit fields only; combo boxes and lists are watched for other
            // reasons.
            if (!closed_ && (qobject_cast<QLineEdit*>(watched) != nullptr ||
                             qobject_cast<QPlainTextEdit*>(watched) != nullptr ||
                             qobject_cast<QTextEdit*>(watched) != nullptr)) {
                for (auto& [id, widget] : controls_) {
                    if (widget == watched) {
                        int control = id;
                        Guard([this, control] { logic_.FocusLost(control); });
                        break;
                    }
                }
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void QtWindow::setVisible(bool visible) {
    if (visible && !modeless_ && !platziert_) {
        platziert_ = true;
        Platzieren();
    }
    QDialog::setVisible(visible);
}

void QtWindow::Platzieren() {
    // Where the user left the dialog last time, at the size he gave it.
    const QByteArray geometrie = PersonalSettings::Geometry(logic_.ResourceId());
    if (!geometrie.isEmpty() && restoreGeometry(geometrie)) {
        return;
    }
    // The first time: the size the layout gives (or its own), widened so far
    // that every column of a list view is seen without scrolling, as far as
    // the screen goes.
    if (!testAttribute(Qt::WA_Resized)) {
        adjustSize();
    }
    if (layout() != nullptr) {
        layout()->activate();
    }
    int mehr = 0;
    for (auto& [id, model] : models_) {
        auto* tree = qobject_cast<QTreeView*>(View(id));
        if (tree == nullptr || tree->isHidden()) {
            continue;
        }
        const int noetig = tree->header()->length() + 2 * tree->frameWidth() +
                           tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
        mehr = std::max(mehr, noetig - tree->width());
    }
    if (mehr > 0) {
        int breite = width() + mehr;
        if (const QScreen* bildschirm = screen()) {
            breite = std::min(breite, bildschirm->availableGeometry().width());
        }
        resize(std::max(breite, width()), height());
    }
}

void QtWindow::Merken() {
    const int dialog = logic_.ResourceId();
    PersonalSettings::SetGeometry(dialog, saveGeometry());
    for (const auto& [id, spalten] : breiten_) {
        const ListViewModel& model = Model(id);
        for (const auto& [spalte, breite] : spalten) {
            if (spalte < model.columnCount()) {
                PersonalSettings::SetColumnWidth(
                    dialog, id, spalte,
                    model.headerData(spalte, Qt::Horizontal, Qt::DisplayRole).toString(), breite);
            }
        }
    }
}

void QtWindow::Verworfen(int id, const QString& zeichen) {
    for (char32_t code : zeichen.toUcs4()) {
        const QString z = QString::fromUcs4(&code, 1);
        if (!verworfen_.contains(z)) {
            verworfen_ += z;
        }
    }
    if (meldungGeplant_) {
        return;
    }
    // Told once the typing or pasting is done, and the field keeps the
    // focus for the user to go on.
    meldungGeplant_ = true;
    QTimer::singleShot(0, this, [this, id] {
        meldungGeplant_ = false;
        const QString alle = std::exchange(verworfen_, QString());
        if (closed_ || alle.isEmpty()) {
            return;
        }
        services_.Meldung(
            QStringLiteral("Diese Zeichen kann Rebkontor nicht speichern; sie wurden nicht "
                           "\u00fcbernommen: %1.\n\nRebkontor speichert Texte im Zeichensatz "
                           "Windows-1252 (westeurop\u00e4ische Sprachen).")
                .arg(EingabePruefer::Benennen(alle)),
            windowTitle(), this);
        if (!closed_) {
            if (QWidget* feld = controls_.count(id) != 0 ? controls_[id] : nullptr) {
                feld->setFocus(Qt::OtherFocusReason);
            }
        }
    });
}

void QtWindow::reject() {
    if (modeless_) {
        return;  // Escape does not discard a modeless window
    }
    Guard([this] { logic_.Command(ControlId::kCancel); });
}

void QtWindow::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (isVisible()) {
        // The frame's position, which is what Move takes, so that a window
        // put back where it was reported stays there.
        Guard([this] { logic_.Moved(pos().x(), pos().y()); });
    }
}

void QtWindow::timerEvent(QTimerEvent* event) {
    for (auto& [logicId, qtId] : timers_) {
        if (qtId == event->timerId()) {
            int id = logicId;
            Guard([this, id] { logic_.Timer(id); });
            return;
        }
    }
    QDialog::timerEvent(event);
}
