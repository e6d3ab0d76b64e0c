#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "CliFixture.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/ByteWriter.h"
#include "storage/Feldtabelle.h"
#include "storage/GenericList.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class LesenTest : public CliFixture {
  protected:
    // The tool run in this process, in the working directory, so that the
    // fault seam sees its reads.
    Ergebnis ImProzess(const std::vector<std::string>& argumente) {
        const std::filesystem::path vorher = std::filesystem::current_path();
        std::filesystem::current_path(dir_.Path());
        std::ostringstream out;
        std::ostringstream err;
        Ergebnis ergebnis;
        {
            RebkontorCli cli(out, err);
            ergebnis.status = cli.Ausfuehren(argumente);
        }
        std::filesystem::current_path(vorher);
        ergebnis.out = out.str();
        ergebnis.err = err.str();
        return ergebnis;
    }
};

// The address export reads the customers and their groups and nothing else:
// with every other data file failing to read, it writes the same bytes.
TEST_F(LesenTest, TheAddressExportReadsOnlyCustomersAndGroups) {
    SampleDaten();
    const Ergebnis alle = ImProzess({"adressen", "-"});
    const Ergebnis gruppe = ImProzess({"adressen", "-", "--gruppe", "Mainz"});
    ASSERT_EQ(alle.status, 0) << alle.err;
    ASSERT_EQ(gruppe.status, 0) << gruppe.err;
    ASSERT_THAT(alle.out, HasSubstr("\r\n"));

    std::vector<std::string> gelesen;
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
        if (op != IoFaults::Op::Read) {
            return 0;
        }
        gelesen.push_back(std::filesystem::path(pfad).filename());
        return gelesen.back() == "kunden.dat" || gelesen.back() == "geogruppe.txt" ? 0 : EIO;
    });
    const Ergebnis ohne = ImProzess({"adressen", "-"});
    const Ergebnis ohneGruppe = ImProzess({"adressen", "-", "--gruppe", "Mainz"});
    IoFaults::ClearHook();
    EXPECT_EQ(ohne.status, 0) << ohne.err;
    EXPECT_EQ(ohne.out, alle.out);
    EXPECT_EQ(ohneGruppe.status, 0) << ohneGruppe.err;
    EXPECT_EQ(ohneGruppe.out, gruppe.out);
    for (const std::string& datei : gelesen) {
        EXPECT_TRUE(datei == "kunden.dat" || datei == "geogruppe.txt") << datei;
    }
}

// Another program cuts the item file short, again and again, while a
// reading command reads it in a second process: each run ends either with
// the data it read whole or with a German message naming the file, never
// with a signal (as a mapped file would, SIGBUS) and never with fewer items
// taken for all of them.
TEST_F(LesenTest, AnItemFileCutShortWhileACommandReadsItEndsInAMessage) {
    SampleDaten();
    const std::string posten = Daten() + "/rechnungsposten.dat";
    // Enough items for many pieces: the sample's, then items of another
    // invoice in the chain of the newest live one, so that the search must
    // read them all (the items of no chain it would never read) and yet
    // finds the same sums.
    std::string bild = ReadBytes(posten);
    const std::size_t echt = bild.size();
    const auto erster = static_cast<std::int32_t>(echt / PostenVerwaltung::Posten::DiskSize);
    constexpr int kFremde = 200000;
    const std::string rechnungen = Daten() + "/rechnungen.dat";
    std::string kopfbild = ReadBytes(rechnungen);
    std::size_t satz = kopfbild.size() / Rechnung::DiskSize;
    while (satz > 0 &&
           Feldwert<&Rechnung::kartons>(std::string_view(kopfbild).substr(
               (satz - 1) * Rechnung::DiskSize, Rechnung::DiskSize)) == Rechnung::kGeloescht) {
        --satz;
    }
    ASSERT_GT(satz, 0u);
    const std::size_t kopfFeld =
        (satz - 1) * Rechnung::DiskSize + Rechnung::kFelder.Offset(&Rechnung::postenKopf);
    std::int32_t kopf = 0;
    std::memcpy(&kopf, kopfbild.data() + kopfFeld, sizeof kopf);
    std::string fremd;
    {
        ByteWriter writer(fremd);
        PostenVerwaltung::Posten p;
        p.rechnung = 999999;
        for (int i = 0; i < kFremde; ++i) {
            p.naechster = i == 0 ? kopf : erster + i - 1;
            writer << p;
        }
    }
    bild += fremd;
    WriteBytes(posten, bild);
    const std::int32_t neuerKopf = erster + kFremde - 1;
    std::memcpy(kopfbild.data() + kopfFeld, &neuerKopf, sizeof neuerKopf);
    WriteBytes(rechnungen, kopfbild);
    const Ergebnis heil = Lauf({"suche", "--betrag", "100", "--abweichung", "50"});
    ASSERT_EQ(heil.status, 0) << heil.err;

    // Cut to half and written back to its whole length, over and over; the
    // real items stay in place all the while.
    const std::size_t halb = echt + fremd.size() / 2 / 22 * 22;
    // A run that starts while the file is short reads a sound, shorter file
    // to its end: the chain then leaves the file, and that is what it says.
    WriteBytes(posten, bild.substr(0, halb));
    const Ergebnis kurz = Lauf({"suche", "--betrag", "100", "--abweichung", "50"});
    WriteBytes(posten, bild);
    const int fd = ::open(posten.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::atomic<bool> fertig = false;
    std::thread schere([&] {
        while (!fertig) {
            EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(halb)), 0);
            EXPECT_EQ(
                ::pwrite(fd, bild.data() + halb, bild.size() - halb, static_cast<off_t>(halb)),
                static_cast<ssize_t>(bild.size() - halb));
        }
    });
    int abgebrochen = 0;
    // A cut that falls into a read is a matter of timing: on a busy machine
    // it may take many runs, so the runs go on until one was seen.
    for (int lauf = 0; lauf < 4000 && abgebrochen == 0; ++lauf) {
        const Ergebnis e = Lauf({"suche", "--betrag", "100", "--abweichung", "50"});
        if (e.status == -1) {
            ADD_FAILURE() << "ended by a signal";
            break;
        }
        if (e.status == kurz.status && e.out == kurz.out && e.err == kurz.err) {
            continue;
        }
        if (e.status == 0) {
            // Read whole, whatever its length at the start.
            EXPECT_EQ(e.out, heil.out);
            continue;
        }
        ++abgebrochen;
        EXPECT_EQ(e.status, 1);
        EXPECT_EQ(e.out, "");
        EXPECT_THAT(e.err, StartsWith("rebkontor-cli: "));
        EXPECT_THAT(e.err, HasSubstr("rechnungsposten.dat"));
        EXPECT_THAT(e.err, HasSubstr("die Datei wurde beim Lesen k\xC3\xBCrzer"));
    }
    fertig = true;
    schere.join();
    ::close(fd);
    EXPECT_GT(abgebrochen, 0);
}

