#include "dialogs/Auswertungen.h"

#include <memory>

#include "dialogs/DruckDialog.h"
#include "dialogs/Eingabefelder.h"
#include "dialogs/Exportmeldung.h"
#include "documents/Arbeitsmappe.h"
#include "documents/Ausgabeziel.h"
#include "documents/AuswertungDruck.h"
#include "storage/CodePage.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

using Ansicht = Auswertung::Ansicht;

const char* const kMonate[] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                               "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

constexpr Rgb kBlau{31, 119, 180};
constexpr Rgb kGrau{170, 170, 170};
constexpr Rgb kWeinrot{128, 28, 48};
constexpr Rgb kGruen{44, 150, 44};
constexpr Rgb kWarnung{222, 45, 38};
// The rows of the tables: the sum row, and a wine that is running out.
constexpr Rgb kSummenzeile{225, 225, 225};
constexpr Rgb kKnappZeile{255, 210, 200};

// What the files of a view are called unless the user names them.
const char* Dateiname(Ansicht ansicht) {
    switch (ansicht) {
        case Ansicht::Umsatz:
            return "auswertung_umsatz";
        case Ansicht::Weine:
            return "auswertung_weine";
        case Ansicht::Kunden:
            return "auswertung_kunden";
        case Ansicht::Bestand:
            return "auswertung_bestand";
    }
    return "auswertung";
}

// A wine as its bar names it.
std::string Weinname(const std::string& name, std::int32_t nummer) {
    return name + " (" + std::to_string(nummer) + ")";
}

}  // namespace

Auswertungen::Auswertungen(Verwaltungen& verwaltungen)
    : Dialog(kResource), verwaltungen_(verwaltungen) {}

void Auswertungen::SetupWindow() {
    const Datum heute = Datum::Heute();
    ZeitraumZeigen(Datum(1, 1, heute.Year()), heute);
    Win().Select(kSeiten, 0);
    Anzeigen();
    Win().Focus(kVonTag);
}

void Auswertungen::ZeitraumZeigen(Datum von, Datum bis) {
    Window& w = Win();
    Eingabefelder::DatumZeigen(w, kVonTag, kVonMonat, kVonJahr, von.Julian());
    Eingabefelder::DatumZeigen(w, kBisTag, kBisMonat, kBisJahr, bis.Julian());
}

void Auswertungen::Command(int id) {
    switch (id) {
        case kHeute: {
            const Datum heute = Datum::Heute();
            ZeitraumZeigen(Datum(1, 1, heute.Year()), heute);
            Anzeigen();
            break;
        }
        case kAnzeigen:
            Anzeigen();
            break;
        case kBildSpeichern:
            BildSpeichern();
            break;
        case kTabelleSpeichern:
            TabelleSpeichern();
            break;
        case kDrucken:
            Drucken();
            break;
        default:
            Dialog::Command(id);
            break;
    }
}

void Auswertungen::Anzeigen() {
    Window& w = Win();
    Datum von;
    Datum bis;
    std::string fehler;
    if (!Eingabefelder::DatumPruefen(w, kVonTag, kVonMonat, kVonJahr, von, fehler)) {
        App().MessageBox(fehler, kTitel);
        w.Focus(kVonTag);
        return;
    }
    if (!Eingabefelder::DatumPruefen(w, kBisTag, kBisMonat, kBisJahr, bis, fehler)) {
        App().MessageBox(fehler, kTitel);
        w.Focus(kBisTag);
        return;
    }
    if (von.IsValid() && bis.IsValid() && bis.Julian() < von.Julian()) {
        App().MessageBox("Der Zeitraum endet vor seinem Beginn: Der letzte Tag (" + bis.Text() +
                             ") liegt vor dem ersten (" + von.Text() +
                             "). Bitte geben Sie einen Zeitraum an, dessen letzter Tag nicht vor "
                             "dem ersten liegt.",
                         kTitel);
        w.Focus(kBisTag);
        return;
    }
    // A period without a first or a last day holds no invoice; its pages
    // show that rather than the figures of another period.
    App().WaitCursor();
    try {
        zahlen_ = Auswertung::Berechnen(verwaltungen_, von, bis);
    } catch (...) {
        App().ArrowCursor();
        throw;
    }
    Zeigen();
    App().ArrowCursor();
}

