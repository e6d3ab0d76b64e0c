// Every kind of write the program makes, with each of its file system calls
// (reads included) failing in turn (EIO and ENOSPC): the failure is reported
// with the program's message, or passes silently where it must (settings),
// and the files are left as before the operation or as after it, never
// damaged. A log line that cannot be written refuses the change. An orderly
// exit afterwards writes what memory holds, and the next start reads exactly
// that. Without failures, every file an operation writes is synced before it
// returns, and the items, invoices and log lines are synced before the stock
// or the chain head that count on them is written.
//
// Every export alike: the message names the reason, the older export stays
// whole (or the file stays missing), and the data set is untouched.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Datenstand.h"
#include "Grunddaten.h"
#include "Stoerung.h"
#include "Verzeichnisbild.h"
#include "cli/RebkontorCli.h"
#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// A data set copied from the template and opened as at start-up.
class Umgebung {
  public:
    Umgebung() : verzeichnis_(true), uhr_(6, 12, 2026, 9, 5, 3) {
        Grunddaten::Kopieren(verzeichnis_.Path());
        Starten();
    }

    void Starten() {
        KundenVerwaltung::maxNummer = 0;
        std::srand(1);
        bestand_ = std::make_unique<Datenbestand>("daten");
        bestand_->KundenEinlesen();
        bestand_->MerkzettelOeffnen();
    }
    // An orderly exit and a new start on the same files.
    void Neustart() {
        bestand_.reset();
        Starten();
    }

    Datenbestand& Bestand() { return *bestand_; }
    Verwaltungen& V() { return bestand_->GetVerwaltungen(); }
    KundenVerwaltung& Kv() { return *V().kundenVerwaltung; }
    WeinlistenVerwaltung& Wv() { return *V().weinlistenVerwaltung; }
    PreisVerwaltung& Pv() { return *V().preisVerwaltung; }
    RechnungsVerwaltung& Rv() { return *V().rechnungsVerwaltung; }
    MerkzettelVerwaltung& Mv() { return *bestand_->GetMerkzettelVerwaltung(); }

    // A stored invoice to change, as the invoice list hands it out.
    std::unique_ptr<Rechnung>& Kopie() { return kopie_; }

  private:
    TempDir verzeichnis_;
    FixedClock uhr_;
    std::unique_ptr<Datenbestand> bestand_;
    std::unique_ptr<Rechnung> kopie_;
};

struct Vorgang {
    const char* name;
    // Failures pass without a message (settings, log book).
    bool still;
    // Writes several files, or one file several times, one whole step after
    // the other; a failure may stop it between two steps.
    bool schrittweise;
    std::function<void(Umgebung&)> vorbereiten;
    std::function<void(Umgebung&)> ausfuehren;
    // A further state a file may be left in, and why.
    std::function<bool(const std::string& name, const std::string& vorher,
                       const std::string& jetzt)>
        auchGanz = {};
};

// A duplicate whose items could not all be written is stored with the items
// that were, and the failure is reported: the invoice file gains one whole
// record.
bool EineRechnungMehr(const std::string& name, const std::string& vorher,
                      const std::string& jetzt) {
    return name == "rechnungen.dat" && jetzt.size() == vorher.size() + Rechnung::DiskSize &&
           jetzt.compare(0, vorher.size(), vorher) == 0;
}

void PrintTo(const Vorgang& vorgang, std::ostream* out) {
    *out << vorgang.name;
}

void Nichts(Umgebung&) {}

Kunde NeuerKunde() {
    Kunde k;
    FixedText::Set(k.Nachname, "Neumann");
    FixedText::Set(k.Ort, "Worms");
    k.PLZ = 67547;
    return k;
}

void RechnungHolen(Umgebung& u, std::int32_t id) {
    u.Kopie() = std::make_unique<Rechnung>(*u.Rv().GetRechnung(id));
}

