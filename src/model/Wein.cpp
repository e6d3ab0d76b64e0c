#include "model/Wein.h"

#include "storage/Datum.h"
#include "storage/Zeit.h"

Wein::Wein()
    : datum(static_cast<std::int32_t>(Datum::Heute().Julian())), zeit(Zeit::Jetzt().Seconds()) {}

ByteWriter& operator<<(ByteWriter& out, const Wein& wein) {
    out.Int32(wein.nummer);
    out.Text(wein.name);
    out.Text(wein.bezeichnung);
    out.Text(wein.fuellmenge);
    out.UInt16(wein.gewicht);
    out.Int32(wein.bestand);
    out.UInt8(wein.verborgen);
    out.Int32(wein.datum);
    out.UInt32(wein.zeit);
    return out;
}

ByteReader& operator>>(ByteReader& in, Wein& wein) {
    in.Int32(wein.nummer);
    in.Text(wein.name);
    in.Text(wein.bezeichnung);
    in.Text(wein.fuellmenge);
    in.UInt16(wein.gewicht);
    in.Int32(wein.bestand);
    in.UInt8(wein.verborgen);
    in.Int32(wein.datum);
    in.UInt32(wein.zeit);
    return in;
}
