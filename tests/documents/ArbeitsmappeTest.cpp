// The spreadsheets in today's format (.xlsx), opened with a reader that is
// not ours: Python's openpyxl checks cells, number formats, the frozen
// title rows and the sums (the formulas and the results stored with them).

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "documents/Arbeitsmappe.h"
#include "documents/Auswertung.h"
#include "documents/Flaschenliste.h"
#include "documents/FlaschenlisteArbeitsmappe.h"
#include "model/RechnungsFixture.h"
#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "support/FileBytes.h"

namespace {

// Reads the workbook and checks it against the expectations, one a line:
//   cell    A1   text      (the value as text; numbers compared as numbers)
//   formula E9   =SUM(...) (the formula of the cell)
//   format  E3   #,##0     (its number format)
//   date    G3   2026-12-06
//   freeze  A3             (the first cell that scrolls)
//   rows    403            (the rows the sheet uses)
//   sheet   Weine          (its name)
// Prints "OK", or each difference.
constexpr const char* kPruefer = R"(import sys, datetime, openpyxl
mappe = openpyxl.load_workbook(sys.argv[1])
werte = openpyxl.load_workbook(sys.argv[1], data_only=True)
blatt = mappe.active
ergebnis = werte.active
fehler = []
for zeile in open(sys.argv[2], encoding='utf-8').read().split('\n'):
    if not zeile:
        continue
    art, ort, erwartet = (zeile.split('\t') + ['', ''])[:3]
    if art in ('freeze', 'rows', 'sheet'):
        erwartet = ort
    if art == 'cell':
        wert = ergebnis[ort].value
        if isinstance(wert, (int, float)) and not isinstance(wert, bool):
            try:
                gleich = abs(float(wert) - float(erwartet)) < 1e-9
            except ValueError:
                gleich = False
        else:
            gleich = ('' if wert is None else str(wert)) == erwartet
        if not gleich:
            fehler.append('%s: %r, erwartet %r' % (ort, wert, erwartet))
    elif art == 'formula':
        if blatt[ort].value != erwartet:
            fehler.append('%s: Formel %r, erwartet %r' % (ort, blatt[ort].value, erwartet))
    elif art == 'format':
        if blatt[ort].number_format != erwartet:
            fehler.append('%s: Format %r, erwartet %r' % (ort, blatt[ort].number_format, erwartet))
    elif art == 'date':
        wert = ergebnis[ort].value
        if not isinstance(wert, datetime.datetime) or wert.date().isoformat() != erwartet:
            fehler.append('%s: Datum %r, erwartet %s' % (ort, wert, erwartet))
    elif art == 'freeze':
        if blatt.freeze_panes != erwartet:
            fehler.append('fixiert ab %r, erwartet %r' % (blatt.freeze_panes, erwartet))
    elif art == 'rows':
        if blatt.max_row != int(erwartet):
            fehler.append('%d Zeilen, erwartet %s' % (blatt.max_row, erwartet))
    elif art == 'sheet':
        if blatt.title != erwartet:
            fehler.append('Blatt %r, erwartet %r' % (blatt.title, erwartet))
print('\n'.join(fehler) if fehler else 'OK')
)";

// Runs the reader; its output, or why it could not run.
std::string Pruefen(const std::string& mappe, const std::vector<std::string>& erwartet) {
    WriteBytes("pruefer.py", kPruefer);
    std::string zeilen;
    for (const std::string& z : erwartet) {
        zeilen += CodePage::Cp1252ToUtf8(z) + "\n";
    }
    WriteBytes("erwartet.txt", zeilen);
    // Debian's interpreter, which has the reader installed beside it.
    const std::string befehl = "/usr/bin/python3 pruefer.py '" + mappe + "' erwartet.txt 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> leser(popen(befehl.c_str(), "r"), pclose);
    if (!leser) {
        return "python3 could not be started";
    }
    std::string ausgabe;
    std::array<char, 4096> puffer{};
    while (std::fgets(puffer.data(), static_cast<int>(puffer.size()), leser.get()) != nullptr) {
        ausgabe += puffer.data();
    }
    return ausgabe;
}

std::string Zelle(const std::string& spalte, int zeile, const std::string& wert) {
    return "cell\t" + spalte + std::to_string(zeile) + "\t" + wert;
}

class ArbeitsmappeTest : public RechnungsFixture {};

