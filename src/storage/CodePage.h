#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    // A text of a record of the old version: a length byte, then
    // `kapazitaet` characters of code page 850, of which the first `length`
    // count.
    static std::string AlterText(std::string_view satz, std::size_t offset, std::size_t kapazitaet);

    // Whether the bytes are well-formed UTF-8 (shortest forms only, no
    // surrogates, nothing beyond U+10FFFF).
    static bool IstUtf8(std::string_view text);
    // The characters of a UTF-8 text that Windows-1252 cannot hold, each
    // once, in the order they first appear; a broken sequence counts as
    // U+FFFD. Empty when the whole text can be stored.
    static std::vector<char32_t> NichtDarstellbar(std::string_view utf8);
    // "U+0416": how a message in Windows-1252 names such a character.
    static std::string Codepunkt(char32_t zeichen);
    // The character in UTF-8, for messages written in UTF-8.
    static std::string Utf8(char32_t zeichen);
    // A UTF-8 word or path as it stands inside a message: Windows-1252, in
    // »«.
    static std::string Zitat(std::string_view utf8);
};

// Program texts are written in UTF-8 in the sources; "Müller"_w gives their
// Windows-1252 bytes.
inline std::string operator""_w(const char* text, std::size_t size) {
    return CodePage::Utf8ToCp1252(std::string_view(text, size));
}
