#include "app/TRebkontorApp.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QAccessible>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "app/AccessibleComboBox.h"
#include "app/FensterAktivierung.h"
#include "app/QtText.h"
#include "cli/Beispieldaten.h"
#include "dialogs/DatensicherungDlg.h"
#include "sicherung/Datensicherung.h"
#include "storage/Datum.h"
#include "storage/Fehler.h"
#include "storage/MessageException.h"

// The bitmaps live in the static library; their registration must be asked
// for from outside any namespace.
static void Ressourcen() {
    Q_INIT_RESOURCE(rebkontor);
}

TRebkontorApp::TRebkontorApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt takes over the desktop's locale for the C library too. Every amount
    // the program prints or writes has a decimal point, whatever the desktop
    // says; German number formats belong to Qt's own QLocale, not to printf.
    std::setlocale(LC_NUMERIC, "C");
    Ressourcen();
    setApplicationName(QStringLiteral("Rebkontor"));
    setApplicationDisplayName(QStringLiteral("Rebkontor"));
    // Lets the desktop find the menu entry, and so the icon, of the window.
    setDesktopFileName(QStringLiteral(REBKONTOR_APP_ID));
    setWindowIcon(QIcon(QStringLiteral(":/bitmaps/1001.png")));
    // The program speaks German whatever the desktop's language is; the
    // toolkit's own dialogs (files, printing) and buttons shall do so too.
    // Without the translations installed they stay English.
    auto* deutsch = new QTranslator(this);
    if (deutsch->load(QStringLiteral("qtbase_de"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(deutsch);
    }
    // Combo boxes are named by their labels for screen readers.
    QAccessible::installFactory(AccessibleComboBox::Factory);
    // The notes are windows of their own; the program ends with the main
    // window, not with the last window.
    setQuitOnLastWindowClosed(false);
    installEventFilter(new FensterAktivierung(this));
}

TRebkontorApp::~TRebkontorApp() {
    frame_.reset();
    sperre_.reset();
}

bool TRebkontorApp::DisplayVorhanden() {
    auto gesetzt = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (gesetzt("WAYLAND_DISPLAY") || gesetzt("QT_QPA_PLATFORM")) {
        return true;
    }
    if (!gesetzt("DISPLAY")) {
        return false;
    }
    // A local display ":N" is a socket; when it is not there, no X server
    // runs, and the toolkit would only abort.
    std::string display = std::getenv("DISPLAY");
    if (display.size() > 1 && display[0] == ':') {
        std::string nummer = display.substr(1, display.find('.') - 1);
        if (!nummer.empty() && nummer.find_first_not_of("0123456789") == std::string::npos) {
            return QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") +
                                     QString::fromStdString(nummer));
        }
    }
    return true;
}

bool TRebkontorApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        services_.HandleException(e.what());
    } catch (...) {
        services_.HandleException("Unbekannter Fehler");
    }
    return false;
}

void TRebkontorApp::Abbruch(const QString& text) {
    services_.Meldung(text, QStringLiteral("Rebkontor"));
}

bool TRebkontorApp::InArbeitsordner(bool& fehlt) {
    fehlt = false;
    std::error_code unbekannt;
    const QString ordner =
        QtText::FromPath(std::filesystem::absolute(*arbeitsordner_, unbekannt).string());
    struct stat st {};
    if (::stat(arbeitsordner_->c_str(), &st) != 0) {
        if (errno == ENOENT) {
            fehlt = true;
            return true;
        }
    } else if (!S_ISDIR(st.st_mode)) {
        Abbruch(QStringLiteral("Der Arbeitsordner \u00bb%1\u00ab ist kein Ordner. Rebkontor wird "
                               "beendet.")
                    .arg(ordner));
        return false;
    } else if (::chdir(arbeitsordner_->c_str()) == 0) {
        return true;
    }
    const Fehler grund(Fehler::Vorgang::Oeffnen, *arbeitsordner_, errno);
    Abbruch(QStringLiteral("Im Arbeitsordner \u00bb%1\u00ab kann Rebkontor nicht arbeiten (%2). "
                           "Rebkontor wird beendet.")
                .arg(ordner, QtText::From(grund.Grund())));
    return false;
}

