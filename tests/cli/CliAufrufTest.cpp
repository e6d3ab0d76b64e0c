#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "cli/RebkontorCli.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

using AufrufTest = CliFixture;

TEST_F(AufrufTest, HelpInGermanForTheToolAndEveryCommand) {
    const Ergebnis hilfe = Lauf({"--help"});
    EXPECT_EQ(hilfe.status, 0);
    EXPECT_THAT(hilfe.out, StartsWith("Aufruf: rebkontor-cli [-C VERZEICHNIS] BEFEHL"));
    // UTF-8 on the terminal.
    EXPECT_THAT(hilfe.out, HasSubstr("das Datenverzeichnis pr\xC3\xBC"
                                     "fen"));
    EXPECT_EQ(hilfe.err, "");
    // Every command of the table is in the overview and has its own help.
    for (const RebkontorCli::Befehl& befehl : RebkontorCli::Befehle()) {
        EXPECT_THAT(hilfe.out, HasSubstr(std::string("\n  ") + befehl.name + " ")) << befehl.name;
        const Ergebnis e = Lauf({befehl.name, "--help"});
        EXPECT_EQ(e.status, 0) << befehl.name;
        EXPECT_THAT(e.out, StartsWith(std::string("Aufruf: rebkontor-cli ") + befehl.name))
            << befehl.name;
    }
    EXPECT_GE(RebkontorCli::Befehle().size(), 8u);
}

// Only command lines that draw PDF pages go to rebkontor-cli-pdf, the
// program with the toolkit: a stand-in beside a copy of the tool notes which
// reach it. Without it, those say what is missing, and the rest works.
TEST_F(AufrufTest, OnlyPdfPagesAreHandedToTheToolkitProgramAndAMissingOneIsNamed) {
    SampleDaten();
    TempDir programme;
    const std::string cli = programme / "rebkontor-cli";
    std::filesystem::copy_file(REBKONTOR_CLI, cli);

    const Ergebnis fehlt = Programm(cli, {"rechnung", "--id", "0", "--zugferd", "z.pdf"});
    EXPECT_EQ(fehlt.status, 1);
    EXPECT_EQ(fehlt.out, "");
    EXPECT_EQ(fehlt.err,
              "rebkontor-cli: Die PDF-Datei kann nicht geschrieben werden: das Hilfsprogramm "
              "rebkontor-cli-pdf fehlt neben \xC2\xBB" +
                  cli + "\xC2\xAB und in \xC2\xBB" +
                  std::filesystem::path(programme.Path()).parent_path().string() +
                  "/libexec/rebkontor\xC2\xAB.\n");
    EXPECT_FALSE(FileExists(Pfad("z.pdf")));

    const std::string protokoll = programme / "protokoll";
    const std::string stellvertreter = programme / "rebkontor-cli-pdf";
    WriteBytes(stellvertreter, "#!/bin/sh\necho \"$*\" >>'" + protokoll + "'\nexit 7\n");
    ASSERT_EQ(::chmod(stellvertreter.c_str(), 0755), 0);
    const std::string verzeichnis = dir_.Path();
    const std::vector<std::pair<std::vector<std::string>, bool>> faelle = {
        {{"rechnung", "--id", "0", "--pdf", "r.pdf"}, true},
        {{"-C", verzeichnis, "rechnung", "3", "--dokumente", "kunde", "--pdf=r.pdf"}, true},
        {{"rechnung", "3", "--xrechnung", "x.xml", "--zugferd", "z.pdf"}, true},
        {{"rechnung", "3", "--xrechnung", "x.xml"}, false},
        {{"rechnung", "3"}, false},
        {{"rechnung", "--pdf", "r.pdf", "--help"}, false},
        {{"suche", "--nummer", "1"}, false},
        {{"pdf"}, false},
    };
    for (const auto& [argumente, uebergeben] : faelle) {
        const std::string vorher = FileExists(protokoll) ? ReadBytes(protokoll) : "";
        const Ergebnis e = Programm(cli, argumente);
        const std::string aufruf = ::testing::PrintToString(argumente);
        std::string woerter;
        for (const std::string& wort : argumente) {
            woerter += (woerter.empty() ? "" : " ") + wort;
        }
        const std::string nachher = FileExists(protokoll) ? ReadBytes(protokoll) : "";
        if (uebergeben) {
            // With the same words, for the same working directory.
            EXPECT_EQ(e.status, 7) << aufruf;
            EXPECT_EQ(nachher, vorher + woerter + "\n") << aufruf;
        } else {
            EXPECT_NE(e.status, 7) << aufruf;
            EXPECT_EQ(nachher, vorher) << aufruf;
            EXPECT_THAT(e.err, Not(HasSubstr("rebkontor-cli-pdf"))) << aufruf;
        }
    }
}

