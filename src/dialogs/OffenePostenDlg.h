#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/OffenePosten.h"
#include "storage/Datum.h"
#include "windowing/Dialog.h"
#include "windowing/PrintJob.h"

class Datenbestand;

// "Offene Posten / Mahnungen": the invoices still to be paid on a key date,
// with their due dates and reminder levels; several can be chosen and get
// one reminder letter per customer, printed, shown or saved as PDF. Only
// when the user confirms that the letters came out right is the next level
// recorded for each invoice. Rows whose next reminder is due are tinted.
class OffenePostenDlg : public Dialog {
  public:
    static constexpr int kResource = 1019;
    static constexpr int kStichtag = 101;
    static constexpr int kNurUeberfaellig = 102;
    static constexpr int kListe = 110;
    static constexpr int kStatus = 111;
    static constexpr int kDrucken = 120;
    static constexpr int kPdf = 121;
    static constexpr int kZuruecksetzen = 122;
    static constexpr int kAnzeigen = 123;

    static constexpr const char* kTitel = "Offene Posten / Mahnungen";
    static constexpr const char* kFrage =
        "Sind die Mahnungen richtig gedruckt worden? Dann wird f\xFCr die Rechnungen die "
        "n\xE4"
        "chste Mahnstufe vermerkt.";
    static constexpr Rgb kMahnungFaellig{255, 224, 192};

    explicit OffenePostenDlg(Datenbestand& bestand);

    // The rows shown, in the order they were filled.
    const std::vector<OffenerPosten>& Posten() const { return posten_; }

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;
    void SelectionChanged(int id) override;
    std::string CellText(int listId, int row, int column) override;
    std::optional<Rgb> RowColour(int listId, int row) override;

  private:
    void Fuellen();
    std::vector<OffenerPosten> Gewaehlt(const char* wozu);
    std::vector<Mahnbrief> Briefe(const std::vector<OffenerPosten>& gewaehlt) const;
    std::vector<PrintJob> Auftraege(const std::vector<Mahnbrief>& briefe) const;
    void Drucken();
    void PdfSpeichern();
    // Asks whether the letters came out right and records the levels on Yes.
    void Bestaetigen(const std::vector<Mahnbrief>& briefe);
    void Zuruecksetzen();
    void Anzeigen();
    void KnoepfeSchalten();

    Datenbestand& bestand_;
    std::vector<OffenerPosten> posten_;
    Datum stichtag_;
    bool bereit_ = false;
};
