#include "cli/Beispieldaten.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>
#include <random>
#include <string_view>
#include <vector>

#include "model/DatenDateien.h"
#include "model/Datenbestand.h"
#include "model/Firmendaten.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/OffenePosten.h"
#include "model/PostenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"
#include "storage/SyncAufschub.h"
#include "storage/Zeit.h"

namespace {

// ---------------------------------------------------------------- tables --

struct Ort {
    int plz;
    const char* name;
    const char* vorwahl;
};

struct Region {
    // Share of the customers, in percent.
    int anteil;
    // Whether its customers fetch their wine at the estate.
    bool abHof;
    std::vector<Ort> orte;
};

// The estate lies in Nierstein; the regions are also the customer groups.
const std::vector<Region>& Regionen() {
    static const std::vector<Region> regionen = {
        {24,
         true,
         {{55283, "Nierstein", "06133"},
          {55276, "Oppenheim", "06133"},
          {55276, "Dienheim", "06133"},
          {55294, "Bodenheim", "06135"},
          {55299, "Nackenheim", "06135"},
          {67583, "Guntersblum", "06249"}}},
        {20,
         true,
         {{55116, "Mainz", "06131"},
          {55118, "Mainz", "06131"},
          {55122, "Mainz", "06131"},
          {55128, "Mainz", "06131"},
          {55218, "Ingelheim am Rhein", "06132"},
          {55268, "Nieder-Olm", "06136"},
          {55411, "Bingen am Rhein", "06721"},
          {55435, "Gau-Algesheim", "06725"}}},
        {8,
         true,
         {{67547, "Worms", "06241"},
          {67549, "Worms", "06241"},
          {67550, "Worms", "06241"},
          {67574, "Osthofen", "06242"},
          {67593, "Westhofen", "06244"}}},
        {7,
         true,
         {{55232, "Alzey", "06731"},
          {55237, "Flonheim", "06734"},
          {55239, "Gau-Odernheim", "06733"},
          {55286, "Wörrstadt", "06732"},
          {55291, "Saulheim", "06732"}}},
        {5,
         false,
         {{67098, "Bad Dürkheim", "06322"},
          {67146, "Deidesheim", "06326"},
          {67157, "Wachenheim an der Weinstraße", "06322"},
          {67433, "Neustadt an der Weinstraße", "06321"},
          {76829, "Landau in der Pfalz", "06341"},
          {67480, "Edenkoben", "06323"},
          {67061, "Ludwigshafen am Rhein", "0621"}}},
        {3,
         false,
         {{54470, "Bernkastel-Kues", "06531"},
          {56841, "Traben-Trarbach", "06541"},
          {54290, "Trier", "0651"},
          {54294, "Trier", "0651"},
          {56812, "Cochem", "02671"},
          {54498, "Piesport", "06507"}}},
        {4,
         true,
         {{55543, "Bad Kreuznach", "0671"},
          {55545, "Bad Kreuznach", "0671"},
          {55566, "Bad Sobernheim", "06751"},
          {55606, "Kirn", "06752"}}},
        {7,
         true,
         {{65343, "Eltville am Rhein", "06123"},
          {65375, "Oestrich-Winkel", "06723"},
          {65366, "Geisenheim", "06722"},
          {65385, "Rüdesheim am Rhein", "06722"},
          {65239, "Hochheim am Main", "06146"},
          {65183, "Wiesbaden", "0611"},
          {65185, "Wiesbaden", "0611"},
          {65187, "Wiesbaden", "0611"}}},
        {22,
         false,
         {{60311, "Frankfurt am Main", "069"},
          {60318, "Frankfurt am Main", "069"},
          {50667, "Köln", "0221"},
          {50674, "Köln", "0221"},
          {80331, "München", "089"},
          {80469, "München", "089"},
          {20095, "Hamburg", "040"},
          {22765, "Hamburg", "040"},
          {10115, "Berlin", "030"},
          {10435, "Berlin", "030"},
          {40213, "Düsseldorf", "0211"},
          {70173, "Stuttgart", "0711"},
          {69117, "Heidelberg", "06221"},
          {68159, "Mannheim", "0621"},
          {64283, "Darmstadt", "06151"},
          {53111, "Bonn", "0228"},
          {44135, "Dortmund", "0231"},
          {30159, "Hannover", "0511"},
          {28195, "Bremen", "0421"},
          {90403, "Nürnberg", "0911"},
          {4109, "Leipzig", "0341"},
          {1067, "Dresden", "0351"},
          {97070, "Würzburg", "0931"},
          {66111, "Saarbrücken", "0681"},
          {56068, "Koblenz", "0261"},
          {76133, "Karlsruhe", "0721"},
          {79098, "Freiburg im Breisgau", "0761"}}},
    };
    return regionen;
}

constexpr const char* kVornamenM[] = {
    "Hans",    "Peter",     "Klaus",   "Wolfgang", "Jürgen",    "Michael",  "Thomas",    "Andreas",
    "Stefan",  "Frank",     "Uwe",     "Dieter",   "Bernd",     "Günter",   "Horst",     "Werner",
    "Karl",    "Heinz",     "Rainer",  "Markus",   "Christian", "Matthias", "Martin",    "Jörg",
    "Ralf",    "Helmut",    "Manfred", "Gerhard",  "Walter",    "Norbert",  "Alexander", "Tobias",
    "Florian", "Sebastian", "Jan",     "Lukas",    "Jens",      "Holger",   "Volker",    "Axel"};

constexpr const char* kVornamenW[] = {
    "Maria",    "Ursula",    "Monika",   "Petra",     "Elisabeth", "Sabine",   "Renate",  "Helga",
    "Karin",    "Brigitte",  "Ingrid",   "Erika",     "Andrea",    "Gisela",   "Claudia", "Susanne",
    "Gabriele", "Christa",   "Birgit",   "Heike",     "Barbara",   "Angelika", "Martina", "Anke",
    "Julia",    "Katharina", "Anna",     "Laura",     "Christine", "Stefanie", "Silke",   "Nicole",
    "Jutta",    "Doris",     "Marianne", "Hildegard", "Annette",   "Bärbel",   "Käthe",   "Sophie"};

constexpr const char* kNachnamen[] = {
    "Müller",     "Schmidt",  "Schneider", "Fischer",  "Weber",   "Meyer",      "Wagner",
    "Becker",     "Schulz",   "Hoffmann",  "Schäfer",  "Koch",    "Bauer",      "Richter",
    "Klein",      "Wolf",     "Schröder",  "Neumann",  "Schwarz", "Zimmermann", "Braun",
    "Krüger",     "Hofmann",  "Hartmann",  "Lange",    "Schmitt", "Werner",     "Schmitz",
    "Krause",     "Meier",    "Lehmann",   "Schmid",   "Schulze", "Maier",      "Köhler",
    "Herrmann",   "König",    "Walter",    "Mayer",    "Huber",   "Kaiser",     "Fuchs",
    "Peters",     "Lang",     "Scholz",    "Möller",   "Weiß",    "Jung",       "Hahn",
    "Schubert",   "Vogel",    "Friedrich", "Keller",   "Günther", "Frank",      "Berger",
    "Winkler",    "Roth",     "Beck",      "Lorenz",   "Baumann", "Franke",     "Albrecht",
    "Schuster",   "Simon",    "Ludwig",    "Böhm",     "Winter",  "Kraus",      "Martin",
    "Schumacher", "Krämer",   "Vogt",      "Stein",    "Jäger",   "Otto",       "Sommer",
    "Groß",       "Seidel",   "Heinrich",  "Brandt",   "Haas",    "Schreiber",  "Graf",
    "Dietrich",   "Ziegler",  "Kuhn",      "Kühn",     "Pohl",    "Engel",      "Horn",
    "Busch",      "Bergmann", "Pfeiffer",  "Sauer",    "Arnold",  "Dexheimer",  "Hattemer",
    "Gutzler",    "Wittmann", "Kessler",   "Gerhardt", "Spies",   "Wendel",     "Bieser"};

// The firm name is the pattern with a surname in it (or a fixed name).
constexpr const char* kFirmen[] = {
    "Gasthaus Zur Krone",   "Weinstube Rebstock", "Hotel Rheinblick",
    "Restaurant Lindenhof", "Landgasthof Adler",  "Hotel Zur Post",
    "Vinothek am Markt",    "Gutsschänke am Dom", "Brauhaus Goldener Engel",
    "Getränke %s GmbH",     "Weinhandel %s",      "Feinkost %s",
    "Autohaus %s GmbH",     "Kanzlei Dr. %s",     "Straußwirtschaft %s",
    "Metzgerei %s",         "Bäckerei %s",        "Gasthof %s",
    "Weinhaus %s KG",       "Partyservice %s"};

constexpr const char* kStrassen[] = {
    "Hauptstraße",   "Bahnhofstraße",    "Weinbergstraße",    "Kirchgasse",    "Schulstraße",
    "Rheinstraße",   "Mainzer Straße",   "Gartenstraße",      "Am Rebenhang",  "Im Wingert",
    "Lindenstraße",  "Mühlweg",          "Ringstraße",        "Burgweg",       "Bergstraße",
    "Am Markt",      "Obergasse",        "Untergasse",        "Kelterweg",     "Schillerstraße",
    "Goethestraße",  "Raiffeisenstraße", "Wormser Straße",    "Rathausstraße", "Friedhofstraße",
    "Am Sonnenhang", "Wiesenweg",        "Eichendorffstraße", "Mozartstraße",  "Talstraße",
    "Waldstraße",    "Rosenstraße",      "Am Kirchberg",      "Kapellenweg",   "Brunnengasse"};

constexpr const char* kKundenBemerkungen[] = {
    "Stammkunde, bringt Leergut zurück.",
    "Bitte vor der Lieferung anrufen.",
    "Nur trockene Weine.",
    "Liefert sich gern mit den Nachbarn zusammen.",
    "Weihnachtspräsente für die Mitarbeiter.",
    "Rechnung bitte an die Firmenadresse.",
    "Lieferadresse:\r\nHinterhaus, Eingang über den Hof",
    "Kam über die Weinprobe im Frühjahr.",
    "Mag Riesling und Spätburgunder.",
    "Zahlt bar bei Abholung.",
    "Jahresbestellung im Herbst.\r\nPakete bitte beim Nachbarn abgeben."};

// Price lists: name (2 to 8 characters, as the settings dialog takes them)
// and the factor on the estate's own price.
struct Liste {
    const char* name;
    double faktor;
};

constexpr Liste kListen[Beispieldaten::kMaxPreislisten] = {
    {"Ab Hof", 1.00}, {"Versand", 1.08}, {"Gastro", 0.85}, {"Handel", 0.75}, {"Vereine", 0.90},
    {"Messe", 0.95},  {"Firmen", 0.92},  {"Export", 0.80}, {"Stamm", 0.97},  {"Personal", 0.85},
    {"Kirche", 0.90}, {"Hotel", 0.88},   {"Feste", 0.93},  {"Probe", 0.95},  {"Großh.", 0.70},
    {"Fachh.", 0.78}, {"Online", 1.05},  {"Abo", 0.98},    {"Sonder", 0.90}, {"Presse", 0.95}};

enum ListenIndex { kAbHof = 0, kVersand = 1, kGastro = 2, kHandel = 3 };

enum Farbe { kWeiss, kRot, kRose };

struct Sorte {
    const char* name;
    Farbe farbe;
    int gewicht;
    // Whether it makes noble sweet wines (Beerenauslese, Eiswein).
    bool edelsuess;
};

constexpr Sorte kSorten[] = {{"Riesling", kWeiss, 26, true},
                             {"Silvaner", kWeiss, 10, true},
                             {"Müller-Thurgau", kWeiss, 9, false},
                             {"Grauburgunder", kWeiss, 8, false},
                             {"Weißburgunder", kWeiss, 8, false},
                             {"Scheurebe", kWeiss, 4, true},
                             {"Kerner", kWeiss, 3, false},
                             {"Bacchus", kWeiss, 2, false},
                             {"Gewürztraminer", kWeiss, 3, true},
                             {"Huxelrebe", kWeiss, 2, true},
                             {"Chardonnay", kWeiss, 3, false},
                             {"Rieslaner", kWeiss, 1, true},
                             {"Spätburgunder", kRot, 8, false},
                             {"Dornfelder", kRot, 8, false},
                             {"Portugieser", kRot, 4, false},
                             {"Regent", kRot, 2, false},
                             {"St. Laurent", kRot, 2, false},
                             {"Frühburgunder", kRot, 1, false},
                             {"Spätburgunder Weißherbst", kRose, 3, false},
                             {"Portugieser Weißherbst", kRose, 2, false}};

constexpr const char* kLagen[] = {"Niersteiner Ölberg",     "Niersteiner Hipping",
                                  "Niersteiner Pettenthal", "Niersteiner Orbel",
                                  "Niersteiner Paterberg",  "Oppenheimer Sackträger",
                                  "Oppenheimer Herrenberg", "Oppenheimer Kreuz",
                                  "Dienheimer Tafelstein",  "Nackenheimer Rothenberg"};

enum Stufe {
    kLiterwein,
    kQualitaet,
    kKabinett,
    kSpaetlese,
    kBarrique,
    kAuslese,
    kBeerenauslese,
    kEiswein,
    kSekt
};

struct StufenDaten {
    const char* name;  // in the wine's name; empty for none
    const char* kategorie;
    const char* fuellmenge;
    int gewicht;  // grams of the full bottle
    // Price of the bottle in DM, from .. to, in half marks.
    int dmVon2;
    int dmBis2;
};

constexpr StufenDaten kStufen[] = {
    {"", "Qualitätswein", "1,0 l", 1560, 13, 16},
    {"", "Qualitätswein", "0,75 l", 1240, 16, 22},
    {"Kabinett", "Prädikatswein", "0,75 l", 1240, 19, 26},
    {"Spätlese", "Prädikatswein", "0,75 l", 1250, 24, 36},
    {"Barrique", "Qualitätswein, im Barrique gereift", "0,75 l", 1400, 44, 60},
    {"Auslese", "Prädikatswein", "0,5 l", 900, 36, 56},
    {"Beerenauslese", "Prädikatswein", "0,375 l", 700, 90, 140},
    {"Eiswein", "Prädikatswein", "0,375 l", 700, 140, 220},
    {"Sekt", "Winzersekt, traditionelle Flaschengärung", "0,75 l", 1650, 30, 40}};

constexpr int kMonatsGewicht[12] = {4, 5, 7, 9, 9, 7, 6, 5, 7, 9, 14, 18};
constexpr int kMonatsGewichtMax = 18;

constexpr int kMengenPrivat[] = {1, 2, 3, 3, 6, 6, 6, 6, 12, 12, 18};
constexpr int kMengenFirma[] = {6, 12, 12, 12, 18, 24, 24, 36, 48, 60};

// ------------------------------------------------------------- helpers --

class Zufall {
  public:
    explicit Zufall(std::uint32_t seed) : engine_(seed) {}
    // 0 .. n-1. The engine's output is fixed by the standard; the
    // distributions are not, so they are not used.
    int Bis(int n) {
        return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<std::uint32_t>(n));
    }
    bool Prozent(int p) { return Bis(100) < p; }
    template <typename T, std::size_t N>
    const T& Aus(const T (&tabelle)[N]) {
        return tabelle[static_cast<std::size_t>(Bis(static_cast<int>(N)))];
    }

