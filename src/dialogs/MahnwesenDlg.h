#pragma once

#include <string>

#include "model/Mahntexte.h"
#include "windowing/Dialog.h"

// "Mahnwesen": the title, text and fee of each of the three reminder levels
// and the days after a reminder at which the next level is proposed. OK
// stores everything at once, or, when a fee or the days are refused or the
// file cannot be written, nothing.
class MahnwesenDlg : public Dialog {
  public:
    static constexpr int kResource = 1018;
    // Title, text and fee of level n (1 to 3): kTitel + 10·(n-1), ...
    static constexpr int kTitel = 101;
    static constexpr int kText = 102;
    static constexpr int kGebuehr = 103;
    static constexpr int kTage = 131;

    static constexpr const char* kUeberschrift = "Mahnwesen";

    // `texte` are changed only when they were stored to `datei`.
    MahnwesenDlg(Mahntexte& texte, std::string datei);

    static int Feld(int basis, int stufe) { return basis + 10 * (stufe - 1); }

    void SetupWindow() override;
    void Command(int id) override;

  private:
    void Uebernehmen();

    Mahntexte& texte_;
    std::string datei_;
};
