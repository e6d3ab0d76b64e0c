#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/OffenePosten.h"

class KundenVerwaltung;

// The open items as a semicolon-separated table with a header line,
// Windows-1252 with CR LF like the program's other exports: customer
// number and name, invoice number, invoice date, due date, days overdue,
// total, received, open (amounts with a decimal comma), reminder level and
// the day of the last reminder (empty when there was none).
class OffenePostenListe {
  public:
    static std::string Csv(const std::vector<OffenerPosten>& posten, KundenVerwaltung* kunden);
    // "Nachname, Vorname", or the surname alone; "N/A" for a customer the
    // file does not hold.
    static std::string KundenName(KundenVerwaltung* kunden, std::int32_t nummer);
    // "1234,56"
    static std::string Betrag(std::int64_t cent);
};
