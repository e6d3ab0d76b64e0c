// Backups of a real data folder (the sample business), taken, checked and
// restored into other folders; archives damaged in every way a backup can be
// refused for; the rotation of old backups; the backup folders that cannot
// take one; and the completion of a restore a crash interrupted.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Zipbau.h"
#include "cli/Beispieldaten.h"
#include "cli/Datenpruefung.h"
#include "model/DatenDateien.h"
#include "model/Datenbestand.h"
#include "model/Datenersatz.h"
#include "sicherung/Datensicherung.h"
#include "sicherung/Pruefsumme.h"
#include "storage/CodePage.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// 6 December 2026, 9:05:03 local time; computed when asked, as the test
// program sets its time zone only when it starts.
std::int64_t Jetzt() {
    return Beispieldaten::Zeitpunkt(Datum(6, 12, 2026), 9 * 3600 + 5 * 60 + 3);
}

std::vector<std::string> Datencheck(const std::string& verzeichnis) {
    return Datenpruefung(verzeichnis).Pruefen();
}

// Every name below a folder with its bytes (folders with a trailing slash,
// links with their target), to see that nothing changed or was left behind.
std::map<std::string, std::string> Bild(const std::string& ordner) {
    std::map<std::string, std::string> bild;
    for (const auto& e : fs::recursive_directory_iterator(ordner)) {
        const std::string name = fs::relative(e.path(), ordner).string();
        if (e.is_symlink()) {
            bild[name + "@"] = fs::read_symlink(e.path()).string();
        } else if (e.is_directory()) {
            bild[name + "/"] = "";
        } else {
            bild[name] = ReadBytes(e.path().string());
        }
    }
    return bild;
}

// The program's own files of a data folder.
std::map<std::string, std::string> Programmdateien(const std::string& ordner) {
    std::map<std::string, std::string> bild;
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        if (FileExists(ordner + "/" + datei.name)) {
            bild[datei.name] = ReadBytes(ordner + "/" + datei.name);
        }
    }
    return bild;
}

std::string Meldung(const std::function<void()>& aufruf) {
    try {
        aufruf();
    } catch (const MessageException& e) {
        return CodePage::Cp1252ToUtf8(e.Text());
    }
    return "";
}

class SicherungTest : public ::testing::Test {
  protected:
    SicherungTest() {
        fs::create_directories(Daten());
        Beispieldaten::Umfang umfang;
        umfang.kunden = 40;
        umfang.weine = 12;
        umfang.preislisten = 3;
        umfang.rechnungen = 150;
        Beispieldaten::Erzeugen(Daten(), umfang, 7, Datum(6, 12, 2026));
    }

    std::string Daten() const { return dir_ / "daten"; }
    std::string Ordner() const { return dir_ / "sicherungen"; }

    // A backup of the sample business into the backup folder.
    std::string Sichern(std::int64_t jetzt = Jetzt()) {
        return Datensicherung(Daten()).InOrdner(Ordner(), jetzt, 20).datei;
    }

    TempDir dir_;
};