const std::vector<Vorgang>& Vorgaenge() {
    static const std::vector<Vorgang> vorgaenge = {
        {"KundeAnhaengen", false, false, Nichts,
         [](Umgebung& u) {
             Kunde k = NeuerKunde();
             u.Kv().AddKunde(k);
         }},
        {"KundeAendern", false, true, Nichts,
         [](Umgebung& u) {
             Kunde k = *u.Kv().GetKunde(2);
             FixedText::Set(k.Ort, "Mainz");
             u.Kv().UpdateKunde(k);
         }},
        {"KundeLoeschen", false, true, Nichts, [](Umgebung& u) { u.Kv().DeleteKunde(2); }},
        {"KundendateiSchreiben", false, false,
         [](Umgebung& u) { FixedText::Set(u.Kv()[0].bemerkung, "Stammkunde"); },
         [](Umgebung& u) { u.Kv().Flush(); }},
        {"WeinSpeichern", false, true, Nichts,
         [](Umgebung& u) {
             u.Wv().AddWein(8);
             Wein* w = u.Wv().GetWein(8);
             FixedText::Set(w->name, "Kerner");
             w->bestand = 36;
             u.Wv().Sort();
         }},
        {"WeinVerbergen", false, false, Nichts,
         [](Umgebung& u) {
             Wein* w = u.Wv().GetWein(27);
             w->verborgen = 1;
             u.Wv().Store(w);
         }},
        {"PreisSetzen", false, true, [](Umgebung& u) { u.Pv().SetPreisliste(1); },
         [](Umgebung& u) {
             u.Pv().AddPreis(Preis(27, 0.0f, 0.0f));
             Preis* p = u.Pv().GetPreis(27);
             p->preisDM = 16.0f;
             p->preisEuro = 8.18f;
             u.Pv().FlushPreisliste();
         }},
        {"PreisAendern", false, false, [](Umgebung& u) { u.Pv().SetPreisliste(0); },
         [](Umgebung& u) {
             u.Pv().GetPreis(3)->preisDM = 7.5f;
             u.Pv().FlushPreisliste();
         }},
        {"RechnungSpeichern", false, true,
         [](Umgebung& u) {
             Rechnung* r = u.Rv().AllocRechnung(3);
             u.Rv().SetPosten(*r, 12, 10.5f, 5.37f, 6);
             r->kartons = 1;
         },
         [](Umgebung& u) { u.Rv().StoreRechnung(); }},
        {"RechnungAendern", false, true, [](Umgebung& u) { RechnungHolen(u, 0); },
         [](Umgebung& u) {
             u.Kopie()->beglichen = 1;
             u.Kopie()->betragEingegangen = 168.0f;
             u.Rv().UpdateRechnung(*u.Kopie());
         }},
        {"RechnungLoeschen", false, true, Nichts,
         [](Umgebung& u) { u.Rv().DeleteRechnung(1, false); }},
        {"RechnungLoeschenMitBestand", false, true, Nichts,
         [](Umgebung& u) { u.Rv().DeleteRechnung(0, true); }},
        {"RechnungAbleiten", false, true, [](Umgebung& u) { RechnungHolen(u, 0); },
         [](Umgebung& u) { u.Rv().DeriveRechnung(*u.Kopie()); }, EineRechnungMehr},
        {"PostenHinzufuegen", false, true, [](Umgebung& u) { RechnungHolen(u, 1); },
         [](Umgebung& u) { u.Rv().SetPosten(*u.Kopie(), 3, 7.0f, 3.58f, 2); }},
        {"PostenAendern", false, true, [](Umgebung& u) { RechnungHolen(u, 0); },
         [](Umgebung& u) { u.Rv().SetPosten(*u.Kopie(), 12, 10.5f, 5.37f, 10); }},
        {"PostenLoeschen", false, true, [](Umgebung& u) { RechnungHolen(u, 0); },
         [](Umgebung& u) { u.Rv().DeletePosten(*u.Kopie(), 3); }},
        {"EinstellungenSpeichern", true, false, Nichts,
         [](Umgebung& u) {
             u.V().customizer->vordatierungTage = 60;
             (void)u.V().customizer->Store();
         }},
        {"KundengruppeAnhaengen", false, false, Nichts,
         [](Umgebung& u) { u.V().geoGruppe->AddGeoGruppe("Worms"); }},
        {"PreislisteAnlegen", false, true, Nichts,
         [](Umgebung& u) { u.Pv().AddPreisliste("Gastro"); }},
        {"Logbuchzeile", false, false, Nichts,
         [](Umgebung& u) { u.V().logBuch->Stamp() << "Zeile" << std::endl; }},
        {"MerkzettelNeu", false, false, Nichts, [](Umgebung& u) { u.Mv().NewNote(); }},
        {"MerkzettelSpeichern", false, false, Nichts,
         [](Umgebung& u) {
             FixedText::Set(u.Mv()[0].text, "Flaschen bestellen");
             u.Mv().Store(&u.Mv()[0]);
         }},
        // A first level appends its record, a later one writes over it; each
        // after its log line.
        {"MahnstufeNeu", false, true, Nichts,
         [](Umgebung& u) {
             u.Bestand().GetMahnungen().Vermerken(0, 1, 1, Datum(6, 12, 2026), u.V().logBuch);
         }},
        {"MahnstufeErhoehen", false, true,
         [](Umgebung& u) {
             u.Bestand().GetMahnungen().Vermerken(1, 2, 1, Datum(1, 11, 2026), u.V().logBuch);
         },
         [](Umgebung& u) {
             u.Bestand().GetMahnungen().Vermerken(1, 2, 2, Datum(6, 12, 2026), u.V().logBuch);
         }},
        {"ImportKundenCsv", false, false, Nichts, [](Umgebung& u) { u.Kv().ImportKundenCSV(); }},
        {"ImportAlteKunden", false, false, Nichts, [](Umgebung& u) { u.Kv().ImportAlteKunden(); }},
        {"ImportAlteWeine", false, false, Nichts,
         [](Umgebung& u) { u.Wv().ImportAlteWeinliste(); }},
        {"ImportAltePreise", false, false, Nichts, [](Umgebung& u) { u.Pv().ReadPascalFile({}); }},
    };
    return vorgaenge;
}

