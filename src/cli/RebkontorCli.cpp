#include "cli/RebkontorCli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>
#include <optional>
#include <sstream>
#include <type_traits>

#include "cli/Aufruf.h"
#include "cli/Bedienfehler.h"
#include "cli/Beispieldaten.h"
#include "cli/Datenpruefung.h"
#include "cli/Flaschenzaehlung.h"
#include "cli/Lesebestand.h"
#include "cli/Rechnungssuche.h"
#include "documents/Adressdatei.h"
#include "documents/Arbeitsmappe.h"
#include "documents/Ausgabeziel.h"
#include "documents/Dokumentausgabe.h"
#include "documents/Flaschenliste.h"
#include "documents/FlaschenlisteArbeitsmappe.h"
#include "documents/PreislistenExport.h"
#include "model/Datenersatz.h"
#include "model/Firmendaten.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/DatenSperre.h"
#include "storage/Datum.h"
#include "storage/GenericList.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kProgramm = "rebkontor-cli";

// With the reason, where the write through the storage layer gives one.
std::string NichtGeschrieben(const std::string& datei, const Ergebnis<void>& ergebnis = {}) {
    return "Die Datei " + CodePage::Zitat(datei) + " konnte nicht geschrieben werden" +
           (ergebnis ? "" : " (" + ergebnis.Ursache().Grund() + ")") + ".";
}

bool IstStandardausgabe(const std::string& datei) {
    return datei == Ausgabeziel::kStandardausgabe;
}

struct Zeitraum {
    Datum von;
    Datum bis;
};

std::optional<Zeitraum> ZeitraumLesen(const std::optional<std::vector<std::string>>& werte,
                                      const char* option) {
    if (!werte) {
        return std::nullopt;
    }
    Zeitraum z{Aufruf::DatumLesen((*werte)[0]), Aufruf::DatumLesen((*werte)[1])};
    if (z.bis.Julian() < z.von.Julian()) {
        throw Bedienfehler(std::string("Der Zeitraum von ") + option +
                           " endet vor seinem Beginn (" + z.von.Text() + " bis " + z.bis.Text() +
                           ").");
    }
    return z;
}

bool EndetAuf(const std::string& text, const std::string& endung) {
    if (text.size() < endung.size()) {
        return false;
    }
    for (std::size_t i = 0; i < endung.size(); ++i) {
        char c = text[text.size() - endung.size() + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != endung[i]) {
            return false;
        }
    }
    return true;
}

std::string Datumstext(std::uint32_t datum) {
    if (datum == Datum::kUngueltig || datum == Datum::k1901) {
        return "N/A";
    }
    return Datum(datum).Text();
}

}  // namespace

RebkontorCli::RebkontorCli(std::ostream& out, std::ostream& err, Dokumentausgabe* ausgabe)
    : out_(out), err_(err), ausgabe_(ausgabe) {}

void RebkontorCli::Zeile(std::ostream& out, const std::string& text) {
    out << CodePage::Cp1252ToUtf8(text) << '\n';
}

