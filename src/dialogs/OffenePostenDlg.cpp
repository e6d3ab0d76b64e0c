#include "dialogs/OffenePostenDlg.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "dialogs/DruckDialog.h"
#include "dialogs/WeinListe.h"
#include "documents/Ausgabeziel.h"
#include "documents/Dokumentausgabe.h"
#include "documents/Mahnschreiben.h"
#include "documents/OffenePostenListe.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/MessageException.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

enum Spalte {
    kKunde,
    kNummer,
    kDatum,
    kFaellig,
    kTage,
    kBetrag,
    kErhalten,
    kOffen,
    kStufe,
    kLetzte,
};

// "7.12.2026"; a date with one or two digits for day and month and four for
// the year, or none.
std::optional<Datum> DatumLesen(const std::string& text) {
    int tag = 0;
    int monat = 0;
    int jahr = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%2d.%2d.%4d%c", &tag, &monat, &jahr, &rest) != 3 ||
        jahr < 1976 || jahr > Datum::kLetztesJahr) {
        return std::nullopt;
    }
    const Datum datum(tag, monat, jahr);
    if (!datum.IsValid()) {
        return std::nullopt;
    }
    return datum;
}

std::string DatumText(Datum datum) {
    return datum.IsValid() ? datum.Text() : std::string();
}

}  // namespace

OffenePostenDlg::OffenePostenDlg(Datenbestand& bestand)
    : Dialog(kResource), bestand_(bestand), stichtag_(Datum::Heute()) {}

void OffenePostenDlg::SetupWindow() {
    Win().AddColumn(kListe, "Kunde", 160);
    Win().AddColumn(kListe, "Rechnung", 70, Align::Right);
    Win().AddColumn(kListe, "Datum", 80);
    Win().AddColumn(kListe, "Fällig am"_w, 80);
    Win().AddColumn(kListe, "Tage überfällig"_w, 60, Align::Right);
    Win().AddColumn(kListe, "Betrag", 80, Align::Right);
    Win().AddColumn(kListe, "Erhalten", 80, Align::Right);
    Win().AddColumn(kListe, "Offen", 80, Align::Right);
    Win().AddColumn(kListe, "Stufe", 45, Align::Right);
    Win().AddColumn(kListe, "Letzte Mahnung", 90);
    Win().SetChecked(kNurUeberfaellig, true);
    // Filled once, not again by the text change of the key date.
    Win().SetText(kStichtag, stichtag_.Text());
    bereit_ = true;
    Fuellen();
}

void OffenePostenDlg::Fuellen() {
    Verwaltungen& v = bestand_.GetVerwaltungen();
    posten_ = OffenePosten::Ermitteln(
        *v.rechnungsVerwaltung, v.customizer, bestand_.GetFirmendaten(), &bestand_.GetMahnungen(),
        bestand_.GetMahntexte(), stichtag_, Win().IsChecked(kNurUeberfaellig));
    std::vector<std::string> zeilen;
    zeilen.reserve(posten_.size());
    std::int64_t summe = 0;
    for (const OffenerPosten& p : posten_) {
        zeilen.push_back(OffenePostenListe::KundenName(v.kundenVerwaltung, p.kunde));
        summe += p.offen;
    }
    Win().SetRows(kListe, std::move(zeilen));
    const std::string waehrung = v.customizer != nullptr ? v.customizer->Waehrung() : "";
    Win().SetText(kStatus, std::to_string(posten_.size()) +
                               (posten_.size() == 1 ? " Rechnung" : " Rechnungen") +
                               ", offen zusammen " + (waehrung.empty() ? "" : waehrung + " ") +
                               Rechnungsbetrag::Text(summe));
    KnoepfeSchalten();
}

void OffenePostenDlg::KnoepfeSchalten() {
    const std::size_t gewaehlt = Win().SelectedRows(kListe).size();
    for (const int knopf : {kDrucken, kPdf, kZuruecksetzen}) {
        Win().Enable(knopf, gewaehlt > 0);
    }
    Win().Enable(kAnzeigen, gewaehlt == 1);
}

void OffenePostenDlg::TextChanged(int id) {
    if (id != kStichtag || !bereit_) {
        return;
    }
    const std::optional<Datum> datum = DatumLesen(Win().Text(kStichtag));
    if (!datum) {
        posten_.clear();
        Win().SetRows(kListe, {});
        Win().SetText(kStatus, "Bitte den Stichtag als T.M.JJJJ eingeben (etwa 31.12.2026).");
        KnoepfeSchalten();
        return;
    }
    stichtag_ = *datum;
    Fuellen();
}

void OffenePostenDlg::SelectionChanged(int id) {
    if (id == kListe) {
        KnoepfeSchalten();
    }
}

