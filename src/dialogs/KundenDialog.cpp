#include "dialogs/KundenDialog.h"

#include <string>

#include "dialogs/KundenListe.h"
#include "dialogs/RechnungsListe.h"
#include "dialogs/WeinListe.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "storage/LenientNumber.h"
#include "storage/MessageException.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

constexpr const char* kImportTitel = "KundenDialog::CmStore()";
const std::string kAendernTitel = "Vorgang Kundendaten verändern"_w;

// The edits of the form with the record fields they fill, in form order.
constexpr int kFelder[] = {KundenDialog::kVorname, KundenDialog::kNachname, KundenDialog::kStrasse,
                           KundenDialog::kPlz,     KundenDialog::kOrt,      KundenDialog::kTelefon,
                           KundenDialog::kFax,     KundenDialog::kEMail};

// The remark keeps its line breaks as CR LF, whatever the window gives.
std::string MitCrLf(const std::string& text) {
    std::string aus;
    aus.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            aus += '\r';
        }
        aus += text[i];
    }
    return aus;
}

}  // namespace

KundenDialog::KundenDialog(int modus, Verwaltungen& verwaltungen, const Kunde* kunde)
    : Dialog(kResource), modus_(modus), verwaltungen_(verwaltungen), kunde_(kunde) {}

void KundenDialog::SetupWindow() {
    Window& w = Win();
    fuellt_ = true;
    // The limits are the record's field widths less the terminator.
    w.SetLimit(kAnrede, sizeof formular_.Anrede - 1);
    w.SetLimit(kVorname, sizeof formular_.Vorname - 1);
    w.SetLimit(kNachname, sizeof formular_.Nachname - 1);
    w.SetLimit(kStrasse, sizeof formular_.Strasse - 1);
    w.SetLimit(kPlz, 5);
    w.SetLimit(kOrt, sizeof formular_.Ort - 1);
    w.SetLimit(kTelefon, sizeof formular_.Telefon - 1);
    w.SetLimit(kFax, sizeof formular_.Fax - 1);
    w.SetLimit(kEMail, sizeof formular_.EMail - 1);
    w.SetLimit(kBemerkung, sizeof formular_.bemerkung - 1);
    w.SetLimit(kTreffer, 254);

    w.ClearItems(kAnrede);
    for (const char* anrede : {"Herrn", "Frau", "Firma", "Eheleute"}) {
        w.AddItem(kAnrede, anrede);
    }
    for (int bild : {kBildAendern, kBildRechnung, kBildErfassen, kBildSuchen}) {
        w.Show(bild, false);
    }

    w.ClearItems(kPreisliste);
    const PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
    for (int i = 0; i < preise.count; ++i) {
        const char* name = preise.GetPreislisteName(i);
        w.AddItem(kPreisliste, name != nullptr ? name : "");
    }
    w.Select(kPreisliste, 0);
    w.ClearItems(kGruppe);
    const GeoGruppe& gruppen = *verwaltungen_.geoGruppe;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        w.AddItem(kGruppe, gruppen.Name(i));
    }
    w.Select(kGruppe, 0);

    w.SetText(kLoeschen, "Formular löschen"_w);

    switch (modus_) {
        case kSuchen:
        case kRechnung:
            w.SetText(kSpeichern, "Trefferliste");
            w.Enable(kBemerkung, false);
            w.Enable(kSpeichern, false);
            w.Show(modus_ == kSuchen ? kBildSuchen : kBildRechnung, true);
            w.StartTimer(kZaehlTimer, kZaehlTakt);
            ticks_ = -1;
            Fuellen(Kunde());
            w.Focus(kNachname);
            break;
        case kAendern:
            w.SetText(kSpeichern, "Speichern");
            w.Show(kBildAendern, true);
            // The copy keeps the customer's own number, capture stamp and
            // invoice link.
            Fuellen(kunde_ != nullptr ? *kunde_ : Kunde());
            w.Enable(kLoeschen, false);
            break;
        default:
            w.SetText(kSpeichern, "Speichern");
            w.Show(kBildErfassen, true);
            // Every customer stored from this form carries the stamp of
            // this moment.
            Fuellen(Kunde());
            break;
    }
    fuellt_ = false;
}