TRebkontorApp::Datenordner TRebkontorApp::DatenordnerPruefen() {
    // A working folder that does not exist yet (the menu entry's
    // ~/Rebkontor on a first start) is made together with the data folder,
    // and only when the user says so.
    bool ordnerFehlt = false;
    if (arbeitsordner_ && !InArbeitsordner(ordnerFehlt)) {
        return Datenordner::Beenden;
    }
    std::error_code unbekannt;
    const QString arbeitsverzeichnis = QtText::FromPath(
        (ordnerFehlt ? std::filesystem::absolute(*arbeitsordner_, unbekannt).lexically_normal()
                     : std::filesystem::current_path(unbekannt))
            .string());
    if (!ordnerFehlt) {
        struct stat st {};
        if (::stat(TSDIDecFrame::kDaten, &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                return Datenordner::Vorhanden;
            }
            Abbruch(QStringLiteral("Im Arbeitsverzeichnis \u00bb%1\u00ab ist \u00bb%2\u00ab kein "
                                   "Ordner. Rebkontor erwartet dort seinen Datenordner und wird "
                                   "beendet.")
                        .arg(arbeitsverzeichnis, QString::fromLatin1(TSDIDecFrame::kDaten)));
            return Datenordner::Beenden;
        }
        if (errno != ENOENT) {
            // Whatever keeps the folder from being looked at, the data set
            // says when it tries to read it.
            return Datenordner::Vorhanden;
        }
    }
    // Started from a menu entry, the working directory is seldom the one the
    // user keeps the data in; so the folder is made only when the user says
    // so, and with the place named.
    QMessageBox frage(
        QMessageBox::Question, QStringLiteral("Rebkontor"),
        QStringLiteral("Im Arbeitsverzeichnis \u00bb%1\u00ab gibt es keinen "
                       "Datenordner \u00bb%2\u00ab, in dem Rebkontor Kunden, Weine "
                       "und Rechnungen speichert.\n\nSoll hier ein leerer "
                       "Datenordner angelegt werden, oder einer mit einem "
                       "Beispielbetrieb zum Ausprobieren? Oder soll Rebkontor beendet "
                       "werden?")
            .arg(arbeitsverzeichnis, QString::fromLatin1(TSDIDecFrame::kDaten)),
        QMessageBox::NoButton);
    QPushButton* leer =
        frage.addButton(QStringLiteral("&Leeren Datenordner anlegen"), QMessageBox::AcceptRole);
    QPushButton* beispiel =
        frage.addButton(QStringLiteral("&Mit Beispielbetrieb anlegen"), QMessageBox::ActionRole);
    QPushButton* beenden = frage.addButton(QStringLiteral("&Beenden"), QMessageBox::RejectRole);
    frage.setDefaultButton(leer);
    frage.setEscapeButton(beenden);
    frage.exec();
    if (frage.clickedButton() != leer && frage.clickedButton() != beispiel) {
        return Datenordner::Beenden;
    }
    if (ordnerFehlt) {
        std::filesystem::create_directories(*arbeitsordner_, unbekannt);
        if (unbekannt || ::chdir(arbeitsordner_->c_str()) != 0) {
            const Fehler grund(Fehler::Vorgang::Anlegen, *arbeitsordner_,
                               unbekannt ? unbekannt.value() : errno);
            Abbruch(QStringLiteral("Der Arbeitsordner \u00bb%1\u00ab konnte nicht angelegt "
                                   "werden (%2). Rebkontor wird beendet.")
                        .arg(arbeitsverzeichnis, QtText::From(grund.Grund())));
            return Datenordner::Beenden;
        }
    }
    if (::mkdir(TSDIDecFrame::kDaten, 0777) != 0) {
        const int fehler = errno;
        Abbruch(QStringLiteral("Der Datenordner \u00bb%1\u00ab konnte in \u00bb%2\u00ab nicht "
                               "angelegt werden (%3). Rebkontor wird beendet.")
                    .arg(QString::fromLatin1(TSDIDecFrame::kDaten), arbeitsverzeichnis,
                         QString::fromLocal8Bit(std::strerror(fehler))));
        return Datenordner::Beenden;
    }
    return frage.clickedButton() == beispiel ? Datenordner::Beispiel : Datenordner::Leer;
}

bool TRebkontorApp::BeispielAnlegen() {
    try {
        Wartecursor warten(services_);
        Beispieldaten::Anlegen(TSDIDecFrame::kDaten, beispielUmfang_, Beispieldaten::kStandardSeed,
                               Datum::Heute());
    } catch (const MessageException& fehler) {
        // The folder was made a moment ago for the sample; it goes again, so
        // that the next start asks anew.
        sperre_.reset();
        std::error_code ignoriert;
        std::filesystem::remove_all(TSDIDecFrame::kDaten, ignoriert);
        services_.MessageBox(fehler.Text() + " Rebkontor wird beendet.", "Rebkontor",
                             MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    return true;
}

bool TRebkontorApp::Starten(TSDIDecFrame::ZeigeModus modus) {
    const Datenordner ordner = DatenordnerPruefen();
    if (ordner == Datenordner::Beenden) {
        return false;
    }
    try {
        sperre_ = std::make_unique<DatenSperre>(TSDIDecFrame::kDaten);
    } catch (const MessageException& belegt) {
        services_.MessageBox(belegt.Text(), "Rebkontor", MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    if (ordner == Datenordner::Beispiel && !BeispielAnlegen()) {
        return false;
    }
    bool ok = true;
    services_.Guard([&] {
        try {
            frame_ = std::make_unique<TSDIDecFrame>(services_);
            frame_->SetupWindow();
            frame_->Zeige(TSDIDecFrame::StartModus(modus));
        } catch (...) {
            ok = false;
            throw;
        }
    });
    return ok;
}

void TRebkontorApp::Beenden(bool sichern) {
    const bool gelaufen = frame_ != nullptr;
    frame_.reset();
    // Still under the lock, from the files as the data set left them.
    if (sichern && gelaufen && sperre_ && sperre_->Gehalten()) {
        DatensicherungDlg::BeimBeenden(services_, Datensicherung(TSDIDecFrame::kDaten));
    }
    sperre_.reset();
}

int TRebkontorApp::Run(TSDIDecFrame::ZeigeModus modus) {
    // A start that failed half-way (no data directory, an unreadable
    // customer file) has been reported; what was built is saved and closed
    // in order, and the program ends.
    if (!Starten(modus)) {
        Beenden();
        return 1;
    }
    int code = exec();
    Beenden(true);
    return code;
}
