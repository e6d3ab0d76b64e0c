#pragma once

#include <cstdint>
#include <string>

class Canvas;
class Kunde;
class Rechnung;
struct Verwaltungen;

// One document of an invoice: the packing list, the customer invoice or the
// internal copy, laid out page by page as fixed-pitch text on a canvas. Every
// position is a fraction of the page and every font a multiple of the line
// height, so a page looks alike on any device.
class PrintRechnung {
  public:
    enum Art : std::int32_t { kPackliste = 0, kKundenRechnung = 1, kInterneRechnung = 2 };

    static constexpr const char* kSchrift = "Courier New";

    // The customer may be null (a customer deleted after the invoice was
    // written); the page then shows "N/A" for its texts. The preview is laid
    // out as the printed page, so `vorschau` changes nothing.
    PrintRechnung(std::int32_t art, bool vorschau, Verwaltungen* verwaltungen, const Kunde* kunde,
                  const Rechnung* rechnung);

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

    std::int32_t art_;
    const Kunde* kunde_;
    const Rechnung* rechnung_;
    Verwaltungen* verwaltungen_;
    std::int32_t seiten_ = 1;
};
