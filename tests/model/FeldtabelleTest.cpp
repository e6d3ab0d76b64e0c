#include "storage/Feldtabelle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/Kunde.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "storage/Customizer.h"

namespace {

std::string Bytes(const char* feld, std::size_t n) {
    return std::string(feld, n);
}

// A record cut short takes what the bytes reach, keeps every later field, and
// says in which field of which record it ended.
TEST(FeldtabelleTest, ACutRecordNamesItsFieldAndKeepsWhatTheBytesDoNotReach) {
    Kunde neu(17);
    std::strcpy(neu.Ort, "Oppenheim am Rhein");
    std::strcpy(neu.Telefon, "06133 1234");
    neu.PLZ = 55276;
    neu.letzteRechnung = 4;
    Kunde alt(3);
    std::strcpy(alt.Ort, "Nierstein-Schwabsburg");
    std::strcpy(alt.Telefon, "06133 9999");
    alt.letzteRechnung = 8;

    // Ort starts at byte 132; the cut leaves 8 of its 31 bytes.
    const std::string bild = Satzbild(neu).substr(0, 140);
    const auto ende = SatzLesen(bild, alt);
    ASSERT_TRUE(ende.has_value());
    EXPECT_EQ(ende->Text(), "Der Satz Kunde endet im Feld Ort nach 8 von 31 Bytes.");
    EXPECT_EQ(alt.nummer, 17);
    EXPECT_EQ(alt.PLZ, 55276);
    EXPECT_STREQ(alt.Ort, "Oppenhein-Schwabsburg");
    EXPECT_STREQ(alt.Telefon, "06133 9999");
    EXPECT_EQ(alt.letzteRechnung, 8);

    // A number cut short takes its low-order bytes.
    PostenVerwaltung::Posten posten;
    posten.weinNummer = 0x01020304;
    const auto inDerNummer = SatzLesen(std::string("\x11\x22", 2), posten);
    ASSERT_TRUE(inDerNummer.has_value());
    EXPECT_EQ(inDerNummer->Text(), "Der Satz Posten endet im Feld weinNummer nach 2 von 4 Bytes.");
    EXPECT_EQ(posten.weinNummer, 0x01022211);

    // Between two fields, and not at all.
    Rechnung rechnung;
    rechnung.postenKopf = 12;
    const std::string ganz = Satzbild(rechnung);
    EXPECT_EQ(SatzLesen(ganz.substr(0, 289), rechnung)->Text(),
              "Der Satz Rechnung endet vor dem Feld postenKopf.");
    EXPECT_FALSE(SatzLesen(ganz, rechnung).has_value());
    Einstellungssatz satz;
    EXPECT_EQ(SatzLesen(std::string(335, '\0'), satz)->Text(),
              "Der Satz Grundeinstellungen endet im Feld bemerkung nach 301 von 302 Bytes.");
}

// A customer is copied text by text up to the terminator, so the target
// keeps its own bytes behind it; clearing empties every text to the last
// byte and keeps the number and the capture stamp.
TEST(FeldtabelleTest, ACustomerCopiesTextsToTheirTerminatorAndClearsAllButNumberAndStamp) {
    Kunde quelle(5);
    std::strcpy(quelle.Nachname, "Ott");
    std::memset(quelle.Fax, 'F', sizeof quelle.Fax);
    quelle.PLZ = 55116;
    quelle.preisliste = 2;
    quelle.erfasstZeit = 77;
    Kunde ziel(9);
    std::strcpy(ziel.Nachname, "Mustermann");

    ziel = quelle;
    EXPECT_EQ(Bytes(ziel.Nachname, 11), std::string("Ott\0ermann\0", 11));
    EXPECT_EQ(Bytes(ziel.Fax, sizeof ziel.Fax), std::string(sizeof ziel.Fax, 'F'));
    EXPECT_EQ(ziel.nummer, 5);
    EXPECT_EQ(ziel.PLZ, 55116);
    EXPECT_EQ(ziel.preisliste, 2);
    EXPECT_EQ(ziel.erfasstZeit, 77u);

    ziel.letzteRechnung = 3;
    ziel.Clear();
    EXPECT_EQ(Bytes(ziel.Nachname, sizeof ziel.Nachname), std::string(sizeof ziel.Nachname, '\0'));
    EXPECT_EQ(Bytes(ziel.Fax, sizeof ziel.Fax), std::string(sizeof ziel.Fax, '\0'));
    EXPECT_EQ(ziel.PLZ, 0);
    EXPECT_EQ(ziel.preisliste, 0);
    EXPECT_EQ(ziel.letzteRechnung, -1);
    EXPECT_EQ(ziel.nummer, 5);
    EXPECT_EQ(ziel.erfasstZeit, 77u);
}

}  // namespace
