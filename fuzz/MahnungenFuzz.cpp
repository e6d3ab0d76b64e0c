// The dunning file: loading (a cut last record included), the levels it
// gives, the check against an empty invoice file, recording a level and
// reading it back.

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/MahnungsVerwaltung.h"
#include "model/RechnungsVerwaltung.h"

namespace {

constexpr const char* kDatei = "daten/mahnungen.dat";
using Mahnstand = MahnungsVerwaltung::Mahnstand;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);
    std::int32_t erste = 0;
    {
        MahnungsVerwaltung mv(kDatei);
        FUZZ_PRUEFE(mv.Count() == (size + Mahnstand::DiskSize - 1) / Mahnstand::DiskSize);
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        for (unsigned i = 0; i < mv.Count(); ++i) {
            const std::int32_t stufe = mv.Stufe(mv[i].rechnung);
            FUZZ_PRUEFE(stufe >= 0 && stufe <= MahnungsVerwaltung::kHoechsteStufe);
        }
        RechnungsVerwaltung rechnungen("daten/rechnungen.dat");
        // No invoice exists, so every record names an unknown or a repeated one.
        FUZZ_PRUEFE(mv.Probleme(rechnungen).size() >= mv.Count());
        erste = mv.Count() > 0 ? mv[0].rechnung : 7;
        mv.Vermerken(erste, 1, 2, Datum(1, 12, 2026), nullptr);
        FUZZ_PRUEFE(mv.Stufe(erste) == 2);
    }
    MahnungsVerwaltung wieder(kDatei);
    FUZZ_PRUEFE(wieder.Stufe(erste) == 2);
    FUZZ_PRUEFE(wieder.LetzteMahnung(erste).Text() == "1.12.2026");
    return 0;
}
