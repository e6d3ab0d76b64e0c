#pragma once

#include <string>

#include "documents/Flaschenliste.h"
#include "documents/Tabelle.h"
#include "storage/Fehler.h"

class Customizer;
class WeinlistenVerwaltung;

// The bottle list as a spreadsheet in today's format (.xlsx), beside the
// text file and the old BIFF sheet: one row per wine with its number, name,
// description, volume and bottles, the sum row, and the filter periods in
// the title row. Unlike the old sheet it holds any number of wines.
class FlaschenlisteArbeitsmappe {
  public:
    // The collected entries (sorted by wine, as GetFlaschenPosten gives
    // them) as a table; the wines' texts from the catalogue (null: none).
    static ::Tabelle Inhalt(const Flaschenliste::Eintraege& eintraege,
                             const Customizer& einstellungen, const WeinlistenVerwaltung* weine);
    // "Datierung der Rechnungen von 1.12.2026 bis 31.12.2026", and the
    // capture period when it is in use; empty when neither is.
    static std::string Zeitraum(const Customizer& einstellungen);
    // Writes the spreadsheet as Ausgabeziel::Ersetzen writes an export.
    static Ergebnis<void> Schreiben(const std::string& datei,
                                    const Flaschenliste::Eintraege& eintraege,
                                    const Customizer& einstellungen,
                                    const WeinlistenVerwaltung* weine);
};
