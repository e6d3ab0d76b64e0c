#pragma once

#include "windowing/Dialog.h"

class Services;

// The print options: which documents of an invoice are put out (customer
// invoice, internal invoice, packing list) and whether to the screen or to
// the printer. The caller's four flags follow the user's clicks.
class DruckDialog : public Dialog {
  public:
    static constexpr int kResource = 735;
    static constexpr int kKundenRechnung = 101;
    static constexpr int kPackliste = 102;
    static constexpr int kInterneRechnung = 103;
    static constexpr int kBildschirm = 104;
    static constexpr int kDrucker = 105;
    static constexpr int kAusfertigungen = 106;

    // Sets every document and the printer.
    DruckDialog(bool& packliste, bool& kundenRechnung, bool& interneRechnung, bool& bildschirm);

    // Runs the dialog; true when the user confirmed with "OK". "Abbruch",
    // Escape and the close box mean the user does not want to print, so the
    // callers then put out nothing.
    static bool Waehlen(Services& app, bool& packliste, bool& kundenRechnung, bool& interneRechnung,
                        bool& bildschirm);
    // The same choice for a document that is not an invoice (a chart,
    // reminder letters): only screen or printer, under the title "Drucken".
    // True on "OK".
    static bool Ausgabeart(Services& app, bool& bildschirm);

    void SetupWindow() override;
    void Command(int id) override;

  private:
    void Voreinstellen();

    bool& packliste_;
    bool& kundenRechnung_;
    bool& interneRechnung_;
    bool& bildschirm_;
    bool nurAusgabeart_ = false;
};
