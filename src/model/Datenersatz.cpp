#include "model/Datenersatz.h"

#include <set>
#include <vector>

#include "model/DatenDateien.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

std::string Bereit(const std::string& verzeichnis) {
    return verzeichnis + "/" + Datenersatz::kBereit;
}

bool IstVerzeichnis(const std::string& pfad) {
    const Ergebnis<File::Entry> eintrag = File::Stat(pfad);
    return eintrag && eintrag->kind == File::Kind::Directory;
}

bool IstDatei(const std::string& pfad) {
    const Ergebnis<File::Entry> eintrag = File::Stat(pfad);
    return eintrag && eintrag->kind == File::Kind::Regular;
}

[[noreturn]] void Unvollendet(const std::string& verzeichnis, const Fehler& ursache) {
    throw MessageException(
        "Das Zurückspielen einer Datensicherung in das Datenverzeichnis "_w + Anzeige(verzeichnis) +
            " konnte nicht abgeschlossen werden (" + ursache.Grund() +
            "). Es wird beim nächsten Start von Rebkontor fortgesetzt; bis dahin bleibt das "
            "Datenverzeichnis, wie es ist."_w,
        ursache);
}

// Moves what is left of a committed set into place and removes the program's
// files it does not hold. Every step can be repeated: a file already moved is
// no longer in the committed folder, and the list of the set stays until the
// very end.
bool Vollenden(const std::string& verzeichnis) {
    const std::string bereit = Bereit(verzeichnis);
    if (!IstVerzeichnis(bereit)) {
        return false;
    }
    // Gone only once every step below was done and synced.
    const Ergebnis<std::string> inhalt = File::ReadFile(bereit + "/" + Datenersatz::kInhalt);
    if (!inhalt && !inhalt.Ursache().Fehlt()) {
        Unvollendet(verzeichnis, inhalt.Ursache());
    }
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        const std::string quelle = bereit + "/" + datei.name;
        if (!IstDatei(quelle)) {
            continue;
        }
        if (const Ergebnis<void> r = File::Rename(quelle, verzeichnis + "/" + datei.name); !r) {
            Unvollendet(verzeichnis, r.Ursache());
        }
    }
    if (inhalt) {
        std::set<std::string> namen;
        std::size_t start = 0;
        while (start < inhalt->size()) {
            std::size_t ende = inhalt->find('\n', start);
            if (ende == std::string::npos) {
                ende = inhalt->size();
            }
            namen.insert(inhalt->substr(start, ende - start));
            start = ende + 1;
        }
        for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
            const std::string ziel = verzeichnis + "/" + datei.name;
            if (namen.count(datei.name) != 0 || !IstDatei(ziel)) {
                continue;
            }
            if (const Ergebnis<void> r = File::Unlink(ziel); !r) {
                Unvollendet(verzeichnis, r.Ursache());
            }
        }
    }
    if (const Ergebnis<void> r = File::SyncPath(verzeichnis); !r) {
        Unvollendet(verzeichnis, r.Ursache());
    }
    File::Remove(bereit);
    (void)File::SyncPath(verzeichnis);
    return true;
}

}  // namespace

Ergebnis<std::string> Datenersatz::NeuerOrdner(const std::string& verzeichnis) {
    for (const std::string& name : File::List(verzeichnis).WertOder({})) {
        if (name.rfind(kNeuerOrdner, 0) == 0) {
            File::Remove(verzeichnis + "/" + name);
        }
    }
    return File::CreateTempDirectory(verzeichnis + "/" + kNeuerOrdner);
}

void Datenersatz::Festschreiben(const std::string& verzeichnis, const std::string& neu) {
    // One that an earlier run committed goes first; it is older than this one.
    Vollenden(verzeichnis);
    std::string namen;
    for (const std::string& name : File::List(neu).WertOder({})) {
        if (DatenDateien::Finde(name) != nullptr) {
            namen += name + "\n";
        }
    }
    // The list is synced with the folder's names (the files themselves were
    // synced as they were written), and the rename commits.
    Ergebnis<void> r = File::ReplaceAtomically(neu + "/" + kInhalt, namen);
    if (r) {
        r = File::Rename(neu, Bereit(verzeichnis));
    }
    if (!r) {
        File::Remove(neu);
        throw MessageException("Die Datensicherung konnte nicht in das Datenverzeichnis "_w +
                                   Anzeige(verzeichnis) + " übernommen werden ("_w +
                                   r.Ursache().Grund() + "). Die Daten dort sind unverändert."_w,
                               r.Ursache());
    }
    if (const Ergebnis<void> gesichert = File::SyncPath(verzeichnis); !gesichert) {
        Unvollendet(verzeichnis, gesichert.Ursache());
    }
    Vollenden(verzeichnis);
}

bool Datenersatz::Abschliessen(const std::string& verzeichnis) {
    for (const std::string& name : File::List(verzeichnis).WertOder({})) {
        if (name.rfind(kNeuerOrdner, 0) == 0) {
            File::Remove(verzeichnis + "/" + name);
        }
    }
    return Vollenden(verzeichnis);
}

bool Datenersatz::Ausstehend(const std::string& verzeichnis) {
    return IstVerzeichnis(Bereit(verzeichnis));
}
