// The import of the old version's customer files A.dat to Y.dat: each whole
// 182-byte record becomes one customer, a missing set of files changes
// nothing.

#include <cstdint>
#include <string>

#include "FuzzEingabe.h"
#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "KundenBild.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kDatei = "daten/kunden.dat";
constexpr std::size_t kDateien = 25;
constexpr std::size_t kSatz = 182;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const FuzzEingabe eingabe(data, size, kDateien);
    std::size_t saetze = 0;
    bool eineDa = false;
    for (std::size_t i = 0; i < kDateien; ++i) {
        const std::string_view teil = eingabe.Teil(i);
        // An empty part stands for a missing file.
        if (teil.empty()) {
            continue;
        }
        std::string name = "daten_alt/A.dat";
        name[10] = static_cast<char>('A' + i);
        FuzzVerzeichnis::Schreiben(name, teil);
        saetze += teil.size() / kSatz;
        eineDa = true;
    }

    std::string datei;
    {
        KundenVerwaltung kv(kDatei);
        Kunde alt;
        FixedText::Set(alt.Nachname, "Alt");
        kv.AddKunde(alt);
        const std::string vorher = FuzzVerzeichnis::Lesen(kDatei);
        try {
            kv.ImportAlteKunden();
            FUZZ_PRUEFE(eineDa);
        } catch (const MessageException&) {
            FUZZ_PRUEFE(!eineDa);
            FUZZ_PRUEFE(kv.Count() == 1 && FuzzVerzeichnis::Lesen(kDatei) == vorher);
            return 0;
        }
        FUZZ_PRUEFE(kv.Count() == saetze);
        for (unsigned i = 0; i < kv.Count(); ++i) {
            const Kunde& k = kv[i];
            FUZZ_PRUEFE(k.nummer == static_cast<std::int32_t>(i) + 2);
            FUZZ_PRUEFE(k.preisliste == 0 || k.preisliste == 1 || k.preisliste == 3);
            FUZZ_PRUEFE(FixedText::Get(k.Anrede).size() <= 30 &&
                        FixedText::Get(k.Ort).size() <= 30);
            datei += KundenBild::Normal(k);
        }
        FUZZ_PRUEFE(KundenBild::NormalDatei(FuzzVerzeichnis::Lesen(kDatei)) == datei);
    }
    FUZZ_PRUEFE(KundenBild::NormalDatei(FuzzVerzeichnis::Lesen(kDatei)) == datei);
    return 0;
}
