#include "documents/Auswertung.h"

#include <algorithm>
#include <unordered_map>

#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Feldtabelle.h"
#include "storage/FixedText.h"

namespace {

// Dates an invoice can really bear; the day number of 1 January 1901 marks
// an invoice not yet dated, and a damaged record may hold anything.
bool Gueltig(Datum tag) {
    // Compared as day numbers: every invoice is asked, and the calendar
    // date of a day number costs a few divisions.
    static const std::uint32_t erster = Datum(1, 1, 1976).Julian();
    static const std::uint32_t letzter = Datum(31, 12, 9999).Julian();
    return tag.Julian() >= erster && tag.Julian() <= letzter;
}

int Monatsnummer(Datum tag) {
    return tag.Year() * 12 + tag.Month() - 1;
}

std::string Getrimmt(const std::string& text) {
    const std::size_t anfang = text.find_first_not_of(' ');
    if (anfang == std::string::npos) {
        return {};
    }
    return text.substr(anfang, text.find_last_not_of(' ') - anfang + 1);
}

const char* const kMonatsnamen[] = {"Januar",    "Februar", "März",     "April",
                                    "Mai",       "Juni",    "Juli",     "August",
                                    "September", "Oktober", "November", "Dezember"};

}  // namespace

Datum Auswertung::Vorjahr(Datum tag) {
    if (!tag.IsValid()) {
        return tag;
    }
    const int monat = tag.Month();
    const int jahr = tag.Year() - 1;
    return Datum(std::min(tag.Day(), Datum::DaysInMonth(monat, jahr)), monat, jahr);
}

double Auswertung::Monate(Datum von, Datum bis) {
    if (!von.IsValid() || !bis.IsValid() || bis.Julian() < von.Julian()) {
        return 0;
    }
    double monate = 0;
    for (int m = Monatsnummer(von); m <= Monatsnummer(bis); ++m) {
        const int jahr = m / 12;
        const int monat = m % 12 + 1;
        const int tage = Datum::DaysInMonth(monat, jahr);
        const std::uint32_t erster = Datum(1, monat, jahr).Julian();
        const std::uint32_t letzter = erster + static_cast<std::uint32_t>(tage) - 1;
        const std::uint32_t anfang = std::max(erster, von.Julian());
        const std::uint32_t ende = std::min(letzter, bis.Julian());
        monate += static_cast<double>(ende - anfang + 1) / tage;
    }
    return monate;
}

