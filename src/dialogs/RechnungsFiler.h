#pragma once

#include <cstdint>

#include "dialogs/RechnungsServer.h"
#include "model/Verwaltungen.h"
#include "windowing/Dialog.h"

// "Rechnungs-Filter": the two periods that choose invoices, the period of
// capture (the day an invoice was entered) and the period of dating (the
// date printed on it), each switched on or off. It works on the six filter
// fields of the settings, which keep what was chosen for the next time; the
// date fields follow the typing at once. "Abbruch" puts all six back as they
// were when the dialog opened.
//
// As the invoice list's server it finds the invoices of the chosen periods.
class RechnungsFiler : public Dialog, public RechnungsServer {
  public:
    static constexpr int kResource = 497;
    // Capture period: first day, last day (day, month, year each).
    static constexpr int kErfasstVonTag = 104;
    static constexpr int kErfasstVonMonat = 105;
    static constexpr int kErfasstVonJahr = 106;
    static constexpr int kErfasstBisTag = 101;
    static constexpr int kErfasstBisMonat = 102;
    static constexpr int kErfasstBisJahr = 103;
    // Dating period.
    static constexpr int kDatumVonTag = 112;
    static constexpr int kDatumVonMonat = 113;
    static constexpr int kDatumVonJahr = 114;
    static constexpr int kDatumBisTag = 109;
    static constexpr int kDatumBisMonat = 110;
    static constexpr int kDatumBisJahr = 111;
    static constexpr int kUebernehmen = 121;   // "Ü"
    static constexpr int kErfasstHeute = 115;  // "H"
    static constexpr int kDatumHeute = 116;    // "H"
    static constexpr int kMitErfasst = 119;
    static constexpr int kMitDatum = 120;
    // How many days back "H" reaches.
    static constexpr int kTageZurueck = 21;

    RechnungsFiler(std::int32_t& erfasstVon, std::int32_t& erfasstBis, std::int32_t& datumVon,
                   std::int32_t& datumBis, std::uint8_t& mitErfasst, std::uint8_t& mitDatum,
                   Verwaltungen& verwaltungen);
    // On the filter fields of the settings in the manager set.
    explicit RechnungsFiler(Verwaltungen& verwaltungen);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;

    void RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) override;

  private:
    struct Stand {
        std::int32_t erfasstVon, erfasstBis, datumVon, datumBis;
        std::uint8_t mitErfasst, mitDatum;
    };
    Stand Jetzt() const;
    void Setze(const Stand& stand);
    void Auffrischen();
    void Lesen();
    // The dates of the periods in use can be taken; otherwise the user is
    // told which one cannot, and the focus goes there.
    bool DatenPruefen();

    std::int32_t& erfasstVon_;
    std::int32_t& erfasstBis_;
    std::int32_t& datumVon_;
    std::int32_t& datumBis_;
    std::uint8_t& mitErfasst_;
    std::uint8_t& mitDatum_;
    Verwaltungen& verwaltungen_;
    Stand anfang_{};
    bool frischt_ = false;  // the edits are being written by the program
};
