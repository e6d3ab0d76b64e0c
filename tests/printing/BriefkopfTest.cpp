#include "printing/Briefkopf.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "Poppler.h"
#include "printing/EmfKonverter.h"
#include "printing/EmfKopf.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

const std::string kDaten = REBKONTOR_PRINT_DATA;

std::string Hand() {
    return ReadBytes(kDaten + "/briefkopf-hand.emf");
}

std::string Office() {
    return ReadBytes(kDaten + "/briefkopf-office.emf");
}

void SetzeU32(std::string& d, std::size_t at, std::uint32_t wert) {
    for (int i = 0; i < 4; ++i) {
        d[at + i] = static_cast<char>(wert >> (8 * i));
    }
}

// The offsets of the records after the header, up to the end-of-file record.
std::vector<std::size_t> Records(const std::string& d) {
    std::vector<std::size_t> offsets;
    std::size_t off = 0;
    while (off + 8 <= d.size()) {
        std::uint32_t typ = 0;
        std::uint32_t groesse = 0;
        std::memcpy(&typ, d.data() + off, 4);
        std::memcpy(&groesse, d.data() + off + 4, 4);
        if (off > 0) {
            offsets.push_back(off);
        }
        if (typ == 14 || groesse == 0) {
            break;
        }
        off += groesse;
    }
    return offsets;
}

