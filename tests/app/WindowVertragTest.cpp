// One suite for the window interface, run against the in-memory window of
// the dialog tests and against the real window: what the dialog tests prove
// with the one must hold for the other. Both are built from the same layout
// file, tests/app/data/dialog9002.ui.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/DialogLayouts.h"
#include "app/QtServices.h"
#include "app/QtWindow.h"
#include "storage/CodePage.h"
#include "ui_dialog9002.h"
#include "windowing/Dialog.h"
#include "windowing/FakeServices.h"
#include "windowing/FakeWindow.h"
#include "windowing/UiLayout.h"

namespace {

constexpr int kLayout = 9002;
constexpr int kName = 101;
constexpr int kOrt = 102;       // combo box with an edit field
constexpr int kListe = 103;     // drop-down list
constexpr int kGruppen = 104;   // sorted list box
constexpr int kEuro = 105;      // check box
constexpr int kNotiz = 106;     // multi-line edit
constexpr int kZeitraum = 110;  // group box around 111 and 112
constexpr int kNummer = 111;
constexpr int kBetrag = 112;
constexpr int kText = 121;  // radio buttons in the dialog itself
constexpr int kTabelle = 122;
constexpr int kRechnungen = 130;  // list view
constexpr int kVersion = 140;     // static text

class Protokoll : public Dialog {
  public:
    Protokoll() : Dialog(kLayout) {}
    void Command(int id) override { log.push_back("command " + std::to_string(id)); }
    void TextChanged(int id) override { log.push_back("text " + std::to_string(id)); }
    void SelectionChanged(int id) override { log.push_back("select " + std::to_string(id)); }
    std::vector<std::string> log;
};

// The in-memory window, built as the dialog tests build theirs.
struct ImSpeicher {
    explicit ImSpeicher(Protokoll& logik)
        : window(logik, UiLayout::Load(REBKONTOR_TEST_LAYOUT, CodePage::Utf8ToCp1252)) {
        logik.Attach(&window, &services);
    }
    Window& Fenster() { return window; }
    void Klick(int id) { window.Click(id); }
    void Einfuegen(int id, const std::string& text) { window.Type(id, text); }

    FakeServices services;
    FakeWindow window;
};

// The real window on the offscreen platform.
struct Echt {
    explicit Echt(Protokoll& logik) {
        DialogLayouts::Register(kLayout, [](QDialog* d) { Ui::Dialog9002().setupUi(d); });
        window = std::make_unique<QtWindow>(logik, services, nullptr, false);
        window->show();
    }
    Window& Fenster() { return *window; }
    void Klick(int id) {
        window->findChild<QAbstractButton*>(QStringLiteral("c%1").arg(id))->click();
    }
    // Pastes into an empty field.
    void Einfuegen(int id, const std::string& text) {
        QWidget* feld = window->findChild<QWidget*>(QStringLiteral("c%1").arg(id));
        if (auto* combo = qobject_cast<QComboBox*>(feld)) {
            feld = combo->lineEdit();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(feld)) {
            edit->clear();
            edit->insert(QString::fromStdString(CodePage::Cp1252ToUtf8(text)));
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(feld)) {
            plain->clear();
            plain->insertPlainText(QString::fromStdString(CodePage::Cp1252ToUtf8(text)));
        }
    }

