#include "app/TSDIDecFrame.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QToolButton>

#include "app/QtServices.h"
#include "app/QtText.h"
#include "cli/Datenpruefung.h"
#include "dialogs/DisplayEvent.h"
#include "dialogs/Hauptfenster.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/Startoptionen.h"
#include "dialogs/TProjectRCVersion.h"
#include "dialogs/SicherungZurueckspielenDlg.h"
#include "model/Datenbestand.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"
#include "windowing/Window.h"

namespace {

QIcon Programmsymbol() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/bitmaps/1001.png"));
    icon.addFile(QStringLiteral(":/bitmaps/1001-32.png"));
    return icon;
}

}  // namespace

TSDIDecFrame::TSDIDecFrame(QtServices& services)
    : services_(services), daten_(std::make_unique<Datenbestand>(kDaten)) {
    BefehleAnlegen();
    setWindowTitle(QStringLiteral("Rebkontor"));
    setWindowIcon(Programmsymbol());
    setObjectName(QStringLiteral("TSDIDecFrame"));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(0, 50, 0));
    client->setPalette(palette);
    setCentralWidget(client);

    MenueAufbauen();
    QuickMenueAufbauen();
    // A widget rather than a message: a menu hint covers it only while the
    // mouse is on a menu item, and it comes back afterwards.
    auto* bereit = new QLabel(QStringLiteral("Bereit"), statusBar());
    bereit->setObjectName(QStringLiteral("bereit"));
    statusBar()->addWidget(bereit, 1);
    services_.SetMainWindow(this);
    Aktualisieren();
}

TSDIDecFrame::~TSDIDecFrame() {
    // The note windows write into their notes; they go first.
    services_.DestroyModeless();
    services_.SetMainWindow(nullptr);
    befehle_.reset();
    daten_.reset();
}

void TSDIDecFrame::BefehleAnlegen() {
    befehle_ = std::make_unique<Hauptfenster>(daten_->GetVerwaltungen(), services_);
    befehle_->SetFirmendaten(&daten_->GetFirmendaten(), daten_->FirmendatenDatei());
    befehle_->SetHandbuch(Startoptionen::Handbuch(TProjectRCVersion::kEigeneDatei));
    befehle_->SetMahnwesen(daten_.get());
    befehle_->SetSicherung(
        {kDaten, [this] { daten_->Schreiben(); },
         [](const std::string& verzeichnis) { return Datenpruefung(verzeichnis).Pruefen(); }});
}

TSDIDecFrame::ZeigeModus TSDIDecFrame::StartModus(ZeigeModus gewuenscht) {
    if (gewuenscht == ZeigeModus::Versteckt || gewuenscht == ZeigeModus::MinimiertOhneAktivierung) {
        return gewuenscht;
    }
    return ZeigeModus::Maximiert;
}

void TSDIDecFrame::MenueAufbauen() {
    for (const Hauptmenue::Popup& popup : Hauptmenue::Menue()) {
        QMenu* menu = menuBar()->addMenu(QtText::From(popup.text));
        for (const Hauptmenue::Eintrag& eintrag : popup.eintraege) {
            if (eintrag.befehl == 0) {
                menu->addSeparator();
                continue;
            }
            // The text after the tab is the shortcut's name, as the menu shows it.
            QAction* action = menu->addAction(QtText::From(eintrag.text));
            int befehl = eintrag.befehl;
            action->setStatusTip(QtText::From(Hauptmenue::Hinweis(befehl)));
            action->setData(befehl);
            connect(action, &QAction::triggered, this, [this, befehl] { Befehl(befehl); });
            aktionen_[befehl] = action;
        }
    }
    for (const Hauptmenue::Taste& taste : Hauptmenue::Tasten()) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(QString::fromStdString(taste.taste)));
        action->setShortcutContext(Qt::WindowShortcut);
        int befehl = taste.befehl;
        connect(action, &QAction::triggered, this, [this, befehl] { Befehl(befehl); });
        addAction(action);
        tasten_[befehl] = action;
    }
    // A window manager takes Alt+F4 itself; without one the window does.
    if (QAction* beenden = Aktion(Hauptmenue::kBeenden)) {
        beenden->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
        beenden->setShortcutContext(Qt::WindowShortcut);
    }
}

