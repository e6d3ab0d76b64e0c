#include "storage/LenientNumber.h"

#include <charconv>
#include <limits>
#include <string>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips leading blanks and reads a sign; returns the position after them.
std::size_t SkipPrefix(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

// Reads the leading decimal number; with `comma`, a decimal comma counts
// like a point.
double Decimal(std::string_view text, bool comma) {
    bool negative = false;
    std::size_t i = SkipPrefix(text, negative);
    std::string number;
    bool digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        number.push_back(text[i]);
        digits = true;
    }
    if (i < text.size() && (text[i] == '.' || (comma && text[i] == ','))) {
        number.push_back('.');
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            number.push_back(text[i]);
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    if (number.front() == '.') {
        number.insert(number.begin(), '0');
    }
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = std::numeric_limits<double>::max();
    }
    return negative ? -value : value;
}

}  // namespace

std::int32_t LenientNumber::ToInt(std::string_view text) {
    bool negative = false;
    std::size_t i = SkipPrefix(text, negative);
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) {
            value = kLimit;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        value = std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

double LenientNumber::ToDouble(std::string_view text) {
    return Decimal(text, false);
}

double LenientNumber::ToMoney(std::string_view text) {
    return Decimal(text, true);
}
