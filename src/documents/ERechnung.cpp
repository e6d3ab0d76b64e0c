#include "documents/ERechnung.h"

#include <cstdio>

#include "model/Firmendaten.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Rechnungsbetrag.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"

namespace {

// a / b rounded half away from zero, for b > 0.
std::int64_t Gerundet(std::int64_t a, std::int64_t b) {
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

std::string Utf8(const std::string& cp1252) {
    return ERechnung::Text(cp1252);
}

bool Leer(const std::string& text) {
    return FixedText::Getrimmt(text).empty();
}

}  // namespace

std::string ERechnung::Text(std::string cp1252) {
    for (char& c : cp1252) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return CodePage::Cp1252ToUtf8(cp1252);
}

std::string ERechnung::Dezimal(std::int64_t wert, int stellen) {
    // The magnitude as unsigned, so that even the smallest value has one.
    const std::uint64_t betrag =
        wert < 0 ? 0 - static_cast<std::uint64_t>(wert) : static_cast<std::uint64_t>(wert);
    std::uint64_t teiler = 1;
    for (int i = 0; i < stellen; ++i) {
        teiler *= 10;
    }
    std::string text = std::to_string(betrag / teiler);
    if (stellen > 0) {
        std::string rest = std::to_string(betrag % teiler);
        text += "." + std::string(static_cast<std::size_t>(stellen) - rest.size(), '0') + rest;
    }
    return (wert < 0 ? "-" : "") + text;
}

std::optional<ERechnung> ERechnung::Aus(const Rechnung& rechnung, Verwaltungen& verwaltungen,
                                        const Firmendaten& firma, const std::string& referenz,
                                        std::string& fehler) {
    const std::string nr = std::to_string(rechnung.nummer);
    if (rechnung.IstGeloescht()) {
        fehler = "Die Rechnung Nr. " + nr +
                 " ist gel\xF6scht. Aus einer gel\xF6schten Rechnung wird keine E-Rechnung "
                 "erstellt.";
        return std::nullopt;
    }
    const Customizer& einstellungen = *verwaltungen.customizer;
    if (einstellungen.preiseInEuro == 0) {
        fehler =
            "Die Preise werden in DM gef\xFChrt (Optionen/Grundeinstellungen). Eine "
            "E-Rechnung kann nur in Euro erstellt werden.";
        return std::nullopt;
    }
    const std::string firmaFehlt = firma.Unvollstaendig();
    if (!firmaFehlt.empty()) {
        fehler = "In den Firmendaten fehlt: " + firmaFehlt +
                 ". Bitte erg\xE4nzen Sie sie unter Optionen/Firmendaten.";
        return std::nullopt;
    }
    const std::string firmaFalsch = firma.Pruefen();
    if (!firmaFalsch.empty()) {
        fehler = "Die Firmendaten sind fehlerhaft: " + firmaFalsch;
        return std::nullopt;
    }
    const Kunde* kunde = verwaltungen.kundenVerwaltung != nullptr
                             ? verwaltungen.kundenVerwaltung->GetKunde(rechnung.kunde)
                             : nullptr;
    if (kunde == nullptr) {
        fehler = "Der Kunde Nr. " + std::to_string(rechnung.kunde) + " der Rechnung Nr. " + nr +
                 " ist nicht im Datenbestand.";
        return std::nullopt;
    }
    const std::string kundeName =
        FixedText::Getrimmt(FixedText::Get(kunde->Vorname) + " " + FixedText::Get(kunde->Nachname));
    const std::string email = FixedText::Getrimmt(FixedText::Get(kunde->EMail));
    const std::string kundeNr = "Kunde Nr. " + std::to_string(kunde->nummer) +
                                (kundeName.empty() ? "" : " (" + kundeName + ")");
    const std::string wer = "Der " + kundeNr;
    if (email.empty()) {
        fehler = wer +
                 " hat keine E-Mail-Adresse. Eine E-Rechnung nennt die elektronische "
                 "Adresse des K\xE4ufers; bitte tragen Sie sie beim Kunden ein.";
        return std::nullopt;
    }
    if (!Firmendaten::PruefeEMail(email).empty()) {
        fehler = wer + " hat keine g\xFCltige E-Mail-Adresse (" + email + ").";
        return std::nullopt;
    }
    std::string kundeFehlt;
    for (auto [wert, name] : {std::pair{kundeName, "Name"},
                              std::pair{FixedText::Get(kunde->Strasse),
                                        "Stra\xDF"
                                        "e"},
                              std::pair{kunde->PLZ > 0 ? std::to_string(kunde->PLZ) : "", "PLZ"},
                              std::pair{FixedText::Get(kunde->Ort), "Ort"}}) {
        if (Leer(wert)) {
            kundeFehlt += (kundeFehlt.empty() ? "" : ", ") + std::string(name);
        }
    }
    if (!kundeFehlt.empty()) {
        fehler = "Beim Kunden" + kundeNr.substr(5) + " fehlt: " + kundeFehlt +
                 ". Eine E-Rechnung braucht die Anschrift des K\xE4ufers.";
        return std::nullopt;
    }
    if (rechnung.GetAnzahlPosten() == 0) {
        fehler = "Die Rechnung Nr. " + nr + " hat keine Posten.";
        return std::nullopt;
    }

    // Every amount is the one on paper.
    const Rechnungsbetrag betrag(rechnung, &einstellungen);
    ERechnung e;
    e.nummer = rechnung.nummer;
    const Datum datum = betrag.datum;
    e.tag = datum.Day();
    e.monat = datum.Month();
    e.jahr = datum.Year();
    // The XML writes dates as CCYYMMDD; a date outside that, as a damaged
    // or far-off date gives, would make the whole invoice invalid.
    if (!datum.Vierstellig()) {
        fehler = "Die Rechnung Nr. " + nr + " hat kein Rechnungsdatum, das eine E-Rechnung " +
                 "angeben kann" + (datum.IsValid() ? " (" + datum.Text() + ")" : std::string()) +
                 ". Bitte korrigieren Sie das Datum der Rechnung.";
        return std::nullopt;
    }
    const int ziel = firma.ZahlungszielTage();
    const Datum faellig(datum.Julian() + static_cast<std::uint32_t>(ziel));
    if (!faellig.Vierstellig()) {
        fehler = "Das F\xE4lligkeitsdatum der Rechnung Nr. " + nr + " (" + faellig.Text() +
                 ") kann eine E-Rechnung nicht angeben. Bitte korrigieren Sie das Datum der "
                 "Rechnung.";
        return std::nullopt;
    }
    e.faelligTag = faellig.Day();
    e.faelligMonat = faellig.Month();
    e.faelligJahr = faellig.Year();
    char bedingungen[80];
    std::snprintf(bedingungen, sizeof bedingungen,
                  "Zahlbar innerhalb von %d Tagen bis zum %d.%d.%d.", ziel, e.faelligTag,
                  e.faelligMonat, e.faelligJahr);
    e.zahlungsbedingungen = bedingungen;
    e.referenz = referenz.empty() ? std::to_string(kunde->nummer) : Utf8(referenz);
    e.bemerkung = Utf8(FixedText::Getrimmt(FixedText::Get(rechnung.bemerkung)));

    e.verkaeufer.name = Utf8(firma.name);
    e.verkaeufer.kontakt = Utf8(firma.inhaber);
    e.verkaeufer.strasse = Utf8(firma.strasse);
    e.verkaeufer.plz = Utf8(firma.plz);
    e.verkaeufer.ort = Utf8(firma.ort);
    e.verkaeufer.land = firma.land;
    e.verkaeufer.telefon = Utf8(firma.telefon);
    e.verkaeufer.email = Utf8(firma.email);
    e.verkaeufer.ustId = firma.ustId;
    e.verkaeufer.steuernummer = Utf8(firma.steuernummer);
    e.iban = Firmendaten::IbanNormal(firma.iban);
    e.bic = firma.bic;
    e.kontoinhaber = Utf8(firma.name);

    e.kaeufer.kennung = std::to_string(kunde->nummer);
    e.kaeufer.name = Utf8(kundeName);
    e.kaeufer.strasse = Utf8(FixedText::Getrimmt(FixedText::Get(kunde->Strasse)));
    e.kaeufer.plz = std::to_string(kunde->PLZ);
    e.kaeufer.ort = Utf8(FixedText::Getrimmt(FixedText::Get(kunde->Ort)));
    e.kaeufer.land = "DE";
    e.kaeufer.telefon = Utf8(FixedText::Getrimmt(FixedText::Get(kunde->Telefon)));
    e.kaeufer.email = Utf8(email);

    const bool enthalten = einstellungen.mwstEnthalten != 0;
    e.satz = Rechnungsbetrag::Cent(einstellungen.mwst);
    WeinlistenVerwaltung* weine = verwaltungen.weinlistenVerwaltung;
    PostenVerwaltung::Posten p;
    for (std::int32_t cursor = rechnung.FirstPosten(); rechnung.NextPosten(p, cursor);) {
        Zeile z;
        z.weinNummer = p.weinNummer;
        z.menge = p.menge;
        const Wein* wein = weine != nullptr ? weine->GetWein(p.weinNummer) : nullptr;
        if (wein != nullptr && !Leer(FixedText::Get(wein->name))) {
            z.name = Utf8(FixedText::Getrimmt(FixedText::Get(wein->name)));
            std::string beschreibung = FixedText::Getrimmt(FixedText::Get(wein->bezeichnung));
            const std::string menge = FixedText::Getrimmt(FixedText::Get(wein->fuellmenge));
            if (!menge.empty()) {
                beschreibung += (beschreibung.empty() ? "" : ", ") + menge;
            }
            z.beschreibung = Utf8(beschreibung);
        } else {
            z.name = "Wein Nr. " + std::to_string(p.weinNummer);
        }
        const auto [preis, zeile] = Rechnungsbetrag::Von(p, &einstellungen);
        // EN 16931 (BR-27): an item's net price is never negative; credits
        // are not invoices.
        if (preis < 0 || zeile < 0) {
            fehler = "Der Posten mit Wein Nr. " + std::to_string(p.weinNummer) +
                     " der Rechnung Nr. " + nr + " hat einen negativen Betrag (" +
                     Betrag(preis < 0 ? preis : zeile) +
                     "). Eine E-Rechnung kann keine negativen Preise enthalten.";
            return std::nullopt;
        }
        if (enthalten) {
            // Printed prices include VAT; the standard wants them net.
            z.nettoPreis = Gerundet(preis * 100 * 10000, 10000 + e.satz);
            z.netto = Gerundet(zeile * 10000, 10000 + e.satz);
        } else {
            z.nettoPreis = preis * 100;
            z.netto = zeile;
        }
        e.summeNetto += z.netto;
        e.zeilen.push_back(std::move(z));
    }
    // The VAT and the final amount are those printed, the VAT thus of the
    // printed sum rather than of the rounded lines (the rules allow it a
    // currency unit of leeway). The rounding amount makes up for the cent or
    // two by which the rounded lines and the VAT miss the final amount.
    e.mwst = betrag.mwst;
    e.brutto = e.summeNetto + e.mwst;
    e.zahlbar = betrag.endbetrag;
    e.rundung = e.zahlbar - e.brutto;
    return e;
}