int RebkontorCli::Ausfuehren(const std::vector<std::string>& argumente) {
    std::string befehl;
    try {
        std::size_t i = 0;
        for (; i < argumente.size() && !argumente[i].empty() && argumente[i][0] == '-'; ++i) {
            const std::string& wort = argumente[i];
            if (wort == "-h" || wort == "--help") {
                out_ << Uebersicht();
                return kErfolg;
            }
            if (wort.rfind("-C", 0) != 0) {
                throw Bedienfehler("Unbekannte Option " + CodePage::Zitat(wort) + ".");
            }
            std::string verzeichnis = wort.substr(2);
            if (verzeichnis.empty()) {
                if (++i == argumente.size()) {
                    throw Bedienfehler("Die Option -C braucht ein Verzeichnis.");
                }
                verzeichnis = argumente[i];
            }
            if (::chdir(verzeichnis.c_str()) != 0) {
                throw MessageException("In das Verzeichnis " + CodePage::Zitat(verzeichnis) +
                                       (errno == ENOENT ? " kann nicht gewechselt werden: es gibt "
                                                          "es nicht."
                                                        : " kann nicht gewechselt werden."));
            }
        }
        if (i == argumente.size()) {
            throw Bedienfehler("Es fehlt ein Befehl.");
        }
        const Befehl* gefunden = Finde(argumente[i]);
        if (gefunden == nullptr) {
            throw Bedienfehler("Unbekannter Befehl " + CodePage::Zitat(argumente[i]) + ".");
        }
        befehl = argumente[i];
        Aufruf aufruf(
            befehl, std::vector<std::string>(argumente.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                             argumente.end()));
        if (aufruf.HilfeVerlangt()) {
            out_ << gefunden->hilfe;
            return kErfolg;
        }
        return (this->*gefunden->ausfuehren)(aufruf);
    } catch (const Bedienfehler& fehler) {
        Zeile(err_, std::string(kProgramm) + ": " + fehler.Text());
        Zeile(err_, "»"_w + kProgramm + (befehl.empty() ? "" : " " + befehl) +
                        " --help« zeigt die Hilfe."_w);
        return kFalscherAufruf;
    } catch (const MessageException& fehler) {
        Zeile(err_, std::string(kProgramm) + ": " + fehler.Text());
        return kProbleme;
    } catch (const std::bad_alloc&) {
        Zeile(err_, std::string(kProgramm) + ": Der Speicher reicht nicht aus.");
        return kProbleme;
    } catch (const std::exception& fehler) {
        Zeile(err_, std::string(kProgramm) + ": Fehler: " + CodePage::Utf8ToCp1252(fehler.what()));
        return kProbleme;
    }
}

int RebkontorCli::Rechnungsausgabe(Aufruf& aufruf) {
    const auto xrechnung = aufruf.Option("--xrechnung");
    const auto zugferd = aufruf.Option("--zugferd");
    const auto referenz = aufruf.Option("--referenz");
    if (xrechnung || zugferd || referenz) {
        return ERechnungSchreiben(aufruf, xrechnung, zugferd, referenz);
    }
    return RechnungAlsPdf(aufruf);
}

int RebkontorCli::Flaschenliste(Aufruf& aufruf) {
    const auto format = aufruf.Option("--format");
    const auto erfassung = ZeitraumLesen(aufruf.Option("--erfassung", 2), "--erfassung");
    const auto datierung = ZeitraumLesen(aufruf.Option("--datierung", 2), "--datierung");
    const std::string datei =
        aufruf.Positionen(1, 1, "Der Name der Datei für die Flaschenliste")[0];
    int art = EndetAuf(datei, ".xls") ? ::Flaschenliste::kTabelle : ::Flaschenliste::kText;
    bool arbeitsmappe = EndetAuf(datei, ".xlsx");
    if (format) {
        arbeitsmappe = *format == "xlsx";
        if (*format == "text") {
            art = ::Flaschenliste::kText;
        } else if (*format == "xls") {
            art = ::Flaschenliste::kTabelle;
        } else if (!arbeitsmappe) {
            throw Bedienfehler("Unbekanntes Format " + CodePage::Zitat(*format) +
                               " (erwartet text, xls oder xlsx).");
        }
    }
    if (IstStandardausgabe(datei) && (art == ::Flaschenliste::kTabelle || arbeitsmappe)) {
        throw Bedienfehler(
            "Die Tabelle wird nur in eine Datei geschrieben, nicht auf die "
            "Standardausgabe (-).");
    }
    AusgabePruefen(datei);

    // The invoices, their items and (for the workbook) the wines are read
    // as files, not as the data set.
    Lesebestand bestand(kDaten, Lesebestand::Bedarf::Einstellungen);
    Customizer& einstellungen = *bestand.V().customizer;
    // The flags every start of the program begins with (the dating period
    // only), unless periods are given; then exactly those.
    einstellungen.filterMit1 = erfassung ? 1 : 0;
    einstellungen.filterMit2 = datierung || !erfassung ? 1 : 0;
    if (erfassung) {
        einstellungen.filterVon1 = static_cast<std::int32_t>(erfassung->von.Julian());
        einstellungen.filterBis1 = static_cast<std::int32_t>(erfassung->bis.Julian());
    }
    if (datierung) {
        einstellungen.filterVon2 = static_cast<std::int32_t>(datierung->von.Julian());
        einstellungen.filterBis2 = static_cast<std::int32_t>(datierung->bis.Julian());
    }
    const Flaschenzaehlung::Zaehlung zaehlung = Flaschenzaehlung::Zaehlen(kDaten, einstellungen);
    if (art == ::Flaschenliste::kText && !arbeitsmappe) {
        // The list names its file in its own encoding.
        Schreiben(datei, ::Flaschenliste::Text(CodePage::Utf8ToCp1252(datei), zaehlung.weine,
                                               einstellungen));
        return kErfolg;
    }
    ::Flaschenliste::Eintraege eintraege;
    zaehlung.Eintraege(eintraege);
    if (arbeitsmappe) {
        const WeinlistenVerwaltung weine(kDaten + std::string("/weinliste.dat"), Zugriff::NurLesen);
        if (const Ergebnis<void> geschrieben = Arbeitsmappe::Schreiben(
                datei, FlaschenlisteArbeitsmappe::Inhalt(eintraege, einstellungen, &weine), kDaten);
            !geschrieben) {
            throw MessageException(NichtGeschrieben(datei, geschrieben));
        }
        return kErfolg;
    }
    ::Flaschenliste::Auslassung auslassung;
    if (const Ergebnis<void> geschrieben =
            ::Flaschenliste::Tabelle(datei, eintraege, einstellungen, &auslassung);
        !geschrieben) {
        throw MessageException(NichtGeschrieben(datei, geschrieben));
    }
    if (!auslassung.Vollstaendig()) {
        // Written with what fits, and said so: a script must not take a
        // sheet with holes for the whole list.
        throw MessageException(::Flaschenliste::AuslassungsText(auslassung));
    }
    return kErfolg;
}

