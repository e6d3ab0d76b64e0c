#include "dialogs/WeinListe.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "dialogs/DruckDialog.h"
#include "dialogs/Eingabefelder.h"
#include "dialogs/RechnungDrucken.h"
#include "model/Kunde.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/LenientNumber.h"
#include "storage/MessageException.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

constexpr const char* kCmStoreTitel = "WeinListe::CmStore()";
constexpr const char* kGenerator = "generate rechnungen";

// Every control that belongs to invoices and prices; none of them is shown
// while wines or prices are edited. Their labels go with them.
constexpr int kRechnungsFelder[] = {
    WeinListe::kRechnungNr,   WeinListe::kKartons,   WeinListe::kSteigen,
    WeinListe::kVollstaendig, WeinListe::kTag,       WeinListe::kMonat,
    WeinListe::kJahr,         WeinListe::kSumme,     WeinListe::kBeglichen,
    WeinListe::kEingegangen,  WeinListe::kBemerkung, WeinListe::kAenderungSpeichern,
    ControlId::kCancel,       WeinListe::kHeute,     WeinListe::kDatumLeeren,
};

constexpr int kWeinFelder[] = {WeinListe::kName, WeinListe::kBezeichnung, WeinListe::kFuellmenge,
                               WeinListe::kBestand, WeinListe::kGewicht};

// The longest quantity an item's 16-bit field holds.
constexpr std::int32_t kHoechstMenge = std::numeric_limits<std::int16_t>::max();

const std::string kNegativerPreis = "Ein Preis kann nicht negativ sein.";

// "Anrede Vorname Nachname, Ort", leaving out what the customer lacks.
std::string KundeImTitel(const Kunde& kunde) {
    std::string name;
    for (const std::string& teil : {FixedText::Get(kunde.Anrede), FixedText::Get(kunde.Vorname),
                                    FixedText::Get(kunde.Nachname)}) {
        const std::string text = FixedText::Getrimmt(teil);
        if (!text.empty()) {
            name += (name.empty() ? "" : " ") + text;
        }
    }
    const std::string ort = FixedText::Getrimmt(FixedText::Get(kunde.Ort));
    if (ort.empty()) {
        return name;
    }
    return name.empty() ? ort : name + ", " + ort;
}

// How many characters each field takes.
constexpr std::pair<int, int> kFeldlaengen[] = {
    {WeinListe::kRechnungNr, 6},  {WeinListe::kKartons, 4},      {WeinListe::kSteigen, 4},
    {WeinListe::kTag, 2},         {WeinListe::kMonat, 2},        {WeinListe::kJahr, 4},
    {WeinListe::kEingegangen, 7}, {WeinListe::kBemerkung, 255},  {WeinListe::kWeinNummer, 4},
    {WeinListe::kName, 59},       {WeinListe::kBezeichnung, 59}, {WeinListe::kFuellmenge, 9},
    {WeinListe::kBestand, 6},     {WeinListe::kGewicht, 6},      {WeinListe::kPreisDM, 6},
    {WeinListe::kPreisEuro, 6},   {WeinListe::kBestellmenge, 5}};

// Fields of the invoice header: Enter there moves on instead of storing an
// item the user did not mean.
constexpr int kKopfFelder[] = {WeinListe::kRechnungNr,  WeinListe::kKartons,  WeinListe::kSteigen,
                               WeinListe::kTag,         WeinListe::kMonat,    WeinListe::kJahr,
                               WeinListe::kEingegangen, WeinListe::kBemerkung};

}  // namespace

// --- the modes

class WeinListe::Art {
  public:
    explicit Art(WeinListe& d) : d_(d), verwaltungen_(d.verwaltungen_) {}
    virtual ~Art() = default;

    // The columns from 6 on (0 to 5 every mode has), and the rest of the
    // set-up.
    virtual void Spalten() = 0;
    virtual void Einrichten() = 0;
    virtual std::string Titel() const = 0;
    // Whether the list shows the wine.
    virtual bool Zeigt(const Wein& wein) const { return wein.verborgen == 0; }
    // A cell from column 6 on.
    virtual std::string Zelle(std::int32_t nummer, int spalte) const = 0;
    // Fills the fields of the mode for the wine just loaded.
    virtual void WeinGeladen(std::int32_t /*nummer*/) {}
    // After another price list was made current.
    virtual void PreislisteGewaehlt() { d_.TitelSetzen(); }
    // Button 122 ("Posten Speichern") and button 201 ("Posten Löschen").
    virtual void Speichern() = 0;
    virtual void Loeschen(std::int32_t /*nummer*/) {}
    // "OK" and "Änderung Speichern"; "Zurück", Escape and the close box.
    virtual void Ok() { d_.CloseWindow(ControlId::kOk); }
    virtual void Verlassen() { d_.CloseWindow(ControlId::kCancel); }
    virtual bool EnterPressed(int /*id*/) { return false; }
    virtual Rechnung* GetRechnung() const { return nullptr; }

