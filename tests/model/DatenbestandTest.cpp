#include "model/Datenbestand.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "storage/IoFaults.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

using Schritte = std::vector<std::string>;

// Records every write-open and every replacement of a file, in order.
class DateiProtokoll {
  public:
    DateiProtokoll() {
        IoFaults::SetHook([this](IoFaults::Op op, const std::string& pfad) {
            if (op == IoFaults::Op::Open && pfad.find(".tmp") == std::string::npos) {
                geoeffnet.push_back(pfad);
            }
            if (op == IoFaults::Op::Rename) {
                ersetzt.push_back(pfad);
            }
            return 0;
        });
    }
    ~DateiProtokoll() { IoFaults::ClearHook(); }

    // The first appearance of each of `namen`, in the order they came.
    static Schritte Reihenfolge(const Schritte& ereignisse, const Schritte& namen) {
        Schritte erste;
        for (const std::string& e : ereignisse) {
            if (std::find(namen.begin(), namen.end(), e) != namen.end() &&
                std::find(erste.begin(), erste.end(), e) == erste.end()) {
                erste.push_back(e);
            }
        }
        return erste;
    }

    Schritte geoeffnet;
    Schritte ersetzt;
};

TEST(DatenbestandTest, CreatesLinksAndReleasesInTheFixedOrder) {
    TempDir dir(true);
    Schritte schritte;
    {
        Datenbestand bestand("daten", [&](const char* name, bool erzeugt) {
            schritte.push_back((erzeugt ? "+" : "-") + std::string(name));
        });
        Verwaltungen& v = bestand.GetVerwaltungen();
        EXPECT_EQ(v.kundenVerwaltung, nullptr);
        EXPECT_NE(v.weinlistenVerwaltung, nullptr);
        EXPECT_NE(v.preisVerwaltung, nullptr);
        EXPECT_NE(v.postenVerwaltung, nullptr);
        EXPECT_NE(v.geoGruppe, nullptr);
        EXPECT_NE(v.logBuch, nullptr);
        EXPECT_NE(v.customizer, nullptr);
        ASSERT_NE(v.rechnungsVerwaltung, nullptr);
        EXPECT_EQ(v.rechnungsVerwaltung->GetVerwaltungen(), &v);
        EXPECT_EQ(bestand.GetMerkzettelVerwaltung(), nullptr);

        KundenVerwaltung& kunden = bestand.KundenEinlesen();
        EXPECT_EQ(v.kundenVerwaltung, &kunden);
        EXPECT_EQ(&bestand.KundenEinlesen(), &kunden);
        bestand.MerkzettelOeffnen();
        EXPECT_NE(bestand.GetMerkzettelVerwaltung(), nullptr);

        // The links: items move stock and log, customers log.
        v.weinlistenVerwaltung->AddWein(7);
        Kunde k;
        FixedText::Set(k.Nachname, "Huber");
        kunden.AddKunde(k);
        Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(k.nummer);
        v.rechnungsVerwaltung->SetPosten(*r, 7, 1.0f, 0.5f, 4);
        v.rechnungsVerwaltung->SetPosten(*r, 7, 1.0f, 0.5f, 3);
        v.rechnungsVerwaltung->StoreRechnung();
        EXPECT_EQ(v.weinlistenVerwaltung->GetWein(7)->bestand, -3);
        kunden.DeleteKunde(k.nummer);
        const std::string log = ReadBytes("daten/logbuch.txt");
        EXPECT_NE(log.find(">> POSTEN VER"), std::string::npos);
        EXPECT_NE(log.find(">> KUNDE GEL"), std::string::npos);
        EXPECT_EQ(schritte.size(), 9u);
    }
    EXPECT_EQ(schritte,
              (Schritte{"+WeinlistenVerwaltung", "+PreisVerwaltung", "+PostenVerwaltung",
                        "+RechnungsVerwaltung", "+GeoGruppe", "+LogBuch", "+Customizer",
                        "+KundenVerwaltung", "+MerkzettelVerwaltung", "-MerkzettelVerwaltung",
                        "-KundenVerwaltung", "-Customizer", "-LogBuch", "-GeoGruppe",
                        "-RechnungsVerwaltung", "-PostenVerwaltung", "-PreisVerwaltung",
                        "-WeinlistenVerwaltung"}));
}

