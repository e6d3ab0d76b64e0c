// Every read the start makes of a data file failing in turn (EIO): the start
// stops with the record list's open error, which names that file, and no
// file is written, created or even given a new modification time, although
// everything read before the failure is released as at an orderly exit. A
// read error is never taken for an empty file. The next sound start reads
// the data exactly as before.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Datenstand.h"
#include "Grunddaten.h"
#include "Stoerung.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// Every file of the folder with its bytes, inode and modification time.
std::map<std::string, std::string> Abbild(const std::string& verzeichnis) {
    std::map<std::string, std::string> abbild;
    for (const auto& eintrag : std::filesystem::directory_iterator(verzeichnis)) {
        struct stat st {};
        ::lstat(eintrag.path().c_str(), &st);
        abbild[eintrag.path().filename().string()] =
            std::to_string(st.st_ino) + "/" + std::to_string(st.st_mtim.tv_sec) + "." +
            std::to_string(st.st_mtim.tv_nsec) + "/" + ReadBytes(eintrag.path().string());
    }
    return abbild;
}

// The names of the files that differ between two pictures.
std::string Unterschiede(const std::map<std::string, std::string>& a,
                         const std::map<std::string, std::string>& b) {
    std::string text;
    for (const auto& [name, inhalt] : a) {
        auto it = b.find(name);
        if (it == b.end() || it->second != inhalt) {
            text += name + " ";
        }
    }
    for (const auto& [name, inhalt] : b) {
        if (a.count(name) == 0) {
            text += name + " ";
        }
    }
    return text;
}

// The sound data set, with seller data beside the records.
void Anlegen(const std::string& verzeichnis) {
    Grunddaten::Kopieren(verzeichnis);
    WriteBytes(verzeichnis + "/daten/firmendaten.txt", "Name=Weingut Probe\r\nOrt=Alzey\r\n");
}

std::unique_ptr<Datenbestand> Starten() {
    KundenVerwaltung::maxNummer = 0;
    std::srand(1);
    auto bestand = std::make_unique<Datenbestand>("daten");
    bestand->KundenEinlesen();
    bestand->MerkzettelOeffnen();
    return bestand;
}

TEST(Lesefehler, BeimStartHaltenDenStartAnUndSchreibenNichts) {
    FixedClock uhr(6, 12, 2026, 9, 5, 3);
    // The reads of a sound start, and what it reads.
    std::vector<std::string> gelesen;
    std::string erwartet;
    std::size_t anzahl = 0;
    {
        TempDir verzeichnis(true);
        Anlegen(verzeichnis.Path());
        Stoerung zaehlen([&](IoFaults::Op op, const std::string& pfad) {
            if (op == IoFaults::Op::Read) {
                gelesen.push_back(pfad);
            }
        });
        const std::unique_ptr<Datenbestand> bestand = Starten();
        // The reads of the shutdown are not the start's.
        erwartet = Datenstand(*bestand).Text();
        anzahl = gelesen.size();
    }
    gelesen.resize(anzahl);
    // Every data file with records or names is read once.
    for (const char* name : {"daten/weinliste.dat", "daten/weinlisten.txt", "daten/0.wl",
                             "daten/1.wl", "daten/rechnungsposten.dat", "daten/rechnungen.dat",
                             "daten/geogruppe.txt", "daten/preferences.dat", "daten/kunden.dat",
                             "daten/merkzettel.dat", "daten/firmendaten.txt"}) {
        EXPECT_NE(std::find(gelesen.begin(), gelesen.end(), name), gelesen.end()) << name;
    }

    for (std::size_t n = 1; n <= gelesen.size(); ++n) {
        SCOPED_TRACE("read #" + std::to_string(n) + " of " + gelesen[n - 1]);
        TempDir verzeichnis(true);
        Anlegen(verzeichnis.Path());
        const auto vorher = Abbild("daten");
        std::string text;
        {
            Stoerung stoerung(IoFaults::Op::Read, static_cast<int>(n), EIO);
            // What the start built before the failure is released in order,
            // as the window does when its start fails.
            std::unique_ptr<Datenbestand> bestand;
            try {
                KundenVerwaltung::maxNummer = 0;
                bestand = std::make_unique<Datenbestand>("daten");
                bestand->KundenEinlesen();
                bestand->MerkzettelOeffnen();
            } catch (const MessageException& e) {
                text = e.Text();
            }
            bestand.reset();
            EXPECT_TRUE(stoerung.Ausgeloest());
        }
        // The file, and why it could not be read.
        EXPECT_EQ(CodePage::Cp1252ToUtf8(text),
                  "File could not be opened in GenericList::GenericList()\n" + gelesen[n - 1] +
                      "\nGrund: Ein-/Ausgabefehler des Datenträgers.");
        EXPECT_EQ(Unterschiede(Abbild("daten"), vorher), "");
        EXPECT_EQ(Datenstand(*Starten()).Text(), erwartet);
    }
}

}  // namespace
