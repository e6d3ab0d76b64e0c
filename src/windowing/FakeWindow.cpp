#include "windowing/FakeWindow.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "windowing/Dialog.h"
#include "windowing/ItemOrder.h"

namespace {

using Kind = UiLayout::Kind;

bool IsEditable(Kind kind, bool editableCombo) {
    return kind == Kind::Edit || kind == Kind::MultiLineEdit ||
           (kind == Kind::ComboBox && editableCombo);
}

std::string Name(int id) {
    return "control " + std::to_string(id);
}

}  // namespace

FakeWindow::FakeWindow(Dialog& dialog, std::optional<UiLayout> layout)
    : dialog_(dialog), strict_(layout.has_value()) {
    if (layout) {
        caption_ = layout->caption;
        for (const auto& [id, c] : layout->controls) {
            Control& control = controls_[id];
            control.kind = c.kind;
            control.text = c.text;
            control.checked = c.checked;
            control.enabled = c.enabled;
            control.editable = c.editable;
            control.sorted = c.sorted;
            control.digitsOnly = c.digitsOnly;
            control.isDefault = c.isDefault;
            control.limit = c.maxLength;
            control.parent = c.parent;
            control.items = c.items;
            if (c.kind == Kind::TabWidget && !c.items.empty()) {
                control.selected = 0;
            }
            order_.push_back(id);
        }
    }
}

FakeWindow::~FakeWindow() = default;

FakeWindow::Control& FakeWindow::At(int id) {
    auto it = controls_.find(id);
    if (it != controls_.end()) {
        return it->second;
    }
    if (strict_) {
        throw std::logic_error("dialog " + std::to_string(dialog_.ResourceId()) + " has no " +
                               Name(id));
    }
    order_.push_back(id);
    return controls_[id];
}

const FakeWindow::Control& FakeWindow::At(int id) const {
    return const_cast<FakeWindow*>(this)->At(id);
}

void FakeWindow::CheckRadio(int id) {
    const int parent = At(id).parent;
    for (auto& [other, control] : controls_) {
        if (control.kind == Kind::RadioButton && control.parent == parent) {
            control.checked = other == id;
        }
    }
}

void FakeWindow::RequireOpen() const {
    if (closed_) {
        throw std::logic_error("the window of dialog " + std::to_string(dialog_.ResourceId()) +
                               " is closed");
    }
}

// --- the user's side

void FakeWindow::Type(int id, const std::string& text) {
    RequireOpen();
    Control& c = At(id);
    if (!IsEditable(c.kind, c.editable)) {
        throw std::logic_error("cannot type into " + Name(id));
    }
    if (!c.enabled || !c.shown) {
        throw std::logic_error("cannot type into disabled or hidden " + Name(id));
    }
    // A single-line field turns line breaks and tabs into blanks and leaves
    // other control characters out, as the real one does with what is pasted.
    const bool eineZeile = c.kind != Kind::MultiLineEdit;
    std::string typed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (eineZeile) {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                continue;
            }
            if (ch == '\r' || ch == '\n' || ch == '\t' || ch == '\v' || ch == '\f') {
                ch = ' ';
            } else if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) {
                continue;
            }
        }
        if (!c.digitsOnly || (ch >= '0' && ch <= '9')) {
            typed += ch;
        }
    }
    if (c.limit >= 0 && typed.size() > static_cast<std::size_t>(c.limit)) {
        typed.resize(static_cast<std::size_t>(c.limit));
    }
    focus_ = id;
    if (typed != c.text) {
        c.text = typed;
        dialog_.TextChanged(id);
    }
}

void FakeWindow::Click(int id) {
    RequireOpen();
    Control& c = At(id);
    if (!c.enabled || !c.shown) {
        throw std::logic_error("cannot click disabled or hidden " + Name(id));
    }
    if (c.kind == Kind::CheckBox) {
        c.checked = !c.checked;
    } else if (c.kind == Kind::RadioButton) {
        CheckRadio(id);
    } else if (c.kind != Kind::Button && strict_) {
        throw std::logic_error("cannot click " + Name(id));
    }
    dialog_.Command(id);
}

