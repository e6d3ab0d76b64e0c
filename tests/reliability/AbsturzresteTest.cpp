// What a crash in the middle of replacing a file leaves beside it is gone
// after the next start, for every file that is replaced as a whole, and the
// file itself is read as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Grunddaten.h"
#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Verwaltungen.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

TEST(Absturzreste, TemporaereDateienVerschwindenBeimStart) {
    TempDir verzeichnis(true);
    FixedClock uhr(6, 12, 2026, 9, 5, 3);
    Grunddaten::Kopieren(verzeichnis.Path());
    const char* dateien[] = {"kunden.dat",      "weinliste.dat", "0.wl",          "merkzettel.dat",
                             "preferences.dat", "geogruppe.txt", "weinlisten.txt"};
    for (const char* datei : dateien) {
        WriteBytes(std::string("daten/") + datei + ".tmp", "halb");
    }
    KundenVerwaltung::maxNummer = 0;
    {
        Datenbestand bestand("daten");
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen();
        EXPECT_EQ(bestand.GetVerwaltungen().geoGruppe->Count(), 2u);
        EXPECT_EQ(bestand.GetVerwaltungen().preisVerwaltung->count, 2);
    }
    for (const auto& eintrag : std::filesystem::directory_iterator("daten")) {
        EXPECT_NE(eintrag.path().extension(), ".tmp") << eintrag.path();
    }
}

}  // namespace
