#include "windowing/FakeServices.h"

#include <stdexcept>

#include "windowing/Dialog.h"

FakeServices::FakeServices() = default;

FakeServices::~FakeServices() {
    for (auto& m : modeless_) {
        m.dialog->Detach();
    }
    // The dialogs of Show belong to the test and may be gone already.
}

std::unique_ptr<FakeWindow> FakeServices::Build(Dialog& dialog) {
    std::optional<UiLayout> layout;
    if (!layoutDir_.empty()) {
        layout = UiLayout::Load(
            layoutDir_ + "/dialog" + std::to_string(dialog.ResourceId()) + ".ui", umwandlung_);
    }
    auto window = std::make_unique<FakeWindow>(dialog, std::move(layout));
    dialog.Attach(window.get(), this);
    return window;
}

FakeWindow& FakeServices::Show(Dialog& dialog) {
    shown_.push_back(Build(dialog));
    FakeWindow& window = *shown_.back();
    dialog.SetupWindow();
    return window;
}

const FakeServices::Message& FakeServices::LastMessage() const {
    if (messages_.empty()) {
        throw std::logic_error("no message box was shown");
    }
    return messages_.back();
}

std::vector<FakeWindow*> FakeServices::OpenWindows() {
    std::vector<FakeWindow*> open;
    for (auto it = modeless_.begin(); it != modeless_.end();) {
        if (it->window->IsClosed()) {
            it->dialog->Detach();
            it = modeless_.erase(it);
        } else {
            open.push_back(it->window.get());
            ++it;
        }
    }
    return open;
}

::Answer FakeServices::MessageBox(const std::string& text, const std::string& caption,
                                  MessageButtons buttons, MessageIcon icon,
                                  ::Answer defaultButton) {
    messages_.push_back({text, caption, buttons, icon, defaultButton});
    if (buttons == MessageButtons::Ok) {
        return ::Answer::Ok;
    }
    if (answers_.empty()) {
        throw std::logic_error("unanswered question: " + caption + ": " + text);
    }
    ::Answer answer = answers_.front().value_or(defaultButton);
    answers_.pop_front();
    bool fits = answer == ::Answer::Yes || answer == ::Answer::No ||
                (answer == ::Answer::Cancel && buttons == MessageButtons::YesNoCancel);
    if (!fits) {
        throw std::logic_error("scripted answer does not fit the question: " + text);
    }
    return answer;
}

void FakeServices::WaitCursor() {
    cursors_.push_back("wait");
    waiting_ = true;
}

void FakeServices::ArrowCursor() {
    cursors_.push_back("arrow");
    waiting_ = false;
}

std::optional<SaveFileResult> FakeServices::SaveFile(const SaveFileRequest& request) {
    saveRequests_.push_back(request);
    if (saveAnswers_.empty()) {
        throw std::logic_error("unexpected save dialog: " + request.title);
    }
    auto answer = saveAnswers_.front();
    saveAnswers_.pop_front();
    return answer;
}

std::optional<std::string> FakeServices::ChooseFolder(const FolderRequest& request) {
    folderRequests_.push_back(request);
    if (folderAnswers_.empty()) {
        throw std::logic_error("unexpected folder chooser: " + request.title);
    }
    auto answer = folderAnswers_.front();
    folderAnswers_.pop_front();
    return answer;
}

std::optional<std::string> FakeServices::OpenFile(const OpenFileRequest& request) {
    openRequests_.push_back(request);
    if (openAnswers_.empty()) {
        throw std::logic_error("unexpected open dialog: " + request.title);
    }
    auto answer = openAnswers_.front();
    openAnswers_.pop_front();
    return answer;
}

int FakeServices::Execute(Dialog& dialog) {
    executed_.push_back(dialog.ResourceId());
    std::unique_ptr<FakeWindow> window = Build(dialog);
    dialog.SetupWindow();
    if (!scripts_.empty()) {
        Script script = std::move(scripts_.front());
        scripts_.pop_front();
        if (!window->IsClosed()) {
            script(*window);
        }
    }
    if (!window->IsClosed()) {
        window->CloseBox();
    }
    if (!window->IsClosed()) {
        // The dialog refused to close; a real run would wait for the user.
        window->Close(ControlId::kCancel);
    }
    dialog.Detach();
    return window->Result();
}

void FakeServices::Open(std::unique_ptr<Dialog> dialog) {
    (void)OpenWindows();
    Modeless m;
    m.dialog = std::move(dialog);
    m.window = Build(*m.dialog);
    modeless_.push_back(std::move(m));
    modeless_.back().dialog->SetupWindow();
}

void FakeServices::StartProgram(const std::vector<std::string>& argv,
                                std::function<void()> failed) {
    started_.push_back(argv);
    if (programsFail_ && failed) {
        failed();
    }
}

bool FakeServices::Print(const std::vector<PrintJob>& jobs) {
    ++printDialogs_;
    if (!printCancels_.empty()) {
        printCancels_.pop_front();
        return false;
    }
    printed_.insert(printed_.end(), jobs.begin(), jobs.end());
    return true;
}

void FakeServices::Preview(std::unique_ptr<PrintJob> job) {
    previews_.push_back(std::move(job));
}
