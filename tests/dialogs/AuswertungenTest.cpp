#include "dialogs/Auswertungen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/DruckDialog.h"
#include "dialogs/Eingabefelder.h"
#include "dialogs/Hauptfenster.h"
#include "dialogs/Hauptmenue.h"
#include "documents/RecordingCanvas.h"
#include "storage/CodePage.h"
#include "support/DialogFixture.h"
#include "windowing/FileFilter.h"

namespace {

using A = Auswertungen;

// A small business on 6 December 2026 (the fixture's clock): Riesling (4)
// and Dornfelder (9) sold this February to Berger from Mainz and to Wolf,
// Riesling to Berger in February a year before, Silvaner (12) never; and
// one invoice whose dates are both damaged. Prices in Euro including 19 %.
class AuswertungenTest : public DialogFixture {
  protected:
    AuswertungenTest() {
        Customizer& c = Einstellungen();
        c.preiseInEuro = 1;
        c.mwstEnthalten = 1;
        c.mwst = 19.0f;
        FixedText::Set(c.waehrung, "EUR");
        Wein("Riesling", 4, 200);
        Wein("Dornfelder", 9, 100);
        Wein("Silvaner", 12, 50);
        berger_ = KundeAnlegen("Berger");
        Kunde k = *Kv().GetKunde(berger_);
        FixedText::Set(k.Ort, "Mainz");
        Kv().UpdateKunde(k);
        wolf_ = KundeAnlegen("Wolf");
        Datiert(berger_, {{4, 12, 0, 8.0f}}, Datum(3, 2, 2026).Julian());
        Datiert(wolf_, {{9, 6, 0, 10.5f}, {4, 6, 0, 8.0f}}, Datum(10, 2, 2026).Julian());
        Datiert(berger_, {{4, 6, 0, 8.0f}}, Datum(15, 2, 2025).Julian());
        Datiert(wolf_, {{4, 1, 0, 8.0f}}, 0, true);
        // The stock as it stands after the sales.
        for (auto [nummer, bestand] : {std::pair{4, 200}, {9, 1}, {12, 50}}) {
            ::Wein* wein = Wv().GetWein(nummer);
            wein->bestand = bestand;
            Wv().Store(wein);
        }
    }

    void Wein(const char* name, std::int32_t nummer, std::int32_t bestand) {
        WeinAnlegen(nummer, bestand);
        ::Wein* wein = Wv().GetWein(nummer);
        FixedText::Set(wein->name, name);
        Wv().Store(wein);
    }

    void Datiert(std::int32_t kunde, const std::vector<Position>& posten, std::uint32_t datum,
                 bool ohneErfassung = false) {
        Rechnung r = *Rv().GetRechnung(RechnungSpeichern(kunde, posten));
        r.datum = datum;
        if (ohneErfassung) {
            r.erfasstDatum = 0;
        }
        Rv().UpdateRechnung(r);
    }

    FakeWindow& Dialog() { return Oeffnen<Auswertungen>(V()); }

    static void Zeitraum(FakeWindow& w, const std::vector<std::string>& felder) {
        const int ids[] = {A::kVonTag, A::kVonMonat, A::kVonJahr,
                           A::kBisTag, A::kBisMonat, A::kBisJahr};
        for (std::size_t i = 0; i < felder.size(); ++i) {
            w.Type(ids[i], felder[i]);
        }
        w.Click(A::kAnzeigen);
    }

    // The period as the fields show it: "1.1.2026-6.12.2026".
    static std::string Getippt(const FakeWindow& w) {
        return Eingabefelder::DatumGetippt(w, A::kVonTag, A::kVonMonat, A::kVonJahr) + "-" +
               Eingabefelder::DatumGetippt(w, A::kBisTag, A::kBisMonat, A::kBisJahr);
    }

    static std::vector<std::string> Zeile(FakeWindow& w, int liste, int row) {
        std::vector<std::string> zellen;
        for (std::size_t i = 0; i < w.Columns(liste).size(); ++i) {
            zellen.push_back(w.Cell(liste, row, static_cast<int>(i)));
        }
        return zellen;
    }

