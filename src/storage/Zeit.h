#pragma once

#include <cstdint>

// A moment as seconds since 1 January 1901 00:00 UTC, shown in local time.
class Zeit {
  public:
    // Seconds from 1 January 1901 to 1 January 1970.
    static constexpr std::int64_t kUnixOffset = 2177452800;

    Zeit() = default;
    explicit Zeit(std::uint32_t seconds) : seconds_(seconds) {}

    static Zeit Jetzt();
    static Zeit FromUnix(std::int64_t unixSeconds);

    std::uint32_t Seconds() const { return seconds_; }
    std::int64_t Unix() const { return static_cast<std::int64_t>(seconds_) - kUnixOffset; }

    // Local time of day.
    int Hour() const;
    int Minute() const;
    int Second() const;

  private:
    std::uint32_t seconds_ = 0;
};
