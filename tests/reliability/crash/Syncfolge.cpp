#include "Syncfolge.h"

#include <algorithm>
#include <fstream>
#include <set>

namespace {

// "daten/kunden.dat" from any spelling of the path; empty outside the folder.
std::string Schluessel(const std::string& pfad) {
    // The folder itself first: a path above it may hold "daten/" too.
    if (pfad == "daten" || (pfad.size() >= 6 && pfad.compare(pfad.size() - 6, 6, "/daten") == 0)) {
        return "daten";
    }
    const std::size_t daten = pfad.rfind("daten/");
    if (daten != std::string::npos && (daten == 0 || pfad[daten - 1] == '/')) {
        return pfad.substr(daten);
    }
    return "";
}

bool WirdReferenziert(const std::string& datei) {
    return datei == "daten/rechnungsposten.dat" || datei == "daten/rechnungen.dat" ||
           datei == "daten/logbuch.txt";
}

bool Referenziert(const std::string& datei) {
    return datei == "daten/weinliste.dat" || datei == "daten/kunden.dat" ||
           datei == "daten/weinliste.dat.tmp" || datei == "daten/kunden.dat.tmp";
}

// The path strace -y shows for the call's first descriptor.
std::string Deskriptorpfad(const std::string& zeile, std::size_t klammer) {
    const std::size_t auf = zeile.find('<', klammer);
    const std::size_t zu = zeile.find(">,", auf);
    const std::size_t zuEnde = zeile.find(">)", auf);
    const std::size_t ende = zu < zuEnde ? zu : zuEnde;
    if (auf == std::string::npos || ende == std::string::npos) {
        return "";
    }
    return zeile.substr(auf + 1, ende - auf - 1);
}

// The last quoted argument: the target of a rename.
std::string LetzterText(const std::string& zeile) {
    const std::size_t zu = zeile.rfind("\", ");
    const std::size_t zuEnde = zeile.rfind("\")");
    std::size_t ende = zu == std::string::npos       ? zuEnde
                       : zuEnde == std::string::npos ? zu
                                                     : std::max(zu, zuEnde);
    if (ende == std::string::npos || ende == 0) {
        return "";
    }
    const std::size_t auf = zeile.rfind('"', ende - 1);
    return auf == std::string::npos ? "" : zeile.substr(auf + 1, ende - auf - 1);
}

}  // namespace

Syncfolge::Ergebnis Syncfolge::Pruefen(const std::string& spur) {
    Ergebnis e;
    std::ifstream in(spur);
    std::string zeile;
    std::set<std::string> ungesichert;
    bool ordnerOffen = false;
    std::string vorgang = "(start)";
    auto problem = [&](const std::string& text) {
        if (e.probleme.size() < 20) {
            e.probleme.push_back(vorgang + ": " + text);
        }
    };
    while (std::getline(in, zeile)) {
        const std::size_t klammer = zeile.find('(');
        const std::size_t start = zeile.find_first_not_of("0123456789 ");
        if (klammer == std::string::npos || start >= klammer) {
            continue;
        }
        // Failed calls changed nothing.
        if (zeile.find(") = -1") != std::string::npos) {
            continue;
        }
        const std::string aufruf = zeile.substr(start, klammer - start);
        if (aufruf == "write" || aufruf == "pwrite64" || aufruf == "ftruncate") {
            const std::string pfad = Deskriptorpfad(zeile, klammer);
            if (pfad.size() >= 8 && pfad.compare(pfad.size() - 8, 8, "/journal") == 0) {
                const std::size_t text = zeile.find(", \"", klammer);
                if (text != std::string::npos && zeile.compare(text + 3, 2, "B ") == 0) {
                    const std::size_t bis = zeile.find('"', text + 3);
                    vorgang = zeile.substr(text + 3, bis - text - 3);
                } else if (text != std::string::npos && zeile.compare(text + 3, 2, "E ") == 0) {
                    ++e.bestaetigt;
                    for (const std::string& datei : ungesichert) {
                        problem(datei + " not synced when the operation was confirmed");
                    }
                    if (ordnerOffen) {
                        problem("a rename in daten not synced when the operation was confirmed");
                    }
                }
                continue;
            }
            const std::string datei = Schluessel(pfad);
            if (datei.empty()) {
                continue;
            }
            ++e.schreibvorgaenge;
            if (Referenziert(datei)) {
                for (const std::string& offen : ungesichert) {
                    if (WirdReferenziert(offen)) {
                        problem(datei + " written while " + offen + " was not synced");
                    }
                }
            }
            ungesichert.insert(datei);
        } else if (aufruf == "fsync" || aufruf == "fdatasync") {
            const std::string datei = Schluessel(Deskriptorpfad(zeile, klammer));
            if (datei.empty()) {
                continue;
            }
            ++e.syncs;
            if (datei == "daten") {
                ordnerOffen = false;
            }
            ungesichert.erase(datei);
        } else if (aufruf == "rename" || aufruf == "renameat" || aufruf == "renameat2") {
            const std::string ziel = Schluessel(LetzterText(zeile));
            if (ziel.empty()) {
                continue;
            }
            if (Referenziert(ziel)) {
                for (const std::string& offen : ungesichert) {
                    if (WirdReferenziert(offen)) {
                        problem(ziel + " replaced while " + offen + " was not synced");
                    }
                }
            }
            ordnerOffen = true;
        }
    }
    return e;
}
