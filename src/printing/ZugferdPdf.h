#pragma once

#include <string>

class Rechnung;
struct Verwaltungen;

// The ZUGFeRD / Factur-X invoice: the pages of the printed customer invoice
// as a PDF/A-3 document that carries the invoice's CII XML (EN 16931
// profile) as the attachment "factur-x.xml", declared in the XMP metadata
// so that the buyer's software finds it. The file is replaced only when it
// was made completely; false, with a German reason in `fehler`
// (Windows-1252), otherwise.
//
// Needs a QGuiApplication, as RechnungAlsPdf does.
bool ZugferdPdf(const std::string& pdfDatei, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                const std::string& facturXml, std::string& fehler);
