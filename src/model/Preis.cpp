#include "model/Preis.h"

ByteWriter& operator<<(ByteWriter& out, const Preis& preis) {
    out.Int32(preis.weinNummer);
    out.Float32(preis.preisDM);
    out.Float32(preis.preisEuro);
    return out;
}

ByteReader& operator>>(ByteReader& in, Preis& preis) {
    in.Int32(preis.weinNummer);
    in.Float32(preis.preisDM);
    in.Float32(preis.preisEuro);
    return in;
}
