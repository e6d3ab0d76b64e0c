#include "printing/PdfAusgabe.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QColor>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Poppler.h"
#include "model/RechnungsFixture.h"
#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kDaten = REBKONTOR_PRINT_DATA;
// The top seventh of an A4 page at 50 dpi.
const QRect kOben(0, 0, 413, 585 / 7);

// A winery's ordinary invoice: eleven wines, 6 or 12 bottles each, prices in
// Euro without VAT at 19 %.
class RechnungAlsPdfTest : public RechnungsFixture {
  protected:
    RechnungAlsPdfTest() {
        const char* namen[] = {"Riesling",      "Silvaner",      "Müller-Thurgau", "Dornfelder",
                               "Spätburgunder", "Grauburgunder", "Weißburgunder",  "Scheurebe",
                               "Portugieser",   "Kerner",        "Huxelrebe"};
        for (int i = 0; i < 25; ++i) {
            const std::int32_t nummer = 101 + i;
            WeinAnlegen(nummer, 1000, 1300);
            Wein* wein = Wv().GetWein(nummer);
            FixedText::Set(wein->name, CodePage::Utf8ToCp1252(namen[i % 11]) + " " +
                                           std::to_string(2020 + i % 5));
            FixedText::Set(wein->bezeichnung,
                           i % 2 == 0 ? "Kabinett trocken"_w : "Spätlese feinherb"_w);
            FixedText::Set(wein->fuellmenge, i % 3 == 2 ? "1,0 l" : "0,75 l");
        }
        Kunde kunde;
        FixedText::Set(kunde.Anrede, "Frau");
        FixedText::Set(kunde.Vorname, "Erika");
        FixedText::Set(kunde.Nachname, "Mösch"_w);
        FixedText::Set(kunde.Strasse, "Am Rebhang 4");
        FixedText::Set(kunde.Ort, "Alzey");
        FixedText::Set(kunde.Telefon, "06731 4711");
        kunde.PLZ = 55232;
        Kv().AddKunde(kunde);
        kunde_ = kunde.nummer;
        V().customizer->SetWaehrung("EUR");
        V().customizer->mwst = 19.0f;
        V().customizer->preiseInEuro = 1;
        V().customizer->mwstEnthalten = 0;
    }

    // Item k (from 0) of n: wine 101 + k, 6 or 12 bottles at 6.50 + k EUR.
    Rechnung MitPosten(int n) {
        std::vector<Position> posten;
        for (int k = 0; k < n; ++k) {
            const float euro = 6.5f + static_cast<float>(k);
            posten.push_back(
                {101 + k, static_cast<std::int16_t>(k % 2 == 0 ? 6 : 12), euro * 2, euro});
            summe_ += (k % 2 == 0 ? 6 : 12) * (6.5 + k);
        }
        Rechnung r = *Rv().GetRechnung(RechnungSpeichern(kunde_, posten));
        r.nummer = 2026117;
        r.datum = Datum(4, 12, 2026).Julian();
        r.steigen = 2;
        r.kartons = 3;
        FixedText::Set(r.bemerkung, "Lieferung frei Haus");
        return r;
    }

    std::string Pdf(const Rechnung& r, bool packliste, bool kunde, bool intern,
                    const std::string& briefkopf = kDaten + "/briefkopf-hand.emf") {
        const std::string pdf = dir_ / "rechnung.pdf";
        EXPECT_TRUE(PdfAusgabe(briefkopf).Pdf(pdf, V(), r, packliste, kunde, intern));
        // To look at the pages: REBKONTOR_PRINT_KEEP=<directory> keeps a copy
        // of every file, named after the test.
        if (const char* behalten = std::getenv("REBKONTOR_PRINT_KEEP")) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            std::filesystem::copy_file(pdf,
                                       std::string(behalten) + "/" + info->name() + "-" +
                                           std::to_string(++kopien_) + ".pdf",
                                       std::filesystem::copy_options::overwrite_existing);
        }
        return pdf;
    }

    static std::string Betrag(double betrag) {
        char text[64];
        std::snprintf(text, sizeof text, "EUR %0.2f", betrag);
        return text;
    }

    std::int32_t kunde_ = 0;
    double summe_ = 0;
    int kopien_ = 0;
};

