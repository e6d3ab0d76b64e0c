#include "Datenstand.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>

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

namespace {

std::string Zahl(float wert) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(wert));
    return text;
}

std::string S(std::int64_t wert) {
    return std::to_string(wert);
}

}  // namespace

Datenstand::Datenstand(Datenbestand& bestand) {
    Beschreiben(bestand);
    Pruefen(bestand);
}

std::string Datenstand::Text() const {
    std::string text;
    for (const std::string& zeile : zeilen_) {
        text += zeile + "\n";
    }
    return text;
}

std::vector<std::string> Datenstand::ProblemeAusser(const std::string& art) const {
    std::vector<std::string> rest;
    for (const std::string& p : probleme_) {
        if (p.rfind(art, 0) != 0) {
            rest.push_back(p);
        }
    }
    return rest;
}

void Datenstand::Beschreiben(Datenbestand& bestand) {
    Verwaltungen& v = bestand.GetVerwaltungen();
    const KundenVerwaltung& kv = *v.kundenVerwaltung;
    for (unsigned i = 0; i < kv.Count(); ++i) {
        const Kunde& k = kv[i];
        zeilen_.push_back("Kunde " + S(k.nummer) + "|" + FixedText::Get(k.Anrede) + "|" +
                          FixedText::Get(k.Vorname) + "|" + FixedText::Get(k.Nachname) + "|" +
                          FixedText::Get(k.Strasse) + "|" + S(k.PLZ) + "|" + FixedText::Get(k.Ort) +
                          "|" + FixedText::Get(k.bemerkung) + "|" + S(k.preisliste) + "|" +
                          S(k.kundenGruppe) + "|" + S(k.erfasstDatum) + "|" + S(k.erfasstZeit) +
                          "|" + S(k.letzteRechnung));
    }
    const WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    for (unsigned i = 0; i < wv.Count(); ++i) {
        const Wein& w = wv[i];
        zeilen_.push_back("Wein " + S(w.nummer) + "|" + FixedText::Get(w.name) + "|" +
                          FixedText::Get(w.bezeichnung) + "|" + FixedText::Get(w.fuellmenge) + "|" +
                          S(w.gewicht) + "|" + S(w.bestand) + "|" + S(w.verborgen) + "|" +
                          S(w.datum) + "|" + S(w.zeit));
    }
    PreisVerwaltung& pv = *v.preisVerwaltung;
    for (int l = 0; l < pv.count; ++l) {
        const PreisVerwaltung::Preisliste* liste = pv.GetPreisliste(l);
        zeilen_.push_back("Preisliste " + S(l) + "|" + liste->name);
        for (unsigned i = 0; i < liste->preise.Count(); ++i) {
            const Preis& p = liste->preise[i];
            zeilen_.push_back("Preis " + S(l) + "|" + S(p.weinNummer) + "|" + Zahl(p.preisDM) +
                              "|" + Zahl(p.preisEuro));
        }
    }
    const GeoGruppe& gruppen = *v.geoGruppe;
    for (unsigned i = 0; i < gruppen.Count(); ++i) {
        zeilen_.push_back("Gruppe " + S(i) + "|" + gruppen.Name(i));
    }
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    for (std::int32_t n = 0; n < rv.Gespeichert(); ++n) {
        const Rechnung* r = rv.GetRechnung(n);
        if (r == nullptr) {
            zeilen_.push_back("Rechnung " + S(n) + " fehlt");
            continue;
        }
        zeilen_.push_back(
            "Rechnung " + S(r->id) + "|" + S(r->nummer) + "|" + S(r->kunde) + "|" + S(r->steigen) +
            "|" + S(r->kartons) + "|" + S(r->datum) + "|" + Zahl(r->betragEingegangen) + "|" +
            S(r->beglichen) + "|" + S(r->erfasstDatum) + "|" + S(r->erfasstZeit) + "|" +
            FixedText::Get(r->bemerkung) + "|" + S(r->postenKopf) + "|" + S(r->vorigeRechnung));
    }
    const PostenVerwaltung& posten = *v.postenVerwaltung;
    for (std::uint32_t i = 0; i < posten.Anzahl(); ++i) {
        const PostenVerwaltung::Posten& p = posten[i];
        zeilen_.push_back("Posten " + S(i) + "|" + S(p.weinNummer) + "|" + S(p.rechnung) + "|" +
                          Zahl(p.preisDM) + "|" + Zahl(p.preisEuro) + "|" + S(p.menge) + "|" +
                          S(p.naechster));
    }
    if (MerkzettelVerwaltung* mv = bestand.GetMerkzettelVerwaltung()) {
        for (unsigned i = 0; i < mv->Count(); ++i) {
            const auto& notiz = (*mv)[i];
            // Empty notes go at every orderly exit.
            if (!FixedText::IsEmpty(notiz.text)) {
                zeilen_.push_back("Merkzettel " + FixedText::Get(notiz.text) + "|" + S(notiz.x) +
                                  "|" + S(notiz.y));
            }
        }
    }
    const MahnungsVerwaltung& mahnungen = bestand.GetMahnungen();
    for (unsigned i = 0; i < mahnungen.Count(); ++i) {
        const MahnungsVerwaltung::Mahnstand& m = mahnungen[i];
        zeilen_.push_back("Mahnstand " + S(m.rechnung) + "|" + S(m.stufe) + "|" + S(m.datum));
    }
    const Customizer& c = *v.customizer;
    std::string bild;
    for (unsigned char b : c.Image()) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", b);
        bild += hex;
    }
    zeilen_.push_back("Einstellungen " + bild);
}