TEST(PruefsummeTest, IsTheSha256OfTheBytesFedInPieces) {
    EXPECT_EQ(Pruefsumme::Von("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Pruefsumme summe;
    summe.Dazu("a");
    summe.Dazu("bc");
    EXPECT_EQ(summe.Hex(), Pruefsumme::Von("abc"));
    EXPECT_EQ(Pruefsumme::Von(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST_F(SicherungTest, SampleBusinessRestoresByteForByteAndTheArchiveHoldsOnlyTheProgramsFiles) {
    // Beside the data: the lock, a temporary file, the copy of an incomplete
    // file, what an interrupted sample left, and a file of the user's own.
    Sicherungseinstellungen einstellungen;
    einstellungen.ordner = "/mnt/sicherungen";
    ASSERT_TRUE(einstellungen.Speichern(Daten() + "/sicherung.txt"));
    WriteBytes(Daten() + "/rebkontor.lock", "");
    WriteBytes(Daten() + "/weinliste.dat.tmp", "halb");
    WriteBytes(Daten() + "/kunden.dat.unvollstaendig", "alt");
    WriteBytes(Daten() + "/meine-notizen.txt", "Lese 2026");
    fs::create_directory(Daten() + "/.beispieldaten-abc123");
    const auto original = Programmdateien(Daten());

    const Datensicherung::Gesichert gesichert =
        Datensicherung(Daten()).InOrdner(Ordner(), Jetzt(), 20);
    EXPECT_EQ(gesichert.datei, Ordner() + "/rebkontor-sicherung-2026-12-06-090503.zip");
    EXPECT_THAT(Bild(Ordner()),
                ElementsAre(testing::Key("rebkontor-sicherung-2026-12-06-090503.zip")));
    const std::string zip = ReadBytes(gesichert.datei);
    const auto mitglieder = Zipinhalt(zip);
    std::map<std::string, std::string> erwartet;
    for (const auto& [name, bytes] : original) {
        erwartet["daten/" + name] = bytes;
    }
    erwartet["MANIFEST.txt"] =
        mitglieder.count("MANIFEST.txt") ? mitglieder.at("MANIFEST.txt") : "";
    EXPECT_EQ(mitglieder, erwartet);
    EXPECT_TRUE(original.count("sicherung.txt") && original.count("rechnungsposten.dat") &&
                original.count("2.wl"));

    // The manifest, line by line; the invoices counted here from their
    // records (kartons at byte 14 is 32767 for a deleted one).
    const std::string rechnungen = original.at("rechnungen.dat");
    int offen = 0;
    for (std::size_t i = 0; i < rechnungen.size(); i += 297) {
        offen += Int16At(rechnungen, i + 14) != 32767 ? 1 : 0;
    }
    std::string manifest =
        "Rebkontor-Datensicherung\r\nFormat=1\r\nProgrammversion=" REBKONTOR_VERSION
        "\r\n"
        "Zeitpunkt=2026-12-06T09:05:03+01:00\r\nKunden=40\r\nWeine=12\r\n"
        "Rechnungen=" +
        std::to_string(offen) + "\r\nDateien=" + std::to_string(original.size()) + "\r\n";
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        if (original.count(datei.name) != 0) {
            const std::string& bytes = original.at(datei.name);
            manifest += "Datei=" + std::to_string(bytes.size()) + " " + Pruefsumme::Von(bytes) +
                        " daten/" + datei.name + "\r\n";
        }
    }
    EXPECT_EQ(mitglieder.at("MANIFEST.txt"), manifest);
    EXPECT_EQ(gesichert.inhalt.Mengentext(),
              "40 Kunden, 12 Weine, " + std::to_string(offen) + " Rechnungen");
    // Any archive tool opens it.
    if (std::system("command -v unzip >/dev/null") == 0) {
        EXPECT_EQ(std::system(("unzip -tq '" + gesichert.datei + "' >/dev/null").c_str()), 0);
    }

    // Into another folder, over an older data set with a price list the
    // backup does not have, beside a file of the user's own.
    TempDir anderswo;
    const std::string ziel = anderswo / "daten";
    fs::create_directory(ziel);
    WriteBytes(ziel + "/kunden.dat", std::string(528, 'x'));
    WriteBytes(ziel + "/7.wl", std::string(12, 'p'));
    WriteBytes(ziel + "/eigenes.txt", "bleibt");
    const auto vorher = Bild(ziel);
    {
        Wiederherstellung w(ziel, gesichert.datei, Datencheck);
        EXPECT_EQ(w.Befunde(), std::vector<std::string>{});
        EXPECT_EQ(w.Inhalt().kunden, 40);
        EXPECT_EQ(w.Inhalt().Datumstext(), "vom 6.12.2026, 9:05:03 Uhr");
        // Checked and unpacked, but nothing of the data replaced yet.
        EXPECT_EQ(Programmdateien(ziel), Programmdateien(anderswo / "daten"));
        EXPECT_EQ(ReadBytes(ziel + "/kunden.dat"), std::string(528, 'x'));
        w.Zurueckspielen();
    }
    EXPECT_EQ(Programmdateien(ziel), original);
    EXPECT_FALSE(FileExists(ziel + "/7.wl"));
    EXPECT_EQ(ReadBytes(ziel + "/eigenes.txt"), "bleibt");
    auto nachher = Bild(ziel);
    for (const auto& [name, bytes] : original) {
        nachher.erase(name);
    }
    EXPECT_THAT(nachher, ElementsAre(testing::Key("eigenes.txt")));
    (void)vorher;

    // A restore that is checked and then dropped leaves nothing behind.
    const auto jetzt = Bild(ziel);
    { Wiederherstellung verworfen(ziel, gesichert.datei, Datencheck); }
    EXPECT_EQ(Bild(ziel), jetzt);
}

TEST_F(SicherungTest, DamagedArchivesAreRefusedWithTheirReasonBeforeAnythingIsWritten) {
    const std::string gut = ReadBytes(Sichern());
    const auto mitglieder = Zipinhalt(gut);
    const std::string manifest = mitglieder.at("MANIFEST.txt");
    std::vector<Zipeintrag> richtig;
    for (const auto& [name, bytes] : mitglieder) {
        if (name != "MANIFEST.txt") {
            richtig.push_back({name, bytes, ""});
        }
    }
    auto mit = [&](std::vector<Zipeintrag> dazu, const std::string& neuesManifest) {
        std::vector<Zipeintrag> alle = richtig;
        alle.insert(alle.end(), dazu.begin(), dazu.end());
        alle.push_back({"MANIFEST.txt", neuesManifest, ""});
        return Zipbau(alle);
    };
    auto ersetzt = [](std::string text, const std::string& alt, const std::string& neu) {
        const std::size_t p = text.find(alt);
        return p == std::string::npos ? text : text.replace(p, alt.size(), neu);
    };
    const std::string kunden = mitglieder.at("daten/kunden.dat");
    std::string gekippt = gut;
    gekippt[gut.size() / 3] ^= 0x55;
    const std::string kundenZeile = "Datei=" + std::to_string(kunden.size()) + " " +
                                    Pruefsumme::Von(kunden) + " daten/kunden.dat";
    std::vector<Zipeintrag> ohneKunden;
    for (const Zipeintrag& e : richtig) {
        if (e.name != "daten/kunden.dat") {
            ohneKunden.push_back(e);
        }
    }
    ohneKunden.push_back({"MANIFEST.txt", manifest, ""});
    std::vector<Zipeintrag> kurzeKunden = ohneKunden;
    kurzeKunden.back().bytes =
        ersetzt(manifest, kundenZeile,
                "Datei=1000 " + Pruefsumme::Von(std::string(1000, 'k')) + " daten/kunden.dat");
    kurzeKunden.insert(kurzeKunden.begin(), {"daten/kunden.dat", std::string(1000, 'k'), ""});
    std::vector<Zipeintrag> ohneManifest = richtig;

    const std::vector<std::pair<std::string, std::string>> faelle = {
        {"Das ist keine Datensicherung.", "ist keine ZIP-Datei oder beschädigt"},
        {gut.substr(0, gut.size() * 3 / 5), "ist keine ZIP-Datei oder beschädigt"},
        {gekippt, "beschädigt"},
        {mit({{"../kunden.dat", "x", ""}}, manifest), "»../kunden.dat« im Archiv hat »..« oder »."},
        {mit({{"daten/../../etc/passwd", "x", ""}}, manifest), "hat »..« oder »."},
        {mit({{"/etc/cron.d/rebkontor", "x", ""}}, manifest), "hat einen absoluten Pfad"},
        {mit({{"daten/7.wl", "", "/etc/passwd"}}, manifest),
         "»daten/7.wl« im Archiv ist eine Verknüpfung"},
        {mit({{"daten/kunden.dat", kunden, ""}}, manifest),
         "»daten/kunden.dat« im Archiv kommt mehrmals vor"},
        {mit({{"daten/7.wl", std::string(24, 'p'), ""}}, manifest),
         "»daten/7.wl« im Archiv steht nicht im Verzeichnis MANIFEST.txt"},
        {mit({{"daten/boese.sh", "rm -rf ~", ""}}, manifest),
         "»daten/boese.sh« im Archiv gehört nicht zu einer Datensicherung von Rebkontor"},
        {mit({}, ersetzt(manifest, kundenZeile,
                         "Datei=3221225472 " + Pruefsumme::Von(kunden) + " daten/kunden.dat")),
         "würde ausgepackt 3,0 GB groß"},
        {mit({}, ersetzt(manifest, Pruefsumme::Von(kunden), std::string(64, '0'))),
         "ihre Prüfsumme (SHA-256) stimmt nicht"},
        {mit({}, ersetzt(manifest, "Format=1", "Format=2")),
         "Format 2 einer neueren Rebkontor-Version"},
        {mit({}, manifest + "Datei=12 " + std::string(64, 'a') + " daten/9.wl\r\n"), "es nennt"},
        {Zipbau(ohneKunden),
         "»daten/kunden.dat« steht im Verzeichnis MANIFEST.txt, fehlt aber im Archiv"},
        {Zipbau(kurzeKunden),
         "»daten/kunden.dat« ist mit 1000 Bytes keine ganze Zahl von Sätzen zu 528 Bytes"},
        {Zipbau(ohneManifest), "enthält kein Verzeichnis MANIFEST.txt"},
    };
    const auto vorher = Bild(Daten());
    int fall = 0;
    for (const auto& [bytes, grund] : faelle) {
        const std::string archiv = dir_ / ("fall" + std::to_string(++fall) + ".zip");
        WriteBytes(archiv, bytes);
        const std::string text = Meldung([&] { Wiederherstellung(Daten(), archiv, Datencheck); });
        EXPECT_THAT(text, HasSubstr("»" + archiv + "« ist beschädigt oder keine Datensicherung"))
            << "case " << fall;
        EXPECT_THAT(text, HasSubstr(grund)) << "case " << fall;
        EXPECT_THAT(text, HasSubstr("Es wurde nichts verändert.")) << "case " << fall;
        EXPECT_EQ(Bild(Daten()), vorher) << "case " << fall;
        EXPECT_FALSE(Sicherungsarchiv::Pruefen(archiv).Gut()) << "case " << fall;
    }
    // The whole archive, unharmed, passes.
    WriteBytes(dir_ / "gut.zip", mit({}, manifest));
    EXPECT_TRUE(Sicherungsarchiv::Pruefen(dir_ / "gut.zip").Gut());
}

TEST_F(SicherungTest, RotationKeepsTheNewestOfThePatternAndTouchesNothingElse) {
    fs::create_directory(Ordner());
    // 24 older backups, a day apart, and what only looks like one.
    for (int tag = 1; tag <= 24; ++tag) {
        WriteBytes(Ordner() + "/" + Datensicherung::Dateiname(Jetzt() - tag * 86400), "alt");
    }
    const std::vector<std::string> fremde = {
        "rebkontor-sicherung-2026-01-01-000000.zip.bak", "rebkontor-sicherung-2026-1-1-000000.zip",
        "rebkontor-sicherung-2026-01-01-000000.ZIP", "Rebkontor-Sicherung-2026-01-01-000000.zip",
        "notizen.txt"};
    for (const std::string& name : fremde) {
        WriteBytes(Ordner() + "/" + name, "fremd");
    }
    fs::create_directory(Ordner() + "/rebkontor-sicherung-2025-01-01-000000.zip");
    fs::create_symlink(dir_ / "daten/kunden.dat",
                       Ordner() + "/rebkontor-sicherung-2025-01-02-000000.zip");
    const auto fremdVorher = [&] {
        auto bild = Bild(Ordner());
        // Backups (old and new) are regular files under their bare name;
        // the folder and the link of that pattern show as "name/" and "name@".
        std::erase_if(bild,
                      [](const auto& e) { return Datensicherung::IstSicherungsname(e.first); });
        return bild;
    };
    const auto unberuehrt = fremdVorher();

    const Datensicherung sicherung(Daten());
    const Datensicherung::Gesichert g = sicherung.InOrdner(Ordner(), Jetzt(), 20);
    EXPECT_EQ(g.entfernt.size(), 5u);
    std::vector<std::string> bleiben = Datensicherung::Sicherungen(Ordner());
    ASSERT_EQ(bleiben.size(), 20u);
    EXPECT_EQ(bleiben.back(), "rebkontor-sicherung-2026-12-06-090503.zip");
    EXPECT_EQ(bleiben.front(), Datensicherung::Dateiname(Jetzt() - 19 * 86400));
    EXPECT_EQ(fremdVorher(), unberuehrt);

    // A clock set back: the new backup sorts oldest and still stays.
    const Datensicherung::Gesichert zurueck =
        sicherung.InOrdner(Ordner(), Jetzt() - 400 * 86400, 3);
    bleiben = Datensicherung::Sicherungen(Ordner());
    EXPECT_THAT(bleiben, ElementsAre(Datensicherung::Dateiname(Jetzt() - 400 * 86400),
                                     Datensicherung::Dateiname(Jetzt() - 86400),
                                     "rebkontor-sicherung-2026-12-06-090503.zip"));
    EXPECT_EQ(fremdVorher(), unberuehrt);

    // Two in one second: the second takes the next free second, and no
    // backup is ever written over.
    const std::string erste = ReadBytes(g.datei);
    const Datensicherung::Gesichert gleich = sicherung.InOrdner(Ordner(), Jetzt(), 0);
    EXPECT_EQ(gleich.datei, Ordner() + "/rebkontor-sicherung-2026-12-06-090504.zip");
    EXPECT_EQ(ReadBytes(g.datei), erste);
    (void)zurueck;
}

TEST_F(SicherungTest, AFolderThatCannotTakeABackupIsNamedWithItsReasonAndNothingIsLeft) {
    const Datensicherung sicherung(Daten());
    const auto daten = Bild(Daten());
    WriteBytes(dir_ / "eine-datei", "x");
    fs::create_directory(dir_ / "woanders");
    fs::create_symlink(dir_ / "woanders", dir_ / "verknuepfung");
    fs::create_symlink(dir_ / "gibt-es-nicht", dir_ / "ins-leere");

    EXPECT_EQ(Meldung([&] { sicherung.InOrdner(dir_ / "eine-datei", Jetzt(), 20); }),
              "Die Datensicherung in den Ordner »" + (dir_ / "eine-datei") +
                  "« ist nicht gelungen. Der Sicherungsordner »" + (dir_ / "eine-datei") +
                  "« ist kein Ordner, sondern eine Datei. Es wurde keine Sicherung angelegt; die "
                  "Daten sind unverändert.");
    EXPECT_THAT(Meldung([&] { sicherung.InOrdner(dir_ / "verknuepfung", Jetzt(), 20); }),
                HasSubstr("« ist eine symbolische Verknüpfung auf »" + (dir_ / "woanders") + "«."));
    EXPECT_THAT(Meldung([&] { sicherung.InOrdner(dir_ / "ins-leere", Jetzt(), 20); }),
                HasSubstr("ist eine symbolische Verknüpfung auf etwas, das es nicht gibt."));
    // A stick that was pulled: its mount point is gone.
    EXPECT_THAT(
        Meldung([&] { sicherung.InOrdner(dir_ / "stick/Sicherungen", Jetzt(), 20); }),
        HasSubstr("Den Sicherungsordner »" + (dir_ / "stick/Sicherungen") +
                  "« gibt es nicht, und er kann nicht angelegt werden, weil es den Ordner »" +
                  (dir_ / "stick") + "« nicht gibt. Ist der USB-Stick"));
    EXPECT_THAT(Meldung([&] { sicherung.InOrdner(Daten() + "/sicherungen", Jetzt(), 20); }),
                HasSubstr("liegt im Datenverzeichnis"));
    EXPECT_THAT(Meldung([&] { sicherung.AlsDatei(Daten() + "/kopie.zip", Jetzt()); }),
                HasSubstr("Sie läge im Datenverzeichnis"));
    // A folder nobody may write to (as root, the kernel lets everything
    // through; the fault seam says what it would have said).
    fs::create_directory(dir_ / "gesperrt");
    ::chmod((dir_ / "gesperrt").c_str(), 0555);
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Open && pfad.rfind(dir_ / "gesperrt", 0) == 0 ? EACCES : 0;
    });
    const std::string gesperrt =
        Meldung([&] { sicherung.InOrdner(dir_ / "gesperrt", Jetzt(), 20); });
    IoFaults::ClearHook();
    EXPECT_THAT(gesperrt, HasSubstr("Die Datensicherung in den Ordner »" + (dir_ / "gesperrt") +
                                    "« ist nicht gelungen. Im Ordner »" + (dir_ / "gesperrt") +
                                    "« kann keine Datei angelegt werden (keine Berechtigung)."));
    ::chmod((dir_ / "gesperrt").c_str(), 0755);
    EXPECT_TRUE(fs::is_empty(dir_ / "gesperrt"));
    EXPECT_TRUE(fs::is_empty(dir_ / "woanders"));
    EXPECT_EQ(Bild(Daten()), daten);

    // A data file that cannot be read stops the backup with its name.
    fs::create_directory(Ordner());
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Read && pfad == Daten() + "/rechnungen.dat" ? EIO : 0;
    });
    const std::string lesefehler = Meldung([&] { sicherung.InOrdner(Ordner(), Jetzt(), 20); });
    IoFaults::ClearHook();
    EXPECT_THAT(lesefehler, HasSubstr("Die Datei »" + Daten() +
                                      "/rechnungen.dat« kann nicht gelesen werden "
                                      "(Ein-/Ausgabefehler des Datenträgers)."));
    EXPECT_TRUE(fs::is_empty(Ordner()));
}

