#pragma once

#include <string>

#include "storage/MessageException.h"

// A command line the tool cannot take: an unknown command or option, a
// missing or surplus argument, a value that is no number or no date. The
// tool answers it with exit status 2 instead of 1. The text is Windows-1252,
// like every message of the program.
class Bedienfehler : public MessageException {
  public:
    explicit Bedienfehler(const std::string& text) : MessageException(text) {}
};
