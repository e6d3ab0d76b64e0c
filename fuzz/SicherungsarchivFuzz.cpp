// The archive of a backup, read and unpacked as a restore does before it
// replaces anything: whatever the bytes, the reader ends with a report;
// nothing is written outside the folder it unpacks into; and an archive it
// calls sound unpacked exactly the files its manifest names, each with the
// manifest's size, within the limit.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/DatenDateien.h"
#include "sicherung/Sicherungsarchiv.h"
#include "sicherung/Sicherungsinhalt.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kArchiv = "sicherung.zip";
constexpr const char* kAuspacken = "auspacken";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kArchiv, eingabe);
    fs::create_directory(kAuspacken);

    const Sicherungsarchiv::Bericht bericht = Sicherungsarchiv::Pruefen(kArchiv, kAuspacken);
    FUZZ_PRUEFE(bericht.Gut() || !bericht.probleme.empty());
    FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kArchiv) == eingabe);

    // Nothing beside the archive and the folder it unpacks into; the data
    // folders stay empty.
    for (const auto& eintrag : fs::directory_iterator(".")) {
        const std::string name = eintrag.path().filename().string();
        FUZZ_PRUEFE(name == kArchiv || name == kAuspacken || name == "daten" ||
                    name == "daten_alt");
    }
    FUZZ_PRUEFE(fs::is_empty("daten") && fs::is_empty("daten_alt"));

    // Only the program's own data files, as plain files, never below a folder.
    std::int64_t bytes = 0;
    int dateien = 0;
    for (const auto& eintrag : fs::recursive_directory_iterator(kAuspacken)) {
        const std::string name = eintrag.path().filename().string();
        FUZZ_PRUEFE(eintrag.path().parent_path() == fs::path(kAuspacken));
        FUZZ_PRUEFE(eintrag.is_regular_file() && !eintrag.is_symlink());
        FUZZ_PRUEFE(DatenDateien::Finde(name) != nullptr);
        bytes += static_cast<std::int64_t>(eintrag.file_size());
        ++dateien;
    }
    FUZZ_PRUEFE(bytes <= Sicherungsarchiv::kHoechstens);
    if (bericht.Gut()) {
        const Sicherungsinhalt& inhalt = *bericht.inhalt;
        FUZZ_PRUEFE(dateien == static_cast<int>(inhalt.dateien.size()));
        for (const Sicherungsinhalt::Datei& datei : inhalt.dateien) {
            const fs::path pfad = fs::path(kAuspacken) / datei.name;
            FUZZ_PRUEFE(fs::is_regular_file(pfad));
            FUZZ_PRUEFE(static_cast<std::int64_t>(fs::file_size(pfad)) == datei.groesse);
            const DatenDateien::Datei* art = DatenDateien::Finde(datei.name);
            FUZZ_PRUEFE(art != nullptr);
            FUZZ_PRUEFE(art->satz == 0 ||
                        datei.groesse % static_cast<std::int64_t>(art->satz) == 0);
        }
        // What it says reads back the same.
        std::vector<std::string> probleme;
        const Sicherungsinhalt wieder = Sicherungsinhalt::Lesen(inhalt.Text(), probleme);
        FUZZ_PRUEFE(probleme.empty());
        FUZZ_PRUEFE(wieder.Text() == inhalt.Text());
    }
    fs::remove_all(kAuspacken);
    return 0;
}
