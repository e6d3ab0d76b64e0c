#pragma once

#include <functional>
#include <string>

class Rechnung;
class Services;
struct Verwaltungen;

// Saves one invoice as an e-invoice through the save dialog: as XRechnung
// (XML) or, when the program has a PDF output, as ZUGFeRD PDF. The seller
// data come from the Firmendaten file beside the settings file, read anew,
// so that what the dialog "Firmendaten" stored last is used. What keeps the
// invoice from becoming an e-invoice is said in a message box.
class ERechnungSpeichern {
  public:
    static constexpr const char* kTitel = "E-Rechnung speichern";

    // Writes the ZUGFeRD PDF of the invoice with the given XML; false with
    // a German reason (Windows-1252) when it could not.
    using ZugferdAusgabe =
        std::function<bool(const std::string& datei, Verwaltungen& verwaltungen,
                           const Rechnung& rechnung, const std::string& xml, std::string& fehler)>;
    // Set once by the program, which has the toolkit for PDF pages.
    static void SetZugferdAusgabe(ZugferdAusgabe ausgabe);

    static void Speichern(Services& app, Verwaltungen& verwaltungen, const Rechnung& rechnung);
};