void KundenDialog::Fuellen(const Kunde& kunde) {
    Window& w = Win();
    fuellt_ = true;
    formular_ = kunde;
    w.SetText(kAnrede, FixedText::Get(formular_.Anrede));
    w.SetText(kVorname, FixedText::Get(formular_.Vorname));
    w.SetText(kNachname, FixedText::Get(formular_.Nachname));
    w.SetText(kStrasse, FixedText::Get(formular_.Strasse));
    // No postcode is an empty field: a "0" there would stand before what
    // the user types into it.
    w.SetText(kPlz, formular_.PLZ != 0 ? std::to_string(formular_.PLZ) : std::string());
    w.SetText(kOrt, FixedText::Get(formular_.Ort));
    w.SetText(kTelefon, FixedText::Get(formular_.Telefon));
    w.SetText(kFax, FixedText::Get(formular_.Fax));
    w.SetText(kEMail, FixedText::Get(formular_.EMail));
    bemerkung_ = FixedText::Get(formular_.bemerkung);
    w.SetText(kBemerkung, bemerkung_);
    w.Select(kPreisliste, formular_.preisliste);
    w.Select(kGruppe, formular_.kundenGruppe);
    fuellt_ = false;
}

void KundenDialog::Lesen() {
    if (fuellt_) {
        return;
    }
    Window& w = Win();
    FixedText::Set(formular_.Anrede, w.Text(kAnrede));
    FixedText::Set(formular_.Vorname, w.Text(kVorname));
    FixedText::Set(formular_.Nachname, w.Text(kNachname));
    FixedText::Set(formular_.Strasse, w.Text(kStrasse));
    formular_.PLZ = LenientNumber::ToInt(w.Text(kPlz));
    // Only new customers get the town proposed; a postcode below 10000 is
    // still being typed or was typed with a leading zero.
    if (modus_ == kErfassen && formular_.PLZ > 9999 && w.Text(kOrt).empty()) {
        fuellt_ = true;
        char ort[sizeof formular_.Ort] = {};
        verwaltungen_.kundenVerwaltung->GetOrt(formular_.PLZ, ort);
        w.SetText(kOrt, FixedText::Get(ort));
        fuellt_ = false;
    }
    FixedText::Set(formular_.Ort, w.Text(kOrt));
    FixedText::Set(formular_.Telefon, w.Text(kTelefon));
    FixedText::Set(formular_.Fax, w.Text(kFax));
    FixedText::Set(formular_.EMail, w.Text(kEMail));
    bemerkung_ = MitCrLf(w.Text(kBemerkung));
    FixedText::Set(formular_.bemerkung, bemerkung_);
    formular_.preisliste = static_cast<std::int16_t>(w.Selected(kPreisliste));
    formular_.kundenGruppe = static_cast<std::int16_t>(w.Selected(kGruppe));
    ticks_ = 0;
    geaendert_ = true;
}

void KundenDialog::TextChanged(int id) {
    if ((id >= kAnrede && id <= kBemerkung)) {
        Lesen();
    }
}

void KundenDialog::SelectionChanged(int id) {
    if (id == kAnrede || id == kPreisliste || id == kGruppe) {
        Lesen();
    }
}

void KundenDialog::FelderFreigeben(bool frei) {
    Window& w = Win();
    w.Enable(kAnrede, frei);
    for (int feld : kFelder) {
        w.Enable(feld, frei);
    }
    w.Enable(kPreisliste, frei);
    w.Enable(kGruppe, frei);
}