  protected:
    Window& Win() const { return d_.Win(); }
    Services& App() const { return d_.App(); }

    // Hides what belongs to invoices, and shows the price fields or not.
    void OhneRechnung(bool preise) {
        Window& w = Win();
        for (int id : kRechnungsFelder) {
            w.Show(id, false);
        }
        w.Show(kPreisDM, preise);
        w.Show(kPreisEuro, preise);
        w.Show(kBestellmenge, false);
    }

    WeinListe& d_;
    Verwaltungen& verwaltungen_;
};

// Creates and changes wines, hides wines.
class WeinListe::WeinArt : public Art {
  public:
    using Art::Art;

    void Spalten() override { Win().AddColumn(kListe, "", 170); }

    void Einrichten() override {
        Window& w = Win();
        OhneRechnung(false);
        w.Show(kPreislisten, false);
        w.SetText(kSpeichern, "Wein speichern");
        w.SetText(kLoeschen, "Wein verbergen");
        w.Show(kBildWeinliste, true);
    }

    std::string Titel() const override { return "Weinliste"; }

    std::string Zelle(std::int32_t /*nummer*/, int spalte) const override {
        return spalte == 6 ? std::string(19, ' ') : std::string();
    }

    void Speichern() override {
        Window& w = Win();
        // The weight is kept in 16 bits; a larger one would be stored as some
        // other weight.
        std::int64_t gewicht = 0;
        if (!Eingabefelder::ZahlLesen(w.Text(kGewicht), 0,
                                      std::numeric_limits<std::uint16_t>::max(), gewicht)) {
            App().MessageBox(
                "Das Gewicht muss eine Zahl von 0 bis 65535 (Gramm) sein. Der Wein "
                "wurde nicht gespeichert.",
                "Wein speichern");
            w.Focus(kGewicht);
            return;
        }
        Wein wein;
        wein.nummer = LenientNumber::ToInt(w.Text(kWeinNummer));
        wein.gewicht = static_cast<std::uint16_t>(gewicht);
        wein.bestand = LenientNumber::ToInt(w.Text(kBestand));
        FixedText::Set(wein.name, w.Text(kName));
        FixedText::Set(wein.bezeichnung, w.Text(kBezeichnung));
        FixedText::Set(wein.fuellmenge, w.Text(kFuellmenge));
        wein.verborgen = 0;
        WeinlistenVerwaltung& weine = *verwaltungen_.weinlistenVerwaltung;
        weine.AddWein(wein.nummer);
        *weine.GetWein(wein.nummer) = wein;
        weine.Sort();
        d_.ListeFuellen();
    }

    void Loeschen(std::int32_t nummer) override {
        WeinlistenVerwaltung& weine = *verwaltungen_.weinlistenVerwaltung;
        Wein* wein = weine.GetWein(nummer);
        if (wein != nullptr) {
            wein->verborgen = 1;
            weine.Store(wein);
            d_.ListeFuellen();
        }
    }
};

// Sets the DM and Euro prices of the wines in the current price list.
class WeinListe::PreisArt : public Art {
  public:
    explicit PreisArt(WeinListe& d) : Art(d) { verwaltungen_.preisVerwaltung->SetPreisliste(0); }

    void Spalten() override {
        Window& w = Win();
        w.SetColumnWidth(kListe, 5, 0);
        w.AddColumn(kListe, "Preis DM", 70, Align::Right);
        w.AddColumn(kListe, "Preis Euro", 70, Align::Right);
    }

    void Einrichten() override {
        Window& w = Win();
        OhneRechnung(true);
        w.Show(kLoeschen, false);
        WeinfelderSperren();
        PreislistenFuellen();
        w.Select(kPreislisten, 0);
        w.Show(kBildPreisliste, true);
    }

    std::string Titel() const override {
        const int liste = Win().Selected(kPreislisten);
        const char* name =
            liste >= 0 ? verwaltungen_.preisVerwaltung->GetPreislisteName(liste) : nullptr;
        return name != nullptr ? "Preisliste " + FixedText::Getrimmt(name)
                               : std::string("Preisliste");
    }

    std::string Zelle(std::int32_t nummer, int spalte) const override {
        if (spalte != 6 && spalte != 7) {
            return {};
        }
        const Preis* preis = verwaltungen_.preisVerwaltung->GetPreis(nummer);
        return preis == nullptr
                   ? "N/A"
                   : Eingabefelder::BetragText(spalte == 6 ? preis->preisDM : preis->preisEuro);
    }

    void WeinGeladen(std::int32_t nummer) override {
        const Preis* preis = verwaltungen_.preisVerwaltung->GetPreis(nummer);
        Win().SetText(kPreisDM, preis != nullptr ? Eingabefelder::BetragText(preis->preisDM) : "");
        Win().SetText(kPreisEuro,
                      preis != nullptr ? Eingabefelder::BetragText(preis->preisEuro) : "");
    }