Auswertung Auswertung::Berechnen(Verwaltungen& v, Datum von, Datum bis) {
    Auswertung a;
    a.von = von;
    a.bis = bis;
    const Customizer* c = v.customizer;
    a.mwstEnthalten = c != nullptr && c->mwstEnthalten != 0;
    a.waehrung = c != nullptr ? FixedText::Get(c->waehrung) : std::string();
    if (a.waehrung.empty()) {
        a.waehrung = c != nullptr && c->preiseInEuro != 0 ? "EUR" : "DM";
    }
    if (!Gueltig(von) || !Gueltig(bis) || bis.Julian() < von.Julian()) {
        return a;
    }
    a.monateImZeitraum = Monate(von, bis);

    const int ersterMonat = Monatsnummer(von);
    for (int m = ersterMonat; m <= Monatsnummer(bis); ++m) {
        Monat monat;
        monat.jahr = m / 12;
        monat.monat = m % 12 + 1;
        a.monate.push_back(monat);
    }
    const std::uint32_t vorjahrVon = Vorjahr(von).Julian();
    const std::uint32_t vorjahrBis = Vorjahr(bis).Julian();
    const auto imZeitraum = [&](std::uint32_t tag) {
        return tag >= von.Julian() && tag <= bis.Julian();
    };
    const auto imVorjahr = [&](std::uint32_t tag) {
        return tag >= vorjahrVon && tag <= vorjahrBis;
    };

    std::unordered_map<std::int32_t, Wein> weine;
    // The customers of the period, by number: where each stands in a.kunden.
    std::unordered_map<std::int32_t, std::size_t> kunden;
    if (v.rechnungsVerwaltung != nullptr) {
        // Every invoice that is not deleted: the date an invoice counts by
        // may lie far from the day it was captured, so no range of either
        // narrows the search. Of each record only the fields the amounts
        // and the date read are taken, into one buffer.
        const RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
        Rechnung r;
        r.SetVerwaltungen(rv.GetVerwaltungen());
        // The scan waits on memory, not on arithmetic: the records a few
        // ahead are asked for while this one is looked at.
        constexpr std::int32_t kVoraus = 16;
        // The fields read of every record lie within these bytes.
        constexpr std::size_t kFelderAnfang = Rechnung::kFelder.Offset(&Rechnung::kartons);
        constexpr std::size_t kFelderEnde = Rechnung::kFelder.Offset(&Rechnung::erfasstZeit) - 1;
        for (std::int32_t n = 0; n < rv.Gespeichert(); ++n) {
            if (n + kVoraus < rv.Gespeichert()) {
                const char* voraus = rv.Rohsatz(n + kVoraus).data();
                __builtin_prefetch(voraus + kFelderAnfang);
                __builtin_prefetch(voraus + kFelderEnde);
            }
            const std::string_view satz = rv.Rohsatz(n);
            if (Feldwert<&Rechnung::kartons>(satz) == Rechnung::kGeloescht) {
                continue;
            }
            // The date an invoice counts by is its own or the day it was
            // captured. When neither lies in the two periods and both are
            // valid dates or neither is, which of them it is changes nothing
            // here, and most invoices are done without their amounts.
            r.datum = Feldwert<&Rechnung::datum>(satz);
            r.erfasstDatum = Feldwert<&Rechnung::erfasstDatum>(satz);
            const bool eigenesGueltig = Gueltig(Datum(r.datum));
            if (eigenesGueltig == Gueltig(Datum(r.erfasstDatum)) && !imZeitraum(r.datum) &&
                !imVorjahr(r.datum) && !imZeitraum(r.erfasstDatum) && !imVorjahr(r.erfasstDatum)) {
                a.ohneDatum += eigenesGueltig ? 0 : 1;
                continue;
            }
            r.id = Feldwert<&Rechnung::id>(satz);
            r.betragEingegangen = Feldwert<&Rechnung::betragEingegangen>(satz);
            r.postenKopf = Feldwert<&Rechnung::postenKopf>(satz);
            const Rechnungsbetrag betrag(r, c);
            const Datum datum = betrag.datum;
            if (!Gueltig(datum)) {
                ++a.ohneDatum;
                continue;
            }
            const std::uint32_t tag = datum.Julian();
            if (!imZeitraum(tag) && !imVorjahr(tag)) {
                continue;
            }
            const std::int64_t brutto = betrag.endbetrag;
            const std::int64_t netto =
                a.mwstEnthalten ? betrag.endbetrag - betrag.mwst : betrag.summe;
            if (imVorjahr(tag)) {
                Monat& m =
                    a.monate[static_cast<std::size_t>(Monatsnummer(datum) + 12 - ersterMonat)];
                ++m.vorjahrRechnungen;
                m.vorjahrNetto += netto;
                m.vorjahrBrutto += brutto;
            }
            if (!imZeitraum(tag)) {
                continue;
            }
            ++a.rechnungen;
            Monat& m = a.monate[static_cast<std::size_t>(Monatsnummer(datum) - ersterMonat)];
            ++m.rechnungen;
            m.netto += netto;
            m.brutto += brutto;

            std::int64_t flaschen = 0;
            if (v.postenVerwaltung != nullptr) {
                v.postenVerwaltung->FuerJedenPosten(
                    r.postenKopf, r.id, [&](const PostenVerwaltung::Posten& p) {
                        Wein& w = weine[p.weinNummer];
                        w.nummer = p.weinNummer;
                        w.flaschen += p.menge;
                        w.umsatz += Rechnungsbetrag::Von(p, c).betrag;
                        flaschen += p.menge;
                    });
            }
            const std::int32_t kundennummer = Feldwert<&Rechnung::kunde>(satz);
            const auto [stelle, neu] = kunden.try_emplace(kundennummer, a.kunden.size());
            if (neu) {
                a.kunden.emplace_back().nummer = kundennummer;
            }
            Kunde& k = a.kunden[stelle->second];
            ++k.rechnungen;
            k.flaschen += flaschen;
            k.umsatz += brutto;
            if (tag > k.letzteRechnung.Julian()) {
                k.letzteRechnung = datum;
            }
        }
        rv.Nachsehen();
    }

    // The names and stock from the catalogue and the customer file.
    std::unordered_map<std::int32_t, const ::Wein*> katalog;
    if (v.weinlistenVerwaltung != nullptr) {
        const WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
        for (unsigned i = 0; i < wv.Count(); ++i) {
            katalog.emplace(wv[i].nummer, &wv[i]);
        }
    }
    for (auto& [nummer, w] : weine) {
        const auto it = katalog.find(nummer);
        w.bekannt = it != katalog.end();
        w.name = w.bekannt ? FixedText::Get(it->second->name) : "N/A";
        if (w.bekannt) {
            w.bezeichnung = FixedText::Get(it->second->bezeichnung);
            w.fuellmenge = FixedText::Get(it->second->fuellmenge);
        }
        a.weine.push_back(w);
    }
    std::sort(a.weine.begin(), a.weine.end(), [](const Wein& x, const Wein& y) {
        if (x.flaschen != y.flaschen) {
            return x.flaschen > y.flaschen;
        }
        if (x.umsatz != y.umsatz) {
            return x.umsatz > y.umsatz;
        }
        return x.nummer < y.nummer;
    });

    // One pass over the customer file; where a number is there twice, the
    // first customer with it counts.
    if (v.kundenVerwaltung != nullptr && !kunden.empty()) {
        const KundenVerwaltung& kv = *v.kundenVerwaltung;
        for (unsigned i = 0; i < kv.Count(); ++i) {
            const ::Kunde& kunde = kv[i];
            const auto it = kunden.find(kunde.nummer);
            if (it == kunden.end() || a.kunden[it->second].bekannt) {
                continue;
            }
            Kunde& k = a.kunden[it->second];
            k.bekannt = true;
            k.name = Getrimmt(FixedText::Get(kunde.Vorname) + " " + FixedText::Get(kunde.Nachname));
            k.ort = FixedText::Get(kunde.Ort);
        }
    }
    for (Kunde& k : a.kunden) {
        if (k.name.empty()) {
            k.name = "N/A";
        }
    }
    std::sort(a.kunden.begin(), a.kunden.end(), [](const Kunde& x, const Kunde& y) {
        if (x.umsatz != y.umsatz) {
            return x.umsatz > y.umsatz;
        }
        return x.nummer < y.nummer;
    });

    if (v.weinlistenVerwaltung != nullptr) {
        const WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
        for (unsigned i = 0; i < wv.Count(); ++i) {
            const ::Wein& wein = wv[i];
            Bestand b;
            b.nummer = wein.nummer;
            b.name = FixedText::Get(wein.name);
            b.bezeichnung = FixedText::Get(wein.bezeichnung);
            b.fuellmenge = FixedText::Get(wein.fuellmenge);
            b.bestand = wein.bestand;
            const auto verkauft = weine.find(wein.nummer);
            b.flaschen = verkauft != weine.end() ? verkauft->second.flaschen : 0;
            b.proMonat = static_cast<double>(b.flaschen) / a.monateImZeitraum;
            if (b.proMonat > 0) {
                b.reichweite = std::max(0.0, b.bestand / b.proMonat);
            }
            a.bestand.push_back(b);
        }
    }
    std::stable_sort(a.bestand.begin(), a.bestand.end(), [](const Bestand& x, const Bestand& y) {
        if (x.reichweite.has_value() != y.reichweite.has_value()) {
            return x.reichweite.has_value();
        }
        if (x.reichweite && *x.reichweite != *y.reichweite) {
            return *x.reichweite < *y.reichweite;
        }
        return x.nummer < y.nummer;
    });
    return a;
}

