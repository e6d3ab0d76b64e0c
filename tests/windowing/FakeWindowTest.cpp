#include "windowing/FakeWindow.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "storage/CodePage.h"
#include "windowing/Dialog.h"
#include "windowing/FakeServices.h"
#include "windowing/UiLayout.h"

namespace {

const char* kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Dialog42</class>
 <widget class="QDialog" name="Dialog42">
  <property name="windowTitle"><string>Prüfung &amp; Test</string></property>
  <layout class="QVBoxLayout">
   <item><widget class="QLabel" name="label"><property name="text"><string>&amp;Name:</string></property>
     <property name="buddy"><cstring>c101</cstring></property></widget></item>
   <item><widget class="QLineEdit" name="c101"><property name="maxLength"><number>5</number></property></widget></item>
   <item><widget class="QComboBox" name="c102"><property name="editable"><bool>true</bool></property></widget></item>
   <item><widget class="QListWidget" name="c103"><property name="sorted" stdset="0"><bool>true</bool></property></widget></item>
   <item><widget class="QCheckBox" name="c104"><property name="text"><string>Preise in &amp;Euro</string></property>
     <property name="checked"><bool>true</bool></property></widget></item>
   <item><widget class="QTreeView" name="c105"/></item>
   <item><widget class="QLabel" name="c106"><property name="text"><string>Version</string></property></widget></item>
   <item><widget class="QPushButton" name="c1"><property name="text"><string>OK</string></property></widget></item>
  </layout>
 </widget>
</ui>
)";

// Records every event in order.
class Recorder : public Dialog {
  public:
    Recorder() : Dialog(42) {}
    void SetupWindow() override { log.push_back("setup"); }
    void Command(int id) override {
        log.push_back("command " + std::to_string(id));
        Dialog::Command(id);
    }
    void TextChanged(int id) override { log.push_back("text " + std::to_string(id)); }
    void SelectionChanged(int id) override { log.push_back("select " + std::to_string(id)); }
    void Timer(int id) override { log.push_back("timer " + std::to_string(id)); }
    bool MayClose() override { return mayClose; }
    void Moved(int x, int y) override {
        log.push_back("moved " + std::to_string(x) + "," + std::to_string(y));
    }
    std::string CellText(int, int row, int column) override {
        return std::to_string(row) + ":" + std::to_string(column);
    }
    std::optional<Rgb> RowColour(int, int row) override {
        return row % 2 == 0 ? std::optional<Rgb>(Rgb{192, 255, 192}) : std::nullopt;
    }
    bool MayChangeSelection(int, int row) override { return row != 1; }

    std::vector<std::string> log;
    bool mayClose = true;
};

TEST(UiLayoutTest, ReadsIdentifiedControlsWithKindsAndTexts) {
    UiLayout layout = UiLayout::Parse(kLayout, CodePage::Utf8ToCp1252);
    EXPECT_EQ(layout.caption, "Prüfung & Test"_w);
    ASSERT_EQ(layout.controls.size(), 7u);
    EXPECT_EQ(layout.controls[101].kind, UiLayout::Kind::Edit);
    EXPECT_EQ(layout.controls[101].maxLength, 5);
    EXPECT_TRUE(layout.controls[102].editable);
    EXPECT_TRUE(layout.controls[103].sorted);
    EXPECT_EQ(layout.controls[104].text, "Preise in &Euro");
    EXPECT_TRUE(layout.controls[104].checked);
    EXPECT_EQ(layout.controls[105].kind, UiLayout::Kind::ListView);
    EXPECT_EQ(layout.controls[106].text, "Version");
    EXPECT_EQ(layout.controls[1].kind, UiLayout::Kind::Button);
}

class FakeWindowTest : public ::testing::Test {
  protected:
    Recorder dialog_;
    FakeWindow window_{dialog_, UiLayout::Parse(kLayout, CodePage::Utf8ToCp1252)};
    void SetUp() override { dialog_.Attach(&window_, &app_); }
    FakeServices app_;
};

TEST_F(FakeWindowTest, TypingAndSettingTextReportChangesLikeTheRealControls) {
    window_.Type(101, "Riesling");  // cut at the limit
    EXPECT_EQ(window_.Text(101), "Riesl");
    window_.SetText(101, "Riesl");  // unchanged: no event
    window_.SetText(101, "");
    window_.SetText(106, "Rebkontor Version 1.1");  // static text: no event
    window_.Type(102, "AB");
    EXPECT_EQ(dialog_.log, (std::vector<std::string>{"text 101", "text 101", "text 102"}));
    window_.Enable(101, false);
    EXPECT_THROW(window_.Type(101, "x"), std::logic_error);
    EXPECT_THROW(window_.Type(104, "x"), std::logic_error);
    EXPECT_THROW(window_.Text(999), std::logic_error);  // not in the layout
}

