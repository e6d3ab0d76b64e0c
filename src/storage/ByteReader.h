#pragma once

#include <cstddef>
#include <cstdint>
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

    void UInt8(std::uint8_t& v);
    void Int8(std::int8_t& v);
    void UInt16(std::uint16_t& v);
    void Int16(std::int16_t& v);
    void UInt32(std::uint32_t& v);
    void Int32(std::int32_t& v);
    void Float32(float& v);
    void Float64(double& v);
    void Bytes(char* data, std::size_t size);

    template <std::size_t N>
    void Text(char (&field)[N]) {
        Bytes(field, N);
    }

    std::size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }

  private:
    template <typename U>
    void Unsigned(U& value);

    std::string_view data_;
    std::size_t pos_ = 0;
};
