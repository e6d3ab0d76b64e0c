#include "dialogs/RechnungsNummer.h"

#include <cmath>
#include <limits>

#include "dialogs/Eingabefelder.h"
#include "dialogs/RechnungsListe.h"
#include "model/RechnungsVerwaltung.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

RechnungsNummer::RechnungsNummer(Verwaltungen& verwaltungen)
    : Dialog(kResource), verwaltung_(verwaltungen) {}

void RechnungsNummer::SetupWindow() {
    Win().SetChecked(kNachNummer, true);
    FelderSchalten();
}

void RechnungsNummer::FelderSchalten() {
    Window& w = Win();
    const bool nachBetrag = w.IsChecked(kNachBetrag);
    w.Enable(kBetrag, nachBetrag);
    w.Enable(kAbweichung, nachBetrag);
    w.Enable(kNummer, !nachBetrag);
    // The user types next into what is to be searched for.
    w.Focus(nachBetrag ? kBetrag : kNummer);
}

void RechnungsNummer::Command(int id) {
    switch (id) {
        case kNachNummer:
        case kNachBetrag:
            FelderSchalten();
            break;
        case ControlId::kOk:
            Suchen();
            break;
        default:
            Dialog::Command(id);
    }
}

void RechnungsNummer::Suchen() {
    const Window& w = Win();
    if (w.IsChecked(kNachBetrag)) {
        betrag_ = static_cast<float>(Eingabefelder::BetragLesen(w.Text(kBetrag)));
        abweichung_ = static_cast<float>(Eingabefelder::BetragLesen(w.Text(kAbweichung)));
        nummer_ = -1;
    } else {
        // Read as a decimal number and cut toward zero: "17.9" is invoice 17.
        const double zahl = std::trunc(Eingabefelder::BetragLesen(w.Text(kNummer)));
        constexpr double kGroesste = std::numeric_limits<std::int32_t>::max();
        constexpr double kKleinste = std::numeric_limits<std::int32_t>::min();
        nummer_ = static_cast<std::int32_t>(zahl > kGroesste   ? kGroesste
                                            : zahl < kKleinste ? kKleinste
                                                               : zahl);
        betrag_ = -1.0f;
        abweichung_ = -1.0f;
    }
    RechnungsListe liste(*this, verwaltung_, nullptr);
    App().Execute(liste);
    CloseWindow(ControlId::kOk);
}

void RechnungsNummer::RechnungenLiefern(GenericList<Rechnung>& liste, bool /*nurOffene*/) {
    verwaltung_.rechnungsVerwaltung->GetRechnungenNachNummerOderBetrag(nummer_, betrag_,
                                                                       abweichung_, liste);
}
