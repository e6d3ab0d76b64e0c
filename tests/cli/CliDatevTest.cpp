// The DATEV booking batch, read back as the advisor's DATEV would read it: a
// parser of its own here (never the writer's code) checks every line of the
// file the built tool writes, and the amounts against what the printed
// invoices say.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "documents/PrintRechnung.h"
#include "documents/RecordingCanvas.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/GenericList.h"
#include "support/FileBytes.h"

namespace {

// One field as it stands in the file: its text (quotes taken off and
// doubled quotes made single) and whether it was quoted.
struct Feld {
    std::string text;
    bool zitiert = false;
};
using Zeile = std::vector<Feld>;

// Splits a DATEV file into lines and fields. Every line ends in CR LF, no
// CR or LF stands anywhere else; fields are separated by ";" outside
// quotes, and a quoted field ends at a quote that is not doubled.
std::vector<Zeile> Lesen(const std::string& bytes) {
    std::vector<Zeile> zeilen;
    std::size_t i = 0;
    while (i < bytes.size()) {
        Zeile zeile;
        for (;;) {
            Feld feld;
            if (i < bytes.size() && bytes[i] == '"') {
                feld.zitiert = true;
                ++i;
                for (;; ++i) {
                    EXPECT_LT(i, bytes.size()) << "quote not closed";
                    if (i >= bytes.size()) {
                        return zeilen;
                    }
                    if (bytes[i] == '"') {
                        if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                            feld.text += '"';
                            ++i;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    EXPECT_TRUE(bytes[i] != '\r' && bytes[i] != '\n') << "line break in a text";
                    feld.text += bytes[i];
                }
            } else {
                while (i < bytes.size() && bytes[i] != ';' && bytes[i] != '\r' &&
                       bytes[i] != '\n') {
                    EXPECT_NE(bytes[i], '"') << "quote inside a field that is not quoted";
                    feld.text += bytes[i++];
                }
            }
            zeile.push_back(feld);
            if (i < bytes.size() && bytes[i] == ';') {
                ++i;
                continue;
            }
            EXPECT_EQ(bytes.substr(i, 2), "\r\n") << "line " << zeilen.size() + 1;
            i += 2;
            break;
        }
        zeilen.push_back(zeile);
    }
    return zeilen;
}

bool Ziffern(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// "1234,56": up to ten digits, a comma, two decimals.
bool IstBetrag(const std::string& text) {
    const std::size_t komma = text.find(',');
    return komma != std::string::npos && komma >= 1 && komma <= 10 && text.size() == komma + 3 &&
           Ziffern(text.substr(0, komma)) && Ziffern(text.substr(komma + 1));
}

std::vector<std::string> Teile(const std::string& text, char trenner) {
    std::vector<std::string> teile;
    std::size_t start = 0;
    for (std::size_t ende; (ende = text.find(trenner, start)) != std::string::npos;
         start = ende + 1) {
        teile.push_back(text.substr(start, ende - start));
    }
    teile.push_back(text.substr(start));
    return teile;
}

std::int64_t Cent(const std::string& betrag, char trenner) {
    const std::size_t stelle = betrag.find(trenner);
    return std::stoll(betrag.substr(0, stelle)) * 100 + std::stoll(betrag.substr(stelle + 1));
}

std::string HeuteText() {
    const std::time_t jetzt = std::time(nullptr);
    std::tm lokal{};
    localtime_r(&jetzt, &lokal);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &lokal);
    return text;
}

class CliDatevTest : public CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        SampleDaten();
    }

    std::string Firmendatei() const { return Daten() + "/firmendaten.txt"; }
    std::string Vermerke() const { return Daten() + "/datev-exporte.txt"; }

    // The advisor's numbers and the other settings as lines of the section.
    void Einstellungen(const std::string& zeilen) {
        WriteBytes(Firmendatei(), ReadBytes(Firmendatei()) + "[DATEV]\r\n" + zeilen);
    }

