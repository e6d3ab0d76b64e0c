#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Customizer;

// The amount search of the command line, over the files themselves: the
// invoices pass through in pieces and leave a few numbers each, and the item
// file is read from its end to its start, once, along all chains at the same
// time (every sound link points to a lower index). Memory grows with the
// number of invoices only, never with the files; hits, order and amounts are
// those of RechnungsVerwaltung::GetRechnungenNachNummerOderBetrag.
class Betragssuche {
  public:
    struct Treffer {
        std::int32_t id = 0;
        std::int32_t nummer = 0;
        std::int32_t kunde = 0;
        std::uint32_t datum = 0;
        // The sum of the items in cents, as Rechnungsbetrag's.
        std::int64_t summe = 0;
    };

    // The live invoices of `verzeichnis` whose sum lies within `toleranz`
    // of `betrag` (cents), newest first. A missing file is empty; one that
    // cannot be read, or is cut short while it is read, raises the German
    // message of that read error.
    static std::vector<Treffer> Suchen(const std::string& verzeichnis, std::int64_t betrag,
                                       std::int64_t toleranz, const Customizer* einstellungen);
};
