#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "storage/Fehler.h"

class KundenVerwaltung;

// The address file for form letters: a header line and one comma-separated
// line per customer, in the order of the customer file, CR LF, no quoting.
class Adressdatei {
  public:
    // Writes the header and every customer that passes the filters: with
    // nachPLZ, plzVon <= PLZ <= plzBis compared as unsigned numbers; with
    // nachGruppe, the customer's group equals gruppe (-1 lets nobody pass).
    static void WriteAdressdatei(const KundenVerwaltung& kunden, std::ostream& out, bool nachGruppe,
                                 bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                 std::uint32_t plzBis);

    // The same into a file, replaced as a whole (Ausgabeziel::Ersetzen).
    static Ergebnis<void> Write(const KundenVerwaltung& kunden, const std::string& fileName,
                                bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                std::uint32_t plzBis);
};
