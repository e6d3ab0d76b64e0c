#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CliFixture.h"
#include "cli/Beispieldaten.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "documents/Flaschenliste.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/ByteWriter.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/Feldtabelle.h"
#include "storage/GenericList.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

// A four-byte field of a record image, written or read in place.
void setze(std::string& ziel, std::size_t offset, std::int32_t wert) {
    std::memcpy(ziel.data() + offset, &wert, sizeof wert);
}

std::int32_t lies(const std::string& quelle, std::size_t offset) {
    std::int32_t wert = 0;
    std::memcpy(&wert, quelle.data() + offset, sizeof wert);
    return wert;
}

// Where two long texts part, with a little of each from there ("" when
// they are equal): the whole texts would be too long to compare in a message.
std::string Unterschied(const std::string& ist, const std::string& soll) {
    if (ist == soll) {
        return "";
    }
    const std::size_t ab =
        std::mismatch(ist.begin(),
                      ist.begin() + static_cast<std::ptrdiff_t>(std::min(ist.size(), soll.size())),
                      soll.begin())
            .first -
        ist.begin();
    return "ab Byte " + std::to_string(ab) + ": " + ist.substr(ab, 80) +
           " | erwartet: " + soll.substr(ab, 80);
}

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
    // "suche --betrag" over every amount finds what the data set's own
    // search finds (more than `mindestens` invoices), in the same order and
    // with the same sums.
    void SuchtWieDerDatenbestand(unsigned mindestens) {
        std::string erwartet;
        {
            Lesebestand bestand(Daten());
            GenericList<Rechnung> treffer;
            bestand.V().rechnungsVerwaltung->GetRechnungenNachNummerOderBetrag(-1, 0.01f, 1e7f,
                                                                               treffer);
            ASSERT_GT(treffer.Count(), mindestens);
            for (unsigned i = 0; i < treffer.Count(); ++i) {
                erwartet += std::to_string(treffer[i].id) + ";" +
                            Rechnungsbetrag::Text(
                                Rechnungsbetrag(treffer[i], bestand.V().customizer).summe) +
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

// The bottle list and the searches read the invoices, their items and the
// settings (the workbook the wines too) and nothing else: with every other
// data file failing to read, they write the same bytes.
TEST_F(LesenTest, TheBottleListAndTheSearchesReadOnlyInvoicesItemsAndSettings) {
    SampleDaten();
    const std::vector<std::vector<std::string>> befehle = {
        {"flaschenliste", "-", "--erfassung", "1.1.1990", "31.12.2030"},
        {"flaschenliste", "-"},
        {"suche", "--nummer", "1108"},
        {"suche", "--betrag", "100", "--abweichung", "20"}};
    std::vector<Ergebnis> vorher;
    for (const auto& befehl : befehle) {
        vorher.push_back(ImProzess(befehl));
        ASSERT_EQ(vorher.back().status, 0) << vorher.back().err;
        ASSERT_NE(vorher.back().out, "");
    }
    const Ergebnis mappe = ImProzess({"flaschenliste", "liste.xlsx"});
    ASSERT_EQ(mappe.status, 0) << mappe.err;

    std::vector<std::string> gelesen;
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
        if (op != IoFaults::Op::Read) {
            return 0;
        }
        const std::string datei = std::filesystem::path(pfad).filename();
        if (std::filesystem::path(pfad).parent_path().filename() != "daten") {
            return 0;
        }
        gelesen.push_back(datei);
        return datei == "rechnungen.dat" || datei == "rechnungsposten.dat" ||
                       datei == "preferences.dat" || datei == "weinliste.dat"
                   ? 0
                   : EIO;
    });
    std::vector<Ergebnis> nachher;
    for (const auto& befehl : befehle) {
        nachher.push_back(ImProzess(befehl));
    }
    const Ergebnis mappeNachher = ImProzess({"flaschenliste", "liste2.xlsx"});
    IoFaults::ClearHook();
    for (std::size_t i = 0; i < befehle.size(); ++i) {
        EXPECT_EQ(nachher[i].status, 0) << nachher[i].err;
        EXPECT_EQ(nachher[i].out, vorher[i].out) << befehle[i][0];
    }
    EXPECT_EQ(mappeNachher.status, 0) << mappeNachher.err;
    EXPECT_NE(std::find(gelesen.begin(), gelesen.end(), "rechnungsposten.dat"), gelesen.end());
    EXPECT_NE(std::find(gelesen.begin(), gelesen.end(), "weinliste.dat"), gelesen.end());
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
    // Both commands that walk the item file's chains in one read of it.
    const std::vector<std::vector<std::string>> befehle = {
        {"suche", "--betrag", "100", "--abweichung", "50"},
        {"flaschenliste", "-", "--erfassung", "1.1.1990", "31.12.2030"}};
    std::vector<Ergebnis> heil;
    for (const auto& befehl : befehle) {
        heil.push_back(Lauf(befehl));
        ASSERT_EQ(heil.back().status, 0) << heil.back().err;
    }

    // Cut to half and written back to its whole length, over and over; the
    // real items stay in place all the while.
    const std::size_t halb = echt + fremd.size() / 2 / 22 * 22;
    // A run that starts while the file is short reads a sound, shorter file
    // to its end: the chain then leaves the file, and that is what it says.
    WriteBytes(posten, bild.substr(0, halb));
    std::vector<Ergebnis> kurz;
    for (const auto& befehl : befehle) {
        kurz.push_back(Lauf(befehl));
    }
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
    for (std::size_t b = 0; b < befehle.size(); ++b) {
        int abgebrochen = 0;
        // A cut that falls into a read is a matter of timing: on a busy
        // machine it may take many runs, so the runs go on until one was seen.
        for (int lauf = 0; lauf < 4000 && abgebrochen == 0; ++lauf) {
            const Ergebnis e = Lauf(befehle[b]);
            if (e.status == -1) {
                ADD_FAILURE() << "ended by a signal";
                break;
            }
            if (e.status == kurz[b].status && e.out == kurz[b].out && e.err == kurz[b].err) {
                continue;
            }
            if (e.status == 0) {
                // Read whole, whatever its length at the start.
                EXPECT_EQ(e.out, heil[b].out);
                continue;
            }
            ++abgebrochen;
            EXPECT_EQ(e.status, 1);
            EXPECT_EQ(e.out, "");
            EXPECT_THAT(e.err, StartsWith("rebkontor-cli: "));
            EXPECT_THAT(e.err, HasSubstr("rechnungsposten.dat"));
            EXPECT_THAT(e.err, HasSubstr("die Datei wurde beim Lesen k\xC3\xBCrzer"));
        }
        EXPECT_GT(abgebrochen, 0) << befehle[b][0];
    }
    fertig = true;
    schere.join();
    ::close(fd);
}

TEST_F(LesenTest, TheStreamedAmountSearchAddsWhatTheDataSetAddsAlsoOverDamagedChains) {
    SampleDaten();
    using P = PostenVerwaltung::Posten;
    const std::string posten = Daten() + "/rechnungsposten.dat";
    std::string bild = ReadBytes(posten);
    const std::size_t anzahl = bild.size() / P::DiskSize;
    ASSERT_GT(anzahl, 40u);
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

    SuchtWieDerDatenbestand(10);
}

// The search by amount takes in the invoices from the end of their file as
// its walk down the item file reaches their chain heads. Over more items and
// invoices than one piece holds, with old invoices whose items an edit stored
// long after newer invoices' items, chains that leave their piece downwards,
// damaged links and heads, and deleted invoices, it finds what the data set
// finds, in the same order and with the same sums.
TEST_F(LesenTest, TheAmountSearchOverManyPiecesFindsWhatTheDataSetFindsAlsoForEditedInvoices) {
    std::filesystem::create_directories(Daten());
    Beispieldaten::Umfang umfang;
    umfang.kunden = 60;
    umfang.weine = 16;
    umfang.preislisten = 2;
    umfang.rechnungen = 3000;
    umfang.posten = 36000;
    Beispieldaten::Erzeugen(Daten(), umfang, 4711, Datum(7, 12, 2026));
    using P = PostenVerwaltung::Posten;
    constexpr std::size_t R = Rechnung::DiskSize;
    const std::string posten = Daten() + "/rechnungsposten.dat";
    const std::string rechnungen = Daten() + "/rechnungen.dat";
    std::string bild = ReadBytes(posten);
    std::string kopfbild = ReadBytes(rechnungen);
    const std::size_t anzahl = bild.size() / P::DiskSize;
    const std::size_t gespeichert = kopfbild.size() / R;
    ASSERT_GT(anzahl * P::DiskSize, 3 * 256 * 1024u);
    ASSERT_GT(gespeichert * R, 3 * 256 * 1024u);
    const auto feld = [](std::size_t satz, std::size_t offset) {
        return satz * P::DiskSize + offset;
    };
    const std::size_t rechnungFeld = P::kFelder.Offset(&P::rechnung);
    const std::size_t naechsterFeld = P::kFelder.Offset(&P::naechster);
    const std::size_t kopfFeld = Rechnung::kFelder.Offset(&Rechnung::postenKopf);
    // Links that point up, out of the file, or far down into another piece.
    for (std::size_t i = 0; i < anzahl; ++i) {
        if (i % 101 == 7 && i > 14000) {
            setze(bild, feld(i, naechsterFeld), static_cast<std::int32_t>(i - 13000));
        } else if (i % 211 == 5) {
            setze(bild, feld(i, naechsterFeld), static_cast<std::int32_t>(i + 3));
        } else if (i % 307 == 9) {
            setze(bild, feld(i, naechsterFeld), 1 << 30);
        }
    }
    // Old invoices edited late: a new item near the end of the file heads
    // their chain and links down to their old items.
    std::size_t neu = anzahl - 1;
    for (std::size_t n = 5; n < gespeichert * 2 / 3; n += 37, neu -= 5) {
        const std::size_t satz = n * R;
        setze(bild, feld(neu, rechnungFeld),
              lies(kopfbild, satz + Rechnung::kFelder.Offset(&Rechnung::id)));
        setze(bild, feld(neu, naechsterFeld), lies(kopfbild, satz + kopfFeld));
        setze(kopfbild, satz + kopfFeld, static_cast<std::int32_t>(neu));
    }
    for (std::size_t n = 11; n < gespeichert; n += 97) {
        setze(kopfbild, n * R + kopfFeld, n % 2 == 0 ? -1 : static_cast<std::int32_t>(anzahl + n));
    }
    for (std::size_t n = 13; n < gespeichert; n += 89) {
        const std::int16_t geloescht = Rechnung::kGeloescht;
        std::memcpy(kopfbild.data() + n * R + Rechnung::kFelder.Offset(&Rechnung::kartons),
                    &geloescht, sizeof geloescht);
    }
    WriteBytes(posten, bild);
    WriteBytes(rechnungen, kopfbild);

    SuchtWieDerDatenbestand(2500);
}

// The bottle list walks the item file once for all chosen invoices and
// lists what the data set lists: over damaged chains, over items an edit
// added long after their invoice was stored (the walk meets them before the
// items of newer invoices), and without an old invoice dated into the
// period that the pre-dating limit keeps out.
TEST_F(LesenTest, TheStreamedBottleListListsWhatTheDataSetListsAlsoOverEditedAndDamagedChains) {
    SampleDaten();
    using P = PostenVerwaltung::Posten;
    constexpr std::size_t R = Rechnung::DiskSize;
    const std::string posten = Daten() + "/rechnungsposten.dat";
    const std::string rechnungen = Daten() + "/rechnungen.dat";
    std::string bild = ReadBytes(posten);
    std::string kopfbild = ReadBytes(rechnungen);
    const std::size_t anzahl = bild.size() / P::DiskSize;
    const std::size_t gespeichert = kopfbild.size() / R;
    ASSERT_GT(anzahl, 40u);
    ASSERT_GT(gespeichert, 40u);
    const std::size_t kopfFeld = Rechnung::kFelder.Offset(&Rechnung::postenKopf);
    for (std::size_t i = 0; i < anzahl; ++i) {
        const std::size_t satz = i * P::DiskSize;
        const std::size_t naechster = satz + P::kFelder.Offset(&P::naechster);
        if (i % 23 == 3) {
            setze(bild, satz + P::kFelder.Offset(&P::rechnung),
                  lies(bild, satz + P::kFelder.Offset(&P::rechnung)) + 1);
        } else if (i % 29 == 5) {
            setze(bild, naechster, static_cast<std::int32_t>(i + 2));
        } else if (i % 31 == 6 && i > 20) {
            setze(bild, naechster, static_cast<std::int32_t>(i - 17));
        }
    }
    std::string neu;
    {
        ByteWriter writer(neu);
        for (std::size_t n = 3; n < gespeichert; n += 7) {
            P p;
            p.rechnung = lies(kopfbild, n * R + Rechnung::kFelder.Offset(&Rechnung::id));
            p.weinNummer =
                lies(bild, (n % anzahl) * P::DiskSize + P::kFelder.Offset(&P::weinNummer));
            p.menge = static_cast<std::int16_t>(100 + n);
            p.naechster = lies(kopfbild, n * R + kopfFeld);
            writer << p;
            setze(kopfbild, n * R + kopfFeld,
                  static_cast<std::int32_t>(anzahl + neu.size() / P::DiskSize - 1));
        }
        // And the newest invoice sells more wines than any catalogue has.
        const std::size_t letzte = (gespeichert - 1) * R;
        for (std::int32_t k = 0; k < 70000; ++k) {
            P p;
            p.rechnung = lies(kopfbild, letzte + Rechnung::kFelder.Offset(&Rechnung::id));
            p.weinNummer = 1000000 - k;
            p.menge = static_cast<std::int16_t>(1 + k % 5);
            p.naechster = lies(kopfbild, letzte + kopfFeld);
            writer << p;
            setze(kopfbild, letzte + kopfFeld,
                  static_cast<std::int32_t>(anzahl + neu.size() / P::DiskSize - 1));
        }
    }
    bild += neu;
    // The latest date of an invoice ends the period, and the oldest invoice
    // is dated and captured in it, behind invoices captured long before.
    const std::size_t datumFeld = Rechnung::kFelder.Offset(&Rechnung::datum);
    std::uint32_t ende = 0;
    for (std::size_t n = 0; n < gespeichert; ++n) {
        const auto datum = static_cast<std::uint32_t>(lies(kopfbild, n * R + datumFeld));
        if (datum < Datum(1, 1, 2100).Julian()) {
            ende = std::max(ende, datum);
        }
    }
    ASSERT_GT(ende, Datum(1, 1, 2020).Julian());
    setze(kopfbild, datumFeld, static_cast<std::int32_t>(ende));
    setze(kopfbild, Rechnung::kFelder.Offset(&Rechnung::erfasstDatum),
          static_cast<std::int32_t>(ende));
    WriteBytes(posten, bild);
    WriteBytes(rechnungen, kopfbild);
    const Datum von(ende - 200);
    const Datum bis(ende);

    auto erwartet = [&](bool erfassung) {
        Lesebestand bestand(Daten());
        Customizer& c = *bestand.V().customizer;
        c.filterMit1 = erfassung ? 1 : 0;
        c.filterMit2 = erfassung ? 0 : 1;
        c.filterVon1 = static_cast<std::int32_t>(Datum(1, 1, 1990).Julian());
        c.filterBis1 = static_cast<std::int32_t>(Datum(31, 12, 2030).Julian());
        c.filterVon2 = static_cast<std::int32_t>(von.Julian());
        c.filterBis2 = static_cast<std::int32_t>(bis.Julian());
        ::Flaschenliste::Eintraege eintraege;
        bestand.V().rechnungsVerwaltung->GetFlaschenPosten(eintraege);
        return ::Flaschenliste::Text("-", eintraege, c);
    };
    const Ergebnis alle = Lauf({"flaschenliste", "-", "--erfassung", "1.1.1990", "31.12.2030"});
    ASSERT_EQ(alle.status, 0) << alle.err;
    const std::string alleErwartet = erwartet(true);
    EXPECT_THAT(alleErwartet, HasSubstr(", 103"));
    EXPECT_THAT(alleErwartet, HasSubstr("Wein Nummer (930001): 5\r\n"));
    EXPECT_EQ(Unterschied(alle.out, alleErwartet), "");
    const Ergebnis datiert = Lauf({"flaschenliste", "-", "--datierung", von.Text(), bis.Text()});
    ASSERT_EQ(datiert.status, 0) << datiert.err;
    const std::string datiertErwartet = erwartet(false);
    EXPECT_THAT(datiertErwartet, ::testing::ContainsRegex(", [1-4][0-9][0-9]"));
    EXPECT_EQ(Unterschied(datiert.out, datiertErwartet), "");
}

}  // namespace
