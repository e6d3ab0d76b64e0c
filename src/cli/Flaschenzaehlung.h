#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "documents/Flaschenliste.h"

class Customizer;

// The items of the bottle list over the files themselves (see
// Rechnungsstrom), without the data set: the invoices pass through in
// pieces and the chosen ones' item chains are walked in one read of the
// item file. The entries, their order and the invoices chosen are those of
// RechnungsVerwaltung::GetFlaschenPosten, damaged chains included. Besides
// two bytes per counted item, memory grows with the number of chosen
// invoices only.
namespace Flaschenzaehlung {

// The counted list: the bottles of every counted item, wine after wine.
struct Zaehlung {
    Zaehlung() = default;
    // Moved only: the wines point into the bottles.
    Zaehlung(Zaehlung&&) = default;
    Zaehlung& operator=(Zaehlung&&) = default;
    Zaehlung(const Zaehlung&) = delete;
    Zaehlung& operator=(const Zaehlung&) = delete;

    std::vector<std::int16_t> mengen;
    // Ascending by number, each with its part of `mengen`.
    std::vector<Flaschenliste::Wein> weine;

    // The same as entries, for the spreadsheets.
    void Eintraege(Flaschenliste::Eintraege& eintraege) const;
};

// The list for the filter periods of `einstellungen`. A missing file is
// empty; one that cannot be read, or is cut short while it is read, raises
// the German message of that read error.
Zaehlung Zaehlen(const std::string& verzeichnis, const Customizer& einstellungen);

}  // namespace Flaschenzaehlung
