#pragma once

#include "dialogs/KundenServer.h"
#include "model/Kunde.h"
#include "model/Verwaltungen.h"
#include "storage/GenericList.h"
#include "windowing/Dialog.h"

// The hit list of a customer search: the matching customers in file order,
// the details of the selected one, and changing, deleting and (when opened
// to choose the customer of an invoice) a new invoice for it.
class KundenListe : public Dialog {
  public:
    static constexpr int kResource = 2;
    static constexpr int kListe = 101;
    static constexpr int kLoeschen = 102;
    static constexpr int kRechnung = 103;
    static constexpr int kAendern = 104;
    static constexpr int kName = 107;
    static constexpr int kAdresse = 110;
    static constexpr int kOrt = 111;
    static constexpr int kTelefon = 113;
    static constexpr int kEMail = 114;
    static constexpr int kBemerkung = 115;
    static constexpr int kListen = 116;

    KundenListe(KundenServer& server, Verwaltungen& verwaltungen, bool mitRechnung);

    void SetupWindow() override;
    void Command(int id) override;
    void SelectionChanged(int id) override;
    std::string CellText(int listId, int row, int column) override;
    std::optional<Rgb> RowColour(int listId, int row) override;

  private:
    void Aufbauen();
    void Details(unsigned index);
    void Loeschen();
    void Aendern();
    void Rechnung();

    KundenServer& server_;
    Verwaltungen& verwaltungen_;
    bool mitRechnung_;
    GenericList<Kunde> treffer_;
    Kunde aktuell_;
};
