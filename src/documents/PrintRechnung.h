#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "documents/Canvas.h"
#include "model/Firmendaten.h"

class Kunde;
class Rechnung;
struct Verwaltungen;

// One document of an invoice: the packing list, the customer invoice or the
// internal copy, laid out page by page as fixed-pitch text on a canvas. Every
// position is a fraction of the page and every font a multiple of the line
// height, so a page looks alike on any device.
//
// Where the business has seller data, the pages also name the seller: in
// the letterhead area when the canvas has no letterhead picture, and on the
// invoices in a footer with the tax number, the bank account and the
// delivery date. The customer invoice's last page carries the payment code
// (GiroCode) for the open amount beside the final amount. All of it stands
// where nothing else is printed; without seller data the pages are exactly
// the plain layout.
class PrintRechnung {
  public:
    enum Art : std::int32_t { kPackliste = 0, kKundenRechnung = 1, kInterneRechnung = 2 };

    static constexpr const char* kSchrift = "Courier New";

    // The customer may be null (a customer deleted after the invoice was
    // written); the page then shows "N/A" for its texts. The preview is laid
    // out as the printed page, so `vorschau` changes nothing. The seller data
    // are read now, from beside the settings' file, so that the document
    // shows the same for as long as it is kept.
    PrintRechnung(std::int32_t art, bool vorschau, Verwaltungen* verwaltungen, const Kunde* kunde,
                  const Rechnung* rechnung);

    // The seller data the pages print (none when they are empty).
    const Firmendaten& GetFirmendaten() const { return firma_; }
    void SetFirmendaten(const Firmendaten& firma);
    // What the user is to be told, once, when the document is put out
    // (Windows-1252): why the payment code is missing though it was asked
    // for, or that the seller data could not be read. Empty when nothing.
    const std::string& Hinweis() const { return hinweis_; }
    // The text of the payment code on the customer invoice's last page,
    // empty when it carries none.
    const std::string& GiroCodeText() const { return giroText_; }

    // The number of items divided by the items per page, rounded up, and at
    // least 1.
    std::int32_t Seiten() const { return seiten_; }
    bool HasPage(int seite) const { return seite >= 1 && seite <= seiten_; }
    int PostenProSeite() const;
    // "(Rkon) Re: Nachname Vorname" and its siblings.
    std::string JobTitel() const;
    // The printer bin the document is meant for (1 upper, 2 lower).
    int Papierquelle() const;
    // The line height L of a page of that height.
    int Zeilenhoehe(int seitenHoehe) const;

    // Lays out page `seite` (from 1) in the rectangle.
    void Layout(Canvas& canvas, int seite, int left, int top, int width, int height) const;

  private:
    class Seite;

    void KundenRechnung(Seite& s, int seite) const;
    void InterneRechnung(Seite& s, int seite) const;
    void Packliste(Seite& s, int seite) const;
    // The seller's lines of every page: the block or line in the letterhead
    // area, on the invoices the footer, which ends at `unten`.
    void Verkaeufer(Seite& s) const;
    // The payment code on the customer invoice's last page, as near to
    // (x, y) as there is room for it; false when there is none.
    bool ZahlCode(Seite& s, int x, int y, int yMin) const;
    // The payment code and what to tell of it, from the seller data.
    void ZahlungBestimmen();

    std::int32_t art_;
    const Kunde* kunde_;
    const Rechnung* rechnung_;
    Verwaltungen* verwaltungen_;
    std::int32_t seiten_ = 1;
    Firmendaten firma_;
    std::string leseFehler_;
    std::optional<Modulmatrix> giroCode_;
    std::string giroText_;
    std::string hinweis_;
};
