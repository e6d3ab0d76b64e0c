#include "documents/DatevExport.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <unordered_map>

#include "model/Firmendaten.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "model/Verwaltungen.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"

namespace {

// The column line of DATEV's own sample file for format version 13, heading
// for heading (including its "Zusatzinformation- Inhalt", without a blank
// before the dash). The data lines are built against these names, so that
// a column is found by what it is called, never by a counted position.
constexpr std::array<const char*, DatevExport::kSpalten> kUeberschriften = {
    "Umsatz (ohne Soll/Haben-Kz)",
    "Soll/Haben-Kennzeichen",
    "WKZ Umsatz",
    "Kurs",
    "Basis-Umsatz",
    "WKZ Basis-Umsatz",
    "Konto",
    "Gegenkonto (ohne BU-Schlüssel)",
    "BU-Schlüssel",
    "Belegdatum",
    "Belegfeld 1",
    "Belegfeld 2",
    "Skonto",
    "Buchungstext",
    "Postensperre",
    "Diverse Adressnummer",
    "Geschäftspartnerbank",
    "Sachverhalt",
    "Zinssperre",
    "Beleglink",
    "Beleginfo - Art 1",
    "Beleginfo - Inhalt 1",
    "Beleginfo - Art 2",
    "Beleginfo - Inhalt 2",
    "Beleginfo - Art 3",
    "Beleginfo - Inhalt 3",
    "Beleginfo - Art 4",
    "Beleginfo - Inhalt 4",
    "Beleginfo - Art 5",
    "Beleginfo - Inhalt 5",
    "Beleginfo - Art 6",
    "Beleginfo - Inhalt 6",
    "Beleginfo - Art 7",
    "Beleginfo - Inhalt 7",
    "Beleginfo - Art 8",
    "Beleginfo - Inhalt 8",
    "KOST1 - Kostenstelle",
    "KOST2 - Kostenstelle",
    "Kost-Menge",
    "EU-Land u. UStID (Bestimmung)",
    "EU-Steuersatz (Bestimmung)",
    "Abw. Versteuerungsart",
    "Sachverhalt L+L",
    "Funktionsergänzung L+L",
    "BU 49 Hauptfunktionstyp",
    "BU 49 Hauptfunktionsnummer",
    "BU 49 Funktionsergänzung",
    "Zusatzinformation - Art 1",
    "Zusatzinformation- Inhalt 1",
    "Zusatzinformation - Art 2",
    "Zusatzinformation- Inhalt 2",
    "Zusatzinformation - Art 3",
    "Zusatzinformation- Inhalt 3",
    "Zusatzinformation - Art 4",
    "Zusatzinformation- Inhalt 4",
    "Zusatzinformation - Art 5",
    "Zusatzinformation- Inhalt 5",
    "Zusatzinformation - Art 6",
    "Zusatzinformation- Inhalt 6",
    "Zusatzinformation - Art 7",
    "Zusatzinformation- Inhalt 7",
    "Zusatzinformation - Art 8",
    "Zusatzinformation- Inhalt 8",
    "Zusatzinformation - Art 9",
    "Zusatzinformation- Inhalt 9",
    "Zusatzinformation - Art 10",
    "Zusatzinformation- Inhalt 10",
    "Zusatzinformation - Art 11",
    "Zusatzinformation- Inhalt 11",
    "Zusatzinformation - Art 12",
    "Zusatzinformation- Inhalt 12",
    "Zusatzinformation - Art 13",
    "Zusatzinformation- Inhalt 13",
    "Zusatzinformation - Art 14",
    "Zusatzinformation- Inhalt 14",
    "Zusatzinformation - Art 15",
    "Zusatzinformation- Inhalt 15",
    "Zusatzinformation - Art 16",
    "Zusatzinformation- Inhalt 16",
    "Zusatzinformation - Art 17",
    "Zusatzinformation- Inhalt 17",
    "Zusatzinformation - Art 18",
    "Zusatzinformation- Inhalt 18",
    "Zusatzinformation - Art 19",
    "Zusatzinformation- Inhalt 19",
    "Zusatzinformation - Art 20",
    "Zusatzinformation- Inhalt 20",
    "Stück",
    "Gewicht",
    "Zahlweise",
    "Forderungsart",
    "Veranlagungsjahr",
    "Zugeordnete Fälligkeit",
    "Skontotyp",
    "Auftragsnummer",
    "Buchungstyp",
    "USt-Schlüssel (Anzahlungen)",
    "EU-Land (Anzahlungen)",
    "Sachverhalt L+L (Anzahlungen)",
    "EU-Steuersatz (Anzahlungen)",
    "Erlöskonto (Anzahlungen)",
    "Herkunft-Kz",
    "Buchungs GUID",
    "KOST-Datum",
    "SEPA-Mandatsreferenz",
    "Skontosperre",
    "Gesellschaftername",
    "Beteiligtennummer",
    "Identifikationsnummer",
    "Zeichnernummer",
    "Postensperre bis",
    "Bezeichnung SoBil-Sachverhalt",
    "Kennzeichen SoBil-Buchung",
    "Festschreibung",
    "Leistungsdatum",
    "Datum Zuord. Steuerperiode",
    "Fälligkeit",
    "Generalumkehr (GU)",
    "Steuersatz",
    "Land",
    "Abrechnungsreferenz",
    "BVV-Position",
    "EU-Land u. UStID (Ursprung)",
    "EU-Steuersatz (Ursprung)",
    "Abw. Skontokonto",
};

constexpr std::size_t kBuchungstext = 60;
constexpr std::size_t kBezeichnung = 30;
constexpr std::size_t kBenutzer = 25;

std::string Zitiert(const std::string& text) {
    std::string feld = "\"";
    for (char c : text) {
        feld += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return feld + "\"";
}

std::string Zweistellig(int zahl) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", zahl);
    return text;
}

// JJJJMMTT
std::string Tagesdatum(Datum d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", d.Year(), d.Month(), d.Day());
    return text;
}

// The amount without its sign, "1234,56".
std::string Umsatz(std::int64_t cent) {
    return DatevExporte::Betrag(cent < 0 ? -cent : cent);
}

std::string Kundenname(const Kunde* kunde) {
    if (kunde == nullptr) {
        return {};
    }
    const std::string vorname = FixedText::Get(kunde->Vorname);
    const std::string nachname = FixedText::Get(kunde->Nachname);
    return vorname.empty() ? nachname : nachname.empty() ? vorname : vorname + " " + nachname;
}

std::string Kundennennung(std::int32_t nummer, const Kunde* kunde) {
    const std::string name = FixedText::Einzeilig(Kundenname(kunde));
    return "Der Kunde Nr. " + std::to_string(nummer) + (name.empty() ? "" : " (" + name + ")");
}

}  // namespace

