#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/DatenSperre.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kArgumente = {
    "beispieldaten", "--kunden", "30",     "--weine", "12",         "--preislisten", "3",
    "--rechnungen",  "120",      "--seed", "7",       "--stichtag", "7.12.2026"};

// The files below a directory with their bytes only; the lock file of the
// program that wrote them is no data.
std::map<std::string, std::string> Inhalt(const std::string& verzeichnis) {
    std::map<std::string, std::string> inhalt;
    for (const auto& eintrag : fs::directory_iterator(verzeichnis)) {
        if (eintrag.path().filename() != DatenSperre::kDateiname) {
            inhalt[eintrag.path().filename().string()] = ReadBytes(eintrag.path().string());
        }
    }
    return inhalt;
}

using BeispieldatenTest = CliFixture;

TEST_F(BeispieldatenTest, CreatesTheDataDirectoryWithASoundBusinessOfTheGivenSize) {
    const Ergebnis e = Lauf(kArgumente);
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out,
              "Beispieldaten in \xC2\xBB"
              "daten\xC2\xAB angelegt: 30 Kunden, 12 Weine, 3 Preislisten, 120 Rechnungen mit "
              "720 Posten (Stichtag 7.12.2026, Seed 7).\n");
    EXPECT_EQ(FileSize(Daten() + "/kunden.dat"), 30 * 528);
    EXPECT_EQ(FileSize(Daten() + "/rechnungen.dat"), 120 * 297);
    EXPECT_EQ(FileSize(Daten() + "/rechnungsposten.dat"), 720 * 22);
    const Ergebnis pruefung = Lauf({"pruefen"});
    EXPECT_EQ(pruefung.status, 0) << pruefung.out;
}

TEST_F(BeispieldatenTest, TheSameValuesGiveTheSameBytesAndAnotherSeedOthers) {
    ASSERT_EQ(Lauf(kArgumente).status, 0);
    TempDir zweiter;
    ASSERT_EQ(Lauf(kArgumente, zweiter.Path()).status, 0);
    EXPECT_EQ(Inhalt(zweiter / "daten"), Inhalt(Daten()));

    // The library gives the program's bytes.
    TempDir bibliothek;
    fs::create_directory(bibliothek / "daten");
    Beispieldaten::Umfang umfang;
    umfang.kunden = 30;
    umfang.weine = 12;
    umfang.preislisten = 3;
    umfang.rechnungen = 120;
    Beispieldaten::Erzeugen(bibliothek / "daten", umfang, 7, Datum(7, 12, 2026));
    EXPECT_EQ(Inhalt(bibliothek / "daten"), Inhalt(Daten()));

    TempDir anders;
    std::vector<std::string> argumente = kArgumente;
    argumente[10] = "8";
    ASSERT_EQ(Lauf(argumente, anders.Path()).status, 0);
    EXPECT_NE(ReadBytes(anders / "daten/kunden.dat"), ReadBytes(Daten() + "/kunden.dat"));
    EXPECT_NE(ReadBytes(anders / "daten/rechnungen.dat"), ReadBytes(Daten() + "/rechnungen.dat"));
}

TEST_F(BeispieldatenTest, RefusesADirectoryThatHoldsDataAndChangesNothing) {
    ASSERT_EQ(Lauf(kArgumente).status, 0);
    const Schnappschuss vorher = Aufnahme(Daten());
    const Ergebnis e = Lauf({"beispieldaten"});
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.err, HasSubstr("enth\xC3\xA4lt schon Kunden; Beispieldaten kommen nur in ein "
                                 "leeres Datenverzeichnis."));
    EXPECT_EQ(Aufnahme(Daten()), vorher);

    TempDir nurGruppen;
    fs::create_directory(nurGruppen / "daten");
    WriteBytes(nurGruppen / "daten/geogruppe.txt", "Stamm");
    const Ergebnis gruppen = Lauf({"beispieldaten"}, nurGruppen.Path());
    EXPECT_EQ(gruppen.status, 1);
    EXPECT_THAT(gruppen.err, HasSubstr("enth\xC3\xA4lt schon Kundengruppen"));
    EXPECT_EQ(Inhalt(nurGruppen / "daten").size(), 1u);
}

// A folder prepared by hand (an empty notes file, the grower's own seller
// data) gets the business beside what it holds: the seller data stay and the
// output says so, and nothing of the work is left behind; what a crash did
// leave behind is what the data check reports.
TEST_F(BeispieldatenTest, KeepsTheSellerDataAndLeavesNoFolderBehind) {
    fs::create_directory(Daten());
    WriteBytes(Daten() + "/merkzettel.dat", "");
    const std::string eigene = "Name=Weingut Sonnenhang\r\nIBAN=DE02120300000000202051\r\n";
    WriteBytes(Daten() + "/firmendaten.txt", eigene);

    const Ergebnis e = Lauf(kArgumente);
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_THAT(e.out, HasSubstr("\nDie vorhandenen Firmendaten in \xC2\xBB"
                                 "daten/firmendaten.txt\xC2\xAB wurden beibehalten; die des "
                                 "Beispielbetriebs wurden nicht eingetragen.\n"));
    EXPECT_EQ(ReadBytes(Daten() + "/firmendaten.txt"), eigene);
    EXPECT_EQ(ReadBytes(Daten() + "/merkzettel.dat"), "");
    for (const auto& eintrag : fs::directory_iterator(Daten())) {
        EXPECT_EQ(eintrag.path().filename().string().rfind(".beispieldaten-", 0), std::string::npos)
            << eintrag.path();
    }
    EXPECT_EQ(Lauf({"pruefen"}).status, 0);

    // Without seller data the sample's own are entered, and nothing is said.
    TempDir leer;
    const Ergebnis ohne = Lauf(kArgumente, leer.Path());
    ASSERT_EQ(ohne.status, 0) << ohne.err;
    EXPECT_THAT(ohne.out, Not(HasSubstr("Firmendaten")));
    EXPECT_THAT(ReadBytes(leer / "daten/firmendaten.txt"), HasSubstr("Weingut Rebenhof"));

    fs::create_directories(Daten() + "/.beispieldaten-Ab12cD");
    WriteBytes(Daten() + "/.beispieldaten-Ab12cD/merkzettel.dat", "");
    const Ergebnis pruefung = Lauf({"pruefen"});
    EXPECT_EQ(pruefung.status, 1);
    EXPECT_THAT(pruefung.out, HasSubstr("Im Datenverzeichnis liegt \xC2\xBB"
                                        "daten/.beispieldaten-Ab12cD\xC2\xAB, von einem "
                                        "abgebrochenen \xC2\xBBrebkontor-cli "
                                        "beispieldaten\xC2\xAB zur\xC3\xBC"
                                        "ckgelassen"));
}

