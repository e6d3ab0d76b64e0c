#pragma once

#include <string>

#include "storage/CodePage.h"
#include "storage/Fehler.h"

// The text with which a data file that cannot be opened or read stops the
// start: the record list's historic open error, on a second line the file,
// so that the user knows which one to look at, and on a third why.
inline std::string Oeffnungsfehler(const Fehler& fehler) {
    return std::string("File could not be opened in GenericList::GenericList()\n") +
           CodePage::Utf8ToCp1252(fehler.Pfad()) + "\nGrund: " + fehler.Grund() + ".";
}
