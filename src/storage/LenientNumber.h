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
    // Amounts and rates the user types: as ToDouble, but a comma is a
    // decimal separator too ("19,5"), as German users type it. When both
    // marks occur ("1.234,56", "1,234.56"), the last one separates the
    // decimals and the other groups the thousands.
    static double ToAmount(std::string_view text);
};
