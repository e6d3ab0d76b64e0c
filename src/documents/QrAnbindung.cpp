// libqrencode is loaded with the first payment code drawn (storage/Bibliothek.h).
#include <qrencode.h>

#include "documents/Bibliotheken.h"
#include "storage/Bibliothek.h"

namespace {

struct Qrencode {
    Bibliothek bibliothek{REBKONTOR_SONAME_QRENCODE};
    REBKONTOR_FUNKTION(QRcode_encodeString8bit);
    REBKONTOR_FUNKTION(QRcode_free);
};

const Qrencode& T() {
    static const Qrencode tafel;
    return tafel;
}

}  // namespace

extern "C" {

QRcode* QRcode_encodeString8bit(const char* string, int version, QRecLevel level) {
    return T().QRcode_encodeString8bit(string, version, level);
}

void QRcode_free(QRcode* qrcode) {
    T().QRcode_free(qrcode);
}

}  // extern "C"
