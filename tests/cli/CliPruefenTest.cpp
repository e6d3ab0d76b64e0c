#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "CliFixture.h"
#include "cli/Datenpruefung.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Wein.h"
#include "storage/Customizer.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr std::size_t kKunde = Kunde::DiskSize;
constexpr std::size_t kRechnung = Rechnung::DiskSize;
constexpr std::size_t kPosten = PostenVerwaltung::Posten::DiskSize;
// Field offsets in the records.
constexpr std::size_t kLetzteRechnung = 524;
constexpr std::size_t kId = 0;
constexpr std::size_t kKundeDerRechnung = 8;
constexpr std::size_t kPostenKopf = 289;
constexpr std::size_t kVorige = 293;
constexpr std::size_t kRechnungDesPostens = 4;
constexpr std::size_t kNaechster = 18;

// Each test damages a copy of the sample business in one way; "pruefen"
// must name that damage, answer 1, and still change nothing.
class PruefenTest : public CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        if (!IsSkipped()) {
            SampleDaten();
        }
    }

    std::string D(const char* name) const { return Daten() + "/" + name; }

    std::int32_t Rechnungsfeld(std::int32_t id, std::size_t feld) const {
        return LiesInt32(D("rechnungen.dat"), static_cast<std::size_t>(id) * kRechnung + feld);
    }
    void SetzeRechnungsfeld(std::int32_t id, std::size_t feld, std::int32_t wert) {
        SetzeInt32(D("rechnungen.dat"), static_cast<std::size_t>(id) * kRechnung + feld, wert);
    }
    std::int32_t Postenfeld(std::int32_t index, std::size_t feld) const {
        return LiesInt32(D("rechnungsposten.dat"),
                         static_cast<std::size_t>(index) * kPosten + feld);
    }
    void SetzePostenfeld(std::int32_t index, std::size_t feld, std::int32_t wert) {
        SetzeInt32(D("rechnungsposten.dat"), static_cast<std::size_t>(index) * kPosten + feld,
                   wert);
    }
    std::int32_t Anzahl(const char* datei, std::size_t satz) const {
        return static_cast<std::int32_t>(FileSize(D(datei)) / static_cast<std::int64_t>(satz));
    }
    // The item indices of an invoice's chain, newest first.
    std::vector<std::int32_t> Kette(std::int32_t id) const {
        std::vector<std::int32_t> kette;
        for (std::int32_t i = Rechnungsfeld(id, kPostenKopf); i >= 0;
             i = Postenfeld(i, kNaechster)) {
            kette.push_back(i);
        }
        return kette;
    }
    // An invoice with at least two items.
    std::int32_t MitPosten() const {
        for (std::int32_t id = 100;; ++id) {
            if (Kette(id).size() >= 2) {
                return id;
            }
        }
    }
    // The invoice ids of a customer's chain (customer at `position`).
    std::vector<std::int32_t> Rechnungen(std::size_t position) const {
        std::vector<std::int32_t> ids;
        for (std::int32_t id = LiesInt32(D("kunden.dat"), position * kKunde + kLetzteRechnung);
             id >= 0; id = Rechnungsfeld(id, kVorige)) {
            ids.push_back(id);
        }
        return ids;
    }
    std::size_t KundeMitRechnungen() const {
        for (std::size_t k = 0;; ++k) {
            if (Rechnungen(k).size() >= 2) {
                return k;
            }
        }
    }

    // Runs the check, which must report the fragment.
    void Findet(const std::string& fragment) {
        const Schnappschuss vorher = Aufnahme(Daten());
        const Ergebnis e = Lauf({"pruefen"});
        EXPECT_EQ(e.status, 1) << e.out << e.err;
        EXPECT_THAT(e.out, HasSubstr(fragment));
        EXPECT_THAT(e.out, ::testing::MatchesRegex(".*: [0-9]+ Probleme? gefunden\\.\n"));
        EXPECT_EQ(Aufnahme(Daten()), vorher);
    }
};

