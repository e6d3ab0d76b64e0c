#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

// Reads record fields from a byte string, little-endian and without padding.
//
// When the data ends inside a field, only the bytes that are there replace the
// field's low-order bytes (or leading characters); the rest of the field and
// every later field keep their previous values. That is what a stream read of
// a truncated record did, and loading a partial last record relies on it.
class ByteReader {
  public:
    explicit ByteReader(std::string_view data) : data_(data) {}

    void UInt8(std::uint8_t& v) { Zahl(v); }
    void Int8(std::int8_t& v) { Zahl(v); }
    void UInt16(std::uint16_t& v) { Zahl(v); }
    void Int16(std::int16_t& v) { Zahl(v); }
    void UInt32(std::uint32_t& v) { Zahl(v); }
    void Int32(std::int32_t& v) { Zahl(v); }
    void Float32(float& v) { Zahl(v); }
    void Float64(double& v) { Zahl(v); }
    void Bytes(char* data, std::size_t size) {
        std::size_t available = std::min(size, Rest());
        if (available > 0) {
            std::memcpy(data, data_.data() + pos_, available);
        }
        pos_ += available;
    }

    template <std::size_t N>
    void Text(char (&field)[N]) {
        Bytes(field, N);
    }

    // Any integer or IEEE number, in the width of its type.
    template <typename T>
    void Zahl(T& v) {
        static_assert(std::is_arithmetic_v<T>);
        using U = std::conditional_t<
            sizeof(T) == 1, std::uint8_t,
            std::conditional_t<sizeof(T) == 2, std::uint16_t,
                               std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
        auto u = std::bit_cast<U>(v);
        Unsigned(u);
        v = std::bit_cast<T>(u);
    }

    std::size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    // The bytes not yet read.
    std::size_t Rest() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }

  private:
    template <typename U>
    void Unsigned(U& value) {
        const std::size_t available = std::min(sizeof(U), Rest());
        if (available == sizeof(U)) {
            U whole = 0;
            for (std::size_t i = 0; i < sizeof(U); ++i) {
                whole |= static_cast<U>(static_cast<U>(static_cast<unsigned char>(data_[pos_ + i]))
                                        << (8 * i));
            }
            value = whole;
        } else {
            for (std::size_t i = 0; i < available; ++i) {
                const U byte = static_cast<U>(static_cast<unsigned char>(data_[pos_ + i]));
                value = static_cast<U>((value & ~(static_cast<U>(0xFF) << (8 * i))) |
                                       static_cast<U>(byte << (8 * i)));
            }
        }
        pos_ += available;
    }

    std::string_view data_;
    std::size_t pos_ = 0;
};
