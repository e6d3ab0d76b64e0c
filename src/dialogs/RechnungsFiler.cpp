#include "dialogs/RechnungsFiler.h"

#include "dialogs/Eingabefelder.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

RechnungsFiler::RechnungsFiler(std::int32_t& erfasstVon, std::int32_t& erfasstBis,
                               std::int32_t& datumVon, std::int32_t& datumBis,
                               std::uint8_t& mitErfasst, std::uint8_t& mitDatum,
                               Verwaltungen& verwaltungen)
    : Dialog(kResource),
      erfasstVon_(erfasstVon),
      erfasstBis_(erfasstBis),
      datumVon_(datumVon),
      datumBis_(datumBis),
      mitErfasst_(mitErfasst),
      mitDatum_(mitDatum),
      verwaltungen_(verwaltungen) {}

RechnungsFiler::RechnungsFiler(Verwaltungen& verwaltungen)
    : RechnungsFiler(verwaltungen.customizer->filterVon1, verwaltungen.customizer->filterBis1,
                     verwaltungen.customizer->filterVon2, verwaltungen.customizer->filterBis2,
                     verwaltungen.customizer->filterMit1, verwaltungen.customizer->filterMit2,
                     verwaltungen) {}

RechnungsFiler::Stand RechnungsFiler::Jetzt() const {
    return {erfasstVon_, erfasstBis_, datumVon_, datumBis_, mitErfasst_, mitDatum_};
}

void RechnungsFiler::Setze(const Stand& stand) {
    erfasstVon_ = stand.erfasstVon;
    erfasstBis_ = stand.erfasstBis;
    datumVon_ = stand.datumVon;
    datumBis_ = stand.datumBis;
    mitErfasst_ = stand.mitErfasst;
    mitDatum_ = stand.mitDatum;
}

void RechnungsFiler::SetupWindow() {
    anfang_ = Jetzt();
    Auffrischen();
    // Typing starts in the first date in use, and Enter then means "OK"
    // rather than the button that would otherwise have the focus.
    if (mitDatum_ != 0) {
        Win().Focus(kDatumVonTag);
    } else if (mitErfasst_ != 0) {
        Win().Focus(kErfasstVonTag);
    }
}

void RechnungsFiler::Auffrischen() {
    Window& w = Win();
    frischt_ = true;
    const bool mitDatum = mitDatum_ != 0;
    const bool mitErfasst = mitErfasst_ != 0;
    w.SetChecked(kMitDatum, mitDatum);
    w.SetChecked(kMitErfasst, mitErfasst);
    for (int id : {kDatumVonTag, kDatumVonMonat, kDatumVonJahr, kDatumBisTag, kDatumBisMonat,
                   kDatumBisJahr}) {
        w.Enable(id, mitDatum);
    }
    for (int id : {kErfasstVonTag, kErfasstVonMonat, kErfasstVonJahr, kErfasstBisTag,
                   kErfasstBisMonat, kErfasstBisJahr}) {
        w.Enable(id, mitErfasst);
    }
    w.Enable(ControlId::kOk, mitDatum || mitErfasst);
    auto zeige = [&](int tag, int monat, int jahr, std::int32_t julian) {
        Eingabefelder::DatumZeigen(w, tag, monat, jahr, static_cast<std::uint32_t>(julian));
    };
    zeige(kErfasstVonTag, kErfasstVonMonat, kErfasstVonJahr, erfasstVon_);
    zeige(kErfasstBisTag, kErfasstBisMonat, kErfasstBisJahr, erfasstBis_);
    zeige(kDatumVonTag, kDatumVonMonat, kDatumVonJahr, datumVon_);
    zeige(kDatumBisTag, kDatumBisMonat, kDatumBisJahr, datumBis_);
    frischt_ = false;
}

void RechnungsFiler::Lesen() {
    const Window& w = Win();
    mitDatum_ = w.IsChecked(kMitDatum) ? 1 : 0;
    mitErfasst_ = w.IsChecked(kMitErfasst) ? 1 : 0;
    auto lies = [&](int tag, int monat, int jahr) {
        return static_cast<std::int32_t>(Eingabefelder::DatumLesen(w, tag, monat, jahr).Julian());
    };
    erfasstVon_ = lies(kErfasstVonTag, kErfasstVonMonat, kErfasstVonJahr);
    erfasstBis_ = lies(kErfasstBisTag, kErfasstBisMonat, kErfasstBisJahr);
    datumVon_ = lies(kDatumVonTag, kDatumVonMonat, kDatumVonJahr);
    datumBis_ = lies(kDatumBisTag, kDatumBisMonat, kDatumBisJahr);
}

bool RechnungsFiler::DatenPruefen() {
    Window& w = Win();
    struct Feld {
        bool inGebrauch;
        int tag, monat, jahr;
    };
    const bool mitDatum = w.IsChecked(kMitDatum);
    const bool mitErfasst = w.IsChecked(kMitErfasst);
    const Feld felder[] = {
        {mitErfasst, kErfasstVonTag, kErfasstVonMonat, kErfasstVonJahr},
        {mitErfasst, kErfasstBisTag, kErfasstBisMonat, kErfasstBisJahr},
        {mitDatum, kDatumVonTag, kDatumVonMonat, kDatumVonJahr},
        {mitDatum, kDatumBisTag, kDatumBisMonat, kDatumBisJahr},
    };
    for (const Feld& f : felder) {
        Datum datum;
        std::string fehler;
        if (f.inGebrauch &&
            !Eingabefelder::DatumPruefen(w, f.tag, f.monat, f.jahr, datum, fehler)) {
            App().MessageBox(fehler, "Rechnungs-Filter");
            w.Focus(f.tag);
            return false;
        }
    }
    return true;
}

void RechnungsFiler::TextChanged(int /*id*/) {
    if (!frischt_) {
        Lesen();
    }
}

void RechnungsFiler::Command(int id) {
    const auto heute = static_cast<std::int32_t>(Datum::Heute().Julian());
    switch (id) {
        case kMitErfasst:
            mitErfasst_ = mitErfasst_ != 0 ? 0 : 1;
            break;
        case kMitDatum:
            mitDatum_ = mitDatum_ != 0 ? 0 : 1;
            break;
        case kUebernehmen:
            erfasstVon_ = datumVon_;
            erfasstBis_ = datumBis_;
            break;
        case kErfasstHeute:
            erfasstBis_ = heute;
            erfasstVon_ = heute - kTageZurueck;
            break;
        case kDatumHeute:
            datumBis_ = heute;
            datumVon_ = heute - kTageZurueck;
            break;
        case ControlId::kOk:
            if (!DatenPruefen()) {
                return;
            }
            Lesen();
            CloseWindow(ControlId::kOk);
            return;
        case ControlId::kCancel:
            // Typing has already changed the settings; cancelling takes that
            // back, as the user expects of "Abbruch".
            Setze(anfang_);
            CloseWindow(ControlId::kCancel);
            return;
        default:
            Dialog::Command(id);
            return;
    }
    Auffrischen();
}

void RechnungsFiler::RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) {
    verwaltungen_.rechnungsVerwaltung->GetRechnungenNachDatum(
        liste, static_cast<std::uint32_t>(erfasstVon_), static_cast<std::uint32_t>(erfasstBis_),
        static_cast<std::uint32_t>(datumVon_), static_cast<std::uint32_t>(datumBis_),
        mitErfasst_ != 0, mitDatum_ != 0, nurOffene);
}
