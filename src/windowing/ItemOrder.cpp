#include "windowing/ItemOrder.h"

#include <algorithm>
#include <compare>
#include <cstring>
#include <utility>

namespace {

// Letters are compared by their base letter first, so that umlauts sort with
// their vowel; ties are broken by the accent and then by case.
int Base(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 'A';
    }
    // The accented letters of Windows-1252 that sort with each base letter.
    static constexpr std::pair<char, const char*> kBasis[] = {
        {'A', "\xC4\xE4\xC0\xE0\xC1\xE1\xC2\xE2"},
        {'O', "\xD6\xF6\xD2\xF2\xD3\xF3\xD4\xF4"},
        {'U', "\xDC\xFC\xD9\xF9\xDA\xFA\xDB\xFB"},
        {'E', "\xC8\xE8\xC9\xE9\xCA\xEA\xCB\xEB"},
        {'S', "\xDF"}};
    for (const auto& [basis, akzentuiert] : kBasis) {
        if (c >= 0x80 && std::strchr(akzentuiert, static_cast<char>(c)) != nullptr) {
            return basis;
        }
    }
    return c;
}

int Fold(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

}  // namespace

bool ItemOrder::Less(const std::string& a, const std::string& b) {
    for (int (*schluessel)(unsigned char) : {Base, Fold}) {
        const auto vergleich = std::lexicographical_compare_three_way(
            a.begin(), a.end(), b.begin(), b.end(), [schluessel](char x, char y) {
                return schluessel(static_cast<unsigned char>(x)) <=>
                       schluessel(static_cast<unsigned char>(y));
            });
        if (vergleich != 0) {
            return vergleich < 0;
        }
    }
    return a < b;
}
