#include "dialogs/Startoptionen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// argv as main gets it: writable words and a null after the last.
struct Aufruf {
    explicit Aufruf(std::vector<std::string> woerter) : woerter_(std::move(woerter)) {
        for (std::string& wort : woerter_) {
            argv.push_back(wort.data());
        }
        argc = static_cast<int>(argv.size());
        argv.push_back(nullptr);
    }
    std::vector<std::string> Rest() const { return {argv.begin(), argv.begin() + argc}; }

    std::vector<std::string> woerter_;
    std::vector<char*> argv;
    int argc = 0;
};

TEST(StartoptionenTest, TheWorkingFolderIsTakenOutAndTheToolkitKeepsItsOwnOptions) {
    // The desktop entry's "~/Rebkontor": no shell replaces the "~".
    ::setenv("HOME", "/home/winzer", 1);
    Aufruf menue({"rebkontor", "-platform", "offscreen", "--arbeitsordner", "~/Rebkontor"});
    Startoptionen o = Startoptionen::Lesen(menue.argc, menue.argv.data());
    EXPECT_EQ(o.aktion, Startoptionen::Aktion::Starten);
    EXPECT_EQ(o.arbeitsordner, "/home/winzer/Rebkontor");
    EXPECT_EQ(menue.Rest(), (std::vector<std::string>{"rebkontor", "-platform", "offscreen"}));
    EXPECT_EQ(menue.argv[static_cast<std::size_t>(menue.argc)], nullptr);

    Aufruf gleich({"rebkontor", "--arbeitsordner=/srv/weingut"});
    EXPECT_EQ(Startoptionen::Lesen(gleich.argc, gleich.argv.data()).arbeitsordner, "/srv/weingut");
    Aufruf ohne({"rebkontor"});
    EXPECT_FALSE(Startoptionen::Lesen(ohne.argc, ohne.argv.data()).arbeitsordner);

    EXPECT_EQ(Startoptionen::HomeErsetzen("~", "/home/winzer"), "/home/winzer");
    EXPECT_EQ(Startoptionen::HomeErsetzen("~/a", "/home/winzer/"), "/home/winzer/a");
    EXPECT_EQ(Startoptionen::HomeErsetzen("~anna/a", "/home/winzer"), "~anna/a");
    EXPECT_EQ(Startoptionen::HomeErsetzen("a/~", "/home/winzer"), "a/~");
    EXPECT_EQ(Startoptionen::HomeErsetzen("~/a", ""), "~/a");
}

TEST(StartoptionenTest, HelpVersionAndWrongCallsAreToldInGerman) {
    Aufruf hilfe({"rebkontor", "--version", "--help"});
    EXPECT_EQ(Startoptionen::Lesen(hilfe.argc, hilfe.argv.data()).aktion,
              Startoptionen::Aktion::Hilfe);
    EXPECT_EQ(std::string(Startoptionen::Hilfe()).rfind("Aufruf: rebkontor [--arbeitsordner", 0),
              0u);
    Aufruf version({"rebkontor", "--version"});
    EXPECT_EQ(Startoptionen::Lesen(version.argc, version.argv.data()).aktion,
              Startoptionen::Aktion::Version);
    EXPECT_EQ(Startoptionen::Versionszeile("/bin/true"),
              "Rebkontor (die Programmdatei nennt keine Version)");

    for (const std::vector<std::string>& falsch :
         {std::vector<std::string>{"rebkontor", "--arbeitsordner"},
          std::vector<std::string>{"rebkontor", "--arbeitsordner="}}) {
        Aufruf a(falsch);
        const Startoptionen o = Startoptionen::Lesen(a.argc, a.argv.data());
        EXPECT_EQ(o.aktion, Startoptionen::Aktion::FalscherAufruf);
        EXPECT_EQ(o.fehler,
                  "Die Option --arbeitsordner braucht ein Verzeichnis, etwa --arbeitsordner "
                  "~/Rebkontor.");
    }
    Aufruf option({"rebkontor", "--ordner", "x"});
    EXPECT_EQ(Startoptionen::Unbekannt(option.argc, option.argv.data()),
              "Die Option \u00bb--ordner\u00ab gibt es nicht. \u00bbrebkontor --help\u00ab nennt "
              "die Optionen.");
    Aufruf datei({"rebkontor", "kunden.dat"});
    EXPECT_EQ(Startoptionen::Unbekannt(datei.argc, datei.argv.data()),
              "Rebkontor \u00f6ffnet keine Dateien (\u00bbkunden.dat\u00ab); es arbeitet auf dem "
              "Datenordner \u00bbdaten\u00ab im Arbeitsverzeichnis. \u00bbrebkontor --help\u00ab "
              "nennt die Optionen.");
}

}  // namespace
