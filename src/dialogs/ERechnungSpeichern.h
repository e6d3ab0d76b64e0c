#pragma once

#include <string>

class Dokumentausgabe;
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

    // Without an output (null) only the XRechnung is offered.
    ERechnungSpeichern(Services& app, Verwaltungen& verwaltungen, Dokumentausgabe* ausgabe);

    void Speichern(const Rechnung& rechnung);

  private:
    Services& app_;
    Verwaltungen& verwaltungen_;
    Dokumentausgabe* ausgabe_;
};
