#pragma once

#include <string>

#include "model/DatevEinstellungen.h"
#include "model/Firmendaten.h"
#include "windowing/Dialog.h"

class Customizer;

// "DATEV-Einstellungen": advisor and client number, the fiscal year's first
// day, the length of the ledger accounts, the chart of accounts, the revenue
// account and how customers are booked. Below the fields stands the first
// problem, or else what a booking will look like. OK stores the section into
// the seller data file together with the seller's fields as they are, or,
// when a value is wrong or the file cannot be written, nothing.
class DatevEinstellungenDlg : public Dialog {
  public:
    static constexpr int kResource = 2701;
    static constexpr int kBerater = 101;
    static constexpr int kMandant = 102;
    static constexpr int kWjTag = 103;
    static constexpr int kWjMonat = 104;
    static constexpr int kSachkontenlaenge = 105;
    static constexpr int kSkr03 = 106;
    static constexpr int kSkr04 = 107;
    static constexpr int kErloeskonto = 108;
    static constexpr int kJeKunde = 109;
    static constexpr int kSammeldebitor = 110;
    static constexpr int kHinweis = 120;

    static constexpr const char* kTitel = "DATEV-Einstellungen";

    // `daten` change only once they were stored to `datei`; the settings
    // give the VAT rate the revenue account follows (none: 0 %).
    DatevEinstellungenDlg(Firmendaten& daten, std::string datei, const Customizer* einstellungen);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;

  private:
    DatevEinstellungen AusFenster() const;
    // The first reason the values cannot be stored, or empty.
    std::string Problem(const DatevEinstellungen& d) const;
    void Hinweisen();
    void Uebernehmen();

    Firmendaten& daten_;
    std::string datei_;
    const Customizer* einstellungen_;
};
