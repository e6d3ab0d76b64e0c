#include "storage/SyncAufschub.h"

#include "storage/File.h"

SyncAufschub::SyncAufschub() {
    File::BeginBatch();
}

SyncAufschub::~SyncAufschub() {
    (void)Beenden();
}

Ergebnis<void> SyncAufschub::Beenden() {
    if (!offen_) {
        return {};
    }
    offen_ = false;
    return File::EndBatch();
}
