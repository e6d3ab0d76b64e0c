// The program ends (a crash, a kill) at each file system call of "new
// invoice, store an item, store the invoice". Whatever the files hold then,
// the next start books back the items of the invoice that was never stored,
// where their bottles were taken, says so once, and from then on every wine's
// stock is its stock before minus the live items of the stored invoices; the
// next invoice, which gets the same id, leaves nothing behind either.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "Datenstand.h"
#include "Grunddaten.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The program's end at one call: nothing after it happens, the files stay
// as the call found them.
struct Ende {};

// Ends the program at the n-th file system call (of any kind) while it
// lives.
class EndeBeiAufruf {
  public:
    explicit EndeBeiAufruf(int n) {
        IoFaults::SetHook([this, n](IoFaults::Op, const std::string&) {
            if (++aufrufe_ == n) {
                throw Ende{};
            }
            return 0;
        });
    }
    ~EndeBeiAufruf() { IoFaults::ClearHook(); }

  private:
    int aufrufe_ = 0;
};

std::unique_ptr<Datenbestand> Starten(Zugriff zugriff = Zugriff::Schreiben) {
    KundenVerwaltung::maxNummer = 0;
    auto bestand = std::make_unique<Datenbestand>("daten", Datenbestand::Beobachter{}, zugriff);
    bestand->KundenEinlesen();
    bestand->MerkzettelOeffnen();
    return bestand;
}

// Every wine's stock plus the bottles of the live items of the stored
// invoices: what the wine had before any of them, which no invoice changes.
std::map<std::int32_t, std::int64_t> Anfangsbestaende(Datenbestand& bestand) {
    Verwaltungen& v = bestand.GetVerwaltungen();
    std::map<std::int32_t, std::int64_t> anfang;
    for (unsigned i = 0; i < v.weinlistenVerwaltung->Count(); ++i) {
        const Wein& w = (*v.weinlistenVerwaltung)[i];
        anfang[w.nummer] += w.bestand;
    }
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    for (std::int32_t id = 0; id < rv.Gespeichert(); ++id) {
        const Rechnung r = *rv.GetRechnung(id);
        v.postenVerwaltung->FuerJedenPosten(
            r.postenKopf, r.id,
            [&](const PostenVerwaltung::Posten& p) { anfang[p.weinNummer] += p.menge; });
    }
    return anfang;
}

// The items the start must book back: those "verwaist" in the data check.
int Verwaist(Datenbestand& bestand) {
    int anzahl = 0;
    const Datenstand stand(bestand);
    for (const std::string& problem : stand.Probleme()) {
        anzahl += problem.rfind("verwaist", 0) == 0 ? 1 : 0;
    }
    return anzahl;
}

// How many items the start's messages say it booked back.
int Zurueckgebucht(const std::vector<std::string>& meldungen) {
    static const std::regex ihre("ihre ([0-9]+) Posten wurden zurückgebucht\\.");
    int anzahl = 0;
    for (const std::string& meldung : meldungen) {
        const std::string text = CodePage::Cp1252ToUtf8(meldung);
        // The invoice stored, its customer's new chain head not: mended
        // and told of as well.
        if (text.rfind("Die Rechnungskette des Kunden 1 passte nicht", 0) == 0) {
            continue;
        }
        std::smatch treffer;
        EXPECT_TRUE(std::regex_search(text, treffer, ihre)) << text;
        EXPECT_EQ(text.rfind("Beim letzten Programmende war eine neue Rechnung nicht gespeichert; "
                             "ihre ",
                             0),
                  0u)
            << text;
        anzahl += std::stoi(treffer[1]);
    }
    return anzahl;
}

void Kopieren(const std::string& von, const std::string& nach) {
    fs::remove_all(nach);
    fs::copy(von, nach, fs::copy_options::recursive);
}