TEST_F(PruefenTest, ACleanSampleIsCleanAndStaysUntouched) {
    const Schnappschuss vorher = Aufnahme(Daten());
    const Ergebnis e = Lauf({"pruefen"});
    EXPECT_EQ(e.status, 0);
    EXPECT_EQ(e.out,
              "Pr\xC3\xBC"
              "fung von \xC2\xBB"
              "daten\xC2\xAB: keine Probleme gefunden.\n");
    EXPECT_EQ(e.err, "");
    EXPECT_EQ(Aufnahme(Daten()), vorher);
}

TEST_F(PruefenTest, FileLengthsThatAreNoWholeRecords) {
    WriteBytes(D("kunden.dat"), ReadBytes(D("kunden.dat")) + "0123456789");
    WriteBytes(D("preferences.dat"), ReadBytes(D("preferences.dat")).substr(0, 300));
    WriteBytes(D("rechnungsposten.dat"), ReadBytes(D("rechnungsposten.dat")) + "xyz");
    const std::string kunden = std::to_string(FileSize(D("kunden.dat")));
    Findet("daten/kunden.dat: " + kunden +
           " Bytes sind keine ganze Zahl von S\xC3\xA4tzen zu 528 " +
           "Bytes (40 ganze S\xC3\xA4tze und 10 Bytes Rest).");
    Findet("daten/preferences.dat: 300 Bytes statt 336.");
    Findet("S\xC3\xA4tzen zu 22 Bytes");
}

TEST_F(PruefenTest, SettingsThatTheProgramWouldSetBack) {
    // 336 bytes of noise in the settings file: each value out of its range
    // gets its own line (the output is UTF-8).
    std::string rauschen(336, '\x07');
    rauschen.replace(0, 4, "\xDD\x40\x6C\x5D");
    WriteBytes(D("preferences.dat"), rauschen);
    const Ergebnis e = Lauf({"pruefen"});
    EXPECT_EQ(e.status, 1);
    EXPECT_THAT(e.out, HasSubstr("daten/preferences.dat: Mehrwertsteuer "
                                 "1063990598970638336.00 % liegt nicht zwischen 0 und 100 % "
                                 "(Voreinstellung 16.00 %).\n"));
    EXPECT_THAT(e.out, HasSubstr("daten/preferences.dat: Das W\xC3\xA4hrungsk\xC3\xBCrzel "
                                 "enth\xC3\xA4lt Steuerzeichen (Voreinstellung \"DM\").\n"));
    EXPECT_THAT(e.out, HasSubstr("daten/preferences.dat: Vordatierung max. Tage 117901063 liegt "
                                 "nicht zwischen 0 und 1000 (Voreinstellung 31).\n"));
    EXPECT_THAT(e.out, HasSubstr("daten/preferences.dat: Die Rechnung-Bemerkung enth\xC3\xA4lt "
                                 "Steuerzeichen"));
    EXPECT_THAT(e.out, HasSubstr(": 4 Probleme gefunden.\n"));
}

TEST_F(PruefenTest, DuplicateCustomerAndWineNumbers) {
    SetzeInt32(D("kunden.dat"), 3 * kKunde, LiesInt32(D("kunden.dat"), 0));
    SetzeInt32(D("weinliste.dat"), 5 * Wein::DiskSize,
               LiesInt32(D("weinliste.dat"), 2 * Wein::DiskSize));
    Findet("Die Kundennummer 1 kommt 2-mal vor (Positionen 0, 3 in daten/kunden.dat).");
    Findet("Die Weinnummer 3 kommt 2-mal vor (Positionen 2, 5 in daten/weinliste.dat).");
}

TEST_F(PruefenTest, AnInvoiceWhoseIdIsNotItsPosition) {
    SetzeRechnungsfeld(3, kId, 99);
    Findet("Die Rechnung an Position 3 (Nr. " + std::to_string(Rechnungsfeld(3, 4)) +
           ") tr\xC3\xA4gt die Id 99.");
}

TEST_F(PruefenTest, AnItemChainThatLeavesTheFile) {
    SetzeRechnungsfeld(10, kPostenKopf, 999999);
    Findet(
        "Die Postenkette der Rechnung Nr. 1011 (Id 10) verweist auf Posten 999999, den es "
        "nicht gibt");
}