std::string Auswertung::Titel(Ansicht ansicht) {
    switch (ansicht) {
        case Ansicht::Umsatz:
            return "Umsatz je Monat";
        case Ansicht::Weine:
            return "Weine";
        case Ansicht::Kunden:
            return "Kunden";
        case Ansicht::Bestand:
            return "Bestand und Reichweite";
    }
    return {};
}

std::string Auswertung::Zeitraum() const {
    if (!von.IsValid() || !bis.IsValid()) {
        return {};
    }
    return von.Text() + " bis " + bis.Text();
}

std::string Auswertung::OhneDatumHinweis() const {
    if (ohneDatum == 0) {
        return {};
    }
    return std::to_string(ohneDatum) + (ohneDatum == 1
                                            ? " Rechnung ohne gültiges Datum nicht enthalten"_w
                                            : " Rechnungen ohne gültiges Datum nicht enthalten"_w);
}

::Tabelle Auswertung::TabelleVon(Ansicht ansicht) const {
    using Art = ::Tabelle::Art;
    using Zelle = ::Tabelle::Zelle;
    ::Tabelle t;
    t.titel = Titel(ansicht);
    t.zeitraum = Zeitraum();
    const std::string w = " (" + waehrung + ")";
    switch (ansicht) {
        case Ansicht::Umsatz: {
            t.spalten = {{"Monat", Art::Text, 16},
                         {"Rechnungen", Art::Anzahl, 10},
                         {"Netto" + w, Art::Betrag, 14},
                         {"Brutto" + w, Art::Betrag, 14},
                         {"Vorjahr Rechnungen", Art::Anzahl, 10},
                         {"Vorjahr netto" + w, Art::Betrag, 14},
                         {"Vorjahr brutto" + w, Art::Betrag, 14}};
            Monat summe;
            for (const Monat& m : monate) {
                t.zeilen.push_back({Zelle::Von(CodePage::Utf8ToCp1252(kMonatsnamen[m.monat - 1]) +
                                               " " + std::to_string(m.jahr)),
                                    Zelle::Ganz(m.rechnungen), Zelle::Ganz(m.netto),
                                    Zelle::Ganz(m.brutto), Zelle::Ganz(m.vorjahrRechnungen),
                                    Zelle::Ganz(m.vorjahrNetto), Zelle::Ganz(m.vorjahrBrutto)});
                summe.rechnungen += m.rechnungen;
                summe.netto += m.netto;
                summe.brutto += m.brutto;
                summe.vorjahrRechnungen += m.vorjahrRechnungen;
                summe.vorjahrNetto += m.vorjahrNetto;
                summe.vorjahrBrutto += m.vorjahrBrutto;
            }
            t.summe = {Zelle::Von("Summe"),
                       Zelle::Ganz(summe.rechnungen),
                       Zelle::Ganz(summe.netto),
                       Zelle::Ganz(summe.brutto),
                       Zelle::Ganz(summe.vorjahrRechnungen),
                       Zelle::Ganz(summe.vorjahrNetto),
                       Zelle::Ganz(summe.vorjahrBrutto)};
            break;
        }
        case Ansicht::Weine: {
            t.spalten = {{"Nr.", Art::Nummer, 6},
                         {"Wein", Art::Text, 24},
                         {"Bezeichnung", Art::Text, 24},
                         {"Füllmenge"_w, Art::Text, 9},
                         {"Flaschen", Art::Anzahl, 9},
                         {(mwstEnthalten ? "Umsatz brutto" : "Umsatz netto") + w, Art::Betrag, 14}};
            std::int64_t flaschen = 0;
            std::int64_t umsatz = 0;
            for (const Wein& x : weine) {
                t.zeilen.push_back({Zelle::Ganz(x.nummer), Zelle::Von(x.name),
                                    Zelle::Von(x.bezeichnung), Zelle::Von(x.fuellmenge),
                                    Zelle::Ganz(x.flaschen), Zelle::Ganz(x.umsatz)});
                flaschen += x.flaschen;
                umsatz += x.umsatz;
            }
            t.summe = {Zelle::Frei(),  Zelle::Von("Summe"),   Zelle::Von(""),
                       Zelle::Von(""), Zelle::Ganz(flaschen), Zelle::Ganz(umsatz)};
            break;
        }
        case Ansicht::Kunden: {
            t.spalten = {{"Nr.", Art::Nummer, 6},
                         {"Kunde", Art::Text, 26},
                         {"Ort", Art::Text, 18},
                         {"Rechnungen", Art::Anzahl, 10},
                         {"Flaschen", Art::Anzahl, 9},
                         {"Umsatz brutto" + w, Art::Betrag, 14},
                         {"Letzte Rechnung", Art::Datum, 11}};
            unsigned rechnungenSumme = 0;
            std::int64_t flaschen = 0;
            std::int64_t umsatz = 0;
            for (const Kunde& k : kunden) {
                t.zeilen.push_back({Zelle::Ganz(k.nummer), Zelle::Von(k.name), Zelle::Von(k.ort),
                                    Zelle::Ganz(k.rechnungen), Zelle::Ganz(k.flaschen),
                                    Zelle::Ganz(k.umsatz), Zelle::Ganz(k.letzteRechnung.Julian())});
                rechnungenSumme += k.rechnungen;
                flaschen += k.flaschen;
                umsatz += k.umsatz;
            }
            t.summe = {Zelle::Frei(),         Zelle::Von("Summe"),
                       Zelle::Von(""),        Zelle::Ganz(rechnungenSumme),
                       Zelle::Ganz(flaschen), Zelle::Ganz(umsatz),
                       Zelle::Frei()};
            break;
        }
        case Ansicht::Bestand: {
            t.spalten = {
                {"Nr.", Art::Nummer, 6},           {"Wein", Art::Text, 24},
                {"Bezeichnung", Art::Text, 24},    {"Füllmenge"_w, Art::Text, 9},
                {"Bestand", Art::Anzahl, 8},       {"Verkauft", Art::Anzahl, 8},
                {"Ø je Monat"_w, Art::Dezimal, 8}, {"Reichweite (Monate)", Art::Dezimal, 10}};
            for (const Bestand& b : bestand) {
                t.zeilen.push_back({Zelle::Ganz(b.nummer), Zelle::Von(b.name),
                                    Zelle::Von(b.bezeichnung), Zelle::Von(b.fuellmenge),
                                    Zelle::Ganz(b.bestand), Zelle::Ganz(b.flaschen),
                                    Zelle::Dezimal(b.proMonat),
                                    b.reichweite ? Zelle::Dezimal(*b.reichweite) : Zelle::Ohne()});
            }
            break;
        }
    }
    // Without an invoice in the period nothing sold and nothing lasts: the
    // stock would stand there with reaches that mean nothing.
    if (rechnungen == 0) {
        t.zeilen.clear();
        t.summe.clear();
    }
    return t;
}