int RebkontorCli::Preislisten(Aufruf& aufruf) {
    const std::string datei = aufruf.Positionen(1, 1, "Der Name der Exportdatei")[0];
    AusgabePruefen(datei);
    Lesebestand bestand(kDaten);
    Schreiben(datei, PreislistenExportText(bestand.V()));
    return kErfolg;
}

int RebkontorCli::Adressen(Aufruf& aufruf) {
    const auto gruppe = aufruf.Option("--gruppe");
    const auto plz = aufruf.Option("--plz", 2);
    const std::string datei = aufruf.Positionen(1, 1, "Der Name der Adressdatei")[0];
    std::uint32_t plzVon = 0;
    std::uint32_t plzBis = 0;
    if (plz) {
        constexpr std::int64_t kGroesste = std::numeric_limits<std::uint32_t>::max();
        plzVon = static_cast<std::uint32_t>(
            Aufruf::ZahlLesen((*plz)[0], 0, kGroesste, "Die Postleitzahl"));
        plzBis = static_cast<std::uint32_t>(
            Aufruf::ZahlLesen((*plz)[1], 0, kGroesste, "Die Postleitzahl"));
        if (plzBis < plzVon) {
            throw Bedienfehler("Der PLZ-Bereich endet vor seinem Beginn (" + (*plz)[0] + " bis " +
                               (*plz)[1] + ").");
        }
    }

    AusgabePruefen(datei);
    Lesebestand bestand(kDaten, Lesebestand::Bedarf::Kundengruppen);
    int index = -1;
    if (gruppe) {
        // The names in the file are Windows-1252; the argument is UTF-8.
        const std::string name = CodePage::Utf8ToCp1252(*gruppe);
        const GeoGruppe& gruppen = *bestand.V().geoGruppe;
        std::string vorhanden;
        for (unsigned i = 0; i < gruppen.Count(); ++i) {
            if (index < 0 && name == gruppen.Name(i)) {
                index = static_cast<int>(i);
            }
            vorhanden += (i == 0 ? "»"_w : ", »"_w) + std::string(gruppen.Name(i)) + "«"_w;
        }
        if (index < 0) {
            throw MessageException("Die Kundengruppe " + CodePage::Zitat(*gruppe) +
                                   " gibt es nicht. " +
                                   (vorhanden.empty() ? "Es sind keine Kundengruppen angelegt."
                                                      : "Vorhanden: " + vorhanden + "."));
        }
    }
    // The customers one by one from their file: the list of them all that
    // the window keeps would only be filled to be written out once.
    const Adressdatei::Filter filter{gruppe.has_value(), plz.has_value(), index, plzVon, plzBis};
    std::string text = Adressdatei::kKopf;
    GenericList<Kunde>::JederSatz(
        std::string(kDaten) + "/kunden.dat",
        // About what a line of a customer with the usual texts takes.
        [&text](unsigned anzahl) { text.reserve(std::size_t{anzahl} * 96); },
        [&](const Kunde& kunde) {
            if (filter.Passt(kunde)) {
                Adressdatei::Zeile(kunde, text);
            }
        });
    Schreiben(datei, text);
    return kErfolg;
}