// A stick that runs full: a small tmpfs as the backup folder, filled up to
// a few pages. The backup fails with the folder and the reason and leaves
// nothing there, not even its temporary file; once space is freed, the next
// one in the same place works.
TEST_F(SicherungTest, AFullBackupTargetLeavesNothingAndTheNextBackupWorksOnceSpaceIsFreed) {
    fs::create_directory(Ordner());
    if (::mount("tmpfs", Ordner().c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "no tmpfs could be mounted here (" << std::strerror(errno)
                     << "); the full-target test needs the right to mount";
    }
    struct Aushaengen {
        std::string pfad;
        ~Aushaengen() { ::umount2(pfad.c_str(), MNT_DETACH); }
    } aushaengen{Ordner()};
    const std::string fueller = Ordner() + "/fueller";
    {
        const int fd = ::open(fueller.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }
    // Room for a few pages, less than the archive needs.
    ASSERT_EQ(::truncate(fueller.c_str(), static_cast<off_t>(fs::file_size(fueller)) - 8192), 0);
    const auto daten = Bild(Daten());
    const auto fremd = Bild(Ordner());

    const Datensicherung sicherung(Daten());
    const std::string voll = Meldung([&] { sicherung.InOrdner(Ordner(), Jetzt(), 20); });
    EXPECT_THAT(
        voll, HasSubstr("Die Datensicherung in den Ordner »" + Ordner() + "« ist nicht gelungen."));
    EXPECT_THAT(voll, HasSubstr("kein Platz mehr auf dem Datenträger"));
    EXPECT_THAT(voll, HasSubstr("Es wurde keine Sicherung angelegt; die Daten sind unverändert."));
    EXPECT_EQ(Bild(Ordner()), fremd);
    EXPECT_EQ(Bild(Daten()), daten);

    fs::remove(fueller);
    const Datensicherung::Gesichert g = sicherung.InOrdner(Ordner(), Jetzt(), 20);
    EXPECT_TRUE(Sicherungsarchiv::Pruefen(g.datei).Gut());
    EXPECT_EQ(Datensicherung::Sicherungen(Ordner()),
              std::vector<std::string>{Datensicherung::Dateiname(Jetzt())});
    EXPECT_EQ(Bild(Ordner()).size(), 1u);
}

TEST_F(SicherungTest, TheAutomaticBackupComesAtMostOnceAnHourAndOnlyWhenSwitchedOn) {
    const Datensicherung sicherung(Daten());
    Sicherungseinstellungen einstellungen;
    einstellungen.ordner = Ordner();
    einstellungen.behalten = 2;
    ASSERT_TRUE(sicherung.Automatisch(einstellungen, Jetzt()));
    EXPECT_FALSE(sicherung.Automatisch(einstellungen, Jetzt() + 3599));
    ASSERT_TRUE(sicherung.Automatisch(einstellungen, Jetzt() + 3600));
    ASSERT_TRUE(sicherung.Automatisch(einstellungen, Jetzt() + 7300));
    EXPECT_EQ(Datensicherung::Sicherungen(Ordner()).size(), 2u);
    einstellungen.automatisch = false;
    EXPECT_FALSE(sicherung.Automatisch(einstellungen, Jetzt() + 90000));
    EXPECT_EQ(Datensicherung::Sicherungen(Ordner()).size(), 2u);

    // The settings file: what the dialog stores, read back; a value that
    // cannot be right gives way to its default; "~" is the home folder.
    einstellungen.ordner = "~/Sicherungen/Weingut";
    einstellungen.behalten = 7;
    ASSERT_TRUE(einstellungen.Speichern(sicherung.EinstellungsDatei()));
    EXPECT_EQ(ReadBytes(sicherung.EinstellungsDatei()),
              "Ordner=~/Sicherungen/Weingut\r\nAutomatisch=nein\r\nBehalten=7\r\n");
    const char* home = std::getenv("HOME");
    const std::string alt = home != nullptr ? home : "";
    ::setenv("HOME", "/home/anna", 1);
    Sicherungseinstellungen gelesen;
    ASSERT_TRUE(gelesen.Laden(sicherung.EinstellungsDatei()));
    EXPECT_EQ(gelesen.Pfad(), "/home/anna/Sicherungen/Weingut");
    EXPECT_FALSE(gelesen.automatisch);
    EXPECT_EQ(gelesen.behalten, 7);
    EXPECT_EQ(Sicherungseinstellungen::Kurzform("/home/anna/USB"), "~/USB");
    EXPECT_EQ(Sicherungseinstellungen::Kurzform("/home/annabell"), "/home/annabell");
    EXPECT_EQ(Sicherungseinstellungen().Pfad(), "/home/anna/Rebkontor-Sicherungen");
    ::setenv("HOME", alt.c_str(), 1);
    const Sicherungseinstellungen falsch =
        Sicherungseinstellungen::AusText("Ordner=\r\nAutomatisch=vielleicht\r\nBehalten=0\r\n");
    EXPECT_EQ(falsch.ordner, "~/Rebkontor-Sicherungen");
    EXPECT_TRUE(falsch.automatisch);
    EXPECT_EQ(falsch.behalten, 20);
}

TEST_F(SicherungTest,
       ARestoreACrashInterruptedIsCompletedByTheNextStartAndAnUncommittedOneRemoved) {
    const std::string archiv = Sichern();
    const auto gesichert = Programmdateien(Daten());
    // The data change after the backup: another price list, other customers.
    WriteBytes(Daten() + "/9.wl", std::string(24, 'n'));
    WriteBytes(Daten() + "/kunden.dat", std::string(528 * 2, 'c'));
    const auto geaendert = Programmdateien(Daten());

    // Unpacked but not committed: the next start removes it, the data stay.
    {
        Wiederherstellung w(Daten(), archiv, Datencheck);
        fs::copy(Daten(), dir_ / "abbild", fs::copy_options::recursive);
    }
    const std::string abbild = dir_ / "abbild";
    bool frisch = false;
    for (const auto& e : fs::directory_iterator(abbild)) {
        frisch = frisch || e.path().filename().string().rfind(Datenersatz::kNeuerOrdner, 0) == 0;
    }
    ASSERT_TRUE(frisch);
    EXPECT_FALSE(Datenersatz::Abschliessen(abbild));
    EXPECT_EQ(Programmdateien(abbild), geaendert);
    EXPECT_THAT(Bild(abbild),
                testing::Not(testing::Contains(testing::Key(testing::StartsWith(".")))));

    // Committed, and two files moved in when the program died: read-only,
    // the folder is refused; the next start completes it and says so.
    fs::create_directory(Daten() + "/.wiederherstellung");
    for (const auto& [name, bytes] : gesichert) {
        WriteBytes(Daten() + "/.wiederherstellung/" + name, bytes);
    }
    std::string inhalt;
    for (const auto& [name, bytes] : gesichert) {
        inhalt += name + "\n";
    }
    WriteBytes(Daten() + "/.wiederherstellung/INHALT", inhalt);
    fs::rename(Daten() + "/.wiederherstellung/kunden.dat", Daten() + "/kunden.dat");
    fs::rename(Daten() + "/.wiederherstellung/weinliste.dat", Daten() + "/weinliste.dat");
    EXPECT_TRUE(Datenersatz::Ausstehend(Daten()));
    EXPECT_THAT(Datencheck(Daten()), testing::Contains(HasSubstr(CodePage::Utf8ToCp1252(
                                         "das Zurückspielen einer Datensicherung"))));
    EXPECT_THAT(Meldung([&] { Datenbestand(Daten(), {}, Zugriff::NurLesen); }),
                HasSubstr("wurde das Zurückspielen einer Datensicherung unterbrochen"));
    {
        Datenbestand bestand(Daten());
        EXPECT_THAT(
            bestand.Startmeldungen(),
            testing::Contains(CodePage::Utf8ToCp1252(
                "Das Zurückspielen einer Datensicherung war unterbrochen worden; es wurde "
                "jetzt abgeschlossen. Das Datenverzeichnis hält die zurückgespielten Daten.")));
    }
    EXPECT_FALSE(Datenersatz::Ausstehend(Daten()));
    auto jetzt = Programmdateien(Daten());
    for (const auto& [name, bytes] : gesichert) {
        EXPECT_EQ(jetzt[name], bytes) << name;
    }
    EXPECT_FALSE(FileExists(Daten() + "/9.wl"));
    EXPECT_EQ(Datencheck(Daten()), std::vector<std::string>{});
}

}  // namespace
