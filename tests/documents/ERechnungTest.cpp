#include "documents/ERechnung.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "documents/PrintRechnung.h"
#include "documents/RecordingCanvas.h"
#include "documents/XRechnungXml.h"
#include "model/Firmendaten.h"
#include "model/RechnungsFixture.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"

namespace {

// The invoice data set of the e-invoice tests: a seller, a business
// customer with an e-mail address and 25 wines with awkward names.
class ERechnungTest : public RechnungsFixture {
  protected:
    ERechnungTest() {
        for (int w = 1; w <= 25; ++w) {
            WeinAnlegen(w, 1000, 1200);
            Wein* wein = Wv().GetWein(w);
            FixedText::Set(wein->name, "Riesling <" + std::to_string(w) + "> M\xFCller & S\xF6hne");
            FixedText::Set(wein->bezeichnung, "Sp\xE4tlese trocken");
            FixedText::Set(wein->fuellmenge, "0,75 l");
            Wv().Store(wein);
        }
        kunde_ = Geschaeftskunde("info@zur-traube.de");
        Customizer& c = *V().customizer;
        c.SetWaehrung("EUR");
        c.mwst = 19.0f;
        c.preiseInEuro = 1;
        firma_.name = "Weingut M\xFCller & S\xF6hne";
        firma_.inhaber = "Anna M\xFCller";
        firma_.strasse =
            "Weinstra\xDF"
            "e 1";
        firma_.plz = "67098";
        firma_.ort = "Bad D\xFCrkheim";
        firma_.telefon = "06322 12345";
        firma_.email = "info@weingut-mueller.de";
        firma_.ustId = "DE123456789";
        firma_.iban = "DE89370400440532013000";
        firma_.bic = "GENODE61DUW";
        firma_.zahlungsziel = "14";
    }

    std::int32_t Geschaeftskunde(const char* email) {
        Kunde kunde;
        FixedText::Set(kunde.Anrede, "Firma");
        FixedText::Set(kunde.Vorname, "Gasthaus");
        FixedText::Set(kunde.Nachname, "\"Zur Traube\" <M\xFCller & Co>");
        FixedText::Set(kunde.Strasse, "Marktplatz 7");
        FixedText::Set(kunde.Ort, "N\xFCrnberg");
        FixedText::Set(kunde.EMail, email);
        kunde.PLZ = 90403;
        Kv().AddKunde(kunde);
        return kunde.nummer;
    }

    // An invoice with n items of awkward quantities and prices.
    Rechnung& MitPosten(int n, const char* bemerkung = "") {
        std::vector<Position> posten;
        for (int i = 1; i <= n; ++i) {
            posten.push_back({i, static_cast<std::int16_t>(i % 7 + 1), 0.0f,
                              4.95f + static_cast<float>(i) * 1.13f});
        }
        Rechnung& r = *Rv().GetRechnung(RechnungSpeichern(kunde_, posten));
        FixedText::Set(r.bemerkung, bemerkung);
        r.nummer = 2026000 + n;
        r.datum = Datum(3, 12, 2026).Julian();
        return r;
    }

    ERechnung Erstellen(const Rechnung& r, const std::string& referenz = "") {
        std::string fehler;
        auto e = ERechnung::Aus(r, V(), firma_, referenz, fehler);
        EXPECT_TRUE(e.has_value()) << fehler;
        return e.value_or(ERechnung{});
    }

    std::string Abgelehnt(const Rechnung& r) {
        std::string fehler;
        EXPECT_FALSE(ERechnung::Aus(r, V(), firma_, "", fehler).has_value());
        return fehler;
    }

    // The amount that ends a line of the document's last page: the final
    // amount of the customer invoice, the VAT of the internal copy (which
    // prints it in both VAT modes in that place).
    std::string Gedruckt(Rechnung& r, std::int32_t art, const char* zeile) {
        PrintRechnung doc(art, false, &V(), Kv().GetKunde(r.kunde), &r);
        RecordingCanvas canvas;
        doc.Layout(canvas, doc.Seiten(), 0, 0, 2100, 2970);
        const RecordingCanvas::Text* text = canvas.Find(zeile);
        return text != nullptr ? text->text.substr(text->text.rfind(' ') + 1) : "";
    }
    std::string GedruckterEndbetrag(Rechnung& r) {
        return Gedruckt(r, PrintRechnung::kKundenRechnung, "ENDBETRAG");
    }

