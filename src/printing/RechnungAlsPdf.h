#pragma once

#include <QByteArray>
#include <string>

#include "printing/Briefkopf.h"

class Rechnung;
struct Verwaltungen;

// Writes the chosen documents of one invoice into one PDF file of A4 pages:
// every page of each document, in the order packing list, customer invoice,
// internal invoice. Each page is the whole sheet; the customer invoice
// carries the letterhead from `briefkopfDatei` when it can be loaded. The
// customer is looked up by the invoice's customer number (a missing one
// prints "N/A"). The file is replaced only when it was written completely.
//
// Returns false, writing nothing, when no document is chosen or the file
// cannot be written.
//
// Needs a QGuiApplication; a program without a display creates it with the
// "offscreen" platform (QT_QPA_PLATFORM=offscreen).
bool RechnungAlsPdf(const std::string& pdfDatei, Verwaltungen& verwaltungen,
                    const Rechnung& rechnung, bool packliste, bool kundenRechnung,
                    bool interneRechnung, const std::string& briefkopfDatei = Briefkopf::kDatei);

// The same pages in memory. With `pdfA` the document is written as PDF/A-1b
// (fonts embedded, XMP metadata, sRGB output intent), the base from which
// the ZUGFeRD invoice is made. False when no document is chosen.
bool RechnungAlsPdfDaten(QByteArray& daten, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                         bool packliste, bool kundenRechnung, bool interneRechnung, bool pdfA,
                         const std::string& briefkopfDatei = Briefkopf::kDatei);