TEST_F(BeispieldatenTest, AnEmptyBusinessIsFine) {
    const Ergebnis e = Lauf({"beispieldaten", "--kunden", "0", "--weine", "0", "--preislisten", "0",
                             "--rechnungen", "0", "--stichtag", "1.3.2025"});
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(FileSize(Daten() + "/kunden.dat"), 0);
    EXPECT_EQ(Lauf({"pruefen"}).status, 0);
}

// What a new user sees must look like a wine estate's books.
TEST_F(BeispieldatenTest, TheSampleLooksLikeAGermanWineEstate) {
    ASSERT_EQ(Lauf(kArgumente).status, 0);
    auto bestand = Oeffnen();
    Verwaltungen& v = bestand->GetVerwaltungen();

    const Customizer& c = *v.customizer;
    EXPECT_EQ(c.preiseInEuro, 1);
    EXPECT_EQ(c.Waehrung(), "EUR");
    EXPECT_FLOAT_EQ(c.mwst, 19.0f);

    ASSERT_EQ(v.geoGruppe->Count(), 9u);
    EXPECT_STREQ(v.geoGruppe->Name(0), "Vor Ort");
    const KundenVerwaltung& kunden = *v.kundenVerwaltung;
    ASSERT_EQ(kunden.Count(), 30u);
    std::string texte;
    for (unsigned i = 0; i < kunden.Count(); ++i) {
        const Kunde& k = kunden[i];
        texte += FixedText::Get(k.Vorname) + FixedText::Get(k.Nachname) +
                 FixedText::Get(k.Strasse) + FixedText::Get(k.Ort);
        EXPECT_EQ(k.nummer, static_cast<std::int32_t>(i + 1));
        EXPECT_FALSE(FixedText::Get(k.Nachname).empty());
        EXPECT_FALSE(FixedText::Get(k.Strasse).empty());
        EXPECT_GT(k.PLZ, 1000);
        EXPECT_FALSE(FixedText::Get(k.Ort).empty());
        EXPECT_LT(k.kundenGruppe, 9);
        EXPECT_GE(k.preisliste, 0);
        EXPECT_LT(k.preisliste, 3);
    }
    // Umlauts in the program's own encoding, none in UTF-8.
    EXPECT_TRUE(texte.find_first_of("\xE4\xF6\xFC\xDF") != std::string::npos);
    EXPECT_EQ(texte.find('\xC3'), std::string::npos);

    PreisVerwaltung& preise = *v.preisVerwaltung;
    ASSERT_EQ(preise.count, 3);
    EXPECT_STREQ(preise.GetPreislisteName(0), "Ab Hof");
    const WeinlistenVerwaltung& weine = *v.weinlistenVerwaltung;
    ASSERT_EQ(weine.Count(), 12u);
    for (int liste = 0; liste < 3; ++liste) {
        preise.SetPreisliste(liste);
        for (unsigned i = 0; i < weine.Count(); ++i) {
            const Preis* p = preise.GetPreis(weine[i].nummer);
            ASSERT_NE(p, nullptr);
            EXPECT_GT(p->preisEuro, 0.0f);
            EXPECT_GT(p->preisDM, 1.9f * p->preisEuro);
        }
    }
    for (unsigned i = 0; i < weine.Count(); ++i) {
        EXPECT_GE(weine[i].bestand, 0);
        EXPECT_GT(weine[i].gewicht, 600);
        EXPECT_THAT(FixedText::Get(weine[i].fuellmenge), ::testing::EndsWith(" l"));
        EXPECT_THAT(FixedText::Get(weine[i].bezeichnung),
                    ::testing::MatchesRegex("20[0-9][0-9]er .*"));
    }

    // Invoices over the last three years, in the order of their capture.
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    ASSERT_EQ(rv.Gespeichert(), 120);
    std::uint32_t vorher = 0;
    int bezahlt = 0;
    for (std::int32_t id = 0; id < 120; ++id) {
        const Rechnung r = *rv.GetRechnung(id);
        EXPECT_EQ(r.nummer, 1001 + id);
        EXPECT_GE(r.erfasstDatum, vorher);
        EXPECT_GE(r.erfasstDatum, Datum(7, 12, 2023).Julian());
        EXPECT_LE(r.erfasstDatum, Datum(7, 12, 2026).Julian());
        vorher = r.erfasstDatum;
        if (r.beglichen) {
            ++bezahlt;
            EXPECT_FLOAT_EQ(r.betragEingegangen, r.GetSumme(false));
        }
    }
    EXPECT_GT(bezahlt, 90);
}

}  // namespace