void Auswertungen::Zeigen() {
    Window& w = Win();
    for (std::size_t k = 0; k < kAnzahl; ++k) {
        const Ansicht ansicht = Auswertung::kAnsichten[k];
        const int liste = kTabelle + static_cast<int>(k);
        Tabelle& t = tabellen_[k];
        t = zahlen_.TabelleVon(ansicht);
        if (!spaltenGesetzt_) {
            for (const Tabelle::Spalte& spalte : t.spalten) {
                w.AddColumn(liste, spalte.titel, spalte.breite * 7,
                            spalte.art == Tabelle::Art::Text ? Align::Left : Align::Right);
            }
        }
        std::vector<std::string> zeilen;
        zeilen.reserve(t.zeilen.size() + 1);
        for (const Tabelle::Zeile& zeile : t.zeilen) {
            zeilen.push_back(t.Text(zeile, 0));
        }
        if (!t.summe.empty()) {
            zeilen.push_back(t.Text(t.summe, 0));
        }
        w.SetRows(liste, std::move(zeilen));
        w.SetChart(kDiagramm + static_cast<int>(k), DiagrammVon(zahlen_, ansicht));
        w.SetText(kHinweis + static_cast<int>(k), zahlen_.OhneDatumHinweis());
    }
    spaltenGesetzt_ = true;
}

std::size_t Auswertungen::Seite() const {
    const int seite = Win().Selected(kSeiten);
    return seite >= 0 && static_cast<std::size_t>(seite) < kAnzahl ? static_cast<std::size_t>(seite)
                                                                   : 0;
}

std::string Auswertungen::CellText(int listId, int row, int column) {
    const int k = listId - kTabelle;
    if (k < 0 || static_cast<std::size_t>(k) >= kAnzahl || row < 0 || column < 0) {
        return {};
    }
    const Tabelle& t = tabellen_[static_cast<std::size_t>(k)];
    const auto zeile = static_cast<std::size_t>(row);
    if (zeile < t.zeilen.size()) {
        return t.Text(zeile, static_cast<std::size_t>(column));
    }
    return zeile == t.zeilen.size() ? t.Text(t.summe, static_cast<std::size_t>(column))
                                    : std::string();
}

std::optional<Rgb> Auswertungen::RowColour(int listId, int row) {
    const int k = listId - kTabelle;
    if (k < 0 || static_cast<std::size_t>(k) >= kAnzahl || row < 0) {
        return std::nullopt;
    }
    const Tabelle& t = tabellen_[static_cast<std::size_t>(k)];
    const auto zeile = static_cast<std::size_t>(row);
    if (zeile >= t.zeilen.size()) {
        return t.summe.empty() ? std::nullopt : std::optional<Rgb>(kSummenzeile);
    }
    if (Auswertung::kAnsichten[k] == Ansicht::Bestand && zeile < zahlen_.bestand.size() &&
        zahlen_.bestand[zeile].Knapp()) {
        return kKnappZeile;
    }
    return std::nullopt;
}

