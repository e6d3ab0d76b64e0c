#include "cli/RebkontorCli.h"

#include <algorithm>

#include "cli/Aufruf.h"

namespace {

constexpr const char* kAllgemeinKopf = R"(Aufruf: rebkontor-cli [-C VERZEICHNIS] BEFEHL [OPTIONEN]

Das Werkzeug für Skripte und geplante Aufträge neben dem Rebkontor-Fenster. Es
arbeitet auf dem Datenverzeichnis »daten« unter dem Arbeitsverzeichnis und
schreibt dieselben Dateien wie das Fenster.

  -C VERZEICHNIS  zuerst in VERZEICHNIS wechseln (wie make -C); »daten« und
                  relative Dateinamen gelten dann dort
  -h, --help      diese Hilfe

Befehle:
)";

constexpr const char* kAllgemeinFuss = R"(
»rebkontor-cli BEFEHL --help« beschreibt einen Befehl.

Nur »beispieldaten«, »firmendaten« mit Optionen, »datev« (das sich jeden
Export merkt), »mahnungen --vermerken« und »wiederherstellen --ja«
verändern Daten, und »sichern« hält sie fest, während es sie kopiert; diese
arbeiten nur, solange kein Rebkontor-Fenster mit demselben Verzeichnis
arbeitet. Alle anderen Befehle lesen die Daten nur, auch neben einem
laufenden Fenster, und legen das Verzeichnis »daten« nie an.
Ausgaben gehen nie in das Datenverzeichnis und ersetzen nur gewöhnliche
Dateien; DATEI »-« ist die Standardausgabe (außer für Tabellen, PDF und
DATEV).
Datumsangaben: T.M.JJJJ (24.12.2025).
Ausgaben im Terminal sind UTF-8, geschriebene Dateien Windows-1252.

Exit-Status: 0 Erfolg, 1 Probleme gefunden oder Fehler, 2 falscher Aufruf.
)";

constexpr const char* kFlaschenliste =
    R"(Aufruf: rebkontor-cli flaschenliste DATEI [--format text|xls|xlsx]
                     [--erfassung VON BIS] [--datierung VON BIS]

Schreibt die Flaschenliste, wie das Fenster sie schreibt: die verkauften
Flaschen je Wein aus den Rechnungen des Zeitraums, bezahlten und offenen.

  --format text|xls|xlsx Textdatei, Tabelle im alten Format oder
                         Excel-Arbeitsmappe (eine Zeile je Wein mit Name,
                         Bezeichnung, Füllmenge und Flaschen, dazu die
                         Summe); ohne Angabe entscheidet die Endung der
                         DATEI (.xls: Tabelle, .xlsx: Arbeitsmappe, sonst
                         Text)
  --erfassung VON BIS    Rechnungen, die in diesem Zeitraum erfasst wurden
  --datierung VON BIS    Rechnungen, die auf diesen Zeitraum datiert sind

Ohne Zeitraum gelten die in den Grundeinstellungen gespeicherten Zeiträume wie
bei jedem Programmstart: die Datierung wird berücksichtigt, die Erfassung
nicht. Mit einer der Optionen gelten genau die angegebenen Zeiträume. Die
Grundeinstellungen werden nicht verändert.

Eine Tabelle im alten Format fasst höchstens 256 Weine und je Wein 16379
Posten. Passt die Liste nicht hinein, wird geschrieben, was passt, und der
Befehl endet mit Exit-Status 1 und sagt, wie viel fehlt; die Textdatei und die
Arbeitsmappe enthalten immer alles.
)";

constexpr const char* kAuswertung =
    R"(Aufruf: rebkontor-cli auswertung --art umsatz|weine|kunden|bestand
                     --von T.M.JJJJ --bis T.M.JJJJ [--format text|csv|xlsx]
                     [DATEI|-]

Gibt eine Auswertung der Rechnungen des Zeitraums aus, wie der Dialog
»Auswertungen« sie zeigt. Gezählt werden die Rechnungen, die nicht gelöscht
sind und deren Datum im Zeitraum liegt (ohne eigenes Datum zählt der Tag der
Erfassung); die Beträge sind die der gedruckten Rechnungen.

  --art umsatz     Umsatz je Monat, netto und brutto, neben denselben
                   Monaten des Vorjahrs
  --art weine      Flaschen und Umsatz je Wein, die meisten Flaschen zuerst
  --art kunden     die Kunden nach Umsatz, mit Ort, Rechnungen, Flaschen und
                   dem Datum der letzten Rechnung
  --art bestand    Bestand je Wein, die im Zeitraum je Monat verkauften
                   Flaschen und die Reichweite des Bestands in Monaten
                   (»–«: nichts verkauft)
  --von, --bis     der erste und der letzte Tag des Zeitraums
  --format         text (Spalten, im Terminal UTF-8), csv (Semikolon,
                   Dezimalkomma) oder xlsx (Excel-Arbeitsmappe); ohne Angabe
                   entscheidet die Endung der DATEI (.csv, .xlsx, sonst Text)

