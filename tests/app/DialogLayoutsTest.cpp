// Every dialog layout of the program, read by the in-memory window of the
// dialog tests and built by the toolkit, must agree: the same controls with
// the same kinds, limits and initial states, and the same radio groups. A
// layout added later is found here without being named.

#include "app/DialogLayouts.h"

#include <gtest/gtest.h>

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <map>
#include <string>

#include "storage/CodePage.h"
#include "windowing/UiLayout.h"

namespace {

using Kind = UiLayout::Kind;

// The kind a control has for the real window, told apart as it tells them.
Kind KindOf(QWidget* w) {
    if (qobject_cast<QLineEdit*>(w))
        return Kind::Edit;
    if (qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w))
        return Kind::MultiLineEdit;
    if (qobject_cast<QLabel*>(w))
        return Kind::Static;
    if (qobject_cast<QCheckBox*>(w))
        return Kind::CheckBox;
    if (qobject_cast<QRadioButton*>(w))
        return Kind::RadioButton;
    if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w))
        return Kind::Button;
    if (qobject_cast<QComboBox*>(w))
        return Kind::ComboBox;
    if (qobject_cast<QListWidget*>(w))
        return Kind::ListBox;
    if (qobject_cast<QTreeView*>(w) || qobject_cast<QTableView*>(w))
        return Kind::ListView;
    if (qobject_cast<QGroupBox*>(w))
        return Kind::GroupBox;
    if (qobject_cast<QTabWidget*>(w))
        return Kind::TabWidget;
    if (qobject_cast<QChartView*>(w))
        return Kind::ChartView;
    return Kind::Other;
}

TEST(DialogLayoutsTest, EveryLayoutReadsAlikeForTheTestWindowAndTheRealOne) {
    static const QRegularExpression name("^c([0-9]{1,9})$");
    int layouts = 0;
    for (const auto& datei : std::filesystem::directory_iterator(REBKONTOR_LAYOUTS)) {
        const std::string stamm = datei.path().stem().string();
        if (datei.path().extension() != ".ui" || stamm.rfind("dialog", 0) != 0) {
            continue;
        }
        ++layouts;
        SCOPED_TRACE(datei.path().filename().string());
        const int resource = std::stoi(stamm.substr(6));
        const UiLayout fake = UiLayout::Load(datei.path().string(), CodePage::Utf8ToCp1252);
        QDialog echt;
        ASSERT_TRUE(DialogLayouts::Build(resource, &echt));

        std::map<int, QWidget*> controls;
        const auto widgets = echt.findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            auto match = name.match(w->objectName());
            if (match.hasMatch()) {
                controls[match.captured(1).toInt()] = w;
            }
        }
        ASSERT_EQ(controls.size(), fake.controls.size());
        std::map<int, QWidget*> gruppeZuParent;  // the fake's group -> the real parent
        for (const auto& [id, c] : fake.controls) {
            SCOPED_TRACE("c" + std::to_string(id));
            ASSERT_EQ(controls.count(id), 1u);
            QWidget* w = controls[id];
            EXPECT_EQ(KindOf(w), c.kind);
            EXPECT_EQ(w->isEnabled(), c.enabled);
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                EXPECT_EQ(edit->maxLength(), c.maxLength < 0 ? 32767 : c.maxLength);
                EXPECT_EQ(edit->property("digitsOnly").toBool(), c.digitsOnly);
            }
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                EXPECT_EQ(combo->isEditable(), c.editable);
            }
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_EQ(button->isChecked(), c.checked);
            }
            if (c.kind == Kind::ListBox || c.kind == Kind::ComboBox) {
                EXPECT_EQ(w->property("sorted").toBool(), c.sorted);
            }
            if (c.kind == Kind::RadioButton) {
                // Radio buttons in one group for the one are in one for the
                // other, and only those.
                auto eintrag = gruppeZuParent.emplace(c.parent, w->parentWidget()).first;
                EXPECT_EQ(eintrag->second, w->parentWidget());
                for (const auto& [andere, parent] : gruppeZuParent) {
                    if (andere != c.parent) {
                        EXPECT_NE(parent, w->parentWidget());
                    }
                }
            }
        }
    }
    EXPECT_GE(layouts, 5);
}

}  // namespace