    std::int32_t berger_ = 0;
    std::int32_t wolf_ = 0;
};

// The dialog opens on the current year and shows each view's chart and
// table: months beside the year before, the wines by bottles, the customers
// by revenue, the stock with the wine running out in the warning colour,
// and the note on the invoice without a valid date.
TEST_F(AuswertungenTest, OpensOnTheYearSoFarWithEveryViewFilled) {
    FakeWindow& w = Dialog();
    EXPECT_EQ(w.Caption(), "Auswertungen");
    EXPECT_EQ(Getippt(w), "1.1.2026-6.12.2026");
    EXPECT_EQ(w.ItemCount(A::kSeiten), 4);
    EXPECT_EQ(w.Selected(A::kSeiten), 0);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(w.Text(A::kHinweis + k), "1 Rechnung ohne g\xFCltiges Datum nicht enthalten");
    }

    const Diagramm* umsatz = w.Chart(A::kDiagramm);
    ASSERT_NE(umsatz, nullptr);
    EXPECT_EQ(umsatz->art, Diagramm::Art::Saeulen);
    EXPECT_EQ(umsatz->wertachse, "Umsatz brutto in EUR");
    ASSERT_EQ(umsatz->kategorien.size(), 12u);
    EXPECT_EQ(umsatz->kategorien[0], "Jan 2026");
    EXPECT_EQ(umsatz->kategorien[2], "M\xE4r 2026");
    EXPECT_EQ(umsatz->kategorien[11], "Dez 2026");
    ASSERT_EQ(umsatz->reihen.size(), 2u);
    EXPECT_EQ(umsatz->reihen[0].name, "2026");
    EXPECT_EQ(umsatz->reihen[1].name, "2025");
    EXPECT_DOUBLE_EQ(umsatz->reihen[0].werte[1], 207.0);
    EXPECT_DOUBLE_EQ(umsatz->reihen[1].werte[1], 48.0);
    EXPECT_DOUBLE_EQ(umsatz->reihen[0].werte[0], 0.0);

    const Diagramm* weine = w.Chart(A::kDiagramm + 1);
    EXPECT_EQ(weine->art, Diagramm::Art::Balken);
    EXPECT_EQ(weine->kategorien, (std::vector<std::string>{"Riesling (4)", "Dornfelder (9)"}));
    EXPECT_EQ(weine->reihen[0].werte, (std::vector<double>{18, 6}));

    const Diagramm* kunden = w.Chart(A::kDiagramm + 2);
    EXPECT_EQ(kunden->kategorien, (std::vector<std::string>{"Wolf", "Berger, Mainz"}));
    EXPECT_EQ(kunden->reihen[0].werte, (std::vector<double>{111, 96}));

    // Dornfelder lasts 1 / (6 / 11.19 months), under three months.
    const Diagramm* bestand = w.Chart(A::kDiagramm + 3);
    EXPECT_EQ(bestand->art, Diagramm::Art::GestapelteBalken);
    EXPECT_EQ(bestand->kategorien, (std::vector<std::string>{"Dornfelder (9)", "Riesling (4)"}));
    const double monate = 11 + 6.0 / 31;
    EXPECT_NEAR(bestand->reihen[1].werte[0], 1 / (6 / monate), 1e-9);
    EXPECT_EQ(bestand->reihen[1].werte[1], 0.0);
    EXPECT_NEAR(bestand->reihen[0].werte[1], 200 / (18 / monate), 1e-9);
    EXPECT_NE(bestand->reihen[1].farbe, bestand->reihen[0].farbe);
    // A sold-out wine has no bar to see; its name says so.
    ::Wein* dornfelder = Wv().GetWein(9);
    dornfelder->bestand = 0;
    Wv().Store(dornfelder);
    w.Click(A::kAnzeigen);
    EXPECT_EQ(w.Chart(A::kDiagramm + 3)->kategorien,
              (std::vector<std::string>{"Dornfelder (9) \x96 ausverkauft", "Riesling (4)"}));
    dornfelder->bestand = 1;
    Wv().Store(dornfelder);
    w.Click(A::kAnzeigen);