Ohne DATEI oder mit »-« geht die Auswertung auf die Standardausgabe (außer
als Arbeitsmappe).
)";

constexpr const char* kPreislisten = R"(Aufruf: rebkontor-cli preislisten DATEI

Exportiert alle Preislisten in eine Textdatei, wie »Preisliste exportieren« im
Fenster: je Preisliste jeder Wein mit Nummer, Name, Füllmenge und Preis.
)";

constexpr const char* kAdressen =
    R"(Aufruf: rebkontor-cli adressen DATEI [--gruppe NAME] [--plz VON BIS]

Schreibt die Adressdatei für Serienbriefe (CSV mit Kopfzeile), wie das Fenster
sie schreibt: für alle Kunden oder nur für eine Kundengruppe und/oder einen
PLZ-Bereich.

  --gruppe NAME    nur Kunden dieser Kundengruppe (der genaue Name; ein
                   unbekannter Name ist ein Fehler)
  --plz VON BIS    nur Kunden mit VON <= PLZ <= BIS
)";

constexpr const char* kRechnung =
    R"(Aufruf: rebkontor-cli rechnung NUMMER --pdf DATEI [--dokumente LISTE]
        rebkontor-cli rechnung --id ID --pdf DATEI [--dokumente LISTE]

Schreibt Ausfertigungen einer Rechnung in eine PDF-Datei, jede mit allen
Seiten, in der Reihenfolge Packliste, Kundenrechnung, interne Rechnung. Mit
NUMMER die neueste Rechnung mit dieser Rechnungsnummer, mit --id die Rechnung
mit dieser internen Id. Gelöschte Rechnungen werden nicht ausgegeben.

  --pdf DATEI          die PDF-Datei (Pflicht)
  --dokumente LISTE    durch Kommas getrennt aus packliste, kunde, intern;
                       ohne Angabe alle drei
  --id ID              die Rechnung mit dieser internen Id statt NUMMER

Der Briefkopf »bkopf.emf« wird im Arbeitsverzeichnis gesucht.

E-Rechnung (EN 16931) statt PDF, mit den Firmendaten als Rechnungssteller:
  --xrechnung DATEI    die Rechnung als XRechnung 3.0 (XML, CII-Syntax)
  --zugferd DATEI      die Kundenrechnung als PDF/A-3 mit eingebetteter
                       factur-x.xml (ZUGFeRD / Factur-X, Profil EN 16931)
  --referenz TEXT      die Käuferreferenz (Leitweg-ID oder Bestellzeichen);
                       ohne Angabe die Kundennummer
Eine E-Rechnung braucht Preise in Euro, vollständige Firmendaten und die
E-Mail-Adresse des Kunden; sonst sagt eine Meldung, was fehlt.
)";

constexpr const char* kFirmendaten =
    R"(Aufruf: rebkontor-cli firmendaten [--name TEXT] [--inhaber TEXT] [--strasse TEXT]
                     [--plz TEXT] [--ort TEXT] [--land CODE] [--telefon TEXT]
                     [--email ADRESSE] [--ustid DE123456789] [--steuernummer TEXT]
                     [--iban IBAN] [--bic BIC] [--bank TEXT] [--zahlungsziel TAGE]

Ohne Optionen zeigt der Befehl die Firmendaten, die E-Rechnungen als
Rechnungssteller nennen (Datei »daten/firmendaten.txt«). Jede Option ändert
ein Feld, wie der Dialog »Firmendaten« im Menü Optionen; ein leerer TEXT
löscht es. Geprüft werden die Prüfziffern der IBAN, die Form der USt-IdNr.
(DE und 9 Ziffern), der E-Mail-Adresse, der BIC, das Land (zwei
Großbuchstaben) und das Zahlungsziel (0 bis 365 Tage). Ist ein Feld falsch,
wird nichts gespeichert.
)";

