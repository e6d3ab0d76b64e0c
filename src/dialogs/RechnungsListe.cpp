#include "dialogs/RechnungsListe.h"

#include <vector>

#include "dialogs/DruckDialog.h"
#include "dialogs/ERechnungSpeichern.h"
#include "dialogs/Eingabefelder.h"
#include "dialogs/RechnungDrucken.h"
#include "dialogs/RechnungsServer.h"
#include "dialogs/WeinListe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

const char* const kLoeschenTitel = "Vorgang Rechnung l\xF6schen";
const char* const kAendernTitel = "Rechnungsdaten \xE4ndern";

// The edit fields of the invoice header.
constexpr int kFelder[] = {RechnungsListe::kNummer,      RechnungsListe::kKartons,
                           RechnungsListe::kSteigen,     RechnungsListe::kTag,
                           RechnungsListe::kMonat,       RechnungsListe::kJahr,
                           RechnungsListe::kEingegangen, RechnungsListe::kBemerkung};

// The buttons that act on the selected invoice.
constexpr int kAufAuswahl[] = {RechnungsListe::kDuplizieren, RechnungsListe::kDrucken,
                               RechnungsListe::kLoeschen, RechnungsListe::kEditieren,
                               RechnungsListe::kERechnung};

}  // namespace

RechnungsListe::RechnungsListe(RechnungsServer& server, Verwaltungen& verwaltungen,
                               const Kunde* kunde)
    : Dialog(kResource), server_(server), verwaltungen_(verwaltungen) {
    if (kunde != nullptr) {
        kunde_ = *kunde;
    }
}

void RechnungsListe::SetupWindow() {
    Window& w = Win();
    w.AddColumn(kListe, "Nr.", 45, Align::Right);
    w.AddColumn(kListe, "Datum", 70, Align::Left);
    w.AddColumn(kListe, "Betrag ges.", 75, Align::Right);
    w.AddColumn(kListe, "Betrag eingeg.", 85, Align::Right);
    w.AddColumn(kListe, "Beglichen", 65, Align::Right);
    // Column 5 shows the cartons, 6 the crates.
    w.AddColumn(kListe, "Kartons", 50, Align::Right);
    w.AddColumn(kListe, "Steigen", 45, Align::Right);
    w.AddColumn(kListe, Modus() == 0 ? "Bemerkung" : "Kunde", 220, Align::Left);
    w.SetChecked(kNurOffene, true);
    nurOffene_ = true;
    Fuellen();
}

void RechnungsListe::Fuellen() {
    Window& w = Win();
    {
        Wartecursor warten(App());
        gewaehlt_ = -1;
        liste_.Empty();
        server_.RechnungenLiefern(liste_, nurOffene_);

        laedt_ = true;
        // The fill drops the selection, and with it what the buttons act on.
        KnoepfeSchalten();
        for (int id :
             {kNummer, kKartons, kSteigen, kTag, kMonat, kJahr, kSumme, kEingegangen, kBemerkung}) {
            w.SetText(id, "");
        }
        w.SetChecked(kBeglichen, false);
        laedt_ = false;

        // All rows in one step: a list of tens of thousands of invoices is
        // there at once, its cells asked for only when shown.
        std::vector<std::string> zeilen;
        zeilen.reserve(liste_.Count());
        for (unsigned i = 0; i < liste_.Count(); ++i) {
            zeilen.push_back(std::to_string(liste_[i].nummer));
        }
        w.SetRows(kListe, std::move(zeilen));
    }
    geaendert_ = false;
}

std::int64_t RechnungsListe::Summe(const Rechnung& r) const {
    return Rechnungsbetrag(r, verwaltungen_.customizer).summe;
}

Rechnung* RechnungsListe::Gewaehlt() {
    if (gewaehlt_ < 0 || static_cast<unsigned>(gewaehlt_) >= liste_.Count()) {
        return nullptr;
    }
    return &liste_[static_cast<unsigned>(gewaehlt_)];
}