    // The tables, with their sum rows.
    const int monatsliste = A::kTabelle;
    ASSERT_EQ(w.RowCount(monatsliste), 13);
    EXPECT_EQ(
        Zeile(w, monatsliste, 1),
        (std::vector<std::string>{"Februar 2026", "2", "173,95", "207,00", "1", "40,34", "48,00"}));
    EXPECT_EQ(Zeile(w, monatsliste, 12),
              (std::vector<std::string>{"Summe", "2", "173,95", "207,00", "1", "40,34", "48,00"}));
    EXPECT_EQ(w.RowColour(monatsliste, 12), (Rgb{225, 225, 225}));
    EXPECT_EQ(w.RowColour(monatsliste, 1), std::nullopt);
    EXPECT_EQ(Zeile(w, A::kTabelle + 2, 0),
              (std::vector<std::string>{"2", "Wolf", "", "1", "12", "111,00", "10.2.2026"}));
    const int vorrat = A::kTabelle + 3;
    ASSERT_EQ(w.RowCount(vorrat), 3);
    EXPECT_EQ(Zeile(w, vorrat, 0),
              (std::vector<std::string>{"9", "Dornfelder", "", "", "1", "6", "0,5", "1,9"}));
    EXPECT_EQ(Zeile(w, vorrat, 2),
              (std::vector<std::string>{"12", "Silvaner", "", "", "50", "0", "0,0", "\x96"}));
    EXPECT_EQ(w.RowColour(vorrat, 0), (Rgb{255, 210, 200}));
    EXPECT_EQ(w.RowColour(vorrat, 1), std::nullopt);
    std::vector<std::string> titel;
    for (const FakeWindow::Column& spalte : w.Columns(vorrat)) {
        titel.push_back(spalte.title);
    }
    EXPECT_EQ(titel,
              (std::vector<std::string>{"Nr.", "Wein", "Bezeichnung", "F\xFCllmenge", "Bestand",
                                        "Verkauft", "\xD8 je Monat", "Reichweite (Monate)"}));
    EXPECT_EQ(w.Columns(vorrat)[1].align, Align::Left);
    EXPECT_EQ(w.Columns(vorrat)[7].align, Align::Right);
}

// A period that ends before it begins, or has a day the calendar lacks, is
// refused with a message and the figures stay; one without invoices shows
// empty charts that say so and empty tables; "H" brings the year back.
TEST_F(AuswertungenTest, RefusesBackwardPeriodsAndShowsEmptyOnesAsEmpty) {
    FakeWindow& w = Dialog();
    Zeitraum(w, {"1", "1", "2026", "1", "1", "2025"});
    ASSERT_EQ(app_.Messages().size(), 1u);
    EXPECT_EQ(app_.LastMessage().caption, "Auswertungen");
    EXPECT_EQ(app_.LastMessage().text,
              "Der Zeitraum endet vor seinem Beginn: Der letzte Tag (1.1.2025) liegt vor dem "
              "ersten (1.1.2026). Bitte geben Sie einen Zeitraum an, dessen letzter Tag nicht vor "
              "dem ersten liegt.");
    EXPECT_EQ(w.FocusedControl(), A::kBisTag);
    EXPECT_EQ(w.Chart(A::kDiagramm)->kategorien.size(), 12u);
    EXPECT_EQ(w.RowCount(A::kTabelle + 2), 3);

    Zeitraum(w, {"1", "13", "2026", "6", "12", "2026"});
    EXPECT_EQ(app_.LastMessage().text, "Das Datum 1.13.2026 gibt es nicht.");

    for (const std::vector<std::string>& leer :
         {std::vector<std::string>{"1", "1", "2020", "31", "12", "2020"},
          std::vector<std::string>{"", "", "", "", "", ""}}) {
        app_.ClearMessages();
        Zeitraum(w, leer);
        EXPECT_TRUE(app_.Messages().empty());
        for (int k = 0; k < 4; ++k) {
            const Diagramm* d = w.Chart(A::kDiagramm + k);
            EXPECT_TRUE(d->Leer());
            EXPECT_TRUE(d->reihen.empty());
            EXPECT_EQ(d->hinweis, "Keine Rechnungen im Zeitraum");
            EXPECT_EQ(w.RowCount(A::kTabelle + k), 0);
        }
    }

    w.Click(A::kHeute);
    EXPECT_EQ(Getippt(w), "1.1.2026-6.12.2026");
    EXPECT_EQ(w.Chart(A::kDiagramm + 2)->kategorien.size(), 2u);
}