    void Speichern() override {
        Window& w = Win();
        const std::int32_t nummer = LenientNumber::ToInt(w.Text(kWeinNummer));
        const auto dm = static_cast<float>(LenientNumber::ToAmount(w.Text(kPreisDM)));
        const auto euro = static_cast<float>(LenientNumber::ToAmount(w.Text(kPreisEuro)));
        if (dm < 0.0f || euro < 0.0f) {
            App().MessageBox(kNegativerPreis, "Preis speichern");
            w.Focus(dm < 0.0f ? kPreisDM : kPreisEuro);
            return;
        }
        PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
        if (preise.GetPreis(nummer) == nullptr) {
            preise.AddPreis(Preis(nummer, 0.0f, 0.0f));
        }
        Preis* preis = preise.GetPreis(nummer);
        if (preis == nullptr) {
            return;  // no list is current
        }
        preis->preisDM = dm;
        preis->preisEuro = euro;
        preise.FlushPreisliste();
        w.RefreshRow(kListe, -1);
    }

  protected:
    void WeinfelderSperren() {
        for (int id : kWeinFelder) {
            Win().Enable(id, false);
        }
    }

    void PreislistenFuellen() {
        Window& w = Win();
        PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
        w.ClearItems(kPreislisten);
        for (int i = 0; i < preise.count; ++i) {
            const char* name = preise.GetPreislisteName(i);
            w.AddItem(kPreislisten, name != nullptr ? name : "");
        }
    }
};

// Adds, changes and deletes the items of one invoice, fills in its header,
// stores and prints it.
class WeinListe::RechnungsArt : public PreisArt {
  public:
    RechnungsArt(WeinListe& d, const Kunde* kunde, Rechnung* rechnung) : PreisArt(d) {
        if (kunde != nullptr) {
            kundeNummer_ = kunde->nummer;
            kundePreisliste_ = kunde->preisliste;
            kundeTitel_ = KundeImTitel(*kunde);
        }
        if (rechnung == nullptr) {
            rechnung_ = verwaltungen_.rechnungsVerwaltung->AllocRechnung(kundeNummer_);
            neueRechnung_ = true;
        } else {
            rechnung_ = rechnung;
        }
    }

    ~RechnungsArt() override {
        // The window may have been ended without the user leaving the dialog
        // (the program closing every window); the items of a new invoice are
        // in the item file already, so its header must follow them.
        try {
            ReservierungSpeichern();
        } catch (...) {
            // Should this fail too, the invoice manager stores the reservation
            // at shutdown, or sets the customer's chain back.
        }
    }

    Rechnung* GetRechnung() const override { return rechnung_; }

    void Spalten() override {
        Window& w = Win();
        w.SetColumnWidth(kListe, 3, 0);
        w.SetColumnWidth(kListe, 4, 0);
        PreisArt::Spalten();
        w.AddColumn(kListe, "Best.Menge", 80, Align::Right);
    }

    void Einrichten() override {
        Window& w = Win();
        const Rechnung& r = *rechnung_;
        w.SetText(kRechnungNr, std::to_string(r.nummer));
        w.SetText(kSteigen, std::to_string(r.steigen));
        w.SetText(kKartons, std::to_string(r.kartons));
        w.SetText(kEingegangen, Eingabefelder::BetragText(r.betragEingegangen));
        SummeZeigen();
        Datum datum(r.datum);
        if (datum.IsValid() && datum.Year() >= 1971) {
            w.SetText(kTag, std::to_string(datum.Day()));
            w.SetText(kMonat, std::to_string(datum.Month()));
            w.SetText(kJahr, std::to_string(datum.Year()));
        } else {
            w.SetText(kTag, "");
            w.SetText(kMonat, "");
            w.SetText(kJahr, "");
        }
        BemerkungSetzen();
        w.SetChecked(kBeglichen, r.beglichen != 0);
        PreislistenFuellen();
        if (neueRechnung_) {
            w.Show(ControlId::kCancel, false);
            w.Show(kAenderungSpeichern, false);
        } else {
            w.Show(ControlId::kOk, false);
        }
        PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
        // A list index the names file no longer has counts as none assigned.
        if (kundePreisliste_ < 0 || kundePreisliste_ >= preise.count) {
            App().MessageBox(
                "Dem Kunden wurde bisher noch keine Preisliste zugeordnet. Bitten wählen Sie "
                "die passende Liste nun sofort."_w,
                "Rechnung erstellen");
            w.Select(kPreislisten, 0);
        } else {
            w.Select(kPreislisten, kundePreisliste_);
        }
        preise.SetPreisliste(w.Selected(kPreislisten));
        BemerkungSetzen();
        WeinfelderSperren();
        w.Show(kBildRechnung, true);
        w.Focus(kWeinNummer);
    }

