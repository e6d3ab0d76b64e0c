// A whole sale through the real main window: a new customer with F9, found
// again with F5 by surname, an invoice of two wines in the invoice editor,
// stored with OK, and listed with F6. The data check of the command-line
// tool finds nothing wrong afterwards.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <string>
#include <vector>

#include "QtTestBasis.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "app/TSDIDecFrame.h"
#include "cli/Beispieldaten.h"
#include "cli/Datenpruefung.h"
#include "model/Datenbestand.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/Dialog.h"

namespace {

// A function key pressed in the main window, which the closed dialogs have
// left active again.
void Taste(TSDIDecFrame& frame, Qt::Key taste) {
    QApplication::setActiveWindow(&frame);
    QTest::keyClick(&frame, taste);
}

// The wines the sample business has enough bottles of.
std::vector<std::int32_t> WeineMitBestand(Verwaltungen& v, int anzahl) {
    std::vector<std::int32_t> weine;
    WeinlistenVerwaltung& liste = *v.weinlistenVerwaltung;
    for (unsigned i = 0; i < liste.Count() && static_cast<int>(weine.size()) < anzahl; ++i) {
        if (liste[i].bestand >= 10 && liste[i].verborgen == 0) {
            weine.push_back(liste[i].nummer);
        }
    }
    return weine;
}

using VerkaufQtTest = ProgrammTest;

TEST_F(VerkaufQtTest, F9EntersF5FindsAndInvoicesF6ListsAndTheDataStaysSound) {
    Beispieldaten::Umfang umfang;
    umfang.kunden = 30;
    umfang.weine = 12;
    umfang.preislisten = 2;
    umfang.rechnungen = 40;
    Beispieldaten::Erzeugen("daten", umfang, 7, Datum(6, 12, 2026));
    // The generator leaves the clock to the system again.
    FixedClock uhr(6, 12, 2026, 10, 0, 0);
    ASSERT_TRUE(Datenpruefung("daten").Pruefen().empty());

    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    Verwaltungen& v = frame.Daten().GetVerwaltungen();
    const unsigned kundenVorher = v.kundenVerwaltung->Count();
    const std::vector<std::int32_t> weine = WeineMitBestand(v, 2);
    ASSERT_EQ(weine.size(), 2u);
    const std::int32_t bestand0 = v.weinlistenVerwaltung->GetWein(weine[0])->bestand;

    // F9: one new customer, stored, then the form is closed without a question.
    bool erfasst = false;
    ImDialog(1, [&](QWidget* form) {
        Tippen(Control<QLineEdit>(form, 102), QStringLiteral("Jörg"));
        Tippen(Control<QLineEdit>(form, 103), QStringLiteral("Quendelmann"));
        Tippen(Control<QLineEdit>(form, 104), QStringLiteral("Am Rain 3"));
        Control<QPushButton>(form, 122)->click();
        erfasst = Control<QLineEdit>(form, 103)->text().isEmpty();
        Control<QPushButton>(form, 1)->click();
    });
    Taste(frame, Qt::Key_F9);
    ASSERT_TRUE(erfasst);
    ASSERT_EQ(v.kundenVerwaltung->Count(), kundenVorher + 1);
    const std::int32_t nummer = (*v.kundenVerwaltung)[kundenVorher].nummer;

    // F5: the surname finds the one customer after a pause; "Neue Rechnung"
    // opens the editor, two items go onto the invoice, OK stores it.
    QString knopf;
    QString summe;
    ImDialog(1, [&](QWidget* form) {
        Tippen(Control<QLineEdit>(form, 103), QStringLiteral("Quendel"));
        // The live count runs on the second tick after the typing.
        auto* neu = Control<QPushButton>(form, 122);
        Warte([&] { return neu->text() == QStringLiteral("Neue Rechnung"); });
        knopf = neu->text();
        ImDialog(3, [&](QWidget* editor) {
            for (std::int32_t wein : weine) {
                Control<QLineEdit>(editor, 102)->setText(QString::number(wein));
                Control<QLineEdit>(editor, 108)->setText(QStringLiteral("2"));
                Control<QPushButton>(editor, 122)->click();
            }
            summe = Control<QLineEdit>(editor, 119)->text();
            Control<QPushButton>(editor, 205)->click();          // dated today
            AntworteImNaechstenFenster(QStringLiteral("Nein"));  // print it now?
            Control<QPushButton>(editor, 1)->click();
        });
        Control<QPushButton>(form, 122)->click();
    });
    Taste(frame, Qt::Key_F5);
    EXPECT_EQ(knopf, QStringLiteral("Neue Rechnung"));
    EXPECT_FALSE(summe.isEmpty());
    EXPECT_EQ(v.weinlistenVerwaltung->GetWein(weine[0])->bestand, bestand0 - 2);

    // F6: the filter of the last 21 days lists the new invoice.
    int zeilenMitKunde = 0;
    ImDialog(497, [&](QWidget* filter) {
        ImDialog(4, [&](QWidget* liste) {
            QAbstractItemModel* model = Control<QTreeView>(liste, 121)->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                for (int col = 0; col < model->columnCount(); ++col) {
                    if (model->index(row, col).data().toString().contains(
                            QStringLiteral("Quendelmann"))) {
                        ++zeilenMitKunde;
                        break;
                    }
                }
            }
            Control<QPushButton>(liste, 1)->click();
        });
        Control<QPushButton>(filter, 116)->click();  // dating period: the last 21 days
        Control<QPushButton>(filter, 1)->click();
    });
    Taste(frame, Qt::Key_F6);
    EXPECT_EQ(zeilenMitKunde, 1);

    App().Beenden();
    EXPECT_EQ(Datenpruefung("daten").Pruefen(), std::vector<std::string>{});

    // The invoice is the customer's, on disk.
    Datenbestand danach("daten");
    danach.KundenEinlesen();
    Verwaltungen& d = danach.GetVerwaltungen();
    GenericList<Rechnung> rechnungen;
    d.rechnungsVerwaltung->GetRechnungenVonKunde(nummer, rechnungen, false);
    ASSERT_EQ(rechnungen.Count(), 1u);
    EXPECT_EQ(Datum(rechnungen[0].datum).Day(), 6);
    EXPECT_STREQ(d.kundenVerwaltung->GetKunde(nummer)->Vorname, "J\xF6rg");
}

}  // namespace