void OffenePostenDlg::Command(int id) {
    switch (id) {
        case kNurUeberfaellig:
            Fuellen();
            break;
        case kDrucken:
            Drucken();
            break;
        case kPdf:
            PdfSpeichern();
            break;
        case kZuruecksetzen:
            Zuruecksetzen();
            break;
        case kAnzeigen:
            Anzeigen();
            break;
        default:
            Dialog::Command(id);
            break;
    }
}

std::string OffenePostenDlg::CellText(int listId, int row, int column) {
    if (listId != kListe || row < 0 || static_cast<std::size_t>(row) >= posten_.size()) {
        return {};
    }
    const OffenerPosten& p = posten_[static_cast<std::size_t>(row)];
    switch (column) {
        case kNummer:
            return std::to_string(p.nummer);
        case kDatum:
            return DatumText(p.datum);
        case kFaellig:
            return DatumText(p.faellig);
        case kTage:
            return p.tageUeberfaellig > 0 ? std::to_string(p.tageUeberfaellig) : "";
        case kBetrag:
            return Rechnungsbetrag::Text(p.endbetrag);
        case kErhalten:
            return Rechnungsbetrag::Text(p.eingegangen);
        case kOffen:
            return Rechnungsbetrag::Text(p.offen);
        case kStufe:
            return std::to_string(p.stufe);
        case kLetzte:
            return DatumText(p.letzteMahnung);
        default:
            return {};
    }
}

std::optional<Rgb> OffenePostenDlg::RowColour(int listId, int row) {
    if (listId == kListe && row >= 0 && static_cast<std::size_t>(row) < posten_.size() &&
        posten_[static_cast<std::size_t>(row)].vorgeschlagen) {
        return kMahnungFaellig;
    }
    return std::nullopt;
}

std::vector<OffenerPosten> OffenePostenDlg::Gewaehlt(const char* wozu) {
    std::vector<OffenerPosten> gewaehlt;
    for (const int zeile : Win().SelectedRows(kListe)) {
        if (zeile >= 0 && static_cast<std::size_t>(zeile) < posten_.size()) {
            gewaehlt.push_back(posten_[static_cast<std::size_t>(zeile)]);
        }
    }
    if (gewaehlt.empty()) {
        App().MessageBox("Bitte wählen Sie zuerst die Rechnungen aus, "_w + wozu +
                             ". Mehrere Rechnungen wählen Sie mit gedrückter Strg-Taste aus."_w,
                         kTitel);
    }
    return gewaehlt;
}

std::vector<Mahnbrief> OffenePostenDlg::Briefe(const std::vector<OffenerPosten>& gewaehlt) const {
    return Mahnbrief::Bilden(gewaehlt, bestand_.GetMahntexte());
}

std::vector<PrintJob> OffenePostenDlg::Auftraege(const std::vector<Mahnbrief>& briefe) const {
    Verwaltungen& v = bestand_.GetVerwaltungen();
    std::vector<PrintJob> auftraege;
    for (const Mahnbrief& brief : briefe) {
        const Kunde* kunde =
            v.kundenVerwaltung != nullptr ? v.kundenVerwaltung->GetKunde(brief.kunde) : nullptr;
        auftraege.push_back(Mahnschreiben(brief, kunde, bestand_.GetFirmendaten(),
                                          bestand_.GetMahntexte(), v.customizer, stichtag_)
                                .Auftrag());
    }
    return auftraege;
}

void OffenePostenDlg::Drucken() {
    const std::vector<OffenerPosten> gewaehlt = Gewaehlt("die gemahnt werden sollen");
    if (gewaehlt.empty()) {
        return;
    }
    bool bildschirm = false;
    if (!DruckDialog::Ausgabeart(App(), bildschirm)) {
        return;
    }
    const std::vector<Mahnbrief> briefe = Briefe(gewaehlt);
    std::vector<PrintJob> auftraege = Auftraege(briefe);
    if (bildschirm) {
        // Only shown: nothing went out, so nothing is recorded.
        for (PrintJob& auftrag : auftraege) {
            App().Preview(std::make_unique<PrintJob>(std::move(auftrag)));
        }
        return;
    }
    if (App().Print(auftraege)) {
        Bestaetigen(briefe);
    }
}

