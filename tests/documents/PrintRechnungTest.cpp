#include "documents/PrintRechnung.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "documents/RecordingCanvas.h"
#include "model/RechnungsFixture.h"
#include "storage/CodePage.h"

namespace {

constexpr int kW = 2100;
constexpr int kH = 2970;

class PrintRechnungTest : public RechnungsFixture {
  protected:
    PrintRechnungTest() {
        for (int w = 1; w <= 25; ++w) {
            WeinAnlegen(w, 1000, 1200);
            Wein* wein = Wv().GetWein(w);
            FixedText::Set(wein->name, "Riesling " + std::to_string(w));
            FixedText::Set(wein->bezeichnung, "Kabinett trocken");
            FixedText::Set(wein->fuellmenge, "0,75 l");
        }
        Kunde kunde;
        FixedText::Set(kunde.Anrede, "Herrn");
        FixedText::Set(kunde.Vorname, "Karl");
        FixedText::Set(kunde.Nachname, "Meier");
        FixedText::Set(kunde.Strasse, "Weinstr. 3");
        FixedText::Set(kunde.Ort, "Bechtolsheim");
        FixedText::Set(kunde.Telefon, "06733-1");
        kunde.PLZ = 55234;
        Kv().AddKunde(kunde);
        kunde_ = kunde.nummer;
        V().customizer->SetWaehrung("EUR");
        V().customizer->mwst = 19.0f;
    }

    // Stores an invoice with n items of 1 bottle each at 10 DM / 5 EUR.
    Rechnung& MitPosten(int n) {
        std::vector<Position> posten;
        for (int i = 1; i <= n; ++i) {
            posten.push_back({i, 1, 10.0f, 5.0f});
        }
        std::int32_t id = RechnungSpeichern(kunde_, posten);
        return *Rv().GetRechnung(id);
    }

    RecordingCanvas Seite(std::int32_t art, Rechnung& r, int seite, const Kunde* kunde = nullptr) {
        const Kunde* k = kunde != nullptr ? kunde : Kv().GetKunde(r.kunde);
        PrintRechnung doc(art, false, &V(), k, &r);
        RecordingCanvas canvas;
        doc.Layout(canvas, seite, 0, 0, kW, kH);
        return canvas;
    }

    std::int32_t kunde_ = 0;
};

TEST_F(PrintRechnungTest, PageCountsFollowItemsPerPage) {
    Rechnung& zehn = MitPosten(10);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kKundenRechnung, false, &V(), nullptr, &zehn).Seiten(),
              1);
    Rechnung elf = MitPosten(11);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kKundenRechnung, false, &V(), nullptr, &elf).Seiten(),
              2);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kPackliste, false, &V(), nullptr, &elf).Seiten(), 1);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kInterneRechnung, false, &V(), nullptr, &elf).Seiten(),
              1);
    Rechnung leer = MitPosten(0);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kKundenRechnung, false, &V(), nullptr, &leer).Seiten(),
              1);
    Rechnung viele = MitPosten(21);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kInterneRechnung, false, &V(), nullptr, &viele).Seiten(),
              2);
    EXPECT_EQ(PrintRechnung(PrintRechnung::kPackliste, false, &V(), nullptr, &viele).Seiten(), 2);
}

