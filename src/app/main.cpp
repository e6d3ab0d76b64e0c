#include <iostream>

#include "app/TRebkontorApp.h"

int main(int argc, char** argv) {
    if (!TRebkontorApp::DisplayVorhanden()) {
        std::cerr << "Rebkontor braucht eine grafische Oberfl\u00e4che, aber es ist keine "
                     "erreichbar (DISPLAY ist nicht gesetzt oder kein X-Server l\u00e4uft).\n"
                     "Bitte in einer Desktop-Sitzung starten, oder ohne Bildschirm zum "
                     "Ausprobieren: xvfb-run make run\n";
        return 1;
    }
    TRebkontorApp app(argc, argv);
    return app.Run();
}
