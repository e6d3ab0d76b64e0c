#pragma once

#include <string>

#include "documents/Flaschenliste.h"

class Customizer;

// The items of the bottle list over the files themselves (see
// Rechnungsstrom), without the data set: the invoices pass through in
// pieces and the chosen ones' item chains are walked in one read of the
// item file. The entries, their order and the invoices chosen are those of
// RechnungsVerwaltung::GetFlaschenPosten, damaged chains included. Besides
// the entries themselves, memory grows with the number of chosen invoices
// only.
namespace Flaschenzaehlung {

// The entries for the filter periods of `einstellungen` (the list is
// emptied first). A missing file is empty; one that cannot be read, or is
// cut short while it is read, raises the German message of that read error.
void Zaehlen(const std::string& verzeichnis, const Customizer& einstellungen,
             Flaschenliste::Eintraege& eintraege);

}  // namespace Flaschenzaehlung
