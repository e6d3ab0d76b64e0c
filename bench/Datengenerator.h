#pragma once

#include <cstdint>
#include <string>

// The size of a generated data set.
struct Umfang {
    int kunden = 2000;
    int weine = 200;
    int preislisten = 20;
    int rechnungen = 50000;
    int posten = 500000;
};

// Fills the empty directory `verzeichnis` (which must exist) with a data set
// of that size, written through the managers as the program writes it, with
// the clock held still: the same seed gives the same bytes. The invoices'
// capture dates run over twenty years up to the end of 2026; each invoice is
// dated up to a week before its capture, four in five are paid, and one in two
// hundred is deleted.
void ErzeugeDatenbestand(const std::string& verzeichnis, std::uint32_t seed,
                         const Umfang& umfang = Umfang());
