#include "app/QtServices.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "app/PersonalSettings.h"
#include "app/PreViewWindow.h"
#include "app/QtText.h"
#include "app/QtWindow.h"
#include "documents/Ausgabeziel.h"
#include "printing/Briefkopf.h"
#include "printing/RechnungRenderer.h"
#include "windowing/Dialog.h"
#include "windowing/FileFilter.h"

namespace {

std::string Describe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unbekannter Fehler";
    }
}

}  // namespace

QtServices::QtServices() : quit_([] { QApplication::exit(0); }) {}

QtServices::~QtServices() {
    ForgetPrograms();
}

QWidget* QtServices::ActiveWindow() const {
    if (!modal_.empty()) {
        return modal_.back();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return mainWindow_.data();
}

void QtServices::Guard(const std::function<void()>& call) {
    try {
        call();
    } catch (...) {
        HandleException(Describe(std::current_exception()));
    }
}

bool QtServices::GuardQuietly(const std::function<void()>& call) {
    if (reporting_ || reportPending_) {
        return false;  // one fault, one box
    }
    try {
        call();
        return true;
    } catch (...) {
        std::string text = Describe(std::current_exception());
        reportPending_ = true;
        QTimer::singleShot(0, [this, text] {
            HandleException(text);
            reportPending_ = false;
        });
        return false;
    }
}

void QtServices::HandleException(const std::string& text) {
    if (quitting_) {
        return;
    }
    reporting_ = true;
    while (waiting_ > 0) {
        ArrowCursor();
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Unhandled Exception"),
                    QtText::From(text) + QStringLiteral("\n\nOK to resume?"),
                    QMessageBox::Yes | QMessageBox::No, ActiveWindow());
    Beschriften(box);
    box.setDefaultButton(QMessageBox::Yes);
    int answer = box.exec();
    reporting_ = false;
    if (answer == QMessageBox::No) {
        quitting_ = true;
        CloseAll();
        // The runs unwind first; then the main window closes, which saves.
        QTimer::singleShot(0, [this] { quit_(); });
    }
}

void QtServices::CloseAll() {
    for (auto it = modal_.rbegin(); it != modal_.rend(); ++it) {
        (*it)->Close(ControlId::kCancel);
    }
    for (auto& window : modeless_) {
        if (window) {
            window->Close(ControlId::kCancel);
        }
    }
    modeless_.clear();
    for (auto& preview : previews_) {
        if (preview) {
            preview->close();
        }
    }
    previews_.clear();
}

void QtServices::DestroyModeless() {
    for (auto& window : modeless_) {
        delete window.data();
    }
    modeless_.clear();
    for (auto& preview : previews_) {
        delete preview.data();
    }
    previews_.clear();
    // Whoever asked for a program is going away; the program itself keeps
    // running.
    ForgetPrograms();
}

void QtServices::ForgetPrograms() {
    // The programs keep running; nobody is told about them any more.
    for (auto& program : programs_) {
        if (program) {
            program->disconnect();
        }
    }
    programs_.clear();
}

void QtServices::ShowModeless(bool visible) {
    for (auto& window : modeless_) {
        if (window && !window->IsClosed()) {
            window->setVisible(visible);
            if (visible) {
                window->raise();
            }
        }
    }
}

Answer QtServices::MessageBox(const std::string& text, const std::string& caption,
                              MessageButtons buttons, MessageIcon icon, Answer defaultButton) {
    return Frage(QtText::From(text), QtText::From(caption), buttons, icon, defaultButton);
}

void QtServices::Meldung(const QString& text, const QString& caption, QWidget* fenster) {
    Frage(text, caption, MessageButtons::Ok, MessageIcon::Warning, Answer::Ok, fenster);
}

Answer QtServices::Frage(const QString& text, const QString& caption, MessageButtons buttons,
                         MessageIcon icon, Answer defaultButton, QWidget* fenster) {
    if (quitting_) {
        // The program is ending in order; a command still unwinding gets the
        // answer that changes nothing.
        return buttons == MessageButtons::Ok            ? Answer::Ok
               : buttons == MessageButtons::YesNoCancel ? Answer::Cancel
                                                        : Answer::No;
    }
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case MessageIcon::Warning:
            qtIcon = QMessageBox::Warning;
            break;
        case MessageIcon::Question:
            qtIcon = QMessageBox::Question;
            break;
        case MessageIcon::Error:
            qtIcon = QMessageBox::Critical;
            break;
        case MessageIcon::None:
            break;
    }
    QMessageBox::StandardButtons qtButtons = QMessageBox::Ok;
    if (buttons == MessageButtons::YesNo) {
        qtButtons = QMessageBox::Yes | QMessageBox::No;
    } else if (buttons == MessageButtons::YesNoCancel) {
        qtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    QMessageBox box(qtIcon, caption, text, qtButtons,
                    fenster != nullptr ? fenster : ActiveWindow());
    Beschriften(box);
    QMessageBox::StandardButton standard = QMessageBox::Ok;
    switch (defaultButton) {
        case Answer::Yes:
            standard = QMessageBox::Yes;
            break;
        case Answer::No:
            standard = QMessageBox::No;
            break;
        case Answer::Cancel:
            standard = QMessageBox::Cancel;
            break;
        case Answer::Ok:
            break;
    }
    if (box.button(standard) != nullptr) {
        box.setDefaultButton(standard);
    }
    // A question is answered with the mouse or a key, never by the cursor
    // shape of a long operation that asked it.
    bool wasWaiting = waiting_ > 0;
    if (wasWaiting) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    int answer = box.exec();
    if (wasWaiting) {
        QApplication::restoreOverrideCursor();
    }
    switch (answer) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            // Escape: the box's safe answer.
            return buttons == MessageButtons::Ok            ? Answer::Ok
                   : buttons == MessageButtons::YesNoCancel ? Answer::Cancel
                                                            : Answer::No;
    }
}

