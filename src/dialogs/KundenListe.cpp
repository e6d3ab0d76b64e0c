#include "dialogs/KundenListe.h"

#include <string>

#include "dialogs/KundenDialog.h"
#include "dialogs/WeinListe.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

const std::string kLoeschenTitel = "Vorgang Kunde löschen"_w;
constexpr int kDetails[] = {KundenListe::kName,     KundenListe::kAdresse, KundenListe::kOrt,
                            KundenListe::kTelefon,  KundenListe::kEMail,   KundenListe::kListen,
                            KundenListe::kBemerkung};

std::string Name(const Kunde& k) {
    return FixedText::Get(k.Anrede) + " " + FixedText::Get(k.Vorname) + " " +
           FixedText::Get(k.Nachname);
}

}  // namespace

KundenListe::KundenListe(KundenServer& server, Verwaltungen& verwaltungen, bool mitRechnung)
    : Dialog(kResource), server_(server), verwaltungen_(verwaltungen), mitRechnung_(mitRechnung) {}

void KundenListe::SetupWindow() {
    Window& w = Win();
    w.Show(kRechnung, mitRechnung_);
    w.AddColumn(kListe, "Name", 160);
    w.AddColumn(kListe, "Adresse", 170);
    w.AddColumn(kListe, "PLZ", 50);
    w.AddColumn(kListe, "Ort", 130);
    w.AddColumn(kListe, "Telefon", 80);
    w.AddColumn(kListe, "Fax", 80);
    w.AddColumn(kListe, "e-mail", 180);
    Aufbauen();
}

void KundenListe::Aufbauen() {
    Window& w = Win();
    {
        Wartecursor warten(App());
        treffer_.Empty();
        server_.GetKunden(treffer_);
        w.ClearRows(kListe);
        for (unsigned i = 0; i < treffer_.Count(); ++i) {
            w.AddRow(kListe, Name(treffer_[i]));
        }
    }
    for (int feld : kDetails) {
        w.SetText(feld, "");
    }
    w.Enable(kLoeschen, false);
    w.Enable(kAendern, false);
    w.Enable(kRechnung, false);
}

std::string KundenListe::CellText(int listId, int row, int column) {
    if (listId != kListe || row < 0 || static_cast<unsigned>(row) >= treffer_.Count()) {
        return {};
    }
    const Kunde& k = treffer_[static_cast<unsigned>(row)];
    switch (column) {
        case 1:
            return FixedText::Get(k.Strasse);
        case 2:
            return std::to_string(k.PLZ);
        case 3:
            return FixedText::Get(k.Ort);
        case 4:
            return FixedText::Get(k.Telefon);
        case 5:
            return FixedText::Get(k.Fax);
        case 6:
            return FixedText::Get(k.EMail);
        default:
            return {};
    }
}

std::optional<Rgb> KundenListe::RowColour(int listId, int row) {
    if (listId != kListe) {
        return std::nullopt;
    }
    // Alternating rows, beginning with light green.
    return row % 2 == 0 ? Rgb{192, 255, 192} : Rgb{255, 255, 255};
}

void KundenListe::SelectionChanged(int id) {
    if (id != kListe) {
        return;
    }
    const std::vector<int> zeilen = Win().SelectedRows(kListe);
    if (!zeilen.empty() && zeilen.front() >= 0 &&
        static_cast<unsigned>(zeilen.front()) < treffer_.Count()) {
        Details(static_cast<unsigned>(zeilen.front()));
    }
}

void KundenListe::Details(unsigned index) {
    Window& w = Win();
    aktuell_ = treffer_[index];
    const Kunde& k = aktuell_;
    w.SetText(kName, Name(k));
    w.SetText(kAdresse, FixedText::Get(k.Strasse));
    w.SetText(kOrt, std::to_string(k.PLZ) + " " + FixedText::Get(k.Ort));
    w.SetText(kBemerkung, FixedText::Get(k.bemerkung));
    w.SetText(kEMail, FixedText::Get(k.EMail));
    w.SetText(kTelefon, FixedText::Get(k.Telefon) + " " + FixedText::Get(k.Fax));

    std::string gruppe = "N/A";
    const GeoGruppe& gruppen = *verwaltungen_.geoGruppe;
    if (k.kundenGruppe >= 0 && static_cast<unsigned>(k.kundenGruppe) < gruppen.Count()) {
        gruppe = gruppen.Name(static_cast<unsigned>(k.kundenGruppe));
    }
    const char* liste = verwaltungen_.preisVerwaltung->GetPreislisteName(k.preisliste);
    w.SetText(kListen,
              "KundenGruppe: " + gruppe + " Preisliste: " + (liste != nullptr ? liste : "N/A"));
    w.Enable(kLoeschen, true);
    w.Enable(kAendern, true);
    w.Enable(kRechnung, true);
}

void KundenListe::Command(int id) {
    switch (id) {
        case kAendern:
            Aendern();
            break;
        case kLoeschen:
            Loeschen();
            break;
        case kRechnung:
            Rechnung();
            break;
        default:
            Dialog::Command(id);
    }
}

void KundenListe::Aendern() {
    KundenDialog dialog(KundenDialog::kAendern, verwaltungen_, &aktuell_);
    App().Execute(dialog);
    Aufbauen();
}

void KundenListe::Loeschen() {
    if (App().MessageBox("Vorsicht: Sie sind im Begriff einen Kunden aus dem Datenbestand zu "
                         "löschen. Möchten Sie mit dem Vorgang fortfahren?"_w,
                         kLoeschenTitel, MessageButtons::YesNo, MessageIcon::None,
                         Answer::No) == Answer::Yes) {
        verwaltungen_.kundenVerwaltung->DeleteKunde(aktuell_.nummer);
        Aufbauen();
    } else {
        App().MessageBox("Der Kunde verbleibt im Datenbestand", kLoeschenTitel);
    }
}

void KundenListe::Rechnung() {
    WeinListe editor(verwaltungen_, aktuell_, nullptr, true);
    App().Execute(editor);
    Win().Close(ControlId::kOk);
}
