#pragma once

#include <string>
#include <vector>

#include "documents/Dokumentausgabe.h"
#include "printing/Briefkopf.h"

// The invoice PDFs drawn with the toolkit: A4 pages, each the whole sheet,
// the print jobs rendered as they go to the printer. The customer invoice
// carries the letterhead from `briefkopfDatei` when it can be loaded (read
// anew for every file, as the user may replace it meanwhile).
//
// Needs a QGuiApplication; a program without a display creates it with the
// "offscreen" platform (QT_QPA_PLATFORM=offscreen).
class PdfAusgabe : public Dokumentausgabe {
  public:
    explicit PdfAusgabe(std::string briefkopfDatei = Briefkopf::kDatei);

    bool Pdf(const std::string& datei, Verwaltungen& verwaltungen, const Rechnung& rechnung,
             bool packliste, bool kundenRechnung, bool interneRechnung) override;
    bool Zugferd(const std::string& datei, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                 const std::string& xml, std::string& fehler) override;
    bool PdfAuftraege(const std::string& datei, const std::vector<PrintJob>& auftraege,
                      const std::string& titel) override;

  private:
    // The pages in memory; with `pdfA` as PDF/A-1b (fonts embedded, XMP
    // metadata, sRGB output intent), the base of the ZUGFeRD invoice. False
    // when no document is chosen.
    bool Seiten(std::string& pdf, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                bool packliste, bool kundenRechnung, bool interneRechnung, bool pdfA) const;
    // Makes the PDF/A pages PDF/A-3 carrying the XML as "factur-x.xml",
    // declared in the XMP metadata so that the buyer's software finds it.
    // In ZugferdPdf.cpp, the one file with qpdf, which the fuzz build leaves
    // out.
    static bool Anhaengen(const std::string& seiten, const std::string& xml, std::string& pdf,
                          std::string& fehler);

    std::string briefkopfDatei_;
};
