#include "app/TSDIDecFrame.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <filesystem>
#include <functional>

#include "QtTestBasis.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "cli/Beispieldaten.h"
#include "dialogs/Hauptmenue.h"
#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/DatenSperre.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// The note windows on the screen.
std::vector<QtWindow*> Notizen() {
    std::vector<QtWindow*> notizen;
    const auto fenster = QApplication::topLevelWidgets();
    for (QWidget* w : fenster) {
        if (w->windowTitle() == QStringLiteral("Merkzettel") && w->isVisible()) {
            notizen.push_back(dynamic_cast<QtWindow*>(w));
        }
    }
    return notizen;
}

using TSDIDecFrameTest = ProgrammTest;

TEST_F(TSDIDecFrameTest, FirstStartOpensMaximisedWithTheFullMenu) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Rebkontor"));
    EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame.centralWidget()->palette().color(QPalette::Window), QColor(0, 50, 0));
    EXPECT_FALSE(frame.windowIcon().isNull());
    EXPECT_NE(frame.Daten().GetVerwaltungen().kundenVerwaltung, nullptr);
    EXPECT_TRUE(FileExists("daten/kunden.dat"));
    EXPECT_TRUE(FileExists("daten/weinliste.dat"));
    EXPECT_TRUE(FileExists("daten/merkzettel.dat"));

    QStringList menue;
    const auto popups = frame.menuBar()->actions();
    for (QAction* popup : popups) {
        menue << popup->text();
        const auto items = popup->menu()->actions();
        for (QAction* item : items) {
            menue << (item->isSeparator() ? QStringLiteral("-")
                                          : QStringLiteral("  ") + item->text());
        }
    }
    EXPECT_EQ(menue, (QStringList{"&Kundenverwaltung",
                                  "  Kunde &erfassen\tF9",
                                  "  Kunde &suchen\tF10",
                                  "-",
                                  "  &Exportieren von Kundendaten",
                                  "-",
                                  "  &Beenden\tAlt+F4",
                                  "&Weinlisten",
                                  "  &Weine verwalten",
                                  "-",
                                  "  &Preisliste verwalten",
                                  "  Preisliste &exportieren",
                                  "&Rechungsverwaltung",
                                  "  &Erstellen\tF5",
                                  "  Abrufen nach &Datum\tF6",
                                  "  Abrufen nach &Nummer\tF7",
                                  "-",
                                  "  &Flaschenzählung",
                                  "  &Auswertungen...",
                                  "  DATEV-E&xport...",
                                  "-",
                                  "  &Offene Posten / Mahnungen...",
                                  "&Optionen",
                                  "  Neuer &Merkzettel",
                                  "-",
                                  "  &Grundeinstellungen",
                                  "  &Firmendaten (E-Rechnung)",
                                  "  &DATEV-Einstellungen...",
                                  "  M&ahnwesen...",
                                  "-",
                                  "  Daten&sicherung...",
                                  "  Datensicherung &zurückspielen...",
                                  "&Hilfe",
                                  "  &Benutzerhandbuch\tF1",
                                  "  &Über.."}));
    EXPECT_EQ(frame.Aktion(51682)->statusTip(), QStringLiteral("Neue Kunden erfassen"));
    EXPECT_EQ(frame.Aktion(24310)->statusTip(),
              QStringLiteral("Rebkontor verlassen und alle Daten speichern"));
    // The customer commands are there once the customers have been read.
    EXPECT_TRUE(frame.Aktion(51682)->isEnabled());
    EXPECT_TRUE(frame.Aktion(51687)->isEnabled());
    EXPECT_TRUE(frame.Aktion(51691)->isEnabled());
    EXPECT_TRUE(frame.Aktion(51694)->isEnabled());

    QStringList tasten;
    const auto actions = frame.actions();
    for (QAction* action : actions) {
        tasten << action->shortcut().toString();
    }
    tasten.sort();
    EXPECT_EQ(tasten, (QStringList{"F1", "F10", "F5", "F6", "F7", "F9"}));
}

