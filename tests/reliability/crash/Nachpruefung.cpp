#include "Nachpruefung.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>

#include "Journal.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Verwaltungen.h"
#include "reliability/Datenstand.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"
#include "support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

std::string Feld(const std::string& wert, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = wert.find('|', start) + 1;
    }
    return wert.substr(start, wert.find('|', start) - start);
}

bool EndetMit(const std::string& text, const std::string& ende) {
    return text.size() >= ende.size() &&
           text.compare(text.size() - ende.size(), ende.size(), ende) == 0;
}

// What a whole step of an interrupted operation may leave besides its state
// before and after.
bool Zwischenstand(const Vorhaben& v, const std::string& schluessel, const std::string& wert) {
    const std::string& art = v.Art();
    if (art == "WeinNeu" && schluessel == Sollstand::W(v.Zahl(0))) {
        // Appended with a fresh wine's values; the data come with the sort.
        return wert == "|0";
    }
    if (art == "WeinNeu" && schluessel == Sollstand::S(v.Zahl(0))) {
        return wert == "0";
    }
    if (art == "PreisSetzen" && schluessel == Sollstand::P(v.Zahl(0), v.Zahl(1))) {
        // Appended without a price; the price comes with the flush.
        return wert == "0";
    }
    if (art == "MerkzettelNeu" && schluessel == "M " + v.Wort(0)) {
        return wert == "<< neuer Merkzettel >>";
    }
    if (art == "RechnungLoeschen" && schluessel.rfind("I " + v.Wort(0) + " ", 0) == 0) {
        // Items are returned one by one before the invoice is marked.
        return v.Zahl(1) != 0;
    }
    return false;
}

// The wines whose stock the operation may leave between two steps: a change
// of an existing item written, its wine's stock not yet. (A new item never
// leaves its stock off: the next start books back what no stored invoice
// leads to, where its bottles were taken.)
std::set<std::string> Bestaende(const Vorhaben& v, const Sollstand& vorher) {
    std::set<std::string> weine;
    const std::string& art = v.Art();
    if (art == "PostenSetzen" && vorher.werte.count(Sollstand::I(v.Zahl(0), v.Zahl(2))) != 0) {
        weine.insert(Sollstand::S(v.Zahl(2)));
    } else if (art == "RechnungLoeschen") {
        for (const std::string& s : vorher.Schluessel("I " + v.Wort(0) + " ")) {
            weine.insert("S" + s.substr(s.rfind(' ')));
        }
    }
    return weine;
}

bool NeueRechnung(const std::string& art) {
    return art == "RechnungNeu" || art == "RechnungEinPosten";
}

// The items a start must book back: those no stored invoice leads to.
int Verwaist(Datenbestand& bestand) {
    int anzahl = 0;
    const Datenstand stand(bestand);
    for (const std::string& p : stand.Probleme()) {
        anzahl += p.rfind("verwaist", 0) == 0 ? 1 : 0;
    }
    return anzahl;
}

// How many items the start's messages say it booked back; -1 for a message
// of another kind about them.
int Zurueckgebucht(const std::vector<std::string>& meldungen) {
    static const std::regex ihre(
        "^Beim letzten Programmende war eine neue Rechnung nicht "
        "gespeichert; ihre ([0-9]+) Posten wurden zurückgebucht\\.$");
    static const std::regex einer(
        "^Beim letzten Programmende war ein neuer Posten der Rechnung "
        "Nr\\. -?[0-9]+ nicht gespeichert; er wurde zurückgebucht\\.$");
    int anzahl = 0;
    for (const std::string& meldung : meldungen) {
        const std::string text = CodePage::Cp1252ToUtf8(meldung);
        std::smatch treffer;
        if (std::regex_match(text, treffer, ihre)) {
            anzahl += std::stoi(treffer[1]);
        } else if (std::regex_match(text, einer)) {
            anzahl += 1;
        } else if (text.find("zurückgebucht") != std::string::npos) {
            return -1;
        }
    }
    return anzahl;
}

}  // namespace

Nachpruefung::Nachpruefung(std::string journal, std::string cli)
    : journal_(std::move(journal)), cli_(std::move(cli)) {}

void Nachpruefung::Dateien(Ergebnis& e, bool nachDemStart) {
    static const std::map<std::string, std::size_t> saetze = {{"kunden.dat", 528},
                                                              {"weinliste.dat", 149},
                                                              {"merkzettel.dat", 308},
                                                              {"rechnungen.dat", 297},
                                                              {"rechnungsposten.dat", 22}};
    std::error_code egal;
    for (const auto& eintrag : fs::directory_iterator("daten", egal)) {
        const std::string name = eintrag.path().filename().string();
        if (EndetMit(name, ".tmp")) {
            if (nachDemStart) {
                e.probleme.push_back("temporäre Datei nach dem Start: " + name);
            } else {
                ++e.temporaereDateien;
            }
            continue;
        }
        const std::string bytes = ReadBytes(eintrag.path().string());
        std::size_t satz = 0;
        if (auto it = saetze.find(name); it != saetze.end()) {
            satz = it->second;
        } else if (EndetMit(name, ".wl")) {
            satz = 12;
        }
        if (satz != 0 && bytes.size() % satz != 0) {
            e.probleme.push_back(name + ": " + std::to_string(bytes.size()) +
                                 " Bytes, keine ganze Zahl von Sätzen");
        }
        if (name == "preferences.dat" && bytes.size() != 336) {
            e.probleme.push_back(name + ": " + std::to_string(bytes.size()) + " Bytes");
        }
        if (name == "logbuch.txt" && !bytes.empty() && !EndetMit(bytes, "\r\n")) {
            e.probleme.push_back("logbuch.txt endet mitten in einer Zeile");
        }
    }
}

