#pragma once

#include <cstdint>

#include "dialogs/RechnungsServer.h"
#include "model/Verwaltungen.h"
#include "windowing/Dialog.h"

// The search for stored invoices by invoice number or by total amount within
// a tolerance. It only collects the criteria; "OK" opens the invoice list,
// which asks this dialog for the invoices, and closing the list closes the
// search too.
class RechnungsNummer : public Dialog, public RechnungsServer {
  public:
    static constexpr int kResource = 8;
    static constexpr int kNummer = 103;
    static constexpr int kBetrag = 104;
    static constexpr int kAbweichung = 108;
    static constexpr int kNachNummer = 106;
    static constexpr int kNachBetrag = 107;

    explicit RechnungsNummer(Verwaltungen& verwaltungen);

    void SetupWindow() override;
    void Command(int id) override;

    // Invoices with the number, or else with a total within the tolerance of
    // the amount, newest first; the only-open flag is not used.
    void RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) override;

    std::int32_t Nummer() const { return nummer_; }
    float Betrag() const { return betrag_; }
    float Abweichung() const { return abweichung_; }

  private:
    void FelderSchalten();
    void Suchen();

    Verwaltungen& verwaltung_;
    float betrag_ = -1.0f;
    float abweichung_ = -1.0f;
    std::int32_t nummer_ = -1;
};
