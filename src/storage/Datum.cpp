#include "storage/Datum.h"

#include <cstdio>
#include <ctime>

#include "storage/Clock.h"

namespace {

// Highest year whose day numbers still fit the 32-bit field.
constexpr int kMaxYear = 11000000;

std::int64_t ToJulian(std::int64_t day, std::int64_t month, std::int64_t year) {
    // Standard Gregorian conversion (Fliegel and Van Flandern).
    std::int64_t a = (14 - month) / 12;
    std::int64_t y = year + 4800 - a;
    std::int64_t m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

}  // namespace

Datum::Datum(int day, int month, int year) {
    if (year >= 0 && year <= 99) {
        year += 1900;
    }
    if (year < 1 || year > kMaxYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(month, year)) {
        julian_ = kUngueltig;
        return;
    }
    julian_ = static_cast<std::uint32_t>(ToJulian(day, month, year));
}

Datum Datum::Heute() {
    std::time_t now = static_cast<std::time_t>(Clock::Now());
    std::tm local{};
    localtime_r(&now, &local);
    return Datum(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
}

bool Datum::IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int Datum::DaysInMonth(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

void Datum::Split(int& day, int& month, int& year) const {
    std::int64_t a = static_cast<std::int64_t>(julian_) + 32044;
    std::int64_t b = (4 * a + 3) / 146097;
    std::int64_t c = a - 146097 * b / 4;
    std::int64_t d = (4 * c + 3) / 1461;
    std::int64_t e = c - 1461 * d / 4;
    std::int64_t m = (5 * e + 2) / 153;
    day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    month = static_cast<int>(m + 3 - 12 * (m / 10));
    year = static_cast<int>(100 * b + d - 4800 + m / 10);
}

bool Datum::Vierstellig() const {
    if (!IsValid()) {
        return false;
    }
    const int year = Year();
    return year >= 1 && year <= 9999;
}

int Datum::Day() const {
    int d, m, y;
    Split(d, m, y);
    return d;
}

int Datum::Month() const {
    int d, m, y;
    Split(d, m, y);
    return m;
}

int Datum::Year() const {
    int d, m, y;
    Split(d, m, y);
    return y;
}

std::string Datum::Text() const {
    int d, m, y;
    Split(d, m, y);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d.%d.%d", d, m, y);
    return buffer;
}

std::string Datum::LongText() const {
    static constexpr const char* kMonths[12] = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};
    int d, m, y;
    Split(d, m, y);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %d, %d", kMonths[m - 1], d, y);
    return buffer;
}