    // The invoice number and final amount (cents) of every invoice dated
    // in the period whose printed customer invoice shows an amount, read from
    // the printed page; an invoice without a date of its own counts on its
    // capture day.
    std::multiset<std::pair<std::string, std::int64_t>> Gedruckt(Datum von, Datum bis) {
        Bibliothek b(Daten());
        Verwaltungen& v = b.V();
        std::multiset<std::pair<std::string, std::int64_t>> belege;
        for (std::int32_t id = 0;; ++id) {
            const Rechnung* gelesen = v.rechnungsVerwaltung->GetRechnung(id);
            if (gelesen == nullptr) {
                break;
            }
            const Rechnung r = *gelesen;
            if (r.IstGeloescht()) {
                continue;
            }
            const Datum eigenes(r.datum);
            const Datum datum =
                eigenes.Year() > 1975 && eigenes.Year() < 10000 ? eigenes : Datum(r.erfasstDatum);
            if (datum.Julian() < von.Julian() || datum.Julian() > bis.Julian()) {
                continue;
            }
            PrintRechnung seite(PrintRechnung::kKundenRechnung, false, &v,
                                v.kundenVerwaltung->GetKunde(r.kunde), &r);
            RecordingCanvas canvas;
            seite.Layout(canvas, seite.Seiten(), 0, 0, 2100, 2970);
            const RecordingCanvas::Text* zeile = canvas.Find("ENDBETRAG");
            EXPECT_NE(zeile, nullptr) << "Rechnung Id " << id;
            if (zeile == nullptr) {
                continue;
            }
            std::string betrag = zeile->text.substr(zeile->text.rfind(' ') + 1);
            const bool negativ = betrag[0] == '-';
            const std::int64_t cent = Cent(negativ ? betrag.substr(1) : betrag, '.');
            if (cent != 0) {
                belege.insert({std::to_string(r.nummer), negativ ? -cent : cent});
            }
        }
        return belege;
    }

