#pragma once

#include <string>

#include "documents/Ausgabeziel.h"
#include "documents/Tabelle.h"
#include "storage/Fehler.h"

// A table as a spreadsheet in today's format (.xlsx, Office Open XML),
// written by libxlsxwriter: one sheet named after the table, its title with
// the period in the first row, the column headings in the second (both stay
// in view while the rows scroll, and the headings filter), one row per row
// of the table with numbers as numbers in their formats, and the sum row as
// formulas over the rows, their results stored beside them. It holds any
// number of rows.
class Arbeitsmappe {
  public:
    // The file's bytes. The library writes into a file of its own, in a
    // private folder that goes again at once; only a failure to write there
    // fails.
    static Ergebnis<std::string> Bytes(const Tabelle& tabelle);
    // Writes the file as Ausgabeziel::Ersetzen writes an export.
    static Ergebnis<void> Schreiben(const std::string& datei, const Tabelle& tabelle,
                                    const std::string& daten = Ausgabeziel::kDaten);
};
