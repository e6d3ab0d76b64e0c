#include "model/GeoGruppe.h"

#include "model/NamensDatei.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"

GeoGruppe::GeoGruppe(const std::string& fileName, Zugriff zugriff)
    : fileName_(fileName), zugriff_(zugriff) {
    if (zugriff_ == Zugriff::Schreiben) {
        // A replacement a crash interrupted; the file itself is whole.
        File::RemoveStaleTemp(fileName_);
        // The file is created here so that the first group can be appended to it.
        if (!File::OpenReadWrite(fileName_)) {
            return;
        }
    }
    // Taken for empty, an unreadable file would give the next group the
    // index of the first one; the start stops instead.
    const Ergebnis<std::string> bytes = File::ReadIfExists(fileName_);
    if (!bytes) {
        throw MessageException(Oeffnungsfehler(bytes.Ursache()));
    }
    for (const std::string& name : NamensDatei::Lesen(*bytes).namen) {
        Append(name);
    }
}

void GeoGruppe::Append(const std::string& name) {
    GeoString gruppe;
    FixedText::Set(gruppe.text, name);
    gruppen_.Add(gruppe);
}

void GeoGruppe::AddGeoGruppe(const std::string& name) {
    Schreibverbot::Pruefen(zugriff_, fileName_, "GeoGruppe::AddGeoGruppe");
    NamensDatei::Anhaengen(fileName_, name, "Kundengruppe");
    Append(name);
}