TEST(NeueRechnungAbsturz, JedeStelleHinterlaesstStimmigeBestaende) {
    TempDir verzeichnis(true);
    FixedClock uhr(6, 12, 2026, 9, 5, 3);
    Grunddaten::Kopieren(verzeichnis.Path());
    const std::map<std::int32_t, std::int64_t> anfang = Anfangsbestaende(*Starten());
    Kopieren("daten", "vorlage");

    int stellen = 0;
    int gebucht = 0;
    for (int n = 1;; ++n) {
        SCOPED_TRACE("ended at call " + std::to_string(n));
        Kopieren("vorlage", "daten");
        auto bestand = Starten();
        Verwaltungen& v = bestand->GetVerwaltungen();
        const std::int32_t id = v.rechnungsVerwaltung->Anzahl();
        bool fertig = false;
        try {
            EndeBeiAufruf ende(n);
            Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(1);
            v.rechnungsVerwaltung->SetPosten(*r, 12, 10.5f, 5.37f, 5);
            v.rechnungsVerwaltung->SetPosten(*r, 3, 7.0f, 3.58f, 2);
            v.rechnungsVerwaltung->StoreRechnung();
            fertig = true;
        } catch (const Ende&) {
        }
        // The files as the end left them; what the data set would still do
        // as it goes is not to happen.
        Kopieren("daten", "abbild");
        bestand.reset();
        Kopieren("abbild", "daten");
        if (fertig) {
            break;
        }
        ++stellen;

        const int verwaist = Verwaist(*Starten(Zugriff::NurLesen));
        bestand = Starten();
        EXPECT_EQ(Zurueckgebucht(bestand->Startmeldungen()), verwaist);
        gebucht += verwaist;
        EXPECT_EQ(Anfangsbestaende(*bestand), anfang);
        EXPECT_EQ(Verwaist(*bestand), 0);

        // The same id again, now for good; told nothing more.
        Verwaltungen& w = bestand->GetVerwaltungen();
        if (w.rechnungsVerwaltung->Gespeichert() == id) {
            Rechnung* r = w.rechnungsVerwaltung->AllocRechnung(2);
            EXPECT_EQ(r->id, id);
            w.rechnungsVerwaltung->SetPosten(*r, 12, 10.5f, 5.37f, 1);
            w.rechnungsVerwaltung->StoreRechnung();
        }
        bestand.reset();
        bestand = Starten();
        EXPECT_EQ(bestand->Startmeldungen(), std::vector<std::string>{});
        EXPECT_EQ(Anfangsbestaende(*bestand), anfang);
        EXPECT_EQ(Verwaist(*bestand), 0);
    }
    EXPECT_GT(stellen, 10);
    // Items were written before most of the calls.
    EXPECT_GT(gebucht, stellen);
}

// A cut invoice file (its last invoice lost) makes the start book that
// invoice's item back and mend its customer's chain, and say both once.
TEST(NeueRechnungAbsturz, EineAbgeschnitteneRechnungsdateiWirdBerichtigtUndGemeldet) {
    TempDir verzeichnis(true);
    FixedClock uhr(6, 12, 2026, 9, 5, 3);
    Grunddaten::Kopieren(verzeichnis.Path());
    const std::map<std::int32_t, std::int64_t> anfang = Anfangsbestaende(*Starten());
    // Invoice 2 (customer 1, 24 bottles of wine 3) loses its end.
    fs::resize_file("daten/rechnungen.dat", 2 * Rechnung::DiskSize + 100);

    auto bestand = Starten();
    const std::vector<std::string>& meldungen = bestand->Startmeldungen();
    ASSERT_EQ(meldungen.size(), 3u);
    EXPECT_NE(meldungen[0].find("rechnungen.dat"), std::string::npos) << meldungen[0];
    EXPECT_EQ(CodePage::Cp1252ToUtf8(meldungen[1]),
              "Beim letzten Programmende war eine neue Rechnung nicht gespeichert; ihre 1 Posten "
              "wurden zurückgebucht.");
    EXPECT_EQ(CodePage::Cp1252ToUtf8(meldungen[2]),
              "Die Rechnungskette des Kunden 1 passte nicht zur Rechnungsdatei "
              "daten/rechnungen.dat und wurde berichtigt: der Kunde führt wieder zu seiner "
              "neuesten gespeicherten Rechnung.");
    Verwaltungen& v = bestand->GetVerwaltungen();
    EXPECT_EQ(v.kundenVerwaltung->GetKunde(1)->letzteRechnung, 0);
    EXPECT_EQ(v.weinlistenVerwaltung->GetWein(3)->bestand, 120 - 6);
    EXPECT_EQ(Anfangsbestaende(*bestand), anfang);
    EXPECT_EQ(Verwaist(*bestand), 0);
    EXPECT_NE(ReadBytes("daten/logbuch.txt").find(">> POSTEN GEL\xD6SCHT << -> 3,2,7,3.58,24\r\n"),
              std::string::npos);
}