    std::int32_t kunde_ = 0;
    Firmendaten firma_;
};

TEST_F(ERechnungTest, PayableAmountIsThePrintedFinalAmountWithAndWithoutVat) {
    for (int enthalten : {0, 1}) {
        V().customizer->mwstEnthalten = static_cast<std::uint8_t>(enthalten);
        for (int n : {1, 3, 10, 25}) {
            Rechnung& r = MitPosten(n);
            const ERechnung e = Erstellen(r);
            SCOPED_TRACE(std::to_string(n) + " items, VAT included " + std::to_string(enthalten));
            EXPECT_EQ(ERechnung::Betrag(e.zahlbar), GedruckterEndbetrag(r));
            ASSERT_EQ(e.zeilen.size(), static_cast<std::size_t>(n));
            std::int64_t summe = 0;
            for (const auto& z : e.zeilen) {
                summe += z.netto;
            }
            EXPECT_EQ(summe, e.summeNetto);
            EXPECT_EQ(ERechnung::Betrag(e.mwst),
                      Gedruckt(r, PrintRechnung::kInterneRechnung, "Mehrwertsteuer"));
            EXPECT_EQ(e.brutto + e.rundung, e.zahlbar);
            EXPECT_LE(std::abs(e.rundung), n);
        }
    }
    // Net prices: 2 bottles at 10.00 and 19 %: no rounding at all.
    V().customizer->mwstEnthalten = 0;
    Rechnung& r = *Rv().GetRechnung(RechnungSpeichern(kunde_, {{3, 2, 0.0f, 10.0f}}));
    const ERechnung e = Erstellen(r, "Bestellung 4711");
    EXPECT_EQ(e.summeNetto, 2000);
    EXPECT_EQ(e.mwst, 380);
    EXPECT_EQ(e.zahlbar, 2380);
    EXPECT_EQ(e.rundung, 0);
    EXPECT_EQ(e.zeilen[0].nettoPreis, 100000);
    EXPECT_EQ(e.referenz, "Bestellung 4711");
    EXPECT_EQ(e.kaeufer.email, "info@zur-traube.de");
    EXPECT_EQ(e.kaeufer.ort, "Nürnberg");
    // No date on the invoice: the day it was captured; due 14 days later.
    EXPECT_EQ(e.jahr * 10000 + e.monat * 100 + e.tag, 20261206);
    EXPECT_EQ(e.faelligJahr * 10000 + e.faelligMonat * 100 + e.faelligTag, 20261220);
    EXPECT_EQ(Erstellen(r).referenz, std::to_string(kunde_));
}

TEST_F(ERechnungTest, RefusesWhatCannotBecomeAnEInvoiceAndSaysWhatIsMissing) {
    Rechnung& r = MitPosten(2);
    V().customizer->preiseInEuro = 0;
    EXPECT_EQ(Abgelehnt(r),
              "Die Preise werden in DM geführt (Optionen/Grundeinstellungen). Eine E-Rechnung "
              "kann nur in Euro erstellt werden."_w);
    V().customizer->preiseInEuro = 1;

    const Firmendaten vollstaendig = firma_;
    firma_.iban.clear();
    firma_.ustId.clear();
    firma_.strasse = "  ";
    EXPECT_EQ(Abgelehnt(r),
              "In den Firmendaten fehlt: Straße, USt-IdNr. oder Steuernummer, IBAN. Bitte "
              "ergänzen Sie sie unter Optionen/Firmendaten."_w);
    firma_ = vollstaendig;
    firma_.name.clear();
    EXPECT_EQ(Abgelehnt(r),
              "In den Firmendaten fehlt: Name. Bitte ergänzen Sie sie unter "
              "Optionen/Firmendaten."_w);
    firma_ = vollstaendig;

    Rechnung& ohneMail = *Rv().GetRechnung(RechnungSpeichern(Geschaeftskunde(""), {{1, 1, 0, 5}}));
    EXPECT_EQ(Abgelehnt(ohneMail),
              "Der Kunde Nr. " + std::to_string(ohneMail.kunde) +
                  " (Gasthaus \"Zur Traube\" <Müller & Co>) hat keine E-Mail-Adresse. Eine "
                  "E-Rechnung nennt die elektronische Adresse des Käufers; bitte tragen Sie sie "
                  "beim Kunden ein."_w);

    Rechnung& leer = *Rv().GetRechnung(RechnungSpeichern(kunde_));
    EXPECT_EQ(Abgelehnt(leer),
              "Die Rechnung Nr. " + std::to_string(leer.nummer) + " hat keine Posten.");

    const std::int32_t id = r.id;
    Rv().DeleteRechnung(id, true);
    const Rechnung& geloescht = *Rv().GetRechnung(id);
    EXPECT_EQ(Abgelehnt(geloescht), "Die Rechnung Nr. " + std::to_string(geloescht.nummer) +
                                        " ist gelöscht. Aus einer gelöschten Rechnung wird "
                                        "keine E-Rechnung erstellt."_w);
}

TEST_F(ERechnungTest, RefusesNegativeAmountsAndDatesItCannotWrite) {
    // One formatting for every amount, negative ones included.
    EXPECT_EQ(ERechnung::Preis(-42017), "-4.2017");
    EXPECT_EQ(ERechnung::Preis(-17), "-0.0017");
    EXPECT_EQ(ERechnung::Preis(123456), "12.3456");
    EXPECT_EQ(ERechnung::Betrag(-5), "-0.05");
    EXPECT_EQ(ERechnung::Betrag(120000), "1200.00");
    EXPECT_EQ(ERechnung::Dezimal(INT64_MIN, 2), "-92233720368547758.08");

    // EN 16931 BR-27: no negative item price.
    Rechnung& negativ =
        *Rv().GetRechnung(RechnungSpeichern(kunde_, {{1, 2, 0.0f, 10.0f}, {2, 1, 0.0f, -5.0f}}));
    negativ.datum = Datum(3, 12, 2026).Julian();
    EXPECT_EQ(Abgelehnt(negativ),
              "Der Posten mit Wein Nr. 2 der Rechnung Nr. " + std::to_string(negativ.nummer) +
                  " hat einen negativen Betrag (-5.00). Eine E-Rechnung kann keine negativen "
                  "Preise enthalten.");

    // 31.12.9999 is a date, but it falls due in the year 10000.
    Rechnung& spaet = MitPosten(1);
    spaet.datum = Datum(31, 12, 9999).Julian();
    EXPECT_EQ(Abgelehnt(spaet),
              "Das Fälligkeitsdatum der Rechnung Nr. 2026001 (14.1.10000) kann "
              "eine E-Rechnung nicht angeben. Bitte korrigieren Sie das Datum "
              "der Rechnung."_w);
    // Neither a date nor a capture day to fall back on.
    spaet.datum = 0;
    spaet.erfasstDatum = 0;
    EXPECT_EQ(Abgelehnt(spaet),
              "Die Rechnung Nr. 2026001 hat kein Rechnungsdatum, das eine "
              "E-Rechnung angeben kann. Bitte korrigieren Sie das Datum der "
              "Rechnung.");
    // The writer itself never writes a date of more than four year digits.
    ERechnung e = Erstellen(MitPosten(1));
    e.faelligJahr = 10000;
    EXPECT_THROW(XRechnungXml::Schreiben(e, XRechnungXml::kXRechnung), MessageException);
}

// Runs the validation kit beside the repository on every file; the kit
// costs seconds per file, so all invoices go through one test.
TEST_F(ERechnungTest, GeneratedInvoicesPassTheEn16931AndXRechnungRules) {
    const std::filesystem::path kit = REBKONTOR_EINVOICE;
    if (!std::filesystem::exists(kit / "validate")) {
        GTEST_SKIP() << "Validierungs-Kit fehlt: " << kit;
    }
    if (!std::filesystem::exists("/usr/share/java/Saxon-HE.jar") ||
        std::system("command -v java >/dev/null && command -v xmllint >/dev/null") != 0) {
        GTEST_SKIP() << "java, xmllint oder Saxon-HE fehlen (scripts/install-deps)";
    }
    std::vector<std::pair<std::string, std::string>> dateien;  // file, profile flag
    auto schreiben = [&](const std::string& name, const ERechnung& e, XRechnungXml::Profil p) {
        std::ofstream(name, std::ios::binary) << XRechnungXml::Schreiben(e, p);
        dateien.emplace_back(name, p == XRechnungXml::kFacturX ? " --no-xrechnung" : "");
    };
    V().customizer->mwstEnthalten = 0;
    schreiben("netto1.xml", Erstellen(MitPosten(1)), XRechnungXml::kXRechnung);
    schreiben("netto25.xml",
              Erstellen(MitPosten(25, "Lieferung frei Haus <sofort> & \"gut\" gek\xFChlt")),
              XRechnungXml::kXRechnung);
    V().customizer->mwstEnthalten = 1;
    schreiben("brutto1.xml", Erstellen(MitPosten(1)), XRechnungXml::kXRechnung);
    schreiben("brutto25.xml", Erstellen(MitPosten(25, "\xC4pfel & <Birnen>\x01\tz")),
              XRechnungXml::kXRechnung);
    Rechnung& ohneDatum = *Rv().GetRechnung(RechnungSpeichern(kunde_, {{7, 12, 0.0f, 8.4f}}));
    firma_.ustId.clear();
    firma_.steuernummer = "21/815/08150";
    schreiben("ohnedatum.xml", Erstellen(ohneDatum), XRechnungXml::kXRechnung);
    V().customizer->mwst = 7.0f;
    schreiben("facturx.xml", Erstellen(MitPosten(4)), XRechnungXml::kFacturX);

    for (const auto& [datei, flag] : dateien) {
        const std::string befehl =
            (kit / "validate").string() + " " + datei + flag + " > " + datei + ".txt 2>&1";
        const int rc = std::system(befehl.c_str());
        std::ifstream bericht(datei + ".txt");
        std::stringstream text;
        text << bericht.rdbuf();
        EXPECT_EQ(rc, 0) << datei << ":\n" << text.str();
        EXPECT_EQ(text.str().find("\n  fatal"), std::string::npos) << text.str();
    }
}

}  // namespace