TEST_F(TSDIDecFrameTest, QuickMenuFloatsVerticallyAndDocksEverywhere) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    QDockWidget* bar = App().Frame()->QuickMenue();
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("Quick-Menü"));
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->pos(), QPoint(15, 75));
    EXPECT_EQ(bar->allowedAreas(), Qt::AllDockWidgetAreas);
    const auto buttons = bar->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 6);
    EXPECT_EQ(buttons[0]->iconSize(), QSize(32, 32));
    EXPECT_EQ(buttons[5]->iconSize(), QSize(111, 356));
    EXPECT_GT(buttons[1]->y(), buttons[0]->y());  // one below the other
    EXPECT_TRUE(buttons[5]->isEnabled());

    QString version;
    ImNaechstenFenster([&](QWidget* fenster) {
        version = Kind<QLabel>(fenster, "c22001")->text();
        Kind<QPushButton>(fenster, "c1")->click();
    });
    buttons[5]->click();
    EXPECT_EQ(version, QStringLiteral("Rebkontor Version 1.1"));
}

TEST_F(TSDIDecFrameTest, StartsHiddenOrMinimisedWhenAskedTo) {
    EXPECT_EQ(TSDIDecFrame::StartModus(TSDIDecFrame::ZeigeModus::Versteckt),
              TSDIDecFrame::ZeigeModus::Versteckt);
    EXPECT_EQ(TSDIDecFrame::StartModus(TSDIDecFrame::ZeigeModus::MinimiertOhneAktivierung),
              TSDIDecFrame::ZeigeModus::MinimiertOhneAktivierung);
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Versteckt));
    EXPECT_FALSE(App().Frame()->isVisible());
    App().Beenden();
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::MinimiertOhneAktivierung));
    EXPECT_TRUE(App().Frame()->windowState() & Qt::WindowMinimized);
}

TEST_F(TSDIDecFrameTest, SettingsAndANoteAreOnDiskAfterShutdown) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    ImNaechstenFenster([](QWidget* fenster) {
        EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Grundeinstellungen für Rebkontor"));
        Tippen(Kind<QComboBox>(fenster, "c104")->lineEdit(), QStringLiteral("Mosel"));
        Kind<QPushButton>(fenster, "c105")->click();
        EXPECT_EQ(Kind<QComboBox>(fenster, "c104")->count(), 1);
        QLineEdit* tage = Kind<QLineEdit>(fenster, "c113");
        tage->selectAll();
        Tippen(tage, QStringLiteral("5000"));
        QLineEdit* waehrung = Kind<QLineEdit>(fenster, "c109");
        waehrung->selectAll();
        Tippen(waehrung, QStringLiteral("€"));
        Kind<QPushButton>(fenster, "c1")->click();
    });
    frame.Aktion(51691)->trigger();
    EXPECT_EQ(frame.Daten().GetVerwaltungen().geoGruppe->Count(), 1u);
    EXPECT_EQ(frame.Daten().GetVerwaltungen().customizer->vordatierungTage, 1000);

    frame.Aktion(51692)->trigger();
    QtWindow* notiz = nullptr;
    const auto fenster = QApplication::topLevelWidgets();
    for (QWidget* w : fenster) {
        if (w->windowTitle() == QStringLiteral("Merkzettel") && w->isVisible()) {
            notiz = dynamic_cast<QtWindow*>(w);
        }
    }
    ASSERT_NE(notiz, nullptr);
    QPlainTextEdit* text = Kind<QPlainTextEdit>(notiz, "c101");
    EXPECT_EQ(text->toPlainText(), QStringLiteral("<< neuer Merkzettel >>"));
    text->selectAll();
    Tippen(text, QStringLiteral("Fässer prüfen"));

    frame.Aktion(24310)->trigger();  // Beenden closes the window
    EXPECT_FALSE(frame.isVisible());
    App().Beenden();

    std::string notizen = ReadBytes("daten/merkzettel.dat");
    ASSERT_EQ(notizen.size(), 308u);
    EXPECT_EQ(std::string(notizen.c_str()),
              "F\xE4sser pr\xFC"
              "fen");
    std::string einstellungen = ReadBytes("daten/preferences.dat");
    ASSERT_EQ(einstellungen.size(), 336u);
    EXPECT_EQ(Int32At(einstellungen, 30), 1000);
    EXPECT_EQ(einstellungen.substr(4, 2), std::string("\x80\0", 2));  // the euro sign, Windows-1252
    EXPECT_EQ(ReadBytes("daten/geogruppe.txt"), "Mosel");
}

