#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "cli/Beispieldaten.h"
#include "cli/Lesebestand.h"
#include "documents/PrintRechnung.h"
#include "documents/RecordingCanvas.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/OffenePosten.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

using ::testing::HasSubstr;

std::vector<std::string> Zeilen(const std::string& text) {
    std::vector<std::string> zeilen;
    std::size_t start = 0;
    for (std::size_t ende; (ende = text.find("\r\n", start)) != std::string::npos;
         start = ende + 2) {
        zeilen.push_back(text.substr(start, ende - start));
    }
    return zeilen;
}

class MahnungenTest : public CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        SampleDaten();
        // Nothing reminded yet: every overdue invoice is due for a payment
        // reminder, which has no fee.
        std::filesystem::remove(Daten() + "/mahnungen.dat");
        ASSERT_EQ(Lauf({"firmendaten", "--name", "Weingut Probe", "--iban",
                        "DE89370400440532013000", "--bic", "COBADEFFXXX"})
                      .status,
                  0);
    }
};

// The list as CSV, the letters as PDF (their payment code carries the total
// due), and only with --vermerken the levels and log lines on disk.
TEST_F(MahnungenTest, ListLettersAndRecordedLevels) {
    const Ergebnis liste = Lauf({"offene-posten", "--stichtag", "7.12.2026"});
    ASSERT_EQ(liste.status, 0) << liste.err;
    const std::vector<std::string> zeilen = Zeilen(liste.out);
    ASSERT_GE(zeilen.size(), 2u) << liste.out;
    EXPECT_EQ(zeilen[0],
              "Kundennummer;Kunde;Rechnungsnummer;Rechnungsdatum;F\xE4llig am;Tage "
              "\xFC"
              "berf\xE4llig;Betrag;Erhalten;Offen;Mahnstufe;Letzte Mahnung");
    const Ergebnis alle = Lauf({"offene-posten", "--stichtag", "7.12.2026", "--alle"});
    EXPECT_GE(Zeilen(alle.out).size(), zeilen.size());
    const Schnappschuss vorher = Aufnahme(Daten());

    const Ergebnis ohne = Lauf({"mahnungen", "--pdf", "m.pdf", "--stichtag", "7.12.2026"});
    ASSERT_EQ(ohne.status, 0) << ohne.err;
    EXPECT_THAT(ohne.out, HasSubstr("nichts vermerkt"));
    EXPECT_EQ(Aufnahme(Daten()), vorher);
    ASSERT_TRUE(std::filesystem::exists(Pfad("m.pdf")));

    // The first letter's code: the total of its invoices' open amounts (a
    // payment reminder has no fee).
    if (Programm("zbarimg", {"--version"}).status == 0 &&
        Programm("pdftoppm", {"-v"}).status == 0) {
        ASSERT_EQ(
            Programm("pdftoppm", {"-r", "200", "-f", "1", "-l", "1", "-png", "m.pdf", "s"}).status,
            0);
        std::string bild = Pfad("s-1.png");
        if (!std::filesystem::exists(bild)) {
            bild = Pfad("s-01.png");
        }
        const Ergebnis code = Programm("zbarimg", {"-q", "--raw", bild});
        ASSERT_EQ(code.status, 0);
        // The first customer in the list and all of its invoices.
        const std::string kunde = zeilen[1].substr(0, zeilen[1].find(';'));
        std::int64_t summe = 0;
        std::string nummern;
        for (std::size_t i = 1; i < zeilen.size(); ++i) {
            std::vector<std::string> f;
            std::size_t s = 0;
            for (std::size_t e; (e = zeilen[i].find(';', s)) != std::string::npos; s = e + 1) {
                f.push_back(zeilen[i].substr(s, e - s));
            }
            if (f[0] != kunde || f[9] != "0") {
                continue;
            }
            std::string offen = f[8];
            offen.erase(offen.find(','), 1);
            summe += std::stoll(offen);
            nummern += (nummern.empty() ? " " : ", ") + f[2];
        }
        EXPECT_THAT(code.out, HasSubstr("\nEUR" + Rechnungsbetrag::Text(summe) + "\n"));
        EXPECT_THAT(code.out, HasSubstr("\nMahnung" + nummern));
    }

    const Ergebnis mit =
        Lauf({"mahnungen", "--pdf", "v.pdf", "--stichtag", "7.12.2026", "--vermerken"});
    ASSERT_EQ(mit.status, 0) << mit.err;
    EXPECT_THAT(mit.out, HasSubstr("die Mahnstufen sind vermerkt"));
    const std::string log = ReadBytes(Daten() + "/logbuch.txt");
    const std::vector<std::string> nachher =
        Zeilen(Lauf({"offene-posten", "--stichtag", "7.12.2026"}).out);
    std::size_t vermerkt = 0;
    for (std::size_t i = 1; i < nachher.size(); ++i) {
        if (nachher[i].find(";7.12.2026", nachher[i].size() - 10) != std::string::npos) {
            ++vermerkt;
            const std::string nummer =
                nachher[i].substr(nachher[i].find(';', nachher[i].find(';') + 1) + 1);
            EXPECT_THAT(
                log, HasSubstr(">> MAHNSTUFE << Rechnung " + nummer.substr(0, nummer.find(';'))));
        }
    }
    EXPECT_GT(vermerkt, 0u);
    // Recorded today: nothing is due again on the same day.
    const Ergebnis wieder = Lauf({"mahnungen", "--pdf", "w.pdf", "--stichtag", "7.12.2026"});
    EXPECT_EQ(wieder.status, 0);
    EXPECT_THAT(wieder.err, HasSubstr("keine Mahnung f\xC3\xA4llig"));
}

