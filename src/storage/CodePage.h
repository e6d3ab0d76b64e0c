#pragma once

#include <string>
#include <string_view>

// Conversions between the program's own encoding, Windows-1252, and the
// encodings at its borders: UTF-8 (the toolkit, the terminal, the source
// code) and DOS code page 850 (the files of the old version).
class CodePage {
  public:
    // Every byte has a code point (the five bytes Windows-1252 leaves
    // undefined map to the C1 controls of the same value), so nothing is lost.
    static std::string Cp1252ToUtf8(std::string_view text);
    // Characters Windows-1252 cannot hold, and broken UTF-8, become '?'.
    static std::string Utf8ToCp1252(std::string_view text);
    // Box-drawing characters become their nearest ASCII shape.
    static std::string Cp850ToCp1252(std::string_view text);
};

// Program texts are written in UTF-8 in the sources; "Müller"_w gives their
// Windows-1252 bytes.
inline std::string operator""_w(const char* text, std::size_t size) {
    return CodePage::Utf8ToCp1252(std::string_view(text, size));
}
