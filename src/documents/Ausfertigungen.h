#pragma once

#include <vector>

#include "windowing/PrintJob.h"

class Rechnung;
struct Verwaltungen;

// The documents of an invoice as print jobs, one per chosen document, always
// in the order packing list, customer invoice, internal invoice, whatever
// order the user ticked them in. The printer, the preview and the PDF files
// all get these same jobs.
class Ausfertigungen {
  public:
    // Each job keeps its own copies of the invoice and of its customer
    // (looked up by the invoice's customer number; a missing one prints
    // "N/A"), so it draws the same for as long as it is kept, whatever
    // becomes of the list or dialog that asked for it. `bildschirm`: laid
    // out for the preview window.
    static std::vector<PrintJob> Auftraege(Verwaltungen& verwaltungen, const Rechnung& rechnung,
                                           bool packliste, bool kundenRechnung,
                                           bool interneRechnung, bool bildschirm);
};
