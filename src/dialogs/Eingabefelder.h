#pragma once

#include <cstdint>
#include <string>

#include "storage/Datum.h"

class Window;

// How the dialogs read and show what stands in their fields: dates in three
// edits (day, month, year) and amounts of money.
class Eingabefelder {
  public:
    // The date of the three edits read as whole numbers; an empty field or an
    // impossible date gives the invalid date.
    static Datum DatumLesen(const Window& w, int tag, int monat, int jahr);
    // Day, month and year as "%d" when the year lies from 1971 to 9999;
    // otherwise the three edits are emptied.
    static void DatumZeigen(Window& w, int tag, int monat, int jahr, std::uint32_t julian);
    // Whether a date is shown at all (its year from 1971 to 9999).
    static bool DatumZeigbar(std::uint32_t julian);
    // An amount as typed: a decimal comma counts like a point ("12,50" is
    // 12.5), since that is how German users write money.
    static double BetragLesen(const std::string& text);
};