void KundenDialog::Timer(int timerId) {
    if (timerId != kZaehlTimer || (modus_ != kSuchen && modus_ != kRechnung) || ticks_ == -1) {
        return;
    }
    Window& w = Win();
    bool gezaehlt = false;
    unsigned anzahl = 0;
    if (++ticks_ >= 2) {
        anzahl = verwaltungen_.kundenVerwaltung->SearchKunden(formular_, nullptr);
        w.SetText(kTreffer, std::to_string(anzahl));
        ticks_ = -1;
        gezaehlt = true;
    }

    std::string text = "&Trefferliste";
    bool frei = false;
    if (gezaehlt && anzahl == 1) {
        text = "&Rechnungen";
        frei = true;
        Kunde treffer;
        if (verwaltungen_.kundenVerwaltung->NextKunde(treffer)) {
            Fuellen(treffer);
        }
        FelderFreigeben(false);
    } else if (gezaehlt && anzahl >= 2 && anzahl < kMaxTreffer) {
        frei = true;
    }
    if (modus_ == kRechnung) {
        text = gezaehlt && anzahl == 1 ? "Neue Rechnung" : "Trefferliste";
        frei = true;
    }
    w.SetText(kSpeichern, text);
    w.Enable(kSpeichern, frei);
}

void KundenDialog::Command(int id) {
    switch (id) {
        case kSpeichern:
            CmStore();
            break;
        case kLoeschen:
            Leeren();
            break;
        case kReturn:
            // Enter moves on to the next field; the form is not closed by it.
            Win().FocusNext();
            break;
        default:
            Dialog::Command(id);
    }
}

bool KundenDialog::MayClose() {
    if ((modus_ != kErfassen && modus_ != kAendern) || !geaendert_) {
        return true;
    }
    return App().MessageBox(
               "Sie haben die eingegebenen Daten noch nicht gespeichert. Möchten Sie fortfahren?"_w,
               "Dialog beenden", MessageButtons::YesNo, MessageIcon::None,
               Answer::No) == Answer::Yes;
}

void KundenDialog::Leeren() {
    Window& w = Win();
    fuellt_ = true;
    FelderFreigeben(true);
    w.SetText(kAnrede, "");
    for (int feld : kFelder) {
        w.SetText(feld, "");
    }
    w.SetText(kBemerkung, "");
    w.Focus(kNachname);
    fuellt_ = false;
    Lesen();
    geaendert_ = false;
}

void KundenDialog::GetKunden(GenericList<Kunde>& liste) {
    KundenVerwaltung& kunden = *verwaltungen_.kundenVerwaltung;
    liste.Reserve(liste.Count() + kunden.SearchKunden(formular_, nullptr));
    Kunde kunde;
    while (kunden.NextKunde(kunde)) {
        liste.Add(kunde);
    }
}

bool KundenDialog::EinzigenTrefferHolen() {
    KundenVerwaltung& kunden = *verwaltungen_.kundenVerwaltung;
    if (kunden.SearchKunden(formular_, nullptr) != 1) {
        return false;
    }
    Kunde treffer;
    if (kunden.NextKunde(treffer)) {
        Fuellen(treffer);
        FelderFreigeben(false);
    }
    return true;
}

