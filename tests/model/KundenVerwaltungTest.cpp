#include "model/KundenVerwaltung.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

constexpr const char* kDatei = "daten/kunden.dat";

Kunde Neu(const std::string& nachname, std::int32_t plz = 0, const std::string& vorname = "") {
    Kunde kunde;
    FixedText::Set(kunde.Nachname, nachname);
    FixedText::Set(kunde.Vorname, vorname);
    kunde.PLZ = plz;
    return kunde;
}

std::vector<std::string> Nachnamen(const KundenVerwaltung& verwaltung) {
    std::vector<std::string> namen;
    for (unsigned i = 0; i < verwaltung.Count(); ++i) {
        namen.push_back(FixedText::Get(verwaltung[i].Nachname));
    }
    return namen;
}

// One record of the old version: length-prefixed texts.
std::string AlterText(const std::string& text, std::size_t capacity) {
    std::string feld(1, static_cast<char>(text.size()));
    feld += text;
    feld.resize(capacity + 1, '\0');
    return feld;
}

std::string AlterKunde(const std::string& nachname, const std::string& plzOrt,
                       const std::string& code) {
    return AlterText("Herrn", 30) + AlterText("Karl", 30) + AlterText(nachname, 30) +
           AlterText("Weinstr. 1", 30) + AlterText(plzOrt, 30) + AlterText("06131", 20) +
           AlterText(code, 5);
}

class KundenVerwaltungTest : public ::testing::Test {
  protected:
    void SetUp() override { KundenVerwaltung::maxNummer = 0; }

    TempDir dir_{true};
};

TEST_F(KundenVerwaltungTest, NumbersFollowTheHighestNumberAndReachTheCaller) {
    {
        KundenVerwaltung verwaltung(kDatei);
        Kunde kunde = Neu("Erster");
        verwaltung.AddKunde(kunde);
        EXPECT_EQ(kunde.nummer, 1);
        EXPECT_EQ(Int32At(ReadBytes(kDatei), 0), 1);
    }
    std::string bytes;
    for (std::int32_t nummer : {4, 9, 2}) {
        Kunde kunde(nummer);
        ByteWriter out(bytes);
        out << kunde;
    }
    WriteBytes(kDatei, bytes);
    KundenVerwaltung::maxNummer = 0;
    KundenVerwaltung verwaltung(kDatei);
    Kunde kunde = Neu("Neu");
    verwaltung.AddKunde(kunde);
    EXPECT_EQ(kunde.nummer, 10);
    EXPECT_EQ(FileSize(kDatei), 4 * 528);
    // A second instance never lowers the shared number.
    KundenVerwaltung leer("daten/leer.dat");
    Kunde weiterer;
    leer.AddKunde(weiterer);
    EXPECT_EQ(weiterer.nummer, 11);
}

TEST_F(KundenVerwaltungTest, NumbersNeverWrapRound) {
    std::string bytes;
    ByteWriter out(bytes);
    out << Kunde(-1) << Kunde(3) << Kunde();
    WriteBytes(kDatei, bytes);
    KundenVerwaltung verwaltung(kDatei);
    Kunde kunde;
    verwaltung.AddKunde(kunde);
    EXPECT_EQ(kunde.nummer, 4);

    KundenVerwaltung::maxNummer = 2147483646;
    EXPECT_THROW(verwaltung.AddKunde(kunde), MessageException);
    EXPECT_EQ(verwaltung.Count(), 4u);
    EXPECT_EQ(FileSize(kDatei), 4 * 528);
}

