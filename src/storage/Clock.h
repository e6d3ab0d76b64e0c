#pragma once

#include <cstdint>
#include <optional>

// The one source of "now" for the whole program, so that tests can fix it.
class Clock {
  public:
    // Seconds since 1 January 1970 00:00 UTC.
    static std::int64_t Now();

    // Tests fix the clock at a moment; nullopt returns to the system clock.
    static void Fix(std::optional<std::int64_t> unixSeconds);
};