  private:
    std::mt19937 engine_;
};

template <std::size_t N>
void Setze(char (&feld)[N], std::string_view utf8) {
    FixedText::Set(feld, CodePage::Utf8ToCp1252(utf8));
}

std::string Format(const char* muster, const std::string& einsatz) {
    std::string text = muster;
    const std::size_t stelle = text.find("%s");
    if (stelle != std::string::npos) {
        text.replace(stelle, 2, einsatz);
    }
    return text;
}

// Letters for an e-mail address: umlauts spelled out, all else dropped.
std::string Adressteil(std::string_view utf8) {
    static constexpr std::pair<const char*, const char*> kUmlaute[] = {
        {"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "ae"}, {"Ö", "oe"}, {"Ü", "ue"}, {"ß", "ss"}};
    std::string text;
    for (std::size_t i = 0; i < utf8.size();) {
        bool ersetzt = false;
        for (const auto& [umlaut, ersatz] : kUmlaute) {
            const std::string_view u(umlaut);
            if (utf8.substr(i, u.size()) == u) {
                text += ersatz;
                i += u.size();
                ersetzt = true;
                break;
            }
        }
        if (ersetzt) {
            continue;
        }
        const char c = utf8[i++];
        if (c >= 'A' && c <= 'Z') {
            text += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || c == '-') {
            text += c;
        }
    }
    return text;
}

struct Moment {
    std::uint32_t tag = 0;  // Julian day
    int sekunde = 0;        // of the local day
    bool operator<(const Moment& o) const {
        return tag != o.tag ? tag < o.tag : sekunde < o.sekunde;
    }
};

std::int64_t Unix(const Moment& m) {
    return Beispieldaten::Zeitpunkt(Datum(m.tag), m.sekunde);
}

int Wochentag(std::uint32_t julian) {
    return static_cast<int>(julian % 7);  // 0 Monday .. 6 Sunday
}

// A working-day moment between `von` and `bis` (inclusive), with the
// season's weight on the months when `saisonal`.
Moment Werktag(Zufall& z, std::uint32_t von, std::uint32_t bis, bool saisonal) {
    for (;;) {
        const std::uint32_t tag =
            von + static_cast<std::uint32_t>(z.Bis(static_cast<int>(bis - von + 1)));
        if (Wochentag(tag) == 6) {
            continue;
        }
        if (saisonal && z.Bis(kMonatsGewichtMax) >= kMonatsGewicht[Datum(tag).Month() - 1]) {
            continue;
        }
        return {tag, 8 * 3600 + z.Bis(9 * 3600)};
    }
}

// ----------------------------------------------------------- generator --

struct Preise {
    float dm = 0.0f;
    float euro = 0.0f;
};

struct WeinInfo {
    std::int32_t nummer = 0;
    int jahrgang = 0;
    Stufe stufe = kQualitaet;
};

enum Art { kPrivat, kFirma };

struct KundenInfo {
    std::int32_t nummer = 0;
    int preisliste = -1;
    Art art = kPrivat;
    bool abHof = true;
    Moment erfasst;
};

class Generator {
  public:
    Generator(Datenbestand& bestand, const Beispieldaten::Umfang& umfang, std::uint32_t seed,
              Datum stichtag)
        : v_(bestand.GetVerwaltungen()),
          kunden_(bestand.KundenEinlesen()),
          umfang_(umfang),
          z_(seed),
          stichtag_(stichtag) {
        const int jahre = std::clamp((umfang.rechnungen + 2499) / 2500, 3, 20);
        Datum beginn(stichtag.Day(), stichtag.Month(), stichtag.Year() - jahre);
        if (!beginn.IsValid()) {  // 29 February
            beginn = Datum(1, 3, stichtag.Year() - jahre);
        }
        beginn_ = beginn.Julian() + 1;
        letzterJahrgang_ = stichtag.Year() - 1;
        ersterJahrgang_ = Datum(beginn_).Year() - 4;
    }

    void Erzeugen() {
        Einstellungen();
        Gruppen();
        Weine();
        Preislisten();
        Kunden();
        Rechnungen();
        Bestaende();
    }

  private:
    void Einstellungen() {
        // A business of today keeps its prices in Euro, VAT included.
        Customizer& c = *v_.customizer;
        c.mwst = 19.0f;
        c.SetWaehrung("EUR");
        c.preiseInEuro = 1;
        c.mwstEnthalten = 1;
    }

    void Gruppen() {
        for (const char* gruppe : Beispieldaten::kGruppen) {
            v_.geoGruppe->AddGeoGruppe(CodePage::Utf8ToCp1252(gruppe));
        }
    }

    Stufe StufeFuer(const Sorte& sorte) {
        const int w = z_.Bis(100);
        if (sorte.farbe == kRose) {
            return w < 20 ? kLiterwein : kQualitaet;
        }
        if (sorte.farbe == kRot) {
            return w < 15 ? kLiterwein : w < 60 ? kQualitaet : w < 88 ? kSpaetlese : kBarrique;
        }
        if (w < 12) {
            return kLiterwein;
        }
        if (w < 44) {
            return kQualitaet;
        }
        if (w < 64) {
            return kKabinett;
        }
        if (w < 84) {
            return kSpaetlese;
        }
        if (w < 91) {
            return kAuslese;
        }
        if (w < 95 && sorte.edelsuess) {
            return w < 93 ? kBeerenauslese : kEiswein;
        }
        return kSekt;
    }

    std::string Geschmack(Farbe farbe, Stufe stufe) {
        if (stufe == kAuslese || stufe == kBeerenauslese || stufe == kEiswein) {
            return "";
        }
        if (stufe == kSekt) {
            return z_.Prozent(70) ? "brut" : "extra trocken";
        }
        const int w = z_.Bis(100);
        if (farbe == kRot) {
            return w < 75 ? "trocken" : w < 92 ? "halbtrocken" : "lieblich";
        }
        return w < 55 ? "trocken" : w < 75 ? "halbtrocken" : w < 90 ? "feinherb" : "lieblich";
    }

    void Weine() {
        int gewichte = 0;
        for (const Sorte& s : kSorten) {
            gewichte += s.gewicht;
        }
        const int jahrgaenge = letzterJahrgang_ - ersterJahrgang_ + 1;
        WeinlistenVerwaltung& weine = *v_.weinlistenVerwaltung;
        for (int k = 0; k < umfang_.weine; ++k) {
            int w = z_.Bis(gewichte);
            const Sorte* sorte = &kSorten[0];
            for (const Sorte& s : kSorten) {
                if (w < s.gewicht) {
                    sorte = &s;
                    break;
                }
                w -= s.gewicht;
            }
            WeinInfo info;
            info.nummer = k + 1;
            info.jahrgang = ersterJahrgang_ + static_cast<int>(std::int64_t{k} * jahrgaenge /
                                                               std::max(1, umfang_.weine));
            info.stufe = StufeFuer(*sorte);
            const StufenDaten& stufe = kStufen[info.stufe];

            Wein wein;
            wein.nummer = info.nummer;
            std::string name =
                info.stufe == kSekt ? std::string(sorte->name) + " Sekt" : std::string(sorte->name);
            if (info.stufe != kSekt && stufe.name[0] != '\0') {
                name += std::string(" ") + stufe.name;
            }
            const std::string geschmack = Geschmack(sorte->farbe, info.stufe);
            if (!geschmack.empty()) {
                name += " " + geschmack;
            }
            Setze(wein.name, name);
            std::string herkunft = info.stufe == kLiterwein ? "Literwein"
                                   : info.stufe == kSekt    ? "Sekt"
                                   : z_.Prozent(25)         ? "Gutswein"
                                                            : z_.Aus(kLagen);
            Setze(wein.bezeichnung,
                  std::to_string(info.jahrgang) + "er " + herkunft + ", " + stufe.kategorie);
            Setze(wein.fuellmenge, stufe.fuellmenge);
            wein.gewicht = static_cast<std::uint16_t>(stufe.gewicht + z_.Bis(60));
            // Bottled in the spring after the harvest; saved then for the last time.
            std::uint32_t abgefuellt =
                Datum(1, 3, info.jahrgang + 1).Julian() + static_cast<std::uint32_t>(z_.Bis(100));
            abgefuellt = std::min(abgefuellt, stichtag_.Julian());
            const Moment gespeichert{abgefuellt, 9 * 3600 + z_.Bis(8 * 3600)};
            wein.datum = static_cast<std::int32_t>(gespeichert.tag);
            wein.zeit = Zeit::FromUnix(Unix(gespeichert)).Seconds();

            weine.AddWein(wein.nummer);
            *weine.GetWein(wein.nummer) = wein;
            weinInfos_.push_back(info);
            grundpreis_.push_back(0.5 * (stufe.dmVon2 + z_.Bis(stufe.dmBis2 - stufe.dmVon2 + 1)));
        }
        weine.Sort();
    }

    void Preislisten() {
        PreisVerwaltung& pv = *v_.preisVerwaltung;
        for (int p = 0; p < umfang_.preislisten; ++p) {
            pv.AddPreisliste(CodePage::Utf8ToCp1252(kListen[p].name));
            pv.SetPreisliste(p);
            std::vector<Preise> liste;
            for (std::size_t k = 0; k < weinInfos_.size(); ++k) {
                // Lists of their own are rounded to ten pfennigs, the estate's
                // price to half marks; the Euro prices were set anew in 2002.
                const double dm = std::round(grundpreis_[k] * kListen[p].faktor * 10.0) / 10.0;
                const double euro = std::round(dm / 1.95583 * 10.0) / 10.0;
                const Preise preis{static_cast<float>(dm), static_cast<float>(euro)};
                liste.push_back(preis);
                pv.AddPreis(Preis(weinInfos_[k].nummer, preis.dm, preis.euro));
            }
            preise_.push_back(std::move(liste));
        }
    }

    int PreislisteFuer(Art art, bool abHof) {
        if (umfang_.preislisten == 0) {
            return -1;
        }
        int liste = kAbHof;
        if (art == kFirma) {
            liste = z_.Prozent(60) ? kGastro : kHandel;
        } else if (umfang_.preislisten > 4 && z_.Prozent(10)) {
            liste = 4 + z_.Bis(umfang_.preislisten - 4);
        } else if (!abHof) {
            liste = kVersand;
        }
        return liste % umfang_.preislisten;
    }

    std::string Telefon(const char* vorwahl) {
        const int stellen = std::string_view(vorwahl).size() <= 4 ? 7 : 5 + z_.Bis(2);
        std::string nummer = std::to_string(2 + z_.Bis(8));
        for (int i = 1; i < stellen; ++i) {
            nummer += static_cast<char>('0' + z_.Bis(10));
        }
        return std::string(vorwahl) + " " + nummer;
    }

    void Kunden() {
        // A third of the customers were there before the first invoice of
        // the data set; the others come over the years.
        const int vorher = umfang_.kunden > 0 ? std::max(1, umfang_.kunden / 3) : 0;
        std::vector<Moment> erfasst;
        for (int k = 0; k < umfang_.kunden; ++k) {
            erfasst.push_back(k < vorher ? Werktag(z_, beginn_ - 730, beginn_ - 1, false)
                                         : Werktag(z_, beginn_, stichtag_.Julian() - 1, false));
        }
        std::sort(erfasst.begin(), erfasst.end());

        const auto& regionen = Regionen();
        for (int k = 0; k < umfang_.kunden; ++k) {
            int w = z_.Bis(100);
            std::size_t r = 0;
            while (r + 1 < regionen.size() && w >= regionen[r].anteil) {
                w -= regionen[r].anteil;
                ++r;
            }
            const Region& region = regionen[r];
            const Ort& ort =
                region.orte[static_cast<std::size_t>(z_.Bis(static_cast<int>(region.orte.size())))];

            Kunde kunde;
            const int art = z_.Bis(100);
            const std::string nachname = z_.Aus(kNachnamen);
            std::string vorname;
            std::string mailName;
            KundenInfo info;
            if (art < 35) {
                Setze(kunde.Anrede, "Herrn");
                vorname = z_.Aus(kVornamenM);
                mailName = vorname;
            } else if (art < 68) {
                Setze(kunde.Anrede, "Frau");
                vorname = z_.Aus(kVornamenW);
                mailName = vorname;
            } else if (art < 83) {
                Setze(kunde.Anrede, "Eheleute");
                mailName = z_.Aus(kVornamenM);
                vorname = mailName + " und " + z_.Aus(kVornamenW);
            } else if (art < 87) {
                Setze(kunde.Anrede, "Familie");
                mailName = "familie";
            } else {
                Setze(kunde.Anrede, "Firma");
                info.art = kFirma;
            }
            std::string name = nachname;
            if (info.art == kFirma) {
                name = Format(z_.Aus(kFirmen), nachname);
                if (z_.Prozent(50)) {
                    vorname =
                        std::string("z. Hd. ") + (z_.Prozent(50) ? "Herrn " : "Frau ") + nachname;
                }
            }
            Setze(kunde.Vorname, vorname);
            Setze(kunde.Nachname, name);
            // One draw per statement: the order in which the operands of an
            // expression are evaluated is the compiler's choice.
            std::string strasse = z_.Aus(kStrassen);
            const int hoechsteNummer = z_.Prozent(70) ? 40 : 140;
            strasse += " " + std::to_string(1 + z_.Bis(hoechsteNummer));
            if (z_.Prozent(8)) {
                strasse += static_cast<char>('a' + z_.Bis(3));
            }
            Setze(kunde.Strasse, strasse);
            kunde.PLZ = ort.plz;
            Setze(kunde.Ort, ort.name);
            if (info.art == kFirma || z_.Prozent(85)) {
                Setze(kunde.Telefon, Telefon(ort.vorwahl));
            }
            if (info.art == kFirma && z_.Prozent(60)) {
                Setze(kunde.Fax, Telefon(ort.vorwahl));
            }
            static constexpr const char* kDomains[] = {"example.com", "example.net", "example.org"};
            if (info.art == kFirma && z_.Prozent(80)) {
                Setze(kunde.EMail,
                      "info@" + Adressteil(name).substr(0, 24) + "." + z_.Aus(kDomains));
            } else if (info.art == kFirma) {
                // Every business customer can be sent an e-invoice; without
                // a draw, so that the rest of the data stays as it was.
                Setze(kunde.EMail, "rechnung@" + Adressteil(name).substr(0, 24) + ".example.com");
            } else if (info.art == kPrivat && z_.Prozent(45)) {
                Setze(kunde.EMail,
                      Adressteil(mailName) + "." + Adressteil(nachname) + "@" + z_.Aus(kDomains));
            }
            if (z_.Prozent(15)) {
                Setze(kunde.bemerkung, z_.Aus(kKundenBemerkungen));
            }
            info.abHof = region.abHof;
            info.preisliste = PreislisteFuer(info.art, info.abHof);
            kunde.preisliste = static_cast<std::int16_t>(info.preisliste);
            kunde.kundenGruppe = static_cast<std::int16_t>(r);
            info.erfasst = erfasst[static_cast<std::size_t>(k)];
            kunde.erfasstDatum = info.erfasst.tag;
            kunde.erfasstZeit = Zeit::FromUnix(Unix(info.erfasst)).Seconds();
            kunden_.AddKunde(kunde);
            info.nummer = kunde.nummer;
            kundenInfos_.push_back(info);
        }
    }

    // How many items each invoice gets: the mean, varied in pairs so that
    // the sum comes out exactly.
    std::vector<std::int64_t> Postenzahlen() {
        const std::int64_t n = umfang_.rechnungen;
        std::vector<std::int64_t> zahlen(static_cast<std::size_t>(n));
        if (n == 0) {
            return zahlen;
        }
        const std::int64_t mittel = umfang_.Posten() / n;
        const std::int64_t rest = umfang_.Posten() % n;
        for (std::int64_t i = 0; i < n; ++i) {
            zahlen[static_cast<std::size_t>(i)] = mittel + (i < rest ? 1 : 0);
        }
        for (std::size_t i = 0; mittel >= 2 && i + 1 < zahlen.size(); i += 2) {
            const std::int64_t d =
                z_.Bis(static_cast<int>(std::min<std::int64_t>(2 * mittel - 1, 1 << 30))) -
                (mittel - 1);
            zahlen[i] += d;
            zahlen[i + 1] -= d;
        }
        return zahlen;
    }

    // The wines on sale in a year: the four vintages before it, or all when
    // they are too few.
    const std::vector<std::size_t>& Angebot(int jahr, std::size_t mindestens) {
        auto& angebot = angebote_[jahr];
        if (angebot.empty()) {
            for (std::size_t k = 0; k < weinInfos_.size(); ++k) {
                if (weinInfos_[k].jahrgang >= jahr - 4 && weinInfos_[k].jahrgang < jahr) {
                    angebot.push_back(k);
                }
            }
        }
        if (angebot.size() >= mindestens) {
            return angebot;
        }
        if (alle_.empty()) {
            for (std::size_t k = 0; k < weinInfos_.size(); ++k) {
                alle_.push_back(k);
            }
        }
        return alle_;
    }

    void Rechnungen() {
        if (umfang_.rechnungen == 0 || kundenInfos_.empty() || weinInfos_.empty() ||
            preise_.empty()) {
            return;
        }
        std::vector<Moment> momente;
        for (int i = 0; i < umfang_.rechnungen; ++i) {
            momente.push_back(Werktag(z_, beginn_, stichtag_.Julian(), true));
        }
        std::sort(momente.begin(), momente.end());
        const std::vector<std::int64_t> zahlen = Postenzahlen();

        RechnungsVerwaltung& rv = *v_.rechnungsVerwaltung;
        // The stock is set once at the end: every stock change of an item
        // would be a synced write of the wine list.
        v_.postenVerwaltung->SetWeinlistenVerwaltung(nullptr);
        std::int64_t uebertrag = 0;
        for (std::size_t i = 0; i < momente.size(); ++i) {
            const Moment& moment = momente[i];
            Clock::Fix(Unix(moment));
            const auto bekannt =
                static_cast<int>(std::upper_bound(kundenInfos_.begin(), kundenInfos_.end(), moment,
                                                  [](const Moment& m, const KundenInfo& k) {
                                                      return m < k.erfasst;
                                                  }) -
                                 kundenInfos_.begin());
            const int auswahl = std::max(1, bekannt);
            // Regular customers, the early ones, order more often.
            const int index = z_.Prozent(40) ? z_.Bis(std::max(1, auswahl / 5)) : z_.Bis(auswahl);
            const KundenInfo& kunde = kundenInfos_[static_cast<std::size_t>(index)];
            const auto& liste = preise_[static_cast<std::size_t>(std::max(0, kunde.preisliste) %
                                                                 static_cast<int>(preise_.size()))];

            // Now and then a customer orders the same as last time: the
            // invoice list's duplicate, dated anew.
            if (z_.Bis(150) == 0 && Nachbestellung(kunde.nummer, moment, zahlen[i], uebertrag)) {
                continue;
            }

            Rechnung* r = rv.AllocRechnung(kunde.nummer);
            r->nummer = NummerFuer(r->id);
            const std::int64_t gewollt = zahlen[i] + uebertrag;
            std::vector<std::size_t> angebot =
                Angebot(Datum(moment.tag).Year(),
                        static_cast<std::size_t>(std::max<std::int64_t>(0, gewollt)));
            const auto anzahl = static_cast<std::size_t>(
                std::clamp<std::int64_t>(gewollt, 0, static_cast<std::int64_t>(angebot.size())));
            uebertrag = gewollt - static_cast<std::int64_t>(anzahl);
            int flaschen = 0;
            for (std::size_t j = 0; j < anzahl; ++j) {
                const std::size_t wahl =
                    j + static_cast<std::size_t>(z_.Bis(static_cast<int>(angebot.size() - j)));
                std::swap(angebot[j], angebot[wahl]);
                const std::size_t wein = angebot[j];
                const int menge =
                    kunde.art == kFirma ? z_.Aus(kMengenFirma) : z_.Aus(kMengenPrivat);
                flaschen += menge;
                rv.SetPosten(*r, weinInfos_[wein].nummer, liste[wein].dm, liste[wein].euro,
                             static_cast<std::int16_t>(menge));
            }
            const std::int16_t kisten =
                static_cast<std::int16_t>(std::min(999, (flaschen + 11) / 12));
            if (kunde.art == kFirma) {
                r->steigen = kisten;
            } else if (!kunde.abHof) {
                r->kartons = kisten;
            } else if (flaschen >= 6) {
                r->kartons = static_cast<std::int16_t>(std::min(999, (flaschen + 5) / 6));
            }
            const std::uint32_t alter = stichtag_.Julian() - moment.tag;
            r->datum = alter < 30 && z_.Prozent(25)
                           ? Datum::k1901
                           : moment.tag - static_cast<std::uint32_t>(z_.Bis(3));
            if (z_.Prozent(alter > 42 ? 98 : 35)) {
                r->beglichen = 1;
                r->betragEingegangen = r->GetSumme(false);
            }
            const char* versand = kunde.art == kFirma ? "eigenes Fahrzeug."
                                  : kunde.abHof       ? "Selbstabholung."
                                                      : "Paketdienst.";
            Setze(r->bemerkung, std::string(Customizer::kStandardBemerkung) + " " + versand);
            const std::int32_t id = r->id;
            // The invoice made itself the head of its customer's chain when it
            // was reserved; storing it would also write that customer, synced,
            // which for thousands of invoices takes minutes on a disk. The
            // customer file is written once, at the end.
            v_.kundenVerwaltung = nullptr;
            rv.StoreRechnung();
            v_.kundenVerwaltung = &kunden_;
            if (z_.Bis(200) == 0) {
                // Cancelled on one of the next working days.
                Clock::Fix(Unix(Werktag(z_, moment.tag + 1, moment.tag + 3, false)));
                rv.DeleteRechnung(id, z_.Prozent(50));
            }
        }
        v_.postenVerwaltung->SetWeinlistenVerwaltung(v_.weinlistenVerwaltung);
    }

    // Invoice numbers of the business run from 1001 on.
    static std::int32_t NummerFuer(std::int32_t id) { return 1001 + id; }

    // Derives an invoice from the customer's newest one; false when there is
    // none to derive from. Its items count against the planned ones.
    bool Nachbestellung(std::int32_t kunde, const Moment& moment, std::int64_t geplant,
                        std::int64_t& uebertrag) {
        RechnungsVerwaltung& rv = *v_.rechnungsVerwaltung;
        const Kunde* k = kunden_.GetKunde(kunde);
        const Rechnung* alt = k != nullptr ? rv.GetRechnung(k->letzteRechnung) : nullptr;
        if (alt == nullptr || alt->IstGeloescht()) {
            return false;
        }
        const Rechnung quelle(*alt);
        const std::int32_t id = rv.DeriveRechnung(quelle);
        Rechnung* neu = rv.GetRechnung(id);
        neu->nummer = NummerFuer(id);
        neu->datum = moment.tag;
        uebertrag += geplant - neu->GetAnzahlPosten();
        rv.UpdateCurrentRechnung();
        return true;
    }

    void Bestaende() {
        WeinlistenVerwaltung& weine = *v_.weinlistenVerwaltung;
        for (const WeinInfo& info : weinInfos_) {
            Wein* wein = weine.GetWein(info.nummer);
            const int alter = letzterJahrgang_ - info.jahrgang;
            int bestand = 0;
            if (info.stufe == kBeerenauslese || info.stufe == kEiswein) {
                bestand = alter <= 6 ? 12 + z_.Bis(60) : z_.Bis(12);
            } else if (alter <= 1) {
                bestand = 6 * (20 + z_.Bis(200));
            } else if (alter == 2) {
                bestand = 6 * z_.Bis(60);
            } else if (z_.Prozent(25)) {
                bestand = 6 * z_.Bis(10);
            }
            wein->bestand = bestand;
            // Sold out wines of old vintages no longer show in the lists.
            wein->verborgen = bestand == 0 && alter >= 2 ? 1 : 0;
        }
        weine.Flush();
    }

    Verwaltungen& v_;
    KundenVerwaltung& kunden_;
    const Beispieldaten::Umfang& umfang_;
    Zufall z_;
    Datum stichtag_;
    std::uint32_t beginn_ = 0;
    int ersterJahrgang_ = 0;
    int letzterJahrgang_ = 0;
    std::vector<WeinInfo> weinInfos_;
    std::vector<double> grundpreis_;
    std::vector<std::vector<Preise>> preise_;
    std::vector<KundenInfo> kundenInfos_;
    std::map<int, std::vector<std::size_t>> angebote_;
    std::vector<std::size_t> alle_;
};

bool HatDaten(const std::string& pfad) {
    const Ergebnis<File::Entry> eintrag = File::Stat(pfad, true);
    return eintrag && eintrag->size > 0;
}

}  // namespace

Beispieldaten::Umfang Beispieldaten::Umfang::Benchmark() {
    Umfang u;
    u.kunden = 2000;
    u.weine = 200;
    u.preislisten = 20;
    u.rechnungen = 50000;
    u.posten = 500000;
    return u;
}

std::int64_t Beispieldaten::Zeitpunkt(Datum tag, int sekundeDesTages) {
    std::tm lokal{};
    lokal.tm_mday = tag.Day();
    lokal.tm_mon = tag.Month() - 1;
    lokal.tm_year = tag.Year() - 1900;
    lokal.tm_hour = sekundeDesTages / 3600;
    lokal.tm_min = sekundeDesTages / 60 % 60;
    lokal.tm_sec = sekundeDesTages % 60;
    lokal.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&lokal));
}