Diagramm Auswertungen::DiagrammVon(const Auswertung& zahlen, Ansicht ansicht) {
    Diagramm d;
    d.titel = Auswertung::Titel(ansicht);
    const std::string waehrung = zahlen.Waehrung();
    switch (ansicht) {
        case Ansicht::Umsatz: {
            d.art = Diagramm::Art::Saeulen;
            d.wertachse = "Umsatz brutto in " + waehrung;
            const bool einJahr = zahlen.von.IsValid() && zahlen.von.Year() == zahlen.bis.Year();
            Diagramm::Reihe jetzt{
                einJahr ? std::to_string(zahlen.von.Year()) : "Zeitraum", kBlau, {}};
            Diagramm::Reihe vorher{
                einJahr ? std::to_string(zahlen.von.Year() - 1) : std::string("Vorjahr"),
                kGrau,
                {}};
            for (const Auswertung::Monat& m : zahlen.monate) {
                d.kategorien.push_back(CodePage::Utf8ToCp1252(kMonate[m.monat - 1]) + " " +
                                       std::to_string(m.jahr));
                jetzt.werte.push_back(static_cast<double>(m.brutto) / 100.0);
                vorher.werte.push_back(static_cast<double>(m.vorjahrBrutto) / 100.0);
            }
            d.reihen = {jetzt, vorher};
            break;
        }
        case Ansicht::Weine: {
            d.art = Diagramm::Art::Balken;
            d.titel = "Die " + std::to_string(kBalken) + " meistverkauften Weine";
            d.wertachse = "Flaschen";
            Diagramm::Reihe flaschen{"Flaschen", kWeinrot, {}};
            for (std::size_t i = 0; i < zahlen.weine.size() && i < kBalken; ++i) {
                const Auswertung::Wein& w = zahlen.weine[i];
                d.kategorien.push_back(Weinname(w.name, w.nummer));
                flaschen.werte.push_back(static_cast<double>(w.flaschen));
            }
            d.reihen = {flaschen};
            break;
        }
        case Ansicht::Kunden: {
            d.art = Diagramm::Art::Balken;
            d.titel = "Die " + std::to_string(kBalken) + " besten Kunden";
            d.wertachse = "Umsatz brutto in " + waehrung;
            Diagramm::Reihe umsatz{"Umsatz", kBlau, {}};
            for (std::size_t i = 0; i < zahlen.kunden.size() && i < kBalken; ++i) {
                const Auswertung::Kunde& k = zahlen.kunden[i];
                d.kategorien.push_back(k.ort.empty() ? k.name : k.name + ", " + k.ort);
                umsatz.werte.push_back(static_cast<double>(k.umsatz) / 100.0);
            }
            d.reihen = {umsatz};
            break;
        }
        case Ansicht::Bestand: {
            d.art = Diagramm::Art::GestapelteBalken;
            d.titel =
                "Reichweite des Bestands (die " + std::to_string(kBalken) + " knappsten Weine)";
            d.wertachse = "Monate";
            d.nachkommastellen = 1;
            Diagramm::Reihe reicht{"Reichweite in Monaten", kGruen, {}};
            Diagramm::Reihe knapp{"unter 3 Monaten", kWarnung, {}};
            for (const Auswertung::Bestand& b : zahlen.bestand) {
                if (!b.reichweite || d.kategorien.size() >= kBalken) {
                    break;
                }
                // A sold-out wine's bar has no length: its name says why.
                d.kategorien.push_back(Weinname(b.name, b.nummer) +
                                       (b.bestand <= 0 ? " \x96 ausverkauft" : ""));
                reicht.werte.push_back(b.Knapp() ? 0.0 : *b.reichweite);
                knapp.werte.push_back(b.Knapp() ? *b.reichweite : 0.0);
            }
            d.reihen = {reicht, knapp};
            break;
        }
    }
    if (zahlen.rechnungen == 0) {
        d.kategorien.clear();
        d.reihen.clear();
        d.hinweis = kKeineRechnungen;
    } else if (d.kategorien.empty()) {
        d.reihen.clear();
        d.hinweis = "Keine verkauften Weine im Zeitraum";
    }
    return d;
}

std::optional<SaveFileResult> Auswertungen::Datei(const SaveFileRequest& anfrage,
                                                  const std::string& was) {
    const auto wahl = App().SaveFile(anfrage);
    if (!wahl) {
        return std::nullopt;
    }
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path);
    if (!hindernis.empty()) {
        App().MessageBox(hindernis + " " + was, kTitel);
        return std::nullopt;
    }
    return wahl;
}