    // Everything DATEV checks of a batch of the year 2026, and its bookings
    // against the printed invoices.
    void Pruefen(const std::string& datei, const std::set<std::string>& heute) {
        const std::string bytes = ReadBytes(datei);
        // Windows-1252: the "ü" of a heading is one byte, never UTF-8's two.
        EXPECT_NE(bytes.find("Gegenkonto (ohne BU-Schl\xFCssel)"), std::string::npos);
        EXPECT_EQ(bytes.find("\xC3"), std::string::npos);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
            }
        }
        const std::vector<Zeile> zeilen = Lesen(bytes);
        ASSERT_GE(zeilen.size(), 3u);

        const Zeile& k = zeilen[0];
        ASSERT_EQ(k.size(), 31u);
        const std::vector<std::pair<std::size_t, std::string>> kopf = {
            {1, "EXTF"},
            {2, "700"},
            {3, "21"},
            {4, "Buchungsstapel"},
            {5, "13"},
            {8, "RK"},
            {11, "29098"},
            {12, "55003"},
            {13, "20260101"},
            {14, "4"},
            {15, "20260101"},
            {16, "20261231"},
            {17, "Rechnungen 01.01.26-31.12.26"},
            {19, "1"},
            {20, "0"},
            {21, "0"},
            {22, "EUR"},
            {27, "03"}};
        for (const auto& [nummer, wert] : kopf) {
            EXPECT_EQ(k[nummer - 1].text, wert) << "header field " << nummer;
        }
        for (std::size_t nummer : {1, 4, 8, 9, 17, 22, 27}) {
            EXPECT_TRUE(k[nummer - 1].zitiert) << "header field " << nummer;
        }
        for (std::size_t nummer : {2, 3, 5, 6, 11, 12, 13, 14, 15, 16, 19, 20, 21}) {
            EXPECT_FALSE(k[nummer - 1].zitiert) << "header field " << nummer;
        }
        EXPECT_EQ(k[6 - 1].text.size(), 17u);
        EXPECT_TRUE(Ziffern(k[6 - 1].text));
        EXPECT_EQ(heute.count(k[6 - 1].text.substr(0, 8)), 1u) << k[6 - 1].text;
        EXPECT_LE(k[9 - 1].text.size(), 25u);
        EXPECT_LE(k[17 - 1].text.size(), 30u);
        for (std::size_t nummer : {7, 10, 18, 23, 24, 25, 26, 28, 29, 30, 31}) {
            EXPECT_EQ(k[nummer - 1].text, "") << "header field " << nummer;
        }

        const Zeile& s = zeilen[1];
        ASSERT_EQ(s.size(), 125u);
        const std::vector<std::string> anfang = {"Umsatz (ohne Soll/Haben-Kz)",
                                                 "Soll/Haben-Kennzeichen",
                                                 "WKZ Umsatz",
                                                 "Kurs",
                                                 "Basis-Umsatz",
                                                 "WKZ Basis-Umsatz",
                                                 "Konto",
                                                 "Gegenkonto (ohne BU-Schlüssel)",
                                                 "BU-Schlüssel",
                                                 "Belegdatum",
                                                 "Belegfeld 1",
                                                 "Belegfeld 2",
                                                 "Skonto",
                                                 "Buchungstext"};
        for (std::size_t i = 0; i < anfang.size(); ++i) {
            EXPECT_EQ(CodePage::Cp1252ToUtf8(s[i].text), anfang[i]);
        }
        EXPECT_EQ(s[114 - 1].text, "Festschreibung");
        EXPECT_EQ(CodePage::Cp1252ToUtf8(s[117 - 1].text), "Fälligkeit");
        EXPECT_EQ(s[125 - 1].text, "Abw. Skontokonto");
        std::set<std::string> namen;
        for (const Feld& f : s) {
            EXPECT_FALSE(f.zitiert);
            namen.insert(f.text);
        }
        EXPECT_EQ(namen.size(), 125u);

        // The payment term of the seller data, read from their file.
        const std::string firma = ReadBytes(Firmendatei());
        const std::size_t ziel = firma.find("Zahlungsziel=") + 13;
        const int tage = std::stoi(firma.substr(ziel, firma.find('\r', ziel) - ziel));

        std::multiset<std::pair<std::string, std::int64_t>> gebucht;
        std::int64_t summe = 0;
        Bibliothek b(Daten());
        for (std::size_t n = 2; n < zeilen.size(); ++n) {
            const Zeile& z = zeilen[n];
            SCOPED_TRACE("line " + std::to_string(n + 1));
            ASSERT_EQ(z.size(), 125u);
            EXPECT_FALSE(z[0].zitiert);
            EXPECT_TRUE(IstBetrag(z[0].text)) << z[0].text;
            EXPECT_NE(z[0].text, "0,00");
            EXPECT_TRUE(z[1].zitiert);
            EXPECT_TRUE(z[1].text == "S" || z[1].text == "H") << z[1].text;
            EXPECT_TRUE(z[2].zitiert);
            EXPECT_EQ(z[2].text, "EUR");
            EXPECT_FALSE(z[6].zitiert);
            EXPECT_FALSE(z[7].zitiert);
            EXPECT_EQ(z[7].text, "8400");
            EXPECT_EQ(z[8].text, "");
            EXPECT_FALSE(z[9].zitiert);
            EXPECT_TRUE(z[10].zitiert);
            EXPECT_TRUE(z[13].zitiert);
            EXPECT_LE(z[13].text.size(), 60u);
            EXPECT_EQ(z[13].text.rfind("Rechnung " + z[10].text, 0), 0u) << z[13].text;
            EXPECT_EQ(z[113].text, "0");

            // TTMM, the year from the header's fiscal year.
            ASSERT_EQ(z[9].text.size(), 4u);
            ASSERT_TRUE(Ziffern(z[9].text));
            const Datum beleg(std::stoi(z[9].text.substr(0, 2)), std::stoi(z[9].text.substr(2)),
                              2026);
            EXPECT_TRUE(beleg.IsValid());
            EXPECT_GE(beleg.Julian(), Datum(1, 1, 2026).Julian());
            EXPECT_LE(beleg.Julian(), Datum(31, 12, 2026).Julian());
            const Datum faellig(beleg.Julian() + static_cast<std::uint32_t>(tage));
            char erwartet[16];
            std::snprintf(erwartet, sizeof erwartet, "%02d%02d%04d", faellig.Day(), faellig.Month(),
                          faellig.Year());
            EXPECT_FALSE(z[116].zitiert);
            EXPECT_EQ(z[116].text, erwartet);

            // Each customer an account of its own, 10000 and its number.
            GenericList<Rechnung> treffer;
            b.V().rechnungsVerwaltung->GetRechnungenNachNummerOderBetrag(std::stoi(z[10].text),
                                                                         0.0f, 0.0f, treffer);
            ASSERT_GE(treffer.Count(), 1u);
            EXPECT_EQ(z[6].text, std::to_string(10000 + treffer[0].kunde));

            const std::int64_t cent = Cent(z[0].text, ',') * (z[1].text == "H" ? -1 : 1);
            gebucht.insert({z[10].text, cent});
            summe += cent;
        }
        const auto gedruckt = Gedruckt(Datum(1, 1, 2026), Datum(31, 12, 2026));
        EXPECT_EQ(gebucht, gedruckt);
        std::int64_t druck = 0;
        for (const auto& [nummer, cent] : gedruckt) {
            druck += cent;
        }
        EXPECT_EQ(summe, druck);
        EXPECT_GT(gebucht.size(), 50u);
    }
};