TEST(TSDIDecFrameStartTest, WithoutADataFolderTheUserChoosesToEndOrAnEmptyOneOrTheSample) {
    TempDir dir{true};
    std::filesystem::remove("daten");
    const QString hier = QString::fromStdString(std::filesystem::current_path().string());

    // Ending creates nothing.
    QString text;
    QString titel;
    AntworteImNaechstenFenster(QStringLiteral("Beenden"), &text, &titel);
    EXPECT_FALSE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_EQ(App().Frame(), nullptr);
    EXPECT_FALSE(std::filesystem::exists("daten"));
    EXPECT_EQ(titel, QStringLiteral("Rebkontor"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Im Arbeitsverzeichnis \u00bb") + hier +
                                QStringLiteral("\u00ab gibt es keinen Datenordner "
                                               "\u00bbdaten\u00ab")))
        << text.toStdString();

    // An empty data folder: the window opens on it and holds it.
    AntworteImNaechstenFenster(QStringLiteral("Leeren Datenordner anlegen"));
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_EQ(App().Frame()->Daten().GetVerwaltungen().kundenVerwaltung->Count(), 0u);
    EXPECT_TRUE(FileExists("daten/kunden.dat"));
    EXPECT_THROW(DatenSperre("daten"), MessageException);
    App().Beenden();

    // The sample business, for trying the program out.
    std::filesystem::remove_all("daten");
    Beispieldaten::Umfang klein;
    klein.kunden = 7;
    klein.weine = 5;
    klein.preislisten = 2;
    klein.rechnungen = 12;
    App().SetBeispielUmfang(klein);
    AntworteImNaechstenFenster(QStringLiteral("Mit Beispielbetrieb anlegen"));
    const bool gestartet = App().Starten(TSDIDecFrame::ZeigeModus::Normal);
    App().SetBeispielUmfang(Beispieldaten::Umfang{});
    ASSERT_TRUE(gestartet);
    Verwaltungen& v = App().Frame()->Daten().GetVerwaltungen();
    EXPECT_EQ(v.kundenVerwaltung->Count(), 7u);
    EXPECT_EQ(v.rechnungsVerwaltung->Gespeichert(), 12);
    EXPECT_TRUE(App().Frame()->Aktion(Hauptmenue::kRechnungErstellen)->isEnabled());
    App().Beenden();

    // Something that is no folder where the data folder belongs: said, and
    // nothing is touched.
    std::filesystem::remove_all("daten");
    WriteBytes("daten", "kein Ordner");
    AntworteImNaechstenFenster(QStringLiteral("OK"), &text);
    EXPECT_FALSE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_EQ(text, QStringLiteral("Im Arbeitsverzeichnis \u00bb") + hier +
                        QStringLiteral("\u00ab ist \u00bbdaten\u00ab kein Ordner. Rebkontor "
                                       "erwartet dort seinen Datenordner und wird beendet."));
    EXPECT_EQ(ReadBytes("daten"), "kein Ordner");
}

