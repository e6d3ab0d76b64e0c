#pragma once

#include <string>

// What the main window's status bar says once an export has been written,
// so that the user knows it is done and where it went, without a box to
// click away.
namespace Exportmeldung {

// "<was> gespeichert: <datei> (<anzahl>)"; the path as the file system
// spells it, the text in the program's encoding.
std::string Gespeichert(const std::string& was, const std::string& datei,
                        const std::string& anzahl);
// "1 Flasche", "12 Flaschen".
std::string Anzahl(long anzahl, const std::string& eins, const std::string& mehr);

}  // namespace Exportmeldung
