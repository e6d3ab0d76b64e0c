#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/RechnungsVerwaltung.h"
#include "storage/Fehler.h"
#include "storage/GenericSortableList.h"

class Customizer;

// The bottle list: how many bottles of each wine the invoices of the filter
// periods sold, as a text file or as a small spreadsheet.
class Flaschenliste {
  public:
    enum Format { kText = 0, kTabelle = 1 };

    using Eintraege = GenericSortableList<RechnungsVerwaltung::FlaschenPosten>;

    // What the spreadsheet had no room for: it addresses 256 columns (one
    // per wine) and 16,384 rows (from row 5 on one per item of the wine).
    struct Auslassung {
        unsigned posten = 0;
        unsigned postenGesamt = 0;
        unsigned weine = 0;
        unsigned weineGesamt = 0;

        bool Vollstaendig() const { return posten == 0; }
    };

    // Collects the items of the invoices the settings' filter periods choose
    // and writes them in the format (any other format only collects), as
    // Ausgabeziel::Ersetzen writes a file.
    // A spreadsheet that could not hold every entry is still written with
    // what fits; `auslassung` (when given) tells what was left out.
    static Ergebnis<void> Write(RechnungsVerwaltung& rechnungen, const Customizer& einstellungen,
                                const std::string& fileName, int format,
                                Auslassung* auslassung = nullptr);

    // One wine of the list: its number and its items' bottles in list order.
    struct Wein {
        std::int32_t nummer = 0;
        std::span<const std::int16_t> mengen;
    };

    // The text form of collected, sorted entries (CR LF line ends).
    static std::string Text(const std::string& fileName, const Eintraege& eintraege,
                            const Customizer& einstellungen);
    // The same of the wines in list order, for a list that was counted
    // without entries (each wine has at least one item).
    static std::string Text(const std::string& fileName, const std::vector<Wein>& weine,
                            const Customizer& einstellungen);
    // The spreadsheet form.
    static Ergebnis<void> Tabelle(const std::string& fileName, const Eintraege& eintraege,
                                  const Customizer& einstellungen,
                                  Auslassung* auslassung = nullptr);
    // What the spreadsheet left out, and that the text list holds all, as
    // the German message for the user (Windows-1252).
    static std::string AuslassungsText(const Auslassung& auslassung);
};