    std::string Titel() const override {
        std::string titel = "Rechnung";
        if (rechnung_ != nullptr) {
            titel += " " + std::to_string(rechnung_->nummer);
        }
        if (!kundeTitel_.empty()) {
            titel += " – "_w + kundeTitel_;
        }
        return titel;
    }

    // Hidden wines only when they are on the invoice, and with the full
    // list cleared only the invoice's wines.
    bool Zeigt(const Wein& wein) const override {
        const bool drauf = rechnung_ != nullptr && rechnung_->FindPosten(wein.nummer) != nullptr;
        return (rechnung_ == nullptr || d_.vollstaendig_ || drauf) &&
               (drauf || wein.verborgen == 0);
    }

    std::string Zelle(std::int32_t nummer, int spalte) const override {
        if (spalte != 8) {
            return PreisArt::Zelle(nummer, spalte);
        }
        const PostenVerwaltung::Posten* posten =
            rechnung_ != nullptr ? rechnung_->FindPosten(nummer) : nullptr;
        return posten != nullptr ? std::to_string(posten->menge) : "N/A";
    }

    void WeinGeladen(std::int32_t nummer) override {
        PreisArt::WeinGeladen(nummer);
        if (rechnung_ != nullptr) {
            const PostenVerwaltung::Posten* posten = rechnung_->FindPosten(nummer);
            Win().SetText(kBestellmenge, posten != nullptr ? std::to_string(posten->menge) : "");
        }
    }

    void PreislisteGewaehlt() override {
        BemerkungSetzen();
        App().MessageBox("HINWEIS: Die Bemerkung der Rechnung wurde automatisch verändert."_w,
                         "Preisliste neu gewählt"_w);
    }

    bool EnterPressed(int id) override {
        for (int feld : kKopfFelder) {
            if (feld == id) {
                Win().FocusNext();
                return true;
            }
        }
        return false;
    }

    void Speichern() override {
        Window& w = Win();
        const std::int32_t nummer = LenientNumber::ToInt(w.Text(kWeinNummer));
        const std::int32_t menge = LenientNumber::ToInt(w.Text(kBestellmenge));
        const auto dm = static_cast<float>(LenientNumber::ToAmount(w.Text(kPreisDM)));
        const auto euro = static_cast<float>(LenientNumber::ToAmount(w.Text(kPreisEuro)));
        const Wein* wein = verwaltungen_.weinlistenVerwaltung->GetWein(nummer);
        if (wein == nullptr) {
            App().MessageBox("Ein Wein mit dieser Nummer konnte nicht gefunden werden.",
                             "Posten speichern");
            return;
        }
        // Every amount of the invoice, the e-invoice too, is made of prices
        // that are not negative.
        if (dm < 0.0f || euro < 0.0f) {
            App().MessageBox(kNegativerPreis, "Posten speichern");
            w.Focus(dm < 0.0f ? kPreisDM : kPreisEuro);
            return;
        }
        // The item keeps its quantity in 16 bits; a larger one would be stored
        // as a different quantity.
        if (menge > kHoechstMenge) {
            App().MessageBox("Die Bestellmenge " + std::to_string(menge) +
                                 " ist zu groß: ein Posten kann höchstens 32767 Flaschen "
                                 "umfassen. Es wurde nichts gespeichert."_w,
                             "Posten hinzufügen"_w);
            w.Focus(kBestellmenge);
            return;
        }
        if (wein->bestand < menge) {
            const std::string bestand = std::to_string(wein->bestand);
            App().MessageBox("Der Bestand beträgt nur noch "_w + bestand + " Flaschen",
                             "Posten hinzufügen"_w);
            w.SetText(kBestellmenge, bestand);
            return;
        }
        if (menge <= 0 || rechnung_ == nullptr) {
            w.Focus(kBestellmenge);
            return;
        }
        try {
            verwaltungen_.rechnungsVerwaltung->SetPosten(*rechnung_, nummer, dm, euro,
                                                         static_cast<std::int16_t>(menge));
        } catch (const MessageException& fehler) {
            // A log line or a stock change that could not be written refuses
            // the item; the fields stay as typed so that it can be stored again.
            App().MessageBox(fehler.what(), "Posten speichern");
            d_.ListeAuffrischen();
            SummeZeigen();
            return;
        }
        d_.ListeAuffrischen();
        SummeZeigen();
        w.SetText(kBestellmenge, "");
        w.SetText(kWeinNummer, "");
        w.Focus(kWeinNummer);
    }

    void Loeschen(std::int32_t nummer) override {
        if (rechnung_ == nullptr) {
            return;
        }
        try {
            verwaltungen_.rechnungsVerwaltung->DeletePosten(*rechnung_, nummer);
        } catch (const MessageException& fehler) {
            App().MessageBox(fehler.what(), "Posten l\xF6schen");
        }
        d_.ListeAuffrischen();
        SummeZeigen();
        Win().SetText(kWeinNummer, "");
        Win().Focus(kWeinNummer);
    }

