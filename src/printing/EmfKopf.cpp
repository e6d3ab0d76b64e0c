#include "printing/EmfKopf.h"

#include <cmath>

#include "storage/ByteReader.h"

namespace {

constexpr std::uint32_t kHeader = 1;
constexpr std::uint32_t kEof = 14;
constexpr std::uint32_t kSignatur = 0x464D4520;  // " EMF"
// Type, size, bounds, frame, signature, version, bytes, records, handles,
// reserved, description, palette entries, device size in pixels and in
// millimetres.
constexpr std::size_t kKopfMindestens = 88;
// The second extension of the header adds the device size in micrometres.
constexpr std::size_t kKopfMitMikrometern = 108;

std::uint32_t U32(std::string_view d, std::size_t at) {
    std::uint32_t wert = 0;
    ByteReader(d.substr(at, sizeof wert)).Zahl(wert);
    return wert;
}

std::int32_t I32(std::string_view d, std::size_t at) {
    return static_cast<std::int32_t>(U32(d, at));
}

EmfKopf::Rechteck RechteckBei(std::string_view d, std::size_t at) {
    return {I32(d, at), I32(d, at + 4), I32(d, at + 8), I32(d, at + 12)};
}

double Breite(const EmfKopf::Rechteck& r) {
    return static_cast<double>(r.right) - r.left;
}

double Hoehe(const EmfKopf::Rechteck& r) {
    return static_cast<double>(r.bottom) - r.top;
}

// The records from the header to the end-of-file record, each inside the
// data, aligned and long enough to hold its own type and size.
bool KetteHeil(std::string_view d) {
    std::size_t off = 0;
    while (d.size() - off >= 8) {
        const std::uint32_t typ = U32(d, off);
        const std::uint32_t groesse = U32(d, off + 4);
        if (groesse < 8 || groesse % 4 != 0 || groesse > d.size() - off) {
            return false;
        }
        if ((off == 0) != (typ == kHeader)) {
            return false;
        }
        if (typ == kEof) {
            return true;
        }
        off += groesse;
    }
    return false;
}

}  // namespace

std::optional<EmfKopf> EmfKopf::Pruefen(std::string_view d) {
    if (d.size() < kKopfMindestens || d.size() > kHoechstGroesse) {
        return std::nullopt;
    }
    const std::uint32_t kopfGroesse = U32(d, 4);
    if (U32(d, 0) != kHeader || kopfGroesse < kKopfMindestens || U32(d, 40) != kSignatur ||
        !KetteHeil(d)) {
        return std::nullopt;
    }

    EmfKopf kopf;
    kopf.bounds = RechteckBei(d, 8);
    kopf.frame = RechteckBei(d, 24);
    kopf.geraetPixelX = I32(d, 72);
    kopf.geraetPixelY = I32(d, 76);
    kopf.geraetMmX = I32(d, 80);
    kopf.geraetMmY = I32(d, 84);
    if (Breite(kopf.bounds) <= 0 || Hoehe(kopf.bounds) <= 0 || Breite(kopf.frame) <= 0 ||
        Hoehe(kopf.frame) <= 0 || kopf.geraetPixelX <= 0 || kopf.geraetPixelY <= 0 ||
        kopf.geraetMmX <= 0 || kopf.geraetMmY <= 0) {
        return std::nullopt;
    }
    if (kopfGroesse >= kKopfMitMikrometern) {
        const std::int32_t umX = I32(d, 100);
        const std::int32_t umY = I32(d, 104);
        if (umX > 0 && umY > 0) {
            kopf.geraetMikrometerX = umX;
            kopf.geraetMikrometerY = umY;
        }
    }

    // A picture that would land far away from its frame, or be scaled
    // beyond reason, is not a letterhead.
    const Anteil a = kopf.BoundsImFrame();
    for (double v : {a.left, a.top, a.width, a.height}) {
        if (!std::isfinite(v) || std::fabs(v) > 100) {
            return std::nullopt;
        }
    }
    if (a.width < 1e-4 || a.height < 1e-4) {
        return std::nullopt;
    }
    return kopf;
}

EmfKopf::Anteil EmfKopf::BoundsImFrame() const {
    // Device units per hundredth of a millimetre, taken from the more exact
    // micrometre size when the header has it.
    const double proX = geraetMikrometerX > 0 ? geraetPixelX / (geraetMikrometerX / 10.0)
                                              : geraetPixelX / (geraetMmX * 100.0);
    const double proY = geraetMikrometerY > 0 ? geraetPixelY / (geraetMikrometerY / 10.0)
                                              : geraetPixelY / (geraetMmY * 100.0);
    const double frameLinks = frame.left * proX;
    const double frameOben = frame.top * proY;
    const double frameBreite = Breite(frame) * proX;
    const double frameHoehe = Hoehe(frame) * proY;
    return {(bounds.left - frameLinks) / frameBreite, (bounds.top - frameOben) / frameHoehe,
            Breite(bounds) / frameBreite, Hoehe(bounds) / frameHoehe};
}
