#include "dialogs/Exportmeldung.h"

#include "storage/CodePage.h"

namespace Exportmeldung {

std::string Gespeichert(const std::string& was, const std::string& datei,
                        const std::string& anzahl) {
    return was + " gespeichert: " + CodePage::Utf8ToCp1252(datei) + " (" + anzahl + ")";
}

std::string Anzahl(long anzahl, const std::string& eins, const std::string& mehr) {
    return std::to_string(anzahl) + " " + (anzahl == 1 ? eins : mehr);
}

}  // namespace Exportmeldung
