// The statistics command of rebkontor-cli: "auswertung".
#include <optional>
#include <string>

#include "cli/Aufruf.h"
#include "cli/Bedienfehler.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "documents/Arbeitsmappe.h"
#include "documents/Ausgabeziel.h"
#include "documents/Auswertung.h"
#include "documents/Tabelle.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"

namespace {

enum class Format { Text, Csv, Xlsx };

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

Auswertung::Ansicht AnsichtLesen(const std::optional<std::string>& art) {
    if (!art) {
        throw Bedienfehler("Es fehlt die Art der Auswertung: --art umsatz, weine, kunden oder "
                           "bestand.");
    }
    if (*art == "umsatz") {
        return Auswertung::Ansicht::Umsatz;
    }
    if (*art == "weine") {
        return Auswertung::Ansicht::Weine;
    }
    if (*art == "kunden") {
        return Auswertung::Ansicht::Kunden;
    }
    if (*art == "bestand") {
        return Auswertung::Ansicht::Bestand;
    }
    throw Bedienfehler("Unbekannte Art " + CodePage::Zitat(*art) +
                       " (erwartet umsatz, weine, kunden oder bestand).");
}

Format FormatLesen(const std::optional<std::string>& format, const std::string& datei) {
    if (!format) {
        if (EndetAuf(datei, ".csv")) {
            return Format::Csv;
        }
        return EndetAuf(datei, ".xlsx") ? Format::Xlsx : Format::Text;
    }
    if (*format == "text") {
        return Format::Text;
    }
    if (*format == "csv") {
        return Format::Csv;
    }
    if (*format == "xlsx") {
        return Format::Xlsx;
    }
    throw Bedienfehler("Unbekanntes Format " + CodePage::Zitat(*format) +
                       " (erwartet text, csv oder xlsx).");
}

// The table as text, with what the figures leave out said beneath it.
std::string Klartext(const Auswertung& zahlen, const Tabelle& tabelle,
                     const std::string& zeilenende) {
    std::string text = tabelle.Klartext(zeilenende);
    if (zahlen.rechnungen == 0) {
        text += zeilenende + "Keine Rechnungen im Zeitraum" + zeilenende;
    }
    if (zahlen.ohneDatum > 0) {
        text += zeilenende + zahlen.OhneDatumHinweis() + zeilenende;
    }
    return text;
}

}  // namespace

int RebkontorCli::Auswertung(Aufruf& aufruf) {
    const Auswertung::Ansicht ansicht = AnsichtLesen(aufruf.Option("--art"));
    const auto von = aufruf.Option("--von");
    const auto bis = aufruf.Option("--bis");
    const auto format = aufruf.Option("--format");
    const auto positionen = aufruf.Positionen(0, 1, "Der Name der Datei für die Auswertung");
    const std::string datei =
        positionen.empty() ? std::string(Ausgabeziel::kStandardausgabe) : positionen[0];
    if (!von || !bis) {
        throw Bedienfehler("Es fehlt der Zeitraum: --von T.M.JJJJ --bis T.M.JJJJ.");
    }
    const Datum anfang = Aufruf::DatumLesen(*von);
    const Datum ende = Aufruf::DatumLesen(*bis);
    if (ende.Julian() < anfang.Julian()) {
        throw Bedienfehler("Der Zeitraum endet vor seinem Beginn (" + anfang.Text() + " bis " +
                           ende.Text() + ").");
    }
    const Format art = FormatLesen(format, datei);
    const bool standardausgabe = datei == Ausgabeziel::kStandardausgabe;
    if (standardausgabe && art == Format::Xlsx) {
        throw Bedienfehler(
            "Die Arbeitsmappe wird nur in eine Datei geschrieben, nicht auf die "
            "Standardausgabe (-).");
    }
    AusgabePruefen(datei);

    Lesebestand bestand(kDaten);
    const ::Auswertung zahlen = ::Auswertung::Berechnen(bestand.V(), anfang, ende);
    const Tabelle tabelle = zahlen.TabelleVon(ansicht);
    if (standardausgabe) {
        // Text for reading in the terminal, CSV as the bytes of its file, so
        // that a redirection gives the same.
        out_ << (art == Format::Text ? CodePage::Cp1252ToUtf8(Klartext(zahlen, tabelle, "\n"))
                                     : tabelle.Csv())
             << std::flush;
        if (!out_) {
            throw MessageException("Die Auswertung konnte nicht auf die Standardausgabe "
                                   "geschrieben werden.");
        }
        return kErfolg;
    }
    Ergebnis<void> geschrieben;
    switch (art) {
        case Format::Text:
            geschrieben = Ausgabeziel::Ersetzen(datei, Klartext(zahlen, tabelle, "\r\n"), kDaten);
            break;
        case Format::Csv:
            geschrieben = Ausgabeziel::Ersetzen(datei, tabelle.Csv(), kDaten);
            break;
        case Format::Xlsx:
            geschrieben = Arbeitsmappe::Schreiben(datei, tabelle, kDaten);
            break;
    }
    if (!geschrieben) {
        throw MessageException("Die Datei " + CodePage::Zitat(datei) +
                               " konnte nicht geschrieben werden (" +
                               geschrieben.Ursache().Grund() + ").");
    }
    return kErfolg;
}
