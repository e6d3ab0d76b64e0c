#pragma once

#include <string>

#include "documents/Tabelle.h"
#include "windowing/PrintJob.h"

// The printout of one view of the statistics: the title with the period,
// the chart and the table beneath it on the first page, as the dialog shows
// them; a table longer than the page has room for goes on over further
// pages, each with the column headings again.
class AuswertungDruck {
  public:
    // Table lines the first page holds below the chart, and a further page.
    static constexpr int kZeilenErsteSeite = 28;
    static constexpr int kZeilenFolgeseite = 60;
    // Width over height of the chart's picture.
    static constexpr double kBildformat = 1.6;

    // The job: `svg` is the chart's picture (empty: none), `hinweis` a line
    // under the title ("3 Rechnungen ohne gültiges Datum nicht enthalten").
    static PrintJob Auftrag(const Tabelle& tabelle, const std::string& svg,
                            const std::string& hinweis);
};
