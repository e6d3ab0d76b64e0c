#include "dialogs/ERechnungSpeichern.h"

#include <filesystem>
#include <optional>

#include "dialogs/Exportmeldung.h"
#include "documents/Ausgabeziel.h"
#include "documents/ERechnung.h"
#include "documents/XRechnungXml.h"
#include "model/Firmendaten.h"
#include "model/Rechnung.h"
#include "model/Verwaltungen.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"

namespace {

ERechnungSpeichern::ZugferdAusgabe& Ausgabe() {
    static ERechnungSpeichern::ZugferdAusgabe ausgabe;
    return ausgabe;
}

}  // namespace

void ERechnungSpeichern::SetZugferdAusgabe(ZugferdAusgabe ausgabe) {
    Ausgabe() = std::move(ausgabe);
}

void ERechnungSpeichern::Speichern(Services& app, Verwaltungen& verwaltungen,
                                   const Rechnung& rechnung) {
    // The Firmendaten live beside the settings, in the data folder.
    const std::filesystem::path ordner =
        std::filesystem::path(FixedText::Get(verwaltungen.customizer->dateiName)).parent_path();
    const std::string dateiFirma =
        (ordner.empty() ? std::filesystem::path(Firmendaten::kDatei) : ordner / Firmendaten::kDatei)
            .string();
    Firmendaten firma;
    if (const Ergebnis<void> geladen = firma.Laden(dateiFirma); !geladen) {
        app.MessageBox("Die Datei "_w + dateiFirma + " kann nicht gelesen werden (" +
                           geladen.Ursache().Grund() + ").",
                       kTitel);
        return;
    }
    std::string fehler;
    const std::optional<ERechnung> e = ERechnung::Aus(rechnung, verwaltungen, firma, "", fehler);
    if (!e) {
        app.MessageBox(fehler, kTitel);
        return;
    }
    const bool mitPdf = static_cast<bool>(Ausgabe());
    SaveFileRequest anfrage;
    anfrage.title = kTitel;
    anfrage.filter =
        mitPdf ? "XRechnung (*.XML)|*.xml|ZUGFeRD-PDF (*.PDF)|*.pdf|" : "XRechnung (*.XML)|*.xml|";
    // Without an extension, so that the chosen type gives it (.xml or .pdf).
    anfrage.fileName = "rechnung_" + std::to_string(rechnung.nummer);
    anfrage.defaultExt = "xml";
    const auto wahl = app.SaveFile(anfrage);
    if (!wahl) {
        return;
    }
    // The data folder is the one the Firmendaten were read from.
    const std::string daten = ordner.empty() ? std::string(Ausgabeziel::kDaten) : ordner.string();
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path, daten);
    if (!hindernis.empty()) {
        app.MessageBox(hindernis + " Die E-Rechnung wurde nicht gespeichert.", kTitel);
        return;
    }
    const std::string ziel = CodePage::Utf8ToCp1252(wahl->path);
    bool geschrieben = false;
    app.WaitCursor();
    if (mitPdf && wahl->filterIndex == 2) {
        geschrieben = Ausgabe()(wahl->path, verwaltungen, rechnung,
                                XRechnungXml::Schreiben(*e, XRechnungXml::kFacturX), fehler);
    } else {
        const Ergebnis<void> ersetzt = Ausgabeziel::Ersetzen(
            wahl->path, XRechnungXml::Schreiben(*e, XRechnungXml::kXRechnung), daten);
        geschrieben = static_cast<bool>(ersetzt);
        if (!ersetzt) {
            fehler = "Die Datei " + ziel + " konnte nicht geschrieben werden (" +
                     ersetzt.Ursache().Grund() + ").";
        }
    }
    app.ArrowCursor();
    if (!geschrieben) {
        app.MessageBox(fehler + " Die E-Rechnung wurde nicht gespeichert.", kTitel);
        return;
    }
    app.StatusMessage(Exportmeldung::Gespeichert(
        "E-Rechnung", wahl->path,
        Exportmeldung::Anzahl(static_cast<long>(e->zeilen.size()), "Posten", "Posten")));
}