const std::array<const char*, DatevExport::kSpalten>& DatevExport::Spalten() {
    return kUeberschriften;
}

std::size_t DatevExport::Spalte(std::string_view ueberschrift) {
    for (std::size_t i = 0; i < kUeberschriften.size(); ++i) {
        if (ueberschrift == kUeberschriften[i]) {
            return i;
        }
    }
    return kUeberschriften.size();
}

std::vector<DatevExport::Beleg> DatevExport::Belege(Verwaltungen& verwaltungen, Datum von,
                                                    Datum bis) {
    std::vector<Beleg> belege;
    if (verwaltungen.rechnungsVerwaltung == nullptr) {
        return belege;
    }
    // The date that counts is the invoice's own or else its capture day:
    // both are looked at, and the amount decides with the same rule as the
    // printed page.
    verwaltungen.rechnungsVerwaltung->JedeMitDatumOderErfasstIn(
        von.Julian(), bis.Julian(), [&](const Rechnung& r) {
            const Rechnungsbetrag betrag(r, verwaltungen.customizer);
            if (betrag.datum.Julian() >= von.Julian() && betrag.datum.Julian() <= bis.Julian() &&
                betrag.endbetrag != 0) {
                belege.push_back({r.id, r.nummer, r.kunde, betrag.datum, betrag.endbetrag});
            }
        });
    return belege;
}

std::int64_t DatevExport::Summe(const std::vector<Beleg>& belege) {
    std::int64_t summe = 0;
    for (const Beleg& b : belege) {
        summe += b.cent;
    }
    return summe;
}