TEST_F(PruefenTest, AnItemChainThatRunsInACircle) {
    const std::int32_t id = MitPosten();
    const std::vector<std::int32_t> kette = Kette(id);
    SetzePostenfeld(kette.back(), kNaechster, kette.front());
    Findet("Die Postenkette der Rechnung Nr. " + std::to_string(id + 1001) + " (Id " +
           std::to_string(id) + ") l\xC3\xA4uft im Kreis");
}

TEST_F(PruefenTest, AnItemChainThatPassesAnotherInvoicesItems) {
    const std::int32_t id = MitPosten();
    const std::int32_t fremd = Kette(id - 5).front();
    SetzePostenfeld(Kette(id).back(), kNaechster, fremd);
    Findet("(Id " + std::to_string(id) + ") f\xC3\xBChrt \xC3\xBC" + "ber Posten " +
           std::to_string(fremd) + ", der zur Rechnung Id " + std::to_string(id - 5) +
           " geh\xC3\xB6rt.");
}

TEST_F(PruefenTest, AnItemChainThatJumpsForwardWhereTheProgramStopsReading) {
    const std::int32_t id = MitPosten();
    const std::vector<std::int32_t> kette = Kette(id);
    // The chain now starts at its oldest item and jumps up to the newest.
    SetzeRechnungsfeld(id, kPostenKopf, kette.back());
    SetzePostenfeld(kette.back(), kNaechster, kette.front());
    SetzePostenfeld(kette.front(), kNaechster, -1);
    Findet("springt bei Posten " + std::to_string(kette.back()) + " vorw\xC3\xA4rts auf Posten " +
           std::to_string(kette.front()));
}

TEST_F(PruefenTest, ACustomerChainThatLeavesTheFile) {
    SetzeInt32(D("kunden.dat"), 2 * kKunde + kLetzteRechnung, 1000000);
    Findet(
        "Die Rechnungskette des Kunden 3 verweist auf die Rechnung Id 1000000, die es nicht "
        "gibt (die Datei hat 400 Rechnungen).");
}

TEST_F(PruefenTest, ACustomerChainThatRunsInACircle) {
    const std::size_t k = KundeMitRechnungen();
    const std::vector<std::int32_t> ids = Rechnungen(k);
    SetzeRechnungsfeld(ids.back(), kVorige, ids.front());
    Findet("Die Rechnungskette des Kunden " + std::to_string(k + 1) + " l\xC3\xA4uft im Kreis");
}

TEST_F(PruefenTest, ACustomerChainThatPassesAnotherCustomersInvoice) {
    const std::size_t k = KundeMitRechnungen();
    const std::int32_t letzte = Rechnungen(k).front();
    std::int32_t fremd = letzte - 1;
    while (Rechnungsfeld(fremd, kKundeDerRechnung) == static_cast<std::int32_t>(k + 1)) {
        --fremd;
    }
    SetzeRechnungsfeld(letzte, kVorige, fremd);
    Findet("Die Rechnungskette des Kunden " + std::to_string(k + 1) + " f\xC3\xBChrt \xC3\xBC" +
           "ber die Rechnung Nr. " + std::to_string(fremd + 1001) + " (Id " +
           std::to_string(fremd) + ") des Kunden " +
           std::to_string(Rechnungsfeld(fremd, kKundeDerRechnung)) + ".");
}

TEST_F(PruefenTest, ItemsOfAnInvoiceThatWasNeverStored) {
    std::string posten = ReadBytes(D("rechnungsposten.dat"));
    const std::int32_t index = Anzahl("rechnungsposten.dat", kPosten);
    std::string satz = posten.substr(0, kPosten);
    posten += satz;
    WriteBytes(D("rechnungsposten.dat"), posten);
    SetzePostenfeld(index, kRechnungDesPostens, 405);
    Findet("Die Rechnung Id 405 wurde nie gespeichert; 1 Posten geh\xC3\xB6rt zu ihr (Posten " +
           std::to_string(index) + ").");
}