void FakeWindow::Choose(int id, int index) {
    RequireOpen();
    Control& c = At(id);
    if (!c.enabled || !c.shown) {
        throw std::logic_error("cannot choose in disabled or hidden " + Name(id));
    }
    if (index < 0 || static_cast<std::size_t>(index) >= c.items.size()) {
        throw std::logic_error(Name(id) + " has no entry " + std::to_string(index));
    }
    c.selected = index;
    if (c.editable) {
        c.text = c.items[static_cast<std::size_t>(index)];
    }
    dialog_.SelectionChanged(id);
}

void FakeWindow::Choose(int id, const std::string& text) {
    const Control& c = At(id);
    auto it = std::find(c.items.begin(), c.items.end(), text);
    if (it == c.items.end()) {
        throw std::logic_error(Name(id) + " has no entry " + text);
    }
    Choose(id, static_cast<int>(it - c.items.begin()));
}

bool FakeWindow::PickRow(int id, int row, bool add) {
    RequireOpen();
    Control& c = At(id);
    if (row < 0 || static_cast<std::size_t>(row) >= c.rows.size()) {
        throw std::logic_error(Name(id) + " has no row " + std::to_string(row));
    }
    if (!dialog_.MayChangeSelection(id, row)) {
        return false;
    }
    if (!add) {
        c.selectedRows.clear();
    }
    c.selectedRows.insert(row);
    dialog_.SelectionChanged(id);
    return true;
}

void FakeWindow::FireTimer(int timerId) {
    RequireOpen();
    if (!TimerRunning(timerId)) {
        throw std::logic_error("timer " + std::to_string(timerId) + " is not running");
    }
    dialog_.Timer(timerId);
}

void FakeWindow::PressEnter(int id) {
    RequireOpen();
    const Control& c = At(id);
    if (c.kind != Kind::Edit) {
        throw std::logic_error("cannot press Enter in " + Name(id));
    }
    focus_ = id;
    if (dialog_.EnterPressed(id)) {
        return;
    }
    for (const auto& [button, control] : controls_) {
        if (control.isDefault && control.kind == Kind::Button && control.shown) {
            if (control.enabled) {
                Click(button);
            }
            return;
        }
    }
}

void FakeWindow::CloseBox() {
    RequireOpen();
    dialog_.Command(ControlId::kCancel);
}

void FakeWindow::MoveTo(int x, int y) {
    RequireOpen();
    Move(x, y);
}

void FakeWindow::Blur(int id) {
    RequireOpen();
    (void)At(id);
    if (focus_ == id) {
        focus_ = 0;
    }
    dialog_.FocusLost(id);
}

std::string FakeWindow::Cell(int id, int row, int column) {
    if (column == 0) {
        return RowText(id, row);
    }
    return dialog_.CellText(id, row, column);
}

std::optional<Rgb> FakeWindow::RowColour(int id, int row) {
    (void)RowText(id, row);
    return dialog_.RowColour(id, row);
}

// --- inspection

int FakeWindow::Limit(int id) const {
    return At(id).limit;
}

int FakeWindow::TimerInterval(int timerId) const {
    auto it = timers_.find(timerId);
    return it == timers_.end() ? -1 : it->second;
}

const std::vector<FakeWindow::Column>& FakeWindow::Columns(int id) const {
    return At(id).columns;
}

std::vector<std::string> FakeWindow::Items(int id) const {
    return At(id).items;
}

// --- Window

std::string FakeWindow::Text(int id) const {
    const Control& c = At(id);
    if (c.kind == Kind::ListView || c.kind == Kind::ChartView) {
        throw std::logic_error(Name(id) + " is a list or chart view and has no text");
    }
    if ((c.kind == Kind::ComboBox && !c.editable) || c.kind == Kind::ListBox ||
        c.kind == Kind::TabWidget) {
        return c.selected >= 0 ? c.items[static_cast<std::size_t>(c.selected)] : std::string();
    }
    return c.text;
}