void QtServices::Beschriften(QMessageBox& box) {
    // German, with access keys: a letter answers the box (J, N, A), as the
    // underlined letter shows.
    if (auto* b = box.button(QMessageBox::Ok))
        b->setText(QStringLiteral("OK"));
    if (auto* b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("&Ja"));
    if (auto* b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("&Nein"));
    if (auto* b = box.button(QMessageBox::Cancel))
        b->setText(QStringLiteral("&Abbrechen"));
}

void QtServices::StatusMessage(const std::string& text) {
    if (auto* fenster = qobject_cast<QMainWindow*>(mainWindow_.data())) {
        fenster->statusBar()->showMessage(QtText::From(text), kStatusDauer);
    }
}

void QtServices::WaitCursor() {
    // Nested long operations keep one wait cursor; the next arrow takes it
    // away.
    if (waiting_ == 0) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        waiting_ = 1;
    }
}

void QtServices::ArrowCursor() {
    if (waiting_ > 0) {
        QApplication::restoreOverrideCursor();
        waiting_ = 0;
    }
}

void QtServices::ProcessEvents() {
    // Paint and timers only: a click now would reach a dialog in the middle
    // of its own work.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

namespace {

// The file dialog's filter names, "Beschreibung (*.a *.b)".
QStringList FilterNamen(const std::vector<FileFilter::Entry>& filters) {
    QStringList names;
    for (const auto& entry : filters) {
        QStringList patterns;
        for (const auto& p : entry.patterns) {
            patterns << QtText::From(p);
        }
        names << QtText::From(FileFilter::BareDescription(entry.description)) + " (" +
                     patterns.join(' ') + ")";
    }
    return names;
}

}  // namespace

std::optional<SaveFileResult> QtServices::SaveFile(const SaveFileRequest& request) {
    if (quitting_) {
        return std::nullopt;
    }
    std::vector<FileFilter::Entry> filters = FileFilter::Parse(request.filter);
    const QStringList names = FilterNamen(filters);
    QFileDialog dialog(ActiveWindow(), QtText::From(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(names);
    // Each kind of file (named by the dialog's title) starts in the folder it
    // was last saved in, the first time in the user's documents folder: not
    // where the program happens to run, nor a temporary folder.
    const QString art = QtText::From(request.title);
    QString dir = PersonalSettings::Folder(art);
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        dir = QDir::homePath();
    }
    dialog.setDirectory(dir);
    if (!request.fileName.empty() && !FileFilter::IsPattern(request.fileName)) {
        dialog.selectFile(QtText::FromPath(request.fileName));
    }
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const std::string gewaehlt = QtText::ToPath(dialog.selectedFiles().front());
        const int filter =
            std::max(1, static_cast<int>(names.indexOf(dialog.selectedNameFilter())) + 1);
        SaveFileResult result = FileFilter::Complete(gewaehlt, filters, filter, request.defaultExt);
        // The dialog asked before it returned a file that exists; a name
        // completed here is another file, and the question is asked here.
        const QString datei = QtText::FromPath(result.path);
        if (result.path == gewaehlt || !QFileInfo::exists(datei) ||
            Frage(
                QStringLiteral("Die Datei \u00bb%1\u00ab gibt es bereits. Soll sie ersetzt werden?")
                    .arg(datei),
                QtText::From(request.title), MessageButtons::YesNo, MessageIcon::Warning,
                Answer::No) == Answer::Yes) {
            PersonalSettings::SetFolder(art, QFileInfo(datei).absolutePath());
            return result;
        }
        dialog.selectFile(datei);
    }
}

std::optional<std::string> QtServices::ChooseFolder(const FolderRequest& request) {
    if (quitting_) {
        return std::nullopt;
    }
    QFileDialog dialog(ActiveWindow(), QtText::From(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // A folder on a stick or a network drive that is not there starts the
    // chooser in the home folder instead.
    const QString start = QtText::FromPath(request.initialDir);
    dialog.setDirectory(!start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QtText::ToPath(dialog.selectedFiles().front());
}

std::optional<std::string> QtServices::OpenFile(const OpenFileRequest& request) {
    if (quitting_) {
        return std::nullopt;
    }
    const QStringList names = FilterNamen(FileFilter::Parse(request.filter));
    QFileDialog dialog(ActiveWindow(), QtText::From(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
    }
    const QString start = QtText::FromPath(request.initialDir);
    dialog.setDirectory(!start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QtText::ToPath(dialog.selectedFiles().front());
}

int QtServices::Execute(Dialog& dialog) {
    if (quitting_) {
        return ControlId::kCancel;
    }
    QtWindow window(dialog, *this, ActiveWindow(), false);
    dialog.SetupWindow();
    if (window.IsClosed()) {
        return window.Result();
    }
    modal_.push_back(&window);
    struct Pop {
        std::vector<QtWindow*>& stack;
        ~Pop() { stack.pop_back(); }
    } pop{modal_};
    window.exec();
    return window.IsClosed() ? window.Result() : ControlId::kCancel;
}

void QtServices::Open(std::unique_ptr<Dialog> dialog) {
    Dialog& logic = *dialog;
    auto* window = new QtWindow(logic, *this, mainWindow_.data(), true);
    window->Own(std::move(dialog));
    try {
        logic.SetupWindow();
    } catch (...) {
        delete window;
        throw;
    }
    if (!window->IsClosed()) {
        window->show();
        modeless_.push_back(window);
    }
}

void QtServices::StartProgram(const std::vector<std::string>& argv, std::function<void()> failed) {
    if (argv.empty()) {
        return;
    }
    QStringList arguments;
    for (std::size_t i = 1; i < argv.size(); ++i) {
        arguments << QtText::FromPath(argv[i]);
    }
    // Not detached: only so can its end be seen. An opener such as xdg-open
    // ends at once, with an error when it found no program for the file.
    auto* process = new QProcess(QApplication::instance());
    process->setProgram(QtText::FromPath(argv[0]));
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    auto einmal = std::make_shared<std::function<void()>>(std::move(failed));
    auto melden = [this, einmal] {
        if (*einmal && !quitting_) {
            std::function<void()> call = std::move(*einmal);
            *einmal = nullptr;
            Guard(call);
        }
    };
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, melden](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             process->deleteLater();
                             melden();
                         }
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, melden](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0) {
                             melden();
                         }
                     });
    programs_.erase(std::remove(programs_.begin(), programs_.end(), nullptr), programs_.end());
    programs_.push_back(process);
    process->start();
}

bool QtServices::Print(const std::vector<PrintJob>& jobs) {
    if (quitting_ || jobs.empty()) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QtText::From(jobs.front().title));
    printer.setPaperSource(jobs.front().paperSource == 2 ? QPrinter::Lower : QPrinter::Upper);
    QPrintDialog dialog(&printer, ActiveWindow());
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    // Printing into a file is an export like any other: it must not replace
    // a data file or something that is no file of its own.
    if (!printer.outputFileName().isEmpty()) {
        const std::string hindernis =
            Ausgabeziel::Hindernis(QtText::ToPath(printer.outputFileName()));
        if (!hindernis.empty()) {
            MessageBox(hindernis + " Es wurde nichts gedruckt.", "Drucken", MessageButtons::Ok,
                       MessageIcon::Warning);
            return false;
        }
    }
    const Briefkopf briefkopf;
    // Printers that cannot make copies themselves (printing to a file) get
    // every copy from here.
    const int kopien = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    WaitCursor();
    bool gedruckt = true;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A file holds what it was given last: every document goes into it
        // in one run.
        gedruckt = RechnungRenderer::Drucken(jobs, briefkopf, printer, kopien);
    } else {
        // To a printer each document is a job of its own, with its title and
        // its paper bin.
        for (const PrintJob& job : jobs) {
            printer.setDocName(QtText::From(job.title));
            printer.setPaperSource(job.paperSource == 2 ? QPrinter::Lower : QPrinter::Upper);
            if (!RechnungRenderer(job, briefkopf).Drucken(printer, kopien)) {
                gedruckt = false;
                break;
            }
        }
    }
    ArrowCursor();
    if (!gedruckt) {
        MessageBox("Der Drucker konnte nicht angesprochen werden.", "Drucken");
    }
    return gedruckt;
}

void QtServices::Preview(std::unique_ptr<PrintJob> job) {
    if (quitting_) {
        return;
    }
    previews_.erase(std::remove(previews_.begin(), previews_.end(), nullptr), previews_.end());
    // A dialog that prints runs modally; a preview that belonged to the main
    // window would open behind it and take no input until it closed. It
    // belongs to the dialog while that is open, and is handed back to the
    // main window before the dialog goes, so it outlives it.
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QWidget* eltern = dialog != nullptr ? dialog : mainWindow_.data();
    auto* window = new PreViewWindow(std::move(job), *this, eltern);
    if (dialog != nullptr) {
        QPointer<PreViewWindow> vorschau(window);
        QObject::connect(dialog, &QDialog::finished, window, [this, vorschau] {
            if (vorschau != nullptr) {
                const QRect ort = vorschau->geometry();
                vorschau->setParent(mainWindow_.data(), vorschau->windowFlags());
                vorschau->setGeometry(ort);
                vorschau->show();
            }
        });
    }
    window->show();
    previews_.push_back(window);
}