TEST_F(PrintRechnungTest, CustomerInvoiceOfElevenItemsPutsTotalsOnPageTwo) {
    Rechnung r = MitPosten(11);
    RecordingCanvas eins = Seite(PrintRechnung::kKundenRechnung, r, 1);
    RecordingCanvas zwei = Seite(PrintRechnung::kKundenRechnung, r, 2);
    // Newest item first: page 1 shows wines 11 down to 2, page 2 wine 1.
    EXPECT_EQ(eins.CountContaining("Riesling"), 10);
    EXPECT_NE(eins.Find("Riesling 11"), nullptr);
    EXPECT_EQ(zwei.CountContaining("Riesling"), 1);
    EXPECT_NE(zwei.Find("Riesling 1"), nullptr);
    EXPECT_EQ(eins.Find("ENDBETRAG"), nullptr);
    EXPECT_EQ(eins.Find("Betrag dankend erhalten"), nullptr);
    EXPECT_NE(zwei.Find("ENDBETRAG"), nullptr);
    EXPECT_NE(zwei.Find("Betrag dankend erhalten"), nullptr);
    // The address only on page 1; the customer invoice never counts pages.
    EXPECT_NE(eins.Find("Herrn Karl Meier"), nullptr);
    EXPECT_EQ(zwei.Find("Herrn Karl Meier"), nullptr);
    EXPECT_EQ(eins.Find("Seite"), nullptr);
    EXPECT_EQ(zwei.Find("Seite"), nullptr);
    // Letterhead on every page, over the whole rectangle.
    ASSERT_EQ(zwei.Pictures().size(), 1u);
    EXPECT_EQ(zwei.Pictures()[0].width, kW);
    EXPECT_EQ(zwei.Pictures()[0].height, kH);
}

TEST_F(PrintRechnungTest, PageCountShownOnInternalCopyAndPackingListOnlyWhenNeeded) {
    Rechnung r = MitPosten(21);
    EXPECT_NE(Seite(PrintRechnung::kInterneRechnung, r, 2)
                  .Find("Rechnung Nr.   : " + std::to_string(r.nummer) + " (Seite 2 von 2)"),
              nullptr);
    EXPECT_NE(Seite(PrintRechnung::kPackliste, r, 1).Find("(Seite 1 von 2)"), nullptr);
    Rechnung kurz = MitPosten(3);
    EXPECT_EQ(Seite(PrintRechnung::kInterneRechnung, kurz, 1).Find("Seite"), nullptr);
    EXPECT_EQ(Seite(PrintRechnung::kPackliste, kurz, 1).Find("Seite"), nullptr);
    EXPECT_EQ(Seite(PrintRechnung::kPackliste, kurz, 1).Texts().front().text, "PACKLISTE");
    EXPECT_TRUE(Seite(PrintRechnung::kPackliste, kurz, 1).Pictures().empty());
}

TEST_F(PrintRechnungTest, VatLinesWithoutAndWithVatIncluded) {
    // 10 bottles at 10 EUR: a total of 100.00.
    std::int32_t id = RechnungSpeichern(kunde_, {{1, 10, 20.0f, 10.0f}});
    V().customizer->preiseInEuro = 1;
    Rechnung r = *Rv().GetRechnung(id);
    RecordingCanvas netto = Seite(PrintRechnung::kKundenRechnung, r, 1);
    const std::string blank25(25, ' ');
    ASSERT_NE(netto.Find("Summe"), nullptr);
    EXPECT_EQ(netto.Find("Summe")->text,
              blank25 + "Summe" + std::string(81 - 25 - 5 - 10, ' ') + "EUR 100.00");
    EXPECT_EQ(netto.Find("Mehrwertsteuer")->text, blank25 + "zzgl. 19.00 % Mehrwertsteuer" +
                                                      std::string(81 - 25 - 28 - 9, ' ') +
                                                      "EUR 19.00");
    EXPECT_EQ(netto.Find("ENDBETRAG")->text,
              blank25 + "ENDBETRAG" + std::string(81 - 25 - 9 - 10, ' ') + "EUR 119.00");
    EXPECT_NE(netto.Find(std::string(71, ' ') + "=========="), nullptr);
    RecordingCanvas intern = Seite(PrintRechnung::kInterneRechnung, r, 1);
    EXPECT_NE(intern.Find("zzgl. 19.00 % Mehrwertsteuer"), nullptr);
    EXPECT_NE(intern.Find("EUR 119.00"), nullptr);

    V().customizer->mwstEnthalten = 1;
    RecordingCanvas brutto = Seite(PrintRechnung::kKundenRechnung, r, 1);
    EXPECT_EQ(brutto.Find("Summe"), nullptr);
    EXPECT_EQ(brutto.Find("ENDBETRAG")->text,
              blank25 + "ENDBETRAG" + std::string(81 - 25 - 9 - 10, ' ') + "EUR 100.00");
    const auto* satz = brutto.Find("der Endbetrag");
    ASSERT_NE(satz, nullptr);
    // The VAT the gross total holds, not the VAT on top of it.
    EXPECT_EQ(satz->text, "     der Endbetrag enth\xE4lt EUR 15.97 (19.00 % Umsatzsteuer) ");
    EXPECT_EQ(satz->font.weight, Canvas::kNormal);
    EXPECT_EQ(satz->font.height, static_cast<int>(0.75 * (kH / 65)));
    const RecordingCanvas internBrutto = Seite(PrintRechnung::kInterneRechnung, r, 1);
    const auto* davon = internBrutto.Find("davon 19.00 % Mehrwertsteuer");
    ASSERT_NE(davon, nullptr);
    EXPECT_NE(davon->text.find("EUR 15.97"), std::string::npos) << davon->text;

    // DM totals when prices are not in Euro.
    V().customizer->preiseInEuro = 0;
    EXPECT_NE(Seite(PrintRechnung::kKundenRechnung, r, 1).Find("EUR 200.00"), nullptr);
}

