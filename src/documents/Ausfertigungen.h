#pragma once

#include <cstdint>
#include <vector>

// Which documents of an invoice are put out, and in which order: always
// packing list, customer invoice, internal invoice, whatever order the user
// ticked them in.
class Ausfertigungen {
  public:
    // The kinds (PrintRechnung::Art) in output order.
    static std::vector<std::int32_t> Reihenfolge(bool packliste, bool kundenRechnung,
                                                 bool interneRechnung);
};
