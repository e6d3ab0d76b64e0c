#include "documents/Ausgabeziel.h"

#include <algorithm>
#include <cerrno>

#include "storage/CodePage.h"

namespace {

std::string Art(File::Kind art) {
    switch (art) {
        case File::Kind::Directory:
            return "ein Verzeichnis";
        case File::Kind::Link:
            return "eine symbolische Verknüpfung"_w;
        case File::Kind::Fifo:
            return "eine Pipe (FIFO)";
        case File::Kind::Device:
            return "ein Gerät"_w;
        case File::Kind::Socket:
            return "ein Socket";
        default:
            return "keine gewöhnliche Datei"_w;
    }
}

// A folder a Rebkontor program keeps its data in: it holds the lock file or
// one of the record files. Any business's folder, not only the one the
// program works on, so that an export can never replace another's data.
bool IstDatenordner(const std::string& ordner) {
    static constexpr const char* kKennzeichen[] = {
        "rebkontor.lock",      "kunden.dat",     "weinliste.dat",  "rechnungen.dat",
        "rechnungsposten.dat", "merkzettel.dat", "preferences.dat"};
    return std::any_of(
        std::begin(kKennzeichen), std::end(kKennzeichen),
        [&ordner](const char* name) { return static_cast<bool>(File::Stat(ordner + "/" + name)); });
}

}  // namespace

std::string Ausgabeziel::Hindernis(const std::string& pfad, const std::string& daten) {
    if (pfad.empty()) {
        return "Es wurde kein Dateiname angegeben.";
    }
    const Ergebnis<File::Entry> ziel = File::Stat(pfad);
    if (ziel && ziel->kind != File::Kind::Regular) {
        return "Die Datei " + CodePage::Zitat(pfad) + " wird nicht geschrieben: dort steht " +
               Art(ziel->kind) + ", keine gewöhnliche Datei."_w;
    }
    auto imDatenverzeichnis = [&pfad](const std::string& verzeichnis) {
        return "Die Datei " + CodePage::Zitat(pfad) +
               " wird nicht geschrieben: sie läge im Datenverzeichnis "_w +
               CodePage::Zitat(verzeichnis) +
               ", und ein Export darf keine Daten überschreiben. Bitte einen anderen Ort "
               "wählen."_w;
    };
    const std::string ort = File::Resolve(File::DirectoryOf(pfad));
    const std::string datenEcht = File::Resolve(daten);
    if (!datenEcht.empty() && !ort.empty() &&
        (ort == datenEcht || ort.rfind(datenEcht + "/", 0) == 0)) {
        return imDatenverzeichnis(daten);
    }
    if (!ort.empty() && IstDatenordner(ort)) {
        return imDatenverzeichnis(File::DirectoryOf(pfad));
    }
    if (datenEcht.empty() || !ziel) {
        return {};
    }
    // A second name of a data file, elsewhere.
    const auto namen = File::List(datenEcht);
    for (const std::string& name : namen ? *namen : std::vector<std::string>()) {
        const Ergebnis<File::Entry> datei = File::Stat(datenEcht + "/" + name);
        if (datei && datei->device == ziel->device && datei->inode == ziel->inode) {
            return imDatenverzeichnis(daten);
        }
    }
    return {};
}

Ergebnis<void> Ausgabeziel::Ersetzen(const std::string& pfad, std::string_view bytes,
                                     const std::string& daten) {
    if (!Hindernis(pfad, daten).empty()) {
        return Fehler(Fehler::Vorgang::Schreiben, pfad, EPERM);
    }
    return File::ReplaceAtomically(pfad, bytes, File::Temp::Unique);
}
