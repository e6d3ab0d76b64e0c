#pragma once

#include <string>

#include "model/Verwaltungen.h"
#include "windowing/Dialog.h"

// "Adressdatei aus Kundengruppe": chooses a customer group and/or a postcode
// range and writes the addresses that pass into a comma-separated file for
// form letters.
class GeoFilterDlg : public Dialog {
  public:
    static constexpr int kResource = 7;
    static constexpr int kVon = 103;
    static constexpr int kBis = 104;
    static constexpr int kGruppen = 105;
    static constexpr int kMitGruppe = 107;
    static constexpr int kMitPlz = 108;
    static constexpr int kErzeugen = 109;

    explicit GeoFilterDlg(Verwaltungen& verwaltungen);

    void SetupWindow() override;
    void Command(int id) override;

  private:
    void Erzeugen();

    Verwaltungen& verwaltungen_;
};
