#include "sicherung/Pruefsumme.h"

#include <nettle/sha2.h>

struct Pruefsumme::Zustand {
    sha256_ctx ctx;
};

Pruefsumme::Pruefsumme() : zustand_(std::make_unique<Zustand>()) {
    sha256_init(&zustand_->ctx);
}

Pruefsumme::~Pruefsumme() = default;

void Pruefsumme::Dazu(std::string_view bytes) {
    sha256_update(&zustand_->ctx, bytes.size(),
                  reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

std::string Pruefsumme::Hex() {
    std::uint8_t summe[SHA256_DIGEST_SIZE];
    sha256_digest(&zustand_->ctx, sizeof summe, summe);
    static constexpr char kZiffern[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * sizeof summe);
    for (std::uint8_t b : summe) {
        hex += kZiffern[b >> 4];
        hex += kZiffern[b & 0xF];
    }
    return hex;
}

std::string Pruefsumme::Von(std::string_view bytes) {
    Pruefsumme summe;
    summe.Dazu(bytes);
    return summe.Hex();
}
