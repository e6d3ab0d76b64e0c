#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/Datum.h"
#include "storage/Fehler.h"

// The record of the booking batches handed to the tax advisor,
// "daten/datev-exporte.txt": one line per export with its period, the time
// it was written, the number of invoices and their sum, as
//
//   1.11.2026;30.11.2026;6.12.2026 9:05:03;12;1234,56
//
// Windows-1252, CR LF. Lines are only ever appended, each synced before the
// export counts as done. An invoice booked twice is the advisor's worst
// case, so a new period that overlaps a recorded one must be confirmed, and
// a line that cannot be read counts as if it overlapped: nobody can tell
// which period it meant.
class DatevExporte {
  public:
    static constexpr const char* kDatei = "datev-exporte.txt";

    struct Eintrag {
        Datum von;
        Datum bis;
        Datum tag;
        int stunde = 0;
        int minute = 0;
        int sekunde = 0;
        std::int64_t anzahl = 0;
        std::int64_t cent = 0;
    };

    static std::string Zeile(const Eintrag& eintrag);
    // False for anything but a line as Zeile writes it (without its line end).
    static bool AusZeile(const std::string& zeile, Eintrag& eintrag);

    // What a new export of von..bis collides with, as a German sentence
    // (Windows-1252) that names the earlier export or the line that cannot
    // be read; empty when nothing does. `text` is the file's contents.
    static std::string Konflikt(const std::string& text, Datum von, Datum bis);
    // The lines that cannot be read ("Zeile 3 ist kein Eintrag ..."), for the
    // data check.
    static std::vector<std::string> Unlesbar(const std::string& text);

    // Appends the line and syncs it; a last line cut short by a crash is
    // ended first, so that the new one stands on its own line.
    static Ergebnis<void> Anhaengen(const std::string& datei, const Eintrag& eintrag);

    // "vom 6.12.2026 9:05 (1.11.2026 bis 30.11.2026, 12 Rechnungen, 1234,56 EUR)"
    static std::string Beschreibung(const Eintrag& eintrag);
    // Cents with a decimal comma, without thousands separators: "1234,56".
    static std::string Betrag(std::int64_t cent);
};
