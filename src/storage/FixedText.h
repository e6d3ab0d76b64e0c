#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Text fields of records are fixed-size character arrays. These helpers never
// read or write past the array, also when a field from a file carries no
// terminator.
class FixedText {
  public:
    // The text up to the terminator, or the whole array when there is none.
    template <std::size_t N>
    static std::string Get(const char (&field)[N]) {
        return std::string(Sicht(field));
    }
    // The same without a copy, valid as long as the field.
    template <std::size_t N>
    static std::string_view Sicht(const char (&field)[N]) {
        return {field, ::strnlen(field, N)};
    }

    // Cuts the text to the field's usable length (N - 1) and terminates it.
    // The bytes after the terminator stay as they were.
    template <std::size_t N>
    static void Set(char (&field)[N], std::string_view text) {
        std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
        if (n > 0) {
            std::memcpy(field, text.data(), n);
        }
        field[n] = '\0';
    }

    // Copies a field up to and including its terminator; a field without one
    // is copied whole.
    template <std::size_t N>
    static void Copy(char (&target)[N], const char (&source)[N]) {
        std::size_t n = ::strnlen(source, N);
        std::memmove(target, source, n < N ? n + 1 : N);
    }

    template <std::size_t N>
    static bool IsEmpty(const char (&field)[N]) {
        return field[0] == '\0';
    }

    // The text without the blanks at its ends; `leer` says what counts as
    // a blank.
    static std::string Getrimmt(std::string_view text, const char* leer = " ") {
        const std::size_t anfang = text.find_first_not_of(leer);
        if (anfang == std::string_view::npos) {
            return {};
        }
        return std::string(text.substr(anfang, text.find_last_not_of(leer) - anfang + 1));
    }

    // The text as a single-line field keeps it: a line break (CR LF, CR or
    // LF) and a tab become one blank each, other control characters go. A
    // break pasted into a name would split the lines of an address file and
    // of the log book.
    static std::string Einzeilig(std::string_view text) {
        std::string zeile;
        zeile.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '\r' || c == '\n' || c == '\t') {
                zeile.push_back(' ');
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                    ++i;
                }
            } else if (c >= 0x20 && c != 0x7F) {
                zeile.push_back(static_cast<char>(c));
            }
        }
        return zeile;
    }
};