constexpr const char* kDatev =
    R"(Aufruf: rebkontor-cli datev --von T.M.JJJJ --bis T.M.JJJJ DATEI [--erneut]

Schreibt die Rechnungen des Zeitraums als DATEV-Buchungsstapel für den
Steuerberater (DATEV-Format, EXTF), wie »DATEV-Export...« im Fenster: je
Rechnung, die nicht gelöscht ist und deren Datum im Zeitraum liegt, eine
Buchung ihres Endbetrags vom Debitorenkonto des Kunden an das Erlöskonto.
Zahlungen bucht der Steuerberater vom Kontoauszug.

  --von T.M.JJJJ   der erste Tag des Zeitraums
  --bis T.M.JJJJ   der letzte Tag; der Zeitraum liegt in einem Wirtschaftsjahr
  --erneut         auch dann exportieren, wenn der Zeitraum sich mit einem
                   früheren Export überschneidet

Die Beraternummer, die Mandantennummer und die Konten stehen in den
DATEV-Einstellungen (Fenster: Optionen/DATEV-Einstellungen); fehlen sie, sagt
eine Meldung, was fehlt. Jeder Export wird in »daten/datev-exporte.txt«
vermerkt; ein Zeitraum, der sich mit einem vermerkten überschneidet, wird nur
mit --erneut exportiert, denn eine doppelt gebuchte Rechnung ist für den
Steuerberater das Schlimmste. DATEV erkennt nur Dateien, deren Name mit
»EXTF_« beginnt und auf ».csv« endet, etwa
EXTF_Buchungsstapel_20261101_20261130.csv.
)";

constexpr const char* kSuche = R"(Aufruf: rebkontor-cli suche --nummer NUMMER
        rebkontor-cli suche --betrag BETRAG [--abweichung TOLERANZ]

Listet die passenden Rechnungen, die neueste zuerst, eine je Zeile:
  id;nummer;kunde;datum;summe
mit der internen Id, der Rechnungsnummer, der Kundennummer, dem Datum der
Rechnung als T.M.JJJJ (N/A, wenn sie keines hat) und der Summe mit zwei
Nachkommastellen in der Währung, in der die Grundeinstellungen summieren.
Gelöschte Rechnungen erscheinen nie.

  --nummer NUMMER          Rechnungen mit dieser Rechnungsnummer
  --betrag BETRAG          Rechnungen, deren Summe höchstens TOLERANZ vom
                           BETRAG abweicht (mit Dezimalpunkt oder -komma)
  --abweichung TOLERANZ    die erlaubte Abweichung, ohne Angabe 0
)";

constexpr const char* kPruefen = R"(Aufruf: rebkontor-cli pruefen

Prüft das Datenverzeichnis, ohne etwas zu verändern, und meldet jedes Problem
in einer Zeile, danach eine Zusammenfassung:
  - Dateilängen, die keine ganze Zahl von Sätzen sind, und eine Datei der
    Grundeinstellungen, die nicht 336 Bytes lang ist;
  - doppelte Kundennummern und doppelte Weinnummern;
  - Rechnungen, deren Id nicht ihrer Position in der Datei entspricht;
  - Postenketten der Rechnungen und Rechnungsketten der Kunden, die die Datei
    verlassen, im Kreis laufen, Sätze anderer Rechnungen oder Kunden
    durchlaufen, in eine andere Kette münden oder vorwärts springen;
  - Rechnungen, deren Kunde nicht in der Kundendatei steht;
  - Posten von Rechnungen, die nie gespeichert wurden (auch wenn ihre Id
    inzwischen an eine andere Rechnung vergeben ist);
  - Preislistendateien ohne Namen, Namen ohne Datei, mehr als 20 Preislisten;
  - falsche DATEV-Einstellungen und Zeilen in »datev-exporte.txt«, die kein
    lesbarer Vermerk eines DATEV-Exports sind;
  - Sätze der Mahndatei »mahnungen.dat« mit einer Mahnstufe außerhalb von 0
    bis 3, mit einer Rechnung, die es nicht gibt, oder doppelt;
  - Reste eines abgebrochenen »beispieldaten« oder eines unterbrochenen
    Zurückspielens einer Datensicherung.

Exit-Status 0, wenn alles in Ordnung ist, sonst 1.
)";

constexpr const char* kBeispieldaten =
    R"(Aufruf: rebkontor-cli beispieldaten [--kunden N] [--weine N] [--preislisten N]
                     [--rechnungen N] [--posten N] [--seed S] [--stichtag T.M.JJJJ]

