#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Whole-file helpers for tests that check bytes on disk.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);
bool FileExists(const std::string& path);
std::int64_t FileSize(const std::string& path);

// Little-endian values at an offset of a byte string.
std::int32_t Int32At(std::string_view bytes, std::size_t offset);
std::int16_t Int16At(std::string_view bytes, std::size_t offset);
float Float32At(std::string_view bytes, std::size_t offset);

// Fixes the program's clock at a local date and time for the life of the
// object (the tests run with TZ=Europe/Berlin).
class FixedClock {
  public:
    FixedClock(int day, int month, int year, int hour = 12, int minute = 0, int second = 0);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    // Moves the fixed moment on, or to another local date and time.
    void Advance(std::int64_t seconds);
    void Set(int day, int month, int year, int hour = 12, int minute = 0, int second = 0);

  private:
    std::int64_t now_;
};