TEST_F(RechnungAlsPdfTest, ElevenItemsGiveAllDocumentsInTheirOrderWithTheirTexts) {
    const Rechnung r = MitPosten(11);
    // Ticked in any order, the documents come as packing list (1 page for 11
    // items), customer invoice (2 pages), internal copy (1 page).
    const std::string pdf = Pdf(r, true, true, true);
    ASSERT_EQ(Poppler::Seiten(pdf), 4);
    const std::string packliste = Poppler::Text(pdf, 1);
    const std::string kunde1 = Poppler::Text(pdf, 2);
    const std::string kunde2 = Poppler::Text(pdf, 3);
    const std::string intern = Poppler::Text(pdf, 4);

    EXPECT_THAT(packliste, HasSubstr("PACKLISTE"));
    EXPECT_THAT(packliste, HasSubstr("Rechnung Nr.: 2026117"));
    EXPECT_THAT(packliste, HasSubstr("Kunde: Frau Erika Mösch"));
    EXPECT_THAT(packliste, HasSubstr("Huxelrebe 2020"));

    // The customer invoice: address, number, date and remark on page 1, the
    // last item and the totals on page 2, never a page count.
    EXPECT_THAT(kunde1, HasSubstr("Frau Erika Mösch"));
    EXPECT_THAT(kunde1, HasSubstr("55232 Alzey"));
    EXPECT_THAT(kunde1, HasSubstr("Rechnung Nr.: 2026117"));
    EXPECT_THAT(kunde1, HasSubstr("4.12.2026"));
    EXPECT_THAT(kunde1, HasSubstr("Lieferung frei Haus"));
    EXPECT_THAT(kunde1, HasSubstr("Steigen: 2 / Kartons: 3"));
    EXPECT_THAT(kunde1, HasSubstr("Füllmenge"));
    EXPECT_THAT(kunde1, HasSubstr("Weinname & Sorte"));
    EXPECT_THAT(kunde1, HasSubstr("Spätlese feinherb"));
    EXPECT_THAT(kunde1, Not(HasSubstr("ENDBETRAG")));
    EXPECT_THAT(kunde2, HasSubstr("Rechnung Nr.: 2026117"));
    EXPECT_THAT(kunde2, HasSubstr("Riesling 2020"));
    EXPECT_THAT(kunde2, HasSubstr("Summe"));
    EXPECT_THAT(kunde2, HasSubstr(Betrag(summe_)));
    EXPECT_THAT(kunde2, HasSubstr("zzgl. 19.00 % Mehrwertsteuer"));
    EXPECT_THAT(kunde2, HasSubstr(Betrag(summe_ * 0.19)));
    EXPECT_THAT(kunde2, HasSubstr("ENDBETRAG"));
    EXPECT_THAT(kunde2, HasSubstr(Betrag(summe_ * 1.19)));
    EXPECT_THAT(kunde2, HasSubstr("Betrag dankend erhalten"));
    EXPECT_THAT(kunde2, HasSubstr("_______________, den _____________________"));
    for (const std::string& seite : {packliste, kunde1, kunde2, intern}) {
        EXPECT_THAT(seite, Not(HasSubstr("(Seite")));
    }
    EXPECT_THAT(intern, HasSubstr("Rechnung Nr.   : 2026117"));
    EXPECT_THAT(intern, HasSubstr("Datum          : 04.12.2026"));
    EXPECT_THAT(intern, HasSubstr("Telefon/Fax: 06731 4711 /"));
    EXPECT_THAT(intern, HasSubstr("Endbetrag"));
    EXPECT_THAT(intern, HasSubstr(Betrag(summe_ * 1.19)));
    EXPECT_THAT(intern, Not(HasSubstr("Betrag dankend erhalten")));
}