void Datenstand::Pruefen(Datenbestand& bestand) {
    Verwaltungen& v = bestand.GetVerwaltungen();
    const KundenVerwaltung& kv = *v.kundenVerwaltung;
    RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
    const PostenVerwaltung& posten = *v.postenVerwaltung;
    const std::int32_t gespeichert = rv.Gespeichert();

    std::vector<Rechnung> rechnungen;
    for (std::int32_t n = 0; n < gespeichert; ++n) {
        const Rechnung* r = rv.GetRechnung(n);
        rechnungen.push_back(r != nullptr ? *r : Rechnung());
        if (r == nullptr) {
            probleme_.push_back("Rechnung an Position " + S(n) + " nicht lesbar");
        }
    }

    std::set<std::int32_t> nummern;
    for (unsigned i = 0; i < kv.Count(); ++i) {
        const Kunde& k = kv[i];
        if (!nummern.insert(k.nummer).second) {
            probleme_.push_back("Kundennummer doppelt: " + S(k.nummer));
        }
        std::int32_t vorher = gespeichert;
        for (std::int32_t id = k.letzteRechnung; id != -1;) {
            if (id < 0 || id >= vorher) {
                probleme_.push_back("Kundenkette " + S(k.nummer) + " verweist auf Rechnung " +
                                    S(id) + " (gespeichert: " + S(gespeichert) + ")");
                break;
            }
            const Rechnung& r = rechnungen[static_cast<std::size_t>(id)];
            if (r.kunde != k.nummer) {
                probleme_.push_back("Kundenkette " + S(k.nummer) + " führt über Rechnung " + S(id) +
                                    " des Kunden " + S(r.kunde));
                break;
            }
            vorher = id;
            id = r.vorigeRechnung;
        }
    }
    // Every stored invoice of a customer that exists is on its chain.
    std::map<std::int32_t, std::set<std::int32_t>> inKette;
    for (unsigned i = 0; i < kv.Count(); ++i) {
        const Kunde& k = kv[i];
        std::int32_t vorher = gespeichert;
        for (std::int32_t id = k.letzteRechnung; id >= 0 && id < vorher;) {
            const Rechnung& r = rechnungen[static_cast<std::size_t>(id)];
            if (r.kunde != k.nummer) {
                break;
            }
            inKette[k.nummer].insert(id);
            vorher = id;
            id = r.vorigeRechnung;
        }
    }
    for (const Rechnung& r : rechnungen) {
        if (nummern.count(r.kunde) != 0 && inKette[r.kunde].count(r.id) == 0) {
            probleme_.push_back("Rechnung " + S(r.id) + " fehlt in der Kette des Kunden " +
                                S(r.kunde));
        }
    }

    std::set<std::int32_t> weine;
    const WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
    for (unsigned i = 0; i < wv.Count(); ++i) {
        if (!weine.insert(wv[i].nummer).second) {
            probleme_.push_back("Weinnummer doppelt: " + S(wv[i].nummer));
        }
    }
    PreisVerwaltung& pv = *v.preisVerwaltung;
    for (int l = 0; l < pv.count; ++l) {
        std::set<std::int32_t> mitPreis;
        const auto& preise = pv.GetPreisliste(l)->preise;
        for (unsigned i = 0; i < preise.Count(); ++i) {
            if (!mitPreis.insert(preise[i].weinNummer).second) {
                probleme_.push_back("Preis doppelt in Liste " + S(l) + ": Wein " +
                                    S(preise[i].weinNummer));
            }
        }
    }

    const auto anzahl = static_cast<std::int32_t>(posten.Anzahl());
    std::vector<bool> erreicht(static_cast<std::size_t>(anzahl), false);
    for (const Rechnung& r : rechnungen) {
        std::int32_t vorher = anzahl;
        for (std::int32_t i = r.postenKopf; i != -1;) {
            if (i < 0 || i >= vorher) {
                probleme_.push_back("Postenkette der Rechnung " + S(r.id) +
                                    " verweist auf Posten " + S(i));
                break;
            }
            const PostenVerwaltung::Posten& p = posten[static_cast<std::uint32_t>(i)];
            if (p.rechnung != r.id && p.rechnung != PostenVerwaltung::kGeloescht) {
                probleme_.push_back("Postenkette der Rechnung " + S(r.id) + " führt über Posten " +
                                    S(i) + " der Rechnung " + S(p.rechnung));
                break;
            }
            erreicht[static_cast<std::size_t>(i)] = true;
            vorher = i;
            i = p.naechster;
        }
    }
    for (std::int32_t i = 0; i < anzahl; ++i) {
        const PostenVerwaltung::Posten& p = posten[static_cast<std::uint32_t>(i)];
        if (p.rechnung == PostenVerwaltung::kGeloescht || erreicht[static_cast<std::size_t>(i)]) {
            continue;
        }
        if (p.rechnung < 0 || p.rechnung >= gespeichert) {
            probleme_.push_back("verwaist: Posten " + S(i) + " der nie gespeicherten Rechnung " +
                                S(p.rechnung));
        } else {
            probleme_.push_back("verwaist: Posten " + S(i) + " der Rechnung " + S(p.rechnung) +
                                " ausserhalb ihrer Kette");
        }
    }
}
