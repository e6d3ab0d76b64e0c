#pragma once

#include <string>
#include <vector>

class Canvas;
class Firmendaten;

// The seller on a printed page, from the seller data: the block that stands
// in the letterhead area when there is no letterhead picture, the same in
// one line where the page has room for no more, and the footer with what an
// invoice must name of its seller (tax number, bank account) and the
// delivery date. Every line leaves out the fields that are empty, label and
// all. Drawn in the page's own face; nothing is drawn outside the room it
// is given: a line too long for it is set smaller, and only when even that
// would be too small to read, cut.
class Absender {
  public:
    // Name, street, postcode and town, "Telefon: …", "E-Mail: …".
    static std::vector<std::string> Blockzeilen(const Firmendaten& firma);
    // The block's lines in one, joined by " · ".
    static std::string Einzeilig(const Firmendaten& firma);
    // "Steuernummer: … · USt-IdNr.: …", "Bank: … · IBAN: … · BIC: …" (the
    // bank's name only `mitBank`) and "Liefer-/Leistungsdatum: entspricht dem
    // Rechnungsdatum". Texts Windows-1252.
    static std::vector<std::string> Fusszeilen(const Firmendaten& firma, bool mitBank);
    // The IBAN in groups of four: "DE85 5505 0120 0123 4567 89".
    static std::string IbanGruppiert(const std::string& iban);

    // The block with its lines left-aligned and its widest line ending at
    // `rechts`, never reaching left of `links`, from `oben` down: the name
    // bold in cells of 1.2 × `zeile`, the others normal in cells of `zeile`.
    // Returns the bottom of its last cell (`oben` when the block is empty).
    static int BlockZeichnen(Canvas& canvas, const Firmendaten& firma, int links, int rechts,
                             int oben, int zeile);
    // One line from (links, oben) in cells of `zeile`, ending before
    // `rechts`.
    static void ZeileZeichnen(Canvas& canvas, const std::string& text, int links, int rechts,
                              int oben, int zeile, int weight);
    // The footer lines, left-aligned at `links` and ending before `rechts`,
    // the last one's cell ending at `unten`, in cells of `zeile` and never
    // above `oben`. When they do not fit, the bank's name goes first, then
    // the lines are set smaller. Returns the top of the first line (`unten`
    // when nothing was drawn).
    static int FussZeichnen(Canvas& canvas, const Firmendaten& firma, int links, int rechts,
                            int oben, int unten, int zeile);
};