TEST_F(RechnungAlsPdfTest, TwentyOneItemsCountThePagesOfInternalCopyAndPackingList) {
    const Rechnung r = MitPosten(21);
    const std::string pdf = Pdf(r, true, false, true);
    ASSERT_EQ(Poppler::Seiten(pdf), 4);
    EXPECT_THAT(Poppler::Text(pdf, 1), HasSubstr("Rechnung Nr.: 2026117 (Seite 1 von 2)"));
    EXPECT_THAT(Poppler::Text(pdf, 2), HasSubstr("Rechnung Nr.: 2026117 (Seite 2 von 2)"));
    EXPECT_THAT(Poppler::Text(pdf, 3), HasSubstr("Rechnung Nr.   : 2026117 (Seite 1 von 2)"));
    EXPECT_THAT(Poppler::Text(pdf, 4), HasSubstr("Rechnung Nr.   : 2026117 (Seite 2 von 2)"));
    EXPECT_THAT(Poppler::Text(pdf, 4), HasSubstr(Betrag(summe_ * 1.19)));

    const std::string kunde = Pdf(r, false, true, false);
    ASSERT_EQ(Poppler::Seiten(kunde), 3);
    for (int seite = 1; seite <= 3; ++seite) {
        EXPECT_THAT(Poppler::Text(kunde, seite), Not(HasSubstr("Seite")));
    }
}

TEST_F(RechnungAlsPdfTest, LetterheadInItsPlaceAndNothingBeyondThePage) {
    const Rechnung r = MitPosten(11);
    for (const char* emf : {"briefkopf-hand.emf", "briefkopf-office.emf"}) {
        SCOPED_TRACE(emf);
        const std::string pdf = Pdf(r, true, true, true, kDaten + "/" + emf);
        ASSERT_EQ(Poppler::Seiten(pdf), 4);
        for (int seite = 1; seite <= 4; ++seite) {
            SCOPED_TRACE(seite);
            const QImage bild = Poppler::Bild(pdf, seite);
            // A4 at 50 dpi.
            ASSERT_NEAR(bild.width(), 413, 1);
            ASSERT_NEAR(bild.height(), 585, 1);
            // Every line ends inside the sheet, with a margin to spare: had a
            // line run over the edge, its ink would touch it.
            const QRect tinte = Tinte(bild);
            ASSERT_FALSE(tinte.isEmpty());
            EXPECT_GT(tinte.left(), 2);
            EXPECT_GT(tinte.top(), 2);
            EXPECT_LT(tinte.right(), bild.width() - 4);
            EXPECT_LT(tinte.bottom(), bild.height() - 4);
        }
        // The customer invoice prints nothing in the top seventh of the sheet:
        // what is there is the letterhead.
        EXPECT_FALSE(Tinte(Poppler::Bild(pdf, 2), kOben).isEmpty());
        EXPECT_FALSE(Tinte(Poppler::Bild(pdf, 3), kOben).isEmpty());
    }
}

TEST_F(RechnungAlsPdfTest, HandMadeLetterheadFillsItsBandAtItsPlace) {
    const std::string pdf = Pdf(MitPosten(3), false, true, false);
    const QImage bild = Poppler::Bild(pdf, 1);
    // The band covers 105..1995 x 90..300 of a 2100 x 2970 sheet: at 50 dpi
    // about x 21..392, y 18..59. Inside it the paper is wine red except for
    // the white lettering; above it the paper is white.
    int rot = 0;
    int alle = 0;
    for (int y = 22; y <= 55; ++y) {
        for (int x = 30; x <= 380; ++x) {
            const QColor c = bild.pixelColor(x, y);
            rot += c.red() > c.green() + 40 && c.red() < 200 ? 1 : 0;
            ++alle;
        }
    }
    EXPECT_GT(rot, alle * 6 / 10);
    EXPECT_TRUE(Tinte(bild, QRect(0, 0, bild.width(), 14)).isEmpty());
    EXPECT_TRUE(Tinte(bild, QRect(0, 0, 16, bild.height() * 9 / 10)).isEmpty());
}

TEST_F(RechnungAlsPdfTest, BadLetterheadsLeaveOnlyThePicture) {
    const Rechnung r = MitPosten(3);
    std::filesystem::create_directory(dir_ / "verzeichnis.emf");
    WriteBytes(dir_ / "kaputt.emf", ReadBytes(kDaten + "/briefkopf-hand.emf").substr(0, 600));
    for (const std::string& emf :
         {dir_ / "fehlt.emf", dir_ / "verzeichnis.emf", dir_ / "kaputt.emf"}) {
        SCOPED_TRACE(emf);
        const std::string pdf = Pdf(r, false, true, false, emf);
        ASSERT_EQ(Poppler::Seiten(pdf), 1);
        const std::string text = Poppler::Text(pdf, 1);
        EXPECT_THAT(text, Not(HasSubstr("Weingut")));
        EXPECT_THAT(text, HasSubstr("ENDBETRAG"));
        EXPECT_TRUE(Tinte(Poppler::Bild(pdf, 1), kOben).isEmpty());
    }
}

