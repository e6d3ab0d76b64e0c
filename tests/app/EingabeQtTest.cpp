// What only the real window shows of typing, pasting, clicking into fields
// and tabbing into lists.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <string>
#include <vector>

#include "QtTestBasis.h"
#include "app/DialogLayouts.h"
#include "app/QtServices.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/WeinListe.h"
#include "model/Datenbestand.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "support/TempDir.h"
#include "ui_dialog9002.h"
#include "windowing/Dialog.h"

namespace {

constexpr int kLayout = 9002;
constexpr int kName = 101;   // single-line, at most 8 characters
constexpr int kOrt = 102;    // combo box with an edit field
constexpr int kNotiz = 106;  // multi-line
constexpr int kListe = 130;  // list view

class Protokoll : public Dialog {
  public:
    Protokoll() : Dialog(kLayout) {}
    void TextChanged(int id) override {
        log.push_back("text " + std::to_string(id) + " " + Win().Text(id));
    }
    void SelectionChanged(int id) override { log.push_back("select " + std::to_string(id)); }
    bool MayChangeSelection(int, int row) override {
        log.push_back("may " + std::to_string(row));
        return true;
    }
    std::string CellText(int, int row, int column) override {
        return std::to_string(row) + "/" + std::to_string(column);
    }
    std::vector<std::string> log;
};

class EingabeQtTest : public ::testing::Test {
  protected:
    EingabeQtTest() {
        DialogLayouts::Register(kLayout, [](QDialog* d) { Ui::Dialog9002().setupUi(d); });
        window_ = std::make_unique<QtWindow>(logik_, services_, nullptr, false);
        window_->show();
        QApplication::setActiveWindow(window_.get());
    }
    template <typename T>
    T* Control(int id) {
        return ::Control<T>(window_.get(), id);
    }

    QtServices services_;
    Protokoll logik_;
    std::unique_ptr<QtWindow> window_;
};

TEST_F(EingabeQtTest, TabbingIntoAListChoosesNothingAndTheFirstDownKeyChoosesTheFirstRow) {
    window_->AddColumn(kListe, "Nr.", 45, Align::Left);
    window_->AddColumn(kListe, "Name", 100, Align::Left);
    for (const char* nr : {"4", "7", "12"}) {
        window_->AddRow(kListe, nr);
    }
    window_->Focus(kName);
    auto* liste = Control<QTreeView>(kListe);
    // Tab (and every other way of getting the focus) loads no row: the
    // logic is not asked, nothing is chosen or current.
    liste->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(liste->hasFocus());
    EXPECT_TRUE(logik_.log.empty());
    EXPECT_TRUE(window_->SelectedRows(kListe).empty());
    EXPECT_FALSE(liste->currentIndex().isValid());
    // The first Down key chooses the first row, the next one the second.
    QTest::keyClick(liste, Qt::Key_Down);
    EXPECT_EQ(window_->SelectedRows(kListe), std::vector<int>{0});
    QTest::keyClick(liste, Qt::Key_Down);
    EXPECT_EQ(window_->SelectedRows(kListe), std::vector<int>{1});
    EXPECT_EQ(logik_.log, (std::vector<std::string>{"may 0", "select 130", "may 1", "select 130"}));

    // Leaving and coming back keeps the row the user chose.
    window_->Focus(kName);
    liste->setFocus(Qt::BacktabFocusReason);
    EXPECT_EQ(window_->SelectedRows(kListe), std::vector<int>{1});
    EXPECT_EQ(logik_.log.size(), 4u);
}

TEST_F(EingabeQtTest, AFieldClickedOrTabbedIntoOffersItsWholeContent) {
    window_->SetText(kName, "0");
    window_->SetText(kOrt, "Alzey");
    auto* name = Control<QLineEdit>(kName);
    auto* ort = Control<QComboBox>(kOrt);
    window_->Focus(kNotiz);

    // Clicked into: typing replaces the old content (a postcode "0" then
    // does not become "05523").
    QTest::mouseClick(name, Qt::LeftButton, Qt::NoModifier, QPoint(2, name->height() / 2));
    ASSERT_TRUE(name->hasFocus());
    EXPECT_EQ(name->selectedText(), QStringLiteral("0"));
    QTest::keyClicks(name, QStringLiteral("55232"));
    EXPECT_EQ(window_->Text(kName), "55232");

    // The same for a combo box's edit field, by mouse and by Tab.
    QTest::mouseClick(ort->lineEdit(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(2, ort->lineEdit()->height() / 2));
    ASSERT_TRUE(ort->hasFocus());
    EXPECT_EQ(ort->lineEdit()->selectedText(), QStringLiteral("Alzey"));
    name->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(name->selectedText(), QStringLiteral("55232"));

    // A click into a field that has the focus already places the cursor, and
    // a part chosen by dragging stays chosen.
    QTest::mouseClick(name, Qt::LeftButton, Qt::NoModifier, QPoint(2, name->height() / 2));
    EXPECT_FALSE(name->hasSelectedText());
    window_->Focus(kNotiz);
    const int mitte = name->height() / 2;
    QTest::mousePress(name, Qt::LeftButton, Qt::NoModifier, QPoint(2, mitte));
    name->setSelection(0, 2);  // as dragging does
    QTest::mouseRelease(name, Qt::LeftButton, Qt::NoModifier, QPoint(2, mitte));
    ASSERT_TRUE(name->hasFocus());
    EXPECT_EQ(name->selectedText(), QStringLiteral("55"));
}

TEST_F(EingabeQtTest, PastedLineBreaksAndTabsBecomeBlanksExceptInTheRemark) {
    auto* name = Control<QLineEdit>(kName);
    name->setFocus();
    name->insert(QStringLiteral("a\r\nb\tc\nd"));
    EXPECT_EQ(window_->Text(kName), "a b c d");
    Control<QComboBox>(kOrt)->lineEdit()->insert(QStringLiteral("Alz\r\ney"));
    EXPECT_EQ(window_->Text(kOrt), "Alz ey");
    // The logic never saw a line break.
    for (const std::string& zeile : logik_.log) {
        EXPECT_EQ(zeile.find_first_of("\r\n\t"), std::string::npos) << zeile;
    }
    auto* notiz = Control<QPlainTextEdit>(kNotiz);
    notiz->insertPlainText(QStringLiteral("Zeile 1\nZeile 2"));
    EXPECT_EQ(window_->Text(kNotiz), "Zeile 1\nZeile 2");
    // What the program itself shows stays as it is.
    window_->SetText(kName, "x\ty");
    EXPECT_EQ(window_->Text(kName), "x\ty");
}

TEST_F(EingabeQtTest, CharactersThatCannotBeStoredAreNamedAndLeftOutAndTheFieldKeepsTheFocus) {
    auto* name = Control<QLineEdit>(kName);
    name->setFocus();
    QString text;
    QString titel;
    AntworteImNaechstenFenster(QStringLiteral("OK"), &text, &titel);
    Tippen(name, QStringLiteral("Öl\u0416\u20ac"));
    name->insert(QStringLiteral("\U0001F600x"));
    EXPECT_EQ(window_->Text(kName), "Öl€x"_w);
    // Told once, after the typing, naming each character.
    WARTE_BIS(!text.isEmpty());
    EXPECT_EQ(titel, QStringLiteral("Prüfung"));
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("Diese Zeichen kann Rebkontor nicht speichern; sie wurden nicht "
                       "übernommen: »\u0416« (U+0416), »\U0001F600« (U+1F600).")))
        << text.toStdString();
    WARTE_BIS(name->hasFocus());
    // Nothing the logic read held a "?".
    for (const std::string& zeile : logik_.log) {
        EXPECT_EQ(zeile.find('?'), std::string::npos) << zeile;
    }