TEST_F(KundenVerwaltungTest, DeleteMovesTheLastCustomerAndLogsTheOldData) {
    FixedClock clock(6, 12, 2026, 9, 5, 3);
    LogBuch log("daten/logbuch.txt");
    KundenVerwaltung verwaltung(kDatei);
    verwaltung.SetLogBuch(&log);
    for (const char* name : {"A", "B", "C", "D", "E"}) {
        Kunde kunde = Neu(name);
        verwaltung.AddKunde(kunde);
    }
    Kunde* b = verwaltung.GetKunde(2);
    FixedText::Set(b->Anrede, "Herrn");
    FixedText::Set(b->Vorname, "Karl \"Kalle\"");
    FixedText::Set(b->Strasse, "Weinstr. 1");
    b->PLZ = 6543;
    FixedText::Set(b->Ort, "Mainz");
    FixedText::Set(b->EMail, "k@b.de");
    FixedText::Set(b->bemerkung, "Müller, Hof"_w);
    b->preisliste = -1;
    b->kundenGruppe = 3;
    clock.Advance(86400 + 3600);

    verwaltung.DeleteKunde(2);
    verwaltung.DeleteKunde(77);
    EXPECT_EQ(Nachnamen(verwaltung), (std::vector<std::string>{"A", "E", "C", "D"}));
    EXPECT_EQ(verwaltung.GetKunde(2), nullptr);
    const std::string datei = ReadBytes(kDatei);
    ASSERT_EQ(datei.size(), 4u * 528);
    EXPECT_EQ(Int32At(datei, 528), 5);
    EXPECT_EQ(ReadBytes("daten/logbuch.txt"),
              "( 7.12.2026 10: 5: 3) >> KUNDE GEL\xD6SCHT << (erfasst am 6.12.2026 9:5:3) -> "
              "2,\"Herrn\",\"Karl \"Kalle\"\",\"B\",\"Weinstr. 1\",6543,\"Mainz\",\"\",\"\","
              "\"k@b.de\",\"M\xFCller, Hof\",-1,3\r\n");
}

TEST_F(KundenVerwaltungTest, UpdateLogsTheStoredDataAndIsOnDiskAtOnce) {
    FixedClock clock(1, 2, 2027, 23, 59, 58);
    LogBuch log("daten/logbuch.txt");
    KundenVerwaltung verwaltung(kDatei);
    verwaltung.SetLogBuch(&log);
    Kunde kunde = Neu("Alt", 55116);
    verwaltung.AddKunde(kunde);
    verwaltung.AddKunde(kunde);

    Kunde geaendert = *verwaltung.GetKunde(1);
    FixedText::Set(geaendert.Nachname, "Neu");
    geaendert.kundenGruppe = 1;
    verwaltung.UpdateKunde(geaendert);

    EXPECT_STREQ(verwaltung.GetKunde(1)->Nachname, "Neu");
    const std::string datei = ReadBytes(kDatei);
    EXPECT_EQ(datei.substr(66, 4), std::string("Neu\0", 4));
    EXPECT_EQ(Int16At(datei, 514), 1);
    EXPECT_EQ(datei.substr(528 + 66, 4), std::string("Alt\0", 4));
    EXPECT_EQ(ReadBytes("daten/logbuch.txt"),
              "( 1. 2.2027 23:59:58) >> KUNDE GE\xC4NDERT << (erfasst am 1.2.2027 23:59:58) -> "
              "1,\"\",\"\",\"Alt\",\"\",55116,\"\",\"\",\"\",\"\",\"\",0,0\r\n");

    // The invoice chain head is changed in place and stored by pointer.
    verwaltung.GetKunde(2)->letzteRechnung = 41;
    verwaltung.Store(verwaltung.GetKunde(2));
    EXPECT_EQ(Int32At(ReadBytes(kDatei), 528 + 524), 41);
    Kunde fremd;
    EXPECT_THROW(verwaltung.Store(&fremd), MessageException);
}

TEST_F(KundenVerwaltungTest, SearchMatchesByPrefixCaseSensitiveAndPostcode) {
    KundenVerwaltung verwaltung(kDatei);
    for (Kunde kunde : {Neu("Müller"_w, 55116), Neu("Amüller"_w, 55116), Neu("Münch"_w, 6543),
                        Neu("müller"_w, 55116), Neu("Schmidt", 55116)}) {
        verwaltung.AddKunde(kunde);
    }
    Kunde ende;
    EXPECT_FALSE(verwaltung.NextKunde(ende));

    GenericList<Kunde> treffer;
    Kunde muster = Neu("Mü"_w);
    EXPECT_EQ(verwaltung.SearchKunden(muster, &treffer), 2u);
    ASSERT_EQ(treffer.Count(), 2u);
    EXPECT_EQ(FixedText::Get(treffer[0].Nachname), "Müller"_w);
    EXPECT_EQ(FixedText::Get(treffer[1].Nachname), "Münch"_w);

    muster.PLZ = 6543;
    EXPECT_EQ(verwaltung.SearchKunden(muster, nullptr), 1u);
    Kunde gefunden;
    ASSERT_TRUE(verwaltung.NextKunde(gefunden));
    EXPECT_EQ(gefunden.nummer, 3);
    EXPECT_FALSE(verwaltung.NextKunde(gefunden));
    EXPECT_FALSE(verwaltung.NextKunde(gefunden));

    EXPECT_EQ(verwaltung.SearchKunden(Kunde(), nullptr), 5u);
    std::vector<std::int32_t> nummern;
    while (verwaltung.NextKunde(gefunden)) {
        nummern.push_back(gefunden.nummer);
    }
    EXPECT_EQ(nummern, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));

    Kunde anrede;
    FixedText::Set(anrede.Anrede, "Frau");
    EXPECT_EQ(verwaltung.SearchKunden(anrede, nullptr), 0u);
    EXPECT_FALSE(verwaltung.NextKunde(gefunden));
}

