#include "dialogs/DialogCustomizer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "dialogs/Eingabefelder.h"
#include "model/GeoGruppe.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "storage/LenientNumber.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

// The number fields are read as far as their first 30 characters.
std::string Erste30(const std::string& text) {
    return text.substr(0, 30);
}

}  // namespace

DialogCustomizer::DialogCustomizer(Verwaltungen& verwaltungen)
    : Dialog(kResource), verwaltungen_(verwaltungen) {}

void DialogCustomizer::SetupWindow() {
    Window& w = Win();
    Customizer& c = *verwaltungen_.customizer;
    w.SetLimit(kGruppe, 8);
    w.SetLimit(kPreisliste, 8);
    w.SetLimit(kMwst, 254);
    w.SetLimit(kWaehrung, 254);
    w.SetLimit(kVordatierung, 254);
    w.SetLimit(kBemerkung, 299);

    w.SetChecked(kPreiseInEuro, c.preiseInEuro != 0);
    w.SetChecked(kMwstEnthalten, c.mwstEnthalten != 0);
    w.SetText(kWaehrung, c.Waehrung());
    w.SetText(kMwst, Eingabefelder::BetragText(c.mwst));
    w.SetText(kBemerkung, c.Bemerkung());
    w.SetText(kVordatierung, std::to_string(c.vordatierungTage));

    w.ClearItems(kGruppe);
    w.ClearItems(kPreisliste);
    GeoGruppe& gruppen = *verwaltungen_.geoGruppe;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        w.AddItem(kGruppe, gruppen.Name(i));
    }
    PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
    for (int i = 0; i < preise.count; ++i) {
        const char* name = preise.GetPreislisteName(i);
        w.AddItem(kPreisliste, name != nullptr ? name : "");
    }
}

void DialogCustomizer::Command(int id) {
    switch (id) {
        case kGruppeHinzufuegen:
            GruppeHinzufuegen();
            break;
        case kPreislisteHinzufuegen:
            PreislisteHinzufuegen();
            break;
        case ControlId::kOk:
            Uebernehmen();
            break;
        default:
            Dialog::Command(id);
    }
}

bool DialogCustomizer::NameZulaessig(const std::string& name,
                                     const std::vector<std::string>& vorhanden,
                                     const std::string& laengeText, const std::string& doppeltText,
                                     const std::string& titel) {
    if (name.size() < 2 || name.size() > 8) {
        App().MessageBox(laengeText, titel);
        return false;
    }
    // Exact and case-sensitive: "Mosel" and "mosel" are two groups.
    if (std::find(vorhanden.begin(), vorhanden.end(), name) != vorhanden.end()) {
        App().MessageBox(doppeltText, titel);
        return false;
    }
    return true;
}

void DialogCustomizer::GruppeHinzufuegen() {
    std::string name = Win().Text(kGruppe);
    GeoGruppe& gruppen = *verwaltungen_.geoGruppe;
    std::vector<std::string> namen;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        namen.emplace_back(gruppen.Name(i));
    }
    if (!NameZulaessig(name, namen,
                       "Das Kürzel für die Geogruppe sollte aus 2-8 Buchstaben bestehen."_w,
                       "Diese Geogruppe existiert bereits in der Liste. Vergeben Sie bitte nur "
                       "Namen, die noch nicht vorkommen.",
                       "Geogruppe hinzufügen"_w)) {
        return;
    }
    gruppen.AddGeoGruppe(name);
    Win().AddItem(kGruppe, name);
}

void DialogCustomizer::PreislisteHinzufuegen() {
    std::string name = Win().Text(kPreisliste);
    const std::string titel = "Preisliste hinzufügen"_w;
    PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
    std::vector<std::string> namen;
    for (int i = 0; i < preise.count; ++i) {
        const char* vorhanden = preise.GetPreislisteName(i);
        namen.emplace_back(vorhanden != nullptr ? vorhanden : "");
    }
    if (!NameZulaessig(name, namen,
                       "Das Kürzel für die Preisliste sollte aus 2-8 Buchstaben bestehen."_w,
                       "Diese Bezeichnung für eine Preisliste existiert bereits. Vergeben Sie "
                       "bitte nur Namen, die noch nicht vorkommen."_w,
                       titel)) {
        return;
    }
    // The model refuses a 21st list with an exception; here the user gets
    // its text as an ordinary refusal.
    if (preise.count >= PreisVerwaltung::kMaxPreislisten) {
        App().MessageBox("Mehr als 20 Preislisten dürfen nicht erzeugt werden"_w, titel);
        return;
    }
    preise.AddPreisliste(name);
    Win().AddItem(kPreisliste, name);
}

void DialogCustomizer::Uebernehmen() {
    Window& w = Win();
    Customizer& c = *verwaltungen_.customizer;
    // German users type "19,5"; the point keeps working as well.
    const double mwst = LenientNumber::ToAmount(Erste30(w.Text(kMwst)));
    if (!(mwst >= 0.0 && mwst <= 100.0)) {
        // Such a rate would be set back at the next start anyway.
        App().MessageBox("Die Mehrwertsteuer muss zwischen 0 und 100 % liegen."_w,
                         "Grundeinstellungen");
        w.Focus(kMwst);
        return;
    }

    // What the file holds now, to go back to when a change cannot be stored.
    const Einstellungssatz alt = c;

    Ergebnis<void> gespeichert;
    bool teilweise = false;  // an earlier step reached the file
    auto speichern = [&] {
        if (gespeichert) {
            gespeichert = c.Store();
            teilweise = teilweise || static_cast<bool>(gespeichert);
        }
    };
    c.preiseInEuro = w.IsChecked(kPreiseInEuro) ? 1 : 0;
    speichern();
    c.mwstEnthalten = w.IsChecked(kMwstEnthalten) ? 1 : 0;
    speichern();
    c.mwst = static_cast<float>(mwst);
    speichern();
    c.SetWaehrung(Erste30(w.Text(kWaehrung)).substr(0, 8));
    speichern();
    c.SetBemerkung(w.Text(kBemerkung));
    speichern();
    const std::int32_t tage =
        std::clamp(LenientNumber::ToInt(Erste30(w.Text(kVordatierung))), 0, 1000);
    c.vordatierungTage = tage;
    w.SetText(kVordatierung, std::to_string(tage));
    speichern();
    if (gespeichert) {
        w.Close(ControlId::kOk);
        return;
    }

    // Nothing of it is taken over: the program goes on with what the file
    // holds, and the dialog stays open for another try.
    static_cast<Einstellungssatz&>(c) = alt;
    if (teilweise) {
        (void)c.Store();
    }
    App().MessageBox("Die Grundeinstellungen konnten nicht gespeichert werden, denn die Datei " +
                         FixedText::Get(c.dateiName) + " konnte nicht geschrieben werden (" +
                         gespeichert.Ursache().Grund() +
                         "). Sie bleibt, wie sie war; es gelten weiter die bisherigen "
                         "Einstellungen.",
                     "Grundeinstellungen", MessageButtons::Ok, MessageIcon::Warning);
}