// The reason a message gives for the injected error number.
std::string Grund(int fehler) {
    return Fehler(Fehler::Vorgang::Schreiben, "", fehler).Grund();
}

std::string LogbuchFehler(int fehler) {
    return LogBuch::SchreibFehler(Fehler(Fehler::Vorgang::Schreiben, "daten/logbuch.txt", fehler));
}

// The texts with which the program reports a failed write; where a text
// names the file, it also names the reason, the injected error.
bool BekannterText(const std::string& text, int fehler) {
    const std::string grund = " (" + Grund(fehler) + ")";
    const std::set<std::string> texte = {
        GenericList<Kunde>::kAddError,
        GenericList<Kunde>::kFlushError,
        GenericList<Kunde>::kEmptyError,
        GenericList<Kunde>::kOpenError,
        "Der Rechnungsposten konnte nicht in die Datei geschrieben werden "
        "(PostenVerwaltung::AddPosten())",
        "Der Rechnungsposten konnte nicht in die Datei geschrieben werden "
        "(PostenVerwaltung::Update())",
        CodePage::Utf8ToCp1252(
            "In RechnungsVerwaltung::StoreRechnung() konnte die Datei nicht geöffnet werden"),
        "Die Rechnung konnte nicht in die Datei geschrieben werden "
        "(RechnungsVerwaltung::StoreRechnung())",
        "Die Rechnung konnte nicht in die Datei geschrieben werden "
        "(RechnungsVerwaltung::UpdateCurrentRechnung())",
        "Die Kundengruppe konnte nicht in die Datei daten/geogruppe.txt eingetragen werden" +
            grund + ".",
        "Die Preisliste konnte nicht in die Datei daten/weinlisten.txt eingetragen werden" + grund +
            ".",
        "Die Datei kunden.csv konnte nicht geöffnet werden"_w + grund +
            ". Die Kundendaten bleiben unverändert."_w,
        "Die Datei daten_alt/wl konnte nicht geöffnet werden"_w + grund +
            ". Die Weinliste bleibt unverändert."_w,
        LogbuchFehler(fehler),
    };
    if (texte.count(text) != 0) {
        return true;
    }
    // A list's file that cannot be opened, named on a second line, and why.
    const std::string offen = std::string(GenericList<Kunde>::kOpenError) + "\ndaten/";
    if (text.rfind(offen, 0) == 0 && text.find('\n', offen.size()) != std::string::npos &&
        text.substr(text.find('\n', offen.size())) == "\nGrund: " + Grund(fehler) + ".") {
        return true;
    }
    // The old files of an import, each named.
    return (text.rfind("Die alte Kundendatei daten_alt/", 0) == 0 &&
            text.find(" kann nicht gelesen werden" + grund +
                      ". Die Kundendaten bleiben unverändert."_w) != std::string::npos) ||
           (text.rfind("Die alte Preisliste daten_alt/wl-", 0) == 0 &&
            text.find(" kann nicht gelesen werden" + grund + ".") != std::string::npos);
}

