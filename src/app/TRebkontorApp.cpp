#include "app/TRebkontorApp.h"

#include <QAccessible>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <clocale>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/AccessibleComboBox.h"
#include "app/QtText.h"
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

bool TRebkontorApp::Starten(TSDIDecFrame::ZeigeModus modus) {
    try {
        sperre_ = std::make_unique<DatenSperre>(TSDIDecFrame::kDaten);
    } catch (const MessageException& belegt) {
        services_.MessageBox(belegt.Text(), "Rebkontor", MessageButtons::Ok, MessageIcon::Error);
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

void TRebkontorApp::Beenden() {
    frame_.reset();
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
    Beenden();
    return code;
}
