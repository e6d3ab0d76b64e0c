#include "Sollstand.h"

#include <cmath>

#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"

namespace {

std::string Feld(const std::string& wert, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = wert.find('|', start) + 1;
    }
    return wert.substr(start, wert.find('|', start) - start);
}

std::string Cent(float wert) {
    return std::to_string(std::lround(static_cast<double>(wert) * 100.0));
}

}  // namespace

std::string Sollstand::Wert(const std::string& schluessel) const {
    auto it = werte.find(schluessel);
    return it == werte.end() ? std::string() : it->second;
}

std::vector<std::string> Sollstand::Schluessel(const std::string& praefix) const {
    std::vector<std::string> gefunden;
    for (auto it = werte.lower_bound(praefix);
         it != werte.end() && it->first.rfind(praefix, 0) == 0; ++it) {
        gefunden.push_back(it->first);
    }
    return gefunden;
}

void Sollstand::Anwenden(const Vorhaben& v) {
    const std::string& art = v.Art();
    if (art == "KundeNeu") {
        werte[K(v.Zahl(0))] = v.Wort(1) + "|" + v.Wort(2);
    } else if (art == "KundeAendern") {
        werte[K(v.Zahl(0))] = Feld(Wert(K(v.Zahl(0))), 0) + "|" + v.Wort(1);
    } else if (art == "KundeLoeschen") {
        werte.erase(K(v.Zahl(0)));
    } else if (art == "WeinNeu") {
        werte[W(v.Zahl(0))] = v.Wort(1) + "|0";
        werte[S(v.Zahl(0))] = v.Wort(2);
    } else if (art == "WeinAendern") {
        werte[W(v.Zahl(0))] = v.Wort(1) + "|" + Feld(Wert(W(v.Zahl(0))), 1);
    } else if (art == "WeinVerbergen") {
        werte[W(v.Zahl(0))] = Feld(Wert(W(v.Zahl(0))), 0) + "|1";
    } else if (art == "PreisSetzen") {
        werte[P(v.Zahl(0), v.Zahl(1))] = v.Wort(2);
    } else if (art == "RechnungNeu" || art == "RechnungEinPosten") {
        // id, items before, customer, then wine and quantity pairs
        werte[R(v.Zahl(0))] = v.Wort(2) + "|0|0|0";
        for (std::size_t i = 3; i + 1 < v.Anzahl(); i += 2) {
            werte[I(v.Zahl(0), v.Zahl(i))] = v.Wort(i + 1);
        }
    } else if (art == "PostenSetzen") {
        // id, items before, wine, quantity
        if (v.Zahl(3) == 0) {
            werte.erase(I(v.Zahl(0), v.Zahl(2)));
        } else {
            werte[I(v.Zahl(0), v.Zahl(2))] = v.Wort(3);
        }
    } else if (art == "RechnungAendern") {
        const std::string alt = Wert(R(v.Zahl(0)));
        werte[R(v.Zahl(0))] = Feld(alt, 0) + "|" + Feld(alt, 1) + "|" + v.Wort(1) + "|" + v.Wort(2);
    } else if (art == "RechnungLoeschen") {
        const std::string alt = Wert(R(v.Zahl(0)));
        werte[R(v.Zahl(0))] = Feld(alt, 0) + "|1|" + Feld(alt, 2) + "|" + Feld(alt, 3);
        if (v.Zahl(1) != 0) {
            for (const std::string& s : Schluessel("I " + v.Wort(0) + " ")) {
                werte.erase(s);
            }
        }
    } else if (art == "RechnungAbleiten") {
        // source, new id, items before
        werte[R(v.Zahl(1))] = Feld(Wert(R(v.Zahl(0))), 0) + "|0|0|0";
        for (const std::string& s : Schluessel("I " + v.Wort(0) + " ")) {
            werte["I " + v.Wort(1) + s.substr(s.rfind(' '))] = werte[s];
        }
    } else if (art == "GruppeNeu") {
        werte["G " + v.Wort(0)] = v.Wort(1);
    } else if (art == "PreislisteNeu") {
        werte["L " + v.Wort(0)] = v.Wort(1);
        streuner.erase(v.Wort(0) + ".wl");
    } else if (art == "MerkzettelNeu") {
        werte["M " + v.Wort(0)] = v.Wort(1);
    } else if (art == "MahnstufeSetzen") {
        werte["Mahn " + v.Wort(0)] = v.Wort(1);
    } else if (art == "EinstellungenSpeichern") {
        werte["E"] = v.Wort(0);
    }
}