TEST_F(PrintRechnungTest, ItemColumnsOfTheCustomerInvoiceAndTheInternalCopy) {
    std::int32_t id = RechnungSpeichern(kunde_, {{7, 12, 8.5f, 4.35f}});
    Rechnung r = *Rv().GetRechnung(id);
    RecordingCanvas kunde = Seite(PrintRechnung::kKundenRechnung, r, 1);
    EXPECT_EQ(kunde.Find("Riesling 7")->text, "  12  0,75 l      Riesling 7");
    const auto* zweite = kunde.Find("Kabinett");
    EXPECT_EQ(zweite->text, std::string(25, ' ') + "Kabinett trocken" + std::string(23, ' ') +
                                "8.50" + std::string(7, ' ') + "102.00");
    EXPECT_EQ(zweite->text.size(), 81u);
    EXPECT_EQ(zweite->x, kW / 25);

    RecordingCanvas intern = Seite(PrintRechnung::kInterneRechnung, r, 1);
    EXPECT_EQ(intern.Find("Riesling 7")->text, "      7    12  0,75 l      Riesling 7");
    const auto* zeile2 = intern.Find("Kabinett");
    EXPECT_EQ(zeile2->text.size(), 85u);
    EXPECT_EQ(zeile2->text.substr(34, 16), "Kabinett trocken");
    EXPECT_EQ(zeile2->text.substr(68, 4), "8.50");

    RecordingCanvas pack = Seite(PrintRechnung::kPackliste, r, 1);
    EXPECT_EQ(pack.Find("Riesling 7")->text, "      7  Riesling 7");
    EXPECT_EQ(pack.Find("Kabinett")->text,
              std::string(16, ' ') + "Kabinett trocken" + std::string(58 - 32, ' ') + "  12");
    EXPECT_NE(pack.Find("Gewicht insges.: 14.40 kg"), nullptr);
}