std::string RechnungsListe::CellText(int /*listId*/, int row, int column) {
    if (row < 0 || static_cast<unsigned>(row) >= liste_.Count()) {
        return {};
    }
    const Rechnung& r = liste_[static_cast<unsigned>(row)];
    switch (column) {
        case 0:
            return std::to_string(r.nummer);
        case 1:
            return Eingabefelder::DatumZeigbar(r.datum) ? Datum(r.datum).Text() : "N/A";
        case 2:
            return Rechnungsbetrag::Text(Summe(r));
        case 3:
            return Eingabefelder::BetragText(r.betragEingegangen);
        case 4:
            return r.beglichen != 0 ? "ja" : "nein";
        case 5:
            return std::to_string(r.kartons);
        case 6:
            return std::to_string(r.steigen);
        case 7: {
            if (Modus() == 0) {
                return FixedText::Get(r.bemerkung);
            }
            const Kunde* k = verwaltungen_.kundenVerwaltung != nullptr
                                 ? verwaltungen_.kundenVerwaltung->GetKunde(r.kunde)
                                 : nullptr;
            if (k == nullptr) {
                return {};
            }
            return FixedText::Get(k->Vorname) + " " + FixedText::Get(k->Nachname) + " aus " +
                   FixedText::Get(k->Ort);
        }
        default:
            return {};
    }
}

std::optional<Rgb> RechnungsListe::RowColour(int /*listId*/, int row) {
    return row % 2 == 0 ? kHellgruen : kWeiss;
}

bool RechnungsListe::MayChangeSelection(int /*listId*/, int row) {
    if (geaendert_ &&
        App().MessageBox("Vorsicht: Sie haben Daten in den Eingabefeldern ver\xE4ndert ohne "
                         "danach zu speichern. Sollen die \xC4nderungen unber\xFC"
                         "cksichtigt bleiben?",
                         "Neuen Tabelleneintrag w\xE4hlen", MessageButtons::YesNo,
                         MessageIcon::None, Answer::No) == Answer::No) {
        return false;
    }
    Laden(row);
    return true;
}

void RechnungsListe::Laden(int row) {
    if (row < 0 || static_cast<unsigned>(row) >= liste_.Count()) {
        return;
    }
    gewaehlt_ = row;
    const Rechnung& r = liste_[static_cast<unsigned>(row)];
    Window& w = Win();
    laedt_ = true;
    w.SetText(kNummer, std::to_string(r.nummer));
    Eingabefelder::DatumZeigen(w, kTag, kMonat, kJahr, r.datum);
    w.SetText(kBemerkung, FixedText::Get(r.bemerkung));
    w.SetText(kSteigen, std::to_string(r.steigen));
    w.SetText(kKartons, std::to_string(r.kartons));
    w.SetText(kEingegangen, Eingabefelder::BetragText(r.betragEingegangen));
    w.SetText(kSumme, Rechnungsbetrag::Text(Summe(r)));
    w.SetChecked(kBeglichen, r.beglichen != 0);
    laedt_ = false;
    geaendert_ = false;
    for (int id : kAufAuswahl) {
        w.Enable(id, true);
    }
}

void RechnungsListe::KnoepfeSchalten() {
    Window& w = Win();
    const bool mitAuswahl = Gewaehlt() != nullptr && !w.SelectedRows(kListe).empty();
    for (int id : kAufAuswahl) {
        w.Enable(id, mitAuswahl);
    }
}

void RechnungsListe::SelectionChanged(int id) {
    // A row taken out of the selection (Ctrl and a click) leaves none.
    if (id == kListe) {
        KnoepfeSchalten();
    }
}

bool RechnungsListe::EnterPressed(int id) {
    for (int feld : kFelder) {
        if (feld == id) {
            Win().FocusNext();
            return true;
        }
    }
    return false;
}

bool RechnungsListe::MayClose() {
    return AenderungenKlaeren();
}

bool RechnungsListe::AenderungenKlaeren() {
    const Rechnung* r = Gewaehlt();
    if (!geaendert_ || r == nullptr) {
        return true;
    }
    switch (App().MessageBox("Sollen die \xC4nderungen an Rechnung " + std::to_string(r->nummer) +
                                 " gespeichert werden?",
                             kAendernTitel, MessageButtons::YesNoCancel)) {
        case Answer::Yes:
            return Speichern(false);
        case Answer::No:
            geaendert_ = false;
            return true;
        default:
            return false;
    }
}

