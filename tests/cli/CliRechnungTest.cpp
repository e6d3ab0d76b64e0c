#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "documents/PrintRechnung.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// An invoice's documents as one PDF. Its bytes carry the moment of writing,
// so the test reads the file back with poppler-utils: the pages, in order,
// as many as the layout has for each document.
class RechnungTest : public CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (Programm("pdfinfo", {"-v"}).status != 0) {
            GTEST_SKIP() << "pdfinfo (poppler-utils) is missing";
        }
        SampleDaten();
        const Ergebnis probe = Lauf({"rechnung", "--id", "0", "--pdf", Pfad("probe.pdf")});
        if (probe.err.find("rebkontor-cli-pdf fehlt") != std::string::npos) {
            GTEST_SKIP() << "rebkontor-cli-pdf is not built";
        }
        ASSERT_EQ(probe.status, 0) << probe.err;
    }

    int Seiten(const std::string& pdf) {
        const Ergebnis info = Programm("pdfinfo", {pdf});
        const std::size_t at = info.out.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.out.c_str() + at + 6);
    }
    std::string Text(const std::string& pdf, int seite) {
        const std::string s = std::to_string(seite);
        return Programm("pdftotext", {"-layout", "-f", s, "-l", s, pdf, "-"}).out;
    }
    // How many pages the layout has for the document of the invoice.
    int SeitenVon(std::int32_t art, std::int32_t id) {
        Bibliothek bibliothek(Daten());
        Verwaltungen& v = bibliothek.V();
        const Rechnung r = *v.rechnungsVerwaltung->GetRechnung(id);
        return PrintRechnung(art, false, &v, v.kundenVerwaltung->GetKunde(r.kunde), &r).Seiten();
    }
    std::string Nachname(std::int32_t id) {
        Bibliothek bibliothek(Daten());
        Verwaltungen& v = bibliothek.V();
        const Kunde* k =
            v.kundenVerwaltung->GetKunde(v.rechnungsVerwaltung->GetRechnung(id)->kunde);
        return CodePage::Cp1252ToUtf8(FixedText::Get(k->Nachname));
    }
};

TEST_F(RechnungTest, AllThreeDocumentsWithEveryPageInTheirOrder) {
    std::int32_t nummer = 0;
    {
        // Every wine on one invoice: more items than one page holds.
        auto bestand = Oeffnen();
        Verwaltungen& v = bestand->GetVerwaltungen();
        Rechnung* r = v.rechnungsVerwaltung->GetRechnung(77);
        nummer = r->nummer;
        for (unsigned i = 0; i < v.weinlistenVerwaltung->Count(); ++i) {
            const std::int32_t wein = (*v.weinlistenVerwaltung)[i].nummer;
            if (r->FindPosten(wein) == nullptr) {
                v.rechnungsVerwaltung->SetPosten(*r, wein, 10.0f, 5.0f, 6);
            }
        }
    }
    const Schnappschuss vorher = Aufnahme(Daten());
    const Ergebnis e = Lauf({"rechnung", std::to_string(nummer), "--pdf", "alle.pdf"});
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out + e.err, "");
    EXPECT_EQ(Aufnahme(Daten()), vorher);

    const int pack = SeitenVon(PrintRechnung::kPackliste, 77);
    const int kunde = SeitenVon(PrintRechnung::kKundenRechnung, 77);
    const int intern = SeitenVon(PrintRechnung::kInterneRechnung, 77);
    ASSERT_GT(pack, 1);
    ASSERT_GT(kunde, 1);
    const std::string pdf = Pfad("alle.pdf");
    ASSERT_EQ(Seiten(pdf), pack + kunde + intern);
    for (int seite = 1; seite <= pack; ++seite) {
        EXPECT_THAT(Text(pdf, seite), HasSubstr("PACKLISTE")) << seite;
    }
    for (int seite = pack + 1; seite <= pack + kunde; ++seite) {
        EXPECT_THAT(Text(pdf, seite), HasSubstr("Rechnung Nr.: " + std::to_string(nummer)));
        EXPECT_THAT(Text(pdf, seite), Not(HasSubstr("PACKLISTE")));
    }
    EXPECT_THAT(Text(pdf, pack + kunde + 1),
                HasSubstr("Rechnung Nr.   : " + std::to_string(nummer)));

    // Chosen documents keep the fixed order, whatever order they are named in.
    ASSERT_EQ(Lauf({"rechnung", std::to_string(nummer), "--pdf", "zwei.pdf", "--dokumente",
                    "intern,packliste"})
                  .status,
              0);
    ASSERT_EQ(Seiten(Pfad("zwei.pdf")), pack + intern);
    EXPECT_THAT(Text(Pfad("zwei.pdf"), 1), HasSubstr("PACKLISTE"));
    EXPECT_THAT(Text(Pfad("zwei.pdf"), pack + 1), HasSubstr("Rechnung Nr.   : "));
}