// Installed, the helper is no command of its own: bin/rebkontor-cli finds it
// in libexec/rebkontor.
TEST_F(AufrufTest, TheInstalledToolFindsItsHelperInLibexec) {
    SampleDaten();
    TempDir prefix;
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "libexec/rebkontor");
    const std::string cli = prefix / "bin/rebkontor-cli";
    std::filesystem::copy_file(REBKONTOR_CLI, cli);
    const std::string protokoll = prefix / "protokoll";
    const std::string helfer = prefix / "libexec/rebkontor/rebkontor-cli-pdf";
    WriteBytes(helfer, "#!/bin/sh\necho \"$*\" >>'" + protokoll + "'\nexit 7\n");
    ASSERT_EQ(::chmod(helfer.c_str(), 0755), 0);

    const Ergebnis e = Programm(cli, {"rechnung", "3", "--pdf", "r.pdf"});
    EXPECT_EQ(e.status, 7) << e.err;
    EXPECT_EQ(ReadBytes(protokoll), "rechnung 3 --pdf r.pdf\n");
}

TEST_F(AufrufTest, WrongUsageIsExitStatusTwoWithAGermanMessageAndChangesNothing) {
    SampleDaten();
    const Schnappschuss vorher = Aufnahme(Daten());
    const std::vector<std::pair<std::vector<std::string>, std::string>> faelle = {
        {{}, "Es fehlt ein Befehl."},
        {{"drucken"},
         "Unbekannter Befehl \xC2\xBB"
         "drucken\xC2\xAB."},
        {{"-x", "pruefen"}, "Unbekannte Option"},
        {{"-C"}, "Die Option -C braucht ein Verzeichnis."},
        {{"flaschenliste"}, "Der Name der Datei f\xC3\xBCr die Flaschenliste fehlt."},
        {{"flaschenliste", "a.txt", "b.txt"},
         "\xC3\x9C"
         "berz\xC3\xA4hliges Argument"},
        {{"flaschenliste", "a.txt", "--erfassung", "31.2.2024", "1.3.2024"},
         "Ung\xC3\xBCltiges Datum \xC2\xBB"
         "31.2.2024\xC2\xAB"},
        {{"flaschenliste", "a.txt", "--datierung", "1.3.24", "1.4.2024"},
         "Ung\xC3\xBCltiges Datum"},
        {{"flaschenliste", "a.txt", "--datierung", "2.3.2024", "1.3.2024"},
         "endet vor seinem Beginn"},
        {{"flaschenliste", "a.txt", "--format", "pdf"}, "Unbekanntes Format"},
        {{"flaschenliste", "a.txt", "--datierung", "1.3.2024"}, "braucht 2 Werte"},
        {{"adressen", "a.csv", "--plz", "55x", "56000"}, "ist keine Zahl"},
        {{"adressen", "a.csv", "--plz", "56000", "55000"}, "endet vor seinem Beginn"},
        {{"adressen", "a.csv", "--gruppe", "Mainz", "--gruppe", "Worms"}, "mehrfach angegeben"},
        {{"suche"}, "genau eine der Optionen"},
        {{"suche", "--nummer", "5", "--betrag", "3"}, "genau eine der Optionen"},
        {{"suche", "--betrag", "0"},
         "gr\xC3\xB6\xC3\x9F"
         "er als 0"},
        {{"suche", "--betrag", "12;5"}, "ist kein Betrag"},
        {{"suche", "--nummer", "-3"}, "muss zwischen 0 und"},
        {{"suche", "--nummer", "1", "--wer"}, "Unbekannte Option \xC2\xBB--wer\xC2\xAB"},
        {{"rechnung", "5"}, "Die Option --pdf DATEI fehlt."},
        {{"rechnung", "--pdf", "r.pdf"}, "Die Rechnungsnummer (oder --id ID) fehlt."},
        {{"rechnung", "5", "--id", "3", "--pdf", "r.pdf"}, "nicht beides"},
        {{"rechnung", "5", "--pdf", "r.pdf", "--dokumente", "kunde,rechnung"},
         "Unbekanntes Dokument"},
        {{"pruefen", "jetzt"},
         "\xC3\x9C"
         "berz\xC3\xA4hliges Argument"},
        {{"beispieldaten", "--preislisten", "21"}, "zwischen 0 und 20"},
        {{"beispieldaten", "--kunden", "0"}, "mindestens einen Kunden"},
        {{"beispieldaten", "--weine", "2", "--rechnungen", "3", "--posten", "7"}, "Mehr Posten"},
        {{"beispieldaten", "--stichtag", "29.2.2025"}, "Ung\xC3\xBCltiges Datum"},
    };
    for (const auto& [argumente, meldung] : faelle) {
        const Ergebnis e = Lauf(argumente);
        const std::string aufruf = ::testing::PrintToString(argumente);
        EXPECT_EQ(e.status, 2) << aufruf;
        EXPECT_EQ(e.out, "") << aufruf;
        EXPECT_THAT(e.err, StartsWith("rebkontor-cli: ")) << aufruf;
        EXPECT_THAT(e.err, HasSubstr(meldung)) << aufruf;
        EXPECT_THAT(e.err, HasSubstr("--help\xC2\xAB zeigt die Hilfe.")) << aufruf;
    }
    EXPECT_EQ(Aufnahme(Daten()), vorher);
    EXPECT_FALSE(FileExists(Pfad("a.txt")));
}