TEST_F(PrintRechnungTest, LongDescriptionIsCutBeforeTheUnitPrice) {
    const std::string lang =
        "2020er Oppenheimer Herrenberg, Pr\xe4"
        "dikatswein mit Goldkapsel";
    FixedText::Set(Wv().GetWein(7)->bezeichnung, lang);
    // Prices of different widths move the price's first column.
    std::int32_t id = RechnungSpeichern(kunde_, {{7, 12, 8.5f, 1234.5f}, {8, 1, 10.0f, 5.0f}});
    V().customizer->preiseInEuro = 1;
    Rechnung r = *Rv().GetRechnung(id);

    const std::string kunde = Seite(PrintRechnung::kKundenRechnung, r, 1).Find("Oppenheimer")->text;
    // Unit price ends before column 68, total before 81; the description
    // begins at 25 and keeps one blank before "1234.50" (column 61).
    EXPECT_EQ(kunde, std::string(25, ' ') + lang.substr(0, 35) + " 1234.50" + std::string(5, ' ') +
                         "14814.00");
    const std::string intern =
        Seite(PrintRechnung::kInterneRechnung, r, 1).Find("Oppenheimer")->text;
    EXPECT_EQ(intern, std::string(34, ' ') + lang.substr(0, 30) + " 1234.50" + std::string(5, ' ') +
                          "14814.00");
    // A description that fits stays whole, and the other item is untouched.
    EXPECT_EQ(Seite(PrintRechnung::kKundenRechnung, r, 1).Find("Kabinett")->text.substr(25, 16),
              "Kabinett trocken");
}