    void Ok() override {
        if (rechnung_ != nullptr) {
            RechnungSpeichern();
        } else {
            Art::Ok();
        }
    }

    void Verlassen() override {
        // Items are in the item file as soon as they are entered; a new
        // invoice's header must follow them however the dialog is left.
        ReservierungSpeichern();
        Art::Verlassen();
    }

  private:
    // Stores the reserved invoice if it is still the dialog's.
    void ReservierungSpeichern() {
        if (neueRechnung_ && rechnung_ != nullptr &&
            verwaltungen_.rechnungsVerwaltung->Reserviert() == rechnung_) {
            verwaltungen_.rechnungsVerwaltung->StoreRechnung();
        }
        if (neueRechnung_) {
            rechnung_ = nullptr;
        }
    }

    void BemerkungSetzen() {
        if (!neueRechnung_) {
            Win().SetText(kBemerkung, FixedText::Get(rechnung_->bemerkung));
            return;
        }
        // The way of shipping that goes with the price lists 0, 1 and 3.
        constexpr const char* kVersand[] = {"LKW / NO", "LKW / NO/S", "", "Abholung"};
        const int liste = Win().Selected(kPreislisten);
        Win().SetText(kBemerkung, verwaltungen_.customizer->Bemerkung() + " " +
                                      (liste >= 0 && liste < 4 ? kVersand[liste] : ""));
    }

    void SummeZeigen() {
        Win().SetText(kSumme, Rechnungsbetrag::Text(
                                  Rechnungsbetrag(*rechnung_, verwaltungen_.customizer).summe));
    }

    void RechnungSpeichern() {
        Window& w = Win();
        Rechnung& r = *rechnung_;
        const std::string bemerkung = w.Text(kBemerkung);
        if (bemerkung == kGenerator) {
            FixedText::Set(r.bemerkung, bemerkung);
            TestrechnungenErzeugen();
            return;
        }
        const std::string titel = "Rechnungsdaten ändern"_w;
        // Everything typed is checked before any of it reaches the invoice, so
        // that a refusal leaves the invoice as it was and the fields as typed.
        Eingabefelder::Rechnungskopf kopf;
        const std::string kopfFehler = Eingabefelder::RechnungskopfLesen(
            w.Text(kKartons), w.Text(kSteigen), w.Text(kRechnungNr), kopf);
        if (!kopfFehler.empty()) {
            App().MessageBox(kopfFehler, titel);
            std::int64_t zahl = 0;
            w.Focus(!Eingabefelder::ZahlLesen(w.Text(kKartons), 0, Rechnung::kGeloescht - 1, zahl)
                        ? kKartons
                    : !Eingabefelder::ZahlLesen(w.Text(kSteigen), 0, Rechnung::kGeloescht - 1, zahl)
                        ? kSteigen
                        : kRechnungNr);
            return;
        }

        const int tag = LenientNumber::ToInt(w.Text(kTag));
        const int monat = LenientNumber::ToInt(w.Text(kMonat));
        int jahr = LenientNumber::ToInt(w.Text(kJahr));
        if (jahr <= 1900) {
            jahr = 1960;
        }
        // An empty year means no date; with a year, the date must exist.
        if (!FixedText::Getrimmt(w.Text(kJahr)).empty()) {
            const std::string datumFehler = Eingabefelder::DatumFehler(
                Eingabefelder::DatumGetippt(w, kTag, kMonat, kJahr), tag, monat, jahr);
            if (!datumFehler.empty()) {
                App().MessageBox(datumFehler, titel);
                w.Focus(kTag);
                return;
            }
        }
        Datum datum(tag, monat, jahr);
        if (neueRechnung_ && !Eingabefelder::DatumZeigbar(datum.Julian()) &&
            App().MessageBox(
                "Die Rechnung hat kein Rechnungsdatum. Soll das heutige Datum eingesetzt "
                "werden?",
                "Rechnung speichern", MessageButtons::YesNo) == Answer::Yes) {
            // Without a date no period holds the invoice: the date filter and
            // the bottle count would never find it.
            datum = Datum::Heute();
            Eingabefelder::DatumZeigen(w, kTag, kMonat, kJahr, datum.Julian());
        }
        const std::string vordatiert = Eingabefelder::Vordatiert(
            datum, r.erfasstDatum, verwaltungen_.customizer->vordatierungTage);
        if (!vordatiert.empty()) {
            App().MessageBox(vordatiert + " Vorerst wurde das Datum der Erfassung eingesetzt.",
                             titel);
            datum = Datum(r.erfasstDatum);
        }
        FixedText::Set(r.bemerkung, bemerkung);
        r.kartons = kopf.kartons;
        r.steigen = kopf.steigen;
        r.nummer = kopf.nummer;
        r.betragEingegangen = static_cast<float>(LenientNumber::ToAmount(w.Text(kEingegangen)));
        r.datum = datum.Julian();
        r.beglichen = w.IsChecked(kBeglichen) ? 1 : 0;

        const std::int32_t id = r.id;
        RechnungsVerwaltung& rechnungen = *verwaltungen_.rechnungsVerwaltung;
        if (neueRechnung_) {
            // The list stays behind the questions below and keeps showing the
            // invoice's quantities, which the released reservation no longer has.
            gespeichert_ = std::make_unique<Rechnung>(r);
            ReservierungSpeichern();
            rechnung_ = gespeichert_.get();
        } else {
            rechnungen.UpdateRechnung(r);
        }

        if (App().MessageBox("Soll die Rechnung gleich gedruckt werden?", "Rechnung drucken",
                             MessageButtons::YesNo) == Answer::Yes) {
            bool packliste = true;
            bool kundenRechnung = true;
            bool interneRechnung = true;
            bool bildschirm = false;
            if (DruckDialog::Waehlen(App(), packliste, kundenRechnung, interneRechnung,
                                     bildschirm)) {
                // Printed as it stands in the file now.
                if (const Rechnung* gespeichert = rechnungen.GetRechnung(id)) {
                    const Rechnung kopie(*gespeichert);
                    RechnungDrucken(App(), verwaltungen_, kopie, packliste, kundenRechnung,
                                    interneRechnung, bildschirm);
                }
            }
        }
        rechnung_ = nullptr;
        w.Close(ControlId::kOk);
    }