TEST_F(AufrufTest, WithoutADataDirectoryEveryReadingCommandFailsAndCreatesNone) {
    const std::vector<std::vector<std::string>> befehle = {{"flaschenliste", "f.txt"},
                                                           {"preislisten", "p.txt"},
                                                           {"adressen", "a.csv"},
                                                           {"suche", "--nummer", "1"},
                                                           {"pruefen"},
                                                           {"rechnung", "1", "--pdf", "r.pdf"}};
    for (const auto& argumente : befehle) {
        const Ergebnis e = Lauf(argumente);
        EXPECT_EQ(e.status, 1) << argumente[0];
        EXPECT_THAT(e.err, HasSubstr("Das Datenverzeichnis \xC2\xBB"
                                     "daten\xC2\xAB gibt es nicht"))
            << argumente[0];
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path()));
}

TEST_F(AufrufTest, DashCWorksInTheGivenDirectoryLikeMake) {
    SampleDaten();
    TempDir anderswo;
    const Ergebnis e = Lauf({"-C", dir_.Path(), "preislisten", "export.txt"}, anderswo.Path());
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_TRUE(FileExists(Pfad("export.txt")));
    EXPECT_FALSE(FileExists(anderswo / "export.txt"));

    const Ergebnis fehlt = Lauf({"-C", dir_ / "gibt-es-nicht", "pruefen"});
    EXPECT_EQ(fehlt.status, 1);
    EXPECT_THAT(fehlt.err, HasSubstr("kann nicht gewechselt werden"));
}

TEST_F(AufrufTest, ReadingCommandsReadTheDataWhereItLiesWithoutATemporaryCopy) {
    SampleDaten();
    const Schnappschuss vorher = Aufnahme(Daten());
    // No temporary directory to be had: nothing is copied there.
    const std::vector<std::string> umgebung = {"TMPDIR=" + Pfad("gibt-es-nicht")};
    for (const std::vector<std::string>& argumente :
         std::vector<std::vector<std::string>>{{"suche", "--betrag", "100", "--abweichung", "5"},
                                               {"adressen", "a.csv"},
                                               {"preislisten", "p.txt"},
                                               {"flaschenliste", "f.txt"},
                                               {"pruefen"}}) {
        const Ergebnis e = Programm(REBKONTOR_CLI, argumente, "", umgebung);
        EXPECT_EQ(e.status, 0) << argumente[0] << ": " << e.err;
    }
    EXPECT_EQ(Aufnahme(Daten()), vorher);
    EXPECT_FALSE(std::filesystem::exists(Pfad("gibt-es-nicht")));
}

TEST_F(AufrufTest, ADataFileThatIsNoRegularFileStopsEveryCommand) {
    SampleDaten();
    std::filesystem::remove(Daten() + "/kunden.dat");
    std::filesystem::create_directory(Daten() + "/kunden.dat");
    const std::string text =
        "kunden.dat\xC2\xAB ist ein Verzeichnis und keine gew\xC3\xB6hnliche Datei.";
    const Ergebnis e = Lauf({"adressen", "a.csv"});
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.err, HasSubstr(text));
    EXPECT_FALSE(FileExists(Pfad("a.csv")));

    const Ergebnis pruefung = Lauf({"pruefen"});
    EXPECT_EQ(pruefung.status, 1);
    EXPECT_THAT(pruefung.err, HasSubstr(text));

    // A symbolic link to a file outside the folder, and a pipe, alike; the
    // pipe is never waited on.
    std::filesystem::remove(Daten() + "/kunden.dat");
    WriteBytes(Pfad("fremd.dat"), std::string(528, 'x'));
    std::filesystem::create_symlink(Pfad("fremd.dat"), Daten() + "/kunden.dat");
    const Ergebnis link = Lauf({"pruefen"});
    EXPECT_EQ(link.status, 1);
    EXPECT_THAT(link.err, HasSubstr("kunden.dat\xC2\xAB ist eine symbolische Verkn\xC3\xBCpfung"));
    std::filesystem::remove(Daten() + "/kunden.dat");
    std::filesystem::remove(Daten() + "/weinliste.dat");
    ASSERT_EQ(::mkfifo((Daten() + "/weinliste.dat").c_str(), 0600), 0);
    const Ergebnis fifo = Lauf({"flaschenliste", "f.txt"});
    EXPECT_EQ(fifo.status, 1);
    EXPECT_THAT(fifo.err, HasSubstr("weinliste.dat\xC2\xAB ist eine benannte Pipe (FIFO)"));
}

}  // namespace
