// The dunning commands of rebkontor-cli: "offene-posten" and "mahnungen".
#include <limits>
#include <memory>
#include <optional>

#include "cli/Aufruf.h"
#include "cli/Bedienfehler.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "documents/Dokumentausgabe.h"
#include "documents/Mahnschreiben.h"
#include "documents/OffenePostenListe.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/OffenePosten.h"
#include "storage/CodePage.h"
#include "storage/DatenSperre.h"
#include "storage/MessageException.h"

namespace {

Datum Stichtag(const std::optional<std::string>& text) {
    return text ? Aufruf::DatumLesen(*text) : Datum::Heute();
}

std::vector<OffenerPosten> Liste(Datenbestand& bestand, Datum stichtag, bool nurUeberfaellig) {
    Verwaltungen& v = bestand.GetVerwaltungen();
    return OffenePosten::Ermitteln(*v.rechnungsVerwaltung, v.customizer, bestand.GetFirmendaten(),
                                   &bestand.GetMahnungen(), bestand.GetMahntexte(), stichtag,
                                   nurUeberfaellig);
}

}  // namespace

int RebkontorCli::OffenePostenAusgeben(Aufruf& aufruf) {
    const auto stichtag = aufruf.Option("--stichtag");
    const bool alle = aufruf.Option("--alle", 0).has_value();
    aufruf.Positionen(0, 0, "");
    const Datum tag = Stichtag(stichtag);
    Lesebestand bestand(kDaten);
    const std::vector<OffenerPosten> posten = Liste(bestand.Bestand(), tag, !alle);
    out_ << OffenePostenListe::Csv(posten, bestand.V().kundenVerwaltung);
    out_.flush();
    if (!out_) {
        throw MessageException(
            "Die Liste konnte nicht auf die Standardausgabe geschrieben werden.");
    }
    return kErfolg;
}

int RebkontorCli::Mahnungen(Aufruf& aufruf) {
    const auto pdf = aufruf.Option("--pdf");
    const auto stichtag = aufruf.Option("--stichtag");
    const auto kunde = aufruf.Option("--kunde");
    const bool vermerken = aufruf.Option("--vermerken", 0).has_value();
    aufruf.Positionen(0, 0, "");
    if (!pdf) {
        throw Bedienfehler("Die Option --pdf DATEI fehlt.");
    }
    if (*pdf == "-") {
        throw Bedienfehler(
            "Die PDF-Datei wird nur in eine Datei geschrieben, nicht auf die "
            "Standardausgabe (-).");
    }
    std::optional<std::int32_t> nur;
    if (kunde) {
        nur = static_cast<std::int32_t>(Aufruf::ZahlLesen(
            *kunde, 0, std::numeric_limits<std::int32_t>::max(), "Die Kundennummer"));
    }
    const Datum tag = Stichtag(stichtag);
    AusgabePruefen(*pdf);

    // Recording writes into the data folder: held against the window and
    // other writers from before the data are read until they are stored.
    std::optional<DatenSperre> sperre;
    std::unique_ptr<Lesebestand> lesen;
    std::unique_ptr<Datenbestand> schreiben;
    Datenbestand* bestand = nullptr;
    if (vermerken) {
        Lesebestand::VerzeichnisPruefen(kDaten);
        sperre.emplace(kDaten);
        schreiben = std::make_unique<Datenbestand>(kDaten);
        schreiben->KundenEinlesen();
        bestand = schreiben.get();
    } else {
        lesen = std::make_unique<Lesebestand>(kDaten);
        bestand = &lesen->Bestand();
    }
    Verwaltungen& v = bestand->GetVerwaltungen();

    std::vector<OffenerPosten> gewaehlt;
    for (const OffenerPosten& p : Liste(*bestand, tag, true)) {
        if (p.vorgeschlagen && (!nur || p.kunde == *nur)) {
            gewaehlt.push_back(p);
        }
    }
    if (gewaehlt.empty()) {
        Zeile(err_, "Am "_w + tag.Text() + " ist keine Mahnung fällig"_w +
                        (nur ? " für den Kunden "_w + std::to_string(*nur) : std::string()) +
                        "; es wurde nichts geschrieben.");
        return kErfolg;
    }
    const std::vector<Mahnbrief> briefe = Mahnbrief::Bilden(gewaehlt, bestand->GetMahntexte());
    std::vector<PrintJob> auftraege;
    for (const Mahnbrief& brief : briefe) {
        const Mahnschreiben brieftext(brief, v.kundenVerwaltung->GetKunde(brief.kunde),
                                      bestand->GetFirmendaten(), bestand->GetMahntexte(),
                                      v.customizer, tag);
        if (!brieftext.Hinweis().empty()) {
            Zeile(err_, brieftext.Hinweis());
        }
        auftraege.push_back(brieftext.Auftrag());
    }
    if (!Ausgabe().PdfAuftraege(*pdf, auftraege, "Mahnungen vom " + tag.Text())) {
        throw MessageException("Die PDF-Datei " + CodePage::Zitat(*pdf) +
                               " konnte nicht geschrieben werden.");
    }
    std::size_t rechnungen = 0;
    for (const Mahnbrief& brief : briefe) {
        rechnungen += brief.posten.size();
    }
    if (vermerken) {
        Mahnbrief::Vermerken(briefe, bestand->GetMahnungen(), v.logBuch, tag);
    }
    Zeile(out_, std::to_string(briefe.size()) + (briefe.size() == 1 ? " Mahnung" : " Mahnungen") +
                    " für "_w + std::to_string(rechnungen) +
                    (rechnungen == 1 ? " Rechnung" : " Rechnungen") + " geschrieben" +
                    (vermerken ? "; die Mahnstufen sind vermerkt." : "; nichts vermerkt."));
    return kErfolg;
}