TEST_F(KundenVerwaltungTest, GetOrtTakesTheFirstCustomerWithThePostcode) {
    KundenVerwaltung verwaltung(kDatei);
    Kunde kunde = Neu("A", 55116);
    FixedText::Set(kunde.Ort, "Mainz");
    verwaltung.AddKunde(kunde);
    FixedText::Set(kunde.Ort, "Mainz-Kastel");
    verwaltung.AddKunde(kunde);
    char ort[31] = "unverändert";
    verwaltung.GetOrt(12345, ort);
    EXPECT_STREQ(ort, "unverändert");
    verwaltung.GetOrt(55116, ort);
    EXPECT_STREQ(ort, "Mainz");
}

TEST_F(KundenVerwaltungTest, ImportOfOldFilesReadsWholeRecordsAndConvertsDosText) {
    std::filesystem::create_directory("daten_alt");
    WriteBytes("daten_alt/B.dat", AlterKunde("M\x81ller", "55116 Mainz am Rhein", "SA") +
                                      AlterKunde("Becker", "Ingelheim", "W"));
    std::string mitRest = AlterKunde("Christ", "6543 Alzey", "B") + AlterKunde("Dorn", "x", "sw") +
                          std::string(36, 'z');
    // A length byte beyond its capacity takes the capacity.
    mitRest[62] = static_cast<char>(200);
    mitRest.replace(69, 24, 24, 'q');
    WriteBytes("daten_alt/D.dat", mitRest);
    EXPECT_EQ(FileSize("daten_alt/D.dat"), 400);

    KundenVerwaltung verwaltung(kDatei);
    Kunde vorher = Neu("Vorher");
    verwaltung.AddKunde(vorher);
    verwaltung.AddKunde(vorher);
    verwaltung.DeleteKunde(2);
    verwaltung.ImportAlteKunden();

    ASSERT_EQ(verwaltung.Count(), 4u);
    EXPECT_EQ(FileSize(kDatei), 4 * 528);
    const Kunde& mueller = verwaltung[0];
    EXPECT_EQ(mueller.nummer, 3);
    EXPECT_STREQ(mueller.Anrede, "Herrn");
    EXPECT_STREQ(mueller.Vorname, "Karl");
    EXPECT_EQ(FixedText::Get(mueller.Nachname), "Müller"_w);
    EXPECT_STREQ(mueller.Strasse, "Weinstr. 1");
    EXPECT_EQ(mueller.PLZ, 55116);
    EXPECT_STREQ(mueller.Ort, "Mainz am Rhein");
    EXPECT_STREQ(mueller.Telefon, "06131");
    EXPECT_EQ(mueller.preisliste, 3);
    EXPECT_EQ(verwaltung[1].PLZ, 0);
    EXPECT_STREQ(verwaltung[1].Ort, "Ingelheim");
    EXPECT_EQ(verwaltung[1].preisliste, 1);
    EXPECT_EQ(verwaltung[2].preisliste, 0);
    EXPECT_EQ(FixedText::Get(verwaltung[2].Nachname), "Christ" + std::string(24, 'q'));
    EXPECT_EQ(verwaltung[3].preisliste, 0);
    EXPECT_EQ(verwaltung[3].nummer, 6);
}