int RebkontorCli::RechnungAlsPdf(Aufruf& aufruf) {
    const auto pdf = aufruf.Option("--pdf");
    const auto dokumente = aufruf.Option("--dokumente");
    const auto id = aufruf.Option("--id");
    const std::vector<std::string> positionen = aufruf.Positionen(0, 1, "Die Rechnungsnummer");
    if (id && !positionen.empty()) {
        throw Bedienfehler("Bitte entweder die Rechnungsnummer oder --id angeben, nicht beides.");
    }
    if (!id && positionen.empty()) {
        throw Bedienfehler("Die Rechnungsnummer (oder --id ID) fehlt.");
    }
    if (!pdf) {
        throw Bedienfehler("Die Option --pdf DATEI fehlt.");
    }
    constexpr std::int64_t kGroesste = std::numeric_limits<std::int32_t>::max();
    const std::int64_t wert =
        id ? Aufruf::ZahlLesen(*id, 0, kGroesste, "Die Id")
           : Aufruf::ZahlLesen(positionen[0], 0, kGroesste, "Die Rechnungsnummer");
    bool packliste = true;
    bool kunde = true;
    bool intern = true;
    if (dokumente) {
        packliste = kunde = intern = false;
        std::size_t start = 0;
        for (;;) {
            const std::size_t ende = dokumente->find(',', start);
            const std::string teil = dokumente->substr(start, ende - start);
            if (teil == "packliste") {
                packliste = true;
            } else if (teil == "kunde") {
                kunde = true;
            } else if (teil == "intern") {
                intern = true;
            } else {
                throw Bedienfehler("Unbekanntes Dokument " + CodePage::Zitat(teil) +
                                   " (erwartet packliste, kunde oder intern).");
            }
            if (ende == std::string::npos) {
                break;
            }
            start = ende + 1;
        }
    }

    if (IstStandardausgabe(*pdf)) {
        throw Bedienfehler(
            "Die PDF-Datei wird nur in eine Datei geschrieben, nicht auf die "
            "Standardausgabe (-).");
    }
    AusgabePruefen(*pdf);
    Lesebestand bestand(kDaten);
    RechnungsVerwaltung& rechnungen = *bestand.V().rechnungsVerwaltung;
    GenericList<::Rechnung> treffer;
    const ::Rechnung* rechnung = &RechnungFinden(rechnungen, id.has_value(), wert, treffer);
    if (rechnung->IstGeloescht()) {
        throw MessageException("Die Rechnung mit der Id " + std::to_string(wert) +
                               " ist gelöscht."_w);
    }
    if (!Ausgabe().Pdf(*pdf, bestand.V(), *rechnung, packliste, kunde, intern)) {
        throw MessageException("Die PDF-Datei " + CodePage::Zitat(*pdf) +
                               " konnte nicht geschrieben werden.");
    }
    return kErfolg;
}

Dokumentausgabe& RebkontorCli::Ausgabe() {
    if (ausgabe_ == nullptr) {
        throw MessageException("PDF-Dateien schreibt nur das Hilfsprogramm rebkontor-cli-pdf.");
    }
    return *ausgabe_;
}

void RebkontorCli::Schreiben(const std::string& datei, const std::string& bytes) {
    if (IstStandardausgabe(datei)) {
        // The bytes of the file, so that a redirection gives the same.
        out_ << bytes << std::flush;
        if (!out_) {
            throw MessageException(NichtGeschrieben(datei));
        }
    } else if (const Ergebnis<void> geschrieben = Ausgabeziel::Ersetzen(datei, bytes, kDaten);
               !geschrieben) {
        throw MessageException(NichtGeschrieben(datei, geschrieben));
    }
}

void RebkontorCli::AusgabePruefen(const std::string& datei) {
    if (IstStandardausgabe(datei)) {
        return;
    }
    const std::string hindernis = Ausgabeziel::Hindernis(datei, kDaten);
    if (!hindernis.empty()) {
        throw MessageException(hindernis);
    }
}