std::optional<DatevExport::Stapel> DatevExport::Sammeln(Verwaltungen& verwaltungen,
                                                        const Firmendaten& firma, Datum von,
                                                        Datum bis, std::string& fehler) {
    const DatevEinstellungen& d = firma.datev;
    if (const std::string fehlt = d.Fehlend(); !fehlt.empty()) {
        fehler = "Für den DATEV-Export fehlen noch: "_w + fehlt +
                 ". Ihr Steuerberater nennt sie Ihnen; sie werden unter "
                 "Optionen/DATEV-Einstellungen eingetragen."_w;
        return std::nullopt;
    }
    if (const std::string falsch = d.Pruefen(); !falsch.empty()) {
        fehler = "Die DATEV-Einstellungen sind nicht in Ordnung: "_w + falsch +
                 " Bitte korrigieren Sie sie unter Optionen/DATEV-Einstellungen."_w;
        return std::nullopt;
    }
    const Customizer* c = verwaltungen.customizer;
    if (c == nullptr || c->preiseInEuro == 0) {
        fehler =
            "Der DATEV-Export bucht in Euro, die Preise sind aber in DM "
            "(Optionen/Grundeinstellungen).";
        return std::nullopt;
    }
    Stapel stapel;
    stapel.erloeskonto = d.Erloeskonto(c->mwst, fehler);
    if (stapel.erloeskonto.empty()) {
        return std::nullopt;
    }
    if (!von.IsValid() || !bis.IsValid() || bis.Julian() < von.Julian()) {
        fehler =
            "Der Zeitraum endet vor seinem Beginn (" + von.Text() + " bis " + bis.Text() + ").";
        return std::nullopt;
    }
    // DATEV reads the year of every booking from the fiscal year in the
    // header, so one file holds one fiscal year.
    Datum beginn(d.WjTag(), d.WjMonat(), von.Year());
    if (beginn.Julian() > von.Julian()) {
        beginn = Datum(d.WjTag(), d.WjMonat(), von.Year() - 1);
    }
    const Datum naechstes(d.WjTag(), d.WjMonat(), beginn.Year() + 1);
    if (bis.Julian() >= naechstes.Julian()) {
        const Datum letzter(naechstes.Julian() - 1);
        fehler = "Der Zeitraum " + von.Text() + " bis " + bis.Text() +
                 " reicht über den Beginn des Wirtschaftsjahres am "_w + naechstes.Text() +
                 " hinaus. DATEV nimmt einen Buchungsstapel nur innerhalb eines "
                 "Wirtschaftsjahres an: Bitte exportieren Sie "
                 "den Zeitraum "_w +
                 von.Text() + " bis " + letzter.Text() + " und den Zeitraum " + naechstes.Text() +
                 " bis " + bis.Text() + " getrennt.";
        return std::nullopt;
    }
    stapel.von = von;
    stapel.bis = bis;
    stapel.wjBeginn = beginn;

    const std::vector<Beleg> belege = Belege(verwaltungen, von, bis);
    if (belege.size() > kHoechstensBuchungen) {
        fehler = "Der Zeitraum hat " + std::to_string(belege.size()) +
                 " Rechnungen; DATEV nimmt höchstens "_w + std::to_string(kHoechstensBuchungen) +
                 " Buchungen in einer Datei an. Bitte exportieren Sie kürzere Zeiträume."_w;
        return std::nullopt;
    }
    // The customers by number, for their names.
    std::unordered_map<std::int32_t, const Kunde*> kunden;
    if (KundenVerwaltung* kv = verwaltungen.kundenVerwaltung) {
        for (unsigned i = 0; i < kv->Count(); ++i) {
            kunden.emplace((*kv)[i].nummer, &(*kv)[i]);
        }
    }
    const int ziel = firma.ZahlungszielTage();
    for (const Beleg& b : belege) {
        const auto gefunden = kunden.find(b.kunde);
        const Kunde* kunde = gefunden != kunden.end() ? gefunden->second : nullptr;
        if (!d.DebitorPasst(b.kunde)) {
            fehler = Kundennennung(b.kunde, kunde) + " bekäme das Debitorenkonto "_w +
                     std::to_string(d.Debitor(b.kunde)) + "; Debitorenkonten haben aber genau " +
                     std::to_string(d.Sachkontenlaenge() + 1) +
                     " Stellen, eine mehr als die Sachkonten. Bitte wählen Sie unter "
                     "Optionen/DATEV-Einstellungen den Sammeldebitor oder längere "
                     "Sachkonten."_w;
            return std::nullopt;
        }
        if (b.cent > kHoechstbetrag || b.cent < -kHoechstbetrag) {
            fehler = "Die Rechnung Nr. " + std::to_string(b.nummer) + " über " +
                     DatevExporte::Betrag(b.cent) +
                     " EUR ist für eine DATEV-Buchung zu groß (höchstens 9999999999,99 EUR)."_w;
            return std::nullopt;
        }
        Buchung buchung;
        buchung.beleg = b;
        buchung.debitor = d.Debitor(b.kunde);
        buchung.faellig = Datum(b.datum.Julian() + static_cast<std::uint32_t>(ziel));
        std::string text = "Rechnung " + std::to_string(b.nummer);
        if (const std::string name = FixedText::Einzeilig(Kundenname(kunde)); !name.empty()) {
            text += " " + name;
        }
        buchung.text = text.substr(0, kBuchungstext);
        stapel.buchungen.push_back(std::move(buchung));
        stapel.summe += b.cent;
    }
    return stapel;
}

