#include "support/FileBytes.h"

#include <bit>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "storage/Clock.h"

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::int64_t FileSize(const std::string& path) {
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

namespace {
std::uint32_t UInt32At(std::string_view bytes, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    }
    return v;
}
}  // namespace

std::int32_t Int32At(std::string_view bytes, std::size_t offset) {
    return static_cast<std::int32_t>(UInt32At(bytes, offset));
}

std::int16_t Int16At(std::string_view bytes, std::size_t offset) {
    return static_cast<std::int16_t>(static_cast<unsigned char>(bytes.at(offset)) |
                                     (static_cast<unsigned char>(bytes.at(offset + 1)) << 8));
}

float Float32At(std::string_view bytes, std::size_t offset) {
    return std::bit_cast<float>(UInt32At(bytes, offset));
}

FixedClock::FixedClock(int day, int month, int year, int hour, int minute, int second) {
    Set(day, month, year, hour, minute, second);
}

void FixedClock::Set(int day, int month, int year, int hour, int minute, int second) {
    std::tm local{};
    local.tm_mday = day;
    local.tm_mon = month - 1;
    local.tm_year = year - 1900;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    now_ = static_cast<std::int64_t>(std::mktime(&local));
    Clock::Fix(now_);
}

FixedClock::~FixedClock() {
    Clock::Fix(std::nullopt);
}

void FixedClock::Advance(std::int64_t seconds) {
    now_ += seconds;
    Clock::Fix(now_);
}
