#pragma once

#include <string>

// The order of sorted combo and list boxes: alphabetical, ignoring case, on
// Windows-1252 text (so "ahr" comes before "Baden" and "Ä" next to "A"
// rather than after "Z").
class ItemOrder {
  public:
    static bool Less(const std::string& a, const std::string& b);
};
