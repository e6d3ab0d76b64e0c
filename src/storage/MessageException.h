#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "storage/Fehler.h"

// The one exception type of the program. Its text is what the user sees in the
// top-level handler's message box, so it is German (or the historic English of
// the record list) and in the program's own encoding, Windows-1252. A failed
// file operation travels along as the cause, for a caller that names the
// file in a message of its own.
class MessageException : public std::runtime_error {
  public:
    explicit MessageException(const std::string& text, std::optional<Fehler> ursache = {})
        : std::runtime_error(text), ursache_(std::move(ursache)) {}

    std::string Text() const { return what(); }
    const std::optional<Fehler>& Ursache() const { return ursache_; }

  private:
    std::optional<Fehler> ursache_;
};
