#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "windowing/FakeWindow.h"
#include "windowing/Services.h"

// The application services in memory, for tests. Message boxes and file
// dialogs are answered from a script and recorded; a question nobody
// scripted an answer for is a test fault and raises std::logic_error, as
// does a file dialog nobody expected. Child dialogs get in-memory windows
// built from their layouts in the layout directory (when one is set).
class FakeServices : public Services {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::None;
        ::Answer defaultButton = ::Answer::Yes;
    };

    // What the user does in a child dialog run modally; the run ends with
    // the result the window was closed with, or as Escape would end it.
    using Script = std::function<void(FakeWindow&)>;

    FakeServices();
    ~FakeServices() override;

    // Where "dialog<id>.ui" files are found, and how their texts become the
    // program's; empty: windows without layout.
    void SetLayoutDir(const std::string& dir, UiLayout::Umwandlung umwandlung) {
        layoutDir_ = dir;
        umwandlung_ = umwandlung;
    }

    // Builds the dialog's window and sets it up, as a modal run begins, and
    // leaves it open for the test to act on.
    FakeWindow& Show(Dialog& dialog);

    // The next answers to questions (Yes/No or Yes/No/Cancel boxes), in order.
    void Answer(::Answer answer) { answers_.push_back(answer); }
    // The next question is answered with Enter: its default button.
    void AnswerWithEnter() { answers_.push_back(std::nullopt); }
    // The next save-file dialog's result (nothing: cancelled).
    void SaveFileAnswer(std::optional<SaveFileResult> result) { saveAnswers_.push_back(result); }
    // The next folder or file chooser's result (nothing: cancelled).
    void FolderAnswer(std::optional<std::string> path) { folderAnswers_.push_back(path); }
    void OpenFileAnswer(std::optional<std::string> path) { openAnswers_.push_back(path); }
    const std::vector<FolderRequest>& FolderRequests() const { return folderRequests_; }
    const std::vector<OpenFileRequest>& OpenRequests() const { return openRequests_; }
    // What the user does in the next child dialog run modally.
    void OnExecute(Script script) { scripts_.push_back(std::move(script)); }

    const std::vector<Message>& Messages() const { return messages_; }
    const Message& LastMessage() const;
    void ClearMessages() { messages_.clear(); }
    const std::vector<SaveFileRequest>& SaveRequests() const { return saveRequests_; }
    // "wait" and "arrow", in the order they were asked for.
    const std::vector<std::string>& Cursors() const { return cursors_; }
    bool IsWaiting() const { return waiting_; }
    // How often a long operation let the windows repaint.
    int EventRounds() const { return eventRounds_; }
    // Resource numbers of the child dialogs run modally, in order.
    const std::vector<int>& Executed() const { return executed_; }
    const std::vector<std::vector<std::string>>& Started() const { return started_; }
    // Programs started from now on fail (as one that is not installed or
    // finds nothing to open the file with); the caller hears of it at once.
    void FailPrograms(bool fail) { programsFail_ = fail; }
    // The modeless windows still open, in the order they were opened.
    std::vector<FakeWindow*> OpenWindows();
    std::size_t PendingAnswers() const { return answers_.size(); }
    // Print jobs: the next print dialog is cancelled (by default the user
    // confirms it); how many print dialogs were shown; the jobs that went to
    // the printer, in order; the preview windows opened, in order, with the
    // jobs they own.
    void CancelNextPrint() { printCancels_.push_back(true); }
    int PrintDialogs() const { return printDialogs_; }
    const std::vector<PrintJob>& Printed() const { return printed_; }
    // What the status bar said, in order.
    const std::vector<std::string>& StatusMessages() const { return statusMessages_; }
    const std::vector<std::unique_ptr<PrintJob>>& Previews() const { return previews_; }
    // The PDF output the dialogs get; none unless a test hands one in.
    void SetDokumente(Dokumentausgabe* ausgabe) { dokumente_ = ausgabe; }

    ::Answer MessageBox(const std::string& text, const std::string& caption,
                        MessageButtons buttons = MessageButtons::Ok,
                        MessageIcon icon = MessageIcon::None,
                        ::Answer defaultButton = ::Answer::Yes) override;
    void StatusMessage(const std::string& text) override { statusMessages_.push_back(text); }
    void WaitCursor() override;
    void ArrowCursor() override;
    void ProcessEvents() override { ++eventRounds_; }
    std::optional<SaveFileResult> SaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> ChooseFolder(const FolderRequest& request) override;
    std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
    int Execute(Dialog& dialog) override;
    void Open(std::unique_ptr<Dialog> dialog) override;
    void StartProgram(const std::vector<std::string>& argv,
                      std::function<void()> failed = {}) override;
    bool Print(const std::vector<PrintJob>& jobs) override;
    void Preview(std::unique_ptr<PrintJob> job) override;
    Dokumentausgabe* Dokumente() override { return dokumente_; }

  private:
    std::unique_ptr<FakeWindow> Build(Dialog& dialog);

    struct Modeless {
        std::unique_ptr<Dialog> dialog;
        std::unique_ptr<FakeWindow> window;
    };

    std::string layoutDir_;
    UiLayout::Umwandlung umwandlung_ = nullptr;
    std::deque<std::optional<::Answer>> answers_;  // nothing: Enter
    std::deque<std::optional<SaveFileResult>> saveAnswers_;
    std::deque<Script> scripts_;
    std::vector<Message> messages_;
    std::vector<SaveFileRequest> saveRequests_;
    std::deque<std::optional<std::string>> folderAnswers_;
    std::deque<std::optional<std::string>> openAnswers_;
    std::vector<FolderRequest> folderRequests_;
    std::vector<OpenFileRequest> openRequests_;
    std::vector<std::string> cursors_;
    bool waiting_ = false;
    int eventRounds_ = 0;
    std::vector<int> executed_;
    std::vector<std::vector<std::string>> started_;
    bool programsFail_ = false;
    std::vector<std::unique_ptr<FakeWindow>> shown_;
    std::vector<Modeless> modeless_;
    std::deque<bool> printCancels_;
    int printDialogs_ = 0;
    std::vector<std::string> statusMessages_;
    std::vector<PrintJob> printed_;
    std::vector<std::unique_ptr<PrintJob>> previews_;
    Dokumentausgabe* dokumente_ = nullptr;
};
