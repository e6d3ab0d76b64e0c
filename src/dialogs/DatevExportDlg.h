#pragma once

#include <string>

#include "model/Verwaltungen.h"
#include "storage/Datum.h"
#include "windowing/Dialog.h"

class Firmendaten;

// "DATEV-Export": the invoices of a period as a booking batch for the tax
// advisor. The period starts as the previous month; its first and last day
// are typed as in the invoice filter, and "H" sets the last 21 days up to
// today. While the period is typed the dialog shows how many invoices the
// batch will hold and their sum. "Exportieren..." checks the settings and
// the period, asks before a period that overlaps one already exported, and
// then asks for the file; every export is remembered in the data folder's
// record of DATEV exports.
class DatevExportDlg : public Dialog {
  public:
    static constexpr int kResource = 2702;
    static constexpr int kVonTag = 101;
    static constexpr int kVonMonat = 102;
    static constexpr int kVonJahr = 103;
    static constexpr int kBisTag = 104;
    static constexpr int kBisMonat = 105;
    static constexpr int kBisJahr = 106;
    static constexpr int kHeute = 107;  // "H"
    static constexpr int kUmfang = 110;

    static constexpr const char* kTitel = "DATEV-Export";

    // `verzeichnis` is the data folder, where the record of exports lies.
    DatevExportDlg(Verwaltungen& verwaltungen, const Firmendaten& firma, std::string verzeichnis);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;

  private:
    void Zeigen(Datum von, Datum bis);
    // The count and sum of the period as it stands in the fields.
    void Umfang();
    void Exportieren();

    Verwaltungen& verwaltungen_;
    const Firmendaten& firma_;
    std::string verzeichnis_;
    bool zeigt_ = false;  // the fields are being filled by the program
};
