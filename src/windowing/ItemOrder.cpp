#include "windowing/ItemOrder.h"

#include <algorithm>

namespace {

// Letters are compared by their base letter first, so that umlauts sort with
// their vowel; ties are broken by the accent and then by case.
int Base(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 'A';
    }
    switch (c) {
        case 0xC4:
        case 0xE4:
        case 0xC0:
        case 0xE0:
        case 0xC1:
        case 0xE1:
        case 0xC2:
        case 0xE2:
            return 'A';
        case 0xD6:
        case 0xF6:
        case 0xD2:
        case 0xF2:
        case 0xD3:
        case 0xF3:
        case 0xD4:
        case 0xF4:
            return 'O';
        case 0xDC:
        case 0xFC:
        case 0xD9:
        case 0xF9:
        case 0xDA:
        case 0xFA:
        case 0xDB:
        case 0xFB:
            return 'U';
        case 0xC8:
        case 0xE8:
        case 0xC9:
        case 0xE9:
        case 0xCA:
        case 0xEA:
        case 0xCB:
        case 0xEB:
            return 'E';
        case 0xDF:
            return 'S';
        default:
            return c;
    }
}

int Fold(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

}  // namespace

bool ItemOrder::Less(const std::string& a, const std::string& b) {
    auto byBase = [](char x, char y) {
        return Base(static_cast<unsigned char>(x)) < Base(static_cast<unsigned char>(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), byBase)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), byBase)) {
        return false;
    }
    auto byFold = [](char x, char y) {
        return Fold(static_cast<unsigned char>(x)) < Fold(static_cast<unsigned char>(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), byFold)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), byFold)) {
        return false;
    }
    return a < b;
}
