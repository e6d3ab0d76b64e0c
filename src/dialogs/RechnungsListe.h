#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/Kunde.h"
#include "model/Rechnung.h"
#include "model/Verwaltungen.h"
#include "storage/GenericList.h"
#include "windowing/Dialog.h"

class RechnungsServer;

// "Rechungsliste": a set of invoices, found by whoever opened the list (its
// server), in a list view. The header fields of the invoice clicked last can
// be changed in place and stored; invoices can be edited, duplicated,
// deleted and printed, several at once for printing.
//
// Opened for a customer (mode 0) the last column shows the remark, otherwise
// (mode 1) the invoice's customer.
class RechnungsListe : public Dialog {
  public:
    static constexpr int kResource = 4;
    static constexpr int kNummer = 101;
    static constexpr int kKartons = 113;
    static constexpr int kSteigen = 114;
    static constexpr int kDatumLeeren = 206;  // "L"
    static constexpr int kHeute = 205;        // "H"
    static constexpr int kTag = 116;
    static constexpr int kMonat = 117;
    static constexpr int kJahr = 118;
    static constexpr int kSumme = 108;
    static constexpr int kEingegangen = 109;
    static constexpr int kBeglichen = 120;
    static constexpr int kBemerkung = 110;
    static constexpr int kListe = 121;
    static constexpr int kEditieren = 102;
    static constexpr int kSpeichern = 122;
    static constexpr int kLoeschen = 201;
    static constexpr int kDrucken = 103;
    static constexpr int kDuplizieren = 104;
    static constexpr int kNurOffene = 105;
    // Saves the selected invoice as e-invoice (XRechnung or ZUGFeRD), for
    // business customers who must receive it in that form.
    static constexpr int kERechnung = 123;

    static constexpr Rgb kHellgruen{192, 255, 192};
    static constexpr Rgb kWeiss{255, 255, 255};

    // `kunde` may be null (mode 1); a given customer is copied.
    RechnungsListe(RechnungsServer& server, Verwaltungen& verwaltungen, const Kunde* kunde);

    int Modus() const { return kunde_ ? 0 : 1; }
    // The invoices shown, in row order.
    const GenericList<Rechnung>& Rechnungen() const { return liste_; }

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;
    void SelectionChanged(int id) override;
    std::string CellText(int listId, int row, int column) override;
    std::optional<Rgb> RowColour(int listId, int row) override;
    bool MayChangeSelection(int listId, int row) override;
    // Fields changed and not stored: the user decides whether they are
    // stored first, dropped, or the list stays open.
    bool MayClose() override;
    // Enter in a field moves on to the next one; it never closes the list.
    bool EnterPressed(int id) override;

  private:
    void Fuellen();
    void Laden(int row);
    // The total in cents, as the list shows it.
    std::int64_t Summe(const Rechnung& r) const;
    Rechnung* Gewaehlt();
    // The buttons that act on the selected invoice, enabled only with one.
    void KnoepfeSchalten();
    // False when the fields were refused (the user was told why).
    // Stores the fields into the chosen invoice; with `neuFuellen` the list is
    // filled again afterwards (and the choice is gone).
    bool Speichern(bool neuFuellen = true);
    // Before anything that fills the list anew or leaves it: asks whether
    // changed fields are to be stored. False when the user cancels or the
    // store is refused; the fields then stay as typed.
    bool AenderungenKlaeren();
    void Loeschen();
    void Duplizieren();
    void Editieren();
    void Drucken();
    void ERechnung();

    RechnungsServer& server_;
    Verwaltungen& verwaltungen_;
    std::optional<Kunde> kunde_;
    GenericList<Rechnung> liste_;
    int gewaehlt_ = -1;  // row of the selected invoice
    bool nurOffene_ = true;
    bool geaendert_ = false;
    bool laedt_ = false;  // the program itself is writing the edit fields
};
