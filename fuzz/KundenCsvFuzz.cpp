// The import of "kunden.csv": every line (ended by CR LF, LF or CR) becomes
// one customer, whatever it holds, and the customer file afterwards holds
// exactly those customers; or the import is refused with a message (no
// customer in the file, characters the file cannot hold) and nothing
// changes.

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "KundenBild.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kDatei = "daten/kunden.dat";

std::size_t Zeilen(std::string text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    std::size_t zeilen = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t ende = text.find_first_of("\r\n", start);
        ++zeilen;
        start = ende == std::string::npos            ? text.size()
                : text.compare(ende, 2, "\r\n") == 0 ? ende + 2
                                                     : ende + 1;
    }
    return zeilen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben("kunden.csv", eingabe);

    // One customer there before, whose number the import continues from.
    std::string datei;
    {
        KundenVerwaltung kv(kDatei);
        Kunde alt;
        FixedText::Set(alt.Nachname, "Alt");
        kv.AddKunde(alt);
        const std::string vorher = FuzzVerzeichnis::Lesen(kDatei);
        try {
            kv.ImportKundenCSV();
        } catch (const MessageException&) {
            FUZZ_PRUEFE(kv.Count() == 1 && FuzzVerzeichnis::Lesen(kDatei) == vorher);
            return 0;
        }
        FUZZ_PRUEFE(kv.Count() == Zeilen(eingabe));
        for (unsigned i = 0; i < kv.Count(); ++i) {
            FUZZ_PRUEFE(kv[i].nummer == static_cast<std::int32_t>(i) + 2);
            FUZZ_PRUEFE(kv[i].Anrede[0] == '\0' && kv[i].preisliste == 0);
            datei += KundenBild::Normal(kv[i]);
        }
        FUZZ_PRUEFE(KundenBild::NormalDatei(FuzzVerzeichnis::Lesen(kDatei)) == datei);
    }
    FUZZ_PRUEFE(KundenBild::NormalDatei(FuzzVerzeichnis::Lesen(kDatei)) == datei);
    return 0;
}
