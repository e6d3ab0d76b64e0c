#include "cli/Handbuchseite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/RebkontorCli.h"

namespace {

using ::testing::HasSubstr;

// Each form a help text keeps becomes its roff counterpart, and nothing of
// the text is read by roff as a request or an escape.
TEST(HandbuchseiteTest, TheFormsOfAHelpTextBecomeSynopsisParagraphsAndLists) {
    Handbuchseite seite("rebkontor-cli", "Werkzeug", "1.1", "2026-12-07");
    seite.SetHilfe(
        "Aufruf: rebkontor-cli suche [--nummer N]\n"
        "                           [--betrag B]\n"
        "\n"
        "Sucht Rechnungen.\n"
        ".xls wird eine Tabelle, C:\\pfad bleibt.\n"
        "\n"
        "  --nummer N    die Nummer\n"
        "                oder ihr Anfang\n"
        "  -h            diese Hilfe\n"
        "\n"
        "  - erstens\n"
        "  - zweitens\n"
        "\n"
        "Beispiel:\n"
        "  rebkontor-cli suche --betrag 100\n");
    seite.SetSieheAuch({"rebkontor(1)", "man(1)"});
    EXPECT_EQ(seite.Roff(),
              ".\\\" -*- coding: UTF-8 -*-\n"
              ".\\\" Made from the program's --help texts; do not edit.\n"
              ".TH REBKONTOR\\-CLI 1 \"2026-12-07\" \"Rebkontor 1.1\" \"Rebkontor\"\n"
              ".nh\n"
              ".SH BEZEICHNUNG\nrebkontor\\-cli \\- Werkzeug\n"
              ".SH ÜBERSICHT\n.nf\nrebkontor\\-cli suche [\\-\\-nummer N]\n"
              "                   [\\-\\-betrag B]\n.fi\n"
              ".SH BESCHREIBUNG\n"
              ".PP\nSucht Rechnungen.\n\\&.xls wird eine Tabelle, C:\\epfad bleibt.\n"
              ".TP\n\\fB\\-\\-nummer N\\fR\ndie Nummer\noder ihr Anfang\n"
              ".TP\n\\fB\\-h\\fR\ndiese Hilfe\n"
              ".IP \\(bu 2\nerstens\n.IP \\(bu 2\nzweitens\n"
              ".PP\nBeispiel:\n.nf\n  rebkontor\\-cli suche \\-\\-betrag 100\n.fi\n"
              ".SH SIEHE AUCH\n.BR rebkontor (1) ,\n.BR man (1)\n");
}

// The tool's page is made from its own help: every command has a subsection
// with its help.
TEST(HandbuchseiteTest, TheToolsPageHoldsEveryCommandsHelp) {
    Handbuchseite seite("rebkontor-cli", "Werkzeug", "1.1", "2026-12-07");
    seite.SetHilfe(RebkontorCli::Uebersicht());
    std::vector<Handbuchseite::Unterabschnitt> befehle;
    for (const RebkontorCli::Befehl& befehl : RebkontorCli::Befehle()) {
        befehle.push_back({befehl.name, befehl.hilfe});
    }
    seite.SetUnterabschnitte("BEFEHLE", befehle);
    const std::string roff = seite.Roff();
    EXPECT_THAT(roff, HasSubstr(".SH BEFEHLE\n"));
    for (const RebkontorCli::Befehl& befehl : RebkontorCli::Befehle()) {
        EXPECT_THAT(roff, HasSubstr(".SS " + Handbuchseite::Maskiert(befehl.name) + "\n"));
    }
}

}  // namespace
