// The backup commands of rebkontor-cli: "sichern", "sicherung-pruefen" and
// "wiederherstellen".
#include <cerrno>
#include <optional>

#include "cli/Aufruf.h"
#include "cli/Bedienfehler.h"
#include "cli/Datenpruefung.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "model/Datenersatz.h"
#include "sicherung/Datensicherung.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/DatenSperre.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

std::vector<std::string> Datencheck(const std::string& verzeichnis) {
    return Datenpruefung(verzeichnis).Pruefen();
}

Sicherungseinstellungen EinstellungenLesen(const Datensicherung& sicherung) {
    Sicherungseinstellungen einstellungen;
    if (const Ergebnis<void> geladen = einstellungen.Laden(sicherung.EinstellungsDatei());
        !geladen) {
        throw MessageException("Die Datei " + CodePage::Zitat(sicherung.EinstellungsDatei()) +
                               " kann nicht gelesen werden (" + geladen.Ursache().Grund() + ").");
    }
    return einstellungen;
}

}  // namespace

void RebkontorCli::Inhalt(const Sicherungsinhalt& inhalt) {
    const std::string programm = inhalt.Programmtext();
    Zeile(out_,
          "  geschrieben " + inhalt.Datumstext() + (programm.empty() ? "" : " von " + programm));
    Zeile(out_, "  " + inhalt.Mengentext());
    Zeile(out_, "  " + inhalt.Dateientext());
}

int RebkontorCli::Sichern(Aufruf& aufruf) {
    const auto datei = aufruf.Option("--datei");
    const std::vector<std::string> positionen = aufruf.Positionen(0, 1, "Der Zielordner");
    if (datei && !positionen.empty()) {
        throw Bedienfehler("Bitte entweder den Zielordner oder --datei angeben, nicht beides.");
    }
    Lesebestand::VerzeichnisPruefen(kDaten);
    // Nothing changes the data while they are copied; a restore a crash
    // interrupted is completed first, so that whole data are saved.
    DatenSperre sperre(kDaten);
    Datenersatz::Abschliessen(kDaten);
    const Datensicherung sicherung(kDaten);
    const std::int64_t jetzt = Clock::Now();
    Datensicherung::Gesichert gesichert;
    std::optional<Sicherungseinstellungen> einstellungen;
    if (datei) {
        gesichert = sicherung.AlsDatei(*datei, jetzt);
    } else if (!positionen.empty()) {
        gesichert = sicherung.InOrdner(positionen[0], jetzt, 0);
    } else {
        einstellungen = EinstellungenLesen(sicherung);
        gesichert = sicherung.InOrdner(einstellungen->Pfad(), jetzt, einstellungen->behalten);
    }
    Zeile(out_, "Datensicherung geschrieben: " + CodePage::Zitat(gesichert.datei));
    Inhalt(gesichert.inhalt);
    if (!gesichert.entfernt.empty()) {
        Zeile(
            out_,
            std::to_string(gesichert.entfernt.size()) +
                (gesichert.entfernt.size() == 1 ? " ältere Sicherung"_w : " ältere Sicherungen"_w) +
                " entfernt; die neuesten " + std::to_string(einstellungen->behalten) + " bleiben.");
    }
    return kErfolg;
}

int RebkontorCli::SicherungPruefen(Aufruf& aufruf) {
    const std::string archiv = aufruf.Positionen(1, 1, "Der Name der Sicherungsdatei")[0];
    std::vector<std::string> befunde;
    const Sicherungsarchiv::Bericht bericht =
        Wiederherstellung::Pruefen(archiv, Datencheck, befunde);
    Zeile(out_, "Datensicherung " + CodePage::Zitat(archiv));
    if (bericht.inhalt) {
        Inhalt(*bericht.inhalt);
    }
    for (const std::string& problem : bericht.probleme) {
        Zeile(out_, problem);
    }
    for (const std::string& befund : befunde) {
        Zeile(out_, "Daten: " + befund);
    }
    const std::size_t anzahl = bericht.probleme.size() + befunde.size();
    const std::string ergebnis = anzahl == 0   ? std::string("keine Probleme gefunden")
                                 : anzahl == 1 ? std::string("1 Problem gefunden")
                                               : std::to_string(anzahl) + " Probleme gefunden";
    Zeile(out_, "Prüfung von "_w + CodePage::Zitat(archiv) + ": " + ergebnis + ".");
    return anzahl == 0 ? kErfolg : kProbleme;
}