// The menu entry's working folder (~/Rebkontor) does not exist on a first
// start: it is made with the data folder only when the user says so, and
// later starts work in it whatever the working directory is.
TEST(TSDIDecFrameStartTest, AWorkingFolderThatDoesNotExistYetIsMadeOnlyWhenTheUserSaysSo) {
    TempDir dir{true};
    const std::string ordner = dir / "home/Rebkontor";
    App().SetArbeitsordner(ordner);

    QString text;
    AntworteImNaechstenFenster(QStringLiteral("Beenden"), &text);
    EXPECT_FALSE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Im Arbeitsverzeichnis \u00bb") +
                                QString::fromStdString(ordner) +
                                QStringLiteral("\u00ab gibt es keinen Datenordner")))
        << text.toStdString();
    EXPECT_FALSE(std::filesystem::exists(dir / "home"));

    AntworteImNaechstenFenster(QStringLiteral("Leeren Datenordner anlegen"));
    const bool gestartet = App().Starten(TSDIDecFrame::ZeigeModus::Normal);
    const std::filesystem::path arbeitet = std::filesystem::current_path();
    App().Beenden();
    ASSERT_TRUE(gestartet);
    EXPECT_EQ(arbeitet, std::filesystem::path(ordner));
    EXPECT_TRUE(FileExists(ordner + "/daten/kunden.dat"));

    // Again, from elsewhere: no question, the folder is used as it is.
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    EXPECT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(ordner));
    App().Beenden();

    // A file where the folder belongs is said and left alone.
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    WriteBytes(dir / "datei", "x");
    App().SetArbeitsordner(dir / "datei");
    AntworteImNaechstenFenster(QStringLiteral("OK"), &text);
    EXPECT_FALSE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    App().SetArbeitsordner(std::nullopt);
    EXPECT_EQ(text, QStringLiteral("Der Arbeitsordner \u00bb") +
                        QString::fromStdString(dir / "datei") +
                        QStringLiteral("\u00ab ist kein Ordner. Rebkontor wird beendet."));
    EXPECT_EQ(ReadBytes(dir / "datei"), "x");
}

TEST(TSDIDecFrameStartTest, AFileThatCannotBeReadStopsTheStartAndAnIncompleteOneIsTold) {
    TempDir dir{true};
    WriteBytes("daten/kunden.dat", std::string(2 * 528, '\0'));
    std::string kunden = ReadBytes("daten/kunden.dat");

    // A read error: the start stops, names the file and writes nothing.
    IoFaults::SetHook([](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Read && pfad == "daten/kunden.dat" ? EIO : 0;
    });
    QString text;
    AntworteImNaechstenFenster(QStringLiteral("Ja"), &text);
    EXPECT_FALSE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    IoFaults::ClearHook();
    App().Beenden();
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "File could not be opened in GenericList::GenericList()\ndaten/kunden.dat\n")))
        << text.toStdString();
    EXPECT_EQ(ReadBytes("daten/kunden.dat"), kunden);

    // Two customers and the first bytes of a third: the start tells which
    // file ends in part of a record, and where its copy is.
    kunden += std::string(40, '\0');
    WriteBytes("daten/kunden.dat", kunden);
    QString titel;
    AntworteImNaechstenFenster(QStringLiteral("OK"), &text, &titel);
    EXPECT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_EQ(titel, QStringLiteral("Datenbestand"));
    EXPECT_TRUE(text.contains(QStringLiteral("»daten/kunden.dat« endet mitten in einem Datensatz")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("»daten/kunden.dat.unvollstaendig«")));
    EXPECT_EQ(ReadBytes("daten/kunden.dat.unvollstaendig"), kunden);
    App().Beenden();
}

