// rebkontor-handbuchseiten VERZEICHNIS VERSION DATUM: writes the manual
// pages rebkontor.1 and rebkontor-cli.1 into VERZEICHNIS, made from the
// help texts the programs print, at build time.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Handbuchseite.h"
#include "cli/RebkontorCli.h"
#include "dialogs/Startoptionen.h"

namespace {

bool Schreiben(const std::string& datei, const std::string& text) {
    std::ofstream aus(datei, std::ios::binary | std::ios::trunc);
    aus << text;
    aus.close();
    if (!aus) {
        std::cerr << "rebkontor-handbuchseiten: " << datei << " kann nicht geschrieben werden.\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "Aufruf: rebkontor-handbuchseiten VERZEICHNIS VERSION DATUM\n";
        return 2;
    }
    const std::string verzeichnis = argv[1];
    const std::string version = argv[2];
    const std::string datum = argv[3];

    Handbuchseite fenster(Startoptionen::kProgramm,
                          "das Büro eines Weinguts: Kunden, Weine, Preislisten und "
                          "Rechnungen",
                          version, datum);
    fenster.SetHilfe(Startoptionen::Hilfe());
    fenster.SetSieheAuch({"rebkontor-cli(1)"});

    Handbuchseite werkzeug("rebkontor-cli", "Rebkontor für Skripte und geplante Aufträge", version,
                           datum);
    werkzeug.SetHilfe(RebkontorCli::Uebersicht());
    std::vector<Handbuchseite::Unterabschnitt> befehle;
    for (const RebkontorCli::Befehl& befehl : RebkontorCli::Befehle()) {
        befehle.push_back({befehl.name, befehl.hilfe});
    }
    werkzeug.SetUnterabschnitte("BEFEHLE", std::move(befehle));
    werkzeug.SetSieheAuch({"rebkontor(1)"});

    return Schreiben(verzeichnis + "/rebkontor.1", fenster.Roff()) &&
                   Schreiben(verzeichnis + "/rebkontor-cli.1", werkzeug.Roff())
               ? 0
               : 1;
}