void OffenePostenDlg::PdfSpeichern() {
    const std::vector<OffenerPosten> gewaehlt = Gewaehlt("die gemahnt werden sollen");
    if (gewaehlt.empty()) {
        return;
    }
    Dokumentausgabe* ausgabe = App().Dokumente();
    if (ausgabe == nullptr) {
        App().MessageBox("PDF-Dateien kann dieses Programm nicht schreiben.", kTitel);
        return;
    }
    SaveFileRequest anfrage;
    anfrage.title = "Mahnungen als PDF speichern";
    anfrage.filter = "PDF-Dateien (*.PDF)|*.pdf|";
    anfrage.fileName = "mahnungen_" + std::to_string(stichtag_.Year()) + "-" +
                       (stichtag_.Month() < 10 ? "0" : "") + std::to_string(stichtag_.Month()) +
                       "-" + (stichtag_.Day() < 10 ? "0" : "") + std::to_string(stichtag_.Day());
    anfrage.defaultExt = "pdf";
    const auto wahl = App().SaveFile(anfrage);
    if (!wahl) {
        return;
    }
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path, bestand_.Verzeichnis());
    if (!hindernis.empty()) {
        App().MessageBox(hindernis + " Die Mahnungen wurden nicht gespeichert.", kTitel);
        return;
    }
    const std::vector<Mahnbrief> briefe = Briefe(gewaehlt);
    if (!ausgabe->PdfAuftraege(wahl->path, Auftraege(briefe),
                               "Mahnungen vom " + stichtag_.Text())) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(wahl->path) +
                             " konnte nicht geschrieben werden. Die Mahnungen wurden nicht "
                             "gespeichert.",
                         kTitel);
        return;
    }
    App().StatusMessage("Mahnungen gespeichert: "_w + CodePage::Utf8ToCp1252(wahl->path));
    Bestaetigen(briefe);
}

void OffenePostenDlg::Bestaetigen(const std::vector<Mahnbrief>& briefe) {
    if (App().MessageBox(kFrage, kTitel, MessageButtons::YesNo, MessageIcon::Question,
                         Answer::Yes) != Answer::Yes) {
        return;
    }
    try {
        Mahnbrief::Vermerken(briefe, bestand_.GetMahnungen(), bestand_.GetVerwaltungen().logBuch,
                             stichtag_);
    } catch (const MessageException& e) {
        App().MessageBox(e.Text(), kTitel);
    }
    Fuellen();
}

void OffenePostenDlg::Zuruecksetzen() {
    const std::vector<OffenerPosten> gewaehlt =
        Gewaehlt("deren Mahnstufe zurückgesetzt werden soll"_w.c_str());
    if (gewaehlt.empty()) {
        return;
    }
    if (App().MessageBox("Für die gewählten Rechnungen wird die Mahnstufe auf 0 zurückgesetzt; "
                         "die nächste Mahnung ist dann wieder eine Zahlungserinnerung. "
                         "Fortfahren?"_w,
                         kTitel, MessageButtons::YesNo, MessageIcon::Question,
                         Answer::No) != Answer::Yes) {
        return;
    }
    try {
        for (const OffenerPosten& p : gewaehlt) {
            if (p.stufe != 0) {
                bestand_.GetMahnungen().Vermerken(p.id, p.nummer, 0, Datum(),
                                                  bestand_.GetVerwaltungen().logBuch);
            }
        }
    } catch (const MessageException& e) {
        App().MessageBox(e.Text(), kTitel);
    }
    Fuellen();
}

void OffenePostenDlg::Anzeigen() {
    const std::vector<int> zeilen = Win().SelectedRows(kListe);
    if (zeilen.size() != 1 || zeilen[0] < 0 ||
        static_cast<std::size_t>(zeilen[0]) >= posten_.size()) {
        return;
    }
    Verwaltungen& v = bestand_.GetVerwaltungen();
    if (v.preisVerwaltung == nullptr || v.preisVerwaltung->count < 1) {
        // The editor works with a price list; without one it cannot open.
        App().MessageBox(
            "Zum Bearbeiten einer Rechnung muss mindestens eine Preisliste benannt sein. Dies kann "
            "im Dialog Optionen/Grundeinstellungen getan werden."_w,
            "Rechnung editieren");
        return;
    }
    const Rechnung* gelesen =
        v.rechnungsVerwaltung->GetRechnung(posten_[static_cast<std::size_t>(zeilen[0])].id);
    if (gelesen == nullptr) {
        return;
    }
    // The editor follows its own copy, as it does for the invoice list.
    Rechnung rechnung = *gelesen;
    rechnung.SetVerwaltungen(&v);
    Kunde kunde(rechnung.kunde);
    if (v.kundenVerwaltung != nullptr) {
        if (const Kunde* k = v.kundenVerwaltung->GetKunde(rechnung.kunde)) {
            kunde = *k;
        }
    }
    {
        WeinListe editor(v, kunde, &rechnung, false);
        App().Execute(editor);
    }
    Fuellen();
}
