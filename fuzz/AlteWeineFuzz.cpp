// The import of the old version's wine list "daten_alt/wl": 999 records of
// 135 bytes, each one with a name a wine with its record position as number.

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/ByteWriter.h"
#include "storage/FixedText.h"

namespace {

constexpr const char* kDatei = "daten/weinliste.dat";
constexpr std::size_t kSatz = 135;

std::string Bild(const Wein& wein) {
    std::string bytes;
    ByteWriter writer(bytes);
    writer << wein;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben("daten_alt/wl", eingabe);

    std::size_t mitNamen = 0;
    for (std::size_t i = 0; i < 999 && (i + 1) * kSatz <= size; ++i) {
        if (eingabe[i * kSatz] != '\0') {
            ++mitNamen;
        }
    }

    std::string datei;
    {
        WeinlistenVerwaltung wv(kDatei);
        wv.AddWein(5000);
        wv.ImportAlteWeinliste();
        FUZZ_PRUEFE(wv.Count() == mitNamen);
        for (unsigned i = 0; i < wv.Count(); ++i) {
            const Wein& wein = wv[i];
            FUZZ_PRUEFE(wein.nummer >= 0 && wein.nummer < 999);
            FUZZ_PRUEFE(i == 0 || wv[i - 1].nummer < wein.nummer);
            FUZZ_PRUEFE(wein.bestand == 100000 && wein.verborgen == 0);
            FUZZ_PRUEFE(FixedText::Get(wein.name).size() <= 59);
            FUZZ_PRUEFE(FixedText::Get(wein.fuellmenge).size() <= 9);
            datei += Bild(wein);
        }
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == datei);
    }
    FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == datei);
    return 0;
}
