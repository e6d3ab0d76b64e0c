#include "app/QtWindow.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "QtTestBasis.h"
#include "app/DialogLayouts.h"
#include "app/QtServices.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"
#include "windowing/Dialog.h"

namespace {

constexpr int kTestLayout = 9001;

// A layout with one control of each kind the windows are built from.
void TestLayout(QDialog* d) {
    auto* layout = new QVBoxLayout(d);
    auto* label = new QLabel(QStringLiteral("&Name:"), d);
    auto* edit = new QLineEdit(d);
    edit->setObjectName(QStringLiteral("c101"));
    label->setBuddy(edit);
    auto* combo = new QComboBox(d);
    combo->setObjectName(QStringLiteral("c102"));
    combo->setEditable(true);
    combo->setProperty("sorted", true);
    auto* check = new QCheckBox(QStringLiteral("Preise in &Euro"), d);
    check->setObjectName(QStringLiteral("c103"));
    auto* list = new QTreeView(d);
    list->setObjectName(QStringLiteral("c104"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* ok = new QPushButton(QStringLiteral("OK"), d);
    ok->setObjectName(QStringLiteral("c1"));
    for (QWidget* w : std::vector<QWidget*>{label, edit, combo, check, list, ok}) {
        layout->addWidget(w);
    }
    d->resize(500, 400);
}

class Protokoll : public Dialog {
  public:
    Protokoll() : Dialog(kTestLayout) {}
    void Command(int id) override {
        log.push_back("command " + std::to_string(id));
        if (id == 103 && werfen) {
            throw MessageException("Es wurde in Test::Command() ein index < 0 angegeben");
        }
        Dialog::Command(id);
    }
    void TextChanged(int id) override {
        log.push_back("text " + std::to_string(id) + " " + Win().Text(id));
    }
    void SelectionChanged(int id) override { log.push_back("select " + std::to_string(id)); }
    bool MayClose() override { return darfSchliessen; }
    std::string CellText(int, int row, int column) override {
        if (zelleWirft) {
            throw MessageException("Konnte einen Wein beim Erstellen der Tabelle nicht finden");
        }
        return "Zelle " + std::to_string(row) + "/" + std::to_string(column) + " ä"_w;
    }
    std::optional<Rgb> RowColour(int, int row) override {
        return row % 2 == 0 ? std::optional<Rgb>(Rgb{192, 255, 192})
                            : std::optional<Rgb>(Rgb{255, 255, 255});
    }
    bool MayChangeSelection(int, int row) override {
        log.push_back("may " + std::to_string(row));
        return row != 1;
    }

    std::vector<std::string> log;
    bool darfSchliessen = true;
    bool werfen = false;
    bool zelleWirft = false;
};

class QtWindowTest : public ::testing::Test {
  protected:
    QtWindowTest() {
        DialogLayouts::Register(kTestLayout, TestLayout);
        window_ = std::make_unique<QtWindow>(logic_, services_, nullptr, false);
        window_->show();
    }
    template <typename T>
    T* Widget(const char* name) {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }

    QtServices services_;
    Protokoll logic_;
    std::unique_ptr<QtWindow> window_;
};

TEST_F(QtWindowTest, EditsReportTypingAndProgramChangesInTheProgramsEncoding) {
    window_->SetLimit(101, 5);
    Tippen(Widget<QLineEdit>("c101"), QStringLiteral("Müllerin"));
    EXPECT_EQ(window_->Text(101), "Mülle"_w);
    window_->SetText(101, "Öl"_w);
    EXPECT_EQ(Widget<QLineEdit>("c101")->text(), QStringLiteral("Öl"));
    ASSERT_EQ(logic_.log.size(), 6u);
    EXPECT_EQ(logic_.log.back(), "text 101 " + "Öl"_w);

    window_->Show(101, false);
    EXPECT_FALSE(window_->IsShown(101));
    EXPECT_TRUE(window_->findChild<QLabel*>()->isHidden());  // the label goes with it
    EXPECT_THROW(window_->Text(999), std::logic_error);
}

TEST_F(QtWindowTest, SortedCombosAndProgramSelectionsSendNoEvents) {
    for (const char* name : {"Mosel", "ahr", "Baden"}) {
        window_->AddItem(102, name);
    }
    EXPECT_EQ(window_->ItemText(102, 0), "ahr");
    EXPECT_EQ(window_->ItemText(102, 2), "Mosel");
    window_->Select(102, 1);
    EXPECT_EQ(window_->Selected(102), 1);
    EXPECT_TRUE(logic_.log.empty());
    Tippen(Widget<QComboBox>("c102")->lineEdit(), QStringLiteral("x"));
    EXPECT_EQ(window_->Selected(102), -1);  // typed text is no entry
    window_->ClearItems(102);
    EXPECT_EQ(window_->Text(102), "Badenx");  // the typed text stays
}

TEST_F(QtWindowTest, CheckBoxesHaveChangedWhenTheClickArrives) {
    Widget<QCheckBox>("c103")->click();
    EXPECT_TRUE(window_->IsChecked(103));
    EXPECT_EQ(logic_.log, std::vector<std::string>{"command 103"});
}

TEST_F(QtWindowTest, ListViewsAskTheLogicForCellsColoursAndSelections) {
    window_->AddColumn(104, "Nr.", 45, Align::Right);
    window_->AddColumn(104, "Name", 210, Align::Left);
    window_->AddColumn(104, "Fax", 0, Align::Left);
    for (const char* nr : {"12", "17", "20"}) {
        window_->AddRow(104, nr);
    }
    auto* view = Widget<QTreeView>("c104");
    QAbstractItemModel* model = view->model();
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_GE(view->header()->sectionSize(0), 45);
    EXPECT_TRUE(view->isColumnHidden(2));
    EXPECT_EQ(model->index(1, 0).data().toString(), QStringLiteral("17"));
    EXPECT_EQ(model->index(1, 1).data().toString(), QStringLiteral("Zelle 1/1 ä"));
    EXPECT_EQ(model->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 255, 192));
    EXPECT_EQ(model->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);

    auto click = [&](int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QRect rect = view->visualRect(model->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, rect.center());
    };
    click(0);
    click(1);  // refused
    EXPECT_EQ(window_->SelectedRows(104), std::vector<int>{0});
    click(2, Qt::ControlModifier);
    EXPECT_EQ(window_->SelectedRows(104), (std::vector<int>{0, 2}));
    EXPECT_EQ(logic_.log,
              (std::vector<std::string>{"may 0", "select 104", "may 1", "may 2", "select 104"}));
    window_->ClearRows(104);
    EXPECT_EQ(window_->RowCount(104), 0);
    EXPECT_TRUE(window_->SelectedRows(104).empty());
}

TEST_F(QtWindowTest, ColumnsGrowWithTheFontAndNeverCutTheirTitle) {
    auto* view = Widget<QTreeView>("c104");
    // A desktop font with digits more than twice as wide as the dialog font's widens a
    // narrow column alike.
    QFont breit = view->font();
    breit.setPixelSize(24);
    view->setFont(breit);
    view->ensurePolished();
    window_->AddColumn(104, "Nr.", 45, Align::Right);
    const double faktor = view->fontMetrics().horizontalAdvance(QLatin1Char('0')) / 6.0;
    ASSERT_GT(faktor, 2.0);
    EXPECT_NEAR(view->header()->sectionSize(0), 45 * faktor, 1.0);
    // A title longer than its width widens the column to the title.
    window_->AddColumn(104, "Betrag eingegangen", 20, Align::Right);
    EXPECT_GE(view->header()->sectionSize(1), view->header()->sectionSizeHint(1));
    EXPECT_GT(view->header()->sectionSize(1), 20 * faktor + 1);
    // A wide column for names keeps its width.
    window_->AddColumn(104, "Name", 210, Align::Left);
    EXPECT_EQ(view->header()->sectionSize(2), 210);
    // A changed width goes through the same widening; zero still hides the column.
    window_->SetColumnWidth(104, 0, 90);
    EXPECT_NEAR(view->header()->sectionSize(0), 90 * faktor, 1.0);
    window_->SetColumnWidth(104, 0, 0);
    EXPECT_TRUE(view->isColumnHidden(0));
}

TEST_F(QtWindowTest, EscapeAsksTheLogicAndOkCloses) {
    logic_.darfSchliessen = false;
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    EXPECT_FALSE(window_->IsClosed());
    logic_.darfSchliessen = true;
    QTest::mouseClick(Widget<QPushButton>("c1"), Qt::LeftButton);
    EXPECT_TRUE(window_->IsClosed());
    EXPECT_EQ(window_->Result(), 1);
    EXPECT_EQ(logic_.log, (std::vector<std::string>{"command 2", "command 1"}));
}

TEST_F(QtWindowTest, AnExceptionIsShownWithTheQuestionWhetherToResume) {
    logic_.werfen = true;
    bool beendet = false;
    services_.SetQuit([&] { beendet = true; });
    QString text;
    QString titel;
    AntworteImNaechstenFenster(QStringLiteral("Ja"), &text, &titel);
    Widget<QCheckBox>("c103")->click();
    EXPECT_EQ(titel, QStringLiteral("Unhandled Exception"));
    EXPECT_EQ(text, QStringLiteral(
                        "Es wurde in Test::Command() ein index < 0 angegeben\n\nOK to resume?"));
    QApplication::processEvents();
    EXPECT_FALSE(beendet);
    EXPECT_FALSE(window_->IsClosed());

    AntworteImNaechstenFenster(QStringLiteral("Nein"));
    Widget<QCheckBox>("c103")->click();
    EXPECT_TRUE(services_.Quitting());
    // A command still unwinding asks nobody any more.
    EXPECT_EQ(services_.MessageBox("Löschen?"_w, "Frage", MessageButtons::YesNo), Answer::No);
    WARTE_BIS(beendet);
}

TEST_F(QtWindowTest, AnExceptionWhilePaintingIsShownOnceAfterThePainting) {
    window_->AddColumn(104, "Nr.", 45, Align::Right);
    window_->AddColumn(104, "Name", 210, Align::Left);
    window_->AddRow(104, "12");
    logic_.zelleWirft = true;
    QAbstractItemModel* model = Widget<QTreeView>("c104")->model();
    EXPECT_EQ(model->index(0, 1).data().toString(), QString());
    EXPECT_EQ(model->index(0, 1).data().toString(), QString());  // no second report
    QString text;
    AntworteImNaechstenFenster(QStringLiteral("Ja"), &text);
    WARTE_BIS(!text.isEmpty());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Konnte einen Wein beim Erstellen")));
    logic_.zelleWirft = false;
    EXPECT_EQ(model->index(0, 1).data().toString(), QString());  // blank until filled anew
    window_->ClearRows(104);
    window_->AddRow(104, "12");
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("Zelle 0/1 ä"));
}

TEST(QtServicesTest, MessageBoxesSpeakGermanWithAccessKeysAndTheAskedForDefault) {
    QtServices services;
    QStringList knoepfe;
    QString standard;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* box = qobject_cast<QMessageBox*>(fenster);
        for (QAbstractButton* b : box->buttons()) {
            knoepfe << b->text();
        }
        standard = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
        box->button(QMessageBox::No)->click();
    });
    Answer answer =
        services.MessageBox("Löschen?"_w, "Vorgang Kunde löschen"_w, MessageButtons::YesNoCancel);
    EXPECT_EQ(answer, Answer::No);
    knoepfe.sort();
    EXPECT_EQ(knoepfe, (QStringList{"&Abbrechen", "&Ja", "&Nein"}));
    EXPECT_EQ(standard, QStringLiteral("&Ja"));

    // A question whose Yes destroys something: Enter answers No, and the
    // letters answer as the underlined ones show.
    for (const auto& [taste, erwartet] :
         {std::pair{Qt::Key_Return, Answer::No}, std::pair{Qt::Key_J, Answer::Yes},
          std::pair{Qt::Key_N, Answer::No}}) {
        const Qt::Key t = taste;
        ImNaechstenFenster([t](QWidget* fenster) {
            QTest::keyClick(fenster, t);
            // A key the box does not take leaves it open; the test goes on.
            if (!Warte([fenster] { return !fenster->isVisible(); })) {
                ADD_FAILURE() << "the key did not answer the box";
                qobject_cast<QDialog*>(fenster)->done(-1);
            }
        });
        EXPECT_EQ(services.MessageBox("Löschen?"_w, "Vorgang Kunde löschen"_w,
                                      MessageButtons::YesNo, MessageIcon::None, Answer::No),
                  erwartet);
    }
    ImNaechstenFenster([](QWidget* fenster) { QTest::keyClick(fenster, Qt::Key_Return); });
    EXPECT_EQ(services.MessageBox("Löschen?"_w, "Vorgang Rechnung löschen"_w,
                                  MessageButtons::YesNoCancel, MessageIcon::None, Answer::Cancel),
              Answer::Cancel);
}

