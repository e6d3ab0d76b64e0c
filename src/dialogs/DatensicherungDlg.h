#pragma once

#include <functional>
#include <string>

#include "sicherung/Datensicherung.h"
#include "sicherung/Sicherungseinstellungen.h"
#include "windowing/Dialog.h"

class Services;

// "Datensicherung...": where backups go (a folder, with a folder chooser),
// whether the end of the program takes one (at most one an hour), how many
// of the newest stay, and "Jetzt sichern". OK stores the settings in the data
// folder; a folder that cannot take backups is named before it is stored.
class DatensicherungDlg : public Dialog {
  public:
    static constexpr int kResource = 1030;
    static constexpr int kOrdner = 101;
    static constexpr int kDurchsuchen = 102;
    static constexpr int kAutomatisch = 103;
    static constexpr int kBehalten = 104;
    static constexpr int kStand = 105;
    static constexpr int kJetztSichern = 106;

    static constexpr const char* kTitel = "Datensicherung";

    // `schreiben` writes what the window holds in memory into the files, so
    // that a backup copies them whole.
    DatensicherungDlg(const Datensicherung& sicherung, std::function<void()> schreiben);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;

    // The backup at the end of the program, with the stored settings. It
    // never keeps the program from ending: a failure is told (with the folder
    // and the reason), and that is all.
    static void BeimBeenden(Services& app, const Datensicherung& sicherung);

  private:
    // The settings in the window, or the German reason why they are none.
    bool AusFenster(Sicherungseinstellungen& einstellungen, std::string& fehler) const;
    void Durchsuchen();
    void JetztSichern();
    void Uebernehmen();
    // What the folder holds: its newest backup, or why none can go there.
    void StandZeigen();

    const Datensicherung& sicherung_;
    std::function<void()> schreiben_;
};