void RechnungsListe::TextChanged(int id) {
    if (laedt_) {
        return;
    }
    switch (id) {
        case kEingegangen: {
            const double betrag = Eingabefelder::BetragLesen(Win().Text(kEingegangen));
            const Rechnung* r = Gewaehlt();
            if (r != nullptr && Summe(*r) <= Eingabefelder::Cent(betrag)) {
                Win().SetChecked(kBeglichen, true);
            }
            geaendert_ = true;
            break;
        }
        case kBemerkung:
        case kJahr:
        case kMonat:
        case kTag:
        case kSteigen:
        case kNummer:
        case kKartons:
            geaendert_ = true;
            break;
        default:
            break;
    }
}

void RechnungsListe::Command(int id) {
    Window& w = Win();
    switch (id) {
        case kEditieren:
            Editieren();
            break;
        case kHeute:
            Eingabefelder::DatumZeigen(w, kTag, kMonat, kJahr, Datum::Heute().Julian());
            break;
        case kDatumLeeren:
            w.SetText(kTag, "");
            w.SetText(kMonat, "");
            w.SetText(kJahr, "");
            break;
        case kSpeichern:
            Speichern();
            break;
        case kERechnung:
            ERechnung();
            break;
        case kDrucken:
            Drucken();
            break;
        case kLoeschen:
            Loeschen();
            break;
        case kNurOffene:
            // Typed changes are settled first; cancelled, the tick goes back.
            if (!AenderungenKlaeren()) {
                w.SetChecked(kNurOffene, nurOffene_);
                break;
            }
            nurOffene_ = !nurOffene_;
            Fuellen();
            break;
        case kDuplizieren:
            Duplizieren();
            break;
        case kBeglichen:
            geaendert_ = true;
            break;
        default:
            Dialog::Command(id);
    }
}

bool RechnungsListe::Speichern(bool neuFuellen) {
    Rechnung* r = Gewaehlt();
    if (r == nullptr) {
        return true;
    }
    Window& w = Win();
    // Checked before anything reaches the invoice: a refusal changes nothing.
    // Cartons and crates are 16-bit fields where 32767 cartons mark a deleted
    // invoice; a number outside the room would store something else than was
    // typed, or make the invoice vanish.
    Eingabefelder::Rechnungskopf kopf;
    const std::string kopfFehler = Eingabefelder::RechnungskopfLesen(
        w.Text(kKartons), w.Text(kSteigen), w.Text(kNummer), kopf);
    if (!kopfFehler.empty()) {
        App().MessageBox(kopfFehler, kAendernTitel);
        return false;
    }
    Datum datum;
    std::string datumFehler;
    if (!Eingabefelder::DatumPruefen(w, kTag, kMonat, kJahr, datum, datumFehler)) {
        App().MessageBox(datumFehler, kAendernTitel);
        w.Focus(kTag);
        return false;
    }
    const std::string vordatiert = Eingabefelder::Vordatiert(
        datum, r->erfasstDatum,
        verwaltungen_.customizer != nullptr ? verwaltungen_.customizer->vordatierungTage : 0);
    if (!vordatiert.empty()) {
        App().MessageBox(vordatiert, kAendernTitel);
        return false;
    }
    FixedText::Set(r->bemerkung, w.Text(kBemerkung));
    r->kartons = kopf.kartons;
    r->steigen = kopf.steigen;
    r->nummer = kopf.nummer;
    r->betragEingegangen = static_cast<float>(Eingabefelder::BetragLesen(w.Text(kEingegangen)));
    r->datum = datum.Julian();
    r->beglichen = w.IsChecked(kBeglichen) ? 1 : 0;
    verwaltungen_.rechnungsVerwaltung->UpdateRechnung(*r);
    geaendert_ = false;
    if (neuFuellen) {
        Fuellen();
    }
    return true;
}

