#include "dialogs/DruckDialog.h"

#include "windowing/Services.h"
#include "windowing/Window.h"

DruckDialog::DruckDialog(bool& packliste, bool& kundenRechnung, bool& interneRechnung,
                         bool& bildschirm)
    : Dialog(kResource),
      packliste_(packliste),
      kundenRechnung_(kundenRechnung),
      interneRechnung_(interneRechnung),
      bildschirm_(bildschirm) {
    Voreinstellen();
}

bool DruckDialog::Waehlen(Services& app, bool& packliste, bool& kundenRechnung,
                          bool& interneRechnung, bool& bildschirm) {
    DruckDialog dialog(packliste, kundenRechnung, interneRechnung, bildschirm);
    return app.Execute(dialog) == ControlId::kOk;
}

bool DruckDialog::ZielWaehlen(Services& app, bool& bildschirm) {
    bool packliste = false;
    bool kundenRechnung = false;
    bool interneRechnung = false;
    DruckDialog dialog(packliste, kundenRechnung, interneRechnung, bildschirm);
    dialog.nurZiel_ = true;
    return app.Execute(dialog) == ControlId::kOk;
}

void DruckDialog::Voreinstellen() {
    packliste_ = true;
    kundenRechnung_ = true;
    interneRechnung_ = true;
    bildschirm_ = false;
}

void DruckDialog::SetupWindow() {
    Voreinstellen();
    Win().SetChecked(kKundenRechnung, true);
    Win().SetChecked(kInterneRechnung, true);
    Win().SetChecked(kPackliste, true);
    Win().SetChecked(kBildschirm, false);
    Win().SetChecked(kDrucker, true);
    if (nurZiel_) {
        for (const int dokument : {kKundenRechnung, kInterneRechnung, kPackliste}) {
            Win().Show(dokument, false);
        }
    }
}

void DruckDialog::Command(int id) {
    switch (id) {
        case kKundenRechnung:
            kundenRechnung_ = !kundenRechnung_;
            break;
        case kInterneRechnung:
            interneRechnung_ = !interneRechnung_;
            break;
        case kPackliste:
            packliste_ = !packliste_;
            break;
        case kBildschirm:
            bildschirm_ = true;
            break;
        case kDrucker:
            bildschirm_ = false;
            break;
        default:
            Dialog::Command(id);
            break;
    }
}
