#include "dialogs/Startoptionen.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "dialogs/Hauptfenster.h"
#include "dialogs/TProjectRCVersion.h"

namespace {

constexpr const char* kHilfe = R"(Aufruf: rebkontor [--arbeitsordner VERZEICHNIS]

Rebkontor ist das Büro eines Weinguts, das Flaschenwein an Privat- und
Geschäftskunden verkauft: Kunden, Weine mit ihrem Flaschenbestand, bis zu 20
Preislisten und Rechnungen mit Packlisten, dazu Flaschenlisten, Adressdateien
für Serienbriefe, Merkzettel und ein Logbuch jeder Änderung.

Das Fenster arbeitet auf dem Datenordner »daten« im Arbeitsverzeichnis. Fehlt
er, fragt Rebkontor, ob dort ein leerer Datenordner oder einer mit einem
Beispielbetrieb zum Ausprobieren angelegt werden soll, oder ob es enden soll.
Mit einem Datenordner arbeitet immer nur ein Rebkontor-Programm zugleich.

  --arbeitsordner VERZEICHNIS
                  in VERZEICHNIS arbeiten statt im aktuellen Verzeichnis;
                  »~« am Anfang steht für den persönlichen Ordner. Fehlt
                  VERZEICHNIS, wird es mit dem Datenordner angelegt. Der
                  Eintrag im Anwendungsmenü startet Rebkontor mit
                  »--arbeitsordner ~/Rebkontor«.
  -h, --help      diese Hilfe
  --version       die Version

Dazu gelten die Optionen von Qt, etwa »-platform offscreen«. Das
Benutzerhandbuch öffnet das Menü Hilfe; »rebkontor-cli --help« beschreibt
das Werkzeug für Skripte und geplante Aufträge.
)";

// "--name=wert" or "--name" followed by the value.
bool MitWert(const std::vector<std::string>& argumente, std::size_t& i, const std::string& name,
             std::optional<std::string>& wert) {
    const std::string& argument = argumente[i];
    if (argument.rfind(name + "=", 0) == 0) {
        wert = argument.substr(name.size() + 1);
        return true;
    }
    if (argument != name) {
        return false;
    }
    if (i + 1 < argumente.size()) {
        wert = argumente[++i];
    } else {
        wert.reset();
    }
    return true;
}

}  // namespace

Startoptionen Startoptionen::Lesen(int& argc, char** argv) {
    Startoptionen optionen;
    const std::vector<std::string> argumente(argv, argv + argc);
    std::vector<char*> rest;
    if (argc > 0) {
        rest.push_back(argv[0]);
    }
    for (std::size_t i = 1; i < argumente.size(); ++i) {
        const std::string& argument = argumente[i];
        std::optional<std::string> ordner;
        if (MitWert(argumente, i, kArbeitsordner, ordner)) {
            if (!ordner || ordner->empty()) {
                optionen.aktion = Aktion::FalscherAufruf;
                optionen.fehler = std::string("Die Option ") + kArbeitsordner +
                                  " braucht ein Verzeichnis, etwa " + kArbeitsordner +
                                  " ~/Rebkontor.";
                return optionen;
            }
            optionen.arbeitsordner = HomeErsetzen(*ordner, Home());
        } else if (argument == "-h" || argument == "--help") {
            optionen.aktion = Aktion::Hilfe;
        } else if (argument == "--version") {
            if (optionen.aktion != Aktion::Hilfe) {
                optionen.aktion = Aktion::Version;
            }
        } else {
            rest.push_back(argv[i]);
        }
    }
    for (std::size_t i = 0; i < rest.size(); ++i) {
        argv[i] = rest[i];
    }
    argc = static_cast<int>(rest.size());
    argv[argc] = nullptr;
    return optionen;
}

std::string Startoptionen::Unbekannt(int argc, char** argv) {
    if (argc < 2) {
        return {};
    }
    const std::string argument = argv[1];
    return (!argument.empty() && argument[0] == '-'
                ? "Die Option »" + argument + "« gibt es nicht."
                : "Rebkontor öffnet keine Dateien (»" + argument + "«); es arbeitet auf dem " +
                      "Datenordner »daten« im Arbeitsverzeichnis.") +
           " »" + kProgramm + " --help« nennt die Optionen.";
}

const char* Startoptionen::Hilfe() {
    return kHilfe;
}

std::string Startoptionen::Versionszeile(const std::string& programmDatei) {
    const TProjectRCVersion record(programmDatei);
    std::string name;
    std::string version;
    if (record.GetProductName(name) && record.GetProductVersion(version)) {
        return name + " " + version;
    }
    return "Rebkontor (die Programmdatei nennt keine Version)";
}

std::string Startoptionen::HomeErsetzen(const std::string& ordner, const std::string& home) {
    if (home.empty() || ordner.empty() || ordner[0] != '~') {
        return ordner;
    }
    if (ordner.size() == 1) {
        return home;
    }
    if (ordner[1] != '/') {
        // "~name" is another user's home, which a shell would look up; the
        // program takes the text as a folder name instead of guessing.
        return ordner;
    }
    return (home.back() == '/' ? home.substr(0, home.size() - 1) : home) + ordner.substr(1);
}

std::string Startoptionen::Home() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* eintrag = ::getpwuid(::getuid());
    return eintrag != nullptr && eintrag->pw_dir != nullptr ? eintrag->pw_dir : "";
}

std::string Startoptionen::Handbuch(const std::string& programmDatei) {
    namespace fs = std::filesystem;
    const std::string hier = Hauptfenster::kHandbuch;
    std::error_code fehler;
    if (fs::is_regular_file(hier, fehler)) {
        return hier;
    }
    const fs::path programm = fs::canonical(programmDatei, fehler);
    if (!fehler) {
        const fs::path installiert =
            programm.parent_path().parent_path() / "share/doc/rebkontor/index.htm";
        if (fs::is_regular_file(installiert, fehler)) {
            return installiert.string();
        }
    }
    return hier;
}