    // The remark keeps its line breaks and loses only what cannot be stored.
    auto* notiz = Control<QPlainTextEdit>(kNotiz);
    notiz->setFocus();
    text.clear();
    AntworteImNaechstenFenster(QStringLiteral("OK"), &text);
    notiz->insertPlainText(QStringLiteral("Gr\u00fc\u00dfe\n\u4e2d"));
    EXPECT_EQ(window_->Text(kNotiz), "Grüße\n"_w);
    WARTE_BIS(!text.isEmpty());
    EXPECT_TRUE(text.contains(QStringLiteral("»\u4e2d« (U+4E2D)"))) << text.toStdString();
    WARTE_BIS(notiz->hasFocus());
}

using WeinListeTabTest = ProgrammTest;

TEST_F(WeinListeTabTest, TabbingIntoTheWineTableLoadsNothingOverTypedInput) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    WeinlistenVerwaltung& weine = *App().Frame()->Daten().GetVerwaltungen().weinlistenVerwaltung;
    weine.AddWein(4);
    weine.AddWein(7);

    // As the user: a new wine typed field by field, then Tab until the focus
    // is in the table.
    std::vector<QString> danach;
    bool gefragt = false;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto feld = [fenster](int id) { return Control<QLineEdit>(fenster, id); };
        auto* liste = Control<QTreeView>(fenster, WeinListe::kListe);
        const std::vector<std::pair<int, QString>> eingaben{
            {WeinListe::kWeinNummer, "999"},  {WeinListe::kName, "Testwein"},
            {WeinListe::kBezeichnung, "Bez"}, {WeinListe::kFuellmenge, "0,75 l"},
            {WeinListe::kBestand, "12"},      {WeinListe::kGewicht, "1200"}};
        for (const auto& [id, text] : eingaben) {
            feld(id)->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(feld(id), text);
        }
        for (int i = 0; i < 12 && !liste->hasFocus(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_TRUE(liste->hasFocus());
        gefragt = QApplication::activeModalWidget() != fenster;
        for (const auto& [id, text] : eingaben) {
            danach.push_back(feld(id)->text());
        }
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Frame()->Aktion(Hauptmenue::kWeineVerwalten)->trigger();
    EXPECT_FALSE(gefragt);
    EXPECT_EQ(danach, (std::vector<QString>{"999", "Testwein", "Bez", "0,75 l", "12", "1200"}));
}

}  // namespace