    void TestrechnungenErzeugen() {
        if (App().MessageBox(
                "Vorsicht: Sie sind im Begriff für 2000 Kunden jeweils max. 20 Testrechnungen "
                "zu generieren. Ein nachträgliches Bereinigen des Datenbestandes nach dieser "
                "Operation ist kaum noch möglich. Möchten Sie fortfahren?"_w,
                "Automatisch Testrechnungen generieren", MessageButtons::YesNo, MessageIcon::None,
                Answer::No) == Answer::Yes) {
            App().WaitCursor();
            ReservierungSpeichern();
            RechnungsVerwaltung& rechnungen = *verwaltungen_.rechnungsVerwaltung;
            WeinlistenVerwaltung& weine = *verwaltungen_.weinlistenVerwaltung;
            for (int durchlauf = 0; durchlauf < 2000; ++durchlauf) {
                Win().SetCaption(std::to_string(durchlauf));
                // The window keeps painting and shows the pass it is at.
                App().ProcessEvents();
                for (int j = 0; std::rand() % 24 > j; ++j) {
                    Rechnung* r = rechnungen.AllocRechnung(std::rand() % 1200);
                    const int tag = std::rand() % 29;
                    const int monat = std::rand() % 12;
                    const int jahr = 1990 + std::rand() % 10;
                    const std::uint32_t datum = Datum(tag, monat, jahr).Julian();
                    r->datum = datum;
                    r->erfasstDatum = datum;
                    const int posten = std::rand() % 30;
                    for (int k = 0; k < posten && static_cast<unsigned>(k) < weine.Count(); ++k) {
                        const auto dm = static_cast<float>(std::rand() % 24);
                        const auto euro = static_cast<float>(std::rand() % 12);
                        const auto menge = static_cast<std::int16_t>(std::rand() % 12);
                        rechnungen.SetPosten(*r, weine[static_cast<unsigned>(k)].nummer, dm, euro,
                                             menge);
                    }
                    rechnungen.StoreRechnung();
                }
            }
            App().ArrowCursor();
        }
        Verlassen();
    }

    std::int32_t kundeNummer_ = -1;
    // "Anrede Vorname Nachname, Ort" for the title.
    std::string kundeTitel_;
    // The customer's price list; negative: none assigned.
    int kundePreisliste_ = -1;
    Rechnung* rechnung_ = nullptr;
    // A new invoice as it was stored with "OK", while the print questions
    // are open.
    std::unique_ptr<Rechnung> gespeichert_;
    bool neueRechnung_ = false;
};

// --- the dialog

WeinListe::WeinListe(Verwaltungen& verwaltungen, Modus modus)
    : WeinListe(verwaltungen, modus, nullptr, nullptr, true) {}

WeinListe::WeinListe(Verwaltungen& verwaltungen, const Kunde& kunde, Rechnung* rechnung,
                     bool vollstaendig)
    : WeinListe(verwaltungen, Modus::Rechnung, &kunde, rechnung, vollstaendig) {}

WeinListe::WeinListe(Verwaltungen& verwaltungen, Modus modus, const Kunde* kunde,
                     Rechnung* rechnung, bool vollstaendig)
    : Dialog(kResource), verwaltungen_(verwaltungen), vollstaendig_(vollstaendig) {
    switch (modus) {
        case Modus::Weinliste:
            art_ = std::make_unique<WeinArt>(*this);
            break;
        case Modus::Preisliste:
            art_ = std::make_unique<PreisArt>(*this);
            break;
        case Modus::Rechnung:
            art_ = std::make_unique<RechnungsArt>(*this, kunde, rechnung);
            break;
    }
}

