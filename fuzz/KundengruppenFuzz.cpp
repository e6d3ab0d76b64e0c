// The customer groups file: loading, the names, and adding one more, which
// must keep the index of every group before it.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/GeoGruppe.h"
#include "model/NamensDatei.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kDatei = "daten/geogruppe.txt";

std::vector<std::string> Namen(const GeoGruppe& gruppen) {
    std::vector<std::string> namen;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        namen.emplace_back(gruppen.Name(i));
    }
    return namen;
}

// The name a line gives a group: up to 199 characters, up to a NUL.
std::string Gruppenname(const std::string& zeile) {
    std::string name = zeile.substr(0, 199);
    return name.substr(0, name.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    const NamensDatei::Inhalt inhalt = NamensDatei::Lesen(eingabe);
    std::vector<std::string> namen;
    {
        GeoGruppe gruppen(kDatei);
        namen = Namen(gruppen);
        FUZZ_PRUEFE(namen.size() == inhalt.namen.size());
        for (std::size_t i = 0; i < namen.size(); ++i) {
            FUZZ_PRUEFE(namen[i] == Gruppenname(inhalt.namen[i]));
        }
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        gruppen.AddGeoGruppe("Neu");
        namen.push_back("Neu");
        FUZZ_PRUEFE(Namen(gruppen) == namen);
        try {
            gruppen.AddGeoGruppe("Zwei\r\nZeilen");
            FUZZ_PRUEFE(false);
        } catch (const MessageException&) {
        }
    }
    GeoGruppe wieder(kDatei);
    FUZZ_PRUEFE(Namen(wieder) == namen);
    return 0;
}