TEST(TSDIDecFrameStartTest, ASecondProgramOnTheSameDataFolderIsToldSoAndTouchesNothing) {
    TempDir dir{true};
    std::filesystem::create_directory("daten");
    // Another program holds the folder: a real second process with the
    // same kind of lock (flock(1) from util-linux, which keeps the lock to
    // itself and runs "cat" until its input closes).
    QProcess andere;
    andere.start(
        QStringLiteral("flock"),
        {QStringLiteral("-o"), QStringLiteral("daten/rebkontor.lock"), QStringLiteral("cat")});
    ASSERT_TRUE(andere.waitForStarted()) << "flock(1) is missing";
    ASSERT_TRUE(Warte([] {
        try {
            DatenSperre probe("daten");
            return false;
        } catch (const MessageException&) {
            return true;
        }
    }));

    QString text;
    AntworteImNaechstenFenster(QStringLiteral("OK"), &text);
    EXPECT_FALSE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_EQ(App().Frame(), nullptr);
    const QString ordner = QString::fromStdString(std::filesystem::canonical("daten").string());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Das Datenverzeichnis \u00bb") + ordner +
                                QStringLiteral("\u00ab wird gerade von einem anderen "
                                               "Rebkontor-Programm benutzt")))
        << text.toStdString();
    // Nothing was created beside the other program's lock file.
    std::vector<std::string> namen;
    for (const auto& eintrag : std::filesystem::directory_iterator("daten")) {
        namen.push_back(eintrag.path().filename().string());
    }
    EXPECT_EQ(namen, std::vector<std::string>{"rebkontor.lock"});

    andere.closeWriteChannel();
    andere.kill();
    andere.waitForFinished();
    // Once the other program is gone, the window starts and holds the
    // folder itself until it ends.
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    EXPECT_THROW(DatenSperre("daten"), MessageException);
    App().Beenden();
    EXPECT_NO_THROW(DatenSperre("daten"));
}

TEST_F(TSDIDecFrameTest, ClosingTheMainWindowEndsTheRunWhateverElseIsOpen) {
    const std::vector<std::pair<const char*, std::function<void(TSDIDecFrame&)>>> wege = {
        {"Beenden", [](TSDIDecFrame& f) { f.Aktion(24310)->trigger(); }},
        {"Schliessfeld", [](TSDIDecFrame& f) { f.close(); }},
        {"Alt+F4",
         [](TSDIDecFrame& f) { QTest::keyClick(f.windowHandle(), Qt::Key_F4, Qt::AltModifier); }},
    };
    for (const auto& [name, weg] : wege) {
        ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
        TSDIDecFrame& frame = *App().Frame();
        frame.Aktion(51692)->trigger();
        frame.Aktion(51692)->trigger();
        std::vector<QtWindow*> notizen = Notizen();
        ASSERT_EQ(notizen.size(), 2u) << name;
        QPlainTextEdit* text = Kind<QPlainTextEdit>(notizen[0], "c101");
        text->selectAll();
        Tippen(text, QString::fromLatin1(name));
        Kind<QPushButton>(notizen[1], "c2")->click();  // Verwerfen
        ASSERT_TRUE(frame.QuickMenue()->isVisible());

        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame, kGeduld)) << name;
        QTimer::singleShot(0, &frame, [&frame, weg = weg] { weg(frame); });
        QTimer wache;  // a run that does not end fails instead of hanging
        wache.setSingleShot(true);
        QObject::connect(&wache, &QTimer::timeout, [] { QApplication::exit(99); });
        wache.start(kGeduld);
        EXPECT_EQ(App().exec(), 0) << name;
        App().Beenden();

        // The orderly shutdown ran: the discarded note is gone, the other
        // one is on disk with its text.
        std::string bytes = ReadBytes("daten/merkzettel.dat");
        ASSERT_EQ(bytes.size(), 308u) << name;
        EXPECT_EQ(std::string(bytes.c_str()), name);
        std::filesystem::remove("daten/merkzettel.dat");
    }
}

// Every window shown, in order, and whether the main window it belongs to
// was known to the window system at that moment.
class Auftritte : public QObject {
  public:
    Auftritte() { QApplication::instance()->installEventFilter(this); }
    ~Auftritte() override { QApplication::instance()->removeEventFilter(this); }
    Auftritte(const Auftritte&) = delete;
    Auftritte& operator=(const Auftritte&) = delete;

    // The position of the window's last appearance; -1 when it never came.
    int Zuletzt(const QWidget* fenster) const {
        int position = -1;
        for (std::size_t i = 0; i < folge.size(); ++i) {
            if (folge[i].first == fenster) {
                position = static_cast<int>(i);
            }
        }
        return position;
    }

