#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Sollstand.h"
#include "Vorhaben.h"

// The check after a kill, run in the working directory of the killed
// program: every file whole and loadable, no temporary file left after
// start-up, every operation the journal confirms present, the operation
// under way at the kill either done or not (or stopped between two of its
// whole steps), no duplicate, sound chains, the items no stored invoice
// leads to booked back by the start (and said so), every wine's stock its
// first stock less the live items of the stored invoices (but while an
// existing item was being changed), and the data check of the command-line
// tool clean but for the invoices of deleted customers.
// A passed check replaces the journal by the state found, from which the
// next run of the workload goes on.
class Nachpruefung {
  public:
    struct Ergebnis {
        std::vector<std::string> probleme;
        // The operation under way at the kill, if any, and whether it had
        // taken effect: "nein", "ja", or "teilweise".
        std::optional<Vorhaben> unterbrochen;
        std::string wirkung;
        int bestaetigt = 0;
        int temporaereDateien = 0;
        // Items of invoices never stored that the start booked back.
        int zurueckgebucht = 0;
        int bestandAbweichungen = 0;
        int cliMeldungen = 0;
    };

    Nachpruefung(std::string journal, std::string cli);

    Ergebnis Pruefen();

  private:
    void Dateien(Ergebnis& e, bool nachDemStart);
    void Vergleichen(Ergebnis& e, const Sollstand& vorher, const Sollstand& ist);
    void Cli(Ergebnis& e, const Sollstand& ist);

    std::string journal_;
    std::string cli_;
};