int RebkontorCli::Wiederherstellen(Aufruf& aufruf) {
    const bool ja = aufruf.Option("--ja", 0).has_value();
    const std::string archiv = aufruf.Positionen(1, 1, "Der Name der Sicherungsdatei")[0];
    const Datensicherung sicherung(kDaten);
    const bool datenVorhanden = File::Exists(kDaten);

    if (!ja) {
        // Only looks: the archive is checked in a temporary folder, and
        // nothing in the data folder is written, not even the lock.
        std::vector<std::string> befunde;
        const Sicherungsarchiv::Bericht bericht =
            Wiederherstellung::Pruefen(archiv, Datencheck, befunde);
        if (!bericht.Gut()) {
            throw MessageException(Wiederherstellung::Ablehnung(archiv, bericht.probleme));
        }
        Zeile(out_, "Datensicherung " + CodePage::Zitat(archiv));
        Inhalt(*bericht.inhalt);
        for (const std::string& befund : befunde) {
            Zeile(out_, "Hinweis zu den gesicherten Daten: " + befund);
        }
        std::string vorher = "Das Datenverzeichnis " + CodePage::Zitat(kDaten) +
                             " enthält noch keine Daten; es wird vorher nichts gesichert."_w;
        if (datenVorhanden && sicherung.HatDaten()) {
            vorher = "Vorher würden die jetzigen Daten in den Ordner "_w +
                     CodePage::Zitat(EinstellungenLesen(sicherung).Pfad()) + " gesichert.";
        }
        Zeile(out_, "Mit --ja würden die Daten in "_w + CodePage::Zitat(kDaten) +
                        " durch diese Sicherung ersetzt. " + vorher);
        return kErfolg;
    }

    if (!datenVorhanden) {
        // A new machine: the data come back into a new folder.
        if (const Ergebnis<void> angelegt = File::MakeDirectory(kDaten);
            !angelegt && angelegt.Ursache().Nummer() != EEXIST) {
            throw MessageException("Das Datenverzeichnis »"_w + kDaten +
                                   "« konnte nicht angelegt werden."_w);
        }
    }
    Lesebestand::VerzeichnisPruefen(kDaten);
    DatenSperre sperre(kDaten);
    Datenersatz::Abschliessen(kDaten);
    Wiederherstellung wiederherstellung(kDaten, archiv, Datencheck);
    Zeile(out_, "Datensicherung " + CodePage::Zitat(archiv));
    Inhalt(wiederherstellung.Inhalt());
    for (const std::string& befund : wiederherstellung.Befunde()) {
        Zeile(out_, "Hinweis zu den gesicherten Daten: " + befund);
    }
    if (sicherung.HatDaten()) {
        // The data that are about to be replaced are a backup themselves
        // first; without it, nothing is replaced.
        try {
            const Sicherungseinstellungen einstellungen = EinstellungenLesen(sicherung);
            const Datensicherung::Gesichert vorher =
                sicherung.InOrdner(einstellungen.Pfad(), Clock::Now(), einstellungen.behalten);
            Zeile(out_,
                  "Die bisherigen Daten sind gesichert in " + CodePage::Zitat(vorher.datei) + ".");
        } catch (const MessageException& fehler) {
            throw MessageException(fehler.Text() +
                                   " Die Datensicherung wurde deshalb nicht zurückgespielt."_w);
        }
    }
    wiederherstellung.Zurueckspielen();
    Zeile(out_, "Die Datensicherung " + wiederherstellung.Inhalt().Datumstext() +
                    " ist zurückgespielt; "_w + CodePage::Zitat(kDaten) + " hält jetzt "_w +
                    wiederherstellung.Inhalt().Mengentext() + ".");
    return kErfolg;
}
