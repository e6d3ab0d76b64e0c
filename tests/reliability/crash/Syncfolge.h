#pragma once

#include <string>
#include <vector>

// Checks the order of writes and syncs in an strace of the workload (strace
// -f -y, with write, pwrite64, ftruncate, fsync, fdatasync and the renames):
// every data file an operation wrote, and the folder of every file it
// renamed, is synced before the operation is confirmed in the journal; and
// the stock and the customers (with their chain heads) are never written
// while an item, an invoice or a log line written before is not yet synced.
class Syncfolge {
  public:
    struct Ergebnis {
        int bestaetigt = 0;
        int schreibvorgaenge = 0;
        int syncs = 0;
        std::vector<std::string> probleme;
    };

    static Ergebnis Pruefen(const std::string& spur);
};