const Rechnung& RebkontorCli::RechnungFinden(RechnungsVerwaltung& rechnungen, bool nachId,
                                             std::int64_t wert, GenericList<Rechnung>& treffer) {
    if (nachId) {
        const Rechnung* rechnung = rechnungen.GetRechnung(static_cast<std::int32_t>(wert));
        if (rechnung == nullptr) {
            throw MessageException("Es gibt keine Rechnung mit der Id " + std::to_string(wert) +
                                   ".");
        }
        return *rechnung;
    }
    // Newest first, deleted ones never.
    rechnungen.GetRechnungenNachNummerOderBetrag(static_cast<std::int32_t>(wert), 0.0f, 0.0f,
                                                 treffer);
    if (treffer.Count() == 0) {
        throw MessageException("Es gibt keine Rechnung mit der Nummer " + std::to_string(wert) +
                               ".");
    }
    return treffer[0];
}

int RebkontorCli::Suche(Aufruf& aufruf) {
    const auto nummer = aufruf.Option("--nummer");
    const auto betrag = aufruf.Option("--betrag");
    const auto abweichung = aufruf.Option("--abweichung");
    aufruf.Positionen(0, 0, "");
    if (nummer.has_value() == betrag.has_value()) {
        throw Bedienfehler("Bitte genau eine der Optionen --nummer und --betrag angeben.");
    }
    if (abweichung && !betrag) {
        throw Bedienfehler("Die Option --abweichung gilt nur mit --betrag.");
    }
    std::int32_t n = -1;
    float b = 0.0f;
    float t = 0.0f;
    if (nummer) {
        n = static_cast<std::int32_t>(Aufruf::ZahlLesen(
            *nummer, 0, std::numeric_limits<std::int32_t>::max(), "Die Rechnungsnummer"));
    } else {
        b = static_cast<float>(Aufruf::BetragLesen(*betrag, "Der Betrag"));
        if (!(b > 0.0f)) {
            throw Bedienfehler("Der Betrag muss größer als 0 sein."_w);
        }
        if (abweichung) {
            t = static_cast<float>(Aufruf::BetragLesen(*abweichung, "Die Abweichung"));
        }
    }

    // Neither search opens the data set: both read the files in pieces.
    Lesebestand bestand(kDaten, Lesebestand::Bedarf::Einstellungen);
    const std::vector<Rechnungssuche::Treffer> treffer =
        betrag ? Rechnungssuche::NachBetrag(kDaten, Rechnungsbetrag::Cent(b),
                                            Rechnungsbetrag::Cent(t), bestand.V().customizer)
               : Rechnungssuche::NachNummer(kDaten, n, bestand.V().customizer);
    for (const Rechnungssuche::Treffer& r : treffer) {
        Zeile(out_, std::to_string(r.id) + ";" + std::to_string(r.nummer) + ";" +
                        std::to_string(r.kunde) + ";" + Datumstext(r.datum) + ";" +
                        Rechnungsbetrag::Text(r.summe));
    }
    return kErfolg;
}

int RebkontorCli::Pruefen(Aufruf& aufruf) {
    aufruf.Positionen(0, 0, "");
    Lesebestand::VerzeichnisPruefen(kDaten);
    const std::vector<std::string> probleme = Datenpruefung(kDaten).Pruefen();
    for (const std::string& problem : probleme) {
        Zeile(out_, problem);
    }
    const std::string ergebnis = probleme.empty() ? std::string("keine Probleme gefunden")
                                 : probleme.size() == 1
                                     ? std::string("1 Problem gefunden")
                                     : std::to_string(probleme.size()) + " Probleme gefunden";
    Zeile(out_, "Prüfung von »"_w + kDaten + "«: "_w + ergebnis + ".");
    return probleme.empty() ? kErfolg : kProbleme;
}

