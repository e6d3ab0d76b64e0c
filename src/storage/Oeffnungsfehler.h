#pragma once

#include <string>

#include "storage/CodePage.h"

// The text with which a data file that cannot be opened or read stops the
// start: the record list's historic open error, and on a second line the
// file, so that the user knows which one to look at.
inline std::string Oeffnungsfehler(const std::string& pfad) {
    return std::string("File could not be opened in GenericList::GenericList()\n") +
           CodePage::Utf8ToCp1252(pfad);
}