void TSDIDecFrame::QuickMenueAufbauen() {
    quickMenue_ = new QDockWidget(QtText::From(Hauptmenue::kWerkzeugleisteTitel), this);
    quickMenue_->setObjectName(QStringLiteral("c%1").arg(Hauptmenue::kWerkzeugleisteId));
    quickMenue_->setAllowedAreas(Qt::AllDockWidgetAreas);
    quickMenue_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    QFont font = quickMenue_->font();
    font.setPointSize(10);
    font.setBold(false);
    font.setItalic(false);
    quickMenue_->setFont(font);

    auto* inhalt = new QWidget(quickMenue_);
    quickLayout_ = new QBoxLayout(QBoxLayout::TopToBottom, inhalt);
    quickLayout_->setContentsMargins(4, 0, 4, 4);
    quickLayout_->setSpacing(2);
    for (const Hauptmenue::Knopf& knopf : Hauptmenue::Werkzeugleiste()) {
        if (knopf.befehl == 0) {
            quickLayout_->addSpacing(knopf.abstand);
            continue;
        }
        auto* button = new QToolButton(inhalt);
        QPixmap bild(QStringLiteral(":/bitmaps/%1.png").arg(knopf.bitmap));
        button->setIcon(QIcon(bild));
        button->setIconSize(bild.size());
        button->setAutoRaise(true);
        QAction* menuAktion = Aktion(knopf.befehl);
        if (menuAktion != nullptr) {
            QString text = menuAktion->text().section('\t', 0, 0).remove('&');
            if (text.endsWith(QStringLiteral(".."))) {
                text.chop(2);
            }
            button->setToolTip(text);
            // A screen reader cannot read the picture; it names the command.
            button->setAccessibleName(text);
        }
        int befehl = knopf.befehl;
        connect(button, &QToolButton::clicked, this, [this, befehl] { Befehl(befehl); });
        quickLayout_->addWidget(button, 0, Qt::AlignHCenter);
        knoepfe_[befehl] = button;
    }
    quickLayout_->addStretch(1);
    quickMenue_->setWidget(inhalt);
    addDockWidget(Qt::LeftDockWidgetArea, quickMenue_);
    connect(quickMenue_, &QDockWidget::dockLocationChanged, this,
            [this](Qt::DockWidgetArea area) { QuickMenueAusrichten(area); });
    connect(quickMenue_, &QDockWidget::topLevelChanged, this, [this](bool schwebend) {
        if (schwebend) {
            QuickMenueAusrichten(Qt::LeftDockWidgetArea);
        }
    });
    quickMenue_->setFloating(true);
    quickMenue_->move(Hauptmenue::kWerkzeugleisteX, Hauptmenue::kWerkzeugleisteY);
}

