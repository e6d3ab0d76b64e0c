#include "dialogs/ERechnungSpeichern.h"

#include <filesystem>
#include <optional>

#include "dialogs/Exportmeldung.h"
#include "documents/Ausgabeziel.h"
#include "documents/Dokumentausgabe.h"
#include "documents/ERechnung.h"
#include "documents/XRechnungXml.h"
#include "model/Firmendaten.h"
#include "model/Rechnung.h"
#include "model/Verwaltungen.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"

ERechnungSpeichern::ERechnungSpeichern(Services& app, Verwaltungen& verwaltungen,
                                       Dokumentausgabe* ausgabe)
    : app_(app), verwaltungen_(verwaltungen), ausgabe_(ausgabe) {}

void ERechnungSpeichern::Speichern(const Rechnung& rechnung) {
    // The Firmendaten live beside the settings, in the data folder.
    const std::filesystem::path ordner =
        std::filesystem::path(FixedText::Get(verwaltungen_.customizer->dateiName)).parent_path();
    const std::string dateiFirma =
        (ordner.empty() ? std::filesystem::path(Firmendaten::kDatei) : ordner / Firmendaten::kDatei)
            .string();
    Firmendaten firma;
    if (const Ergebnis<void> geladen = firma.Laden(dateiFirma); !geladen) {
        app_.MessageBox("Die Datei "_w + dateiFirma + " kann nicht gelesen werden (" +
                            geladen.Ursache().Grund() + ").",
                        kTitel);
        return;
    }
    std::string fehler;
    const std::optional<ERechnung> e = ERechnung::Aus(rechnung, verwaltungen_, firma, "", fehler);
    if (!e) {
        app_.MessageBox(fehler, kTitel);
        return;
    }
    const bool mitPdf = ausgabe_ != nullptr;
    SaveFileRequest anfrage;
    anfrage.title = kTitel;
    anfrage.filter =
        mitPdf ? "XRechnung (*.XML)|*.xml|ZUGFeRD-PDF (*.PDF)|*.pdf|" : "XRechnung (*.XML)|*.xml|";
    // Without an extension, so that the chosen type gives it (.xml or .pdf).
    anfrage.fileName = "rechnung_" + std::to_string(rechnung.nummer);
    anfrage.defaultExt = "xml";
    const auto wahl = app_.SaveFile(anfrage);
    if (!wahl) {
        return;
    }
    // The data folder is the one the Firmendaten were read from.
    const std::string daten = ordner.empty() ? std::string(Ausgabeziel::kDaten) : ordner.string();
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path, daten);
    if (!hindernis.empty()) {
        app_.MessageBox(hindernis + " Die E-Rechnung wurde nicht gespeichert.", kTitel);
        return;
    }
    const std::string ziel = CodePage::Utf8ToCp1252(wahl->path);
    bool geschrieben = false;
    app_.WaitCursor();
    if (mitPdf && wahl->filterIndex == 2) {
        geschrieben =
            ausgabe_->Zugferd(wahl->path, verwaltungen_, rechnung,
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
    app_.ArrowCursor();
    if (!geschrieben) {
        app_.MessageBox(fehler + " Die E-Rechnung wurde nicht gespeichert.", kTitel);
        return;
    }
    app_.StatusMessage(Exportmeldung::Gespeichert(
        "E-Rechnung", wahl->path,
        Exportmeldung::Anzahl(static_cast<long>(e->zeilen.size()), "Posten", "Posten")));
}