TEST_F(LesenTest, TheStreamedAmountSearchAddsWhatTheDataSetAddsAlsoOverDamagedChains) {
    SampleDaten();
    using P = PostenVerwaltung::Posten;
    const std::string posten = Daten() + "/rechnungsposten.dat";
    std::string bild = ReadBytes(posten);
    const std::size_t anzahl = bild.size() / P::DiskSize;
    ASSERT_GT(anzahl, 40u);
    auto setze = [&](std::string& ziel, std::size_t offset, std::int32_t wert) {
        std::memcpy(ziel.data() + offset, &wert, sizeof wert);
    };
    auto lies = [&](const std::string& quelle, std::size_t offset) {
        std::int32_t wert = 0;
        std::memcpy(&wert, quelle.data() + offset, sizeof wert);
        return wert;
    };
    // Items of another invoice inside chains, links that point up or out of
    // the file, and chains that run into each other.
    for (std::size_t i = 0; i < anzahl; ++i) {
        const std::size_t satz = i * P::DiskSize;
        const std::size_t rechnung = satz + P::kFelder.Offset(&P::rechnung);
        const std::size_t naechster = satz + P::kFelder.Offset(&P::naechster);
        if (i % 7 == 3) {
            setze(bild, rechnung, lies(bild, rechnung) + 1);
        } else if (i % 11 == 5) {
            setze(bild, naechster, static_cast<std::int32_t>(i + 2));
        } else if (i % 13 == 6 && i > 20) {
            setze(bild, naechster, static_cast<std::int32_t>(i - 17));
        } else if (i % 17 == 9) {
            setze(bild, naechster, 1 << 30);
        }
    }
    WriteBytes(posten, bild);
    const std::string rechnungen = Daten() + "/rechnungen.dat";
    std::string kopfbild = ReadBytes(rechnungen);
    for (std::size_t n = 2; n < kopfbild.size() / Rechnung::DiskSize; n += 9) {
        setze(kopfbild, n * Rechnung::DiskSize + Rechnung::kFelder.Offset(&Rechnung::postenKopf),
              static_cast<std::int32_t>(anzahl + n));
    }
    WriteBytes(rechnungen, kopfbild);

    std::string erwartet;
    {
        Lesebestand bestand(Daten());
        GenericList<Rechnung> treffer;
        bestand.V().rechnungsVerwaltung->GetRechnungenNachNummerOderBetrag(-1, 0.01f, 1e7f,
                                                                           treffer);
        ASSERT_GT(treffer.Count(), 10u);
        for (unsigned i = 0; i < treffer.Count(); ++i) {
            erwartet +=
                std::to_string(treffer[i].id) + ";" +
                Rechnungsbetrag::Text(Rechnungsbetrag(treffer[i], bestand.V().customizer).summe) +
                "\n";
        }
    }
    const Ergebnis e = Lauf({"suche", "--betrag", "0.01", "--abweichung", "10000000"});
    ASSERT_EQ(e.status, 0) << e.err;
    std::string gefunden;
    std::istringstream zeilen(e.out);
    for (std::string zeile; std::getline(zeilen, zeile);) {
        gefunden += zeile.substr(0, zeile.find(';')) + zeile.substr(zeile.rfind(';')) + "\n";
    }
    EXPECT_EQ(gefunden, erwartet);
}

}  // namespace