TEST(QtServicesTest, AProgramThatFailsIsReportedOnceAndOneThatWorksIsNot) {
    QtServices services;
    std::vector<std::string> gescheitert;
    // The programs of this test, to wait until each has ended.
    std::vector<QPointer<QProcess>> programme;
    auto start = [&](std::vector<std::string> argv) {
        const auto vorher = qApp->findChildren<QProcess*>(Qt::FindDirectChildrenOnly);
        std::string name = argv[0];
        services.StartProgram(argv, [&gescheitert, name] { gescheitert.push_back(name); });
        for (QProcess* p : qApp->findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
            if (!vorher.contains(p)) {
                programme.emplace_back(p);
            }
        }
    };
    auto alleBeendet = [&] {
        return std::all_of(programme.begin(), programme.end(), [](const QPointer<QProcess>& p) {
            return p.isNull() || p->state() == QProcess::NotRunning;
        });
    };
    start({"/nicht/vorhanden/xdg-open", "doc/index.htm"});  // not installed
    start({"sh", "-c", "exit 3"});                          // found nothing to open it with
    start({"sh", "-c", "exit 0"});
    ASSERT_EQ(programme.size(), 3u);
    WARTE_BIS(alleBeendet() && gescheitert.size() == 2);
    std::sort(gescheitert.begin(), gescheitert.end());
    EXPECT_EQ(gescheitert, (std::vector<std::string>{"/nicht/vorhanden/xdg-open", "sh"}));

    // Once the window that asked is gone, a failure is not reported.
    start({"sh", "-c", "sleep 0.2; exit 3"});
    services.DestroyModeless();
    WARTE_BIS(alleBeendet());
    QApplication::processEvents();
    EXPECT_EQ(gescheitert.size(), 2u);
}

}  // namespace

namespace {

// The tests run under a German locale. Amounts in files, printouts and fields
// keep their decimal point all the same.
TEST(AppLocaleTest, NumbersKeepTheDecimalPointUnderAGermanDesktop) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", 1234.5);
    EXPECT_STREQ(text, "1234.50");
}

}  // namespace