// The chart of the page shown goes into a PNG or a PDF, its table into a
// CSV file or a spreadsheet; a name in the data folder is refused. The
// status bar says what was saved.
TEST_F(AuswertungenTest, SavesThePagesChartAndTable) {
    FakeWindow& w = Dialog();
    w.Choose(A::kSeiten, 2);
    app_.SaveFileAnswer(SaveFileResult{dir_ / "kunden.png", 1});
    w.Click(A::kBildSpeichern);
    const SaveFileRequest& bild = app_.SaveRequests().back();
    EXPECT_EQ(bild.title, "Diagramm speichern");
    EXPECT_EQ(bild.filter, "PNG-Bild (*.png)|*.png|PDF-Dokument (*.pdf)|*.pdf|");
    EXPECT_EQ(bild.fileName, "auswertung_kunden");
    EXPECT_EQ(ReadBytes(dir_ / "kunden.png"),
              "PNG 1600x1000: Die 20 besten Kunden\nWolf\nBerger, Mainz\n");
    EXPECT_EQ(app_.StatusMessages().back(), "Diagramm gespeichert: " + (dir_ / "kunden.png") +
                                                " (Kunden, 1.1.2026 bis 6.12.2026)");
    app_.SaveFileAnswer(SaveFileResult{dir_ / "kunden.pdf", 2});
    w.Click(A::kBildSpeichern);
    EXPECT_EQ(ReadBytes(dir_ / "kunden.pdf").substr(0, 12), "PDF 842x595:");

    app_.SaveFileAnswer(SaveFileResult{"daten/kunden.png", 1});
    w.Click(A::kBildSpeichern);
    EXPECT_NE(app_.LastMessage().text.find("Das Diagramm wurde nicht gespeichert."),
              std::string::npos);
    EXPECT_FALSE(FileExists("daten/kunden.png"));

    w.Choose(A::kSeiten, 0);
    app_.SaveFileAnswer(SaveFileResult{dir_ / "umsatz.csv", 1});
    w.Click(A::kTabelleSpeichern);
    const SaveFileRequest& tabelle = app_.SaveRequests().back();
    EXPECT_EQ(tabelle.title, "Tabelle speichern");
    EXPECT_EQ(tabelle.filter, "CSV-Datei (*.CSV)|*.csv|Excel-Arbeitsmappe (*.xlsx)|*.xlsx|");
    EXPECT_EQ(tabelle.fileName, "auswertung_umsatz");
    const std::string csv = ReadBytes(dir_ / "umsatz.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n", csv.find("\r\n") + 2) + 2),
              "Monat;Rechnungen;Netto (EUR);Brutto (EUR);Vorjahr Rechnungen;Vorjahr netto "
              "(EUR);Vorjahr brutto (EUR)\r\nJanuar 2026;0;0,00;0,00;0;0,00;0,00\r\n");
    EXPECT_NE(csv.find("\r\nFebruar 2026;2;173,95;207,00;1;40,34;48,00\r\n"), std::string::npos);
    EXPECT_EQ(app_.StatusMessages().back(),
              "Umsatz je Monat gespeichert: " + (dir_ / "umsatz.csv") + " (12 Zeilen)");
    app_.SaveFileAnswer(SaveFileResult{dir_ / "umsatz.xlsx", 2});
    w.Click(A::kTabelleSpeichern);
    EXPECT_EQ(ReadBytes(dir_ / "umsatz.xlsx").substr(0, 2), "PK");

    app_.SaveFileAnswer(SaveFileResult{dir_ / "fehlt/umsatz.csv", 1});
    w.Click(A::kTabelleSpeichern);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei " + (dir_ / "fehlt/umsatz.csv") +
                  " konnte nicht geschrieben werden (den Ordner gibt es nicht). Die Tabelle "
                  "wurde nicht gespeichert.");
}