TEST_F(RechnungAlsPdfTest, NothingChosenOrNoPlaceToWriteGivesNoFile) {
    const Rechnung r = MitPosten(3);
    EXPECT_FALSE(PdfAusgabe().Pdf(dir_ / "leer.pdf", V(), r, false, false, false));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "leer.pdf"));
    EXPECT_FALSE(PdfAusgabe().Pdf(dir_ / "fehlt/rechnung.pdf", V(), r, true, true, true));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "fehlt"));
}

// Each file system call of writing a PDF failing in turn: the write fails
// (the ZUGFeRD file says why), the older file of that name stays whole and
// nothing is left beside it. Only the folder's sync after the rename may fail
// unseen, and then the new file is in place.
TEST_F(RechnungAlsPdfTest, AFailingWriteKeepsTheOlderFileAndLeavesNothingBehind) {
    const Rechnung r = MitPosten(3);
    const std::string ordner = dir_ / "ausgabe";
    std::filesystem::create_directory(ordner);
    const std::string pdf = ordner + "/r.pdf";
    for (const bool zugferd : {false, true}) {
        SCOPED_TRACE(zugferd ? "ZUGFeRD" : "PDF");
        std::string fehler;
        auto schreiben = [&] {
            fehler.clear();
            PdfAusgabe ausgabe;
            return zugferd ? ausgabe.Zugferd(pdf, V(), r, "<rsm:CrossIndustryInvoice/>", fehler)
                           : ausgabe.Pdf(pdf, V(), r, false, true, false);
        };
        std::map<IoFaults::Op, int> anzahl;
        IoFaults::SetHook([&](IoFaults::Op op, const std::string&) {
            ++anzahl[op];
            return 0;
        });
        const bool ohneFehler = schreiben();
        IoFaults::ClearHook();
        ASSERT_TRUE(ohneFehler) << fehler;
        ASSERT_GT(anzahl[IoFaults::Op::Write], 0);
        for (const auto& [art, n] : anzahl) {
            for (int i = 1; i <= n; ++i) {
                SCOPED_TRACE(std::to_string(static_cast<int>(art)) + " #" + std::to_string(i));
                WriteBytes(pdf, "alt");
                int nummer = 0;
                IoFaults::SetHook([&, art = art](IoFaults::Op op, const std::string&) {
                    return op == art && ++nummer == i ? EIO : 0;
                });
                const bool geschrieben = schreiben();
                IoFaults::ClearHook();
                std::vector<std::string> namen;
                for (const auto& eintrag : std::filesystem::directory_iterator(ordner)) {
                    namen.push_back(eintrag.path().filename().string());
                }
                EXPECT_EQ(namen, std::vector<std::string>{"r.pdf"});
                if (geschrieben) {
                    EXPECT_EQ(art, IoFaults::Op::Sync);
                    EXPECT_EQ(ReadBytes(pdf).rfind("%PDF-", 0), 0u);
                    continue;
                }
                EXPECT_EQ(ReadBytes(pdf), "alt");
                if (zugferd) {
                    EXPECT_EQ(CodePage::Cp1252ToUtf8(fehler),
                              "Die Datei " + pdf +
                                  " konnte nicht geschrieben werden (Ein-/Ausgabefehler des "
                                  "Datenträgers).");
                }
            }
        }
    }
}

TEST_F(RechnungAlsPdfTest, MissingCustomerPrintsNotAvailable) {
    Rechnung r = MitPosten(2);
    r.kunde = 999999;
    const std::string pdf = Pdf(r, true, false, false);
    EXPECT_THAT(Poppler::Text(pdf, 1), HasSubstr("Kunde: N/A N/A N/A"));
}

}  // namespace
