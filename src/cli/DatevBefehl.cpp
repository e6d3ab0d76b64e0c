// "rebkontor-cli datev": the invoices of a period as a DATEV booking batch
// for the tax advisor, remembered in the data folder like every export of
// the window.
#include <optional>
#include <string>

#include "cli/Aufruf.h"
#include "cli/Bedienfehler.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "documents/Ausgabeziel.h"
#include "documents/DatevExport.h"
#include "model/DatevExporte.h"
#include "model/Firmendaten.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/DatenSperre.h"
#include "storage/File.h"
#include "storage/MessageException.h"

int RebkontorCli::Datev(Aufruf& aufruf) {
    const auto von = aufruf.Option("--von");
    const auto bis = aufruf.Option("--bis");
    const bool erneut = aufruf.Option("--erneut", 0).has_value();
    const std::string datei = aufruf.Positionen(1, 1, "Der Name der Datei für den DATEV-Stapel")[0];
    if (!von || !bis) {
        throw Bedienfehler(std::string("Die Option ") + (von ? "--bis" : "--von") +
                           " T.M.JJJJ fehlt.");
    }
    const Datum erster = Aufruf::DatumLesen(*von);
    const Datum letzter = Aufruf::DatumLesen(*bis);
    if (datei == Ausgabeziel::kStandardausgabe) {
        // What went to the terminal would count as handed to the advisor.
        throw Bedienfehler(
            "Der DATEV-Stapel wird nur in eine Datei geschrieben, nicht auf die "
            "Standardausgabe (-).");
    }
    AusgabePruefen(datei);

    // The record of exports is written into the data folder: held against
    // the window from before it is read until the new line stands in it.
    Lesebestand::VerzeichnisPruefen(kDaten);
    const DatenSperre sperre(kDaten);
    const std::string firmendatei = std::string(kDaten) + "/" + ::Firmendaten::kDatei;
    ::Firmendaten firma;
    if (const Ergebnis<void> geladen = firma.Laden(firmendatei); !geladen) {
        throw MessageException("Die Datei " + CodePage::Zitat(firmendatei) +
                               " kann nicht gelesen werden (" + geladen.Ursache().Grund() + ").");
    }
    Lesebestand bestand(kDaten);
    std::string fehler;
    const std::optional<DatevExport::Stapel> stapel =
        DatevExport::Sammeln(bestand.V(), firma, erster, letzter, fehler);
    if (!stapel) {
        throw MessageException(fehler + " Es wurde keine Datei geschrieben.");
    }
    const std::string vermerke = std::string(kDaten) + "/" + DatevExporte::kDatei;
    const Ergebnis<std::string> bisher = File::ReadIfExists(vermerke);
    if (!bisher) {
        throw MessageException("Die Datei " + CodePage::Zitat(vermerke) +
                               " kann nicht gelesen werden (" + bisher.Ursache().Grund() +
                               "). Es wurde keine Datei geschrieben.");
    }
    if (const std::string konflikt = DatevExporte::Konflikt(*bisher, erster, letzter);
        !konflikt.empty() && !erneut) {
        throw MessageException(konflikt +
                               " Mit --erneut wird der Zeitraum trotzdem exportiert. Es wurde "
                               "keine Datei geschrieben.");
    }

    const std::int64_t jetzt = Clock::Now();
    if (const Ergebnis<void> geschrieben = Ausgabeziel::Ersetzen(
            datei, DatevExport::Text(*stapel, firma, DatevExport::Benutzer(), jetzt), kDaten);
        !geschrieben) {
        throw MessageException("Die Datei " + CodePage::Zitat(datei) +
                               " konnte nicht geschrieben werden (" +
                               geschrieben.Ursache().Grund() + ").");
    }
    if (const Ergebnis<void> vermerkt =
            DatevExporte::Anhaengen(vermerke, DatevExport::Vermerk(*stapel, jetzt));
        !vermerkt) {
        throw MessageException("Der DATEV-Stapel " + CodePage::Zitat(datei) +
                               " wurde geschrieben, konnte aber nicht in " +
                               CodePage::Zitat(vermerke) + " vermerkt werden (" +
                               vermerkt.Ursache().Grund() +
                               "). Ein weiterer Export dieses Zeitraums wird deshalb nicht "
                               "bemerkt.");
    }
    Zeile(out_, "DATEV-Stapel " + CodePage::Zitat(datei) + ": " +
                    std::to_string(stapel->buchungen.size()) +
                    (stapel->buchungen.size() == 1 ? " Rechnung, " : " Rechnungen, ") +
                    DatevExporte::Betrag(stapel->summe) + " EUR (" + erster.Text() + " bis " +
                    letzter.Text() + ").");
    return kErfolg;
}