Nachpruefung::Ergebnis Nachpruefung::Pruefen() {
    Ergebnis e;
    Sollstand soll;
    std::optional<Vorhaben> offen;
    const std::vector<std::string> zeilen = Journal::Lesen(journal_);
    if (zeilen.empty() || zeilen.front().rfind("B ", 0) == 0) {
        // No check before: the data of an empty directory, whose settings
        // are the defaults.
        soll.werte["E"] = "31";
    }
    for (const std::string& zeile : zeilen) {
        if (soll.Lesen(zeile)) {
            continue;
        }
        if (zeile.rfind("B ", 0) == 0) {
            offen = Vorhaben::Aus(zeile.substr(2));
        } else if (zeile.rfind("E ", 0) == 0 && offen) {
            soll.Anwenden(*offen);
            soll.logZeilen = std::stoi(zeile.substr(2));
            offen.reset();
            ++e.bestaetigt;
        }
    }
    e.unterbrochen = offen;

    Dateien(e, false);
    Sollstand ist;
    try {
        int verwaist = 0;
        {
            // As the kill left them, read only.
            KundenVerwaltung::maxNummer = 0;
            Datenbestand lesen("daten", Datenbestand::Beobachter{}, Zugriff::NurLesen);
            lesen.KundenEinlesen();
            lesen.MerkzettelOeffnen();
            verwaist = Verwaist(lesen);
        }
        KundenVerwaltung::maxNummer = 0;
        Datenbestand bestand("daten");
        bestand.KundenEinlesen();
        bestand.MerkzettelOeffnen();
        // The start books back what no stored invoice leads to, and says so.
        const int gebucht = Zurueckgebucht(bestand.Startmeldungen());
        e.zurueckgebucht += verwaist;
        if (gebucht != verwaist) {
            std::string meldungen;
            for (const std::string& m : bestand.Startmeldungen()) {
                meldungen += " | " + CodePage::Cp1252ToUtf8(m);
            }
            e.probleme.push_back(std::to_string(verwaist) +
                                 " Posten ohne Rechnung, der Start meldet " +
                                 std::to_string(gebucht) + ":" + meldungen);
        }
        ist = Sollstand::Ist(bestand, e.probleme);
        const Datenstand stand(bestand);
        for (const std::string& p : stand.Probleme()) {
            e.probleme.push_back(p);
        }
        const int listen = bestand.GetVerwaltungen().preisVerwaltung->count;
        for (int k = listen; k < 20; ++k) {
            const std::string datei = std::to_string(k) + ".wl";
            if (FileExists("daten/" + datei)) {
                if (FileSize("daten/" + datei) != 0) {
                    e.probleme.push_back(datei + " ohne Namen ist nicht leer");
                }
                ist.streuner.insert(datei);
            }
        }
    } catch (const MessageException& fehler) {
        e.probleme.push_back("Die Daten lassen sich nicht laden: " + fehler.Text());
        return e;
    }
    // The orderly exit of that start is over; nothing temporary may be left.
    Dateien(e, true);

    Vergleichen(e, soll, ist);
    if (!cli_.empty()) {
        Cli(e, ist);
    }
    if (e.probleme.empty()) {
        Journal::Ersetzen(journal_, ist.Zeilen());
    }
    return e;
}