TEST_F(KundenVerwaltungTest, ImportsWithoutTheirFilesChangeNothing) {
    KundenVerwaltung verwaltung(kDatei);
    Kunde kunde = Neu("Bleibt");
    verwaltung.AddKunde(kunde);
    const std::string vorher = ReadBytes(kDatei);
    try {
        verwaltung.ImportAlteKunden();
        FAIL();
    } catch (const MessageException& e) {
        EXPECT_NE(e.Text().find("daten_alt/A.dat"), std::string::npos);
    }
    try {
        verwaltung.ImportKundenCSV();
        FAIL();
    } catch (const MessageException& e) {
        EXPECT_NE(e.Text().find("kunden.csv"), std::string::npos);
    }
    EXPECT_EQ(verwaltung.Count(), 1u);
    EXPECT_EQ(ReadBytes(kDatei), vorher);
}

TEST_F(KundenVerwaltungTest, CsvImportSplitsNamesPostcodesAndTheLastField) {
    FixedClock clock(3, 4, 2026);
    const std::string lang(4000, 'x');
    WriteBytes("kunden.csv",
               "Anna Maria Schmidt;Weinstr. 1;55116;Mainz;06131;;anna@example.de\r\n"
               "Jo Weber;;D-55234;Alzey;;06731;Stammkunde\n"
               "J Weber;;6543;;\n"
               "\n"
               " Kurz;" +
                   lang + ";x;y;z;f;g;mehr;noch mehr");
    KundenVerwaltung verwaltung(kDatei);
    verwaltung.ImportKundenCSV();

    ASSERT_EQ(verwaltung.Count(), 5u);
    const Kunde& anna = verwaltung[0];
    EXPECT_EQ(anna.nummer, 1);
    EXPECT_STREQ(anna.Vorname, "Anna Maria");
    EXPECT_STREQ(anna.Nachname, "Schmidt");
    EXPECT_STREQ(anna.Anrede, "");
    EXPECT_EQ(anna.PLZ, 55116);
    EXPECT_STREQ(anna.Telefon, "06131");
    EXPECT_STREQ(anna.Fax, "");
    EXPECT_STREQ(anna.EMail, "anna@example.de");
    EXPECT_STREQ(anna.bemerkung, "");

    EXPECT_STREQ(verwaltung[1].Vorname, "Jo");
    EXPECT_STREQ(verwaltung[1].Nachname, "Weber");
    EXPECT_EQ(verwaltung[1].PLZ, 55234);
    EXPECT_STREQ(verwaltung[1].Fax, "06731");
    EXPECT_STREQ(verwaltung[1].EMail, "");
    EXPECT_STREQ(verwaltung[1].bemerkung, "Stammkunde");

    EXPECT_STREQ(verwaltung[2].Vorname, "");
    EXPECT_STREQ(verwaltung[2].Nachname, "J Weber");
    EXPECT_EQ(verwaltung[2].PLZ, 6543);

    EXPECT_STREQ(verwaltung[3].Nachname, "");
    EXPECT_EQ(verwaltung[3].PLZ, 0);

    // A blank at position 0 does not split; overlong fields are cut and
    // terminated, and fields after the seventh are ignored.
    EXPECT_STREQ(verwaltung[4].Nachname, " Kurz");
    EXPECT_EQ(std::string(verwaltung[4].Strasse), std::string(30, 'x'));
    EXPECT_STREQ(verwaltung[4].bemerkung, "g");
    for (unsigned i = 0; i < verwaltung.Count(); ++i) {
        EXPECT_EQ(verwaltung[i].erfasstDatum, anna.erfasstDatum);
        EXPECT_EQ(verwaltung[i].letzteRechnung, -1);
    }

    // With a line end after the last line the count is the same.
    WriteBytes("kunden.csv", "A B;\nC D;\n");
    verwaltung.ImportKundenCSV();
    EXPECT_EQ(Nachnamen(verwaltung), (std::vector<std::string>{"A B", "C D"}));
    EXPECT_EQ(verwaltung[0].nummer, 6);
    EXPECT_EQ(FileSize(kDatei), 2 * 528);
}

}  // namespace

