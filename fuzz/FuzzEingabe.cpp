#include "FuzzEingabe.h"

#include <algorithm>

FuzzEingabe::FuzzEingabe(const std::uint8_t* data, std::size_t size, std::size_t teile) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0; i + 1 < teile; ++i) {
        std::uint32_t laenge = 0;
        for (std::size_t b = 0; b < 4 && b < rest.size(); ++b) {
            laenge |= static_cast<std::uint32_t>(static_cast<unsigned char>(rest[b])) << (8 * b);
        }
        rest.remove_prefix(std::min<std::size_t>(4, rest.size()));
        const std::size_t n = std::min<std::size_t>(laenge, rest.size());
        teile_.push_back(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    teile_.push_back(rest);
}

std::string FuzzEingabe::Verbinden(const std::vector<std::string>& teile) {
    std::string out;
    for (std::size_t i = 0; i < teile.size(); ++i) {
        if (i + 1 < teile.size()) {
            const auto laenge = static_cast<std::uint32_t>(teile[i].size());
            for (int b = 0; b < 4; ++b) {
                out.push_back(static_cast<char>((laenge >> (8 * b)) & 0xFF));
            }
        }
        out += teile[i];
    }
    return out;
}

std::int32_t FuzzEingabe::Int32(std::string_view teil, std::size_t offset) {
    std::uint32_t wert = 0;
    for (std::size_t b = 0; b < 4; ++b) {
        wert |= static_cast<std::uint32_t>(UInt8(teil, offset + b)) << (8 * b);
    }
    return static_cast<std::int32_t>(wert);
}

std::uint8_t FuzzEingabe::UInt8(std::string_view teil, std::size_t offset) {
    return offset < teil.size() ? static_cast<std::uint8_t>(teil[offset]) : 0;
}
