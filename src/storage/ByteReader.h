#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Reads record fields from a byte string, little-endian and without padding.
//
// When the data ends inside a field, only the bytes that are there replace the
// field's low-order bytes (or leading characters); the rest of the field and
// every later field keep their previous values. That is what a stream read of
// a truncated record did, and loading a partial last record relies on it.
class ByteReader {
  public:
    explicit ByteReader(std::string_view data) : data_(data) {}

    void UInt8(std::uint8_t& v) { Unsigned(v); }
    void Int8(std::int8_t& v) { Signed<std::uint8_t>(v); }
    void UInt16(std::uint16_t& v) { Unsigned(v); }
    void Int16(std::int16_t& v) { Signed<std::uint16_t>(v); }
    void UInt32(std::uint32_t& v) { Unsigned(v); }
    void Int32(std::int32_t& v) { Signed<std::uint32_t>(v); }
    void Float32(float& v) {
        auto u = std::bit_cast<std::uint32_t>(v);
        Unsigned(u);
        v = std::bit_cast<float>(u);
    }
    void Float64(double& v) {
        auto u = std::bit_cast<std::uint64_t>(v);
        Unsigned(u);
        v = std::bit_cast<double>(u);
    }
    void Bytes(char* data, std::size_t size) {
        std::size_t available = std::min(size, Remaining());
        if (available > 0) {
            std::memcpy(data, data_.data() + pos_, available);
        }
        pos_ += available;
    }

    template <std::size_t N>
    void Text(char (&field)[N]) {
        Bytes(field, N);
    }

    std::size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }

  private:
    std::size_t Remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }

    template <typename U>
    void Unsigned(U& value) {
        const std::size_t available = std::min(sizeof(U), Remaining());
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

    template <typename U, typename S>
    void Signed(S& value) {
        auto u = static_cast<U>(value);
        Unsigned(u);
        value = static_cast<S>(u);
    }

    std::string_view data_;
    std::size_t pos_ = 0;
};
