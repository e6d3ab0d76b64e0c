#pragma once

#include <cstdint>
#include <string>

// A calendar date as a Julian day number (1 January 1901 is 2415386). The day
// number 0 is the invalid date, which an impossible day, month or year gives.
class Datum {
  public:
    static constexpr std::uint32_t kUngueltig = 0;
    // 1 January 1901, the day number a new invoice carries for "no date yet".
    static constexpr std::uint32_t k1901 = 2415386;
    // The last year a date may be typed in: nothing is dated that far ahead,
    // and every file and document writes the year with four digits.
    static constexpr int kLetztesJahr = 2099;

    Datum() = default;
    explicit Datum(std::uint32_t julianDay) : julian_(julianDay) {}
    // A two-digit year (0 to 99) means 1900 to 1999.
    Datum(int day, int month, int year);

    // The local date of the clock's "now".
    static Datum Heute();

    std::uint32_t Julian() const { return julian_; }
    bool IsValid() const { return julian_ != kUngueltig; }
    // Whether the date can be written as year, month and day with a year of
    // one to four digits, as documents exchanged with others want it.
    bool Vierstellig() const;

    int Day() const;
    int Month() const;
    int Year() const;

    // "7.3.2002"
    std::string Text() const;
    // "March 7, 2002"
    std::string LongText() const;

    static bool IsLeapYear(int year);
    static int DaysInMonth(int month, int year);

  private:
    void Split(int& day, int& month, int& year) const;

    std::uint32_t julian_ = kUngueltig;
};
