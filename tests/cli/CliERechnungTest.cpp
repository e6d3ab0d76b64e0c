#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;

namespace {

// E-invoices of the sample business through the tool: the files, read back
// with the validation kit beside the repository, poppler-utils and qpdf.
class ERechnungCliTest : public CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        SampleDaten();
    }

    // The newest live invoice whose customer has (or has not) an e-mail
    // address, by number; the number leads to that very invoice.
    std::int32_t RechnungMitMail(bool mitMail) {
        Bibliothek bibliothek(Daten());
        Verwaltungen& v = bibliothek.V();
        std::int32_t gefunden = -1;
        for (std::int32_t id = 0; const Rechnung* r = v.rechnungsVerwaltung->GetRechnung(id);
             ++id) {
            const Kunde* k = v.kundenVerwaltung->GetKunde(r->kunde);
            if (r->IstGeloescht() || k == nullptr || FixedText::Get(k->EMail).empty() == mitMail) {
                continue;
            }
            GenericList<Rechnung> treffer;
            v.rechnungsVerwaltung->GetRechnungenNachNummerOderBetrag(r->nummer, 0, 0, treffer);
            if (treffer.Count() > 0 && treffer[0].id == id) {
                gefunden = r->nummer;
            }
        }
        return gefunden;
    }

    static std::string Kit() { return REBKONTOR_EINVOICE; }
    bool KitDa() {
        return std::filesystem::exists(Kit() + "/validate") &&
               std::filesystem::exists("/usr/share/java/Saxon-HE.jar") &&
               Programm("java", {"-version"}).status == 0;
    }
};

TEST_F(ERechnungCliTest, XRechnungAndZugferdOfABusinessCustomerAreValidAndMatchThePrint) {
    const Ergebnis probe = Lauf({"rechnung", "--id", "0", "--pdf", Pfad("probe.pdf")});
    if (probe.err.find("rebkontor-cli-pdf fehlt") != std::string::npos) {
        GTEST_SKIP() << "rebkontor-cli-pdf is not built";
    }
    const std::int32_t nummer = RechnungMitMail(true);
    ASSERT_GT(nummer, 0);
    const std::string nr = std::to_string(nummer);
    const Schnappschuss vorher = Aufnahme(Daten());
    const Ergebnis e = Lauf({"rechnung", nr, "--xrechnung", "x.xml", "--zugferd", "z.pdf",
                             "--referenz", "991-12345-67 Müller & <Söhne>"});
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out + e.err, "");
    EXPECT_EQ(Aufnahme(Daten()), vorher);

    const std::string xml = ReadBytes(Pfad("x.xml"));
    EXPECT_THAT(xml, HasSubstr("<ram:ID>urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:"
                               "xrechnung_3.0</ram:ID>"));
    EXPECT_THAT(xml, HasSubstr("<ram:BuyerReference>991-12345-67 Müller &amp; &lt;Söhne&gt;"
                               "</ram:BuyerReference>"));
    EXPECT_THAT(xml, HasSubstr("<ram:ID>" + nr + "</ram:ID>"));

    // The PDF: sound, PDF/A-3 with Factur-X in its metadata, fonts embedded,
    // and the attachment is the invoice in the EN 16931 profile.
    EXPECT_EQ(Programm("qpdf", {"--check", Pfad("z.pdf")}).status, 0);
    const std::string pdf = ReadBytes(Pfad("z.pdf"));
    EXPECT_THAT(pdf, HasSubstr("pdfaid:part=\"3\""));
    EXPECT_THAT(pdf, HasSubstr("fx:DocumentFileName=\"factur-x.xml\""));
    EXPECT_THAT(pdf, HasSubstr("fx:ConformanceLevel=\"EN 16931\""));
    EXPECT_THAT(pdf, HasSubstr("/AFRelationship /Alternative"));
    const Ergebnis fonts = Programm("pdffonts", {Pfad("z.pdf")});
    ASSERT_EQ(fonts.status, 0);
    int schriften = 0;
    for (std::size_t z = fonts.out.find('\n', fonts.out.find("----"));
         z != std::string::npos && z + 1 < fonts.out.size(); z = fonts.out.find('\n', z + 1)) {
        const std::string zeile = fonts.out.substr(z + 1, fonts.out.find('\n', z + 1) - z - 1);
        if (!zeile.empty()) {
            ++schriften;
            EXPECT_THAT(zeile, ::testing::ContainsRegex(" yes +(yes|no) +(yes|no) ")) << zeile;
        }
    }
    EXPECT_GT(schriften, 0);
    ASSERT_EQ(Programm("pdfdetach", {"-save", "1", "-o", Pfad("fx.xml"), Pfad("z.pdf")}).status, 0);
    const std::string fx = ReadBytes(Pfad("fx.xml"));
    EXPECT_THAT(fx, HasSubstr("<ram:ID>urn:cen.eu:en16931:2017</ram:ID>"));
    // Apart from the profile it is the same invoice.
    auto ohneProfil = [](std::string text) {
        const std::size_t a = text.find("<ram:GuidelineSpecifiedDocumentContextParameter>");
        const std::size_t b = text.find("</ram:GuidelineSpecifiedDocumentContextParameter>");
        return a == std::string::npos || b == std::string::npos ? text : text.erase(a, b - a);
    };
    EXPECT_EQ(ohneProfil(fx), ohneProfil(xml));

    // The same pages as the printed customer invoice.
    ASSERT_EQ(Lauf({"rechnung", nr, "--pdf", "k.pdf", "--dokumente", "kunde"}).status, 0);
    const std::string gedruckt = Programm("pdftotext", {"-layout", Pfad("k.pdf"), "-"}).out;
    EXPECT_EQ(Programm("pdftotext", {"-layout", Pfad("z.pdf"), "-"}).out, gedruckt);
    const std::size_t zahlbar = xml.find("<ram:DuePayableAmount>");
    ASSERT_NE(zahlbar, std::string::npos);
    const std::string betrag = xml.substr(zahlbar + 22, xml.find('<', zahlbar + 22) - zahlbar - 22);
    EXPECT_THAT(gedruckt, ::testing::ContainsRegex("ENDBETRAG +EUR " + betrag));

    if (!KitDa()) {
        GTEST_SKIP() << "Validierungs-Kit, java oder Saxon-HE fehlen: " << Kit();
    }
    const Ergebnis xr = Programm(Kit() + "/validate", {Pfad("x.xml")});
    EXPECT_EQ(xr.status, 0) << xr.out;
    const Ergebnis fr = Programm(Kit() + "/validate", {Pfad("fx.xml"), "--no-xrechnung"});
    EXPECT_EQ(fr.status, 0) << fr.out;
}