// Every text as long as its record field holds, each with capitals that
// carry accents and letters that reach below the line, and numbers as large
// as the program lets in: on no page of any document is one text printed
// over another, and no field of a line writes over another.
TEST_F(PrintRechnungTest, NothingOverprintsWithTheLongestTextsTheRecordsHold) {
    // The text fills the field: the pattern repeated to its length.
    auto voll = [](const char* muster, std::size_t laenge) {
        std::string text;
        while (text.size() < laenge) {
            text += CodePage::Utf8ToCp1252(muster);
        }
        return text.substr(0, laenge);
    };
    Kunde k;
    FixedText::Set(k.Anrede, voll("Eheleute Dr. Günther ", 30));
    FixedText::Set(k.Vorname, voll("Hans-Jürgen Ägidius Maria ", 30));
    FixedText::Set(k.Nachname, voll("Graf von Königsberg-Öhringen ", 30));
    FixedText::Set(k.Strasse, voll("Äußere Gartenstraße 127 b ", 30));
    k.PLZ = 99999;
    FixedText::Set(k.Ort, voll("Gau-Algesheim-Ülversheim-Jugenheim ", 30));
    FixedText::Set(k.Telefon, voll("+49 (0) 6733 987654-321 ", 20));
    FixedText::Set(k.Fax, voll("+49 (0) 6733 987654-399 ", 20));
    Kv().AddKunde(k);

    const std::string name = voll("2019er Gau-Algesheimer Johannisberg Riesling Spätlese ", 59);
    const std::string bezeichnung =
        voll("traditionelle Flaschengärung, Ägyptische Cuvée, gereift ", 59);
    std::vector<Position> posten;
    for (int w = 9959; w <= 9999; ++w) {
        WeinAnlegen(w, 40000);
        Wein* wein = Wv().GetWein(w);
        FixedText::Set(wein->name, name);
        FixedText::Set(wein->bezeichnung, bezeichnung);
        FixedText::Set(wein->fuellmenge, voll("Ä,75 Lgjy", 9));
        posten.push_back({w, static_cast<std::int16_t>(w % 7 == 0 ? 6 : w - 9950), 1.0f, 9.9f});
    }
    // The newest item, first on every page 1: the largest quantity at the
    // largest price.
    posten.back() = {9999, 32767, 999999.0f, 999999.0f};
    const std::int32_t id = RechnungSpeichern(k.nummer, posten);
    Rechnung r = *Rv().GetRechnung(id);
    r.nummer = 2147483647;
    r.steigen = 32766;
    r.kartons = 32766;
    r.datum = Datum(31, 12, 2099).Julian();
    FixedText::Set(r.bemerkung, voll("Abholung Gärtnerei Jäger, Tor Ä; ", 255));
    V().customizer->SetWaehrung("EUR/CHF");
    V().customizer->preiseInEuro = 1;

    for (int enthalten : {0, 1}) {
        V().customizer->mwstEnthalten = static_cast<std::uint8_t>(enthalten);
        for (std::int32_t art : {PrintRechnung::kPackliste, PrintRechnung::kKundenRechnung,
                                 PrintRechnung::kInterneRechnung}) {
            const PrintRechnung doc(art, false, &V(), Kv().GetKunde(k.nummer), &r);
            ASSERT_GT(doc.Seiten(), 1);
            for (int seite = 1; seite <= doc.Seiten(); ++seite) {
                RecordingCanvas canvas;
                doc.Layout(canvas, seite, 0, 0, kW, kH);
                const auto& texte = canvas.Texts();
                for (const auto& [a, b] : canvas.Ueberdeckungen()) {
                    ADD_FAILURE() << "document " << art << " page " << seite << ": \""
                                  << texte[a].text << "\" at " << texte[a].x << "," << texte[a].y
                                  << " and \"" << texte[b].text << "\" at " << texte[b].x << ","
                                  << texte[b].y;
                }
            }
        }
    }

    // The fields of a line stand whole where they belong; a description
    // gives way to what follows it, with a blank before that.
    const Kunde* kunde = Kv().GetKunde(k.nummer);
    const RecordingCanvas pack = Seite(PrintRechnung::kPackliste, r, 1, kunde);
    std::vector<std::string> zweiteZeilen;
    for (const auto& t : pack.Texts()) {
        if (t.text.find(bezeichnung.substr(0, 20)) != std::string::npos) {
            zweiteZeilen.push_back(t.text);
        }
    }
    ASSERT_EQ(zweiteZeilen.size(), 15u);
    // 32767 bottles of wine 9999, then 6 of wine 9996: the quantity as it
    // was met over the description.
    EXPECT_EQ(zweiteZeilen[0], std::string(16, ' ') + bezeichnung.substr(0, 41) + " 32767");
    EXPECT_EQ(zweiteZeilen[3], std::string(16, ' ') + bezeichnung.substr(0, 44) + " 6");

    const RecordingCanvas rechnung = Seite(PrintRechnung::kKundenRechnung, r, 1, kunde);
    const auto* gross = rechnung.Find("999999.00");
    ASSERT_NE(gross, nullptr);
    // 32767 × 999999 leaves no room for the unit price to end at column 68:
    // it moves left and keeps a blank before the line total.
    char summe[64];
    std::snprintf(summe, sizeof summe, "%.2f", static_cast<double>(32767 * 999999.0f));
    const std::size_t preisAnfang = 81 - std::strlen(summe) - 1 - 9;
    EXPECT_EQ(gross->text, std::string(25, ' ') + bezeichnung.substr(0, preisAnfang - 1 - 25) +
                               " 999999.00 " + summe);
    EXPECT_EQ(rechnung.Find(name.substr(0, 20))->text,
              "32767 " + voll("Ä,75 Lgjy", 9) + "   " + name);

    // The name on the internal copy ends before the invoice's number.
    const RecordingCanvas intern = Seite(PrintRechnung::kInterneRechnung, r, 1, kunde);
    const std::string anschrift = std::string(k.Anrede) + " " + k.Vorname + " " + k.Nachname;
    const auto* gekuerzt = intern.Find(anschrift.substr(0, 20));
    ASSERT_NE(gekuerzt, nullptr);
    EXPECT_LT(gekuerzt->text.size(), anschrift.size());
    EXPECT_EQ(anschrift.rfind(gekuerzt->text, 0), 0u);
}