std::string Beispieldaten::Hindernis(const std::string& verzeichnis) {
    static constexpr std::pair<const char*, const char*> kInhalte[] = {
        {"kunden.dat", "Kunden"},          {"weinliste.dat", "Weine"},
        {"rechnungen.dat", "Rechnungen"},  {"rechnungsposten.dat", "Rechnungsposten"},
        {"weinlisten.txt", "Preislisten"}, {"geogruppe.txt", "Kundengruppen"}};
    for (const auto& [datei, inhalt] : kInhalte) {
        if (HatDaten(verzeichnis + "/" + datei)) {
            return "Das Datenverzeichnis " + CodePage::Zitat(verzeichnis) + " enthält schon "_w +
                   inhalt + "; Beispieldaten kommen nur in ein leeres Datenverzeichnis.";
        }
    }
    return "";
}

namespace {

void FirmaEintragen(Datenbestand& bestand) {
    Firmendaten& firma = bestand.GetFirmendaten();
    firma.name = "Weingut Rebenhof";
    firma.inhaber = "Martin Becker";
    firma.strasse =
        "Hauptstra\xDF"
        "e 21";
    firma.plz = "55232";
    firma.ort = "Alzey";
    firma.land = "DE";
    firma.telefon = "06731 945870";
    firma.email = "info@weingut-rebenhof.example.com";
    firma.ustId = "DE814736295";
    firma.steuernummer = "44/220/12345";
    firma.iban = "DE85550501200123456789";
    firma.bic = "MALADE51MNZ";
    firma.bank = "Sparkasse Rheinhessen";
    firma.zahlungsziel = "14";
    if (Ergebnis<void> gespeichert = firma.Speichern(bestand.FirmendatenDatei()); !gespeichert) {
        throw MessageException(
            "Die Datei " + bestand.FirmendatenDatei() + " konnte nicht geschrieben werden.",
            gespeichert.Ursache());
    }
}

}  // namespace