// Chains that run into one another are told in the order of their invoices
// and customers, whichever of them meets the shared record first in the
// file: the first chain to reach a record holds it, a later one runs into
// it, and each chain has its one finding in its place among the others.
TEST_F(PruefenTest, ChainsThatRunIntoOneAnotherAreToldInTheOrderOfTheirRecords) {
    const auto mitPostenVor = [&](std::int32_t id) {
        while (Kette(--id).empty()) {
        }
        return id;
    };
    // Invoice x's items are deleted ones (which stay in their chain). The
    // earlier invoice w leads into x's chain at its newest item, the earlier
    // v and the later y at its second; u passes an item of f.
    const std::int32_t x = MitPosten();
    const std::int32_t w = mitPostenVor(x);
    const std::int32_t u = mitPostenVor(w);
    const std::int32_t f = mitPostenVor(u);
    const std::int32_t v = mitPostenVor(f);
    const std::int32_t y = x + 1;
    const std::vector<std::int32_t> kette = Kette(x);
    const std::int32_t fremd = Kette(f).front();
    ASSERT_LT(fremd, Kette(u).back());
    for (std::int32_t i : kette) {
        SetzePostenfeld(i, kRechnungDesPostens, -1);
    }
    SetzeRechnungsfeld(w, kPostenKopf, kette[0]);
    SetzeRechnungsfeld(v, kPostenKopf, kette[1]);
    SetzeRechnungsfeld(y, kPostenKopf, kette[1]);
    SetzePostenfeld(Kette(u).back(), kNaechster, fremd);
    // Customer a takes the later customer b's number and joins b's chain at
    // its second invoice; the chains of customer d between them and of the
    // last customer leave the file.
    const std::size_t a = KundeMitRechnungen();
    const std::size_t d = a + 1;
    std::size_t b = d + 1;
    while (Rechnungen(b).size() < 2) {
        ++b;
    }
    const std::vector<std::int32_t> ids = Rechnungen(b);
    const auto c = static_cast<std::size_t>(Anzahl("kunden.dat", kKunde) - 1);
    ASSERT_LT(b, c);
    const auto nummer = static_cast<std::int32_t>(b + 1);
    SetzeInt32(D("kunden.dat"), a * kKunde, nummer);
    SetzeInt32(D("kunden.dat"), a * kKunde + kLetzteRechnung, ids[1]);
    SetzeInt32(D("kunden.dat"), d * kKunde + kLetzteRechnung, 1000000);
    SetzeInt32(D("kunden.dat"), c * kKunde + kLetzteRechnung, 1000000);

    const auto name = [](std::int32_t id) {
        return "Rechnung Nr. " + std::to_string(id + 1001) + " (Id " + std::to_string(id) + ")";
    };
    const auto muendet = [&](std::int32_t id, std::int32_t posten, std::int32_t in) {
        return "Die Postenkette der " + name(id) + " m\xC3\xBC" + "ndet bei Posten " +
               std::to_string(posten) + " in die Postenkette der " + name(in) + ".\n";
    };
    const auto ausserhalb = [](std::size_t kunde) {
        return "Die Rechnungskette des Kunden " + std::to_string(kunde + 1) +
               " verweist auf die Rechnung Id 1000000, die es nicht gibt (die Datei hat 400 "
               "Rechnungen).\n";
    };
    const std::vector<std::string> folge = {
        "Die Kundennummer " + std::to_string(nummer) + " kommt 2-mal vor (Positionen " +
            std::to_string(a) + ", " + std::to_string(b) + " in daten/kunden.dat).\n",
        "Die Postenkette der " + name(u) + " f\xC3\xBChrt \xC3\xBC" + "ber Posten " +
            std::to_string(fremd) + ", der zur Rechnung Id " + std::to_string(f) +
            " geh\xC3\xB6rt.\n",
        muendet(w, kette[1], v),
        muendet(x, kette[0], w),
        muendet(y, kette[1], v),
        ausserhalb(d),
        "Die Rechnungskette des Kunden " + std::to_string(nummer) + " m\xC3\xBC" + "ndet bei der " +
            name(ids[1]) + " in die Rechnungskette des Kunden " + std::to_string(nummer) + ".\n",
        ausserhalb(c),
        "Die " + name(v) + " erreicht ",
    };
    Findet(folge.back());
    const std::string out = Lauf({"pruefen"}).out;
    std::size_t stelle = 0;
    for (const std::string& zeile : folge) {
        const std::size_t gefunden = out.find(zeile, stelle);
        ASSERT_NE(gefunden, std::string::npos)
            << zeile << "\nnicht nach Stelle " << stelle << " in:\n"
            << out;
        stelle = gefunden + zeile.size();
    }
}