    std::vector<std::pair<const QWidget*, bool>> folge;

  protected:
    bool eventFilter(QObject* objekt, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(objekt);
        if (event->type() == QEvent::Show && w != nullptr && w->isWindow()) {
            const QWidget* haupt = w->parentWidget() != nullptr ? w->parentWidget()->window() : w;
            folge.emplace_back(
                w, haupt->windowHandle() != nullptr && haupt->windowHandle()->handle() != nullptr);
        }
        return false;
    }
};

TEST_F(TSDIDecFrameTest, NotesAndQuickMenuAreToolWindowsOfTheMainWindow) {
    // A stored note opens at start, before the main window is on the screen.
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    App().Frame()->Aktion(51692)->trigger();
    App().Beenden();
    Auftritte auftritte;
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    frame.Aktion(51692)->trigger();  // and one opened later

    ASSERT_NE(frame.windowHandle(), nullptr);
    std::vector<QWidget*> werkzeuge{frame.QuickMenue()};
    for (QtWindow* notiz : Notizen()) {
        werkzeuge.push_back(notiz);
    }
    ASSERT_EQ(werkzeuge.size(), 3u);
    const int hauptfenster = auftritte.Zuletzt(&frame);
    ASSERT_GE(hauptfenster, 0);
    for (QWidget* w : werkzeuge) {
        SCOPED_TRACE(w->windowTitle().toStdString());
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->windowType(), Qt::Tool);
        ASSERT_NE(w->windowHandle(), nullptr);
        // What the window system is told: this window belongs above that
        // one. It is told when the window appears, so the main window must
        // be known by then; and without a window manager the window that
        // appears last is on top.
        EXPECT_EQ(w->windowHandle()->transientParent(), frame.windowHandle());
        const int position = auftritte.Zuletzt(w);
        ASSERT_GT(position, hauptfenster);
        EXPECT_TRUE(auftritte.folge[static_cast<std::size_t>(position)].second);
    }
}

TEST_F(TSDIDecFrameTest, ReadyComesBackAfterAMenuHint) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    // What the status bar shows: a hint over everything, else its widgets.
    auto zeigt = [&frame] {
        QStatusBar* leiste = frame.statusBar();
        if (!leiste->currentMessage().isEmpty()) {
            return leiste->currentMessage();
        }
        QStringList texte;
        const auto labels = leiste->findChildren<QLabel*>();
        for (QLabel* label : labels) {
            if (label->isVisible()) {
                texte << label->text();
            }
        }
        return texte.join('|');
    };
    EXPECT_EQ(zeigt(), QStringLiteral("Bereit"));
    for (int i = 0; i < 2; ++i) {
        // As the menu does while the mouse is on an item and when it leaves.
        QStatusTipEvent hinweis(frame.Aktion(24310)->statusTip());
        QApplication::sendEvent(frame.menuBar(), &hinweis);
        EXPECT_EQ(zeigt(), QStringLiteral("Rebkontor verlassen und alle Daten speichern"));
        QStatusTipEvent weg{QString()};
        QApplication::sendEvent(frame.menuBar(), &weg);
        EXPECT_EQ(zeigt(), QStringLiteral("Bereit"));
    }
}

TEST(TSDIDecFrameSpracheTest, TheToolkitsOwnDialogsSpeakGerman) {
    QFileDialog dialog(nullptr, QStringLiteral("Preislisten exportieren"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_EQ(Kind<QLabel>(&dialog, "lookInLabel")->text(), QStringLiteral("Suchen in:"));
    EXPECT_EQ(Kind<QLabel>(&dialog, "fileNameLabel")->text().remove('&'),
              QStringLiteral("Dateiname:"));
    QDialogButtonBox* knoepfe = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(knoepfe, nullptr);
    EXPECT_EQ(knoepfe->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(knoepfe->button(QDialogButtonBox::Save)->text().remove('&'),
              QStringLiteral("Speichern"));
}

}  // namespace