TEST_F(CliDatevTest, TheSampleYearReadsBackAsDatevReadsItWithPricesIncludingAndExcludingVat) {
    Einstellungen("Beraternummer=29098\r\nMandantennummer=55003\r\n");
    const std::string vorher = HeuteText();
    const Ergebnis lauf =
        Lauf({"datev", "--von", "1.1.2026", "--bis", "31.12.2026", "EXTF_2026.csv"});
    ASSERT_EQ(lauf.status, 0) << lauf.err;
    const std::set<std::string> heute = {vorher, HeuteText()};
    {
        SCOPED_TRACE("prices including VAT");
        Pruefen(Pfad("EXTF_2026.csv"), heute);
    }
    const std::string vermerk = ReadBytes(Vermerke());
    ASSERT_EQ(vermerk.rfind("1.1.2026;31.12.2026;", 0), 0u) << vermerk;

    // The same year with net prices and the VAT added on top: asked for
    // again on purpose, and remembered a second time.
    {
        auto bestand = Oeffnen();
        bestand->GetVerwaltungen().customizer->mwstEnthalten = 0;
        ASSERT_TRUE(bestand->GetVerwaltungen().customizer->Store());
    }
    const Ergebnis netto =
        Lauf({"datev", "--von", "1.1.2026", "--bis", "31.12.2026", "EXTF_netto.csv", "--erneut"});
    ASSERT_EQ(netto.status, 0) << netto.err;
    {
        SCOPED_TRACE("prices excluding VAT");
        Pruefen(Pfad("EXTF_netto.csv"), heute);
    }
    EXPECT_NE(ReadBytes(Pfad("EXTF_netto.csv")), ReadBytes(Pfad("EXTF_2026.csv")));
    const std::string vermerke = ReadBytes(Vermerke());
    EXPECT_EQ(vermerke.substr(0, vermerk.size()), vermerk);
    EXPECT_EQ(vermerke.substr(vermerk.size()).rfind("1.1.2026;31.12.2026;", 0), 0u);
    EXPECT_EQ(std::count(vermerke.begin(), vermerke.end(), '\n'), 2);
    EXPECT_THAT(netto.out, ::testing::StartsWith("DATEV-Stapel »EXTF_netto.csv«: "));
}

