// The reminder texts file: loading, storing what was loaded (which must read
// back as the same texts), the fees never negative, and the letter that
// fills the placeholders of each level.

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "documents/Mahnschreiben.h"
#include "documents/RecordingCanvas.h"
#include "model/Mahntexte.h"

namespace {

constexpr const char* kDatei = "daten/mahnwesen.txt";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    Mahntexte texte;
    FUZZ_PRUEFE(texte.Laden(kDatei));
    FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
    FUZZ_PRUEFE(texte.tageBisNaechsteStufe >= 0 && texte.tageBisNaechsteStufe <= 365);
    FUZZ_PRUEFE(texte.Speichern(kDatei));
    Mahntexte wieder;
    FUZZ_PRUEFE(wieder.Laden(kDatei));
    FUZZ_PRUEFE(wieder.Text() == texte.Text());

    Mahnbrief brief;
    OffenerPosten p;
    p.nummer = 1;
    p.offen = 1234;
    p.endbetrag = 1234;
    brief.posten.push_back(p);
    brief.offen = 1234;
    for (int stufe = 1; stufe <= Mahntexte::kStufen; ++stufe) {
        FUZZ_PRUEFE(texte.Von(stufe).gebuehr >= 0);
        brief.stufe = stufe;
        brief.gebuehr = texte.Von(stufe).gebuehr;
        const Mahnschreiben schreiben(brief, nullptr, Firmendaten(), texte, nullptr,
                                      Datum(1, 12, 2026));
        RecordingCanvas canvas;
        for (int seite = 1; seite <= schreiben.Seiten(); ++seite) {
            schreiben.Layout(canvas, seite, 0, 0, 2100, 2970);
        }
        FUZZ_PRUEFE(schreiben.Seiten() >= 1);
    }
    return 0;
}
