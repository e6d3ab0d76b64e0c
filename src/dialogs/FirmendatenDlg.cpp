#include "dialogs/FirmendatenDlg.h"

#include <utility>

#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

// The controls in the order of Firmendaten::Felder.
constexpr int kFelder[] = {
    FirmendatenDlg::kName,         FirmendatenDlg::kInhaber,      FirmendatenDlg::kStrasse,
    FirmendatenDlg::kPlz,          FirmendatenDlg::kOrt,          FirmendatenDlg::kLand,
    FirmendatenDlg::kTelefon,      FirmendatenDlg::kEMail,        FirmendatenDlg::kUstId,
    FirmendatenDlg::kSteuernummer, FirmendatenDlg::kIban,         FirmendatenDlg::kBic,
    FirmendatenDlg::kBank,         FirmendatenDlg::kZahlungsziel,
};

}  // namespace

FirmendatenDlg::FirmendatenDlg(Firmendaten& daten, std::string datei)
    : Dialog(kResource), daten_(daten), datei_(std::move(datei)) {}

void FirmendatenDlg::SetupWindow() {
    const auto& felder = Firmendaten::Felder();
    for (std::size_t i = 0; i < felder.size(); ++i) {
        Win().SetText(kFelder[i], daten_.*felder[i].wert);
    }
    Win().SetText(kHinweis, "");
}

Firmendaten FirmendatenDlg::AusFenster() {
    // What this dialog does not show (the DATEV section) is stored as it was.
    Firmendaten neu = daten_;
    const auto& felder = Firmendaten::Felder();
    for (std::size_t i = 0; i < felder.size(); ++i) {
        neu.*felder[i].wert = FixedText::Getrimmt(Win().Text(kFelder[i]));
    }
    neu.iban = Firmendaten::IbanNormal(neu.iban);
    return neu;
}

void FirmendatenDlg::TextChanged(int id) {
    (void)id;
    // The first problem of all fields stands below them while typing, so
    // that a wrong IBAN is seen before OK.
    Win().SetText(kHinweis, AusFenster().Pruefen());
}

void FirmendatenDlg::Command(int id) {
    if (id == ControlId::kOk) {
        Uebernehmen();
        return;
    }
    Dialog::Command(id);
}

void FirmendatenDlg::Uebernehmen() {
    const Firmendaten neu = AusFenster();
    const std::string fehler = neu.Pruefen();
    if (!fehler.empty()) {
        App().MessageBox(fehler + " Die Firmendaten wurden nicht gespeichert.", kTitel);
        return;
    }
    if (const Ergebnis<void> gespeichert = neu.Speichern(datei_); !gespeichert) {
        App().MessageBox("Die Datei "_w + datei_ + " konnte nicht geschrieben werden (" +
                             gespeichert.Ursache().Grund() +
                             "). Die Firmendaten wurden nicht gespeichert.",
                         kTitel);
        return;
    }
    daten_ = neu;
    Win().Close(ControlId::kOk);
}
