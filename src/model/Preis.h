#pragma once

#include <cstdint>

#include "storage/Feldtabelle.h"

// The price of one wine in one price list, in both currencies: 12 bytes on
// disk, fields in declaration order.
class Preis {
  public:
    static constexpr std::size_t DiskSize = 12;

    Preis() = default;
    Preis(std::int32_t weinNummer_, float preisDM_, float preisEuro_)
        : weinNummer(weinNummer_), preisDM(preisDM_), preisEuro(preisEuro_) {}

    std::int32_t Key() const { return weinNummer; }

    std::int32_t weinNummer = 0;
    // The two prices are typed independently; neither follows from the other.
    float preisDM = 0.0f;
    float preisEuro = 0.0f;

    static constexpr auto kFelder =
        Feldtabelle("Preis", Satzfeld("weinNummer", &Preis::weinNummer),
                    Satzfeld("preisDM", &Preis::preisDM), Satzfeld("preisEuro", &Preis::preisEuro));
};
