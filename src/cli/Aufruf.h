#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/Datum.h"

// The words that follow a command on the command line. Options are taken out
// by name, each with the number of values it needs; what remains are the
// positional arguments. Every mistake is raised as a Bedienfehler with a
// German text.
//
// The words arrive in UTF-8; the texts handed out are the words as given
// (file names stay as the file system spells them), and the messages quote
// them in Windows-1252.
class Aufruf {
  public:
    Aufruf(std::string befehl, std::vector<std::string> woerter);

    const std::string& Befehl() const { return befehl_; }

    // Whether a help option (--help or -h) is among the words.
    bool HilfeVerlangt() const;
    // Whether the option is among the words, with or without its values.
    bool Hat(const std::string& name) const;

    // Takes the option and its `anzahl` values out of the words ("--name
    // value" or, for one value, "--name=value"); nothing when it is absent.
    // Raises when it is given twice or its values are missing.
    std::optional<std::vector<std::string>> Option(const std::string& name, int anzahl);
    std::optional<std::string> Option(const std::string& name);

    // The remaining words, which must be between `mindestens` and
    // `hoechstens` positional arguments. Raises for a word that looks like an
    // option (all known options are taken out before).
    std::vector<std::string> Positionen(std::size_t mindestens, std::size_t hoechstens,
                                        const char* erwartet);

    // "D.M.YYYY" (day and month with one or two digits, a four-digit year);
    // raises for anything else and for a date the calendar does not have.
    static Datum DatumLesen(const std::string& text);
    // Decimal digits with an optional minus sign, within the bounds; `was`
    // names the value in the message ("Die Rechnungsnummer").
    static std::int64_t ZahlLesen(const std::string& text, std::int64_t kleinste,
                                  std::int64_t groesste, const char* was);
    // A non-negative amount with a decimal point or comma ("12.50", "12,5").
    static double BetragLesen(const std::string& text, const char* was);

  private:
    std::string befehl_;
    std::vector<std::string> woerter_;
};
