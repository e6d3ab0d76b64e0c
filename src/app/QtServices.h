#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "printing/PdfAusgabe.h"
#include "windowing/Services.h"

class QMessageBox;
class QProcess;
class QString;
class QWidget;
class QtWindow;

// The application services over Qt, and the program's one top-level handler
// for exceptions: every call from the toolkit into the program's logic runs
// through Guard.
class QtServices : public Services {
  public:
    QtServices();
    ~QtServices() override;

    QtServices(const QtServices&) = delete;
    QtServices& operator=(const QtServices&) = delete;

    // The main window: parent of modeless windows and of boxes asked for
    // while no dialog is open.
    void SetMainWindow(QWidget* window) { mainWindow_ = window; }
    // What ends the program when the user does not want to resume after an
    // exception; by default the application's event loop ends.
    void SetQuit(std::function<void()> quit) { quit_ = std::move(quit); }

    // Runs `call`; an exception is shown with the question whether to
    // resume, and a No ends the program in order.
    void Guard(const std::function<void()>& call);
    // For calls made while the toolkit paints: the exception is shown once
    // the painting is over. False when the call failed or was not made.
    bool GuardQuietly(const std::function<void()>& call);
    // Shows the text in the box "Unhandled Exception" / "OK to resume?".
    void HandleException(const std::string& text);
    bool Quitting() const { return quitting_; }

    // Ends every modal run and closes every modeless window.
    void CloseAll();
    // Destroys the modeless windows at once (their logic with them), before
    // what they show goes away; programs still running report nothing more.
    void DestroyModeless();
    // Hides the modeless windows, or shows them again on top.
    void ShowModeless(bool visible);

    Answer MessageBox(const std::string& text, const std::string& caption,
                      MessageButtons buttons = MessageButtons::Ok,
                      MessageIcon icon = MessageIcon::None,
                      Answer defaultButton = Answer::Yes) override;
    // A message with an OK button in the toolkit's own text, for what the
    // program's encoding cannot say (characters it cannot store); over
    // `fenster` when given, else over the active window.
    void Meldung(const QString& text, const QString& caption, QWidget* fenster = nullptr);
    void StatusMessage(const std::string& text) override;
    // How long the status bar keeps a message.
    static constexpr int kStatusDauer = 8000;
    void WaitCursor() override;
    void ArrowCursor() override;
    void ProcessEvents() override;
    std::optional<SaveFileResult> SaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> ChooseFolder(const FolderRequest& request) override;
    std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
    int Execute(Dialog& dialog) override;
    void Open(std::unique_ptr<Dialog> dialog) override;
    void StartProgram(const std::vector<std::string>& argv,
                      std::function<void()> failed = {}) override;
    bool Print(const std::vector<PrintJob>& jobs) override;
    void Preview(std::unique_ptr<PrintJob> job) override;
    Dokumentausgabe* Dokumente() override { return &pdf_; }

    QWidget* ActiveWindow() const;

  private:
    void ForgetPrograms();
    Answer Frage(const QString& text, const QString& caption, MessageButtons buttons,
                 MessageIcon icon, Answer defaultButton, QWidget* fenster = nullptr);
    static void Beschriften(QMessageBox& box);

    QPointer<QWidget> mainWindow_;
    std::function<void()> quit_;
    std::vector<QtWindow*> modal_;
    std::vector<QPointer<QtWindow>> modeless_;
    std::vector<QPointer<QWidget>> previews_;
    // Programs started and not yet ended, whose failure is reported.
    std::vector<QPointer<QProcess>> programs_;
    bool quitting_ = false;
    bool reporting_ = false;
    bool reportPending_ = false;
    int waiting_ = 0;
    PdfAusgabe pdf_;
};