TEST(DatenbestandTest, FilesAreOpenedAndSavedInTheStartUpAndShutdownOrder) {
    TempDir dir(true);
    WriteBytes("daten/weinlisten.txt", "Privat\r\n");
    DateiProtokoll protokoll;
    {
        Datenbestand bestand;
        KundenVerwaltung& kunden = bestand.KundenEinlesen();
        MerkzettelVerwaltung& notizen = bestand.MerkzettelOeffnen();
        FixedText::Set(notizen.NewNote().text, "Flaschen bestellen");
        // Changes in place, which only the shutdown writes (a file whose
        // contents did not change is left alone).
        Kunde k;
        kunden.AddKunde(k);
        kunden[0].PLZ = 55116;
        Verwaltungen& v = bestand.GetVerwaltungen();
        v.weinlistenVerwaltung->AddWein(7);
        v.weinlistenVerwaltung->GetWein(7)->gewicht = 1300;
        v.preisVerwaltung->SetPreisliste(0);
        v.preisVerwaltung->AddPreis(Preis(7, 1.0f, 0.5f));
        v.preisVerwaltung->GetPreis(7)->preisDM = 9.0f;
    }
    EXPECT_EQ(
        DateiProtokoll::Reihenfolge(
            protokoll.geoeffnet, {"daten/weinliste.dat", "daten/0.wl", "daten/geogruppe.txt",
                                  "daten/logbuch.txt", "daten/kunden.dat", "daten/merkzettel.dat"}),
        (Schritte{"daten/weinliste.dat", "daten/0.wl", "daten/geogruppe.txt", "daten/logbuch.txt",
                  "daten/kunden.dat", "daten/merkzettel.dat"}));
    EXPECT_EQ(
        DateiProtokoll::Reihenfolge(
            protokoll.ersetzt, {"daten/merkzettel.dat", "daten/kunden.dat", "daten/preferences.dat",
                                "daten/0.wl", "daten/weinliste.dat"}),
        (Schritte{"daten/merkzettel.dat", "daten/kunden.dat", "daten/preferences.dat", "daten/0.wl",
                  "daten/weinliste.dat"}));
}

TEST(DatenbestandTest, FirstStartCreatesTheFilesAndAnOrderlyExitSavesEverything) {
    TempDir dir(true);
    {
        Datenbestand bestand;
        EXPECT_TRUE(FileExists("daten/weinliste.dat"));
        EXPECT_FALSE(FileExists("daten/kunden.dat"));
        bestand.KundenEinlesen();
        EXPECT_TRUE(FileExists("daten/kunden.dat"));
        bestand.MerkzettelOeffnen();
        EXPECT_TRUE(FileExists("daten/merkzettel.dat"));
        EXPECT_FALSE(FileExists("daten/preferences.dat"));
        EXPECT_EQ(bestand.GetMerkzettelVerwaltung()->Count(), 0u);

        // Changes made in place only, left to the shutdown.
        Verwaltungen& v = bestand.GetVerwaltungen();
        v.weinlistenVerwaltung->AddWein(3);
        v.weinlistenVerwaltung->GetWein(3)->verborgen = 1;
        v.customizer->vordatierungTage = 90;
        bestand.GetMerkzettelVerwaltung()->NewNote().text[0] = '\0';
    }
    EXPECT_EQ(ReadBytes("daten/weinliste.dat").at(140), 1);
    ASSERT_EQ(FileSize("daten/preferences.dat"), 336);
    EXPECT_EQ(Int32At(ReadBytes("daten/preferences.dat"), 30), 90);
    EXPECT_EQ(FileSize("daten/merkzettel.dat"), 0);
}

// Every file below the directory: bytes, modification time and inode.
std::map<std::string, std::string> Bild(const std::string& verzeichnis) {
    std::map<std::string, std::string> bild;
    for (const auto& eintrag : std::filesystem::directory_iterator(verzeichnis)) {
        struct stat st {};
        ::lstat(eintrag.path().c_str(), &st);
        bild[eintrag.path().filename().string()] =
            ReadBytes(eintrag.path().string()) + "@" + std::to_string(st.st_mtim.tv_sec) + "." +
            std::to_string(st.st_mtim.tv_nsec) + "#" + std::to_string(st.st_ino);
    }
    return bild;
}