void TSDIDecFrame::QuickMenueAusrichten(Qt::DockWidgetArea area) {
    // Docked at the top or bottom edge the buttons stand side by side.
    bool waagerecht = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    quickLayout_->setDirection(waagerecht ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    for (auto& [befehl, button] : knoepfe_) {
        quickLayout_->setAlignment(button, waagerecht ? Qt::AlignVCenter : Qt::AlignHCenter);
    }
}

QAction* TSDIDecFrame::Aktion(int befehl) const {
    auto it = aktionen_.find(befehl);
    return it == aktionen_.end() ? nullptr : it->second;
}

void TSDIDecFrame::Aktualisieren() {
    if (!befehle_) {
        return;
    }
    for (auto& [befehl, action] : aktionen_) {
        action->setEnabled(befehle_->Verfuegbar(befehl));
    }
    for (auto& [befehl, action] : tasten_) {
        action->setEnabled(befehle_->Verfuegbar(befehl));
    }
    for (auto& [befehl, button] : knoepfe_) {
        button->setEnabled(befehle_->Verfuegbar(befehl));
    }
}

void TSDIDecFrame::Befehl(int befehl) {
    if (befehl == Hauptmenue::kBeenden) {
        close();
        return;
    }
    if (!befehle_) {
        return;
    }
    services_.Guard([this, befehl] { befehle_->Befehl(befehl); });
    if (std::unique_ptr<Rueckspielauftrag> auftrag = befehle_->AusstehendesZurueckspielen()) {
        DatenNeuStarten(*auftrag);
    }
    Aktualisieren();
}

void TSDIDecFrame::DatenNeuStarten(Rueckspielauftrag& auftrag) {
    // The data set goes as at the end of a run (writing what it holds), the
    // restored files take the place of its files, and it is opened anew as
    // at a start, notes, customers and all.
    auto schliessen = [this] {
        services_.DestroyModeless();
        befehle_.reset();
        daten_.reset();
    };
    auto oeffnen = [this] {
        try {
            daten_ = std::make_unique<Datenbestand>(kDaten);
        } catch (const std::exception& fehler) {
            const auto* meldung = dynamic_cast<const MessageException*>(&fehler);
            services_.MessageBox(
                (meldung != nullptr ? meldung->Text() : std::string(fehler.what())) +
                    "\n\nDie Daten können nicht geöffnet werden; Rebkontor wird "
                    "beendet."_w,
                "Rebkontor", MessageButtons::Ok, MessageIcon::Error);
            close();
            return;
        }
        BefehleAnlegen();
        SetupWindow();
        DatenEinlesen();
    };
    services_.Guard([&] { auftrag.Ausfuehren(services_, schliessen, oeffnen); });
}

void TSDIDecFrame::SetupWindow() {
    // The notes are tool windows of this window and are kept above it; for
    // that the window system must know this window before they open.
    winId();
    befehle_->SetMerkzettel(&daten_->MerkzettelOeffnen());
    Aktualisieren();
}

void TSDIDecFrame::Zeige(ZeigeModus modus) {
    // The notes and the toolbar belong above the main window. A window
    // manager keeps them there only when it knew the main window first, and
    // without one the window opened last is on top: so they open again
    // once the main window is on the screen.
    const bool sichtbar = modus == ZeigeModus::Maximiert || modus == ZeigeModus::Normal;
    if (sichtbar) {
        services_.ShowModeless(false);
    }
    switch (modus) {
        case ZeigeModus::Versteckt:
            break;
        case ZeigeModus::MinimiertOhneAktivierung:
            setAttribute(Qt::WA_ShowWithoutActivating);
            showMinimized();
            break;
        case ZeigeModus::Maximiert:
            // Without a window manager nobody maximises; then the window
            // takes the screen itself.
            if (QScreen* bildschirm = screen()) {
                setGeometry(bildschirm->availableGeometry());
            }
            showMaximized();
            break;
        case ZeigeModus::Normal:
            show();
            break;
    }
    if (quickMenue_->isFloating()) {
        quickMenue_->resize(quickMenue_->minimumSizeHint().expandedTo(QSize(1, 1)));
        quickMenue_->move(Hauptmenue::kWerkzeugleisteX, Hauptmenue::kWerkzeugleisteY);
        if (sichtbar) {
            quickMenue_->hide();
            quickMenue_->show();
        }
    }
    if (sichtbar) {
        services_.ShowModeless(true);
    }
    DatenEinlesen();
}

void TSDIDecFrame::DatenEinlesen() {
    {
        auto notiz = std::make_unique<DisplayEvent>();
        DisplayEvent* hinweis = notiz.get();
        services_.Open(std::move(notiz));
        // Painted once, so that it can be read; no input reaches the program
        // before the customers are there.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        struct Schliessen {
            DisplayEvent* hinweis;
            ~Schliessen() {
                if (hinweis->HasWindow()) {
                    hinweis->Win().Close(ControlId::kOk);
                }
            }
        } schliessen{hinweis};
        daten_->KundenEinlesen();
    }
    // Told once, when the data are there: what the start found wrong with
    // the files (an incomplete record kept aside, a log book not to be had).
    std::string meldung;
    for (const std::string& text : daten_->Startmeldungen()) {
        meldung += (meldung.empty() ? "" : "\n\n") + text;
    }
    if (!meldung.empty()) {
        services_.MessageBox(meldung, "Datenbestand", MessageButtons::Ok, MessageIcon::Warning);
    }
    befehle_->ZurueckgesetzteEinstellungen();
    // The customer commands wait for the customers.
    Aktualisieren();
}

void TSDIDecFrame::closeEvent(QCloseEvent* event) {
    event->accept();
    // Closing the main window ends the program, whatever else is open. The
    // toolkit's quit would first ask every window to close, and the notes and
    // the toolbar refuse, so the event loop is ended directly; the orderly
    // shutdown follows when the run returns.
    if (QThread::currentThread()->loopLevel() > 0) {
        QApplication::exit(0);
    }
}