void FakeWindow::SetText(int id, const std::string& text) {
    Control& c = At(id);
    if (c.kind == Kind::ListView || c.kind == Kind::ChartView) {
        throw std::logic_error(Name(id) + " is a list or chart view and has no text");
    }
    if ((c.kind == Kind::ComboBox && !c.editable) || c.kind == Kind::ListBox) {
        // Selects the entry with this text, or none.
        auto it = std::find(c.items.begin(), c.items.end(), text);
        c.selected = it == c.items.end() ? -1 : static_cast<int>(it - c.items.begin());
        return;
    }
    std::string neu = text;
    if ((c.kind == Kind::Edit || c.kind == Kind::ComboBox) && c.limit >= 0 &&
        neu.size() > static_cast<std::size_t>(c.limit)) {
        // A single-line field never holds more than its limit.
        neu.resize(static_cast<std::size_t>(c.limit));
    }
    if (c.text == neu) {
        return;
    }
    c.text = neu;
    if (IsEditable(c.kind, c.editable)) {
        dialog_.TextChanged(id);
    }
}

void FakeWindow::SetLimit(int id, int characters) {
    Control& c = At(id);
    c.limit = characters;
    if ((c.kind == Kind::Edit || c.kind == Kind::ComboBox) && characters >= 0 &&
        c.text.size() > static_cast<std::size_t>(characters)) {
        // The field keeps what fits, as the real one does.
        c.text.resize(static_cast<std::size_t>(characters));
        dialog_.TextChanged(id);
    }
}

void FakeWindow::Enable(int id, bool enabled) {
    At(id).enabled = enabled;
}

bool FakeWindow::IsEnabled(int id) const {
    return At(id).enabled;
}

void FakeWindow::Show(int id, bool visible) {
    At(id).shown = visible;
}

bool FakeWindow::IsShown(int id) const {
    return At(id).shown;
}

void FakeWindow::Focus(int id) {
    (void)At(id);
    focus_ = id;
}

void FakeWindow::FocusNext() {
    if (order_.empty()) {
        return;
    }
    auto it = std::find(order_.begin(), order_.end(), focus_);
    std::size_t start = it == order_.end() ? 0 : static_cast<std::size_t>(it - order_.begin()) + 1;
    for (std::size_t n = 0; n < order_.size(); ++n) {
        int id = order_[(start + n) % order_.size()];
        const Control& c = controls_[id];
        bool focusable =
            c.kind != Kind::Static && c.kind != Kind::GroupBox && c.kind != Kind::Other;
        if (focusable && c.enabled && c.shown) {
            focus_ = id;
            return;
        }
    }
}

void FakeWindow::SetChecked(int id, bool checked) {
    Control& c = At(id);
    if (c.kind == Kind::RadioButton && checked) {
        CheckRadio(id);
    } else if (c.kind == Kind::CheckBox || c.kind == Kind::RadioButton || !strict_) {
        c.checked = checked;
    }
}

bool FakeWindow::IsChecked(int id) const {
    return At(id).checked;
}

void FakeWindow::ClearItems(int id) {
    Control& c = At(id);
    c.items.clear();
    c.selected = -1;
}

int FakeWindow::AddItem(int id, const std::string& text) {
    Control& c = At(id);
    auto pos = c.items.end();
    if (c.sorted) {
        pos = std::upper_bound(c.items.begin(), c.items.end(), text, ItemOrder::Less);
    }
    int index = static_cast<int>(pos - c.items.begin());
    c.items.insert(pos, text);
    if (c.selected >= index) {
        ++c.selected;
    }
    return index;
}

int FakeWindow::ItemCount(int id) const {
    return static_cast<int>(At(id).items.size());
}

std::string FakeWindow::ItemText(int id, int index) const {
    const Control& c = At(id);
    if (index < 0 || static_cast<std::size_t>(index) >= c.items.size()) {
        return {};
    }
    return c.items[static_cast<std::size_t>(index)];
}

