// The e-invoice commands of rebkontor-cli: "rechnung NUMMER --xrechnung /
// --zugferd" and "firmendaten".
#include <limits>
#include <optional>

#include "cli/Aufruf.h"
#include "cli/Bedienfehler.h"
#include "cli/Lesebestand.h"
#include "cli/RebkontorCli.h"
#include "documents/Dokumentausgabe.h"
#include "documents/ERechnung.h"
#include "documents/XRechnungXml.h"
#include "model/Datenersatz.h"
#include "model/Firmendaten.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/DatenSperre.h"
#include "storage/FixedText.h"
#include "storage/GenericList.h"
#include "storage/MessageException.h"

namespace {

std::string FirmendatenDatei() {
    return std::string(RebkontorCli::kDaten) + "/" + Firmendaten::kDatei;
}

Firmendaten FirmendatenLesen() {
    Firmendaten daten;
    if (const Ergebnis<void> geladen = daten.Laden(FirmendatenDatei()); !geladen) {
        throw MessageException("Die Datei " + CodePage::Zitat(FirmendatenDatei()) +
                               " kann nicht gelesen werden (" + geladen.Ursache().Grund() + ").");
    }
    return daten;
}

// The options of "firmendaten", in the order of Firmendaten::Felder.
constexpr const char* kOptionen[] = {
    "--name",  "--inhaber", "--strasse",      "--plz",  "--ort", "--land", "--telefon",
    "--email", "--ustid",   "--steuernummer", "--iban", "--bic", "--bank", "--zahlungsziel"};

}  // namespace

int RebkontorCli::ERechnungSchreiben(Aufruf& aufruf, const std::optional<std::string>& xrechnung,
                                     const std::optional<std::string>& zugferd,
                                     const std::optional<std::string>& referenz) {
    const auto id = aufruf.Option("--id");
    const std::vector<std::string> positionen = aufruf.Positionen(0, 1, "Die Rechnungsnummer");
    if (!xrechnung && !zugferd) {
        throw Bedienfehler("Die Option --referenz gilt nur mit --xrechnung oder --zugferd.");
    }
    if (id && !positionen.empty()) {
        throw Bedienfehler("Bitte entweder die Rechnungsnummer oder --id angeben, nicht beides.");
    }
    if (!id && positionen.empty()) {
        throw Bedienfehler("Die Rechnungsnummer (oder --id ID) fehlt.");
    }
    constexpr std::int64_t kGroesste = std::numeric_limits<std::int32_t>::max();
    const std::int64_t wert =
        id ? Aufruf::ZahlLesen(*id, 0, kGroesste, "Die Id")
           : Aufruf::ZahlLesen(positionen[0], 0, kGroesste, "Die Rechnungsnummer");
    Dokumentausgabe* ausgabe = zugferd ? &Ausgabe() : nullptr;

    for (const std::optional<std::string>& ziel : {xrechnung, zugferd}) {
        if (ziel) {
            if (*ziel == "-") {
                throw Bedienfehler(
                    "E-Rechnungen werden nur in eine Datei geschrieben, nicht auf "
                    "die Standardausgabe (-).");
            }
            AusgabePruefen(*ziel);
        }
    }
    const ::Firmendaten firma = FirmendatenLesen();
    Lesebestand kopie(kDaten);
    RechnungsVerwaltung& rechnungen = *kopie.V().rechnungsVerwaltung;
    GenericList<::Rechnung> treffer;
    // A deleted invoice is found by its id, and refused with the other
    // invoices that cannot become an e-invoice.
    const ::Rechnung* rechnung = &RechnungFinden(rechnungen, id.has_value(), wert, treffer);
    std::string fehler;
    const std::optional<ERechnung> e = ERechnung::Aus(
        *rechnung, kopie.V(), firma, CodePage::Utf8ToCp1252(referenz.value_or("")), fehler);
    if (!e) {
        throw MessageException(fehler);
    }
    if (xrechnung) {
        Schreiben(*xrechnung, XRechnungXml::Schreiben(*e, XRechnungXml::kXRechnung));
    }
    if (zugferd && !ausgabe->Zugferd(*zugferd, kopie.V(), *rechnung,
                                     XRechnungXml::Schreiben(*e, XRechnungXml::kFacturX), fehler)) {
        throw MessageException(fehler);
    }
    return kErfolg;
}

int RebkontorCli::Firmendaten(Aufruf& aufruf) {
    const auto& felder = ::Firmendaten::Felder();
    std::vector<std::optional<std::string>> neu;
    bool aendern = false;
    for (const char* option : kOptionen) {
        neu.push_back(aufruf.Option(option));
        aendern = aendern || neu.back().has_value();
    }
    aufruf.Positionen(0, 0, "");
    // Characters the file cannot hold would be stored as "?"; the user is
    // told which, in the terminal's UTF-8, since Windows-1252 cannot name
    // them either.
    std::string nichtDarstellbar;
    for (std::size_t i = 0; i < felder.size(); ++i) {
        if (!neu[i]) {
            continue;
        }
        std::string zeichen;
        for (char32_t c : CodePage::NichtDarstellbar(*neu[i])) {
            zeichen += (zeichen.empty() ? "" : ", ") + std::string("„") + CodePage::Utf8(c) +
                       "“ (" + CodePage::Codepunkt(c) + ")";
        }
        if (!zeichen.empty()) {
            nichtDarstellbar += "Im Feld " + CodePage::Cp1252ToUtf8(felder[i].bezeichnung) +
                                " stehen Zeichen, die Rebkontor nicht speichern kann: " + zeichen +
                                ". ";
        }
    }
    if (!nichtDarstellbar.empty()) {
        err_ << "rebkontor-cli: " << nichtDarstellbar << "Die Firmendaten wurden nicht gespeichert."
             << std::endl;
        return kProbleme;
    }

    // A change is written into the data folder: held against the window and
    // other writers from before the data are read until they are stored.
    std::optional<DatenSperre> sperre;
    if (aendern) {
        Lesebestand::VerzeichnisPruefen(kDaten);
        sperre.emplace(kDaten);
        // A restore a crash interrupted would otherwise bring its own file back.
        Datenersatz::Abschliessen(kDaten);
    }
    ::Firmendaten daten = FirmendatenLesen();
    if (aendern) {
        for (std::size_t i = 0; i < felder.size(); ++i) {
            if (neu[i]) {
                // Each field is a single line.
                daten.*felder[i].wert = FixedText::Einzeilig(CodePage::Utf8ToCp1252(*neu[i]));
            }
        }
        daten.iban = ::Firmendaten::IbanNormal(daten.iban);
        const std::string fehler = daten.Pruefen();
        if (!fehler.empty()) {
            throw MessageException(fehler + " Die Firmendaten wurden nicht gespeichert.");
        }
        // The one place where this command writes into the data folder.
        if (const Ergebnis<void> gespeichert = daten.Speichern(FirmendatenDatei()); !gespeichert) {
            throw MessageException("Die Datei " + CodePage::Zitat(FirmendatenDatei()) +
                                   " konnte nicht geschrieben werden (" +
                                   gespeichert.Ursache().Grund() +
                                   "). Die Firmendaten wurden nicht gespeichert.");
        }
    }
    for (std::size_t i = 0; i < felder.size(); ++i) {
        Zeile(out_, std::string(felder[i].bezeichnung) + ": " + daten.*felder[i].wert);
    }
    const std::string fehlt = daten.Unvollstaendig();
    if (!fehlt.empty()) {
        Zeile(out_, "F\xFCr E-Rechnungen fehlt noch: " + fehlt + ".");
    }
    return kErfolg;
}
