#pragma once

#include <string>
#include <vector>

#include "windowing/PrintJob.h"

class Rechnung;
struct Verwaltungen;

// The invoice documents as PDF files. Their pages need the toolkit's fonts,
// which no layer below the program has; the program hands in its output
// (printing/PdfAusgabe), and where there is none only what needs no PDF is
// offered. The pages are the print jobs of Ausfertigungen, the same the
// printer gets.
class Dokumentausgabe {
  public:
    virtual ~Dokumentausgabe() = default;

    // The chosen documents of the invoice, each with all its pages, as one
    // PDF file of A4 pages. The file is replaced only when it was written
    // completely; false, writing nothing, when no document is chosen or the
    // file cannot be written.
    virtual bool Pdf(const std::string& datei, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                     bool packliste, bool kundenRechnung, bool interneRechnung) = 0;

    // The ZUGFeRD / Factur-X invoice: the customer invoice's pages as a
    // PDF/A-3 document carrying `xml` (the invoice's CII XML, EN 16931
    // profile) as its attachment "factur-x.xml". Replaced only when made
    // completely; false, with a German reason in `fehler` (Windows-1252),
    // otherwise.
    virtual bool Zugferd(const std::string& datei, Verwaltungen& verwaltungen,
                         const Rechnung& rechnung, const std::string& xml, std::string& fehler) = 0;
    // Other documents (the reminder letters): the jobs, each with all its
    // pages, as one PDF file of A4 pages titled `titel`, under the same
    // rules. An output that cannot draw them writes nothing and says false.
    virtual bool PdfAuftraege(const std::string& datei, const std::vector<PrintJob>& auftraege,
                              const std::string& titel) {
        (void)datei;
        (void)auftraege;
        (void)titel;
        return false;
    }
};
