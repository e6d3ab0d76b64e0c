#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Vorhaben.h"

class Datenbestand;

// The data as the crash test expects it, reduced to what the operations of
// the workload change, as keys and values:
//
//   K <customer>        surname|town
//   W <wine>            name|hidden
//   S <wine>            stock plus the bottles of the live items of the
//                       stored invoices: what the wine started with, which
//                       no item operation changes
//   P <list> <wine>     DM price in cents
//   R <invoice>         customer|deleted|paid|received in cents
//   I <invoice> <wine>  quantity of the live item its chain reaches
//   G <n>, L <n>        name of customer group, price list n
//   M <n>               text of note n
//   E                   pre-dating limit of the settings
//
// besides the number of log book lines, the items no chain reaches that an
// interrupted operation left (Waisen), and the empty price files a price
// list left whose name never reached the names file (Streuner).
class Sollstand {
  public:
    std::map<std::string, std::string> werte;
    std::set<std::int32_t> waisen;
    std::set<std::string> streuner;
    int logZeilen = 0;

    // The effect of a completed operation.
    void Anwenden(const Vorhaben& vorhaben);

    // What a loaded data set holds. Problems found on the way (duplicate
    // live items of one wine in one invoice) go to `probleme`.
    static Sollstand Ist(Datenbestand& bestand, std::vector<std::string>& probleme);

    // The journal lines that restore this state.
    std::vector<std::string> Zeilen() const;
    // Reads one journal line written by Zeilen; false for any other line.
    bool Lesen(const std::string& zeile);

    std::string Wert(const std::string& schluessel) const;
    // Keys that begin with the prefix.
    std::vector<std::string> Schluessel(const std::string& praefix) const;

    static std::string K(std::int32_t kunde) { return "K " + std::to_string(kunde); }
    static std::string W(std::int32_t wein) { return "W " + std::to_string(wein); }
    static std::string S(std::int32_t wein) { return "S " + std::to_string(wein); }
    static std::string P(std::int32_t liste, std::int32_t wein) {
        return "P " + std::to_string(liste) + " " + std::to_string(wein);
    }
    static std::string R(std::int32_t id) { return "R " + std::to_string(id); }
    static std::string I(std::int32_t id, std::int32_t wein) {
        return "I " + std::to_string(id) + " " + std::to_string(wein);
    }
};