void KundenDialog::CmStore() {
    const std::string bemerkung = FixedText::Get(formular_.bemerkung);
    const bool csv = bemerkung == "import csv";
    if (csv || bemerkung == "import pascal kunden") {
        if (App().MessageBox(csv ? "Soll die Kundendatei kunden.csv importiert werden? VORSICHT: "
                                   "Dabei gehen alle bisher eingegebenen Kunden verloren!"
                                 : "Soll der alte Kundenstamm aus der Pascal Version importiert "
                                   "werden? VORSICHT: Dabei gehen alle bisher eingegebenen "
                                   "Kunden verloren!",
                             kImportTitel, MessageButtons::YesNo, MessageIcon::None,
                             Answer::No) == Answer::Yes) {
            Importieren(csv);
        }
        return;
    }

    KundenVerwaltung& kunden = *verwaltungen_.kundenVerwaltung;
    switch (modus_) {
        case kErfassen:
            Lesen();
            if (FixedText::IsEmpty(formular_.Nachname)) {
                App().MessageBox("Es muß mindestens der Nachname angegeben werden"_w,
                                 "Kunden speichern");
                return;
            }
            if (!BemerkungPasst("Kunden speichern")) {
                return;
            }
            geaendert_ = false;
            kunden.AddKunde(formular_);
            Leeren();
            break;
        case kSuchen: {
            const unsigned anzahl = kunden.SearchKunden(formular_, nullptr);
            if (anzahl > 1) {
                TrefferlisteOeffnen(false);
            } else if (anzahl == 1 && EinzigenTrefferHolen()) {
                RechnungenOeffnen();
                Win().Close(ControlId::kOk);
            }
            break;
        }
        case kAendern:
            if (!BemerkungPasst(kAendernTitel)) {
                return;
            }
            if (App().MessageBox("Vorsicht: Sie versuchen die Daten eines Kunden durch Änderungen "
                                 "zu überschreiben. Möchten Sie den Vorgang fortsetzen?"_w,
                                 kAendernTitel, MessageButtons::YesNo, MessageIcon::None,
                                 Answer::No) == Answer::Yes) {
                geaendert_ = false;
                kunden.UpdateKunde(formular_);
            } else {
                App().MessageBox("Die Kundenkartei bleibt unverändert"_w, kAendernTitel);
            }
            break;
        case kRechnung:
            if (EinzigenTrefferHolen()) {
                RechnungOeffnen();
                Win().Close(ControlId::kOk);
            } else {
                TrefferlisteOeffnen(true);
            }
            break;
        default:
            break;
    }
}

bool KundenDialog::BemerkungPasst(const std::string& titel) {
    const std::size_t platz = sizeof formular_.bemerkung - 1;
    if (bemerkung_.size() <= platz) {
        return true;
    }
    // The field counts a line break as one character, the file as two; the
    // record would lose the end of the remark without a word.
    App().MessageBox("Die Bemerkung ist zu lang: Es können höchstens "_w + std::to_string(platz) +
                         " Zeichen gespeichert werden, und jeder Zeilenumbruch zählt dabei als "
                         "zwei Zeichen. Bitte kürzen Sie die Bemerkung um "_w +
                         std::to_string(bemerkung_.size() - platz) + " Zeichen.",
                     titel, MessageButtons::Ok, MessageIcon::Warning);
    Win().Focus(kBemerkung);
    return false;
}

void KundenDialog::Importieren(bool csv) {
    KundenVerwaltung& kunden = *verwaltungen_.kundenVerwaltung;
    try {
        Wartecursor warten(App());
        if (csv) {
            kunden.ImportKundenCSV();
        } else {
            kunden.ImportAlteKunden();
        }
    } catch (const MessageException& fehler) {
        // A missing or unreadable import file changes nothing; the user is
        // told which and may try again.
        App().MessageBox(fehler.what(), kImportTitel);
        return;
    }
    App().MessageBox(
        csv ? "Die CSV Kundendatei wurde importiert" : "Die alte Kundendatei wurde importiert",
        kImportTitel);
}

void KundenDialog::TrefferlisteOeffnen(bool mitRechnung) {
    KundenListe liste(*this, verwaltungen_, mitRechnung);
    App().Execute(liste);
}

void KundenDialog::RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) {
    verwaltungen_.rechnungsVerwaltung->GetRechnungenVonKunde(formular_.nummer, liste, nurOffene);
}

void KundenDialog::RechnungenOeffnen() {
    RechnungsListe liste(*this, verwaltungen_, &formular_);
    App().Execute(liste);
}

void KundenDialog::RechnungOeffnen() {
    WeinListe editor(verwaltungen_, formular_, nullptr, true);
    App().Execute(editor);
}
