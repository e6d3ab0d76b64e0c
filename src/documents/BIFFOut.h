#pragma once

#include <cstdint>
#include <string>

#include "storage/Fehler.h"

// Writes a small spreadsheet in the binary cell-record format of the early
// spreadsheet versions (BIFF2): beginning of file, index, cells, end of file.
// Every record is type (uint16), length (uint16) and data, little-endian.
class BIFFOut {
  public:
    // The sheet addresses 256 columns and 16384 rows; cells beyond are not
    // written, because their addresses would wrap onto other cells.
    static constexpr int kMaxColumns = 256;
    static constexpr int kMaxRows = 16384;

    // Begins the sheet with the beginning-of-file and index records; the
    // file itself is written as a whole by Close.
    explicit BIFFOut(const std::string& fileName);
    // Closes the file unless Close was called.
    ~BIFFOut();

    BIFFOut(const BIFFOut&) = delete;
    BIFFOut& operator=(const BIFFOut&) = delete;

    void SetDefColWidth(std::uint16_t width);
    // Text cells hold at most 255 characters (Windows-1252, no terminator).
    void WriteLabel(int row, int column, const std::string& text);
    void WriteNumber(int row, int column, double value);

    // Writes the end-of-file record and replaces the file with the sheet
    // (see Ausgabeziel::Ersetzen).
    Ergebnis<void> Close();
    // How many cells were left out because they lay beyond the sheet.
    int SkippedCells() const { return skipped_; }

  private:
    void Record(std::uint16_t type, const std::string& data);
    bool Addressable(int row, int column);

    std::string fileName_;
    std::string bytes_;
    Ergebnis<void> written_;
    bool closed_ = false;
    int skipped_ = 0;
};