    QtServices services;
    std::unique_ptr<QtWindow> window;
};

template <typename Umsetzung>
class WindowVertragTest : public ::testing::Test {
  protected:
    Protokoll logik_;
    Umsetzung umsetzung_{logik_};
    Window& fenster_ = umsetzung_.Fenster();
};

using Umsetzungen = ::testing::Types<ImSpeicher, Echt>;
TYPED_TEST_SUITE(WindowVertragTest, Umsetzungen);

TYPED_TEST(WindowVertragTest, TextOfEachKindAndWhichChangesAreReported) {
    Window& w = this->fenster_;
    w.SetText(kName, "Müller"_w);
    w.SetText(kName, "Müller"_w);  // unchanged: no second report
    w.SetText(kOrt, "Alzey");
    w.SetText(kNotiz, "Zeile");
    w.SetText(kVersion, "Version 2");
    w.SetText(kZeitraum, "Zeitraum 2");
    w.SetText(kEuro, "&Euro-Preise");
    EXPECT_EQ(w.Text(kName), "Müller"_w);
    EXPECT_EQ(w.Text(kOrt), "Alzey");
    EXPECT_EQ(w.Text(kNotiz), "Zeile");
    EXPECT_EQ(w.Text(kVersion), "Version 2");
    EXPECT_EQ(w.Text(kZeitraum), "Zeitraum 2");
    EXPECT_EQ(w.Text(kEuro), "&Euro-Preise");
    EXPECT_EQ(this->logik_.log, (std::vector<std::string>{"text 101", "text 102", "text 106"}));

    // The layout's limit holds; a lower one cuts the text at once.
    w.SetText(kName, "Spätburgunder"_w);
    EXPECT_EQ(w.Text(kName), "Spätburg"_w);
    w.SetLimit(kName, 3);
    EXPECT_EQ(w.Text(kName), "Spä"_w);

    EXPECT_THROW(w.Text(kRechnungen), std::logic_error);
    EXPECT_THROW(w.SetText(kRechnungen, "x"), std::logic_error);
    EXPECT_THROW(w.Text(999), std::logic_error);
    EXPECT_THROW(w.Enable(999, false), std::logic_error);
}

TYPED_TEST(WindowVertragTest, DropDownListsAndListBoxesChooseByText) {
    Window& w = this->fenster_;
    for (const char* eintrag : {"Privat", "Handel", "Gastro"}) {
        w.AddItem(kListe, eintrag);
    }
    // Adding never chooses an entry by itself.
    EXPECT_EQ(w.Selected(kListe), -1);
    EXPECT_EQ(w.Text(kListe), "");
    w.SetText(kListe, "Handel");
    EXPECT_EQ(w.Selected(kListe), 1);
    EXPECT_EQ(w.Text(kListe), "Handel");
    w.SetText(kListe, "Winzer");
    EXPECT_EQ(w.Selected(kListe), -1);
    w.Select(kListe, 2);
    EXPECT_EQ(w.Text(kListe), "Gastro");
    w.ClearItems(kListe);
    EXPECT_EQ(w.Selected(kListe), -1);
    EXPECT_EQ(w.ItemCount(kListe), 0);

    EXPECT_EQ(w.AddItem(kGruppen, "Mosel"), 0);
    EXPECT_EQ(w.AddItem(kGruppen, "ahr"), 0);
    EXPECT_EQ(w.AddItem(kGruppen, "Baden"), 1);
    EXPECT_EQ(w.ItemText(kGruppen, 2), "Mosel");
    EXPECT_EQ(w.ItemText(kGruppen, 3), "");
    w.SetText(kGruppen, "Baden");
    EXPECT_EQ(w.Selected(kGruppen), 1);
    EXPECT_EQ(w.Text(kGruppen), "Baden");
    w.AddItem(kGruppen, "Ahr2");  // the choice moves with its entry
    EXPECT_EQ(w.Text(kGruppen), "Baden");
    EXPECT_TRUE(this->logik_.log.empty());
}

TYPED_TEST(WindowVertragTest, ComboBoxWithEditField) {
    Window& w = this->fenster_;
    w.AddItem(kOrt, "Alzey");
    w.AddItem(kOrt, "Worms");
    EXPECT_EQ(w.Selected(kOrt), -1);
    EXPECT_EQ(w.Text(kOrt), "");
    w.Select(kOrt, 1);
    EXPECT_EQ(w.Text(kOrt), "Worms");
    EXPECT_EQ(w.Selected(kOrt), 1);
    w.SetText(kOrt, "Wormsx");
    EXPECT_EQ(w.Selected(kOrt), -1);  // the field's text is no entry
    w.ClearItems(kOrt);
    EXPECT_EQ(w.Text(kOrt), "Wormsx");
    w.AddItem(kOrt, "Mainz");
    w.Select(kOrt, 0);
    w.Select(kOrt, -1);
    EXPECT_EQ(w.Text(kOrt), "");
}

TYPED_TEST(WindowVertragTest, RadioButtonsAreGroupedByTheirParent) {
    Window& w = this->fenster_;
    EXPECT_TRUE(w.IsChecked(kNummer));  // from the layout
    w.SetChecked(kText, true);
    EXPECT_TRUE(w.IsChecked(kNummer));  // another group
    w.SetChecked(kBetrag, true);
    EXPECT_FALSE(w.IsChecked(kNummer));
    EXPECT_TRUE(w.IsChecked(kText));
    this->umsetzung_.Klick(kTabelle);
    this->umsetzung_.Klick(kTabelle);  // checked already: a click all the same
    EXPECT_FALSE(w.IsChecked(kText));
    EXPECT_TRUE(w.IsChecked(kBetrag));
    w.SetChecked(kBetrag, false);  // none of the group is checked now
    EXPECT_FALSE(w.IsChecked(kBetrag));
    EXPECT_FALSE(w.IsChecked(kNummer));

    this->umsetzung_.Klick(kEuro);
    EXPECT_TRUE(w.IsChecked(kEuro));
    w.SetChecked(kEuro, false);
    EXPECT_FALSE(w.IsChecked(kEuro));
    w.SetChecked(ControlId::kOk, true);  // a push button has no tick
    EXPECT_FALSE(w.IsChecked(ControlId::kOk));
    EXPECT_EQ(this->logik_.log,
              (std::vector<std::string>{"command 122", "command 122", "command 105"}));
}

TYPED_TEST(WindowVertragTest, EnableShowAndListViewRows) {
    Window& w = this->fenster_;
    w.Enable(kName, false);
    w.Show(kOrt, false);
    EXPECT_FALSE(w.IsEnabled(kName));
    EXPECT_FALSE(w.IsShown(kOrt));
    EXPECT_TRUE(w.IsShown(kName));

    w.AddColumn(kRechnungen, "Nr.", 45, Align::Right);
    w.AddColumn(kRechnungen, "Datum", 80);
    w.AddRow(kRechnungen, "17");
    EXPECT_EQ(w.RowCount(kRechnungen), 1);
    w.SetRows(kRechnungen, {"1", "2", "3"});
    EXPECT_EQ(w.RowCount(kRechnungen), 3);
    EXPECT_EQ(w.RowText(kRechnungen, 2), "3");
    EXPECT_TRUE(w.SelectedRows(kRechnungen).empty());
    EXPECT_THROW(w.RowText(kRechnungen, 3), std::logic_error);
    EXPECT_THROW(w.SetColumnWidth(kRechnungen, 2, 10), std::logic_error);
    w.ClearRows(kRechnungen);
    EXPECT_EQ(w.RowCount(kRechnungen), 0);
    w.SetCaption("Rechnungsliste");
    EXPECT_EQ(w.Caption(), "Rechnungsliste");
}

TYPED_TEST(WindowVertragTest, PastedLineBreaksAndTabsBecomeBlanksInSingleLineFields) {
    this->umsetzung_.Einfuegen(kName, "a\r\nb\tc");
    this->umsetzung_.Einfuegen(kOrt, "Al\nzey");
    this->umsetzung_.Einfuegen(kNotiz, "Zeile 1\nZeile\t2");
    EXPECT_EQ(this->fenster_.Text(kName), "a b c");
    EXPECT_EQ(this->fenster_.Text(kOrt), "Al zey");
    EXPECT_EQ(this->fenster_.Text(kNotiz), "Zeile 1\nZeile\t2");
}

}  // namespace