// The letterhead played into `ziel` on a white picture of 400 x 600 pixels.
QImage Gespielt(const Briefkopf& briefkopf, const QRectF& ziel) {
    QImage bild(400, 600, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter painter(&bild);
    briefkopf.Abspielen(painter, ziel);
    painter.end();
    return bild;
}

bool WeinRot(const QColor& c) {
    return c.red() > c.green() + 40 && c.red() < 200;
}

class BriefkopfTest : public ::testing::Test {
  protected:
    std::string Datei(const std::string& name, const std::string& inhalt) {
        const std::string pfad = dir_ / name;
        WriteBytes(pfad, inhalt);
        return pfad;
    }

    TempDir dir_;
};

TEST_F(BriefkopfTest, HeaderGivesWhereTheDrawingLiesInTheFrame) {
    const std::optional<EmfKopf> hand = EmfKopf::Pruefen(Hand());
    ASSERT_TRUE(hand.has_value());
    // Drawn 105..1995 x 90..2860 tenths of a millimetre on a sheet of
    // 2100 x 2970.
    const EmfKopf::Anteil a = hand->BoundsImFrame();
    EXPECT_NEAR(a.left, 105.0 / 2100, 1e-6);
    EXPECT_NEAR(a.top, 90.0 / 2970, 1e-6);
    EXPECT_NEAR(a.width, 1890.0 / 2100, 1e-6);
    EXPECT_NEAR(a.height, 2770.0 / 2970, 1e-6);

    const std::optional<EmfKopf> office = EmfKopf::Pruefen(Office());
    ASSERT_TRUE(office.has_value());
    const EmfKopf::Anteil b = office->BoundsImFrame();
    EXPECT_NEAR(b.left, 0, 0.01);
    EXPECT_NEAR(b.width, 1, 0.01);
    EXPECT_NEAR(b.height, 1, 0.01);
}

TEST_F(BriefkopfTest, PictureFillsItsRectangleAndNothingOutside) {
    const Briefkopf briefkopf(kDaten + "/briefkopf-hand.emf");
    ASSERT_TRUE(briefkopf.Geladen());
    const QRectF ziel(50, 100, 210, 297);
    const QImage bild = Gespielt(briefkopf, ziel);
    // The band: 105..1995 x 90..300 of 2100 x 2970, so x 60..249, y 109..130.
    EXPECT_TRUE(WeinRot(bild.pixelColor(70, 112)));
    EXPECT_TRUE(WeinRot(bild.pixelColor(240, 127)));
    EXPECT_FALSE(WeinRot(bild.pixelColor(55, 120)));
    EXPECT_FALSE(WeinRot(bild.pixelColor(150, 104)));
    EXPECT_FALSE(WeinRot(bild.pixelColor(150, 134)));
    const QRect tinte = Tinte(bild);
    EXPECT_TRUE(ziel.toRect().contains(tinte))
        << tinte.x() << "," << tinte.y() << " " << tinte.width() << "x" << tinte.height();

    // A frame of half the sheet makes the drawing twice as large: it is cut
    // off at the rectangle.
    std::string gross = Hand();
    SetzeU32(gross, 32, 10500);
    SetzeU32(gross, 36, 14850);
    const Briefkopf vergroessert(Datei("gross.emf", gross));
    ASSERT_TRUE(vergroessert.Geladen());
    const QImage bild2 = Gespielt(vergroessert, ziel);
    EXPECT_TRUE(WeinRot(bild2.pixelColor(75, 140)));
    EXPECT_TRUE(WeinRot(bild2.pixelColor(258, 157)));
    EXPECT_TRUE(ziel.toRect().contains(Tinte(bild2)));
}

TEST_F(BriefkopfTest, DamagedOrForeignFilesGiveNoPicture) {
    const std::string hand = Hand();
    // Every truncation loses the end-of-file record.
    for (std::size_t laenge = 0; laenge < hand.size(); ++laenge) {
        ASSERT_FALSE(EmfKopf::Pruefen(hand.substr(0, laenge)).has_value()) << laenge;
    }
    for (std::size_t laenge : {4u, 88u, 600u, 1000u, 3452u}) {
        EXPECT_FALSE(Briefkopf(Datei("kurz.emf", hand.substr(0, laenge))).Geladen()) << laenge;
    }

    const std::vector<std::size_t> records = Records(hand);
    ASSERT_GT(records.size(), 10u);
    const std::size_t mitte = records[records.size() / 2];
    std::vector<std::string> kaputt;
    for (std::uint32_t groesse : {0u, 6u, 10u, 0x7FFFFFF0u, 0xFFFFFFFCu}) {
        std::string d = hand;
        SetzeU32(d, mitte + 4, groesse);
        kaputt.push_back(d);
    }
    std::string zweiterKopf = hand;
    SetzeU32(zweiterKopf, mitte, 1);
    kaputt.push_back(zweiterKopf);
    std::string signatur = hand;
    SetzeU32(signatur, 40, 0x12345678);
    kaputt.push_back(signatur);
    std::string ohneRahmen = hand;
    SetzeU32(ohneRahmen, 32, 0);
    kaputt.push_back(ohneRahmen);
    std::string ohneGeraet = hand;
    SetzeU32(ohneGeraet, 80, 0);
    kaputt.push_back(ohneGeraet);
    kaputt.push_back("Dies ist kein Briefkopf, sondern ein Brief.\r\n");
    kaputt.push_back(ReadBytes(kDaten + "/briefkopf-office.svg"));
    for (std::size_t i = 0; i < kaputt.size(); ++i) {
        EXPECT_FALSE(EmfKopf::Pruefen(kaputt[i]).has_value()) << i;
        EXPECT_FALSE(Briefkopf(Datei("kaputt.emf", kaputt[i])).Geladen()) << i;
    }
}

TEST_F(BriefkopfTest, NonsenseInsideSoundRecordsNeverHarmsTheProgram) {
    // The record chain stays intact, so these reach the converter; whatever
    // it makes of them, the program goes on, and a picture it accepts can
    // be played.
    std::mt19937 zufall(20261207);
    for (const std::string& original : {Hand(), Office()}) {
        const std::vector<std::size_t> records = Records(original);
        for (int runde = 0; runde < 40; ++runde) {
            std::string d = original;
            const std::size_t record = records[zufall() % (records.size() - 1)];
            std::uint32_t groesse = 0;
            std::memcpy(&groesse, d.data() + record + 4, 4);
            for (int k = 0; k < 4 && groesse > 8; ++k) {
                const std::size_t at = record + 8 + zufall() % (groesse - 8);
                const char werte[] = {0, '\x7F', '\x80', '\xFF'};
                d[at] = werte[zufall() % 4];
            }
            const Briefkopf briefkopf(Datei("unsinn.emf", d));
            (void)Gespielt(briefkopf, QRectF(0, 0, 400, 600));
        }
    }
}

TEST_F(BriefkopfTest, MissingFileDirectoryOrPipeGiveNoPicture) {
    EXPECT_FALSE(Briefkopf(dir_ / "fehlt.emf").Geladen());
    std::filesystem::create_directory(dir_ / "ordner.emf");
    EXPECT_FALSE(Briefkopf(dir_ / "ordner.emf").Geladen());
    // Reading a pipe nobody writes to would wait for ever.
    const std::string rohr = dir_ / "rohr.emf";
    ASSERT_EQ(::mkfifo(rohr.c_str(), 0600), 0);
    EXPECT_FALSE(Briefkopf(rohr).Geladen());
}

TEST_F(BriefkopfTest, ConverterThatDiesHangsOrBabblesGivesNothing) {
    EXPECT_EQ(EmfKonverter::ImKindprozess([] { return std::optional<std::string>("<svg/>"); }, 5),
              "<svg/>");
    EXPECT_FALSE(EmfKonverter::ImKindprozess([] { return std::optional<std::string>(); }, 5));
    EXPECT_FALSE(EmfKonverter::ImKindprozess(
        []() -> std::optional<std::string> {
            std::raise(SIGSEGV);
            return "nie";
        },
        5));
    EXPECT_FALSE(
        EmfKonverter::ImKindprozess([]() -> std::optional<std::string> { std::abort(); }, 5));
    EXPECT_FALSE(EmfKonverter::ImKindprozess(
        []() -> std::optional<std::string> {
            for (volatile bool weiter = true; weiter;) {
            }
            return "nie";
        },
        1));
    EXPECT_FALSE(EmfKonverter::ImKindprozess(
        [] {
            return std::optional<std::string>(std::in_place, EmfKonverter::kHoechstAusgabe + 1,
                                              'x');
        },
        5));
    // And the real converter on what it was never meant to see.
    EXPECT_FALSE(EmfKonverter::NachSvg("kein EMF", 100, 100));
    EXPECT_FALSE(EmfKonverter::NachSvg(Hand().substr(0, 700), 100, 100));
}

}  // namespace