// "Drucken" asks only screen or printer, then puts the page's chart and
// table on one page: into the preview, or to the printer.
TEST_F(AuswertungenTest, PrintsChartAndTableOnOnePage) {
    FakeWindow& w = Dialog();
    w.Choose(A::kSeiten, 2);
    app_.OnExecute([](FakeWindow& druck) {
        EXPECT_EQ(druck.Caption(), "Drucken");
        EXPECT_FALSE(druck.IsShown(DruckDialog::kAusfertigungen));
        druck.Click(DruckDialog::kBildschirm);
        druck.PressEnter();
    });
    w.Click(A::kDrucken);
    EXPECT_EQ(app_.Executed().back(), DruckDialog::kResource);
    ASSERT_EQ(app_.Previews().size(), 1u);
    const PrintJob& job = *app_.Previews()[0];
    EXPECT_EQ(job.title, "Auswertung: Kunden, 1.1.2026 bis 6.12.2026");
    EXPECT_EQ(job.pages, 1);
    RecordingCanvas seite;
    job.drawPage(seite, 1, 0, 0, 2100, 2970);
    ASSERT_EQ(seite.Pictures().size(), 1u);
    EXPECT_EQ(seite.Pictures()[0].svg, "SVG 800x500: Die 20 besten Kunden\nWolf\nBerger, Mainz\n");
    ASSERT_NE(seite.Find("Kunden, 1.1.2026 bis 6.12.2026"), nullptr);
    ASSERT_NE(seite.Find("1 Rechnung ohne g\xFCltiges Datum nicht enthalten"), nullptr);
    const RecordingCanvas::Text* kopf = seite.Find("Nr.  Kunde");
    // The customer's number is the one the file gave.
    const RecordingCanvas::Text* wolf = seite.Find(std::to_string(wolf_) + "  Wolf");
    const RecordingCanvas::Text* summe = seite.Find("Summe");
    ASSERT_NE(kopf, nullptr);
    ASSERT_NE(wolf, nullptr);
    ASSERT_NE(summe, nullptr);
    // The table stands below the chart, and nothing overprints.
    EXPECT_GT(kopf->y, seite.Pictures()[0].top + seite.Pictures()[0].height);
    EXPECT_LT(kopf->y, wolf->y);
    EXPECT_LT(wolf->y, summe->y);
    EXPECT_EQ(summe->font.weight, Canvas::kBold);
    EXPECT_TRUE(seite.Ueberdeckungen().empty());

    app_.OnExecute([](FakeWindow& druck) { druck.PressEnter(); });
    w.Click(A::kDrucken);
    ASSERT_EQ(app_.Printed().size(), 1u);
    EXPECT_EQ(app_.Previews().size(), 1u);

    app_.OnExecute([](FakeWindow& druck) { druck.Click(ControlId::kCancel); });
    w.Click(A::kDrucken);
    EXPECT_EQ(app_.Printed().size(), 1u);
    EXPECT_EQ(app_.PrintDialogs(), 1);
}