bool Beispieldaten::FirmendatenVorhanden(const std::string& verzeichnis) {
    return static_cast<bool>(File::Stat(verzeichnis + "/" + Firmendaten::kDatei));
}

namespace {

// A few of the overdue invoices have been reminded before, at different
// levels and on different days, so that the open items show every case.
// Chosen by their place among the overdue ones, not by chance, so that the
// invoices themselves come out as before.
void Gemahnt(Datenbestand& bestand, Datum stichtag) {
    constexpr std::size_t kHoechstens = 12;
    Verwaltungen& v = bestand.GetVerwaltungen();
    const std::vector<OffenerPosten> ueberfaellig =
        OffenePosten::Ermitteln(*v.rechnungsVerwaltung, v.customizer, bestand.GetFirmendaten(),
                                nullptr, bestand.GetMahntexte(), stichtag, true);
    for (std::size_t i = 0; i < ueberfaellig.size() && i < kHoechstens; ++i) {
        const OffenerPosten& p = ueberfaellig[i];
        switch (i % 4) {
            case 0:
                bestand.GetMahnungen().Vermerken(p.id, p.nummer, 2, Datum(stichtag.Julian() - 21),
                                                 nullptr);
                break;
            case 1:
                bestand.GetMahnungen().Vermerken(p.id, p.nummer, 1, Datum(stichtag.Julian() - 35),
                                                 nullptr);
                break;
            case 2:
                bestand.GetMahnungen().Vermerken(p.id, p.nummer, 1, Datum(stichtag.Julian() - 7),
                                                 nullptr);
                break;
            default:
                break;
        }
    }
}

}  // namespace

