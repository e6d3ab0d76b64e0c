// The settings file: loading, the texts read from it, and storing, which
// writes a whole file of the same bytes (with the remark ended inside its
// field) for a file of the full length, unless a value that cannot be right
// was set back to its default.

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "storage/Customizer.h"

namespace {

constexpr const char* kDatei = "daten/preferences.dat";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    std::string bild;
    {
        Customizer einstellungen(kDatei);
        FUZZ_PRUEFE(einstellungen.Waehrung().size() <= 8);
        FUZZ_PRUEFE(einstellungen.Bemerkung().size() < 302);
        FUZZ_PRUEFE(einstellungen.filterMit1 == 0 && einstellungen.filterMit2 == 1);
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        FUZZ_PRUEFE(einstellungen.Store());
        bild = FuzzVerzeichnis::Lesen(kDatei);
        FUZZ_PRUEFE(bild.size() == Customizer::kDiskSize);
        FUZZ_PRUEFE(bild == einstellungen.Image());
        // Values that cannot be right were set back at the start; those
        // are not the file's, every other byte is.
        const bool berichtigt = !einstellungen.Zurueckgesetzt().empty();
        FUZZ_PRUEFE(Customizer::Unstimmigkeiten(bild).empty());
        if (berichtigt) {
            FUZZ_PRUEFE(berichtigt == !Customizer::Unstimmigkeiten(eingabe).empty() ||
                        size < Customizer::kDiskSize);
        } else if (size >= Customizer::kDiskSize) {
            std::string erwartet = eingabe.substr(0, Customizer::kDiskSize);
            erwartet.back() = '\0';
            FUZZ_PRUEFE(bild == erwartet);
        } else {
            // The bytes the file had are kept; the rest are defaults.
            FUZZ_PRUEFE(bild.compare(0, size, eingabe) == 0);
        }
        einstellungen.SetWaehrung("EURO1234");
        FUZZ_PRUEFE(einstellungen.Waehrung() == "EURO1234");
    }
    // Shutdown stores once more; the next start reads what was stored.
    Customizer wieder(kDatei);
    FUZZ_PRUEFE(wieder.Waehrung() == "EURO1234");
    std::string erwartet = bild;
    erwartet.replace(4, 8, "EURO1234");
    FUZZ_PRUEFE(wieder.Image() == erwartet);
    return 0;
}
