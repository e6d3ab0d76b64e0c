// The wine catalogue: loading, lookups, stock changes, sorting and writing
// back. Wines are copied whole, so a file of whole records is written back
// byte for byte, and after sorting it holds the same records in stable order
// of their numbers.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"

namespace {

constexpr const char* kDatei = "daten/weinliste.dat";

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
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);
    const bool ganz = size % Wein::DiskSize == 0;

    std::vector<std::string> stand;
    {
        WeinlistenVerwaltung wv(kDatei);
        FUZZ_PRUEFE(wv.Count() == (size + Wein::DiskSize - 1) / Wein::DiskSize);
        for (unsigned i = 0; i < wv.Count(); ++i) {
            const Wein* wein = wv.GetWein(wv[i].nummer);
            FUZZ_PRUEFE(wein != nullptr && wein->nummer == wv[i].nummer);
        }
        FUZZ_PRUEFE(wv.ChangeBestand(-1, 5) == nullptr);
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);

        wv.Flush();
        if (ganz) {
            FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        }

        // Sorting keeps every record and orders them stably by number.
        std::vector<std::pair<std::int32_t, std::string>> vorher;
        for (unsigned i = 0; i < wv.Count(); ++i) {
            vorher.emplace_back(wv[i].nummer, Bild(wv[i]));
        }
        std::stable_sort(vorher.begin(), vorher.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        wv.Sort();
        std::string sortiert;
        for (const auto& [nummer, bild] : vorher) {
            sortiert += bild;
        }
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == sortiert);

        // Stock changes, also at the limits of the field, and a new wine.
        for (unsigned i = 0; i < wv.Count() && i < 4; ++i) {
            const std::int32_t nummer = wv[i].nummer;
            Wein* wein = wv.ChangeBestand(nummer, i % 2 == 0 ? 2147483647 : -2147483647 - 1);
            FUZZ_PRUEFE(nummer == -1 || wein != nullptr);
            if (wein != nullptr) {
                wein->verborgen = 1;
                wv.Store(wein);
            }
        }
        const std::int32_t neu =
            wv.Count() > 0 ? static_cast<std::int32_t>(
                                 static_cast<std::uint32_t>(wv[wv.Count() - 1].nummer) + 1u)
                           : 1;
        wv.AddWein(neu);
        FUZZ_PRUEFE(wv.GetWein(neu) != nullptr);
        for (unsigned i = 0; i < wv.Count(); ++i) {
            stand.push_back(Bild(wv[i]));
        }
    }
    WeinlistenVerwaltung wieder(kDatei);
    FUZZ_PRUEFE(wieder.Count() == stand.size());
    for (unsigned i = 0; i < wieder.Count(); ++i) {
        FUZZ_PRUEFE(Bild(wieder[i]) == stand[i]);
    }
    return 0;
}