std::string DatevExport::Text(const Stapel& stapel, const Firmendaten& firma,
                              const std::string& benutzer, std::int64_t jetzt) {
    const DatevEinstellungen& d = firma.datev;
    const std::time_t t = static_cast<std::time_t>(jetzt);
    std::tm lokal{};
    localtime_r(&t, &lokal);
    char erzeugt[80];
    std::snprintf(erzeugt, sizeof erzeugt, "%04d%02d%02d%02d%02d%02d000", lokal.tm_year + 1900,
                  lokal.tm_mon + 1, lokal.tm_mday, lokal.tm_hour, lokal.tm_min, lokal.tm_sec);

    const std::vector<std::string> kopf = {
        Zitiert("EXTF"),
        "700",
        "21",
        Zitiert("Buchungsstapel"),
        "13",
        erzeugt,
        "",
        Zitiert("RK"),
        Zitiert(benutzer.substr(0, kBenutzer)),
        Zitiert(""),
        std::to_string(std::stol(d.beraternummer)),
        std::to_string(std::stol(d.mandantennummer)),
        Tagesdatum(stapel.wjBeginn),
        std::to_string(d.Sachkontenlaenge()),
        Tagesdatum(stapel.von),
        Tagesdatum(stapel.bis),
        Zitiert(Bezeichnung(stapel.von, stapel.bis)),
        Zitiert(""),
        "1",
        "0",
        // Not locked: the advisor checks the bookings before fixing them.
        "0",
        Zitiert("EUR"),
        "",
        Zitiert(""),
        "",
        "",
        Zitiert(d.Skr04() ? "04" : "03"),
        "",
        "",
        Zitiert(""),
        Zitiert(""),
    };
    std::string text;
    for (std::size_t i = 0; i < kopf.size(); ++i) {
        text += (i == 0 ? "" : ";") + kopf[i];
    }
    text += "\r\n";
    for (std::size_t i = 0; i < kUeberschriften.size(); ++i) {
        text += (i == 0 ? "" : ";") + CodePage::Utf8ToCp1252(kUeberschriften[i]);
    }
    text += "\r\n";

    static const std::size_t umsatz = Spalte("Umsatz (ohne Soll/Haben-Kz)");
    static const std::size_t sollHaben = Spalte("Soll/Haben-Kennzeichen");
    static const std::size_t wkz = Spalte("WKZ Umsatz");
    static const std::size_t konto = Spalte("Konto");
    static const std::size_t gegenkonto = Spalte("Gegenkonto (ohne BU-Schlüssel)");
    static const std::size_t belegdatum = Spalte("Belegdatum");
    static const std::size_t belegfeld = Spalte("Belegfeld 1");
    static const std::size_t buchungstext = Spalte("Buchungstext");
    static const std::size_t festschreibung = Spalte("Festschreibung");
    static const std::size_t faelligkeit = Spalte("Fälligkeit");
    std::vector<std::string> felder(kUeberschriften.size());
    for (const Buchung& b : stapel.buchungen) {
        std::fill(felder.begin(), felder.end(), std::string());
        felder[umsatz] = Umsatz(b.beleg.cent);
        // A negative final amount is a credit to the customer.
        felder[sollHaben] = Zitiert(b.beleg.cent < 0 ? "H" : "S");
        felder[wkz] = Zitiert("EUR");
        felder[konto] = std::to_string(b.debitor);
        felder[gegenkonto] = stapel.erloeskonto;
        felder[belegdatum] = Zweistellig(b.beleg.datum.Day()) + Zweistellig(b.beleg.datum.Month());
        felder[belegfeld] = Zitiert(std::to_string(b.beleg.nummer));
        felder[buchungstext] = Zitiert(b.text);
        // Left empty, DATEV would lock the whole batch on import.
        felder[festschreibung] = "0";
        if (faelligkeit < kUeberschriften.size()) {
            felder[faelligkeit] = Zweistellig(b.faellig.Day()) + Zweistellig(b.faellig.Month()) +
                                  std::to_string(b.faellig.Year());
        }
        for (std::size_t i = 0; i < felder.size(); ++i) {
            if (i != 0) {
                text += ';';
            }
            text += felder[i];
        }
        text += "\r\n";
    }
    return text;
}