TEST_F(CliDatevTest, RefusalsSayWhyAndWriteNothing) {
    auto verweigert = [&](const std::vector<std::string>& argumente, const std::string& meldung) {
        const std::string vermerke =
            std::filesystem::exists(Vermerke()) ? ReadBytes(Vermerke()) : "(keine)";
        const Ergebnis lauf = Lauf(argumente);
        EXPECT_EQ(lauf.status, 1);
        EXPECT_EQ(lauf.err, "rebkontor-cli: " + meldung + "\n");
        EXPECT_FALSE(std::filesystem::exists(Pfad("EXTF_x.csv")));
        EXPECT_EQ(std::filesystem::exists(Vermerke()) ? ReadBytes(Vermerke()) : "(keine)",
                  vermerke);
    };
    const std::vector<std::string> november = {"datev", "--von",      "1.11.2026",
                                               "--bis", "30.11.2026", "EXTF_x.csv"};
    verweigert(november,
               "Für den DATEV-Export fehlen noch: Beraternummer, Mandantennummer. Ihr "
               "Steuerberater nennt sie Ihnen; sie werden unter Optionen/DATEV-Einstellungen "
               "eingetragen. Es wurde keine Datei geschrieben.");
    const std::string ohne = ReadBytes(Firmendatei());
    Einstellungen("Beraternummer=12\r\n");
    verweigert(november,
               "Für den DATEV-Export fehlen noch: Mandantennummer. Ihr Steuerberater nennt sie "
               "Ihnen; sie werden unter Optionen/DATEV-Einstellungen eingetragen. Es wurde keine "
               "Datei geschrieben.");
    WriteBytes(Firmendatei(), ohne);
    Einstellungen("Beraternummer=12\r\nMandantennummer=55003\r\n");
    verweigert(november,
               "Die DATEV-Einstellungen sind nicht in Ordnung: Die Beraternummer ist eine Zahl "
               "von 1001 bis 9999999. Bitte korrigieren Sie sie unter "
               "Optionen/DATEV-Einstellungen. Es wurde keine Datei geschrieben.");
    WriteBytes(Firmendatei(), ohne);
    Einstellungen(
        "Beraternummer=29098\r\nMandantennummer=55003\r\nWirtschaftsjahresbeginn=1.7.\r\n");

    // The fiscal year from 1 July: the first half of 2026 and the second.
    verweigert({"datev", "--von", "1.6.2026", "--bis", "31.7.2026", "EXTF_x.csv"},
               "Der Zeitraum 1.6.2026 bis 31.7.2026 reicht über den Beginn des "
               "Wirtschaftsjahres am 1.7.2026 hinaus. DATEV nimmt einen Buchungsstapel nur "
               "innerhalb eines Wirtschaftsjahres an: Bitte exportieren Sie den Zeitraum "
               "1.6.2026 bis 30.6.2026 und den Zeitraum 1.7.2026 bis 31.7.2026 getrennt. Es "
               "wurde keine Datei geschrieben.");

    // A customer whose number makes a debitor account of six digits.
    std::int32_t grosser = 0;
    {
        auto bestand = Oeffnen();
        Verwaltungen& v = bestand->GetVerwaltungen();
        KundenVerwaltung::maxNummer = 89999;
        Kunde kunde;
        FixedText::Set(kunde.Vorname, "Ida");
        FixedText::Set(kunde.Nachname, "Sch\xF6n");
        bestand->KundenEinlesen().AddKunde(kunde);
        grosser = kunde.nummer;
        GenericList<Rechnung> imNovember;
        v.rechnungsVerwaltung->GetRechnungenNachDatum(
            imNovember, 0, 0xFFFFFFFFu, Datum(1, 11, 2026).Julian(), Datum(30, 11, 2026).Julian(),
            false, true, false);
        ASSERT_GE(imNovember.Count(), 1u);
        Rechnung r = imNovember[0];
        r.kunde = grosser;
        v.rechnungsVerwaltung->UpdateRechnung(r);
    }
    ASSERT_EQ(grosser, 90000);
    verweigert(november,
               "Der Kunde Nr. 90000 (Ida Schön) bekäme das Debitorenkonto 100000; "
               "Debitorenkonten haben aber genau 5 Stellen, eine mehr als die Sachkonten. Bitte "
               "wählen Sie unter Optionen/DATEV-Einstellungen den Sammeldebitor oder längere "
               "Sachkonten. Es wurde keine Datei geschrieben.");
    WriteBytes(Firmendatei(), ohne);
    Einstellungen("Beraternummer=29098\r\nMandantennummer=55003\r\nDebitoren=Sammeldebitor\r\n");
    const Ergebnis erst =
        Lauf({"datev", "--von", "1.11.2026", "--bis", "30.11.2026", "EXTF_november.csv"});
    ASSERT_EQ(erst.status, 0) << erst.err;
    const std::vector<Zeile> zeilen = Lesen(ReadBytes(Pfad("EXTF_november.csv")));
    ASSERT_GE(zeilen.size(), 3u);
    for (std::size_t n = 2; n < zeilen.size(); ++n) {
        EXPECT_EQ(zeilen[n][6].text, "10000");
    }
    // "1.11.2026;30.11.2026;<day> <h:mm:ss>;<count>;<sum>"
    const std::string vermerk = ReadBytes(Vermerke());
    ASSERT_EQ(vermerk.substr(vermerk.size() - 2), "\r\n");
    const std::vector<std::string> teile = Teile(vermerk.substr(0, vermerk.size() - 2), ';');
    ASSERT_EQ(teile.size(), 5u) << vermerk;
    EXPECT_EQ(teile[0] + ";" + teile[1], "1.11.2026;30.11.2026");
    EXPECT_EQ(teile[3], std::to_string(zeilen.size() - 2));
    EXPECT_TRUE(IstBetrag(teile[4])) << teile[4];
    const std::string zeitpunkt = teile[2].substr(0, teile[2].rfind(':'));

    // Half of November again.
    verweigert({"datev", "--von", "15.11.2026", "--bis", "15.12.2026", "EXTF_x.csv"},
               "Der Zeitraum 15.11.2026 bis 15.12.2026 überschneidet sich mit dem DATEV-Export "
               "vom " +
                   zeitpunkt + " (1.11.2026 bis 30.11.2026, " + teile[3] + " Rechnungen, " +
                   teile[4] +
                   " EUR). Mit --erneut wird der Zeitraum trotzdem exportiert. Es wurde keine "
                   "Datei geschrieben.");
    const Ergebnis erneut =
        Lauf({"datev", "--von", "15.11.2026", "--bis", "15.12.2026", "EXTF_x.csv", "--erneut"});
    EXPECT_EQ(erneut.status, 0) << erneut.err;
    EXPECT_TRUE(std::filesystem::exists(Pfad("EXTF_x.csv")));

    // A line nobody can read might be any period.
    WriteBytes(Vermerke(), ReadBytes(Vermerke()) + "kaputt\r\n");
    std::filesystem::remove(Pfad("EXTF_x.csv"));
    verweigert({"datev", "--von", "1.1.2026", "--bis", "31.1.2026", "EXTF_x.csv"},
               "In der Datei daten/datev-exporte.txt ist Zeile 3 kein lesbarer Eintrag; ob sie "
               "diesen Zeitraum schon exportiert hat, ist nicht zu erkennen. Mit --erneut wird "
               "der Zeitraum trotzdem exportiert. Es wurde keine Datei geschrieben.");
    const Ergebnis pruefen = Lauf({"pruefen"});
    EXPECT_EQ(pruefen.status, 1);
    EXPECT_THAT(pruefen.out,
                ::testing::HasSubstr("datev-exporte.txt: Zeile 3 ist kein Eintrag der Form"));
}

}  // namespace
