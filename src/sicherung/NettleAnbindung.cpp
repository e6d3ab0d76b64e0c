// nettle is loaded with the first checksum of a backup (storage/Bibliothek.h).
#include <nettle/sha2.h>

#include "sicherung/Bibliotheken.h"
#include "storage/Bibliothek.h"

namespace {

struct Nettle {
    Bibliothek bibliothek{REBKONTOR_SONAME_NETTLE};
    REBKONTOR_FUNKTION(nettle_sha256_digest);
    REBKONTOR_FUNKTION(nettle_sha256_init);
    REBKONTOR_FUNKTION(nettle_sha256_update);
};

const Nettle& T() {
    static const Nettle tafel;
    return tafel;
}

}  // namespace

extern "C" {

void nettle_sha256_digest(struct sha256_ctx* ctx, size_t length, uint8_t* digest) {
    T().nettle_sha256_digest(ctx, length, digest);
}

void nettle_sha256_init(struct sha256_ctx* ctx) {
    T().nettle_sha256_init(ctx);
}

void nettle_sha256_update(struct sha256_ctx* ctx, size_t length, const uint8_t* data) {
    T().nettle_sha256_update(ctx, length, data);
}

}  // extern "C"
