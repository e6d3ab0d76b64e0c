#pragma once

#include <stdexcept>
#include <string>

// The one exception type of the program. Its text is what the user sees in the
// top-level handler's message box, so it is German (or the historic English of
// the record list) and in the program's own encoding, Windows-1252.
class MessageException : public std::runtime_error {
  public:
    explicit MessageException(const std::string& text) : std::runtime_error(text) {}

    std::string Text() const { return what(); }
};
