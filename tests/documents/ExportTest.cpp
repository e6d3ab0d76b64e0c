#include <gtest/gtest.h>

#include "documents/Adressdatei.h"
#include "documents/PreislistenExport.h"
#include "model/GeoGruppe.h"
#include "model/PreisVerwaltung.h"
#include "model/RechnungsFixture.h"

namespace {

class ExportTest : public RechnungsFixture {
  protected:
    void Kunde_(const char* vorname, const char* nachname, const char* strasse, std::int32_t plz,
                std::int16_t gruppe) {
        Kunde k;
        FixedText::Set(k.Anrede, "Frau");
        FixedText::Set(k.Vorname, vorname);
        FixedText::Set(k.Nachname, nachname);
        FixedText::Set(k.Strasse, strasse);
        FixedText::Set(k.Ort, "Alzey");
        FixedText::Set(k.Telefon, "06731");
        FixedText::Set(k.EMail, "a@b.de");
        FixedText::Set(k.bemerkung, "nie exportiert");
        k.PLZ = plz;
        k.kundenGruppe = gruppe;
        Kv().AddKunde(k);
    }

    std::string Adressen(bool gruppe, bool plz, int g, std::uint32_t von, std::uint32_t bis) {
        EXPECT_TRUE(Adressdatei::Write(Kv(), "adr.csv", gruppe, plz, g, von, bis));
        return ReadBytes("adr.csv");
    }
};

const std::string kKopfzeile = "Anrede,Vorname,Nachname,Strasse,PLZ,Ort,Telefon,Fax,EMail\r\n";

TEST_F(ExportTest, AddressFileFiltersByGroupAndPostcode) {
    Kunde_("Anna", "M\xFCller", "Hauptstr. 1, Hinterhaus", 55232, 1);
    Kunde_("Berta", "Schmitt", "Weg 2", 6112, 0);
    Kunde_("Clara", "Wolf", "Gasse 3", 0, 1);
    const std::string anna =
        "Frau,Anna,M\xFCller,Hauptstr. 1, Hinterhaus,55232,Alzey,06731,,a@b.de\r\n";
    const std::string berta = "Frau,Berta,Schmitt,Weg 2,6112,Alzey,06731,,a@b.de\r\n";
    const std::string clara = "Frau,Clara,Wolf,Gasse 3,0,Alzey,06731,,a@b.de\r\n";
    EXPECT_EQ(Adressen(false, false, 0, 0, 0), kKopfzeile + anna + berta + clara);
    EXPECT_EQ(Adressen(true, false, 1, 0, 0), kKopfzeile + anna + clara);
    EXPECT_EQ(Adressen(false, true, 0, 6112, 55232), kKopfzeile + anna + berta);
    EXPECT_EQ(Adressen(true, true, 1, 1, 99999), kKopfzeile + anna);
    EXPECT_EQ(Adressen(false, true, 0, 55233, 6000), kKopfzeile);
    EXPECT_EQ(Adressen(true, false, -1, 0, 0), kKopfzeile);
    // A negative lower bound typed by the user is a huge unsigned number.
    EXPECT_EQ(Adressen(false, true, 0, static_cast<std::uint32_t>(-5), 99999), kKopfzeile);
}

TEST_F(ExportTest, PriceListExportHasFixedColumns) {
    WeinAnlegen(12, 10);
    WeinAnlegen(3, 10);
    Wein* riesling = Wv().GetWein(12);
    FixedText::Set(riesling->name, "Riesling");
    FixedText::Set(riesling->fuellmenge, "0,75 l");
    FixedText::Set(riesling->bezeichnung, "Kabinett");
    Wein* lang = Wv().GetWein(3);
    FixedText::Set(lang->name, "Ein sehr langer Name, der nicht passt, wirklich");
    FixedText::Set(lang->fuellmenge, "1 l");
    lang->verborgen = 1;
    PreisVerwaltung& pv = *V().preisVerwaltung;
    pv.AddPreisliste("Hof");
    pv.AddPreisliste("Versand");
    pv.SetPreisliste(0);
    pv.AddPreis(Preis{12, 9.5f, 4.86f});
    pv.SetPreisliste(1);
    pv.AddPreis(Preis{3, 20.0f, 10.0f});

    ASSERT_TRUE(PreislistenExport("preise.txt", V()));
    const std::string b70(70, ' ');
    auto eintrag = [&](const std::string& erste, const std::string& bez) {
        return erste + "\r\n" + std::string(14, ' ') + bez + "\r\n\r\n";
    };
    const std::string r1 = "12     Riesling" + std::string(30, ' ') + "0,75 l    9.50" + b70;
    const std::string l1 = "3      Ein sehr langer Name, der nicht passt,1 l       N/A" + b70;
    const std::string r2 = "12     Riesling" + std::string(30, ' ') + "0,75 l    N/A" + b70;
    const std::string l2 = "3      Ein sehr langer Name, der nicht passt,1 l       20.00" + b70;
    EXPECT_EQ(ReadBytes("preise.txt"), eintrag(r1, "Kabinett") + eintrag(l1, "") +
                                           eintrag(r2, "Kabinett") + eintrag(l2, ""));
    EXPECT_EQ(pv.Current(), 1);

    V().customizer->preiseInEuro = 1;
    ASSERT_TRUE(PreislistenExport("preise.txt", V()));
    EXPECT_NE(ReadBytes("preise.txt").find("0,75 l    4.86  "), std::string::npos);
}

TEST_F(ExportTest, PriceListExportWithoutListsIsEmptyAndUnwritableFileIsReported) {
    WeinAnlegen(1, 1);
    ASSERT_TRUE(PreislistenExport("preise.txt", V()));
    EXPECT_EQ(FileSize("preise.txt"), 0);
    EXPECT_FALSE(PreislistenExport("fehlt/preise.txt", V()));
}

}  // namespace
