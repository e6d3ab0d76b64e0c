// The DATEV export with each of its file system calls failing in turn (EIO
// and ENOSPC), as "rebkontor-cli datev" runs it with the window's own
// functions. It writes two files, the batch and then its line in the data
// folder's record of exports, so a failure may come after the batch is
// written: then the message says that the export was not recorded. Never is
// a line half written, the record changed while the batch is missing, or a
// batch left half written.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Grunddaten.h"
#include "Stoerung.h"
#include "Verzeichnisbild.h"
#include "cli/RebkontorCli.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Fehler.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kAlt = "ein älterer Stapel";
constexpr const char* kVermerke = "datev-exporte.txt";
constexpr IoFaults::Op kArten[] = {IoFaults::Op::Open,   IoFaults::Op::Read,
                                   IoFaults::Op::Write,  IoFaults::Op::Sync,
                                   IoFaults::Op::Rename, IoFaults::Op::Truncate};

std::string Grund(int fehler) {
    return Fehler(Fehler::Vorgang::Schreiben, "", fehler).Grund();
}

// The template's data in Euro with DATEV settings and an earlier export on
// record, and a folder for the batch that may hold an older one.
class Umgebung {
  public:
    explicit Umgebung(bool mitAltem) : verzeichnis_(true), uhr_(6, 12, 2026, 9, 5, 3) {
        Grunddaten::Kopieren(verzeichnis_.Path());
        {
            KundenVerwaltung::maxNummer = 0;
            Datenbestand bestand("daten");
            bestand.GetVerwaltungen().customizer->preiseInEuro = 1;
            EXPECT_TRUE(bestand.GetVerwaltungen().customizer->Store());
        }
        WriteBytes(
            "daten/firmendaten.txt",
            "Name=Weingut Probe\r\n[DATEV]\r\nBeraternummer=29098\r\nMandantennummer=55003\r\n"
            // The template's 16 % has no automatic account of its own.
            "Erloeskonto=8400\r\n");
        // The lock file stays from the window's last run; the command's lock
        // adds nothing to compare.
        WriteBytes("daten/rebkontor.lock", "");
        WriteBytes(std::string("daten/") + kVermerke,
                   "1.1.2025;31.12.2025;3.2.2026 10:00:00;2;20,00\r\n");
        std::filesystem::create_directory("ausgabe");
        if (mitAltem) {
            WriteBytes("ausgabe/EXTF_2026.csv", kAlt);
        }
    }

    struct Lauf {
        int status = -1;
        std::string meldung;
    };
    static Lauf Ausfuehren() {
        std::ostringstream out;
        std::ostringstream err;
        RebkontorCli cli(out, err);
        const int status = cli.Ausfuehren(
            {"datev", "--von", "1.1.2026", "--bis", "31.12.2026", "ausgabe/EXTF_2026.csv"});
        return {status, err.str()};
    }

  private:
    TempDir verzeichnis_;
    FixedClock uhr_;
};

TEST(DatevSchreibfehler, NenntDenGrundUndVermerktNurEinenGeschriebenenStapel) {
    std::map<IoFaults::Op, int> anzahl;
    std::string stapel;
    std::string vermerke;
    std::string vorher;
    {
        Umgebung u(true);
        vorher = ReadBytes(std::string("daten/") + kVermerke);
        Stoerung zaehlen;
        const Umgebung::Lauf lauf = Umgebung::Ausfuehren();
        ASSERT_EQ(lauf.status, 0) << lauf.meldung;
        for (IoFaults::Op art : kArten) {
            anzahl[art] = zaehlen.Anzahl(art);
        }
        stapel = ReadBytes("ausgabe/EXTF_2026.csv");
        vermerke = ReadBytes(std::string("daten/") + kVermerke);
    }
    ASSERT_NE(stapel, kAlt);
    ASSERT_EQ(vermerke.substr(0, vorher.size()), vorher);
    ASSERT_GT(vermerke.size(), vorher.size());
    ASSERT_GT(anzahl[IoFaults::Op::Write], 1);

    int gemeldet = 0;
    for (IoFaults::Op art : kArten) {
        for (int n = 1; n <= anzahl[art]; ++n) {
            for (int fehler : {EIO, ENOSPC}) {
                SCOPED_TRACE(std::string(Stoerung::Name(art)) + " #" + std::to_string(n) +
                             (fehler == EIO ? " EIO" : " ENOSPC"));
                const bool mitAltem = fehler == EIO;
                Umgebung u(mitAltem);
                const Verzeichnisbild daten("daten");
                Umgebung::Lauf lauf;
                {
                    Stoerung stoerung(art, n, fehler);
                    lauf = Umgebung::Ausfuehren();
                    ASSERT_TRUE(stoerung.Ausgeloest());
                }
                const auto ausgabe = Verzeichnisbild("ausgabe").Dateien();
                const Verzeichnisbild danach("daten");
                const std::string* vermerkt = danach.Datei(kVermerke);
                ASSERT_NE(vermerkt, nullptr);
                // The record holds the old lines, or the new one whole too.
                EXPECT_TRUE(*vermerkt == vorher || *vermerkt == vermerke) << *vermerkt;
                EXPECT_EQ(Verzeichnisbild::Unterschiede(danach, daten),
                          *vermerkt == vorher ? "" : kVermerke);
                if (lauf.status == 0) {
                    // Only the folder's sync after the batch's rename passes
                    // unseen.
                    EXPECT_EQ(art, IoFaults::Op::Sync);
                    EXPECT_EQ(ausgabe,
                              (std::map<std::string, std::string>{{"EXTF_2026.csv", stapel}}));
                    EXPECT_EQ(*vermerkt, vermerke);
                    continue;
                }
                ++gemeldet;
                EXPECT_THAT(lauf.meldung,
                            ::testing::HasSubstr(CodePage::Cp1252ToUtf8(Grund(fehler))));
                if (ausgabe.count("EXTF_2026.csv") != 0 && ausgabe.at("EXTF_2026.csv") == stapel) {
                    // Written, and said that it was not recorded.
                    EXPECT_EQ(ausgabe.size(), 1u);
                    EXPECT_THAT(lauf.meldung,
                                ::testing::HasSubstr("wurde geschrieben, konnte aber nicht in"));
                    continue;
                }
                using Bild = std::map<std::string, std::string>;
                EXPECT_EQ(ausgabe, (mitAltem ? Bild{{"EXTF_2026.csv", kAlt}} : Bild{}));
                EXPECT_EQ(*vermerkt, vorher);
            }
        }
    }
    EXPECT_GT(gemeldet, 10);
}

}  // namespace
