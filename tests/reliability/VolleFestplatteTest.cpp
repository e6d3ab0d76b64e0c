// The data folder on a real, small file system (tmpfs) that runs full. Each
// change is tried until the disk refuses it: the refused change leaves every
// file as it was, the log book never holds half a line, and every change that
// was confirmed is in its file and in the log book. Needs the right to mount
// (root, as in the CI container); elsewhere the test is skipped with a
// message.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "Grunddaten.h"
#include "Verzeichnisbild.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// A tmpfs of `groesse` bytes at `pfad`, the working directory while it lives.
class KleinePlatte {
  public:
    KleinePlatte(const std::string& pfad, const char* groesse) : pfad_(pfad) {
        std::filesystem::create_directory(pfad_);
        const std::string optionen = std::string("size=") + groesse;
        if (::mount("tmpfs", pfad_.c_str(), "tmpfs", 0, optionen.c_str()) != 0) {
            fehler_ = std::strerror(errno);
            return;
        }
        eingehaengt_ = true;
        vorher_ = std::filesystem::current_path();
        std::filesystem::current_path(pfad_);
    }
    ~KleinePlatte() {
        if (eingehaengt_) {
            std::filesystem::current_path(vorher_);
            ::umount2(pfad_.c_str(), MNT_DETACH);
        }
    }
    bool Eingehaengt() const { return eingehaengt_; }
    const std::string& Fehler() const { return fehler_; }

    // Fills the disk to the last byte a new file can take.
    static void Fuellen() {
        const int fd = ::open("fueller", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, "x", 1) > 0) {
        }
        ::close(fd);
    }

  private:
    std::string pfad_;
    std::filesystem::path vorher_;
    bool eingehaengt_ = false;
    std::string fehler_;
};

int Zeilen(const std::string& log) {
    int zeilen = 0;
    for (std::size_t p = log.find("\r\n"); p != std::string::npos; p = log.find("\r\n", p + 2)) {
        ++zeilen;
    }
    return zeilen;
}

bool GanzeZeilen(const std::string& log) {
    return log.empty() || (log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0);
}

TEST(VolleFestplatte, LogbuchZeileZuerstUndPostenVorDemBestand) {
    TempDir dir(true);
    KleinePlatte platte(dir / "platte", "512k");
    if (!platte.Eingehaengt()) {
        GTEST_SKIP() << "no tmpfs could be mounted here (" << platte.Fehler()
                     << "); the full-disk test needs the right to mount";
    }
    FixedClock uhr(6, 12, 2026, 9, 5, 3);
    Grunddaten::Kopieren(".");
    KundenVerwaltung::maxNummer = 0;
    std::srand(1);
    auto bestand = std::make_unique<Datenbestand>("daten");
    bestand->KundenEinlesen();
    bestand->MerkzettelOeffnen();
    Verwaltungen& v = bestand->GetVerwaltungen();
    const int zeilenVorher = Zeilen(ReadBytes("daten/logbuch.txt"));
    KleinePlatte::Fuellen();

    // Invoice changes until the log book cannot take another line.
    int gespeichert = 0;
    bool abgelehnt = false;
    for (int i = 1; i <= 2000 && !abgelehnt; ++i) {
        const Verzeichnisbild vorher("daten");
        Rechnung kopie(*v.rechnungsVerwaltung->GetRechnung(0));
        kopie.betragEingegangen = static_cast<float>(i);
        try {
            v.rechnungsVerwaltung->UpdateRechnung(kopie);
            ++gespeichert;
        } catch (const MessageException& e) {
            abgelehnt = true;
            EXPECT_EQ(e.Text(), LogBuch::SchreibFehler(Fehler(Fehler::Vorgang::Schreiben,
                                                              "daten/logbuch.txt", ENOSPC)));
            EXPECT_EQ(Verzeichnisbild::Unterschiede(Verzeichnisbild("daten"), vorher), "");
        }
        const std::string log = ReadBytes("daten/logbuch.txt");
        ASSERT_TRUE(GanzeZeilen(log)) << "after change " << i;
    }
    ASSERT_TRUE(abgelehnt) << "the disk never ran full";
    // Every stored change has its line.
    EXPECT_EQ(Zeilen(ReadBytes("daten/logbuch.txt")) - zeilenVorher, gespeichert);
    EXPECT_EQ(v.rechnungsVerwaltung->GetRechnung(0)->betragEingegangen,
              static_cast<float>(gespeichert));

    // New invoices of one bottle each until the disk refuses one: the stock
    // has given exactly the bottles of the items the item file took, and
    // both files hold whole records only.
    const std::int32_t bestandVorher = v.weinlistenVerwaltung->GetWein(12)->bestand;
    const std::int64_t postenVorher = FileSize("daten/rechnungsposten.dat");
    abgelehnt = false;
    for (int i = 0; i < 5000 && !abgelehnt; ++i) {
        try {
            Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(3);
            v.rechnungsVerwaltung->SetPosten(*r, 12, 10.5f, 5.37f, 1);
            v.rechnungsVerwaltung->StoreRechnung();
        } catch (const MessageException&) {
            abgelehnt = true;
        }
        ASSERT_EQ(FileSize("daten/rechnungsposten.dat") % PostenVerwaltung::Posten::DiskSize, 0);
        ASSERT_EQ(FileSize("daten/rechnungen.dat") % Rechnung::DiskSize, 0);
    }
    EXPECT_TRUE(abgelehnt) << "the disk never ran full";
    const std::int64_t neuePosten =
        (FileSize("daten/rechnungsposten.dat") - postenVorher) / PostenVerwaltung::Posten::DiskSize;
    EXPECT_GT(neuePosten, 0);
    EXPECT_EQ(v.weinlistenVerwaltung->GetWein(12)->bestand, bestandVorher - neuePosten);
    bestand.reset();
    std::filesystem::remove("fueller");
}

}  // namespace
