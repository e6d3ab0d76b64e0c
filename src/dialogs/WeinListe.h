#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/Verwaltungen.h"
#include "windowing/Dialog.h"

class Kunde;
class Rechnung;

// The one dialog in which wines, prices and invoices are worked on. It runs
// in one of three modes, fixed when it is built:
//   Weinliste  - creates and changes wines, hides wines;
//   Preisliste - sets the DM and Euro prices of the wines in a price list;
//   Rechnung   - adds, changes and deletes the items of one invoice, fills
//                in its header, stores and prints it.
// Wines, prices and items are stored as each entry is confirmed; only the
// invoice header waits for "OK" or "Änderung Speichern".
//
// Opening it (the caller runs it with Services::Execute and destroys it):
//   WeinListe liste(verwaltungen, WeinListe::Modus::Weinliste);
//   WeinListe liste(verwaltungen, WeinListe::Modus::Preisliste);
//   WeinListe neu(verwaltungen, kunde);             // new invoice for kunde
//   WeinListe alt(verwaltungen, kunde, &rechnung);  // a stored invoice
// The price-list and invoice modes need at least one price list (callers
// check that first, as the main window does).
class WeinListe : public Dialog {
  public:
    static constexpr int kResource = 3;

    enum class Modus { Weinliste = 0, Preisliste = 1, Rechnung = 2 };

    // Control identifiers of the layout.
    static constexpr int kListe = 101;
    static constexpr int kWeinNummer = 102;
    static constexpr int kName = 103;
    static constexpr int kBezeichnung = 104;
    static constexpr int kFuellmenge = 105;
    static constexpr int kBestand = 106;
    static constexpr int kGewicht = 107;
    static constexpr int kBestellmenge = 108;
    static constexpr int kPreisDM = 109;
    static constexpr int kPreisEuro = 110;
    static constexpr int kRechnungNr = 111;
    static constexpr int kBemerkung = 112;
    static constexpr int kKartons = 113;
    static constexpr int kSteigen = 114;
    static constexpr int kVollstaendig = 115;
    static constexpr int kTag = 116;
    static constexpr int kMonat = 117;
    static constexpr int kJahr = 118;
    static constexpr int kSumme = 119;
    static constexpr int kBeglichen = 120;
    static constexpr int kEingegangen = 121;
    static constexpr int kSpeichern = 122;
    static constexpr int kAenderungSpeichern = 123;
    static constexpr int kPreislisten = 200;
    static constexpr int kLoeschen = 201;
    static constexpr int kHeute = 205;
    static constexpr int kDatumLeeren = 206;
    static constexpr int kBildPreisliste = 308;
    static constexpr int kBildWeinliste = 309;
    static constexpr int kBildRechnung = 310;

    // The light green of every other row.
    static constexpr Rgb kHellgruen{192, 255, 192};

    static constexpr const char* kWeinFehlt =
        "Konnte einen Wein in WeinListe::LVNGetdispinfo() beim Erstellen der Tabelle nicht "
        "finden";

    // Wine list or price list. The price list mode makes price list 0
    // current.
    WeinListe(Verwaltungen& verwaltungen, Modus modus);

    // Invoice mode for the customer. Without an invoice a new one is
    // reserved for the customer at once (and stored, with the items entered,
    // however the dialog is left). With one, that stored invoice is edited:
    // `rechnung` is the caller's copy (for instance an entry of the invoice
    // list), which must outlive the dialog and follows every change; its
    // header reaches the file only with "Änderung Speichern".
    // `vollstaendig` lists every wine; cleared, only the invoice's wines.
    WeinListe(Verwaltungen& verwaltungen, const Kunde& kunde, Rechnung* rechnung = nullptr,
              bool vollstaendig = true);

    // A new invoice still reserved is stored, as leaving the dialog would.
    ~WeinListe() override;

    // The invoice being edited; null once it was stored with "OK".
    Rechnung* GetRechnung() const;

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;
    void SelectionChanged(int id) override;
    std::string CellText(int listId, int row, int column) override;
    std::optional<Rgb> RowColour(int listId, int row) override;
    // A click on a row loads its wine; the selection itself never moves.
    bool MayChangeSelection(int listId, int row) override;
    // Enter in a field of the invoice header moves on to the next field;
    // in the wine's fields it stores the entry, as the default button does.
    bool EnterPressed(int id) override;

    // Store the entry of the current mode (button 122).
    void CmStore();

  private:
    // What a mode makes of the fields and the list every mode shares: its
    // set-up and columns, the cells and fields only it fills, and what its
    // buttons store. One object per mode (WeinListe.cpp); the invoice mode
    // is the price list's mode with an invoice.
    class Art;
    class WeinArt;
    class PreisArt;
    class RechnungsArt;

    WeinListe(Verwaltungen& verwaltungen, Modus modus, const Kunde* kunde, Rechnung* rechnung,
              bool vollstaendig);

    void TitelSetzen();
    void ListeFuellen();
    // After an item changed: the whole list, or only its cells.
    void ListeAuffrischen();
    void WeinLaden();
    void ZeileGeklickt(int row);
    void PreislisteGewaehlt();
    bool Wartungswort();
    std::int32_t ZeilenWein(int row) const;

    Verwaltungen& verwaltungen_;
    bool vollstaendig_ = true;
    bool geaendert_ = false;
    bool laedt_ = false;  // while the dialog fills the fields of a wine itself
    std::unique_ptr<Art> art_;
};
