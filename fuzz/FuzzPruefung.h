#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A violation aborts, which the fuzzer
// reports like a crash and keeps the input for.
#define FUZZ_PRUEFE(bedingung)                                                          \
    do {                                                                                \
        if (!(bedingung)) {                                                             \
            std::fprintf(stderr, "%s:%d: Bedingung verletzt: %s\n", __FILE__, __LINE__, \
                         #bedingung);                                                   \
            std::abort();                                                               \
        }                                                                               \
    } while (false)