TEST(DatenbestandTest, ReadOnlyReadsEverythingAndNeverWritesCreatesRepairsOrRemovesAFile) {
    TempDir dir(true);
    std::int32_t rechnung = 0;
    {
        Datenbestand bestand;
        Verwaltungen& v = bestand.GetVerwaltungen();
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen().NewNote();
        v.weinlistenVerwaltung->AddWein(3);
        v.preisVerwaltung->AddPreisliste("Privat");
        v.geoGruppe->AddGeoGruppe("Mosel");
        Kunde kunde;
        FixedText::Set(kunde.Nachname, "Meier");
        v.kundenVerwaltung->AddKunde(kunde);
        Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(kunde.nummer);
        v.rechnungsVerwaltung->SetPosten(*r, 3, 7.0f, 3.58f, 2);
        rechnung = r->id;
        v.rechnungsVerwaltung->StoreRechnung();
    }
    // What a crash and an older copy of the invoices leave: a temporary
    // file, and a chain head behind the invoice file.
    WriteBytes("daten/weinliste.dat.tmp", "halb");
    std::string kunden = ReadBytes("daten/kunden.dat");
    kunden[524] = 9;
    WriteBytes("daten/kunden.dat", kunden);
    const auto vorher = Bild("daten");

    std::vector<std::string> schreibend;
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& pfad) {
        // Each of these only ever happens on the way to a write.
        if (op == IoFaults::Op::Open || op == IoFaults::Op::Write || op == IoFaults::Op::Sync ||
            op == IoFaults::Op::Rename || op == IoFaults::Op::Truncate) {
            schreibend.push_back(pfad);
        }
        return 0;
    });
    {
        Datenbestand bestand("daten", {}, Zugriff::NurLesen);
        Verwaltungen& v = bestand.GetVerwaltungen();
        KundenVerwaltung& kv = bestand.KundenEinlesen();
        MerkzettelVerwaltung& notizen = bestand.MerkzettelOeffnen();
        ASSERT_EQ(kv.Count(), 1u);
        // Mended where it is read, not on disk.
        EXPECT_EQ(kv[0].letzteRechnung, rechnung);
        EXPECT_EQ(notizen.Count(), 1u);
        EXPECT_EQ(v.weinlistenVerwaltung->Count(), 1u);
        EXPECT_EQ(v.preisVerwaltung->count, 1);
        EXPECT_EQ(v.geoGruppe->Count(), 1u);
        EXPECT_EQ(v.rechnungsVerwaltung->Gespeichert(), 1);
        EXPECT_EQ(v.postenVerwaltung->Anzahl(), 1u);

        // Any attempt to change the data is the program's fault, and says so.
        Kunde neu;
        EXPECT_THROW(kv.AddKunde(neu), Schreibverbot);
        EXPECT_THROW(kv.UpdateKunde(kv[0]), Schreibverbot);
        EXPECT_THROW(kv.Flush(), Schreibverbot);
        EXPECT_THROW(v.weinlistenVerwaltung->AddWein(4), Schreibverbot);
        EXPECT_THROW(v.weinlistenVerwaltung->ChangeBestand(3, 1), Schreibverbot);
        EXPECT_THROW(v.weinlistenVerwaltung->Sort(), Schreibverbot);
        EXPECT_THROW(v.preisVerwaltung->AddPreisliste("Handel"), Schreibverbot);
        v.preisVerwaltung->SetPreisliste(0);
        EXPECT_THROW(v.preisVerwaltung->AddPreis(Preis(3, 1.0f, 0.5f)), Schreibverbot);
        EXPECT_THROW(v.geoGruppe->AddGeoGruppe("Nahe"), Schreibverbot);
        EXPECT_THROW(v.rechnungsVerwaltung->AllocRechnung(kv[0].nummer), Schreibverbot);
        ASSERT_NE(v.rechnungsVerwaltung->GetRechnung(rechnung), nullptr);
        EXPECT_THROW(v.rechnungsVerwaltung->UpdateCurrentRechnung(), Schreibverbot);
        EXPECT_THROW(v.logBuch->Stamp(), Schreibverbot);
        EXPECT_THROW(v.customizer->Store(), Schreibverbot);
        EXPECT_THROW(notizen.NewNote(), Schreibverbot);
        // Changes in memory are no writes; nothing stores them at the end.
        v.customizer->vordatierungTage = 5;
        notizen[0].text[0] = '\0';
    }
    IoFaults::ClearHook();
    EXPECT_EQ(schreibend, std::vector<std::string>{});
    EXPECT_EQ(Bild("daten"), vorher);

    // An empty directory stays empty.
    TempDir leer;
    std::filesystem::create_directory(leer / "daten");
    {
        Datenbestand bestand(leer / "daten", {}, Zugriff::NurLesen);
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen();
    }
    EXPECT_TRUE(std::filesystem::is_empty(leer / "daten"));
}

TEST(DatenbestandTest, MissingDataDirectoryRaisesTheRecordListError) {
    TempDir dir;
    try {
        Datenbestand bestand(dir / "daten");
        FAIL() << "no exception";
    } catch (const MessageException& e) {
        EXPECT_EQ(e.Text(), "File could not be opened in GenericList::GenericList()\n" +
                                (dir / "daten/weinliste.dat") +
                                "\nGrund: den Ordner gibt es nicht.");
    }
}

}  // namespace
