#pragma once

#include <array>
#include <optional>
#include <string>

#include "documents/Auswertung.h"
#include "documents/Tabelle.h"
#include "model/Verwaltungen.h"
#include "storage/Fehler.h"
#include "windowing/Dialog.h"
#include "windowing/Diagramm.h"
#include "windowing/WindowingTypes.h"

// "Auswertungen": the sales of a period at a glance. One page per view
// (revenue per month beside the year before, the wines, the customers, the
// stock and how long it lasts), each with a chart and the table beneath.
// The period is typed as day, month and year; "H" sets it to the current
// year up to today, which is also where the dialog starts. The chart of the
// page shown can be saved as a picture (PNG or PDF), its table as CSV or as
// a spreadsheet (.xlsx), and both printed on one page.
class Auswertungen : public Dialog {
  public:
    static constexpr int kResource = 760;
    static constexpr int kVonTag = 101;
    static constexpr int kVonMonat = 102;
    static constexpr int kVonJahr = 103;
    static constexpr int kBisTag = 104;
    static constexpr int kBisMonat = 105;
    static constexpr int kBisJahr = 106;
    static constexpr int kHeute = 107;     // "H"
    static constexpr int kAnzeigen = 108;  // "Anzeigen"
    static constexpr int kSeiten = 110;    // the tab widget
    // Per view (Auswertung::kAnsichten, in that order): chart, note, table.
    static constexpr int kDiagramm = 121;
    static constexpr int kHinweis = 131;
    static constexpr int kTabelle = 141;
    static constexpr int kBildSpeichern = 151;
    static constexpr int kTabelleSpeichern = 152;
    static constexpr int kDrucken = 153;

    // How many bars the wines, customers and stock charts show.
    static constexpr std::size_t kBalken = 20;
    // The pictures saved: PNG in pixels, PDF in points (A4 landscape).
    static constexpr int kPngBreite = 1600;
    static constexpr int kPngHoehe = 1000;
    static constexpr int kPdfBreite = 842;
    static constexpr int kPdfHoehe = 595;

    static constexpr const char* kTitel = "Auswertungen";
    static constexpr const char* kKeineRechnungen = "Keine Rechnungen im Zeitraum";

    explicit Auswertungen(Verwaltungen& verwaltungen);

    void SetupWindow() override;
    void Command(int id) override;
    std::string CellText(int listId, int row, int column) override;
    std::optional<Rgb> RowColour(int listId, int row) override;

    // The figures shown, and a view's chart, as the window got them.
    const Auswertung& Zahlen() const { return zahlen_; }
    static Diagramm DiagrammVon(const Auswertung& zahlen, Auswertung::Ansicht ansicht);

  private:
    static constexpr std::size_t kAnzahl = std::size(Auswertung::kAnsichten);

    // Reads the period and shows its figures; a period that cannot be taken
    // is refused with a message and the figures shown stay.
    void Anzeigen();
    void Zeigen();
    void ZeitraumZeigen(Datum von, Datum bis);
    // The view of the page shown.
    std::size_t Seite() const;
    void BildSpeichern();
    void TabelleSpeichern();
    void Drucken();
    // Asks for the file; nothing when the user cancels or the name is
    // refused (the user has been told why).
    std::optional<SaveFileResult> Datei(const SaveFileRequest& anfrage, const std::string& was);
    // Tells the user how writing went; true when it did.
    bool Geschrieben(const std::string& pfad, const Ergebnis<void>& ergebnis,
                     const std::string& was);

    Verwaltungen& verwaltungen_;
    Auswertung zahlen_;
    std::array<Tabelle, kAnzahl> tabellen_;
    bool spaltenGesetzt_ = false;
};
