#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

// Appends record fields to a byte string, little-endian and without padding.
// Together with ByteReader this is the only place that knows the byte order of
// the data files. Everything is inline: whole files of records pass through
// here on every start.
class ByteWriter {
  public:
    explicit ByteWriter(std::string& out) : out_(out) {}

    void UInt8(std::uint8_t v) { Zahl(v); }
    void Int8(std::int8_t v) { Zahl(v); }
    void UInt16(std::uint16_t v) { Zahl(v); }
    void Int16(std::int16_t v) { Zahl(v); }
    void UInt32(std::uint32_t v) { Zahl(v); }
    void Int32(std::int32_t v) { Zahl(v); }
    void Float32(float v) { Zahl(v); }
    void Float64(double v) { Zahl(v); }
    void Bytes(const char* data, std::size_t size) { out_.append(data, size); }

    // A text field is written whole, with whatever follows its terminator.
    template <std::size_t N>
    void Text(const char (&field)[N]) {
        Bytes(field, N);
    }

    // Any integer or IEEE number, in the width of its type.
    template <typename T>
    void Zahl(T v) {
        static_assert(std::is_arithmetic_v<T>);
        using U = std::conditional_t<
            sizeof(T) == 1, std::uint8_t,
            std::conditional_t<sizeof(T) == 2, std::uint16_t,
                               std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
        const auto value = std::bit_cast<U>(v);
        char bytes[sizeof(U)];
        for (std::size_t i = 0; i < sizeof(U); ++i) {
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        out_.append(bytes, sizeof(U));
    }

  private:
    std::string& out_;
};
