#include <iostream>

#include "app/TRebkontorApp.h"
#include "dialogs/Startoptionen.h"
#include "dialogs/TProjectRCVersion.h"

int main(int argc, char** argv) {
    // Help and version need no display: they come before the toolkit.
    const Startoptionen optionen = Startoptionen::Lesen(argc, argv);
    switch (optionen.aktion) {
        case Startoptionen::Aktion::Hilfe:
            std::cout << Startoptionen::Hilfe();
            return 0;
        case Startoptionen::Aktion::Version:
            std::cout << Startoptionen::Versionszeile(TProjectRCVersion::kEigeneDatei) << '\n';
            return 0;
        case Startoptionen::Aktion::FalscherAufruf:
            std::cerr << "rebkontor: " << optionen.fehler << '\n';
            return 2;
        case Startoptionen::Aktion::Starten:
            break;
    }
    if (!TRebkontorApp::DisplayVorhanden()) {
        std::cerr << "Rebkontor braucht eine grafische Oberfl\u00e4che, aber es ist keine "
                     "erreichbar (DISPLAY ist nicht gesetzt oder kein X-Server l\u00e4uft).\n"
                     "Bitte in einer Desktop-Sitzung starten, oder ohne Bildschirm zum "
                     "Ausprobieren: xvfb-run make run\n";
        return 1;
    }
    TRebkontorApp app(argc, argv);
    // The toolkit has taken its own options; anything left is a mistake.
    const std::string unbekannt = Startoptionen::Unbekannt(argc, argv);
    if (!unbekannt.empty()) {
        std::cerr << "rebkontor: " << unbekannt << '\n';
        return 2;
    }
    app.SetArbeitsordner(optionen.arbeitsordner);
    return app.Run();
}
