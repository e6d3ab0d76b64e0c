#include "storage/ByteWriter.h"

#include <bit>
#include <cstring>

namespace {

template <typename U>
void AppendLittleEndian(std::string& out, U value) {
    for (std::size_t i = 0; i < sizeof(U); ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

void ByteWriter::UInt8(std::uint8_t v) {
    out_.push_back(static_cast<char>(v));
}

void ByteWriter::UInt16(std::uint16_t v) {
    AppendLittleEndian(out_, v);
}

void ByteWriter::UInt32(std::uint32_t v) {
    AppendLittleEndian(out_, v);
}

void ByteWriter::Float32(float v) {
    AppendLittleEndian(out_, std::bit_cast<std::uint32_t>(v));
}

void ByteWriter::Float64(double v) {
    AppendLittleEndian(out_, std::bit_cast<std::uint64_t>(v));
}

void ByteWriter::Bytes(const char* data, std::size_t size) {
    out_.append(data, size);
}