// A bottle list of 400 wines, more than the old sheet has columns: every
// wine has its row with number, name, description, volume and bottles, the
// sum row adds them up by formula, the title row names the period and the
// two top rows stay in view.
TEST_F(ArbeitsmappeTest, BottleListOf400WinesIsReadWholeByAnotherReader) {
    constexpr int kWeine = 400;
    const std::int32_t kunde = KundeAnlegen("Berger");
    std::vector<Position> erste;
    std::vector<Position> zweite;
    for (int n = 1; n <= kWeine; ++n) {
        WeinAnlegen(n, 10000);
        Wein* wein = Wv().GetWein(n);
        FixedText::Set(wein->name, "M\xFCller-Thurgau " + std::to_string(n));
        FixedText::Set(wein->bezeichnung, "2025er Gutswein; trocken");
        FixedText::Set(wein->fuellmenge, "0,75 l");
        Wv().Store(wein);
        (n <= kWeine / 2 ? erste : zweite)
            .push_back({n, static_cast<std::int16_t>(n % 24 + 1), 7.5f, 3.8f});
    }
    zweite.push_back({1, 6, 7.5f, 3.8f});  // wine 1 on both invoices
    RechnungSpeichern(kunde, erste);
    RechnungSpeichern(kunde, zweite);
    Customizer& c = *V().customizer;
    c.filterMit1 = 1;
    c.filterVon1 = static_cast<std::int32_t>(Datum(1, 12, 2026).Julian());
    c.filterBis1 = static_cast<std::int32_t>(Datum(31, 12, 2026).Julian());
    c.filterMit2 = 0;

    Flaschenliste::Eintraege eintraege;
    Rv().GetFlaschenPosten(eintraege);
    ASSERT_TRUE(FlaschenlisteArbeitsmappe::Schreiben("fl_dez.xlsx", eintraege, c, &Wv()));

    std::vector<std::string> erwartet = {
        "sheet\tListe verkaufter Flaschen",
        Zelle("A", 1,
              "Liste verkaufter Flaschen, Erfassung der Rechnungen von 1.12.2026 bis "
              "31.12.2026"),
        Zelle("A", 2, "Nr."),
        Zelle("B", 2, "Wein"),
        Zelle("C", 2, "Bezeichnung"),
        Zelle("D", 2, "F\xFCllmenge"),
        Zelle("E", 2, "Flaschen"),
        "freeze\tA3",
        "rows\t" + std::to_string(kWeine + 3),
        "format\tA3\t0",
        "format\tE3\t#,##0",
        "formula\tE403\t=SUM(E3:E402)",
        Zelle("B", 403, "Summe"),
    };
    long summe = 0;
    for (int n = 1; n <= kWeine; ++n) {
        const int flaschen = n % 24 + 1 + (n == 1 ? 6 : 0);
        summe += flaschen;
        const int zeile = n + 2;
        erwartet.push_back(Zelle("A", zeile, std::to_string(n)));
        erwartet.push_back(Zelle("B", zeile, "M\xFCller-Thurgau " + std::to_string(n)));
        erwartet.push_back(Zelle("C", zeile, "2025er Gutswein; trocken"));
        erwartet.push_back(Zelle("D", zeile, "0,75 l"));
        erwartet.push_back(Zelle("E", zeile, std::to_string(flaschen)));
    }
    erwartet.push_back(Zelle("E", 403, std::to_string(summe)));
    EXPECT_EQ(Pruefen(dir_ / "fl_dez.xlsx", erwartet), "OK\n");
}

// A table of the statistics: amounts in the money format, dates as dates,
// a reach without end as "–", and the sums of the columns that have one.
TEST_F(ArbeitsmappeTest, StatisticsTablesKeepTheirNumberFormatsAndDates) {
    WeinAnlegen(7, 30);
    WeinAnlegen(8, 0);
    const std::int32_t berger = KundeAnlegen("Berger");
    const std::int32_t wolf = KundeAnlegen("Wolf");
    RechnungSpeichern(berger, {{7, 12, 0, 10.5f}});
    RechnungSpeichern(wolf, {{7, 6, 0, 10.5f}, {8, 1, 0, 1234.25f}});
    V().customizer->preiseInEuro = 1;
    V().customizer->mwstEnthalten = 1;
    FixedText::Set(V().customizer->waehrung, "EUR");
    const Auswertung a = Auswertung::Berechnen(V(), Datum(1, 1, 2026), Datum(6, 12, 2026));

    ASSERT_TRUE(Arbeitsmappe::Schreiben("kunden.xlsx", a.TabelleVon(Auswertung::Ansicht::Kunden)));
    EXPECT_EQ(Pruefen(dir_ / "kunden.xlsx",
                      {
                          "sheet\tKunden",
                          Zelle("A", 1, "Kunden, 1.1.2026 bis 6.12.2026"),
                          Zelle("F", 2, "Umsatz brutto (EUR)"),
                          Zelle("B", 3, "Wolf"),
                          Zelle("F", 3, "1297.25"),
                          "format\tF3\t#,##0.00",
                          "date\tG3\t2026-12-06",
                          "format\tG3\td.m.yyyy",
                          Zelle("B", 4, "Berger"),
                          Zelle("F", 4, "126"),
                          "formula\tD5\t=SUM(D3:D4)",
                          Zelle("D", 5, "2"),
                          "formula\tF5\t=SUM(F3:F4)",
                          Zelle("F", 5, "1423.25"),
                          Zelle("G", 5, ""),
                          "freeze\tA3",
                      }),
              "OK\n");

    ASSERT_TRUE(
        Arbeitsmappe::Schreiben("bestand.xlsx", a.TabelleVon(Auswertung::Ansicht::Bestand)));
    EXPECT_EQ(Pruefen(dir_ / "bestand.xlsx",
                      {
                          "sheet\tBestand und Reichweite",
                          Zelle("A", 3, "8"),
                          Zelle("H", 3, "0"),
                          "format\tH3\t#,##0.0",
                          Zelle("A", 4, "7"),
                          Zelle("F", 4, "18"),
                          "rows\t4",
                      }),
              "OK\n");
}

}  // namespace