// The log book loses a line silently when it cannot be written, but never
// holds half a line: what the operation added is some of the lines it adds
// without failures, whole and in order.
bool LogbuchGanz(const std::string& vorher, const std::string& nachher, const std::string& jetzt) {
    if (jetzt.compare(0, vorher.size(), vorher) != 0 || nachher.compare(0, vorher.size(), vorher)) {
        return false;
    }
    auto zeilen = [](std::string_view text) {
        std::vector<std::string_view> z;
        while (!text.empty()) {
            const std::size_t ende = text.find("\r\n");
            if (ende == std::string_view::npos) {
                z.push_back(text);
                break;
            }
            z.push_back(text.substr(0, ende + 2));
            text.remove_prefix(ende + 2);
        }
        return z;
    };
    const auto neu = zeilen(std::string_view(nachher).substr(vorher.size()));
    std::size_t i = 0;
    for (std::string_view zeile : zeilen(std::string_view(jetzt).substr(vorher.size()))) {
        while (i < neu.size() && neu[i] != zeile) {
            ++i;
        }
        if (i == neu.size() || zeile.size() < 2 || zeile.substr(zeile.size() - 2) != "\r\n") {
            return false;
        }
        ++i;
    }
    return true;
}

constexpr IoFaults::Op kArten[] = {IoFaults::Op::Open,     IoFaults::Op::Write,
                                   IoFaults::Op::Sync,     IoFaults::Op::Rename,
                                   IoFaults::Op::Truncate, IoFaults::Op::Read};

// The files whose records others point to, and the files that point to them.
bool WirdReferenziert(const std::string& pfad) {
    return pfad == "daten/rechnungsposten.dat" || pfad == "daten/rechnungen.dat" ||
           pfad == "daten/logbuch.txt";
}
bool Referenziert(const std::string& pfad) {
    return pfad == "daten/weinliste.dat" || pfad == "daten/kunden.dat";
}

// Checks the calls of one operation without failures: every written file
// synced before the operation returns, and nothing that points to an item,
// an invoice or a log line written while those are not yet synced. A whole
// replacement writes a temporary file, syncs it and renames it over the
// file; its name counts as written by the rename.
std::vector<std::string> Syncfolge(
    const std::vector<std::pair<IoFaults::Op, std::string>>& ablauf) {
    std::vector<std::string> fehler;
    std::set<std::string> ungesichert;
    for (const auto& [op, pfad] : ablauf) {
        switch (op) {
            case IoFaults::Op::Write:
            case IoFaults::Op::Truncate:
            case IoFaults::Op::Rename:
                if (Referenziert(pfad) || Referenziert(pfad.substr(0, pfad.size() - 4))) {
                    for (const std::string& offen : ungesichert) {
                        if (WirdReferenziert(offen)) {
                            fehler.push_back(pfad + " written before " + offen + " was synced");
                        }
                    }
                }
                if (op != IoFaults::Op::Rename) {
                    ungesichert.insert(pfad);
                }
                break;
            case IoFaults::Op::Sync:
                ungesichert.erase(pfad);
                break;
            default:
                break;
        }
    }
    for (const std::string& offen : ungesichert) {
        fehler.push_back(offen + " not synced when the operation returned");
    }
    return fehler;
}

constexpr const char* kLogbuch = "logbuch.txt";

// Figures for the whole run, printed at its end.
struct Zaehler {
    int injiziert = 0;
    int gemeldet = 0;
    int still = 0;
    ~Zaehler() {
        if (injiziert == 0) {
            return;
        }
        std::printf("write failures injected: %d (reported: %d, passed silently or mended: %d)\n",
                    injiziert, gemeldet, still);
    }
};
Zaehler zaehler;