DatevExporte::Eintrag DatevExport::Vermerk(const Stapel& stapel, std::int64_t jetzt) {
    const std::time_t t = static_cast<std::time_t>(jetzt);
    std::tm lokal{};
    localtime_r(&t, &lokal);
    DatevExporte::Eintrag e;
    e.von = stapel.von;
    e.bis = stapel.bis;
    e.tag = Datum(lokal.tm_mday, lokal.tm_mon + 1, lokal.tm_year + 1900);
    e.stunde = lokal.tm_hour;
    e.minute = lokal.tm_min;
    e.sekunde = lokal.tm_sec;
    e.anzahl = static_cast<std::int64_t>(stapel.buchungen.size());
    e.cent = stapel.summe;
    return e;
}

std::string DatevExport::Dateiname(Datum von, Datum bis) {
    return "EXTF_Buchungsstapel_" + Tagesdatum(von) + "_" + Tagesdatum(bis) + ".csv";
}

std::string DatevExport::Bezeichnung(Datum von, Datum bis) {
    char text[48];
    if (von.Day() == 1 && bis.Year() == von.Year() && bis.Month() == von.Month() &&
        bis.Day() == Datum::DaysInMonth(bis.Month(), bis.Year())) {
        std::snprintf(text, sizeof text, "Rechnungsausgang %02d/%04d", von.Month(), von.Year());
    } else {
        std::snprintf(text, sizeof text, "Rechnungen %02d.%02d.%02d-%02d.%02d.%02d", von.Day(),
                      von.Month(), von.Year() % 100, bis.Day(), bis.Month(), bis.Year() % 100);
    }
    return std::string(text).substr(0, kBezeichnung);
}

std::string DatevExport::Benutzer() {
    std::string name;
    passwd eintrag{};
    passwd* gefunden = nullptr;
    std::vector<char> puffer(4096);
    if (::getpwuid_r(::getuid(), &eintrag, puffer.data(), puffer.size(), &gefunden) == 0 &&
        gefunden != nullptr && gefunden->pw_name != nullptr) {
        name = gefunden->pw_name;
    } else if (const char* user = std::getenv("USER")) {
        name = user;
    }
    std::string benutzer;
    for (unsigned char c : name) {
        if ((std::isalnum(c) != 0 && c < 0x80) || c == '_') {
            benutzer += static_cast<char>(c);
        }
    }
    return benutzer.substr(0, kBenutzer);
}

void DatevExport::Vormonat(Datum heute, Datum& von, Datum& bis) {
    const int monat = heute.Month() == 1 ? 12 : heute.Month() - 1;
    const int jahr = heute.Month() == 1 ? heute.Year() - 1 : heute.Year();
    von = Datum(1, monat, jahr);
    bis = Datum(Datum::DaysInMonth(monat, jahr), monat, jahr);
}