// A table too long for the first page goes on over further pages, each
// with the headings again.
TEST_F(AuswertungenTest, LongTablesGoOnOverFurtherPages) {
    for (int i = 0; i < 40; ++i) {
        const std::int32_t k = KundeAnlegen(("Kunde " + std::to_string(i)).c_str());
        Datiert(k, {{12, static_cast<std::int16_t>(i + 1), 0, 5.0f}}, Datum(1, 3, 2026).Julian());
    }
    FakeWindow& w = Dialog();
    w.Choose(A::kSeiten, 2);
    app_.OnExecute([](FakeWindow& druck) {
        druck.Click(DruckDialog::kBildschirm);
        druck.PressEnter();
    });
    w.Click(A::kDrucken);
    ASSERT_EQ(app_.Previews().size(), 1u);
    const PrintJob& job = *app_.Previews()[0];
    // 42 customers, the rule and the sum row.
    EXPECT_EQ(job.pages, 2);
    RecordingCanvas zweite;
    job.drawPage(zweite, 2, 0, 0, 2100, 2970);
    EXPECT_TRUE(zweite.Pictures().empty());
    EXPECT_NE(zweite.Find("Nr.  Kunde"), nullptr);
    EXPECT_NE(zweite.Find("Summe"), nullptr);
    EXPECT_NE(zweite.Find("Seite 2 von 2"), nullptr);
    EXPECT_TRUE(zweite.Ueberdeckungen().empty());
}

class AuswertungenHauptfensterTest : public AuswertungenTest {
  protected:
    Hauptfenster fenster_{V(), app_};
};

// "Auswertungen..." stands in the invoice menu and opens the dialog.
TEST_F(AuswertungenHauptfensterTest, TheInvoiceMenuOpensTheStatistics) {
    bool gefunden = false;
    for (const Hauptmenue::Popup& popup : Hauptmenue::Menue()) {
        for (const Hauptmenue::Eintrag& e : popup.eintraege) {
            if (e.befehl == Hauptmenue::kAuswertungen) {
                EXPECT_EQ(popup.text, "&Rechungsverwaltung");
                EXPECT_EQ(e.text, "&Auswertungen...");
                gefunden = true;
            }
        }
    }
    EXPECT_TRUE(gefunden);
    std::size_t kategorien = 0;
    app_.OnExecute([&](FakeWindow& dialog) {
        kategorien = dialog.Chart(A::kDiagramm + 1)->kategorien.size();
    });
    fenster_.Befehl(Hauptmenue::kAuswertungen);
    EXPECT_EQ(app_.Executed(), (std::vector<int>{A::kResource}));
    EXPECT_EQ(kategorien, 2u);
}

// The bottle list's save dialog offers the spreadsheet of today beside the
// old one; the name the user types decides the type, and the workbook
// opens no editor.
TEST_F(AuswertungenHauptfensterTest, BottleListAsWorkbook) {
    app_.OnExecute([](FakeWindow& filter) { filter.PressEnter(); });
    app_.SaveFileAnswer(SaveFileResult{dir_ / "fl_dez.xlsx", 3});
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    const std::string filter = app_.SaveRequests().back().filter;
    EXPECT_EQ(filter,
              "Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|Excel-Arbeitsmappe "
              "(*.xlsx)|*.xlsx|");
    EXPECT_EQ(ReadBytes(dir_ / "fl_dez.xlsx").substr(0, 2), "PK");
    EXPECT_TRUE(app_.Started().empty());
    EXPECT_EQ(app_.StatusMessages().back().substr(0, 25), "Flaschenliste gespeichert");

    const auto filter_ = FileFilter::Parse(filter);
    auto typ = [&](const std::string& name, int gewaehlt) {
        const SaveFileResult r = FileFilter::Complete(name, filter_, gewaehlt, "txt");
        return r.path + " " + std::to_string(r.filterIndex);
    };
    EXPECT_EQ(typ("fl_dez.xlsx", 1), "fl_dez.xlsx 3");
    EXPECT_EQ(typ("fl_dez.XLSX", 2), "fl_dez.XLSX 3");
    EXPECT_EQ(typ("fl_dez.xls", 3), "fl_dez.xls 2");
    EXPECT_EQ(typ("fl_dez.txt", 3), "fl_dez.txt 1");
    EXPECT_EQ(typ("fl_dez", 3), "fl_dez.xlsx 3");
}

}  // namespace