TEST_F(RechnungTest, AmountsKeepTheirDecimalPointUnderAGermanDesktopLocale) {
    const Ergebnis e = Programm(
        REBKONTOR_CLI, {"rechnung", "--id", "12", "--pdf", "de.pdf", "--dokumente", "kunde"}, "",
        {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
    ASSERT_EQ(e.status, 0) << e.err;
    const std::string text = Text(Pfad("de.pdf"), Seiten(Pfad("de.pdf")));
    EXPECT_THAT(text, ::testing::ContainsRegex("ENDBETRAG +EUR [0-9]+\\.[0-9][0-9]"));
}

TEST_F(RechnungTest, ANumberPicksTheNewestInvoiceWithItAndAnIdPicksExactlyOne) {
    std::int32_t aelter = 20;
    std::int32_t neuer = 30;
    while (Nachname(aelter) == Nachname(neuer)) {
        ++neuer;
    }
    std::int32_t nummer = 0;
    {
        auto bestand = Oeffnen();
        RechnungsVerwaltung& rv = *bestand->GetVerwaltungen().rechnungsVerwaltung;
        nummer = rv.GetRechnung(aelter)->nummer;
        rv.GetRechnung(neuer)->nummer = nummer;
        rv.UpdateCurrentRechnung();
    }
    ASSERT_EQ(
        Lauf({"rechnung", std::to_string(nummer), "--pdf", "n.pdf", "--dokumente", "packliste"})
            .status,
        0);
    EXPECT_THAT(Text(Pfad("n.pdf"), 1), HasSubstr(Nachname(neuer)));
    EXPECT_THAT(Text(Pfad("n.pdf"), 1), Not(HasSubstr(Nachname(aelter))));

    ASSERT_EQ(Lauf({"rechnung", "--id", std::to_string(aelter), "--pdf", "i.pdf", "--dokumente",
                    "packliste"})
                  .status,
              0);
    EXPECT_THAT(Text(Pfad("i.pdf"), 1), HasSubstr(Nachname(aelter)));
}

TEST_F(RechnungTest, DeletedAndMissingInvoicesAndUnwritableFilesAreFailures) {
    std::int32_t nummer = 0;
    {
        auto bestand = Oeffnen();
        RechnungsVerwaltung& rv = *bestand->GetVerwaltungen().rechnungsVerwaltung;
        nummer = rv.GetRechnung(40)->nummer;
        rv.DeleteRechnung(40, true);
    }
    const Schnappschuss vorher = Aufnahme(Daten());
    const std::vector<std::pair<std::vector<std::string>, std::string>> faelle = {
        {{"rechnung", "--id", "40", "--pdf", "r.pdf"},
         "Die Rechnung mit der Id 40 ist gel\xC3\xB6scht."},
        {{"rechnung", std::to_string(nummer), "--pdf", "r.pdf"},
         "Es gibt keine Rechnung mit der Nummer " + std::to_string(nummer) + "."},
        {{"rechnung", "--id", "99999", "--pdf", "r.pdf"},
         "Es gibt keine Rechnung mit der Id 99999."},
        {{"rechnung", "--id", "41", "--pdf", "fehlt/r.pdf"},
         "Die PDF-Datei \xC2\xBB"
         "fehlt/r.pdf\xC2\xAB konnte nicht geschrieben werden."},
    };
    for (const auto& [argumente, meldung] : faelle) {
        const Ergebnis e = Lauf(argumente);
        EXPECT_EQ(e.status, 1) << meldung;
        EXPECT_THAT(e.err, HasSubstr(meldung));
    }
    EXPECT_FALSE(std::filesystem::exists(Pfad("r.pdf")));
    EXPECT_EQ(Aufnahme(Daten()), vorher);
}

}  // namespace