void Beispieldaten::Erzeugen(const std::string& verzeichnis, const Umfang& umfang,
                             std::uint32_t seed, Datum stichtag) {
    const std::int64_t jetzt = Zeitpunkt(stichtag);
    Clock::Fix(jetzt);
    // A new business numbers its customers from 1, whatever this process
    // has seen before.
    KundenVerwaltung::maxNummer = 0;
    try {
        // Thousands of records: synced once at the end, not each on its own.
        SyncAufschub stapel;
        {
            Datenbestand bestand(verzeichnis);
            Generator(bestand, umfang, seed, stichtag).Erzeugen();
            Gemahnt(bestand, stichtag);
            // The estate's own data, so that its e-invoices can be tried at once;
            // a grower's own seller data stay as they are.
            if (!FirmendatenVorhanden(verzeichnis)) {
                FirmaEintragen(bestand);
            }
            Clock::Fix(jetzt);
            // The settings would otherwise only be stored, without a word on
            // failure, when the data set closes.
            Customizer& einstellungen = *bestand.GetVerwaltungen().customizer;
            if (Ergebnis<void> gespeichert = einstellungen.Store(); !gespeichert) {
                throw MessageException("Die Datei preferences.dat konnte nicht geschrieben werden.",
                                       gespeichert.Ursache());
            }
        }
        if (Ergebnis<void> gesichert = stapel.Beenden(); !gesichert) {
            throw MessageException(
                "Die Beispieldaten konnten nicht vollständig auf den Datenträger geschrieben "
                "werden."_w,
                gesichert.Ursache());
        }
    } catch (...) {
        Clock::Fix(std::nullopt);
        throw;
    }
    Clock::Fix(std::nullopt);
}

