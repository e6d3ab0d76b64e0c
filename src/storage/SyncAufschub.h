#pragma once

#include "storage/Fehler.h"

// Batch work (imports, the sample business, generated test invoices) writes
// thousands of records; syncing each one would take minutes on a real disk.
// While a SyncAufschub lives, File::DataSync only notes the files; when the
// outermost one ends, each noted file and its directory are synced once.
// A crash in the middle of a batch may lose the batch's tail, never what was
// confirmed before it.
class SyncAufschub {
  public:
    SyncAufschub();
    ~SyncAufschub();

    SyncAufschub(const SyncAufschub&) = delete;
    SyncAufschub& operator=(const SyncAufschub&) = delete;

    // Ends the batch now and tells the first sync that failed (the
    // destructor then does nothing more).
    Ergebnis<void> Beenden();

  private:
    bool offen_ = true;
};
