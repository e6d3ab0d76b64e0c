#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "storage/Fehler.h"

// What the reminders say and cost ("daten/mahnwesen.txt"): for each of the
// three levels a title, a text and a fee, and the days after a reminder at
// which the next level is proposed. "Schluessel=Wert" lines in Windows-1252
// with CR LF, as the seller data; a line break inside a text is written as
// "\n" and a backslash as "\\". A missing file or key gives the defaults.
//
// The texts may name the placeholders {Fälligkeit} (the earliest due date of
// the invoices of a letter) and {Betrag} (the total now due).
class Mahntexte {
  public:
    static constexpr const char* kDatei = "mahnwesen.txt";
    static constexpr int kStufen = 3;
    // Windows-1252.
    static constexpr const char* kPlatzhalterFaellig = "{F\xE4lligkeit}";
    static constexpr const char* kPlatzhalterBetrag = "{Betrag}";

    struct Stufe {
        std::string titel;         // Windows-1252
        std::string text;          // Windows-1252, lines separated by LF
        std::int64_t gebuehr = 0;  // cents
    };

    Mahntexte();

    // Level 1 to 3.
    const Stufe& Von(int stufe) const;
    Stufe& Von(int stufe);

    // Reads `datei`; a missing file gives the defaults. Fails (the defaults
    // kept) when the file exists but cannot be read or is no regular file.
    Ergebnis<void> Laden(const std::string& datei);
    // Replaces `datei` atomically; when it could not be written, the old
    // file stays.
    Ergebnis<void> Speichern(const std::string& datei) const;
    std::string Text() const;
    static Mahntexte AusText(const std::string& text);

    // A fee as the user types it ("12,50", "12.50", "5"): the cents, or -1
    // for anything negative, too large or no amount at all.
    static std::int64_t GebuehrLesen(const std::string& text);
    // Cents as the dialog shows them: "12,50".
    static std::string GebuehrText(std::int64_t cent);

    std::array<Stufe, kStufen> stufen;
    // Days after a reminder before the next level is proposed.
    int tageBisNaechsteStufe = 14;
};
