#pragma once

#include <cstdint>

#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"

// One wine of the catalogue: 149 bytes on disk, fields in declaration order.
// Copies are whole, bytes after a text's terminator included.
class Wein {
  public:
    static constexpr std::size_t DiskSize = 149;

    // Empty texts, weight 0, stock 0, visible, datum/zeit = now.
    Wein();

    std::int32_t Key() const { return nummer; }

    std::int32_t nummer = 0;
    char name[60] = {};
    char bezeichnung[60] = {};
    char fuellmenge[10] = {};
    std::uint16_t gewicht = 0;
    std::int32_t bestand = 0;
    std::uint8_t verborgen = 0;
    std::int32_t datum = 0;
    std::uint32_t zeit = 0;
};

ByteWriter& operator<<(ByteWriter& out, const Wein& wein);
ByteReader& operator>>(ByteReader& in, Wein& wein);