class Schreibfehler : public ::testing::TestWithParam<Vorgang> {};

TEST_P(Schreibfehler, LaesstDieDateienGanz) {
    const Vorgang& vorgang = GetParam();

    // The operation without failures: the files before and after, every
    // state each file passes through, and how many calls of each kind it
    // makes.
    Verzeichnisbild vorher;
    Verzeichnisbild nachher;
    std::map<std::string, std::set<std::string>> zwischenstaende;
    std::map<IoFaults::Op, int> anzahl;
    std::vector<std::pair<IoFaults::Op, std::string>> ablauf;
    {
        Umgebung u;
        vorgang.vorbereiten(u);
        vorher = Verzeichnisbild("daten");
        {
            Stoerung zaehlen([&](IoFaults::Op op, const std::string& pfad) {
                ablauf.emplace_back(op, pfad);
                const Verzeichnisbild jetzt("daten");
                for (const auto& [name, bytes] : jetzt.Dateien()) {
                    zwischenstaende[name].insert(bytes);
                }
            });
            vorgang.ausfuehren(u);
            for (IoFaults::Op art : kArten) {
                anzahl[art] = zaehlen.Anzahl(art);
            }
        }
        nachher = Verzeichnisbild("daten");
    }
    ASSERT_FALSE(vorher == nachher) << "the operation writes nothing";
    EXPECT_EQ(Syncfolge(ablauf), std::vector<std::string>{});

    for (IoFaults::Op art : kArten) {
        for (int n = 1; n <= anzahl[art]; ++n) {
            for (int fehler : {EIO, ENOSPC}) {
                SCOPED_TRACE(std::string(Stoerung::Name(art)) + " #" + std::to_string(n) +
                             (fehler == EIO ? " EIO" : " ENOSPC"));
                Umgebung u;
                vorgang.vorbereiten(u);
                ASSERT_TRUE(Verzeichnisbild("daten") == vorher);

                std::string text;
                bool gemeldet = false;
                {
                    Stoerung stoerung(art, n, fehler);
                    try {
                        vorgang.ausfuehren(u);
                    } catch (const MessageException& e) {
                        gemeldet = true;
                        text = e.Text();
                    }
                    ASSERT_TRUE(stoerung.Ausgeloest());
                }
                ++zaehler.injiziert;
                ++(gemeldet ? zaehler.gemeldet : zaehler.still);

                const Verzeichnisbild danach("daten");
                for (const auto& [name, bytes] : danach.Dateien()) {
                    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name << " left behind";
                }
                std::set<std::string> namen;
                for (const Verzeichnisbild* bild :
                     std::vector<const Verzeichnisbild*>{&vorher, &nachher, &danach}) {
                    for (const auto& [name, bytes] : bild->Dateien()) {
                        namen.insert(name);
                    }
                }
                for (const std::string& name : namen) {
                    if (name == kLogbuch) {
                        EXPECT_TRUE(LogbuchGanz(*vorher.Datei(name), *nachher.Datei(name),
                                                *danach.Datei(name)))
                            << ReadBytes("daten/logbuch.txt");
                        continue;
                    }
                    const std::string* jetzt = danach.Datei(name);
                    const std::string* alt = vorher.Datei(name);
                    const std::string* neu = nachher.Datei(name);
                    const bool wieVorher = jetzt == alt || (jetzt && alt && *jetzt == *alt);
                    const bool wieNachher = jetzt == neu || (jetzt && neu && *jetzt == *neu);
                    const bool zwischendurch =
                        jetzt != nullptr &&
                        ((vorgang.schrittweise && zwischenstaende[name].count(*jetzt) != 0) ||
                         (vorgang.auchGanz && alt != nullptr &&
                          vorgang.auchGanz(name, *alt, *jetzt)));
                    EXPECT_TRUE(wieVorher || wieNachher || zwischendurch) << name << " is damaged";
                }
                if (gemeldet) {
                    EXPECT_FALSE(vorgang.still) << text;
                    EXPECT_TRUE(BekannterText(text, fehler)) << text;
                    // The log line comes first; without it, nothing changed
                    // (but for the items an invoice deletion returns to
                    // stock, each logged on its own before the invoice's
                    // line). An item added to a stored invoice whose line
                    // could not be written is taken back, its bottles too.
                    if (text == LogbuchFehler(fehler) &&
                        std::string(vorgang.name) != "RechnungLoeschenMitBestand") {
                        EXPECT_EQ(Verzeichnisbild::Unterschiede(danach, vorher), "");
                    }
                } else if (!vorgang.still) {
                    // Reported as done, so it must be done (but for a log
                    // line lost without a word).
                    const std::string unterschiede = Verzeichnisbild::Unterschiede(danach, nachher);
                    EXPECT_TRUE(unterschiede.empty() || unterschiede == kLogbuch) << unterschiede;
                }

                // The invoice editor stores a reserved invoice when it
                // closes, and the disk works again.
                if (u.Rv().Reserviert() != nullptr) {
                    u.Rv().StoreRechnung();
                }
                // An orderly exit writes what memory holds; the next start
                // reads just that, with sound links.
                const Datenstand imSpeicher(u.Bestand());
                u.Neustart();
                const Datenstand gelesen(u.Bestand());
                EXPECT_EQ(imSpeicher.Text(), gelesen.Text());
                EXPECT_EQ(gelesen.ProblemeAusser("verwaist"), std::vector<std::string>{});
                const Verzeichnisbild spaeter("daten");
                for (const auto& [name, bytes] : spaeter.Dateien()) {
                    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name << " left behind";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(JedeArt, Schreibfehler, ::testing::ValuesIn(Vorgaenge()),
                         [](const ::testing::TestParamInfo<Vorgang>& param) {
                             return std::string(param.param.name);
                         });

// Every export of the command-line tool, which writes with the window's own
// export functions: the file it writes, and how it is asked for. The target
// lies in a folder of its own and may hold an older export.
struct Export {
    const char* name;
    const char* datei;
    std::vector<std::string> aufruf;
};

void PrintTo(const Export& export_, std::ostream* out) {
    *out << export_.name;
}

constexpr const char* kAlterExport = "ein älterer Export";

const std::vector<Export>& Exporte() {
    static const std::vector<Export> exporte = {
        {"FlaschenlisteText", "fl.txt", {"flaschenliste", "ausgabe/fl.txt"}},
        {"FlaschenlisteTabelle", "fl.xls", {"flaschenliste", "ausgabe/fl.xls"}},
        {"FlaschenlisteArbeitsmappe", "fl.xlsx", {"flaschenliste", "ausgabe/fl.xlsx"}},
        {"AuswertungCsv",
         "kunden.csv",
         {"auswertung", "--art", "kunden", "--von", "1.1.2020", "--bis", "31.12.2026",
          "ausgabe/kunden.csv"}},
        {"AuswertungArbeitsmappe",
         "weine.xlsx",
         {"auswertung", "--art", "weine", "--von", "1.1.2020", "--bis", "31.12.2026",
          "ausgabe/weine.xlsx"}},
        {"Preislisten", "pl.txt", {"preislisten", "ausgabe/pl.txt"}},
        {"Adressen", "adr.csv", {"adressen", "ausgabe/adr.csv", "--gruppe", "Mainz"}},
        {"XRechnung", "r.xml", {"rechnung", "--id", "0", "--xrechnung", "ausgabe/r.xml"}},
    };
    return exporte;
}

// The data set of the template with the estate's seller data, read where it
// lies, as the tool reads it.
class Exportumgebung {
  public:
    Exportumgebung(const Export& export_, bool mitAltem)
        : verzeichnis_(true), uhr_(6, 12, 2026, 9, 5, 3) {
        Grunddaten::Kopieren(verzeichnis_.Path());
        WriteBytes("daten/firmendaten.txt",
                   "Name=Weingut Probe\r\nInhaber=Karl Probe\r\nStrasse=Weinstr. 1\r\n"
                   "PLZ=55232\r\nOrt=Alzey\r\nLand=DE\r\nTelefon=06731 1\r\n"
                   "EMail=info@weingut-probe.example.com\r\nUStIdNr=DE814736295\r\n"
                   "IBAN=DE85550501200123456789\r\nBIC=MALADE51MNZ\r\nZahlungsziel=14\r\n");
        {
            // An e-invoice is made in Euro only, and names the buyer's address.
            KundenVerwaltung::maxNummer = 0;
            Datenbestand bestand("daten");
            bestand.GetVerwaltungen().customizer->preiseInEuro = 1;
            EXPECT_TRUE(bestand.GetVerwaltungen().customizer->Store());
            Kunde kunde = *bestand.KundenEinlesen().GetKunde(1);
            FixedText::Set(kunde.EMail, "karl@example.com");
            bestand.KundenEinlesen().UpdateKunde(kunde);
        }
        std::filesystem::create_directory("ausgabe");
        if (mitAltem) {
            WriteBytes(std::string("ausgabe/") + export_.datei, kAlterExport);
        }
    }

    struct Lauf {
        int status = -1;
        std::string meldung;
    };
    static Lauf Ausfuehren(const Export& export_) {
        std::ostringstream out;
        std::ostringstream err;
        RebkontorCli cli(out, err);
        const int status = cli.Ausfuehren(export_.aufruf);
        return {status, err.str()};
    }

  private:
    TempDir verzeichnis_;
    FixedClock uhr_;
};

class ExportSchreibfehler : public ::testing::TestWithParam<Export> {};

// Each file system call of an export (the data set's reads included)
// failing in turn: the tool says why, in German; the target keeps the older
// export, whole, or stays missing (not even an empty file), and no temporary
// file is left beside it; the data set is untouched. Only the folder's sync after the rename may
// fail unseen, and then the new export is whole.
TEST_P(ExportSchreibfehler, NenntDenGrundUndLaesstNichtsHalbes) {
    const Export& export_ = GetParam();
    std::map<IoFaults::Op, int> anzahl;
    std::string neu;
    {
        Exportumgebung u(export_, true);
        Stoerung zaehlen;
        const Exportumgebung::Lauf lauf = Exportumgebung::Ausfuehren(export_);
        ASSERT_EQ(lauf.status, 0) << lauf.meldung;
        for (IoFaults::Op art : kArten) {
            anzahl[art] = zaehlen.Anzahl(art);
        }
        neu = ReadBytes(std::string("ausgabe/") + export_.datei);
    }
    ASSERT_NE(neu, kAlterExport);
    ASSERT_GT(anzahl[IoFaults::Op::Write], 0);
    ASSERT_GT(anzahl[IoFaults::Op::Rename], 0);

    for (IoFaults::Op art : kArten) {
        for (int n = 1; n <= anzahl[art]; ++n) {
            for (int fehler : {EIO, ENOSPC}) {
                SCOPED_TRACE(std::string(Stoerung::Name(art)) + " #" + std::to_string(n) +
                             (fehler == EIO ? " EIO" : " ENOSPC"));
                const bool mitAltem = fehler == EIO;
                Exportumgebung u(export_, mitAltem);
                const Verzeichnisbild daten("daten");
                Exportumgebung::Lauf lauf;
                {
                    Stoerung stoerung(art, n, fehler);
                    lauf = Exportumgebung::Ausfuehren(export_);
                    ASSERT_TRUE(stoerung.Ausgeloest());
                }
                ++zaehler.injiziert;
                ++(lauf.status != 0 ? zaehler.gemeldet : zaehler.still);
                EXPECT_EQ(Verzeichnisbild::Unterschiede(Verzeichnisbild("daten"), daten), "");
                const auto ausgabe = Verzeichnisbild("ausgabe").Dateien();
                if (lauf.status == 0) {
                    EXPECT_EQ(art, IoFaults::Op::Sync);
                    EXPECT_EQ(ausgabe, (std::map<std::string, std::string>{{export_.datei, neu}}));
                    continue;
                }
                EXPECT_THAT(lauf.meldung,
                            ::testing::HasSubstr(CodePage::Cp1252ToUtf8(Grund(fehler))));
                using Bild = std::map<std::string, std::string>;
                const Bild erwartet = mitAltem ? Bild{{export_.datei, kAlterExport}} : Bild{};
                EXPECT_EQ(ausgabe, erwartet);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(JedesFormat, ExportSchreibfehler, ::testing::ValuesIn(Exporte()),
                         [](const ::testing::TestParamInfo<Export>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