// A damaged dunning file: a cut record, a level outside 0 to 3, an invoice
// the invoice file does not hold and one named twice.
TEST_F(MahnungenTest, DamagedDunningFileIsReported) {
    auto satz = [](std::int32_t id, std::int32_t stufe) {
        std::string s(12, '\0');
        for (int i = 0; i < 4; ++i) {
            s[static_cast<std::size_t>(i)] = static_cast<char>((id >> (8 * i)) & 0xFF);
            s[static_cast<std::size_t>(4 + i)] = static_cast<char>((stufe >> (8 * i)) & 0xFF);
        }
        return s;
    };
    WriteBytes(Daten() + "/mahnungen.dat",
               satz(3, 7) + satz(999999, 1) + satz(3, 1) + std::string(5, '\0'));
    const Ergebnis e = Lauf({"pruefen"});
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.out, HasSubstr("daten/mahnungen.dat: 41 Bytes sind keine ganze Zahl von "
                                 "S\xC3\xA4tzen zu 12 Bytes"));
    EXPECT_THAT(e.out, HasSubstr("daten/mahnungen.dat: Satz 1 hat die Mahnstufe 7"));
    EXPECT_THAT(e.out, HasSubstr("Satz 2 nennt die Rechnung mit der Id 999999, die es in der "
                                 "Rechnungsdatei nicht gibt."));
    EXPECT_THAT(e.out, HasSubstr("Satz 3 nennt die Rechnung mit der Id 3 ein weiteres Mal."));
    // The list still comes, unknown ids ignored and the level taken as 3.
    const Ergebnis liste = Lauf({"offene-posten", "--alle", "--stichtag", "7.12.2026"});
    EXPECT_EQ(liste.status, 0) << liste.err;
}

// Every open invoice of the benchmarks' business: its open amount is the
// final amount its customer invoice prints less the amount received, and
// every invoice left out is deleted, marked paid or covered.
TEST(OffenePostenBetrag, EveryBenchmarkInvoiceOpenAmountIsThePrintedFinalAmountLessReceived) {
    TempDir dir;
    const std::string daten = dir / "daten";
    std::filesystem::create_directory(daten);
    Beispieldaten::Erzeugen(daten, Beispieldaten::Umfang::Benchmark(), 20261231,
                            Datum(31, 12, 2026));
    Lesebestand bestand(daten);
    Verwaltungen& v = bestand.V();
    const std::vector<OffenerPosten> posten = OffenePosten::Ermitteln(
        *v.rechnungsVerwaltung, v.customizer, bestand.Bestand().GetFirmendaten(),
        &bestand.Bestand().GetMahnungen(), bestand.Bestand().GetMahntexte(), Datum(31, 12, 2026),
        false);
    std::set<std::int32_t> offen;
    int abweichend = 0;
    for (const OffenerPosten& p : posten) {
        offen.insert(p.id);
        const Rechnung r = *v.rechnungsVerwaltung->GetRechnung(p.id);
        PrintRechnung doc(PrintRechnung::kKundenRechnung, false, &v,
                          v.kundenVerwaltung->GetKunde(r.kunde), &r);
        RecordingCanvas canvas;
        doc.Layout(canvas, doc.Seiten(), 0, 0, 2100, 2970);
        const RecordingCanvas::Text* zeile = canvas.Find("ENDBETRAG");
        ASSERT_NE(zeile, nullptr);
        const std::string gedruckt = zeile->text.substr(zeile->text.rfind(' ') + 1);
        if (gedruckt != Rechnungsbetrag::Text(p.endbetrag) ||
            p.offen != p.endbetrag - Rechnungsbetrag::Cent(r.betragEingegangen) || p.offen <= 0) {
            if (++abweichend <= 5) {
                ADD_FAILURE() << "Rechnung Id " << p.id << ": gedruckt " << gedruckt << ", offen "
                              << p.offen;
            }
        }
    }
    EXPECT_EQ(abweichend, 0);
    EXPECT_GT(posten.size(), 100u);
    int gezaehlt = 0;
    for (std::int32_t id = 0;; ++id) {
        const Rechnung* r = v.rechnungsVerwaltung->GetRechnung(id);
        if (r == nullptr) {
            break;
        }
        ++gezaehlt;
        if (offen.count(id) == 0) {
            EXPECT_TRUE(r->IstGeloescht() || r->beglichen != 0 ||
                        Rechnungsbetrag(*r, v.customizer).offen <= 0)
                << id;
        }
    }
    EXPECT_EQ(gezaehlt, 50000);
}

}  // namespace
