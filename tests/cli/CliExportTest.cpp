#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "documents/Adressdatei.h"
#include "documents/Auswertung.h"
#include "documents/Flaschenliste.h"
#include "documents/PreislistenExport.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;

namespace {

// Every reading command must leave the data directory exactly as it was:
// the same files with the same bytes, not even rewritten.
class ExportTest : public CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        SampleDaten();
        vorher_ = Aufnahme(Daten());
    }
    void TearDown() override {
        if (!IsSkipped()) {
            EXPECT_EQ(Aufnahme(Daten()), vorher_) << "the data directory changed";
        }
    }

    // The bottle list the library writes with the settings' periods and
    // the flags given.
    std::string Flaschenliste(const std::string& name, int format, bool mitErfassung,
                              bool mitDatierung, Datum von1 = Datum(), Datum bis1 = Datum(),
                              Datum von2 = Datum(), Datum bis2 = Datum()) {
        Bibliothek bibliothek(Daten());
        Customizer& c = *bibliothek.V().customizer;
        c.filterMit1 = mitErfassung;
        c.filterMit2 = mitDatierung;
        if (von1.IsValid()) {
            c.filterVon1 = static_cast<std::int32_t>(von1.Julian());
            c.filterBis1 = static_cast<std::int32_t>(bis1.Julian());
        }
        if (von2.IsValid()) {
            c.filterVon2 = static_cast<std::int32_t>(von2.Julian());
            c.filterBis2 = static_cast<std::int32_t>(bis2.Julian());
        }
        if (format == ::Flaschenliste::kText) {
            ::Flaschenliste::Eintraege eintraege;
            bibliothek.V().rechnungsVerwaltung->GetFlaschenPosten(eintraege);
            return ::Flaschenliste::Text(name, eintraege, c);
        }
        TempDir ziel;
        EXPECT_TRUE(
            ::Flaschenliste::Write(*bibliothek.V().rechnungsVerwaltung, c, ziel / name, format));
        return ReadBytes(ziel / name);
    }

    Schnappschuss vorher_;
};

TEST_F(ExportTest, BottleListWithTheStoredPeriodsAsEveryStartUsesThem) {
    const Ergebnis e = Lauf({"flaschenliste", "flaschen.txt"});
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out + e.err, "");
    const std::string erwartet = Flaschenliste("flaschen.txt", ::Flaschenliste::kText, false, true);
    EXPECT_EQ(ReadBytes(Pfad("flaschen.txt")), erwartet);
    EXPECT_THAT(erwartet, HasSubstr("Wein Nummer ("));
}

TEST_F(ExportTest, BottleListPeriodsSwitchOnExactlyThoseGiven) {
    const Datum von(1, 1, 2025);
    const Datum bis(30, 6, 2026);
    ASSERT_EQ(Lauf({"flaschenliste", "erfasst.txt", "--erfassung", "1.1.2025", "30.6.2026"}).status,
              0);
    EXPECT_EQ(ReadBytes(Pfad("erfasst.txt")),
              Flaschenliste("erfasst.txt", ::Flaschenliste::kText, true, false, von, bis));

    ASSERT_EQ(Lauf({"flaschenliste", "beide.txt", "--datierung", "01.01.2025", "30.06.2026",
                    "--erfassung", "1.1.2025", "30.6.2026"})
                  .status,
              0);
    EXPECT_EQ(ReadBytes(Pfad("beide.txt")),
              Flaschenliste("beide.txt", ::Flaschenliste::kText, true, true, von, bis, von, bis));
    EXPECT_THAT(ReadBytes(Pfad("beide.txt")),
                HasSubstr("f\xFCr den Zeitraum vom 1.1.2025 bis zum 30.6.2026"));
}

