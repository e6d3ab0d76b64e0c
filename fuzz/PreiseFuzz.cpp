// A price list file: loading, lookups, adding, writing back, and the price
// list export over it and a small wine catalogue. Prices are numbers only, so
// a file of whole records is written back byte for byte.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "documents/PreislistenExport.h"
#include "model/GeoGruppe.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/ByteWriter.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"

namespace {

constexpr const char* kDatei = "daten/0.wl";

std::string Bild(const Preis& preis) {
    std::string bytes;
    ByteWriter writer(bytes);
    writer << preis;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben("daten/weinlisten.txt", "Abhol");
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    std::vector<std::string> stand;
    {
        WeinlistenVerwaltung weine("daten/weinliste.dat");
        PreisVerwaltung pv("daten/weinlisten.txt", "daten");
        Customizer einstellungen("daten/preferences.dat");
        FUZZ_PRUEFE(pv.count == 1);
        pv.SetPreisliste(0);
        GenericList<Preis>& preise = pv.AktuellePreisliste()->preise;
        FUZZ_PRUEFE(preise.Count() == (size + Preis::DiskSize - 1) / Preis::DiskSize);
        for (unsigned i = 0; i < preise.Count(); ++i) {
            const Preis* preis = pv.GetPreis(preise[i].weinNummer);
            FUZZ_PRUEFE(preis != nullptr && preis->weinNummer == preise[i].weinNummer);
            // A wine of the catalogue for some of the prices, so that the
            // export shows found and missing prices alike.
            if (i % 2 == 0 && i < 64) {
                weine.AddWein(preise[i].weinNummer);
                Wein* wein = weine.GetWein(preise[i].weinNummer);
                FixedText::Set(wein->name, "Riesling");
                FixedText::Set(wein->fuellmenge, "0,75 l");
            }
        }
        weine.AddWein(-7);
        Verwaltungen v;
        v.weinlistenVerwaltung = &weine;
        v.preisVerwaltung = &pv;
        v.customizer = &einstellungen;
        for (std::uint8_t euro = 0; euro < 2; ++euro) {
            einstellungen.preiseInEuro = euro;
            FUZZ_PRUEFE(PreislistenExport("export.txt", v));
        }
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);

        pv.SetPreisliste(0);
        pv.FlushPreisliste();
        if (size % Preis::DiskSize == 0) {
            FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        }

        // A new price is added once; a second one for the same wine is not.
        const unsigned vorher = preise.Count();
        const bool hatte = pv.GetPreis(-7) != nullptr;
        pv.AddPreis(Preis(-7, 1.5f, 0.75f));
        pv.AddPreis(Preis(-7, 2.5f, 1.25f));
        FUZZ_PRUEFE(preise.Count() == vorher + (hatte ? 0u : 1u));
        FUZZ_PRUEFE(hatte || pv.GetPreis(-7)->preisDM == 1.5f);
        for (unsigned i = 0; i < preise.Count(); ++i) {
            stand.push_back(Bild(preise[i]));
        }
    }
    PreisVerwaltung wieder("daten/weinlisten.txt", "daten");
    FUZZ_PRUEFE(wieder.count == 1);
    GenericList<Preis>& preise = wieder.GetPreisliste(0)->preise;
    FUZZ_PRUEFE(preise.Count() == stand.size());
    for (unsigned i = 0; i < preise.Count(); ++i) {
        FUZZ_PRUEFE(Bild(preise[i]) == stand[i]);
    }
    return 0;
}
