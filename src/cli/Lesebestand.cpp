#include "cli/Lesebestand.h"

#include "model/DatenDateien.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/File.h"
#include "storage/MessageException.h"

void Lesebestand::VerzeichnisPruefen(const std::string& verzeichnis) {
    const Ergebnis<File::Entry> eintrag = File::Stat(verzeichnis, true);
    if (!eintrag || eintrag->kind != File::Kind::Directory) {
        const std::string hier = File::Resolve(".");
        throw MessageException("Das Datenverzeichnis " + CodePage::Zitat(verzeichnis) +
                               " gibt es nicht (im Verzeichnis " + CodePage::Zitat(hier) + ").");
    }
    // A data file that is a link, pipe or device stops every command, as it
    // stops the window's start.
    DatenDateien::Pruefen(verzeichnis, false);
}

void Lesebestand::DateiPruefen(const std::string& pfad) {
    // The open waits for nothing and refuses what is no regular file.
    const Ergebnis<File> datei = File::OpenReadOnly(pfad);
    if (!datei && !datei.Ursache().Fehlt()) {
        throw MessageException("Die Datei " + CodePage::Zitat(pfad) +
                               " kann nicht gelesen werden (" + datei.Ursache().Grund() + ").");
    }
}

Lesebestand::Lesebestand(const std::string& verzeichnis, Bedarf bedarf) {
    VerzeichnisPruefen(verzeichnis);
    for (const char* datei : kDateien) {
        DateiPruefen(verzeichnis + "/" + datei);
    }
    for (int k = 0; k < PreisVerwaltung::kMaxPreislisten; ++k) {
        DateiPruefen(verzeichnis + "/" + std::to_string(k) + ".wl");
    }
    if (bedarf == Bedarf::Kundengruppen) {
        gruppen_ = std::make_unique<GeoGruppe>(verzeichnis + "/geogruppe.txt", Zugriff::NurLesen);
        verwaltungen_.geoGruppe = gruppen_.get();
        return;
    }
    if (bedarf == Bedarf::Einstellungen) {
        einstellungen_ =
            std::make_unique<Customizer>(verzeichnis + "/preferences.dat", Zugriff::NurLesen);
        verwaltungen_.customizer = einstellungen_.get();
        return;
    }
    bestand_ =
        std::make_unique<Datenbestand>(verzeichnis, Datenbestand::Beobachter{}, Zugriff::NurLesen);
    bestand_->KundenEinlesen();
}

Lesebestand::~Lesebestand() = default;
