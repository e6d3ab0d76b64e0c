#include "dialogs/FirmendatenDlg.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "storage/CodePage.h"
#include "support/DialogFixture.h"

namespace {

class FirmendatenDlgTest : public DialogFixture {
  protected:
    static constexpr const char* kDatei = "daten/firmendaten.txt";
    FakeWindow& Oeffnen() {
        return DialogFixture::Oeffnen<FirmendatenDlg>(bestand_->GetFirmendaten(),
                                                      bestand_->FirmendatenDatei());
    }
};

using D = FirmendatenDlg;

TEST_F(FirmendatenDlgTest, ChecksAsTypedRefusesWrongFieldsAndStoresAllAtOnce) {
    FakeWindow& w = Oeffnen();
    EXPECT_EQ(w.Caption(), "Firmendaten");
    EXPECT_EQ(w.Text(D::kLand), "DE");
    EXPECT_EQ(w.Text(D::kZahlungsziel), "30");

    w.Type(D::kName, "Weingut Müller & Söhne"_w);
    w.Type(D::kInhaber, "Anna Müller"_w);
    w.Type(D::kStrasse, "Weinstraße 1"_w);
    w.Type(D::kPlz, "67098");
    w.Type(D::kOrt, "Bad Dürkheim"_w);
    w.Type(D::kTelefon, "06322 12345");
    w.Type(D::kEMail, "info@weingut-mueller");
    EXPECT_EQ(w.Text(D::kHinweis), "Die E-Mail-Adresse hat nicht die Form name@firma.de.");
    w.Type(D::kEMail, "info@weingut-mueller.de");
    EXPECT_EQ(w.Text(D::kHinweis), "");
    // One check digit wrong.
    w.Type(D::kIban, "DE89 3704 0044 0532 0130 01");
    EXPECT_EQ(w.Text(D::kHinweis),
              "Die Prüfziffern der IBAN stimmen nicht. Bitte prüfen Sie die IBAN."_w);
    w.Click(ControlId::kOk);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_EQ(app_.LastMessage().caption, "Firmendaten");
    EXPECT_EQ(app_.LastMessage().text,
              "Die Prüfziffern der IBAN stimmen nicht. Bitte prüfen Sie die IBAN. Die "
              "Firmendaten wurden nicht gespeichert."_w);
    EXPECT_FALSE(std::filesystem::exists(kDatei));
    EXPECT_EQ(bestand_->GetFirmendaten().name, "");

    w.Type(D::kIban, "de89 3704 0044 0532 0130 00");
    w.Type(D::kUstId, "DE12345678");
    EXPECT_EQ(w.Text(D::kHinweis),
              "Die USt-IdNr. besteht aus DE und 9 Ziffern (zum Beispiel DE123456789).");
    w.Click(ControlId::kOk);
    EXPECT_FALSE(w.IsClosed());
    EXPECT_FALSE(std::filesystem::exists(kDatei));
    w.Type(D::kUstId, "DE123456789");
    w.Type(D::kZahlungsziel, "400");
    w.Click(ControlId::kOk);
    EXPECT_EQ(app_.LastMessage().text,
              "Das Zahlungsziel wird in Tagen angegeben (0 bis 365). Die Firmendaten wurden "
              "nicht gespeichert.");
    w.Type(D::kZahlungsziel, "14");
    w.Type(D::kBic, "GENODE61DUW");
    w.Click(ControlId::kOk);
    ASSERT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), ControlId::kOk);

    // On disk in the program's code page, one line per field.
    const std::string datei = ReadBytes(kDatei);
    EXPECT_NE(datei.find("Name=Weingut M\xFCller & S\xF6hne\r\n"), std::string::npos);
    EXPECT_NE(datei.find("IBAN=DE89370400440532013000\r\n"), std::string::npos);
    EXPECT_NE(datei.find("Zahlungsziel=14\r\n"), std::string::npos);

    Neustart();
    const Firmendaten& daten = bestand_->GetFirmendaten();
    EXPECT_EQ(daten.ort, "Bad D\xFCrkheim");
    EXPECT_EQ(daten.ustId, "DE123456789");
    EXPECT_EQ(daten.ZahlungszielTage(), 14);
    EXPECT_EQ(daten.Unvollstaendig(), "");

    // Cancel keeps what is stored, whatever was typed.
    FakeWindow& zweites = Oeffnen();
    EXPECT_EQ(zweites.Text(D::kIban), "DE89370400440532013000");
    zweites.Type(D::kName, "Anders");
    zweites.Click(ControlId::kCancel);
    EXPECT_EQ(ReadBytes(kDatei), datei);
    EXPECT_EQ(bestand_->GetFirmendaten().name, "Weingut M\xFCller & S\xF6hne");
}

TEST(FirmendatenTest, FieldChecksAndWhatAnEInvoiceNeeds) {
    EXPECT_EQ(Firmendaten::PruefeIban("GB82 WEST 1234 5698 7654 32"), "");
    EXPECT_NE(Firmendaten::PruefeIban("DE8937040044053201300"), "");  // 21 characters
    EXPECT_NE(Firmendaten::PruefeIban("XX"), "");
    EXPECT_EQ(Firmendaten::PruefeEMail("a.b@c.de"), "");
    for (const char* falsch : {"@c.de", "a@@c.de", "a b@c.de", "a@c.", "abc"}) {
        EXPECT_NE(Firmendaten::PruefeEMail(falsch), "") << falsch;
    }
    EXPECT_NE(Firmendaten::PruefeLand("de"), "");
    EXPECT_NE(Firmendaten::PruefeBic("GENO61"), "");

    Firmendaten leer;
    EXPECT_EQ(leer.Unvollstaendig(),
              "Name, Inhaber/Ansprechpartner, Straße, PLZ, Ort, Telefon, E-Mail, USt-IdNr. oder "
              "Steuernummer, IBAN"_w);
    leer.steuernummer = "12/345/67890";
    EXPECT_EQ(leer.Unvollstaendig().find("USt-IdNr."), std::string::npos);

    // Unknown keys and broken lines of a file are passed over.
    Firmendaten gelesen;
    std::string fehler;
    EXPECT_FALSE(Firmendaten::AusText("Name=A=B\r\nNeu=x\r\nkaputt\r\nOrt=Trier", gelesen, fehler));
    EXPECT_EQ(gelesen.name, "A=B");
    EXPECT_EQ(gelesen.ort, "Trier");
    EXPECT_EQ(fehler, "Zeile 3 hat kein \"=\"");
}

}  // namespace
