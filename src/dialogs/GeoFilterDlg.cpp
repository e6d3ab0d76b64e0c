#include "dialogs/GeoFilterDlg.h"

#include <cstdint>
#include <sstream>

#include "dialogs/Exportmeldung.h"
#include "documents/Adressdatei.h"
#include "documents/Ausgabeziel.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/LenientNumber.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

constexpr const char* kTitel = "Adressdatei erzeugen";

// The range fields are read as far as their first 19 characters.
std::uint32_t Postleitzahl(const std::string& text) {
    return static_cast<std::uint32_t>(LenientNumber::ToInt(text.substr(0, 19)));
}

}  // namespace

GeoFilterDlg::GeoFilterDlg(Verwaltungen& verwaltungen)
    : Dialog(kResource), verwaltungen_(verwaltungen) {}

void GeoFilterDlg::SetupWindow() {
    Window& w = Win();
    w.ClearItems(kGruppen);
    const GeoGruppe& gruppen = *verwaltungen_.geoGruppe;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        w.AddItem(kGruppen, gruppen.Name(i));
    }
    w.Select(kGruppen, -1);
    w.SetChecked(kMitGruppe, true);
    w.SetChecked(kMitPlz, false);
    w.Enable(kGruppen, true);
    w.Enable(kVon, false);
    w.Enable(kBis, false);
}

void GeoFilterDlg::Command(int id) {
    switch (id) {
        case kMitGruppe:
            Win().Enable(kGruppen, Win().IsChecked(kMitGruppe));
            break;
        case kMitPlz:
            Win().Enable(kVon, Win().IsChecked(kMitPlz));
            Win().Enable(kBis, Win().IsChecked(kMitPlz));
            break;
        case kErzeugen:
            Erzeugen();
            break;
        default:
            Dialog::Command(id);
    }
}

void GeoFilterDlg::Erzeugen() {
    Window& w = Win();
    const bool nachGruppe = w.IsChecked(kMitGruppe);
    int gruppe = -1;
    if (nachGruppe) {
        // The list box is sorted; the group's number is its place in the
        // names file.
        const int auswahl = w.Selected(kGruppen);
        if (auswahl >= 0) {
            const std::string name = w.ItemText(kGruppen, auswahl);
            const GeoGruppe& gruppen = *verwaltungen_.geoGruppe;
            for (unsigned i = 0; i < gruppen.Count(); ++i) {
                if (name == gruppen.Name(i)) {
                    gruppe = static_cast<int>(i);
                    break;
                }
            }
        }
    }
    if (nachGruppe && gruppe < 0) {
        // Without a group the filter lets nobody pass: a file of the header
        // alone would only look like a finished export.
        App().MessageBox("Bitte wählen Sie eine Kundengruppe."_w, kTitel, MessageButtons::Ok,
                         MessageIcon::Warning);
        w.Focus(kGruppen);
        return;
    }
    const bool nachPLZ = w.IsChecked(kMitPlz);
    std::uint32_t plzVon = 0;
    std::uint32_t plzBis = 0;
    if (nachPLZ) {
        plzVon = Postleitzahl(w.Text(kVon));
        plzBis = Postleitzahl(w.Text(kBis));
    }

    SaveFileRequest anfrage;
    anfrage.title = kTitel;
    anfrage.filter = "Adressdatei (*.CSV)|*.csv| Alle Dateien (*.*)|*.*|";
    anfrage.fileName = "*.csv";
    anfrage.defaultExt = "csv";
    const auto wahl = App().SaveFile(anfrage);
    if (!wahl) {
        return;
    }
    // The dialog stays open for another name.
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path);
    if (!hindernis.empty()) {
        App().MessageBox(hindernis + " Es wurden keine Adressen exportiert.", kTitel,
                         MessageButtons::Ok, MessageIcon::Warning);
        return;
    }

    // One line per address after the header.
    std::ostringstream zeilen;
    Ergebnis<void> geschrieben;
    {
        Wartecursor warten(App());
        Adressdatei::WriteAdressdatei(*verwaltungen_.kundenVerwaltung, zeilen, nachGruppe, nachPLZ,
                                      gruppe, plzVon, plzBis);
        geschrieben = Ausgabeziel::Ersetzen(wahl->path, zeilen.str());
    }
    if (!geschrieben) {
        // The user must not believe the letters can go out: the dialog stays
        // open for another file name.
        App().MessageBox("Die Adressdatei "_w + CodePage::Utf8ToCp1252(wahl->path) +
                             " konnte nicht geschrieben werden (" + geschrieben.Ursache().Grund() +
                             "). Es wurden keine Adressen exportiert.",
                         kTitel, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    const std::string text = zeilen.str();
    long adressen = -1;
    for (std::size_t ende = text.find("\r\n"); ende != std::string::npos;
         ende = text.find("\r\n", ende + 2)) {
        ++adressen;
    }
    App().StatusMessage(Exportmeldung::Gespeichert(
        "Adressdatei", wahl->path, Exportmeldung::Anzahl(adressen, "Adresse", "Adressen")));
    w.Close(ControlId::kOk);
}
