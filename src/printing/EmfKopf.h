#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// What the letterhead needs from an enhanced metafile's header, read only
// after the whole record chain proved sound: a header record first, every
// record inside the file, 4-byte aligned and at least 8 bytes long, no
// second header, and an end-of-file record before the data runs out. The
// converter is never handed a file that fails these checks.
class EmfKopf {
  public:
    struct Rechteck {
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
    };

    // A part of the frame, in fractions of its width and height.
    struct Anteil {
        double left = 0;
        double top = 0;
        double width = 1;
        double height = 1;
    };

    // Larger files are not taken for a letterhead.
    static constexpr std::size_t kHoechstGroesse = 16 * 1024 * 1024;

    // Nothing when the bytes are not a sound metafile with a drawable
    // picture (positive bounds, frame and reference device).
    static std::optional<EmfKopf> Pruefen(std::string_view daten);

    // Where the drawn part (the bounds, in device units) lies within the
    // picture's frame (hundredths of a millimetre), which is what a
    // target rectangle stands for.
    Anteil BoundsImFrame() const;

    Rechteck bounds;
    Rechteck frame;
    std::int32_t geraetPixelX = 0;
    std::int32_t geraetPixelY = 0;
    std::int32_t geraetMmX = 0;
    std::int32_t geraetMmY = 0;
    // 0 when the header is too short to hold them.
    std::int32_t geraetMikrometerX = 0;
    std::int32_t geraetMikrometerY = 0;
};
