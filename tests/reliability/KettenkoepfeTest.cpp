// A customer's chain of invoices must survive a failed or interrupted store
// of a new invoice: the customer file never keeps a head that names an
// invoice the invoice file does not hold, and an invoice that reached the
// file is never left outside its customer's chain.

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "Datenstand.h"
#include "Grunddaten.h"
#include "Stoerung.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

class Kettenkoepfe : public ::testing::Test {
  protected:
    Kettenkoepfe() : verzeichnis_(true), uhr_(6, 12, 2026, 9, 5, 3) {
        Grunddaten::Kopieren(verzeichnis_.Path());
        Starten();
    }

    void Starten() {
        KundenVerwaltung::maxNummer = 0;
        bestand_ = std::make_unique<Datenbestand>("daten");
        bestand_->KundenEinlesen();
    }
    void Beenden() { bestand_.reset(); }

    Verwaltungen& V() { return bestand_->GetVerwaltungen(); }
    RechnungsVerwaltung& Rv() { return *V().rechnungsVerwaltung; }
    KundenVerwaltung& Kv() { return *V().kundenVerwaltung; }
    std::vector<std::string> Probleme() { return Datenstand(*bestand_).ProblemeAusser("verwaist"); }

    // Reserves an invoice for customer 1 (whose chain holds invoices 0 and
    // 2) with one item, and lets every write of the invoice file fail.
    void SpeichernScheitert() {
        Rechnung* r = Rv().AllocRechnung(1);
        Rv().SetPosten(*r, 3, 7.0f, 3.58f, 1);
        Stoerung stoerung(IoFaults::Op::Open, 1, EIO);
        EXPECT_THROW(Rv().StoreRechnung(), MessageException);
        EXPECT_EQ(Kv().GetKunde(1)->letzteRechnung, 3);
    }

    TempDir verzeichnis_;
    FixedClock uhr_;
    std::unique_ptr<Datenbestand> bestand_;
};

TEST_F(Kettenkoepfe, EinNichtGespeicherteRechnungWirdBeimBeendenNachgeholt) {
    SpeichernScheitert();
    Beenden();
    Starten();
    ASSERT_EQ(Rv().Gespeichert(), 4);
    EXPECT_EQ(Kv().GetKunde(1)->letzteRechnung, 3);
    EXPECT_EQ(Rv().GetRechnung(3)->vorigeRechnung, 2);
    EXPECT_EQ(Rv().GetRechnung(3)->GetAnzahlPosten(), 1);
    EXPECT_EQ(Probleme(), std::vector<std::string>{});
}

TEST_F(Kettenkoepfe, GehtAuchDasNichtStehtDerKopfWiederAufDerLetztenGespeicherten) {
    SpeichernScheitert();
    // The invoice file stays unwritable until the end.
    IoFaults::SetHook([](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Open && pfad == "daten/rechnungen.dat" ? EIO : 0;
    });
    Beenden();
    IoFaults::ClearHook();
    Starten();
    EXPECT_EQ(Rv().Gespeichert(), 3);
    EXPECT_EQ(Kv().GetKunde(1)->letzteRechnung, 2);
    EXPECT_EQ(Probleme(), std::vector<std::string>{});
    GenericList<Rechnung> liste;
    Rv().GetRechnungenVonKunde(1, liste, false);
    ASSERT_EQ(liste.Count(), 2u);
    EXPECT_EQ(liste[0].id, 2);
    EXPECT_EQ(liste[1].id, 0);
}

TEST_F(Kettenkoepfe, EineRechnungOhneIhrenKopfWirdBeimStartInDieKetteGenommen) {
    // What a crash right after the invoice reached the file leaves: the
    // customer file still holds the old head.
    const std::string kunden = ReadBytes("daten/kunden.dat");
    Rechnung* r = Rv().AllocRechnung(1);
    Rv().SetPosten(*r, 12, 10.5f, 5.37f, 2);
    Rv().StoreRechnung();
    Beenden();
    WriteBytes("daten/kunden.dat", kunden);

    Starten();
    EXPECT_EQ(Kv().GetKunde(1)->letzteRechnung, 3);
    EXPECT_EQ(Probleme(), std::vector<std::string>{});
    Beenden();
    // Mended on disk at once, not only at the next orderly exit.
    EXPECT_EQ(Int32At(ReadBytes("daten/kunden.dat"), 524), 3);
}

TEST_F(Kettenkoepfe, EinKopfHinterDerDateiWirdAufDieNeuesteRechnungGesetzt) {
    Beenden();
    std::string kunden = ReadBytes("daten/kunden.dat");
    // Customer 1 names invoice 7; the file holds 3.
    kunden[524] = 7;
    WriteBytes("daten/kunden.dat", kunden);
    Starten();
    EXPECT_EQ(Kv().GetKunde(1)->letzteRechnung, 2);
    EXPECT_EQ(Kv().GetKunde(2)->letzteRechnung, 1);
    EXPECT_EQ(Probleme(), std::vector<std::string>{});
}

TEST_F(Kettenkoepfe, AlleKoepfeHinterDerDateiKostenEinSchreibenDerKundendatei) {
    Beenden();
    // An older copy of the invoices restored: every customer names an
    // invoice the file does not hold.
    std::string kunden = ReadBytes("daten/kunden.dat");
    const std::size_t anzahl = kunden.size() / Kunde::DiskSize;
    ASSERT_GE(anzahl, 3u);
    for (std::size_t i = 0; i < anzahl; ++i) {
        const std::size_t feld = i * Kunde::DiskSize + 524;
        kunden.replace(feld, 4, std::string{static_cast<char>(20 + i), 0, 0, 0});
    }
    WriteBytes("daten/kunden.dat", kunden);
    int schreiben = 0;
    {
        Stoerung zaehler([&](IoFaults::Op op, const std::string& pfad) {
            if (pfad == "daten/kunden.dat" &&
                (op == IoFaults::Op::Write || op == IoFaults::Op::Rename)) {
                ++schreiben;
            }
        });
        Starten();
    }
    EXPECT_EQ(schreiben, 1);
    EXPECT_EQ(Kv().GetKunde(1)->letzteRechnung, 2);
    EXPECT_EQ(Kv().GetKunde(2)->letzteRechnung, 1);
    EXPECT_EQ(Probleme(), std::vector<std::string>{});
    // On disk at once.
    EXPECT_EQ(Int32At(ReadBytes("daten/kunden.dat"), 524), 2);
}

TEST_F(Kettenkoepfe, RechnungenEinesFruehrerenKundenGleicherNummerBleibenDraussen) {
    // Customer 4 has no invoice; a later customer with number 5 replaces a
    // deleted one whose invoice was the newest.
    Rechnung* r = Rv().AllocRechnung(4);
    const std::int32_t id = r->id;
    Rv().StoreRechnung();
    Kv().DeleteKunde(4);
    Beenden();
    uhr_.Advance(60);
    Starten();
    Kunde neu;
    Kv().AddKunde(neu);
    ASSERT_EQ(neu.nummer, 4);
    Beenden();
    Starten();
    EXPECT_EQ(Kv().GetKunde(4)->letzteRechnung, -1);
    EXPECT_EQ(Rv().GetRechnung(id)->kunde, 4);
}

}  // namespace