// A stock change that cannot be written (no room for the wine list) is
// reported and the item refused, as a log line that cannot be written
// refuses its change: nothing reaches the disk at the end that the user
// was not told of.
TEST(NeueRechnungAbsturz, EinBestandDerNichtGeschriebenWerdenKannWeistDenPostenAb) {
    TempDir verzeichnis(true);
    FixedClock uhr(6, 12, 2026, 9, 5, 3);
    Grunddaten::Kopieren(verzeichnis.Path());
    const std::string posten = ReadBytes("daten/rechnungsposten.dat");
    auto bestand = Starten();
    Verwaltungen& v = bestand->GetVerwaltungen();
    Rechnung* neu = v.rechnungsVerwaltung->AllocRechnung(3);
    Rechnung alt(*v.rechnungsVerwaltung->GetRechnung(0));

    IoFaults::SetHook([](IoFaults::Op op, const std::string& pfad) {
        return (op == IoFaults::Op::Write || op == IoFaults::Op::Rename) &&
                       pfad.rfind("daten/weinliste.dat", 0) == 0
                   ? ENOSPC
                   : 0;
    });
    auto abgelehnt = [](const std::function<void()>& aenderung, const std::string& meldung) {
        try {
            aenderung();
            ADD_FAILURE() << "accepted";
        } catch (const MessageException& e) {
            EXPECT_EQ(CodePage::Cp1252ToUtf8(e.Text()), meldung);
        }
    };
    abgelehnt([&] { v.rechnungsVerwaltung->SetPosten(*neu, 12, 10.5f, 5.37f, 5); },
              "Der Bestand des Weins 12 konnte nicht in die Datei daten/weinliste.dat "
              "geschrieben werden (kein Platz mehr auf dem Datenträger). Der Posten wurde nicht "
              "gespeichert.");
    abgelehnt([&] { v.rechnungsVerwaltung->SetPosten(alt, 12, 10.5f, 5.37f, 10); },
              "Der Bestand des Weins 12 konnte nicht in die Datei daten/weinliste.dat "
              "geschrieben werden (kein Platz mehr auf dem Datenträger). Der Posten wurde nicht "
              "geändert.");
    IoFaults::ClearHook();

    EXPECT_EQ(neu->GetAnzahlPosten(), 0);
    EXPECT_EQ(v.weinlistenVerwaltung->GetWein(12)->bestand, 480 - 12);
    EXPECT_EQ(alt.FindPosten(12)->menge, 12);
    EXPECT_EQ(ReadBytes("daten/rechnungsposten.dat"), posten);
    v.rechnungsVerwaltung->StoreRechnung();
    bestand.reset();
    bestand = Starten();
    EXPECT_EQ(bestand->Startmeldungen(), std::vector<std::string>{});
    EXPECT_EQ(bestand->GetVerwaltungen().weinlistenVerwaltung->GetWein(12)->bestand, 480 - 12);
    EXPECT_EQ(bestand->GetVerwaltungen().rechnungsVerwaltung->GetRechnung(0)->GetAnzahlPosten(), 2);
}

}  // namespace
