#include "storage/Fehler.h"

#include <cerrno>

#include "storage/CodePage.h"

bool Fehler::Fehlt() const {
    return nummer_ == ENOENT;
}

std::string Fehler::Grund() const {
    switch (nummer_) {
        case ENOSPC:
            return "kein Platz mehr auf dem Datenträger"_w;
        case EDQUOT:
            return "der zugeteilte Speicherplatz ist aufgebraucht"_w;
        case EACCES:
        case EPERM:
            return "keine Berechtigung";
        case EROFS:
            return "das Dateisystem ist schreibgeschützt"_w;
        case EIO:
            return "Ein-/Ausgabefehler des Datenträgers"_w;
        case ENOENT:
            // Reading, the file itself is missing; writing creates the
            // file, so it is the folder.
            return vorgang_ == Vorgang::Oeffnen || vorgang_ == Vorgang::Lesen ||
                           vorgang_ == Vorgang::Abfragen
                       ? "die Datei gibt es nicht"
                       : "den Ordner gibt es nicht";
        case EISDIR:
            return "es ist ein Verzeichnis";
        case ENOTDIR:
            return "ein Teil des Pfads ist kein Verzeichnis";
        case ENXIO:
            return "es ist keine gewöhnliche Datei"_w;
        case ELOOP:
            return "es ist eine symbolische Verknüpfung"_w;
        case ENAMETOOLONG:
            return "der Name ist zu lang";
        case EMFILE:
        case ENFILE:
            return "zu viele offene Dateien";
        case EFBIG:
            return "die Datei wird zu groß"_w;
        case EBUSY:
        case ETXTBSY:
            return "die Datei ist belegt";
        case EEXIST:
            return "die Datei gibt es schon";
        case kVerkuerzt:
            return "die Datei wurde beim Lesen kürzer; ein anderes Programm hat sie verändert"_w;
        case EXDEV:
            return "Quelle und Ziel liegen auf verschiedenen Dateisystemen";
        default:
            return "Systemfehler " + std::to_string(nummer_);
    }
}