TEST_F(FakeWindowTest, ClicksChoicesTimersAndMoves) {
    window_.Click(104);
    EXPECT_FALSE(window_.IsChecked(104));
    window_.AddItem(103, "Mosel");
    window_.AddItem(103, "Baden");
    EXPECT_EQ(window_.AddItem(103, "Franken"), 1);
    EXPECT_EQ(window_.Items(103), (std::vector<std::string>{"Baden", "Franken", "Mosel"}));
    window_.Select(103, 2);  // from the program: no event
    window_.Choose(103, "Baden");
    EXPECT_EQ(window_.Selected(103), 0);
    window_.AddItem(102, "LKW");
    window_.Choose(102, 0);
    EXPECT_EQ(window_.Text(102), "LKW");
    EXPECT_THROW(window_.FireTimer(1), std::logic_error);
    window_.StartTimer(1, 200);
    window_.FireTimer(1);
    window_.MoveTo(30, 40);
    EXPECT_EQ(dialog_.log, (std::vector<std::string>{"command 104", "select 103", "select 102",
                                                     "timer 1", "moved 30,40"}));
}

TEST_F(FakeWindowTest, ListViewAsksTheDialogForCellsColoursAndSelection) {
    window_.AddColumn(105, "Nr.", 45, Align::Right);
    window_.AddColumn(105, "Name", 210);
    window_.AddRow(105, "12");
    window_.AddRow(105, "17");
    window_.AddRow(105, "20");
    EXPECT_EQ(window_.Cell(105, 1, 0), "17");
    EXPECT_EQ(window_.Cell(105, 1, 1), "1:1");
    EXPECT_EQ(window_.RowColour(105, 0), (Rgb{192, 255, 192}));
    EXPECT_FALSE(window_.RowColour(105, 1).has_value());
    EXPECT_TRUE(window_.PickRow(105, 0));
    EXPECT_FALSE(window_.PickRow(105, 1));  // refused: the selection stays
    EXPECT_TRUE(window_.PickRow(105, 2, true));
    EXPECT_EQ(window_.SelectedRows(105), (std::vector<int>{0, 2}));
    window_.ClearRows(105);
    EXPECT_TRUE(window_.SelectedRows(105).empty());
    EXPECT_EQ(window_.Columns(105)[0].align, Align::Right);
    EXPECT_THROW(window_.SetColumnWidth(105, 5, 0), std::logic_error);
}

TEST_F(FakeWindowTest, ClosingAsksTheDialogFirst) {
    dialog_.mayClose = false;
    window_.CloseBox();
    EXPECT_FALSE(window_.IsClosed());
    dialog_.mayClose = true;
    window_.PressEnter();
    EXPECT_TRUE(window_.IsClosed());
    EXPECT_EQ(window_.Result(), 1);
    EXPECT_THROW(window_.Click(1), std::logic_error);
}

TEST(FakeServicesTest, QuestionsAreAnsweredFromTheScriptOnly) {
    FakeServices app;
    EXPECT_EQ(app.MessageBox("Gespeichert", "Hinweis", MessageButtons::Ok, MessageIcon::None),
              Answer::Ok);
    EXPECT_THROW(app.MessageBox("Löschen?", "Frage", MessageButtons::YesNo, MessageIcon::None),
                 std::logic_error);
    app.Answer(Answer::Cancel);
    EXPECT_THROW(app.MessageBox("Löschen?", "Frage", MessageButtons::YesNo, MessageIcon::None),
                 std::logic_error);
    app.Answer(Answer::No);
    EXPECT_EQ(app.MessageBox("Löschen?", "Frage", MessageButtons::YesNoCancel, MessageIcon::None),
              Answer::No);
    EXPECT_EQ(app.Messages().size(), 4u);
    EXPECT_THROW(app.SaveFile({}), std::logic_error);
}

TEST(FakeServicesTest, ChildDialogsRunTheirScriptAndModelessWindowsLiveUntilClosed) {
    FakeServices app;
    Recorder child;
    app.OnExecute([](FakeWindow& w) {
        w.Type(1, "x");
        w.PressEnter();
    });
    EXPECT_EQ(app.Execute(child), 1);
    Recorder other;
    EXPECT_EQ(app.Execute(other), 2);  // unscripted: as if Escape was pressed
    EXPECT_EQ(app.Executed(), (std::vector<int>{42, 42}));
    EXPECT_FALSE(child.HasWindow());

    app.Open(std::make_unique<Recorder>());
    app.Open(std::make_unique<Recorder>());
    ASSERT_EQ(app.OpenWindows().size(), 2u);
    app.OpenWindows()[0]->CloseBox();
    EXPECT_EQ(app.OpenWindows().size(), 1u);
}

}  // namespace