int RebkontorCli::Beispieldaten(Aufruf& aufruf) {
    ::Beispieldaten::Umfang umfang;
    std::uint32_t seed = ::Beispieldaten::kStandardSeed;
    auto zahl = [&](const char* option, auto& wert, std::int64_t groesste, const char* was) {
        if (const auto text = aufruf.Option(option)) {
            wert = static_cast<std::remove_reference_t<decltype(wert)>>(
                Aufruf::ZahlLesen(*text, 0, groesste, was));
        }
    };
    zahl("--kunden", umfang.kunden, 100000, "Die Anzahl der Kunden");
    zahl("--weine", umfang.weine, 9999, "Die Anzahl der Weine");
    zahl("--preislisten", umfang.preislisten, ::Beispieldaten::kMaxPreislisten,
         "Die Anzahl der Preislisten");
    zahl("--rechnungen", umfang.rechnungen, 1000000, "Die Anzahl der Rechnungen");
    zahl("--posten", umfang.posten, 20000000, "Die Anzahl der Posten");
    zahl("--seed", seed, std::numeric_limits<std::uint32_t>::max(), "Der Startwert");
    Datum stichtag = Datum::Heute();
    if (const auto text = aufruf.Option("--stichtag")) {
        stichtag = Aufruf::DatumLesen(*text);
    }
    aufruf.Positionen(0, 0, "");
    if (umfang.rechnungen > 0 &&
        (umfang.kunden == 0 || umfang.weine == 0 || umfang.preislisten == 0)) {
        throw Bedienfehler(
            "Rechnungen brauchen mindestens einen Kunden, einen Wein und eine Preisliste.");
    }
    // Within one invoice every wine appears at most once.
    if (umfang.Posten() > std::int64_t{umfang.rechnungen} * umfang.weine) {
        throw Bedienfehler("Mehr Posten, als " + std::to_string(umfang.rechnungen) +
                           " Rechnungen mit je höchstens "_w + std::to_string(umfang.weine) +
                           " Weinen haben können."_w);
    }

    struct stat st {};
    bool angelegt = false;
    if (::stat(kDaten, &st) != 0) {
        if (::mkdir(kDaten, 0777) != 0) {
            throw MessageException("Das Datenverzeichnis »"_w + kDaten +
                                   "« konnte nicht angelegt werden."_w);
        }
        angelegt = true;
    } else if (!S_ISDIR(st.st_mode)) {
        throw MessageException("»"_w + kDaten + "« ist kein Verzeichnis."_w);
    }
    // Held until the end, so that no window opens the data half-way, and
    // none that is open has its older data written over the new.
    DatenSperre sperre(kDaten);
    bool firmendatenBehalten = false;
    try {
        // A restore a crash interrupted is finished before anything is looked at.
        Datenersatz::Abschliessen(kDaten);
        const std::string hindernis = ::Beispieldaten::Hindernis(kDaten);
        if (!hindernis.empty()) {
            throw MessageException(hindernis);
        }
        firmendatenBehalten = ::Beispieldaten::FirmendatenVorhanden(kDaten);
        ::Beispieldaten::Anlegen(kDaten, umfang, seed, stichtag);
    } catch (const MessageException&) {
        if (angelegt) {
            // It was not there before, and so it goes again.
            ::unlink((std::string(kDaten) + "/" + DatenSperre::kDateiname).c_str());
            ::rmdir(kDaten);
        }
        throw;
    }

    struct stat posten {};
    const std::string postenDatei = std::string(kDaten) + "/rechnungsposten.dat";
    const std::int64_t anzahlPosten =
        ::stat(postenDatei.c_str(), &posten) == 0
            ? posten.st_size / static_cast<std::int64_t>(PostenVerwaltung::Posten::DiskSize)
            : 0;
    Zeile(out_, "Beispieldaten in »"_w + kDaten + "« angelegt: "_w + std::to_string(umfang.kunden) +
                    " Kunden, " + std::to_string(umfang.weine) + " Weine, " +
                    std::to_string(umfang.preislisten) + " Preislisten, " +
                    std::to_string(umfang.rechnungen) + " Rechnungen mit " +
                    std::to_string(anzahlPosten) + " Posten (Stichtag " + stichtag.Text() +
                    ", Seed " + std::to_string(seed) + ").");
    if (firmendatenBehalten) {
        Zeile(out_, "Die vorhandenen Firmendaten in »"_w + kDaten + "/" + Firmendaten::kDatei +
                        "« wurden beibehalten; die des Beispielbetriebs wurden nicht "
                        "eingetragen."_w);
    }
    return kErfolg;
}
