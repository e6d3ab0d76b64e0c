#include "storage/SyncAufschub.h"

#include "storage/File.h"

SyncAufschub::SyncAufschub() {
    File::BeginBatch();
}

SyncAufschub::~SyncAufschub() {
    Beenden();
}

bool SyncAufschub::Beenden() {
    if (!offen_) {
        return true;
    }
    offen_ = false;
    return File::EndBatch();
}