bool Auswertungen::Geschrieben(const std::string& pfad, const Ergebnis<void>& ergebnis,
                               const std::string& was) {
    if (ergebnis) {
        return true;
    }
    App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(pfad) +
                         " konnte nicht geschrieben werden (" + ergebnis.Ursache().Grund() + "). " +
                         was,
                     kTitel);
    return false;
}

void Auswertungen::BildSpeichern() {
    const std::size_t k = Seite();
    const std::string nicht = "Das Diagramm wurde nicht gespeichert.";
    SaveFileRequest anfrage;
    anfrage.title = "Diagramm speichern";
    anfrage.filter = "PNG-Bild (*.png)|*.png|PDF-Dokument (*.pdf)|*.pdf|";
    anfrage.fileName = Dateiname(Auswertung::kAnsichten[k]);
    anfrage.defaultExt = "png";
    const auto wahl = Datei(anfrage, nicht);
    if (!wahl) {
        return;
    }
    const bool pdf = wahl->filterIndex == 2;
    const std::string bild =
        Win().ChartBild(kDiagramm + static_cast<int>(k), pdf ? Bildformat::Pdf : Bildformat::Png,
                        pdf ? kPdfBreite : kPngBreite, pdf ? kPdfHoehe : kPngHoehe);
    if (Geschrieben(wahl->path, Ausgabeziel::Ersetzen(wahl->path, bild), nicht)) {
        App().StatusMessage(
            Exportmeldung::Gespeichert("Diagramm", wahl->path, tabellen_[k].Ueberschrift()));
    }
}

void Auswertungen::TabelleSpeichern() {
    const std::size_t k = Seite();
    const Tabelle& t = tabellen_[k];
    const std::string nicht = "Die Tabelle wurde nicht gespeichert.";
    SaveFileRequest anfrage;
    anfrage.title = "Tabelle speichern";
    anfrage.filter = "CSV-Datei (*.CSV)|*.csv|Excel-Arbeitsmappe (*.xlsx)|*.xlsx|";
    anfrage.fileName = Dateiname(Auswertung::kAnsichten[k]);
    anfrage.defaultExt = "csv";
    const auto wahl = Datei(anfrage, nicht);
    if (!wahl) {
        return;
    }
    App().WaitCursor();
    Ergebnis<void> ergebnis;
    try {
        ergebnis = wahl->filterIndex == 2 ? Arbeitsmappe::Schreiben(wahl->path, t)
                                          : Ausgabeziel::Ersetzen(wahl->path, t.Csv());
    } catch (...) {
        App().ArrowCursor();
        throw;
    }
    App().ArrowCursor();
    if (Geschrieben(wahl->path, ergebnis, nicht)) {
        App().StatusMessage(Exportmeldung::Gespeichert(
            t.titel, wahl->path,
            Exportmeldung::Anzahl(static_cast<long>(t.zeilen.size()), "Zeile", "Zeilen")));
    }
}

void Auswertungen::Drucken() {
    const std::size_t k = Seite();
    bool bildschirm = false;
    if (!DruckDialog::Ausgabeart(App(), bildschirm)) {
        return;
    }
    // The picture in the proportions the page gives it; drawn as vectors,
    // it is as sharp on paper as the text beside it.
    const std::string svg = Win().ChartBild(kDiagramm + static_cast<int>(k), Bildformat::Svg, 800,
                                            static_cast<int>(800 / AuswertungDruck::kBildformat));
    PrintJob job = AuswertungDruck::Auftrag(tabellen_[k], svg, zahlen_.OhneDatumHinweis());
    if (bildschirm) {
        App().Preview(std::make_unique<PrintJob>(std::move(job)));
    } else {
        App().Print({job});
    }
}
