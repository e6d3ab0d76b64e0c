#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

// Appends record fields to a byte string, little-endian and without padding.
// Together with ByteReader this is the only place that knows the byte order of
// the data files. Everything is inline: whole files of records pass through
// here on every start.
class ByteWriter {
  public:
    explicit ByteWriter(std::string& out) : out_(out) {}

    void UInt8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void Int8(std::int8_t v) { UInt8(static_cast<std::uint8_t>(v)); }
    void UInt16(std::uint16_t v) { Unsigned(v); }
    void Int16(std::int16_t v) { UInt16(static_cast<std::uint16_t>(v)); }
    void UInt32(std::uint32_t v) { Unsigned(v); }
    void Int32(std::int32_t v) { UInt32(static_cast<std::uint32_t>(v)); }
    void Float32(float v) { Unsigned(std::bit_cast<std::uint32_t>(v)); }
    void Float64(double v) { Unsigned(std::bit_cast<std::uint64_t>(v)); }
    void Bytes(const char* data, std::size_t size) { out_.append(data, size); }

    // A text field is written whole, with whatever follows its terminator.
    template <std::size_t N>
    void Text(const char (&field)[N]) {
        Bytes(field, N);
    }

  private:
    template <typename U>
    void Unsigned(U value) {
        char bytes[sizeof(U)];
        for (std::size_t i = 0; i < sizeof(U); ++i) {
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        out_.append(bytes, sizeof(U));
    }

    std::string& out_;
};