Füllt ein leeres Datenverzeichnis (und legt »daten« an, wenn es fehlt) mit
einem Beispielbetrieb: ein Weingut in Rheinhessen mit Kunden aus der Gegend
und aus ganz Deutschland, Kundengruppen nach Regionen, Preislisten mit DM- und
Europreisen, Weinen deutscher Rebsorten mit ihrem Bestand und den Rechnungen
der letzten Jahre mit ihren Posten. Die Grundeinstellungen werden auf 19 %
MwSt., Preise in Euro einschließlich MwSt. und die Währung »EUR« gesetzt.
Vorhandene Firmendaten (»daten/firmendaten.txt«) bleiben erhalten.
Verweigert, wenn das Verzeichnis schon Kunden, Weine, Rechnungen, Posten,
Preislisten oder Kundengruppen enthält oder ein anderes Rebkontor-Programm
damit arbeitet. Scheitert das Anlegen (etwa bei vollem Datenträger), bleibt
das Verzeichnis, wie es war.

  --kunden N            Anzahl der Kunden (Standard 250)
  --weine N             Anzahl der Weine (Standard 60)
  --preislisten N       Anzahl der Preislisten, höchstens 20 (Standard 5)
  --rechnungen N        Anzahl der Rechnungen (Standard 2500)
  --posten N            Anzahl der Rechnungsposten insgesamt (Standard: sechs
                        je Rechnung)
  --seed S              Startwert des Zufalls (Standard 1)
  --stichtag T.M.JJJJ   der »heutige« Tag des Beispielbetriebs (Standard: heute)

Gleiche Werte ergeben Byte für Byte dieselben Daten. Der Datenbestand der
Benchmarks ist: --kunden 2000 --weine 200 --preislisten 20 --rechnungen 50000
--posten 500000 --seed 20261231 --stichtag 31.12.2026
)";

constexpr const char* kOffenePosten =
    R"(Aufruf: rebkontor-cli offene-posten [--stichtag T.M.JJJJ] [--alle]

Gibt die offenen Posten als Tabelle (CSV mit Semikolon und Kopfzeile,
Windows-1252) auf die Standardausgabe aus: je Rechnung, die weder gelöscht
noch als bezahlt markiert ist und bei der noch etwas offen ist, Kunde,
Rechnungsnummer, Rechnungsdatum, Fälligkeit, Tage überfällig, Betrag,
erhaltener und offener Betrag, Mahnstufe und letzte Mahnung. Fällig ist eine
Rechnung am Rechnungsdatum (ohne Rechnungsdatum am Tag der Erfassung) plus
dem Zahlungsziel der Firmendaten (ohne Firmendaten 30 Tage).

  --stichtag T.M.JJJJ   der Tag, an dem gerechnet wird (Standard: heute)
  --alle                auch die Rechnungen, die noch nicht fällig sind;
                        ohne die Option nur die überfälligen
)";

constexpr const char* kMahnungen =
    R"(Aufruf: rebkontor-cli mahnungen --pdf DATEI [--stichtag T.M.JJJJ]
                     [--kunde NR] [--vermerken]

Schreibt die fälligen Mahnungen in eine PDF-Datei: je Kunde ein Brief für
alle seine Rechnungen, deren nächste Mahnung am Stichtag fällig ist (noch nie
gemahnt und überfällig, oder zuletzt vor mindestens so vielen Tagen gemahnt,
wie unter Optionen > Mahnwesen eingestellt ist), jede in ihrer nächsten
Mahnstufe. Texte, Gebühren und Fristen kommen aus »daten/mahnwesen.txt«.

  --pdf DATEI           die PDF-Datei (Pflicht)
  --stichtag T.M.JJJJ   der Tag der Mahnung (Standard: heute)
  --kunde NR            nur die Mahnung für diesen Kunden
  --vermerken           nach dem Schreiben für jede gemahnte Rechnung die neue
                        Mahnstufe und den Tag vermerken (mit einer Zeile im
                        Logbuch); ohne die Option bleiben die Daten, wie sie
                        sind

Mit --vermerken verändert der Befehl Daten und läuft nur, solange kein
Rebkontor-Fenster mit demselben Verzeichnis arbeitet.
)";

constexpr const char* kSichern = R"(Aufruf: rebkontor-cli sichern [ZIELORDNER]
        rebkontor-cli sichern --datei DATEI

