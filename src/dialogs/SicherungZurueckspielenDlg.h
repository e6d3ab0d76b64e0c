#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sicherung/Datensicherung.h"
#include "windowing/Dialog.h"

class Services;

// A restore the user has confirmed, whose data wait to replace the data set:
// the window closes its data set (which writes what it holds), has the files
// replaced and opens the data set anew.
struct Rueckspielauftrag {
    std::unique_ptr<Wiederherstellung> wiederherstellung;
    // Where the data before the restore were saved; empty when there were
    // none.
    std::string vorher;

    // `schliessen` saves and releases the data set, `oeffnen` opens it again
    // (and may raise, when it cannot be read); in between the files are
    // replaced. The user is told what happened either way.
    void Ausfuehren(Services& app, const std::function<void()>& schliessen,
                    const std::function<void()>& oeffnen);
};

// "Datensicherung zurückspielen...": the user picks a backup, which is checked
// at once (manifest, sums, records, the data check) and shown with its date
// and counts, or refused with every problem. "Zurückspielen" asks once more,
// then saves the present data as a backup themselves; only then does the
// dialog close with OK and hand over the Rueckspielauftrag. Until then,
// nothing in the data folder has changed.
class SicherungZurueckspielenDlg : public Dialog {
  public:
    static constexpr int kResource = 1031;
    static constexpr int kArchiv = 101;
    static constexpr int kDurchsuchen = 102;
    static constexpr int kPruefen = 103;
    static constexpr int kInhalt = 104;

    static constexpr const char* kTitel =
        "Datensicherung zur\xFC"
        "ckspielen";

    // `schreiben` writes what the window holds in memory into the files,
    // before they are saved; `pruefung` is the data check of "pruefen".
    SicherungZurueckspielenDlg(const Datensicherung& sicherung, Datensicherung::Pruefung pruefung,
                               std::function<void()> schreiben);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;
    bool EnterPressed(int id) override;

    // After OK: the confirmed restore; taken once.
    std::unique_ptr<Rueckspielauftrag> Auftrag() { return std::move(auftrag_); }

  private:
    void Durchsuchen();
    void Pruefen();
    void Zurueckspielen();
    // The path of the archive the field names.
    std::string Archiv() const;

    const Datensicherung& sicherung_;
    Datensicherung::Pruefung pruefung_;
    std::function<void()> schreiben_;
    // The file the chooser gave, which the field (Windows-1252) may not be
    // able to spell.
    std::string gewaehlt_;
    std::unique_ptr<Wiederherstellung> geprueft_;
    std::unique_ptr<Rueckspielauftrag> auftrag_;
};
