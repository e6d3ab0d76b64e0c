#include "documents/BIFFOut.h"

#include "documents/Ausgabeziel.h"
#include "storage/ByteWriter.h"

namespace {
constexpr std::uint16_t kBof = 0x0209;
constexpr std::uint16_t kIndex = 0x020B;
constexpr std::uint16_t kDefColWidth = 0x0055;
constexpr std::uint16_t kLabel = 0x0004;
constexpr std::uint16_t kNumber = 0x0003;
constexpr std::uint16_t kEof = 0x000A;
}  // namespace

BIFFOut::BIFFOut(const std::string& fileName) : fileName_(fileName) {
    // The whole sheet is gathered in memory and replaces the file at the end,
    // so a failed export never leaves half a file (or an empty one) behind.
    std::string data;
    ByteWriter w(data);
    w.UInt16(7);
    w.UInt16(0x0010);
    w.UInt16(0);
    Record(kBof, data);
    Record(kIndex, std::string(12, '\0'));
}

BIFFOut::~BIFFOut() {
    (void)Close();
}

Ergebnis<void> BIFFOut::Close() {
    if (!closed_) {
        closed_ = true;
        Record(kEof, {});
        written_ = Ausgabeziel::Ersetzen(fileName_, bytes_);
    }
    return written_;
}

void BIFFOut::Record(std::uint16_t type, const std::string& data) {
    ByteWriter w(bytes_);
    w.UInt16(type);
    w.UInt16(static_cast<std::uint16_t>(data.size()));
    w.Bytes(data.data(), data.size());
}

bool BIFFOut::Addressable(int row, int column) {
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns) {
        ++skipped_;
        return false;
    }
    return true;
}

void BIFFOut::SetDefColWidth(std::uint16_t width) {
    std::string data;
    ByteWriter w(data);
    w.UInt16(width);
    Record(kDefColWidth, data);
}

namespace {

// Row, column and the three attribute bytes every cell record starts with;
// the last attribute byte of a text cell is 0x03.
std::string CellHeader(int row, int column, std::uint8_t lastAttribute) {
    std::string data;
    ByteWriter w(data);
    w.UInt16(static_cast<std::uint16_t>(row));
    w.UInt16(static_cast<std::uint16_t>(column));
    w.UInt8(0x00);
    w.UInt8(0x00);
    w.UInt8(lastAttribute);
    return data;
}

}  // namespace

void BIFFOut::WriteLabel(int row, int column, const std::string& text) {
    if (!Addressable(row, column)) {
        return;
    }
    std::string cut = text.substr(0, 255);
    std::string data = CellHeader(row, column, 0x03);
    ByteWriter w(data);
    w.UInt8(static_cast<std::uint8_t>(cut.size()));
    w.Bytes(cut.data(), cut.size());
    Record(kLabel, data);
}

void BIFFOut::WriteNumber(int row, int column, double value) {
    if (!Addressable(row, column)) {
        return;
    }
    std::string data = CellHeader(row, column, 0x00);
    ByteWriter w(data);
    w.Float64(value);
    Record(kNumber, data);
}
