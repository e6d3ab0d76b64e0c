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
        return std::string(field, ::strnlen(field, N));
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
};