TEST_F(ERechnungCliTest, FirmendatenAreCheckedBeforeStoringAndRefusalsNameWhatIsMissing) {
    const std::string datei = Daten() + "/firmendaten.txt";
    const std::string vorher = ReadBytes(datei);
    const Ergebnis iban =
        Lauf({"firmendaten", "--name", "Anders", "--iban", "DE85550501200123456788"});
    EXPECT_EQ(iban.status, 1);
    EXPECT_EQ(iban.err,
              "rebkontor-cli: Die Prüfziffern der IBAN stimmen nicht. Bitte prüfen Sie "
              "die IBAN. Die Firmendaten wurden nicht gespeichert.\n");
    const Ergebnis ust = Lauf({"firmendaten", "--ustid", "DE12345678X"});
    EXPECT_THAT(ust.err, HasSubstr("Die USt-IdNr. besteht aus DE und 9 Ziffern"));
    const Ergebnis mail = Lauf({"firmendaten", "--email", "info(at)weingut.de"});
    EXPECT_THAT(mail.err, HasSubstr("Die E-Mail-Adresse hat nicht die Form name@firma.de."));
    // What Windows-1252 cannot hold is named, not stored as "?".
    const Ergebnis fremd =
        Lauf({"firmendaten", "--name", "Weingut Ржев 🍇", "--ort", "Köln", "--bank", "Bank 🍇"});
    EXPECT_EQ(fremd.status, 1);
    EXPECT_EQ(fremd.err,
              "rebkontor-cli: Im Feld Name stehen Zeichen, die Rebkontor nicht speichern kann: "
              "„Р“ (U+0420), „ж“ (U+0436), „е“ (U+0435), „в“ (U+0432), „🍇“ (U+1F347). Im Feld "
              "Bank stehen Zeichen, die Rebkontor nicht speichern kann: „🍇“ (U+1F347). Die "
              "Firmendaten wurden nicht gespeichert.\n");
    EXPECT_EQ(ReadBytes(datei), vorher);
    // A line break or tab becomes a blank: each field is one line of the file.
    const Ergebnis umbruch =
        Lauf({"firmendaten", "--strasse", "Hauptstraße\r\n21", "--bank", "Sparkasse\tRheinhessen"});
    EXPECT_EQ(umbruch.status, 0) << umbruch.err;
    EXPECT_THAT(umbruch.out, HasSubstr("Straße: Hauptstraße 21\nPLZ: "));
    EXPECT_THAT(ReadBytes(datei), HasSubstr("Strasse=Hauptstra\xDF"
                                            "e 21\r\n"));
    EXPECT_THAT(ReadBytes(datei), HasSubstr("Bank=Sparkasse Rheinhessen\r\n"));
    WriteBytes(datei, vorher);

    const Ergebnis zeigen = Lauf({"firmendaten"});
    EXPECT_EQ(zeigen.status, 0);
    EXPECT_THAT(zeigen.out, HasSubstr("Name: Weingut Rebenhof\n"));
    EXPECT_THAT(zeigen.out, HasSubstr("IBAN: DE85550501200123456789\n"));

    // No e-mail address at the customer.
    const std::int32_t ohneMail = RechnungMitMail(false);
    ASSERT_GT(ohneMail, 0);
    const Ergebnis kunde = Lauf({"rechnung", std::to_string(ohneMail), "--xrechnung", "k.xml"});
    EXPECT_EQ(kunde.status, 1);
    EXPECT_THAT(kunde.err, HasSubstr("hat keine E-Mail-Adresse. Eine E-Rechnung nennt die "
                                     "elektronische Adresse des Käufers"));
    EXPECT_FALSE(std::filesystem::exists(Pfad("k.xml")));

    // Seller data taken away: the invoice is refused, naming the fields.
    const Ergebnis leeren = Lauf({"firmendaten", "--name", "", "--iban", " "});
    EXPECT_EQ(leeren.status, 0) << leeren.err;
    EXPECT_THAT(leeren.out, HasSubstr("Für E-Rechnungen fehlt noch: Name, IBAN.\n"));
    EXPECT_THAT(ReadBytes(datei), HasSubstr("Name=\r\n"));
    const Ergebnis firma =
        Lauf({"rechnung", std::to_string(RechnungMitMail(true)), "--xrechnung", "f.xml"});
    EXPECT_EQ(firma.status, 1);
    EXPECT_EQ(firma.err,
              "rebkontor-cli: In den Firmendaten fehlt: Name, IBAN. Bitte ergänzen Sie "
              "sie unter Optionen/Firmendaten.\n");
    EXPECT_FALSE(std::filesystem::exists(Pfad("f.xml")));

    EXPECT_EQ(Lauf({"rechnung", "1", "--referenz", "x"}).status, 2);
    // E-invoices never go into the data folder or over what is no file.
    const std::string nr = std::to_string(RechnungMitMail(true));
    std::filesystem::create_directory(Pfad("ordner.xml"));
    for (const std::string& ziel : {std::string("daten/x.xml"), Pfad("ordner.xml")}) {
        const Ergebnis e = Lauf({"rechnung", nr, "--xrechnung", ziel});
        EXPECT_EQ(e.status, 1) << ziel;
        EXPECT_THAT(e.err, HasSubstr("wird nicht geschrieben")) << ziel;
    }
    EXPECT_FALSE(std::filesystem::exists(Daten() + "/x.xml"));
    EXPECT_EQ(Lauf({"rechnung", nr, "--zugferd", "-"}).status, 2);
    // A broken line in the file is a problem the check reports.
    WriteBytes(datei, vorher + "kaputt\r\n");
    const Ergebnis pruefen = Lauf({"pruefen"});
    EXPECT_EQ(pruefen.status, 1);
    EXPECT_THAT(pruefen.out, HasSubstr("firmendaten.txt"));
    EXPECT_THAT(pruefen.out, HasSubstr("hat kein \"=\""));
}

}  // namespace
