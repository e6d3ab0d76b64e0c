// The invoice list in the real window: F6 through the main window, the
// filter, the list, two rows picked with the mouse, printed to the preview.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <functional>
#include <vector>

#include "QtTestBasis.h"
#include "app/PreViewWindow.h"
#include "app/TRebkontorApp.h"
#include "app/TSDIDecFrame.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

int Vorschauen() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (dynamic_cast<PreViewWindow*>(w) != nullptr && w->isVisible()) {
            ++n;
        }
    }
    return n;
}

class RechnungsListeQtTest : public ProgrammTest {
  protected:
    FixedClock clock_{6, 12, 2026};
};

TEST_F(RechnungsListeQtTest, F6FilterListTwoRowsPrintedToThePreview) {
    {
        Datenbestand daten("daten");
        Verwaltungen& v = daten.GetVerwaltungen();
        daten.KundenEinlesen();
        v.weinlistenVerwaltung->AddWein(1);
        Kunde kunde;
        FixedText::Set(kunde.Nachname, "Meier");
        v.kundenVerwaltung->AddKunde(kunde);
        for (int i = 0; i < 3; ++i) {
            Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(kunde.nummer);
            v.rechnungsVerwaltung->SetPosten(*r, 1, 10.0f, 5.0f, static_cast<std::int16_t>(i + 1));
            r->datum = Datum(1 + i, 12, 2026).Julian();
            v.rechnungsVerwaltung->StoreRechnung();
        }
    }
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    ASSERT_TRUE(frame.Aktion(51689)->isEnabled());

    int zeilen = -1;
    std::vector<int> gewaehlt;
    ImFenster(QStringLiteral("Rechnungs-Filter"), [&](QWidget* filter) {
        Kind<QPushButton>(filter, "c116")->click();  // the last 21 days
        ImFenster(QStringLiteral("Rechungsliste"), [&](QWidget* liste) {
            auto* view = Kind<QTreeView>(liste, "c121");
            zeilen = view->model()->rowCount();
            auto klick = [&](int row, Qt::KeyboardModifiers mods) {
                QRect rect = view->visualRect(view->model()->index(row, 0));
                QTest::mouseClick(view->viewport(), Qt::LeftButton, mods, rect.center());
            };
            klick(0, Qt::NoModifier);
            klick(2, Qt::ControlModifier);
            for (const QModelIndex& i : view->selectionModel()->selectedRows()) {
                gewaehlt.push_back(i.row());
            }
            ImFenster(QStringLiteral("Druck Rechnungen"), [](QWidget* druck) {
                Kind<QRadioButton>(druck, "c104")->click();  // screen
                Kind<QPushButton>(druck, "c1")->click();
            });
            Kind<QPushButton>(liste, "c103")->click();
            // The previews belong to the open list, so that it does not
            // block them; they outlive it (counted below).
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (dynamic_cast<PreViewWindow*>(w) != nullptr) {
                    EXPECT_EQ(w->parentWidget(), liste);
                }
            }
            Kind<QPushButton>(liste, "c1")->click();
        });
        Kind<QPushButton>(filter, "c1")->click();
    });
    frame.Aktion(51689)->trigger();  // "Abrufen nach Datum", F6
    EXPECT_EQ(zeilen, 3);
    std::sort(gewaehlt.begin(), gewaehlt.end());
    EXPECT_EQ(gewaehlt, (std::vector<int>{0, 2}));
    EXPECT_EQ(Vorschauen(), 6);  // packing list and both invoices of two invoices
}

}  // namespace
