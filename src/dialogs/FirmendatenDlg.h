#pragma once

#include <string>

#include "model/Firmendaten.h"
#include "windowing/Dialog.h"

// "Firmendaten": the grower's own business data, which e-invoices name as
// their seller. Each field is checked as it is typed and the first problem
// is shown below the fields; OK stores all fields at once, or, when one is
// wrong or the file cannot be written, nothing.
class FirmendatenDlg : public Dialog {
  public:
    static constexpr int kResource = 1017;
    static constexpr int kName = 101;
    static constexpr int kInhaber = 102;
    static constexpr int kStrasse = 103;
    static constexpr int kPlz = 104;
    static constexpr int kOrt = 105;
    static constexpr int kLand = 106;
    static constexpr int kTelefon = 107;
    static constexpr int kEMail = 108;
    static constexpr int kUstId = 109;
    static constexpr int kSteuernummer = 110;
    static constexpr int kIban = 111;
    static constexpr int kBic = 112;
    static constexpr int kBank = 113;
    static constexpr int kZahlungsziel = 114;
    static constexpr int kHinweis = 120;

    static constexpr const char* kTitel = "Firmendaten";

    // `daten` are changed only when they were stored to `datei`.
    FirmendatenDlg(Firmendaten& daten, std::string datei);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;

  private:
    Firmendaten AusFenster();
    void Uebernehmen();

    Firmendaten& daten_;
    std::string datei_;
};
