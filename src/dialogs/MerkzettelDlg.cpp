#include "dialogs/MerkzettelDlg.h"

#include "storage/FixedText.h"
#include "windowing/Window.h"

MerkzettelDlg::MerkzettelDlg(MerkzettelVerwaltung::MerkzettelIntern& notiz,
                             MerkzettelVerwaltung& verwaltung)
    : Dialog(kResource), notiz_(notiz), verwaltung_(verwaltung) {}

MerkzettelDlg::~MerkzettelDlg() {
    if (geaendert_) {
        try {
            verwaltung_.Store(&notiz_);
        } catch (...) {
            // The manager writes every note once more when it is destroyed.
        }
    }
}

void MerkzettelDlg::SetupWindow() {
    Window& w = Win();
    fuellt_ = true;
    w.SetCaption("Merkzettel");
    w.SetLimit(kText, kMaxZeichen);
    w.SetText(kText, FixedText::Get(notiz_.text));
    w.Move(notiz_.x, notiz_.y);
    fuellt_ = false;
}

void MerkzettelDlg::Command(int id) {
    if (id != kVerwerfen) {
        Dialog::Command(id);
        return;
    }
    // The emptied note is dropped from the file at the next shutdown.
    Win().SetText(kText, "");
    FixedText::Set(notiz_.text, "");
    geaendert_ = true;
    Speichern();
    Win().Close(kVerwerfen);
}

void MerkzettelDlg::TextChanged(int id) {
    if (id != kText || fuellt_) {
        return;
    }
    FixedText::Set(notiz_.text, Win().Text(kText));
    Vormerken();
}

void MerkzettelDlg::Moved(int x, int y) {
    if (fuellt_ || (notiz_.x == x && notiz_.y == y)) {
        return;
    }
    notiz_.x = x;
    notiz_.y = y;
    Vormerken();
}

void MerkzettelDlg::Timer(int timerId) {
    if (timerId == kSpeicherTimer) {
        Speichern();
    }
}

void MerkzettelDlg::FocusLost(int id) {
    if (id == kText) {
        Speichern();
    }
}

void MerkzettelDlg::Vormerken() {
    geaendert_ = true;
    // Restarting the timer on every keystroke writes once per pause.
    Win().StartTimer(kSpeicherTimer, kSpeicherVerzoegerung);
}

void MerkzettelDlg::Speichern() {
    if (HasWindow()) {
        Win().StopTimer(kSpeicherTimer);
    }
    if (!geaendert_) {
        return;
    }
    geaendert_ = false;
    verwaltung_.Store(&notiz_);
}