// What a crash with a new invoice open leaves once the next invoice got its
// id, and what deleting a customer leaves: the check names both. The next
// start of the program books the item back and says so; then the check has
// only the customer left to report.
TEST_F(PruefenTest, ItemsOfAnInvoiceWhoseIdWasGivenAgainAndInvoicesOfAnUnknownCustomer) {
    const std::size_t k = KundeMitRechnungen();
    const std::vector<std::int32_t> ids = Rechnungen(k);
    const auto kunde = static_cast<std::int32_t>(k + 1);
    Oeffnen()->GetVerwaltungen().kundenVerwaltung->DeleteKunde(kunde);

    // The item of the invoice never stored, then the next invoice stored
    // with its id and an item of its own.
    const std::int32_t id = Anzahl("rechnungen.dat", kRechnung);
    const std::int32_t index = Anzahl("rechnungsposten.dat", kPosten);
    std::string posten = ReadBytes(D("rechnungsposten.dat"));
    posten += posten.substr(0, kPosten) + posten.substr(0, kPosten);
    WriteBytes(D("rechnungsposten.dat"), posten);
    for (std::int32_t i : {index, index + 1}) {
        SetzePostenfeld(i, kRechnungDesPostens, id);
        SetzePostenfeld(i, kNaechster, -1);
    }
    std::string rechnungen = ReadBytes(D("rechnungen.dat"));
    rechnungen += rechnungen.substr(rechnungen.size() - kRechnung);
    WriteBytes(D("rechnungen.dat"), rechnungen);
    SetzeRechnungsfeld(id, kId, id);
    SetzeRechnungsfeld(id, kPostenKopf, index + 1);
    SetzeRechnungsfeld(id, kKundeDerRechnung, kunde == 1 ? 2 : 1);
    const std::string nummer = std::to_string(Rechnungsfeld(id, 4));

    const std::string waise = "Die Rechnung Nr. " + nummer + " (Id " + std::to_string(id) +
                              ") erreicht 1 Posten mit ihrer Id nicht (Posten " +
                              std::to_string(index) +
                              "): er stammt von einer nie gespeicherten Rechnung mit derselben "
                              "Id oder aus einer nie gespeicherten \xC3\x84nderung; der "
                              "n\xC3\xA4"
                              "chste Start des Programms bucht ihn zur\xC3\xBC"
                              "ck.\n";
    std::string fremd = std::to_string(ids.size()) + " Rechnungen geh\xC3\xB6ren zum Kunden " +
                        std::to_string(kunde) +
                        ", den es in daten/kunden.dat nicht gibt (Rechnung Nr. ";
    for (std::size_t i = 0; i < ids.size() && i < 10; ++i) {
        fremd += (i > 0 ? ", " : "") + std::to_string(ids[ids.size() - 1 - i] + 1001);
    }
    fremd += ids.size() > 10 ? ", \xE2\x80\xA6).\n" : ").\n";
    Findet(waise);
    Findet(fremd);

    {
        auto bestand = Oeffnen();
        EXPECT_EQ(bestand->Startmeldungen(),
                  std::vector<std::string>{"Beim letzten Programmende war eine neue Rechnung "
                                           "nicht gespeichert; ihre 1 Posten wurden zur\xFC"
                                           "ckgebucht."});
    }
    const Ergebnis danach = Lauf({"pruefen"});
    EXPECT_THAT(danach.out, Not(HasSubstr("Posten mit ihrer Id")));
    EXPECT_THAT(danach.out, HasSubstr(fremd));
    EXPECT_EQ(Postenfeld(index, kRechnungDesPostens), -1);
}

