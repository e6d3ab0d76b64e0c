// The names file of the price lists: loading (at most 20 lists), the names,
// and adding one more, which must keep the index of every name before it.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/NamensDatei.h"
#include "model/PreisVerwaltung.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kDatei = "daten/weinlisten.txt";

std::vector<std::string> Namen(const PreisVerwaltung& pv) {
    std::vector<std::string> namen;
    for (int i = 0; i < pv.count; ++i) {
        const char* name = pv.GetPreislisteName(i);
        FUZZ_PRUEFE(name != nullptr);
        namen.emplace_back(name);
    }
    FUZZ_PRUEFE(pv.GetPreislisteName(pv.count) == nullptr);
    FUZZ_PRUEFE(pv.GetPreislisteName(-1) == nullptr);
    return namen;
}

// The name a line gives a list: up to 29 characters, up to a NUL.
std::string Listenname(const std::string& zeile) {
    std::string name = zeile.substr(0, 29);
    return name.substr(0, name.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    const NamensDatei::Inhalt inhalt = NamensDatei::Lesen(eingabe);
    std::vector<std::string> namen;
    try {
        PreisVerwaltung pv(kDatei, "daten");
        namen = Namen(pv);
        FUZZ_PRUEFE(namen.size() == inhalt.namen.size());
        for (std::size_t i = 0; i < namen.size(); ++i) {
            FUZZ_PRUEFE(namen[i] == Listenname(inhalt.namen[i]));
        }
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        try {
            pv.AddPreisliste("Neu");
            namen.push_back("Neu");
        } catch (const MessageException&) {
            // The 21st list is refused, and the file stays as it was.
            FUZZ_PRUEFE(pv.count == PreisVerwaltung::kMaxPreislisten);
            FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        }
        FUZZ_PRUEFE(Namen(pv) == namen);
    } catch (const MessageException&) {
        // More than 20 names: refused at loading.
        FUZZ_PRUEFE(inhalt.namen.size() > PreisVerwaltung::kMaxPreislisten ||
                    (inhalt.namen.size() == PreisVerwaltung::kMaxPreislisten &&
                     inhalt.zeilenendeAmSchluss));
        return 0;
    }
    PreisVerwaltung wieder(kDatei, "daten");
    FUZZ_PRUEFE(Namen(wieder) == namen);
    return 0;
}
