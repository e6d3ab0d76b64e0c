#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "storage/Fehler.h"

// The program's small settings files of "Schlüssel=Wert" lines (seller data,
// reminder texts, backup settings): how they are read, so that each kind
// only says what its keys mean.
namespace Einstellungsdatei {

// The file's text, empty when there is none. A symbolic link in its place is
// refused: read through it, the settings could come from anywhere (a pipe or
// a folder the read refuses itself).
Ergebnis<std::string> Lesen(const std::string& datei);

// Hands key and value of every line that holds "=" to `f`; lines end in LF
// or CR LF, and lines without "=" are passed over.
void Zeilen(std::string_view text,
            const std::function<void(const std::string& schluessel, const std::string& wert)>& f);

}  // namespace Einstellungsdatei