Schreibt eine Datensicherung: eine ZIP-Datei mit allen Dateien von Rebkontor
aus »daten« (Kunden, Weine, Preislisten und ihre Namen, Rechnungen, Posten,
Kundengruppen, Merkzettel, Grundeinstellungen, Firmendaten, Logbuch,
Vermerke der DATEV-Exporte, Mahnstufen und Mahntexte, Einstellungen der
Datensicherung) und dem Verzeichnis MANIFEST.txt, das jede
Datei mit Größe und SHA-256 nennt, dazu die Programmversion, den Zeitpunkt
und die Zahl der Kunden, Weine und Rechnungen. Die Sicherung wird neben ihrem
Ziel geschrieben, auf den Datenträger gebracht, ganz zurückgelesen und
geprüft und erst dann umbenannt: eine misslungene Sicherung hinterlässt
nichts, und die Daten bleiben, wie sie sind.

Ohne Angabe geht sie in den Sicherungsordner, der im Fenster unter
Optionen/Datensicherung eingestellt ist (ohne Einstellung
~/Rebkontor-Sicherungen), und heißt rebkontor-sicherung-JJJJ-MM-TT-hhmmss.zip;
danach bleiben dort nur die neuesten Sicherungen, so viele wie eingestellt
(ohne Einstellung 20). Andere Dateien im Ordner werden nie angefasst.

  ZIELORDNER     die Sicherung unter diesem Namen in diesen Ordner (er wird
                 angelegt, wenn es ihn nicht gibt); dort wird keine ältere
                 entfernt
  --datei DATEI  die Sicherung genau in diese Datei; eine vorhandene
                 gewöhnliche Datei wird ersetzt

Solange ein Rebkontor-Fenster mit den Daten arbeitet, wird nicht gesichert;
das Fenster sichert selbst, wenn es beendet wird.
)";

constexpr const char* kSicherungPruefen = R"(Aufruf: rebkontor-cli sicherung-pruefen ARCHIV

Prüft eine Datensicherung, ohne etwas zu verändern, und zeigt, was sie
enthält: wann und von welcher Version sie geschrieben wurde und wie viele
Kunden, Weine und Rechnungen sie hält. Geprüft werden das Verzeichnis
MANIFEST.txt, Größe und SHA-256 jeder Datei, dass jede Datei mit Datensätzen
eine ganze Zahl von Sätzen ist, dass das Archiv nichts anderes enthält (keine
fremden Dateien, keine Verknüpfungen, keine Pfade mit »..« oder absolute
Pfade, keine Datei zweimal) und ausgepackt nicht mehr als 1 GB groß ist, und
dann die ausgepackten Daten wie mit »pruefen« (in einem vorübergehenden
Ordner). Jedes Problem steht in einer Zeile, danach eine Zusammenfassung.

Exit-Status 0, wenn alles in Ordnung ist, sonst 1.
)";

constexpr const char* kWiederherstellen = R"(Aufruf: rebkontor-cli wiederherstellen ARCHIV [--ja]

Spielt eine Datensicherung zurück: die Dateien von Rebkontor in »daten«
werden durch die der Sicherung ersetzt. Ohne --ja wird die Sicherung nur
geprüft und gesagt, was geschähe; es wird nichts verändert.

Mit --ja wird die Sicherung zuerst geprüft wie mit »sicherung-pruefen«; eine
beschädigte wird mit dem Grund abgelehnt, und nichts ändert sich. Was die
Prüfung der Daten selbst findet, wird gezeigt. Dann werden die jetzigen
Daten in den eingestellten Sicherungsordner gesichert (misslingt das, wird
nicht zurückgespielt), und dann ersetzen die Dateien der Sicherung die in
»daten« in einem Schritt, den auch ein Absturz oder Stromausfall nicht halb
getan zurücklässt: danach gelten die alten oder die zurückgespielten Daten,
ganz. Andere Dateien in »daten« bleiben. Fehlt »daten«, wird es angelegt (die
Daten kommen auf einen neuen Rechner).

  --ja    wirklich zurückspielen

Verweigert, solange ein Rebkontor-Fenster oder ein anderes Programm mit den
Daten arbeitet. Im Fenster: Optionen/Datensicherung zurückspielen.
)";

}  // namespace

