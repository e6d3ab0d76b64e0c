#pragma once

#include <string>

#include "model/RechnungsVerwaltung.h"
#include "storage/GenericSortableList.h"

class Customizer;

// The bottle list: how many bottles of each wine the invoices of the filter
// periods sold, as a text file or as a small spreadsheet.
class Flaschenliste {
  public:
    enum Format { kText = 0, kTabelle = 1 };

    using Eintraege = GenericSortableList<RechnungsVerwaltung::FlaschenPosten>;

    // Collects the items of the invoices the settings' filter periods choose
    // and writes them in the format (any other format only collects).
    // False when the file could not be written.
    static bool Write(RechnungsVerwaltung& rechnungen, const Customizer& einstellungen,
                      const std::string& fileName, int format);

    // The text form of collected, sorted entries (CR LF line ends).
    static std::string Text(const std::string& fileName, const Eintraege& eintraege,
                            const Customizer& einstellungen);
    // The spreadsheet form; false when the file could not be written.
    static bool Tabelle(const std::string& fileName, const Eintraege& eintraege,
                        const Customizer& einstellungen);
};