namespace {

// Raises the message, with the failed file operation as its cause.
void Pruefen(const Ergebnis<void>& ergebnis, const std::string& text) {
    if (!ergebnis) {
        throw MessageException(text, ergebnis.Ursache());
    }
}

}  // namespace

void Beispieldaten::Anlegen(const std::string& verzeichnis, const Umfang& umfang,
                            std::uint32_t seed, Datum stichtag) {
    const std::vector<std::string> vorhanden = File::List(verzeichnis).WertOder({});
    // Left behind by a crash; the lock says no one else is at work here.
    for (const std::string& name : vorhanden) {
        if (name.rfind(kNeuerOrdner, 0) == 0) {
            File::Remove(verzeichnis + "/" + name);
        }
    }
    // Inside the directory, so that the files can be renamed into it even
    // when it is a link to or a mount of another file system.
    const Ergebnis<std::string> angelegt =
        File::CreateTempDirectory(verzeichnis + "/" + kNeuerOrdner);
    if (!angelegt) {
        throw MessageException(
            "Die Beispieldaten konnten nicht angelegt werden: im "
            "Datenverzeichnis " +
            CodePage::Zitat(verzeichnis) + " kann kein Ordner angelegt werden (" +
            angelegt.Ursache().Grund() + "). Es wurde nichts verändert."_w);
    }
    const std::string neu = *angelegt;
    std::vector<std::string> dateien;
    try {
        // The program's files already there (settings, log book, notes,
        // empty lists) are carried over, as if the business had been written
        // among them; anything else in the directory is left alone.
        for (const std::string& name : vorhanden) {
            const std::string pfad = verzeichnis + "/" + name;
            const Ergebnis<File::Entry> eintrag = File::Stat(pfad);
            if (!DatenDateien::IstDatendatei(name) || !eintrag ||
                eintrag->kind != File::Kind::Regular) {
                continue;
            }
            const Ergebnis<std::string> bytes = File::ReadFile(pfad);
            if (!bytes) {
                throw MessageException(
                    "Die Datei " + CodePage::Zitat(pfad) + " kann nicht gelesen werden.",
                    bytes.Ursache());
            }
            Ergebnis<File> kopie = File::OpenReadWrite(neu + "/" + name);
            Pruefen(kopie ? kopie->WriteAt(0, *bytes) : kopie.Ursache(),
                    "Die Datei " + CodePage::Zitat(neu + "/" + name) +
                        " konnte nicht geschrieben werden.");
        }
        const bool firmaBehalten = FirmendatenVorhanden(verzeichnis);
        Erzeugen(neu, umfang, seed, stichtag);
        if (firmaBehalten) {
            // Not carried over because it is no file of its own (a link):
            // the sample's must not take its place either.
            File::Remove(neu + "/" + Firmendaten::kDatei);
        }
        // Batch work syncs once, at its end, before anything is moved in.
        dateien = File::List(neu).WertOder({});
        for (const std::string& name : dateien) {
            Pruefen(File::SyncPath(neu + "/" + name), "Die Datei " +
                                                          CodePage::Zitat(neu + "/" + name) +
                                                          " konnte nicht gespeichert werden.");
        }
    } catch (const std::exception& fehler) {
        File::Remove(neu);
        const auto* meldung = dynamic_cast<const MessageException*>(&fehler);
        std::string grund =
            meldung != nullptr ? std::string(fehler.what()) : CodePage::Utf8ToCp1252(fehler.what());
        if (!grund.empty() && grund.back() != '.') {
            grund += '.';
        }
        // The failed file operation tells why; without one, the likeliest.
        const std::string warum = meldung != nullptr && meldung->Ursache()
                                      ? meldung->Ursache()->Grund()
                                      : "ist der Datenträger voll?"_w;
        throw MessageException("Die Beispieldaten konnten nicht angelegt werden (" + warum +
                               "): " + grund + " Das Datenverzeichnis " +
                               CodePage::Zitat(verzeichnis) + " ist unverändert."_w);
    }
    // The customers last: until they are there, the directory does not look
    // like a business to anyone who reads it meanwhile.
    std::stable_partition(dateien.begin(), dateien.end(),
                          [](const std::string& name) { return name != "kunden.dat"; });
    std::size_t verschoben = 0;
    for (const std::string& name : dateien) {
        const std::string ziel = verzeichnis + "/" + name;
        const Ergebnis<std::string> vorher = File::ReadFile(ziel);
        const Ergebnis<std::string> nachher = File::ReadFile(neu + "/" + name);
        if (vorher && nachher && *vorher == *nachher) {
            // Unchanged (the notes, say): it keeps its date for backups.
            ++verschoben;
            continue;
        }
        if (const Ergebnis<void> umbenannt = File::Rename(neu + "/" + name, ziel); !umbenannt) {
            File::Remove(neu);
            throw MessageException(
                "Die Beispieldaten konnten nicht vollständig in das Datenverzeichnis "_w +
                CodePage::Zitat(verzeichnis) + " verschoben werden (" + std::to_string(verschoben) +
                " von " + std::to_string(dateien.size()) + " Dateien, " +
                umbenannt.Ursache().Grund() + "); die Datei " + CodePage::Zitat(ziel) +
                " fehlt noch.");
        }
        ++verschoben;
    }
    (void)File::SyncPath(verzeichnis);
    // With the files that stayed as they were, which were not moved.
    File::Remove(neu);
}