void RechnungsListe::Loeschen() {
    const Rechnung* r = Gewaehlt();
    if (r == nullptr) {
        App().MessageBox("Es wurde noch gar keine Rechnung markiert", kLoeschenTitel);
        return;
    }
    const Answer antwort = App().MessageBox(
        "Vorsicht: Sie sind im Begriff eine Rechnung aus dem Datenbestand zu entfernen. M\xF6"
        "chten Sie, da\xDF vor dem L\xF6schen der Flaschenbestand der betroffenen Weine berichtigt "
        "wird? W\xE4hlen Sie Abbruch, fall Sie nicht sicher sind.",
        kLoeschenTitel, MessageButtons::YesNoCancel, MessageIcon::None, Answer::Cancel);
    if (antwort == Answer::Cancel) {
        App().MessageBox("Es wurde keine Rechnung gel\xF6scht", kLoeschenTitel);
        return;
    }
    verwaltungen_.rechnungsVerwaltung->DeleteRechnung(r->id, antwort == Answer::Yes);
    Fuellen();
}

void RechnungsListe::Duplizieren() {
    const Rechnung* r = Gewaehlt();
    if (r == nullptr) {
        return;
    }
    if (!AenderungenKlaeren()) {
        return;
    }
    if (App().MessageBox("Vorsicht: Sie sind dabei eine Rechnung zu duplizieren. Damit wird auch "
                         "der Bestand an Weinen ver\xE4ndert. M\xF6"
                         "chte Sie fortfahren?",
                         "Rechnung duplizieren", MessageButtons::YesNo) != Answer::Yes) {
        return;
    }
    verwaltungen_.rechnungsVerwaltung->DeriveRechnung(*r);
    Fuellen();
}

void RechnungsListe::Editieren() {
    Rechnung* r = Gewaehlt();
    if (r == nullptr) {
        return;
    }
    if (!AenderungenKlaeren()) {
        return;
    }
    if (verwaltungen_.preisVerwaltung == nullptr || verwaltungen_.preisVerwaltung->count < 1) {
        // The editor works with a price list; without one it cannot open.
        App().MessageBox(
            "Zum Bearbeiten einer Rechnung muss mindestens eine Preisliste benannt sein. Dies kann "
            "im Dialog Optionen/Grundeinstellungen getan werden."_w,
            "Rechnung editieren");
        return;
    }
    // Opened for a customer, the list edits with that customer and the full
    // wine list; otherwise with the invoice's own customer and its wines.
    Kunde kunde = kunde_ ? *kunde_ : Kunde(r->kunde);
    if (!kunde_ && verwaltungen_.kundenVerwaltung != nullptr) {
        if (const Kunde* k = verwaltungen_.kundenVerwaltung->GetKunde(r->kunde)) {
            kunde = *k;
        }
    }
    {
        WeinListe editor(verwaltungen_, kunde, r, Modus() == 0);
        App().Execute(editor);
    }
    Fuellen();
}

void RechnungsListe::Drucken() {
    if (Gewaehlt() == nullptr) {
        return;
    }
    bool packliste = true;
    bool kundenRechnung = true;
    bool interneRechnung = true;
    bool bildschirm = false;
    if (!DruckDialog::Waehlen(App(), packliste, kundenRechnung, interneRechnung, bildschirm)) {
        return;  // "Abbruch" prints nothing
    }
    const std::vector<int> zeilen = Win().SelectedRows(kListe);
    if (zeilen.empty()) {
        App().MessageBox(
            "Es wurde keine Rechnung zum Drucken selektiert. W\xE4hlen Sie hierzu mit der Maus "
            "die Nummer der entsprechenden Rechnung an. Um mehrere Rechnungen auf einmal "
            "auszugeben muss die Strg-Taste gedr\xFC"
            "ckt gehalten werden.",
            "Rechnungen drucken");
        return;
    }
    for (int zeile : zeilen) {
        if (zeile >= 0 && static_cast<unsigned>(zeile) < liste_.Count()) {
            RechnungDrucken(App(), verwaltungen_, liste_[static_cast<unsigned>(zeile)], packliste,
                            kundenRechnung, interneRechnung, bildschirm);
        }
    }
}

void RechnungsListe::ERechnung() {
    if (const Rechnung* r = Gewaehlt()) {
        ERechnungSpeichern(App(), verwaltungen_, App().Dokumente()).Speichern(*r);
    }
}