void Nachpruefung::Vergleichen(Ergebnis& e, const Sollstand& vorher, const Sollstand& ist) {
    Sollstand nachher = vorher;
    std::set<std::string> bestaende;
    if (e.unterbrochen) {
        nachher.Anwenden(*e.unterbrochen);
        bestaende = Bestaende(*e.unterbrochen, vorher);
    }
    std::set<std::string> schluessel;
    for (const Sollstand* s : std::vector<const Sollstand*>{&vorher, &nachher, &ist}) {
        for (const auto& [k, w] : s->werte) {
            schluessel.insert(k);
        }
    }
    bool alles = true;
    bool nichts = true;
    for (const std::string& k : schluessel) {
        const bool inVorher = vorher.werte.count(k) != 0;
        const bool inNachher = nachher.werte.count(k) != 0;
        const bool inIst = ist.werte.count(k) != 0;
        const std::string wv = vorher.Wert(k);
        const std::string wn = nachher.Wert(k);
        const std::string wi = ist.Wert(k);
        const bool wieVorher = inIst == inVorher && wi == wv;
        const bool wieNachher = inIst == inNachher && wi == wn;
        if (bestaende.count(k) != 0) {
            if (!wieVorher && !wieNachher) {
                ++e.bestandAbweichungen;
            }
            continue;
        }
        if (wieVorher && wieNachher) {
            continue;
        }
        alles = alles && wieNachher;
        nichts = nichts && wieVorher;
        if (!wieVorher && !wieNachher &&
            !(e.unterbrochen && inIst && Zwischenstand(*e.unterbrochen, k, wi))) {
            e.probleme.push_back(k + ": gefunden \"" + (inIst ? wi : "(fehlt)") +
                                 "\", erwartet \"" + (inVorher ? wv : "(fehlt)") +
                                 (wv == wn && inVorher == inNachher
                                      ? std::string()
                                      : "\" oder \"" + (inNachher ? wn : "(fehlt)")) +
                                 "\"");
        }
    }
    if (e.unterbrochen) {
        e.wirkung = alles ? "ja" : nichts ? "nein" : "teilweise";
        // A new invoice reaches the file only after all of its items.
        const std::string& art = e.unterbrochen->Art();
        if (NeueRechnung(art) || art == "RechnungAbleiten") {
            const std::string id = e.unterbrochen->Wort(NeueRechnung(art) ? 0 : 1);
            if (ist.werte.count("R " + id) != 0) {
                for (const std::string& k : nachher.Schluessel("I " + id + " ")) {
                    if (ist.Wert(k) != nachher.Wert(k)) {
                        e.probleme.push_back("gespeicherte Rechnung " + id + " ohne ihren " + k);
                    }
                }
            }
        }
        if (art == "RechnungLoeschen" && e.unterbrochen->Zahl(1) != 0 &&
            Feld(ist.Wert("R " + e.unterbrochen->Wort(0)), 1) == "1" &&
            !ist.Schluessel("I " + e.unterbrochen->Wort(0) + " ").empty()) {
            e.probleme.push_back("Rechnung " + e.unterbrochen->Wort(0) +
                                 " gelöscht, ihre Posten nicht");
        }
    }

    // Items no chain reaches: none after a start, which books them back.
    for (std::int32_t i : ist.waisen) {
        e.probleme.push_back("Posten " + std::to_string(i) + " gehört zu keiner Kette");
    }
    for (const std::string& datei : ist.streuner) {
        if (vorher.streuner.count(datei) == 0 &&
            !(e.unterbrochen && e.unterbrochen->Art() == "PreislisteNeu" &&
              datei == e.unterbrochen->Wort(0) + ".wl")) {
            e.probleme.push_back(datei + " gehört zu keiner Preisliste");
        }
    }

    // The log book: every line of a confirmed operation is there; an
    // interrupted one may have written its lines or not.
    if (ist.logZeilen < vorher.logZeilen ||
        (!e.unterbrochen && ist.logZeilen != vorher.logZeilen)) {
        e.probleme.push_back("logbuch.txt hat " + std::to_string(ist.logZeilen) +
                             " Zeilen, erwartet " + std::to_string(vorher.logZeilen));
    }
}

void Nachpruefung::Cli(Ergebnis& e, const Sollstand& ist) {
    int rohr[2];
    if (::pipe(rohr) != 0) {
        e.probleme.push_back("pipe");
        return;
    }
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::dup2(rohr[1], STDOUT_FILENO);
        ::close(rohr[0]);
        ::close(rohr[1]);
        ::execl(cli_.c_str(), cli_.c_str(), "pruefen", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(rohr[1]);
    std::string ausgabe;
    std::array<char, 4096> puffer;
    for (ssize_t n; (n = ::read(rohr[0], puffer.data(), puffer.size())) > 0;) {
        ausgabe.append(puffer.data(), static_cast<std::size_t>(n));
    }
    ::close(rohr[0]);
    int status = 0;
    ::waitpid(kind, &status, 0);
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1)) {
        e.probleme.push_back("rebkontor-cli pruefen endete mit Status " + std::to_string(status));
        return;
    }
    std::vector<std::string> zeilen;
    for (std::size_t start = 0; start < ausgabe.size();) {
        const std::size_t ende = ausgabe.find('\n', start);
        zeilen.push_back(ausgabe.substr(start, ende - start));
        start = ende == std::string::npos ? ausgabe.size() : ende + 1;
    }
    if (!zeilen.empty()) {
        zeilen.pop_back();  // the summary
    }
    for (const std::string& zeile : zeilen) {
        ++e.cliMeldungen;
        // The invoices of a customer the workload deleted.
        static const std::regex fremd(" zum Kunden ([0-9]+), den es in ");
        std::smatch treffer;
        const bool geloeschterKunde = std::regex_search(zeile, treffer, fremd) &&
                                      ist.werte.count(Sollstand::K(std::stoi(treffer[1]))) == 0;
        bool streuner = false;
        for (const std::string& datei : ist.streuner) {
            streuner = streuner || (zeile.find(datei) != std::string::npos &&
                                    zeile.find("gehört zu keiner Preisliste") != std::string::npos);
        }
        if (!geloeschterKunde && !streuner) {
            e.probleme.push_back("rebkontor-cli pruefen: " + zeile);
        }
    }
}
