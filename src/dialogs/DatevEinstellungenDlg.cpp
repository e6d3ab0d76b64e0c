#include "dialogs/DatevEinstellungenDlg.h"

#include <utility>

#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

std::string Getrimmt(const std::string& text) {
    const std::size_t anfang = text.find_first_not_of(' ');
    if (anfang == std::string::npos) {
        return {};
    }
    return text.substr(anfang, text.find_last_not_of(' ') - anfang + 1);
}

}  // namespace

DatevEinstellungenDlg::DatevEinstellungenDlg(Firmendaten& daten, std::string datei,
                                             const Customizer* einstellungen)
    : Dialog(kResource), daten_(daten), datei_(std::move(datei)), einstellungen_(einstellungen) {}

void DatevEinstellungenDlg::SetupWindow() {
    Window& w = Win();
    const DatevEinstellungen& d = daten_.datev;
    w.SetText(kBerater, d.beraternummer);
    w.SetText(kMandant, d.mandantennummer);
    if (DatevEinstellungen::PruefeWjBeginn(d.wjBeginn).empty()) {
        w.SetText(kWjTag, std::to_string(d.WjTag()));
        w.SetText(kWjMonat, std::to_string(d.WjMonat()));
    } else {
        // A value typed wrongly into the file is shown as it stands, so
        // that the user sees what to put right.
        const std::size_t punkt = d.wjBeginn.find('.');
        w.SetText(kWjTag, d.wjBeginn.substr(0, punkt));
        w.SetText(kWjMonat, punkt == std::string::npos ? "" : d.wjBeginn.substr(punkt + 1));
    }
    w.SetText(kSachkontenlaenge, d.sachkontenlaenge);
    w.SetChecked(d.Skr04() ? kSkr04 : kSkr03, true);
    w.SetText(kErloeskonto, d.erloeskonto);
    w.SetChecked(d.Sammeldebitor() ? kSammeldebitor : kJeKunde, true);
    Hinweisen();
}

DatevEinstellungen DatevEinstellungenDlg::AusFenster() const {
    const Window& w = Win();
    DatevEinstellungen d = daten_.datev;
    d.beraternummer = Getrimmt(w.Text(kBerater));
    d.mandantennummer = Getrimmt(w.Text(kMandant));
    const std::string tag = Getrimmt(w.Text(kWjTag));
    const std::string monat = Getrimmt(w.Text(kWjMonat));
    d.wjBeginn = tag.empty() && monat.empty() ? std::string() : tag + "." + monat + ".";
    d.sachkontenlaenge = Getrimmt(w.Text(kSachkontenlaenge));
    d.kontenrahmen = w.IsChecked(kSkr04) ? DatevEinstellungen::kSkr04 : DatevEinstellungen::kSkr03;
    d.erloeskonto = Getrimmt(w.Text(kErloeskonto));
    d.debitoren = w.IsChecked(kSammeldebitor) ? DatevEinstellungen::kSammeldebitor
                                              : DatevEinstellungen::kJeKunde;
    return d;
}

std::string DatevEinstellungenDlg::Problem(const DatevEinstellungen& d) const {
    if (const std::string fehlt = d.Fehlend(); !fehlt.empty()) {
        return "Es fehlt noch: " + fehlt + ".";
    }
    if (std::string falsch = d.Pruefen(); !falsch.empty()) {
        return falsch;
    }
    std::string fehler;
    d.Erloeskonto(einstellungen_ != nullptr ? einstellungen_->mwst : 0.0f, fehler);
    return fehler;
}

void DatevEinstellungenDlg::Hinweisen() {
    const DatevEinstellungen d = AusFenster();
    std::string hinweis = Problem(d);
    if (hinweis.empty()) {
        std::string fehler;
        const std::string konto =
            d.Erloeskonto(einstellungen_ != nullptr ? einstellungen_->mwst : 0.0f, fehler);
        const std::string basis = std::to_string(d.Debitorenbasis());
        hinweis = "Gebucht wird jede Rechnung vom Debitor " +
                  (d.Sammeldebitor() ? basis : basis + " + Kundennummer") +
                  " an das Erlöskonto "_w + konto + ".";
    }
    Win().SetText(kHinweis, hinweis);
}

void DatevEinstellungenDlg::TextChanged(int /*id*/) {
    Hinweisen();
}

void DatevEinstellungenDlg::Command(int id) {
    switch (id) {
        case ControlId::kOk:
            Uebernehmen();
            return;
        case kSkr03:
        case kSkr04:
        case kJeKunde:
        case kSammeldebitor:
            Hinweisen();
            return;
        default:
            Dialog::Command(id);
    }
}

void DatevEinstellungenDlg::Uebernehmen() {
    Firmendaten neu = daten_;
    neu.datev = AusFenster();
    neu.datev.vorhanden = true;
    if (const std::string problem = Problem(neu.datev); !problem.empty()) {
        App().MessageBox(problem + " Die DATEV-Einstellungen wurden nicht gespeichert.", kTitel,
                         MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (const Ergebnis<void> gespeichert = neu.Speichern(datei_); !gespeichert) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(datei_) +
                             " konnte nicht geschrieben werden (" + gespeichert.Ursache().Grund() +
                             "). Die DATEV-Einstellungen wurden nicht gespeichert.",
                         kTitel, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    daten_ = neu;
    Win().Close(ControlId::kOk);
}