WeinListe::~WeinListe() = default;

Rechnung* WeinListe::GetRechnung() const {
    return art_->GetRechnung();
}

void WeinListe::SetupWindow() {
    Window& w = Win();
    for (const auto& [id, zeichen] : kFeldlaengen) {
        w.SetLimit(id, zeichen);
    }
    w.AddColumn(kListe, "Nr.", 45);
    w.AddColumn(kListe, "Name", 210);
    w.AddColumn(kListe, "Bezeichnung", 210);
    w.AddColumn(kListe, "Füllmenge"_w, 60);
    w.AddColumn(kListe, "Bestand", 60);
    w.AddColumn(kListe, "Gewicht", 60);
    art_->Spalten();
    w.Show(kBildPreisliste, false);
    w.Show(kBildWeinliste, false);
    w.Show(kBildRechnung, false);
    w.SetChecked(kVollstaendig, vollstaendig_);
    // The total is only shown, never typed, and must never be cut off.
    w.Enable(kSumme, false);
    art_->Einrichten();
    TitelSetzen();
    ListeFuellen();
}

void WeinListe::TitelSetzen() {
    // The layout has no caption of its own; the title says what is worked on.
    Win().SetCaption(art_->Titel());
}

// --- the list

void WeinListe::ListeFuellen() {
    WeinlistenVerwaltung& weine = *verwaltungen_.weinlistenVerwaltung;
    std::vector<std::string> zeilen;
    zeilen.reserve(weine.Count());
    for (unsigned i = 0; i < weine.Count(); ++i) {
        if (art_->Zeigt(weine[i])) {
            zeilen.push_back(std::to_string(weine[i].nummer));
        }
    }
    Win().SetRows(kListe, std::move(zeilen));
    geaendert_ = false;
}

void WeinListe::ListeAuffrischen() {
    if (vollstaendig_) {
        Win().RefreshRow(kListe, -1);
    } else {
        ListeFuellen();
    }
}

std::int32_t WeinListe::ZeilenWein(int row) const {
    return LenientNumber::ToInt(Win().RowText(kListe, row));
}

std::string WeinListe::CellText(int listId, int row, int column) {
    if (listId != kListe) {
        return {};
    }
    const std::int32_t nummer = ZeilenWein(row);
    const Wein* wein = verwaltungen_.weinlistenVerwaltung->GetWein(nummer);
    if (wein == nullptr) {
        throw MessageException(kWeinFehlt);
    }
    switch (column) {
        case 0:
            return std::to_string(wein->nummer);
        case 1:
            return FixedText::Get(wein->name);
        case 2:
            return FixedText::Get(wein->bezeichnung);
        case 3:
            return FixedText::Get(wein->fuellmenge);
        case 4:
            return std::to_string(wein->bestand);
        case 5:
            return std::to_string(wein->gewicht);
        default:
            return art_->Zelle(nummer, column);
    }
}

std::optional<Rgb> WeinListe::RowColour(int listId, int row) {
    if (listId != kListe) {
        return std::nullopt;
    }
    return row % 2 == 0 ? kHellgruen : Rgb{255, 255, 255};
}

bool WeinListe::MayChangeSelection(int listId, int row) {
    if (listId == kListe) {
        ZeileGeklickt(row);
    }
    return false;
}

bool WeinListe::EnterPressed(int id) {
    return art_->EnterPressed(id);
}

void WeinListe::ZeileGeklickt(int row) {
    if (geaendert_ &&
        App().MessageBox("Sie haben Daten in den Eingabefeldern verändert. Sollen diese "
                         "unberücksichtigt bleiben?"_w,
                         "Neuen Tabelleneintrag wählen"_w, MessageButtons::YesNo, MessageIcon::None,
                         Answer::No) == Answer::No) {
        return;
    }
    const std::int32_t nummer = ZeilenWein(row);
    if (verwaltungen_.weinlistenVerwaltung->GetWein(nummer) == nullptr) {
        return;
    }
    const std::string text = std::to_string(nummer);
    if (Win().Text(kWeinNummer) == text) {
        WeinLaden();  // the same number: its fields are loaded afresh
    } else {
        Win().SetText(kWeinNummer, text);
    }
    geaendert_ = false;
}

void WeinListe::WeinLaden() {
    Window& w = Win();
    laedt_ = true;
    struct Ende {
        bool& laedt;
        ~Ende() { laedt = false; }
    } ende{laedt_};
    const std::int32_t nummer = LenientNumber::ToInt(w.Text(kWeinNummer));
    const Wein* wein = verwaltungen_.weinlistenVerwaltung->GetWein(nummer);
    if (wein == nullptr) {
        for (int id : kWeinFelder) {
            w.SetText(id, "");
        }
        w.SetText(kPreisDM, "");
        w.SetText(kPreisEuro, "");
        w.SetText(kBestellmenge, "");
        return;
    }
    w.SetText(kName, FixedText::Get(wein->name));
    w.SetText(kBezeichnung, FixedText::Get(wein->bezeichnung));
    w.SetText(kFuellmenge, FixedText::Get(wein->fuellmenge));
    w.SetText(kGewicht, std::to_string(wein->gewicht));
    w.SetText(kBestand, std::to_string(wein->bestand));
    art_->WeinGeladen(nummer);
}

