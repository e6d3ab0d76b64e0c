#pragma once

#include <cstdint>
#include <string_view>

// Numbers typed into fields or read from old files: leading blanks and a sign
// are allowed, the digits at the front count, a decimal point is a point, and
// anything that is not a number gives 0. Values beyond the range are clamped.
class LenientNumber {
  public:
    static std::int32_t ToInt(std::string_view text);
    static double ToDouble(std::string_view text);
    // Money typed by a German user: a decimal comma counts like a point
    // ("12,50" is 12.5), so that a price is never cut at the comma.
    static double ToMoney(std::string_view text);
};
