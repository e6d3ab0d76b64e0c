#include "storage/ByteReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

template <typename U>
void ByteReader::Unsigned(U& value) {
    std::size_t available = std::min(sizeof(U), data_.size() - std::min(pos_, data_.size()));
    for (std::size_t i = 0; i < available; ++i) {
        U byte = static_cast<U>(static_cast<unsigned char>(data_[pos_ + i]));
        value = static_cast<U>((value & ~(static_cast<U>(0xFF) << (8 * i))) | (byte << (8 * i)));
    }
    pos_ += available;
}

void ByteReader::UInt8(std::uint8_t& v) {
    Unsigned(v);
}

void ByteReader::Int8(std::int8_t& v) {
    auto u = static_cast<std::uint8_t>(v);
    Unsigned(u);
    v = static_cast<std::int8_t>(u);
}

void ByteReader::UInt16(std::uint16_t& v) {
    Unsigned(v);
}

void ByteReader::Int16(std::int16_t& v) {
    auto u = static_cast<std::uint16_t>(v);
    Unsigned(u);
    v = static_cast<std::int16_t>(u);
}

void ByteReader::UInt32(std::uint32_t& v) {
    Unsigned(v);
}

void ByteReader::Int32(std::int32_t& v) {
    auto u = static_cast<std::uint32_t>(v);
    Unsigned(u);
    v = static_cast<std::int32_t>(u);
}

void ByteReader::Float32(float& v) {
    auto u = std::bit_cast<std::uint32_t>(v);
    Unsigned(u);
    v = std::bit_cast<float>(u);
}

void ByteReader::Float64(double& v) {
    auto u = std::bit_cast<std::uint64_t>(v);
    Unsigned(u);
    v = std::bit_cast<double>(u);
}

void ByteReader::Bytes(char* data, std::size_t size) {
    std::size_t available = std::min(size, data_.size() - std::min(pos_, data_.size()));
    if (available > 0) {
        std::memcpy(data, data_.data() + pos_, available);
    }
    pos_ += available;
}
