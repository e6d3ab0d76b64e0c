#pragma once

#include <cstdint>

#include "storage/Feldtabelle.h"

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

    static constexpr auto kFelder =
        Feldtabelle("Wein", Satzfeld("nummer", &Wein::nummer), Satzfeld("name", &Wein::name),
                    Satzfeld("bezeichnung", &Wein::bezeichnung),
                    Satzfeld("fuellmenge", &Wein::fuellmenge), Satzfeld("gewicht", &Wein::gewicht),
                    Satzfeld("bestand", &Wein::bestand), Satzfeld("verborgen", &Wein::verborgen),
                    Satzfeld("datum", &Wein::datum), Satzfeld("zeit", &Wein::zeit));
};