Sollstand Sollstand::Ist(Datenbestand& bestand, std::vector<std::string>& probleme) {
    Sollstand ist;
    Verwaltungen& v = bestand.GetVerwaltungen();
    const KundenVerwaltung& kv = *v.kundenVerwaltung;
    for (unsigned i = 0; i < kv.Count(); ++i) {
        ist.werte[K(kv[i].nummer)] =
            FixedText::Get(kv[i].Nachname) + "|" + FixedText::Get(kv[i].Ort);
    }
    const PostenVerwaltung& posten = *v.postenVerwaltung;
    PreisVerwaltung& pv = *v.preisVerwaltung;
    for (int l = 0; l < pv.count; ++l) {
        const PreisVerwaltung::Preisliste* liste = pv.GetPreisliste(l);
        ist.werte["L " + std::to_string(l)] = liste->name;
        for (unsigned i = 0; i < liste->preise.Count(); ++i) {
            ist.werte[P(l, liste->preise[i].weinNummer)] = Cent(liste->preise[i].preisDM);
        }
    }
    const MahnungsVerwaltung& mahnungen = bestand.GetMahnungen();
    for (unsigned i = 0; i < mahnungen.Count(); ++i) {
        const std::int32_t id = mahnungen[i].rechnung;
        ist.werte["Mahn " + std::to_string(id)] = std::to_string(mahnungen.Stufe(id));
    }
    const GeoGruppe& gruppen = *v.geoGruppe;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        ist.werte["G " + std::to_string(i)] = gruppen.Name(i);
    }

    // The bottles of the live items of the stored invoices, by wine.
    std::map<std::int32_t, std::int64_t> verkauft;
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    const auto anzahl = static_cast<std::int32_t>(posten.Anzahl());
    std::vector<bool> erreicht(static_cast<std::size_t>(anzahl), false);
    for (std::int32_t n = 0; n < rv.Gespeichert(); ++n) {
        const Rechnung* r = rv.GetRechnung(n);
        if (r == nullptr) {
            probleme.push_back("Rechnung an Position " + std::to_string(n) + " hat nicht die Id " +
                               std::to_string(n));
            continue;
        }
        ist.werte[R(n)] = std::to_string(r->kunde) + "|" + (r->IstGeloescht() ? "1" : "0") + "|" +
                          std::to_string(r->beglichen) + "|" + Cent(r->betragEingegangen);
        std::int32_t vorher = anzahl;
        for (std::int32_t i = r->postenKopf; i >= 0 && i < vorher;) {
            const PostenVerwaltung::Posten& p = posten[static_cast<std::uint32_t>(i)];
            erreicht[static_cast<std::size_t>(i)] = true;
            if (p.rechnung == n) {
                verkauft[p.weinNummer] += p.menge;
                if (!ist.werte.emplace(I(n, p.weinNummer), std::to_string(p.menge)).second) {
                    probleme.push_back("Rechnung " + std::to_string(n) +
                                       " hat zwei lebende Posten des Weins " +
                                       std::to_string(p.weinNummer));
                }
            }
            vorher = i;
            i = p.naechster;
        }
    }
    const WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    for (unsigned i = 0; i < wv.Count(); ++i) {
        const Wein& w = wv[i];
        ist.werte[W(w.nummer)] = FixedText::Get(w.name) + "|" + std::to_string(w.verborgen);
        ist.werte[S(w.nummer)] = std::to_string(w.bestand + verkauft[w.nummer]);
    }
    for (std::int32_t i = 0; i < anzahl; ++i) {
        if (!erreicht[static_cast<std::size_t>(i)] &&
            posten[static_cast<std::uint32_t>(i)].rechnung != PostenVerwaltung::kGeloescht) {
            ist.waisen.insert(i);
        }
    }
    if (MerkzettelVerwaltung* mv = bestand.GetMerkzettelVerwaltung()) {
        for (unsigned i = 0; i < mv->Count(); ++i) {
            ist.werte["M " + std::to_string(i)] = FixedText::Get((*mv)[i].text);
        }
    }
    ist.werte["E"] = std::to_string(v.customizer->vordatierungTage);
    if (FileExists("daten/logbuch.txt")) {
        const std::string log = ReadBytes("daten/logbuch.txt");
        for (std::size_t pos = log.find("\r\n"); pos != std::string::npos;
             pos = log.find("\r\n", pos + 2)) {
            ++ist.logZeilen;
        }
    }
    return ist;
}

std::vector<std::string> Sollstand::Zeilen() const {
    std::vector<std::string> zeilen;
    for (const auto& [schluessel, wert] : werte) {
        zeilen.push_back("= " + schluessel + "\t" + wert);
    }
    for (std::int32_t i : waisen) {
        zeilen.push_back("O " + std::to_string(i));
    }
    for (const std::string& datei : streuner) {
        zeilen.push_back("X " + datei);
    }
    zeilen.push_back("Z " + std::to_string(logZeilen));
    return zeilen;
}

bool Sollstand::Lesen(const std::string& zeile) {
    if (zeile.rfind("= ", 0) == 0) {
        const std::size_t tab = zeile.find('\t');
        werte[zeile.substr(2, tab - 2)] = zeile.substr(tab + 1);
        return true;
    }
    if (zeile.rfind("O ", 0) == 0) {
        waisen.insert(std::stoi(zeile.substr(2)));
        return true;
    }
    if (zeile.rfind("X ", 0) == 0) {
        streuner.insert(zeile.substr(2));
        return true;
    }
    if (zeile.rfind("Z ", 0) == 0) {
        logZeilen = std::stoi(zeile.substr(2));
        return true;
    }
    return false;
}