TEST_F(PruefenTest, PriceListFilesWithoutANameAndNamesWithoutAFile) {
    std::filesystem::copy_file(D("0.wl"), D("7.wl"));
    std::filesystem::remove(D("2.wl"));
    Findet(
        "Die Datei daten/7.wl geh\xC3\xB6rt zu keiner Preisliste (daten/weinlisten.txt nennt "
        "4).");
    Findet("Die Preisliste 2 \xC2\xBBGastro\xC2\xAB hat keine Datei daten/2.wl.");
}

TEST_F(PruefenTest, MoreThanTwentyPriceLists) {
    std::string namen = ReadBytes(D("weinlisten.txt"));
    for (int i = 4; i < 20; ++i) {
        namen += "\r\nListe" + std::to_string(i);
        std::filesystem::copy_file(D("0.wl"), D(("" + std::to_string(i) + ".wl").c_str()));
    }
    WriteBytes(D("weinlisten.txt"), namen + "\r\n");
    Findet("daten/weinlisten.txt endet nach der 20. Preisliste mit einem Zeilenende");
    WriteBytes(D("weinlisten.txt"), namen + "\r\nListe20");
    Findet("daten/weinlisten.txt nennt 21 Preislisten; mehr als 20 sind nicht erlaubt.");
}

// An item file that cannot be read is told as such, once: no chain is judged
// by items that could not be read.
TEST_F(PruefenTest, AnItemFileThatCannotBeReadIsToldOnceAndNoChainIsJudged) {
    const std::string posten = D("rechnungsposten.dat");
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Read && pfad == posten ? EIO : 0;
    });
    const std::vector<std::string> probleme = Datenpruefung(Daten()).Pruefen();
    IoFaults::ClearHook();
    ASSERT_EQ(probleme.size(), 1u) << probleme[1];
    EXPECT_THAT(probleme[0],
                ::testing::StartsWith("Die Datei " + posten + " kann nicht gelesen werden ("));
}

TEST_F(PruefenTest, ArbitraryDamageNeverHangsOrCrashes) {
    // Every link of every record pointed somewhere odd at once.
    std::string rechnungen = ReadBytes(D("rechnungen.dat"));
    std::string posten = ReadBytes(D("rechnungsposten.dat"));
    const auto anzahlRechnungen = static_cast<std::int32_t>(rechnungen.size() / kRechnung);
    const auto anzahlPosten = static_cast<std::int32_t>(posten.size() / kPosten);
    auto setze = [](std::string& bytes, std::size_t offset, std::int32_t wert) {
        for (std::size_t i = 0; i < 4; ++i) {
            bytes[offset + i] = static_cast<char>(static_cast<std::uint32_t>(wert) >> (8 * i));
        }
    };
    for (std::int32_t i = 0; i < anzahlPosten; ++i) {
        const std::size_t satz = static_cast<std::size_t>(i) * kPosten;
        setze(posten, satz + kNaechster, (i * 7919) % anzahlPosten);
        setze(posten, satz + kRechnungDesPostens, i % 3 == 0 ? -7 : (i * 31) % anzahlRechnungen);
    }
    for (std::int32_t id = 0; id < anzahlRechnungen; ++id) {
        const std::size_t satz = static_cast<std::size_t>(id) * kRechnung;
        setze(rechnungen, satz + kPostenKopf, (id * 104729) % anzahlPosten);
        setze(rechnungen, satz + kVorige, (id * 13) % anzahlRechnungen);
    }
    WriteBytes(D("rechnungen.dat"), rechnungen);
    WriteBytes(D("rechnungsposten.dat"), posten);
    Findet("Posten tragen die ung\xC3\xBCltige Rechnungs-Id -7");
    Findet("l\xC3\xA4uft im Kreis");
}

}  // namespace
