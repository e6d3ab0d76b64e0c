#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "storage/Fehler.h"

class Kunde;
class KundenVerwaltung;

// The address file for form letters: a header line and one comma-separated
// line per customer, in the order of the customer file, CR LF, no quoting.
class Adressdatei {
  public:
    // Which customers the file takes: with nachPLZ, plzVon <= PLZ <= plzBis
    // compared as unsigned numbers; with nachGruppe, the customer's group
    // equals gruppe (-1 lets nobody pass).
    struct Filter {
        bool nachGruppe = false;
        bool nachPLZ = false;
        int gruppe = -1;
        std::uint32_t plzVon = 0;
        std::uint32_t plzBis = 0;

        bool Passt(const Kunde& kunde) const;
    };

    // The header line.
    static constexpr const char* kKopf =
        "Anrede,Vorname,Nachname,Strasse,PLZ,Ort,Telefon,Fax,EMail\r\n";
    // Appends the line of one customer.
    static void Zeile(const Kunde& kunde, std::string& out);

    // Writes the header and every customer that passes the filter.
    static void WriteAdressdatei(const KundenVerwaltung& kunden, std::ostream& out, bool nachGruppe,
                                 bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                 std::uint32_t plzBis);

    // The same into a file, replaced as a whole (Ausgabeziel::Ersetzen).
    static Ergebnis<void> Write(const KundenVerwaltung& kunden, const std::string& fileName,
                                bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                std::uint32_t plzBis);
};