const std::vector<RebkontorCli::Befehl>& RebkontorCli::Befehle() {
    // clang-format off
    static const std::vector<Befehl> befehle = {
        {"flaschenliste", "DATEI", "verkaufte Flaschen je Wein als Text oder Tabelle\n"
                                   "(.xls, .xlsx)",
         kFlaschenliste, {}, &RebkontorCli::Flaschenliste},
        {"auswertung", "[DATEI]", "Umsatz je Monat, Weine, Kunden oder Bestand eines Zeitraums",
         kAuswertung, {}, &RebkontorCli::Auswertung},
        {"preislisten", "DATEI", "alle Preislisten als Textdatei",
         kPreislisten, {}, &RebkontorCli::Preislisten},
        {"adressen", "DATEI", "Adressdatei (CSV) für Serienbriefe",
         kAdressen, {}, &RebkontorCli::Adressen},
        {"rechnung", "NUMMER", "Packliste, Kundenrechnung und interne Rechnung als PDF,\n"
                               "oder die E-Rechnung (XRechnung, ZUGFeRD)",
         kRechnung, {"--pdf", "--zugferd"}, &RebkontorCli::Rechnungsausgabe},
        {"suche", "", "Rechnungen nach Nummer oder Betrag suchen",
         kSuche, {}, &RebkontorCli::Suche},
        {"pruefen", "", "das Datenverzeichnis prüfen",
         kPruefen, {}, &RebkontorCli::Pruefen},
        {"beispieldaten", "", "ein leeres Datenverzeichnis mit einem Beispielbetrieb füllen",
         kBeispieldaten, {}, &RebkontorCli::Beispieldaten},
        {"firmendaten", "", "die Firmendaten für E-Rechnungen zeigen oder ändern",
         kFirmendaten, {}, &RebkontorCli::Firmendaten},
        {"datev", "DATEI", "die Rechnungen eines Zeitraums als DATEV-Buchungsstapel\n"
                           "für den Steuerberater",
         kDatev, {}, &RebkontorCli::Datev},
        {"offene-posten", "", "offene und überfällige Rechnungen als Tabelle (CSV)",
         kOffenePosten, {}, &RebkontorCli::OffenePostenAusgeben},
        {"mahnungen", "", "die fälligen Mahnungen als PDF, auf Wunsch vermerkt",
         kMahnungen, {"--pdf"}, &RebkontorCli::Mahnungen},
        {"sichern", "[ZIELORDNER]", "eine Datensicherung (ZIP) schreiben",
         kSichern, {}, &RebkontorCli::Sichern},
        {"sicherung-pruefen", "ARCHIV", "eine Datensicherung prüfen und ihren Inhalt zeigen",
         kSicherungPruefen, {}, &RebkontorCli::SicherungPruefen},
        {"wiederherstellen", "ARCHIV", "eine Datensicherung zurückspielen (mit --ja)",
         kWiederherstellen, {}, &RebkontorCli::Wiederherstellen},
    };
    // clang-format on
    return befehle;
}

std::string RebkontorCli::Uebersicht() {
    // The descriptions form a column; further lines of one start there too.
    const std::string spalte(24, ' ');
    std::string text = kAllgemeinKopf;
    for (const Befehl& befehl : Befehle()) {
        std::string zeile = "  " + std::string(befehl.name) + " " + befehl.argumente;
        zeile.resize(std::max(zeile.size() + 2, spalte.size()), ' ');
        for (const char* c = befehl.zweck; *c != '\0'; ++c) {
            zeile += *c == '\n' ? "\n" + spalte : std::string(1, *c);
        }
        text += zeile + "\n";
    }
    return text + kAllgemeinFuss;
}

const RebkontorCli::Befehl* RebkontorCli::Finde(const std::string& name) {
    for (const Befehl& befehl : Befehle()) {
        if (name == befehl.name) {
            return &befehl;
        }
    }
    return nullptr;
}

bool RebkontorCli::BrauchtToolkit(const std::vector<std::string>& argumente) {
    // The command follows the tool's own options; "-C" takes the next word.
    std::size_t i = 0;
    for (; i < argumente.size() && !argumente[i].empty() && argumente[i][0] == '-'; ++i) {
        if (argumente[i] == "-C") {
            ++i;
        }
    }
    const Befehl* befehl = i < argumente.size() ? Finde(argumente[i]) : nullptr;
    if (befehl == nullptr) {
        return false;
    }
    const Aufruf aufruf(
        argumente[i], std::vector<std::string>(
                          argumente.begin() + static_cast<std::ptrdiff_t>(i) + 1, argumente.end()));
    return !aufruf.HilfeVerlangt() &&
           std::any_of(befehl->mitToolkit.begin(), befehl->mitToolkit.end(),
                       [&aufruf](const std::string& option) { return aufruf.Hat(option); });
}
