// The record of DATEV exports: reading it for the overlap question and the
// data check, and appending a line, which must stand on a line of its own
// and read back as what was written, whatever the file held before.

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/DatevExporte.h"

namespace {

constexpr const char* kDatei = "daten/datev-exporte.txt";

bool Gleich(const DatevExporte::Eintrag& a, const DatevExporte::Eintrag& b) {
    return a.von.Julian() == b.von.Julian() && a.bis.Julian() == b.bis.Julian() &&
           a.tag.Julian() == b.tag.Julian() && a.stunde == b.stunde && a.minute == b.minute &&
           a.sekunde == b.sekunde && a.anzahl == b.anzahl && a.cent == b.cent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    const std::size_t unlesbar = DatevExporte::Unlesbar(eingabe).size();
    // Every line that reads is written back the same way.
    std::size_t start = 0;
    while (start < eingabe.size()) {
        std::size_t ende = eingabe.find('\n', start);
        if (ende == std::string::npos) {
            ende = eingabe.size();
        }
        std::string zeile = eingabe.substr(start, ende - start);
        if (!zeile.empty() && zeile.back() == '\r') {
            zeile.pop_back();
        }
        DatevExporte::Eintrag e;
        if (DatevExporte::AusZeile(zeile, e)) {
            DatevExporte::Eintrag wieder;
            FUZZ_PRUEFE(DatevExporte::AusZeile(DatevExporte::Zeile(e), wieder) &&
                        Gleich(e, wieder));
            // A recorded period always collides with itself.
            FUZZ_PRUEFE(!DatevExporte::Konflikt(eingabe, e.von, e.bis).empty());
        }
        start = ende + 1;
    }
    // A file with a line nobody can read collides with every period.
    if (unlesbar > 0) {
        FUZZ_PRUEFE(!DatevExporte::Konflikt(eingabe, Datum(1, 1, 1990), Datum(1, 1, 1990)).empty());
    }

    DatevExporte::Eintrag neu;
    neu.von = Datum(1, 11, 2026);
    neu.bis = Datum(30, 11, 2026);
    neu.tag = Datum(6, 12, 2026);
    neu.stunde = 9;
    neu.minute = 5;
    neu.sekunde = 3;
    neu.anzahl = 12;
    neu.cent = 123456;
    FUZZ_PRUEFE(DatevExporte::Anhaengen(kDatei, neu));
    const std::string danach = FuzzVerzeichnis::Lesen(kDatei);
    FUZZ_PRUEFE(danach.compare(0, eingabe.size(), eingabe) == 0);
    const std::string zeile = DatevExporte::Zeile(neu) + "\r\n";
    FUZZ_PRUEFE(danach.size() >= zeile.size() &&
                danach.compare(danach.size() - zeile.size(), zeile.size(), zeile) == 0);
    // The old lines keep their fate, the new one reads.
    FUZZ_PRUEFE(DatevExporte::Unlesbar(danach).size() == unlesbar);
    FUZZ_PRUEFE(!DatevExporte::Konflikt(danach, neu.von, neu.bis).empty());
    return 0;
}