void FakeWindow::Select(int id, int index) {
    Control& c = At(id);
    c.selected = index >= 0 && static_cast<std::size_t>(index) < c.items.size() ? index : -1;
    if (c.editable) {
        c.text = c.selected >= 0 ? c.items[static_cast<std::size_t>(c.selected)] : std::string();
    }
}

int FakeWindow::Selected(int id) const {
    const Control& c = At(id);
    // An edit field whose text is no longer the chosen entry has none.
    if (c.editable && c.selected >= 0 && c.items[static_cast<std::size_t>(c.selected)] != c.text) {
        return -1;
    }
    return c.selected;
}

void FakeWindow::AddColumn(int id, const std::string& title, int width, Align align) {
    At(id).columns.push_back({title, width, align});
}

void FakeWindow::SetColumnWidth(int id, int column, int width) {
    Control& c = At(id);
    if (column < 0 || static_cast<std::size_t>(column) >= c.columns.size()) {
        throw std::logic_error(Name(id) + " has no column " + std::to_string(column));
    }
    c.columns[static_cast<std::size_t>(column)].width = width;
}

void FakeWindow::ClearRows(int id) {
    Control& c = At(id);
    c.rows.clear();
    c.selectedRows.clear();
}

int FakeWindow::AddRow(int id, const std::string& itemText) {
    Control& c = At(id);
    c.rows.push_back(itemText);
    return static_cast<int>(c.rows.size()) - 1;
}

void FakeWindow::SetRows(int id, std::vector<std::string> itemTexts) {
    Control& c = At(id);
    c.rows = std::move(itemTexts);
    c.selectedRows.clear();
}

int FakeWindow::RowCount(int id) const {
    return static_cast<int>(At(id).rows.size());
}

std::string FakeWindow::RowText(int id, int row) const {
    const Control& c = At(id);
    if (row < 0 || static_cast<std::size_t>(row) >= c.rows.size()) {
        throw std::logic_error(Name(id) + " has no row " + std::to_string(row));
    }
    return c.rows[static_cast<std::size_t>(row)];
}

std::vector<int> FakeWindow::SelectedRows(int id) const {
    const Control& c = At(id);
    return {c.selectedRows.begin(), c.selectedRows.end()};
}

void FakeWindow::RefreshRow(int id, int /*row*/) {
    (void)At(id);
}

void FakeWindow::SetChart(int id, const Diagramm& diagramm) {
    Control& c = At(id);
    if (strict_ && c.kind != Kind::ChartView) {
        throw std::logic_error(Name(id) + " is no chart view");
    }
    c.chart = diagramm;
}

const Diagramm* FakeWindow::Chart(int id) const {
    const Control& c = At(id);
    return c.chart ? &*c.chart : nullptr;
}

std::string FakeWindow::ChartBild(int id, Bildformat format, int width, int height) {
    const Control& c = At(id);
    if (!c.chart) {
        throw std::logic_error(Name(id) + " shows no chart");
    }
    const char* art = format == Bildformat::Png ? "PNG" : format == Bildformat::Pdf ? "PDF" : "SVG";
    std::string bild = std::string(art) + " " + std::to_string(width) + "x" +
                       std::to_string(height) + ": " + c.chart->titel + "\n";
    for (const std::string& kategorie : c.chart->kategorien) {
        bild += kategorie + "\n";
    }
    return bild;
}

void FakeWindow::StartTimer(int timerId, int milliseconds) {
    timers_[timerId] = milliseconds;
}

void FakeWindow::StopTimer(int timerId) {
    timers_.erase(timerId);
}

void FakeWindow::Move(int x, int y) {
    x_ = x;
    y_ = y;
    dialog_.Moved(x, y);
}

void FakeWindow::Close(int result) {
    if (closed_) {
        return;
    }
    closed_ = true;
    result_ = result;
    timers_.clear();
}
