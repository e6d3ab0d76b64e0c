// The import of the old version's prices "daten_alt/wl-1" to "wl-3" into
// three price lists: prices are only ever added, a wine with a price keeps
// it, and every list file holds what its list holds.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzEingabe.h"
#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "storage/ByteWriter.h"

namespace {

constexpr int kListen = 3;

std::string Bild(const GenericList<Preis>& preise) {
    std::string bytes;
    ByteWriter writer(bytes);
    for (unsigned i = 0; i < preise.Count(); ++i) {
        writer << preise[i];
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const FuzzEingabe eingabe(data, size, kListen);
    for (int i = 0; i < kListen; ++i) {
        if (!eingabe.Teil(static_cast<std::size_t>(i)).empty()) {
            FuzzVerzeichnis::Schreiben("daten_alt/wl-" + std::to_string(i + 1),
                                       eingabe.Teil(static_cast<std::size_t>(i)));
        }
    }
    FuzzVerzeichnis::Schreiben("daten/weinlisten.txt", "Eins\r\nZwei\r\nDrei");

    std::vector<std::string> dateien;
    {
        PreisVerwaltung pv("daten/weinlisten.txt", "daten");
        FUZZ_PRUEFE(pv.count == kListen);
        // A price there before the import, which the import must keep.
        pv.SetPreisliste(0);
        pv.AddPreis(Preis(3, 99.0f, 49.0f));
        unsigned meldungen = 0;
        pv.ReadPascalFile([&](const std::string&, const std::string&) { ++meldungen; });
        FUZZ_PRUEFE(meldungen <= kListen);
        pv.SetPreisliste(0);
        FUZZ_PRUEFE(pv.GetPreis(3) != nullptr && pv.GetPreis(3)->preisDM == 99.0f);
        for (int i = 0; i < kListen; ++i) {
            const GenericList<Preis>& preise = pv.GetPreisliste(i)->preise;
            for (unsigned j = 0; j < preise.Count(); ++j) {
                FUZZ_PRUEFE(preise[j].weinNummer >= 0 && preise[j].weinNummer < 999);
                FUZZ_PRUEFE(preise[j].preisDM > 0.0f);
            }
            dateien.push_back(Bild(preise));
            FUZZ_PRUEFE(FuzzVerzeichnis::Lesen("daten/" + std::to_string(i) + ".wl") ==
                        dateien.back());
        }
    }
    for (int i = 0; i < kListen; ++i) {
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen("daten/" + std::to_string(i) + ".wl") ==
                    dateien[static_cast<std::size_t>(i)]);
    }
    return 0;
}