TEST_F(PrintRechnungTest, AddressCratesAndDateThresholds) {
    Kunde ohnePlz;
    FixedText::Set(ohnePlz.Nachname, "Huber");
    FixedText::Set(ohnePlz.Ort, "Wien");
    Kv().AddKunde(ohnePlz);
    Rechnung* r = Rv().AllocRechnung(ohnePlz.nummer);
    r->datum = Datum(15, 6, 1973).Julian();
    Rv().StoreRechnung();
    Rechnung rechnung = *Rv().GetRechnung(Rv().Anzahl() - 1);

    RecordingCanvas kunde = Seite(PrintRechnung::kKundenRechnung, rechnung, 1);
    const auto* ort = kunde.Find("Wien");
    ASSERT_NE(ort, nullptr);
    EXPECT_EQ(ort->text, "Wien");
    EXPECT_EQ(ort->font.weight, Canvas::kBold);
    EXPECT_EQ(kunde.Find("Steigen"), nullptr);
    EXPECT_EQ(kunde.Find("15.6.1973"), nullptr);
    EXPECT_NE(
        Seite(PrintRechnung::kInterneRechnung, rechnung, 1).Find("Datum          : 15.06.1973"),
        nullptr);

    rechnung.datum = Datum(3, 2, 1976).Julian();
    rechnung.steigen = 2;
    const auto canvas = Seite(PrintRechnung::kKundenRechnung, rechnung, 1);
    const auto* datum = canvas.Find("3.2.1976");
    ASSERT_NE(datum, nullptr);
    EXPECT_EQ(datum->x, static_cast<int>(kW * 0.685));
    EXPECT_EQ(datum->y, static_cast<int>(kH * 0.284));
    EXPECT_NE(canvas.Find("Steigen: 2 / Kartons: 0"), nullptr);

    rechnung.datum = Datum::k1901;
    EXPECT_NE(Seite(PrintRechnung::kInterneRechnung, rechnung, 1).Find("Datum          : N/A"),
              nullptr);
}

TEST_F(PrintRechnungTest, MissingWineAndCustomerPrintNotAvailable) {
    std::int32_t id = RechnungSpeichern(kunde_, {{99, 2, 1.0f, 1.0f}});
    Rechnung r = *Rv().GetRechnung(id);
    PrintRechnung doc(PrintRechnung::kInterneRechnung, false, &V(), nullptr, &r);
    RecordingCanvas canvas;
    doc.Layout(canvas, 1, 0, 0, kW, kH);
    EXPECT_NE(canvas.Find("N/A N/A N/A"), nullptr);
    EXPECT_NE(canvas.Find("Telefon/Fax: N/A / N/A"), nullptr);
    EXPECT_NE(canvas.Find("     99     2  N/A         N/A"), nullptr);
    EXPECT_NE(canvas.Find("Gewicht insges.: 0.00 kg"), nullptr);
    EXPECT_EQ(doc.JobTitel(), "(Rkon) ReInt: N/A N/A");
}

TEST_F(PrintRechnungTest, JobTitlesAndPaperSources) {
    Rechnung r = MitPosten(1);
    const Kunde* k = Kv().GetKunde(kunde_);
    PrintRechnung pack(PrintRechnung::kPackliste, false, &V(), k, &r);
    PrintRechnung kunde(PrintRechnung::kKundenRechnung, false, &V(), k, &r);
    PrintRechnung intern(PrintRechnung::kInterneRechnung, false, &V(), k, &r);
    EXPECT_EQ(pack.JobTitel(), "(Rkon) PckLst: Meier Karl");
    EXPECT_EQ(kunde.JobTitel(), "(Rkon) Re: Meier Karl");
    EXPECT_EQ(intern.JobTitel(), "(Rkon) ReInt: Meier Karl");
    EXPECT_EQ(pack.Papierquelle(), 2);
    EXPECT_EQ(kunde.Papierquelle(), 1);
    EXPECT_EQ(intern.Papierquelle(), 2);
    EXPECT_EQ(kunde.Zeilenhoehe(kH), kH / 65);
    EXPECT_TRUE(kunde.HasPage(1));
    EXPECT_FALSE(kunde.HasPage(2));
}

}  // namespace
