// The libraries that rebkontor-cli loads only when a command needs them may
// be missing or damaged on a user's machine. The tool must still start and
// run every command that needs none of them, and a command that needs one
// ends with a German message naming it, writing nothing, instead of the
// loader refusing to start the program or a crash.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "documents/Bibliotheken.h"
#include "sicherung/Bibliotheken.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

namespace fs = std::filesystem;

using CliBibliothekenTest = CliFixture;

TEST_F(CliBibliothekenTest, ABrokenLibraryStopsOnlyTheCommandsThatNeedItWithAGermanMessage) {
    SampleDaten();
    // Under every name a file that is no library, first on the loader's path.
    const std::string kaputt = Pfad("kaputt");
    fs::create_directory(kaputt);
    for (const char* soname :
         {REBKONTOR_SONAME_LIBXML2, REBKONTOR_SONAME_XLSXWRITER, REBKONTOR_SONAME_QRENCODE,
          REBKONTOR_SONAME_LIBARCHIVE, REBKONTOR_SONAME_NETTLE}) {
        WriteBytes(kaputt + "/" + soname, "kein Programmcode");
    }
    const auto ohne = [&](const std::vector<std::string>& argumente) {
        return Programm(REBKONTOR_CLI, argumente, "", {"LD_LIBRARY_PATH=" + kaputt});
    };

    for (const std::vector<std::string>& argumente :
         {std::vector<std::string>{"--help"}, {"adressen", "-"}, {"pruefen"}}) {
        const Ergebnis gut = Lauf(argumente);
        const Ergebnis r = ohne(argumente);
        EXPECT_EQ(r.status, gut.status) << argumente[0] << ": " << r.err;
        EXPECT_EQ(r.out, gut.out) << argumente[0];
        EXPECT_EQ(r.err, gut.err) << argumente[0];
    }

    // An invoice of the sample business that gets an e-invoice (its
    // customer has an e-mail address), written once with the library there.
    const Ergebnis suche = Lauf({"suche", "--betrag", "100", "--abweichung", "100"});
    ASSERT_EQ(suche.status, 0) << suche.err;
    std::string nummer;
    std::istringstream zeilen(suche.out);
    for (std::string zeile; nummer.empty() && std::getline(zeilen, zeile);) {
        const std::string kandidat = zeile.substr(zeile.find(';') + 1);
        const std::string nr = kandidat.substr(0, kandidat.find(';'));
        if (Lauf({"rechnung", nr, "--xrechnung", "probe.xml"}).status == 0) {
            nummer = nr;
        }
    }
    ASSERT_FALSE(nummer.empty()) << suche.out;

    Schnappschuss vorher = Aufnahme(Daten());
    struct Fall {
        std::vector<std::string> argumente;
        std::string ausgabe;
        std::string soname;
    };
    for (const Fall& fall : {
             Fall{{"flaschenliste", "liste.xlsx"}, "liste.xlsx", REBKONTOR_SONAME_XLSXWRITER},
             Fall{{"rechnung", nummer, "--xrechnung", "x.xml"}, "x.xml", REBKONTOR_SONAME_LIBXML2},
             Fall{{"sichern", "--datei", "s.zip"}, "s.zip", REBKONTOR_SONAME_LIBARCHIVE},
         }) {
        const Ergebnis r = ohne(fall.argumente);
        EXPECT_EQ(r.status, 1) << fall.argumente[0] << ": " << r.err;
        EXPECT_THAT(r.err, StartsWith("rebkontor-cli: "));
        EXPECT_THAT(r.err, HasSubstr("Die Programmbibliothek »" + fall.soname +
                                     "«, die Rebkontor für diese Aufgabe braucht, lässt sich "
                                     "nicht laden (" +
                                     kaputt + "/" + fall.soname));
        EXPECT_THAT(r.err, HasSubstr("Bitte installieren Sie Rebkontor mit seinen "
                                     "Abhängigkeiten neu."));
        EXPECT_FALSE(fs::exists(Pfad(fall.ausgabe))) << fall.ausgabe;
    }
    // The backup takes the lock file as it always does; the data are untouched.
    Schnappschuss nachher = Aufnahme(Daten());
    vorher.erase("rebkontor.lock");
    nachher.erase("rebkontor.lock");
    EXPECT_EQ(nachher, vorher);
}

}  // namespace
