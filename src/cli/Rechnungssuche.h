#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Customizer;

// The invoice searches of the command line, over the files themselves (see
// Rechnungsstrom): the invoices pass through in pieces, so that memory grows
// with the open item chains and the hits only, never with the files; hits,
// order and amounts are those of
// RechnungsVerwaltung::GetRechnungenNachNummerOderBetrag.
// A missing file is empty; one that cannot be read, or is cut short while it
// is read, raises the German message of that read error.
class Rechnungssuche {
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
    // of `betrag` (cents), newest first. Both files are read once from their
    // ends to their starts, the invoices as the walk along all item chains
    // at the same time reaches their heads; invoices whose items an edit
    // stored after newer invoices' items are walked afterwards, apart.
    static std::vector<Treffer> NachBetrag(const std::string& verzeichnis, std::int64_t betrag,
                                           std::int64_t toleranz, const Customizer* einstellungen);

    // The live invoices with that number, newest first; only the hits'
    // items are read, record by record along their chains.
    static std::vector<Treffer> NachNummer(const std::string& verzeichnis, std::int32_t nummer,
                                           const Customizer* einstellungen);
};
