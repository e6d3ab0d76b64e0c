#pragma once

#include <string>

#include "storage/Fehler.h"

struct Verwaltungen;

// Writes every price list into one text file: per list one entry of three
// lines per wine of the catalogue (hidden wines included), number, name, fill
// quantity and price at fixed columns, then the description. The price is the
// Euro price of the list when prices are kept in Euro, else the DM price;
// "N/A" for a wine without a price in the list. The last list stays current.
// The file is written as Ausgabeziel::Ersetzen writes it.
Ergebnis<void> PreislistenExport(const std::string& fileName, Verwaltungen& verwaltungen);
// The same text, for the standard output.
std::string PreislistenExportText(Verwaltungen& verwaltungen);