TEST_F(ExportTest, BottleListFormatFollowsTheSuffixUnlessGiven) {
    const std::string tabelle = Flaschenliste("x.xls", ::Flaschenliste::kTabelle, false, true);
    ASSERT_EQ(Lauf({"flaschenliste", "liste.XLS"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("liste.XLS")), tabelle);
    ASSERT_EQ(Lauf({"flaschenliste", "liste.dat", "--format", "xls"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("liste.dat")), tabelle);
    ASSERT_EQ(Lauf({"flaschenliste", "text.xls", "--format=text"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("text.xls")),
              Flaschenliste("text.xls", ::Flaschenliste::kText, false, true));
}

TEST_F(ExportTest, StatisticsAreTheDialogsTablesInEveryFormatAndRefuseBadCalls) {
    const Datum von(1, 1, 2025);
    const Datum bis(7, 12, 2026);
    Bibliothek bibliothek(Daten());
    const Auswertung zahlen = Auswertung::Berechnen(bibliothek.V(), von, bis);
    ASSERT_GT(zahlen.rechnungen, 0U);
    const std::pair<const char*, Auswertung::Ansicht> arten[] = {
        {"umsatz", Auswertung::Ansicht::Umsatz},
        {"weine", Auswertung::Ansicht::Weine},
        {"kunden", Auswertung::Ansicht::Kunden},
        {"bestand", Auswertung::Ansicht::Bestand}};
    for (const auto& [art, ansicht] : arten) {
        SCOPED_TRACE(art);
        const Tabelle tabelle = zahlen.TabelleVon(ansicht);
        ASSERT_FALSE(tabelle.zeilen.empty());
        const std::string name = std::string(art) + ".csv";
        const Ergebnis csv =
            Lauf({"auswertung", "--art", art, "--von", "1.1.2025", "--bis", "07.12.2026", name});
        ASSERT_EQ(csv.status, 0) << csv.err;
        EXPECT_EQ(ReadBytes(Pfad(name)), tabelle.Csv());
        const Ergebnis aus = Lauf({"auswertung", "--art", art, "--von", "1.1.2025", "--bis",
                                   "7.12.2026", "--format", "csv", "-"});
        EXPECT_EQ(aus.out, tabelle.Csv());
        const Ergebnis text =
            Lauf({"auswertung", "--art", art, "--von", "1.1.2025", "--bis", "7.12.2026"});
        EXPECT_THAT(text.out,
                    ::testing::StartsWith(CodePage::Cp1252ToUtf8(tabelle.Klartext("\n"))));
        const std::string mappe = std::string(art) + ".xlsx";
        ASSERT_EQ(
            Lauf({"auswertung", "--art", art, "--von", "1.1.2025", "--bis", "7.12.2026", mappe})
                .status,
            0);
        EXPECT_THAT(ReadBytes(Pfad(mappe)), ::testing::StartsWith("PK\x03\x04"));
    }

    const Ergebnis rueckwaerts =
        Lauf({"auswertung", "--art", "weine", "--von", "2.1.2026", "--bis", "1.1.2026"});
    EXPECT_EQ(rueckwaerts.status, 2);
    EXPECT_THAT(rueckwaerts.err, HasSubstr("Der Zeitraum endet vor seinem Beginn"));
    EXPECT_EQ(
        Lauf({"auswertung", "--art", "flaschen", "--von", "1.1.2026", "--bis", "2.1.2026"}).status,
        2);
    EXPECT_EQ(Lauf({"auswertung", "--art", "weine", "--von", "1.1.2026"}).status, 2);
    EXPECT_EQ(Lauf({"auswertung", "--art", "weine", "--von", "1.1.2026", "--bis", "2.1.2026",
                    "--format", "xlsx", "-"})
                  .status,
              2);
    EXPECT_FALSE(FileExists(Pfad("-")));

    // A period without invoices says so under its empty table.
    const Ergebnis leer =
        Lauf({"auswertung", "--art", "umsatz", "--von", "1.1.1990", "--bis", "31.1.1990"});
    EXPECT_EQ(leer.status, 0);
    EXPECT_THAT(leer.out, HasSubstr("Keine Rechnungen im Zeitraum"));

    // The bottle list as a workbook, by its suffix or by the format given.
    ASSERT_EQ(Lauf({"flaschenliste", "liste.xlsx"}).status, 0);
    EXPECT_THAT(ReadBytes(Pfad("liste.xlsx")), ::testing::StartsWith("PK\x03\x04"));
    ASSERT_EQ(Lauf({"flaschenliste", "liste.dat", "--format", "xlsx"}).status, 0);
    EXPECT_THAT(ReadBytes(Pfad("liste.dat")), ::testing::StartsWith("PK\x03\x04"));
    EXPECT_EQ(Lauf({"flaschenliste", "--format", "xlsx", "-"}).status, 2);
}

TEST_F(ExportTest, BottleListNamesAFileWithUmlautsInItsOwnEncoding) {
    ASSERT_EQ(Lauf({"flaschenliste", "M\xC3\xA4rz.txt"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("M\xC3\xA4rz.txt")),
              Flaschenliste("M\xE4rz.txt", ::Flaschenliste::kText, false, true));
}

TEST_F(ExportTest, PriceListsAsTheWindowExportsThem) {
    ASSERT_EQ(Lauf({"preislisten", Pfad("preise.txt")}).status, 0);
    Bibliothek bibliothek(Daten());
    TempDir ziel;
    ASSERT_TRUE(PreislistenExport(ziel / "preise.txt", bibliothek.V()));
    EXPECT_EQ(ReadBytes(Pfad("preise.txt")), ReadBytes(ziel / "preise.txt"));
    EXPECT_EQ(FileSize(Pfad("preise.txt")) > 0, true);
}

TEST_F(ExportTest, AddressesOfAllOfAGroupAndOfAPostcodeRange) {
    Bibliothek bibliothek(Daten());
    const KundenVerwaltung& kunden = *bibliothek.V().kundenVerwaltung;
    auto erwartet = [&](bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t von,
                        std::uint32_t bis) {
        TempDir ziel;
        EXPECT_TRUE(
            Adressdatei::Write(kunden, ziel / "a.csv", nachGruppe, nachPLZ, gruppe, von, bis));
        return ReadBytes(ziel / "a.csv");
    };
    ASSERT_EQ(Lauf({"adressen", "alle.csv"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("alle.csv")), erwartet(false, false, 0, 0, 0));

    // "Rheingau" is group 7 of the sample business.
    ASSERT_EQ(Lauf({"adressen", "gruppe.csv", "--gruppe", "Rheingau"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("gruppe.csv")), erwartet(true, false, 7, 0, 0));

    ASSERT_EQ(Lauf({"adressen", "plz.csv", "--plz", "01067", "55299"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("plz.csv")), erwartet(false, true, 0, 1067, 55299));
    EXPECT_NE(ReadBytes(Pfad("plz.csv")), ReadBytes(Pfad("alle.csv")));

    ASSERT_EQ(
        Lauf({"adressen", "beide.csv", "--plz", "55000", "55999", "--gruppe", "Mainz"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("beide.csv")), erwartet(true, true, 1, 55000, 55999));
}

TEST_F(ExportTest, AGroupNameArrivesInUtf8AndIsComparedInTheFilesEncoding) {
    {
        auto bestand = Oeffnen();
        bestand->GetVerwaltungen().geoGruppe->AddGeoGruppe(
            "S\xFC"
            "d");
        KundenVerwaltung& kunden = *bestand->GetVerwaltungen().kundenVerwaltung;
        kunden[3].kundenGruppe = 9;
        kunden[5].kundenGruppe = 9;
        kunden.Flush();
    }
    vorher_ = Aufnahme(Daten());
    ASSERT_EQ(Lauf({"adressen", "sued.csv", "--gruppe",
                    "S\xC3\xBC"
                    "d"})
                  .status,
              0);
    Bibliothek bibliothek(Daten());
    const KundenVerwaltung& kunden = *bibliothek.V().kundenVerwaltung;
    const std::string text = ReadBytes(Pfad("sued.csv"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_THAT(text, HasSubstr(kunden[3].Strasse));
    EXPECT_THAT(text, HasSubstr(kunden[5].Strasse));
}

TEST_F(ExportTest, AnUnknownGroupIsAnErrorAndWritesNothing) {
    const Ergebnis e = Lauf({"adressen", "a.csv", "--gruppe", "Nirgendwo"});
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.err, HasSubstr("Die Kundengruppe \xC2\xBBNirgendwo\xC2\xAB gibt es nicht."));
    EXPECT_THAT(e.err, HasSubstr("\xC2\xBBVor Ort\xC2\xAB"));
    EXPECT_FALSE(FileExists(Pfad("a.csv")));
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsAFailure) {
    for (const std::vector<std::string>& argumente :
         std::vector<std::vector<std::string>>{{"flaschenliste", "fehlt/f.txt"},
                                               {"flaschenliste", "fehlt/f.xls"},
                                               {"preislisten", "fehlt/p.txt"},
                                               {"adressen", "fehlt/a.csv"}}) {
        const Ergebnis e = Lauf(argumente);
        EXPECT_EQ(e.status, 1) << argumente[0];
        EXPECT_THAT(e.err, HasSubstr("konnte nicht geschrieben werden")) << argumente[0];
    }
}

TEST_F(ExportTest, NoExportWritesIntoTheDataDirectoryOrOverWhatIsNoRegularFile) {
    namespace fs = std::filesystem;
    // Ways into the data directory: its own names, a link to it, a second
    // name of a data file.
    fs::create_directory_symlink("daten", Pfad("ablage"));
    fs::create_hard_link(Daten() + "/kunden.dat", Pfad("kunden-kopie.csv"));
    // Things that are no file of their own.
    WriteBytes(Pfad("fremd.txt"), "fremd");
    fs::create_symlink(Pfad("fremd.txt"), Pfad("verweis.txt"));
    ASSERT_EQ(::mkfifo(Pfad("fifo.txt").c_str(), 0600), 0);
    fs::create_directory(Pfad("ordner.txt"));
    // Another business's data, wherever it lies: its record files, or only
    // the lock a program holds on it.
    fs::create_directories(Pfad("nachbar/daten"));
    fs::copy_file(Daten() + "/kunden.dat", Pfad("nachbar/daten/kunden.dat"));
    fs::create_directories(Pfad("neuer Betrieb/daten"));
    WriteBytes(Pfad("neuer Betrieb/daten/rebkontor.lock"), "");
    vorher_ = Aufnahme(Daten());
    const Schnappschuss nachbar = Aufnahme(Pfad("nachbar"));

    const std::vector<std::pair<std::string, std::string>> ziele = {
        {"daten/kunden.dat", "sie l\xC3\xA4ge im Datenverzeichnis"},
        {"daten/neu.csv", "sie l\xC3\xA4ge im Datenverzeichnis"},
        {"./daten/../daten/rechnungen.dat", "sie l\xC3\xA4ge im Datenverzeichnis"},
        {"ablage/export.txt", "sie l\xC3\xA4ge im Datenverzeichnis"},
        {Pfad("kunden-kopie.csv"), "sie l\xC3\xA4ge im Datenverzeichnis"},
        {Pfad("nachbar/daten/kunden.dat"),
         "sie l\xC3\xA4ge im Datenverzeichnis \xC2\xBB" + Pfad("nachbar/daten") + "\xC2\xAB"},
        {"nachbar/daten/neu.csv", "sie l\xC3\xA4ge im Datenverzeichnis \xC2\xBBnachbar/daten"},
        {"neuer Betrieb/daten/adressen.csv", "sie l\xC3\xA4ge im Datenverzeichnis"},
        {"verweis.txt", "dort steht eine symbolische Verkn\xC3\xBCpfung"},
        {"fifo.txt", "dort steht eine Pipe (FIFO)"},
        {"ordner.txt", "dort steht ein Verzeichnis"},
        {"/dev/null", "dort steht ein Ger\xC3\xA4t"},
    };
    for (const auto& [ziel, grund] : ziele) {
        for (const std::vector<std::string>& argumente :
             std::vector<std::vector<std::string>>{{"adressen", ziel},
                                                   {"preislisten", ziel},
                                                   {"flaschenliste", ziel},
                                                   {"flaschenliste", "--format", "xls", ziel},
                                                   {"rechnung", "1", "--pdf", ziel}}) {
            const Ergebnis e = Lauf(argumente);
            EXPECT_EQ(e.status, 1) << argumente[0] << " " << ziel;
            EXPECT_THAT(e.err, HasSubstr(grund)) << argumente[0] << " " << ziel;
        }
    }
    EXPECT_EQ(Aufnahme(Pfad("nachbar")), nachbar);
    EXPECT_FALSE(fs::exists(Pfad("neuer Betrieb/daten/adressen.csv")));
    EXPECT_EQ(ReadBytes(Pfad("fremd.txt")), "fremd");
    EXPECT_TRUE(fs::is_symlink(Pfad("verweis.txt")));
    EXPECT_TRUE(fs::is_fifo(Pfad("fifo.txt")));
    EXPECT_TRUE(fs::is_empty(Pfad("ordner.txt")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(ExportTest, DashIsTheStandardOutputWithTheBytesOfTheFile) {
    ASSERT_EQ(Lauf({"adressen", "a.csv"}).status, 0);
    const Ergebnis adressen = Lauf({"adressen", "-"});
    EXPECT_EQ(adressen.status, 0) << adressen.err;
    EXPECT_EQ(adressen.out, ReadBytes(Pfad("a.csv")));

    ASSERT_EQ(Lauf({"preislisten", "p.txt"}).status, 0);
    const Ergebnis preise = Lauf({"preislisten", "-"});
    EXPECT_EQ(preise.status, 0) << preise.err;
    EXPECT_EQ(preise.out, ReadBytes(Pfad("p.txt")));

    const Ergebnis liste = Lauf({"flaschenliste", "-"});
    EXPECT_EQ(liste.status, 0) << liste.err;
    EXPECT_THAT(liste.out, ::testing::StartsWith("Datei: -\r\n\r\nFlaschenliste f\xFCr den"));
    EXPECT_EQ(Lauf({"flaschenliste", "--format", "xls", "-"}).status, 2);
    EXPECT_FALSE(FileExists(Pfad("-")));
}

TEST_F(ExportTest, AnExportNeverUsesAnotherWritersTemporaryFile) {
    // Another program exporting to the same name at the same moment.
    WriteBytes(Pfad("a.csv.tmp"), "halb geschrieben");
    ASSERT_EQ(Lauf({"adressen", "a.csv"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("a.csv.tmp")), "halb geschrieben");
    EXPECT_THAT(ReadBytes(Pfad("a.csv")), ::testing::StartsWith("Anrede,Vorname"));
    // And leaves no file of its own behind.
    std::vector<std::string> namen;
    for (const auto& eintrag : std::filesystem::directory_iterator(dir_.Path())) {
        namen.push_back(eintrag.path().filename().string());
    }
    std::sort(namen.begin(), namen.end());
    EXPECT_EQ(namen, (std::vector<std::string>{"a.csv", "a.csv.tmp", "daten"}));
}

// ----------------------------------------------------------------- suche --

using SucheTest = ExportTest;

std::string Zeilen(GenericList<Rechnung>& liste, bool inDM) {
    std::string text;
    for (unsigned i = 0; i < liste.Count(); ++i) {
        const Rechnung& r = liste[i];
        char summe[32];
        std::snprintf(summe, sizeof summe, "%0.2f", static_cast<double>(r.GetSumme(inDM)));
        const bool ohne = r.datum == Datum::k1901 || r.datum == 0;
        text += std::to_string(r.id) + ";" + std::to_string(r.nummer) + ";" +
                std::to_string(r.kunde) + ";" + (ohne ? "N/A" : Datum(r.datum).Text()) + ";" +
                summe + "\n";
    }
    return text;
}

TEST_F(SucheTest, ByNumberAndByAmountNewestFirstInTheSettingsCurrency) {
    Bibliothek bibliothek(Daten());
    RechnungsVerwaltung& rv = *bibliothek.V().rechnungsVerwaltung;
    const std::int32_t nummer = rv.GetRechnung(123)->nummer;
    GenericList<Rechnung> nachNummer;
    rv.GetRechnungenNachNummerOderBetrag(nummer, 0.0f, 0.0f, nachNummer);
    ASSERT_EQ(nachNummer.Count(), 1u);
    const Ergebnis e = Lauf({"suche", "--nummer", std::to_string(nummer)});
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out, Zeilen(nachNummer, false));

    const float betrag = rv.GetRechnung(200)->GetSumme(false);
    GenericList<Rechnung> nachBetrag;
    rv.GetRechnungenNachNummerOderBetrag(-1, betrag, 20.0f, nachBetrag);
    ASSERT_GT(nachBetrag.Count(), 1u);
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", static_cast<double>(betrag));
    std::string komma = text;
    komma[komma.find('.')] = ',';
    const Ergebnis b = Lauf({"suche", "--betrag", komma, "--abweichung", "20"});
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(b.out, Zeilen(nachBetrag, false));
    EXPECT_GT(nachBetrag[0].id, nachBetrag[1].id);
}

TEST_F(SucheTest, TotalsInDmWhenTheSettingsSumInDm) {
    {
        auto bestand = Oeffnen();
        bestand->GetVerwaltungen().customizer->preiseInEuro = 0;
    }
    vorher_ = Aufnahme(Daten());
    Bibliothek bibliothek(Daten());
    GenericList<Rechnung> liste;
    const std::int32_t nummer = bibliothek.V().rechnungsVerwaltung->GetRechnung(7)->nummer;
    bibliothek.V().rechnungsVerwaltung->GetRechnungenNachNummerOderBetrag(nummer, 0, 0, liste);
    const std::string zeile = Zeilen(liste, true);
    EXPECT_EQ(Lauf({"suche", "--nummer", std::to_string(nummer)}).out, zeile);
    EXPECT_NE(zeile, Zeilen(liste, false));
}

TEST_F(SucheTest, AnUndatedInvoiceShowsNaAndADeletedOneNeverShows) {
    std::int32_t ohneDatum = 0;
    std::int32_t geloescht = 0;
    {
        auto bestand = Oeffnen();
        RechnungsVerwaltung& rv = *bestand->GetVerwaltungen().rechnungsVerwaltung;
        Rechnung* r = rv.GetRechnung(50);
        r->datum = Datum::k1901;
        ohneDatum = r->nummer;
        rv.UpdateCurrentRechnung();
        geloescht = rv.GetRechnung(60)->nummer;
        rv.DeleteRechnung(60, false);
    }
    vorher_ = Aufnahme(Daten());
    const Ergebnis e = Lauf({"suche", "--nummer", std::to_string(ohneDatum)});
    EXPECT_THAT(e.out, ::testing::MatchesRegex("50;" + std::to_string(ohneDatum) +
                                               ";[0-9]+;N/A;[0-9]+\\.[0-9][0-9]\n"));
    const Ergebnis g = Lauf({"suche", "--nummer", std::to_string(geloescht)});
    EXPECT_EQ(g.status, 0);
    EXPECT_EQ(g.out, "");
}

// ------------------------------------------------------- too much for xls --

TEST_F(CliFixture, ASpreadsheetBottleListThatCannotHoldEverythingIsAFailureThatSaysHowMuch) {
    ASSERT_EQ(Lauf({"beispieldaten", "--kunden", "50", "--weine", "400", "--preislisten", "1",
                    "--rechnungen", "1000", "--posten", "8000", "--stichtag", "7.12.2026"})
                  .status,
              0);
    const std::vector<std::string> zeitraum = {"--datierung", "1.1.1990", "31.12.2030"};
    std::vector<std::string> tabelle = {"flaschenliste", "--format", "xls", "f.xls"};
    tabelle.insert(tabelle.begin() + 1, zeitraum.begin(), zeitraum.end());
    const Ergebnis e = Lauf(tabelle);
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.err, ::testing::StartsWith(
                           "rebkontor-cli: Die Tabelle ist unvollst\xC3\xA4ndig: sie fasst "
                           "h\xC3\xB6"
                           "chstens 256 Weine und je Wein 16379 Posten. Es fehlen "));
    EXPECT_THAT(e.err, HasSubstr(" der 390 Weine). Die Flaschenliste als Textdatei "
                                 "enth\xC3\xA4lt alle Posten.\n"));
    // What fits is there: the first 256 wines.
    const std::string bytes = ReadBytes(Pfad("f.xls"));
    EXPECT_NE(bytes.find("Wein "), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x0A\0\0\0", 4));

    std::vector<std::string> text = {"flaschenliste", "f.txt"};
    text.insert(text.begin() + 1, zeitraum.begin(), zeitraum.end());
    EXPECT_EQ(Lauf(text).status, 0);
}

// ------------------------------------------------------------ empty case --

TEST_F(CliFixture, EveryCommandWorksOnAnEmptyDataDirectoryAndCreatesNothingInIt) {
    std::filesystem::create_directory(Daten());
    ASSERT_EQ(Lauf({"flaschenliste", "f.txt"}).status, 0);
    EXPECT_THAT(ReadBytes(Pfad("f.txt")),
                ::testing::StartsWith("Datei: f.txt\r\n\r\nFlaschenliste f\xFCr den Zeitraum vom"));
    ASSERT_EQ(Lauf({"preislisten", "p.txt"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("p.txt")), "");
    ASSERT_EQ(Lauf({"adressen", "a.csv"}).status, 0);
    EXPECT_EQ(ReadBytes(Pfad("a.csv")),
              "Anrede,Vorname,Nachname,Strasse,PLZ,Ort,Telefon,Fax,EMail\r\n");
    const Ergebnis suche = Lauf({"suche", "--betrag", "10"});
    EXPECT_EQ(suche.status, 0);
    EXPECT_EQ(suche.out, "");
    const Ergebnis pruefen = Lauf({"pruefen"});
    EXPECT_EQ(pruefen.status, 0);
    EXPECT_EQ(pruefen.out,
              "Pr\xC3\xBC"
              "fung von \xC2\xBB"
              "daten\xC2\xAB: keine Probleme gefunden.\n");
    const Ergebnis rechnung = Lauf({"rechnung", "1", "--pdf", "r.pdf"});
    EXPECT_EQ(rechnung.status, 1);
    EXPECT_THAT(rechnung.err, HasSubstr("Es gibt keine Rechnung mit der Nummer 1."));
    EXPECT_TRUE(std::filesystem::is_empty(Daten()));
}

}  // namespace
