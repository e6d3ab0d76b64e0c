#pragma once

#include "model/MerkzettelVerwaltung.h"
#include "windowing/Dialog.h"

// One note in a small modeless window. Text and position go straight into
// the note; they are written to the file a moment after the user stops
// typing or moving, when the text field loses the focus, and when the window
// goes, so that a crash loses at most the last second's keystrokes.
class MerkzettelDlg : public Dialog {
  public:
    static constexpr int kResource = 6;
    static constexpr int kText = 101;
    static constexpr int kVerwerfen = 2;
    static constexpr int kSpeicherTimer = 1;
    static constexpr int kSpeicherVerzoegerung = 1000;  // ms
    static constexpr int kMaxZeichen = 254;

    MerkzettelDlg(MerkzettelVerwaltung::MerkzettelIntern& notiz, MerkzettelVerwaltung& verwaltung);
    ~MerkzettelDlg() override;

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;
    void Moved(int x, int y) override;
    void Timer(int timerId) override;
    void FocusLost(int id) override;

    bool Geaendert() const { return geaendert_; }

  private:
    void Vormerken();
    void Speichern();

    MerkzettelVerwaltung::MerkzettelIntern& notiz_;
    MerkzettelVerwaltung& verwaltung_;
    bool fuellt_ = false;
    bool geaendert_ = false;
};