// What spreadsheets and editors of today write: UTF-8 with or without a
// byte order mark, CR-only or CR LF line ends, tabs and control characters
// in fields. Each customer keeps one line and its umlauts; what the file
// cannot hold, or a file without customers, is refused with the characters
// named, and then nothing changes, not even the log book.
TEST_F(KundenVerwaltungTest, CsvImportReadsUtf8AndEveryLineEndAndRefusesWhatItCannotStore) {
    FixedClock clock(3, 4, 2026, 9, 5, 3);
    LogBuch log("daten/logbuch.txt");
    KundenVerwaltung verwaltung(kDatei);
    verwaltung.SetLogBuch(&log);

    WriteBytes("kunden.csv",
               "\xEF\xBB\xBFJürgen Müller;Weinstr.\t1;55116;Mainz;06131;;jm@example.de\r"
               "Eva\x01 Groß;Am Markt 2;55232;Alzey\r\n"
               "Kai Öhm;Gasse 3\x7F;67547;Worms;;;\xE2\x80\x9Eimmer\xE2\x80\x9C p\xC3\xBCnktlich");
    verwaltung.ImportKundenCSV();
    ASSERT_EQ(verwaltung.Count(), 3u);
    EXPECT_STREQ(verwaltung[0].Vorname, "J\xFCrgen");
    EXPECT_STREQ(verwaltung[0].Nachname, "M\xFCller");
    EXPECT_STREQ(verwaltung[0].Strasse, "Weinstr. 1");
    EXPECT_STREQ(verwaltung[0].EMail, "jm@example.de");
    EXPECT_STREQ(verwaltung[1].Vorname, "Eva");
    EXPECT_STREQ(verwaltung[1].Nachname, "Gro\xDF");
    EXPECT_STREQ(verwaltung[1].Ort, "Alzey");
    EXPECT_STREQ(verwaltung[2].Nachname, "\xD6hm");
    EXPECT_STREQ(verwaltung[2].Strasse, "Gasse 3");
    EXPECT_STREQ(verwaltung[2].bemerkung, "\x84immer\x93 p\xFCnktlich");
    EXPECT_EQ(ReadBytes("daten/logbuch.txt"),
              "( 3. 4.2026  9: 5: 3) KUNDEN IMPORTIERT: 3 aus kunden.csv\r\n");

    // Windows-1252 as the old version wrote it (no valid UTF-8) stays as it
    // is; LF line ends.
    WriteBytes("kunden.csv", "Anna M\xFCller;;55116;Mainz\nOtto K\xF6hler\n");
    verwaltung.ImportKundenCSV();
    EXPECT_EQ(Nachnamen(verwaltung), (std::vector<std::string>{"M\xFCller", "K\xF6hler"}));

    const std::string kunden = ReadBytes(kDatei);
    const std::string logbuch = ReadBytes("daten/logbuch.txt");
    auto abgelehnt = [&](const std::string& inhalt, const std::string& meldung) {
        WriteBytes("kunden.csv", inhalt);
        try {
            verwaltung.ImportKundenCSV();
            ADD_FAILURE() << "imported: " << inhalt;
        } catch (const MessageException& e) {
            EXPECT_EQ(CodePage::Cp1252ToUtf8(e.Text()), meldung);
        }
        EXPECT_EQ(ReadBytes(kDatei), kunden);
        EXPECT_EQ(verwaltung.Count(), 2u);
        EXPECT_EQ(ReadBytes("daten/logbuch.txt"), logbuch);
    };
    const std::string leer = "Die Datei kunden.csv enthält keine Kunden; es wurde nichts geändert.";
    abgelehnt("", leer);
    abgelehnt("\r\n\r\n", leer);
    abgelehnt("\xEF\xBB\xBF;;;\n", leer);
    abgelehnt(
        "Olga Ivanova;;;Mainz\nИван Петров;;;Köln 😀\nAlex Ж\n",
        "Die Datei kunden.csv enthält Zeichen, die Rebkontor nicht speichern kann: U+0418 "
        "(Zeile 2), U+0432 (Zeile 2), U+0430 (Zeile 2), U+043D (Zeile 2), U+041F (Zeile 2), "
        "U+0435 (Zeile 2), U+0442 (Zeile 2), U+0440 (Zeile 2), U+043E (Zeile 2), U+1F600 "
        "(Zeile 2) und weitere. Bitte ersetzen Sie sie in der Datei; es wurde nichts geändert.");
    abgelehnt("\xEF\xBB\xBFKai \xC3;\n",
              "Die Datei kunden.csv enthält Zeichen, die Rebkontor nicht speichern kann: U+FFFD "
              "(Zeile 1). Bitte ersetzen Sie sie in der Datei; es wurde nichts geändert.");
}