void WeinListe::PreislisteGewaehlt() {
    const int index = Win().Selected(kPreislisten);
    if (index < 0) {
        return;
    }
    verwaltungen_.preisVerwaltung->SetPreisliste(index);
    art_->PreislisteGewaehlt();
    ListeFuellen();
}

// --- events

void WeinListe::TextChanged(int id) {
    if (id == kWeinNummer) {
        WeinLaden();
    } else if (id == kBestellmenge) {
        geaendert_ = true;
    } else if (!laedt_ && (id == kPreisDM || id == kPreisEuro ||
                           std::find(std::begin(kWeinFelder), std::end(kWeinFelder), id) !=
                               std::end(kWeinFelder))) {
        // A wine or price typed but not stored is as much typed work as an
        // order quantity: a click on a row must not load over it unasked.
        geaendert_ = true;
    }
}

void WeinListe::SelectionChanged(int id) {
    if (id == kPreislisten) {
        PreislisteGewaehlt();
    }
}

void WeinListe::Command(int id) {
    switch (id) {
        case kSpeichern:
            CmStore();
            break;
        case kLoeschen:
            art_->Loeschen(LenientNumber::ToInt(Win().Text(kWeinNummer)));
            break;
        case kVollstaendig:
            // The box shows the flag: a click changes both.
            vollstaendig_ = Win().IsChecked(kVollstaendig);
            ListeFuellen();
            break;
        case kHeute:
        case kDatumLeeren:
            Eingabefelder::DatumZeigen(Win(), kTag, kMonat, kJahr,
                                       id == kHeute ? Datum::Heute().Julian() : Datum::kUngueltig);
            break;
        case ControlId::kOk:
        case kAenderungSpeichern:
            art_->Ok();
            break;
        case ControlId::kCancel:
            art_->Verlassen();
            break;
        default:
            Dialog::Command(id);
            break;
    }
}

// --- storing an entry

void WeinListe::CmStore() {
    if (!Wartungswort()) {
        art_->Speichern();
    }
    geaendert_ = false;
}

bool WeinListe::Wartungswort() {
    const std::string wort = Win().Text(kName);
    WeinlistenVerwaltung& weine = *verwaltungen_.weinlistenVerwaltung;
    if (wort == "import weine") {
        if (App().MessageBox("Soll die alte Wein- und Preisliste importiert werden? VORSICHT: "
                             "Dabei gehen alle bisher eingegebenen Weine verloren!",
                             kCmStoreTitel, MessageButtons::YesNo, MessageIcon::None,
                             Answer::No) != Answer::Yes) {
            return true;
        }
        App().WaitCursor();
        try {
            weine.ImportAlteWeinliste();
        } catch (const MessageException& fehler) {
            // Without the old wine list the catalogue stays as it was, and
            // the old prices would name wines it does not have.
            App().ArrowCursor();
            App().MessageBox(fehler.what(), kCmStoreTitel);
            return true;
        }
        PreisVerwaltung& preise = *verwaltungen_.preisVerwaltung;
        Services& app = App();
        preise.ReadPascalFile([&app](const std::string& text, const std::string& titel) {
            app.MessageBox(text, titel);
        });
        // The import walks through every list; the one chosen here stays
        // current.
        if (Win().Selected(kPreislisten) >= 0) {
            preise.SetPreisliste(Win().Selected(kPreislisten));
        }
        App().ArrowCursor();
        ListeFuellen();
        App().MessageBox("Die alte Weinliste wurde importiert", kCmStoreTitel);
        return true;
    }
    if (wort == "generate missing data") {
        if (App().MessageBox("Soll die alte Wein- und Preisliste verändert werden? VORSICHT: "
                             "Dabei gehen teile der bisher eingegebenen Daten verloren!",
                             kCmStoreTitel, MessageButtons::YesNo, MessageIcon::None,
                             Answer::No) != Answer::Yes) {
            return true;
        }
        App().WaitCursor();
        for (unsigned i = 0; i < weine.Count(); ++i) {
            weine[i].bestand = std::rand() % 1000 + 100;
            weine[i].gewicht = static_cast<std::uint16_t>(std::rand() % 2000 + 1000);
        }
        // Once, atomically, so that the notice below is true.
        weine.Flush();
        App().ArrowCursor();
        Win().RefreshRow(kListe, -1);
        App().MessageBox("Die alte Weinliste wurde importiert", kCmStoreTitel);
        return true;
    }
    return false;
}
