// Enter pressed in the real fields of the invoice editor and the invoice
// list: only the real window has default buttons, which take Enter where the
// dialog does not.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "QtTestBasis.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "dialogs/RechnungsListe.h"
#include "dialogs/RechnungsServer.h"
#include "dialogs/WeinListe.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// Answers every message box that opens while it lives, with "Ja" where it
// asks and "OK" where it tells, and notes what each said. Enter pressed in
// the old program opened boxes nobody expected; the test must see them
// rather than hang on them.
class Boxen {
  public:
    QStringList texte;

  private:
    Jedesmal<QMessageBox> boxen_{[this](QMessageBox* box) {
        texte.push_back(box->text());
        QAbstractButton* knopf = box->button(QMessageBox::Yes);
        (knopf != nullptr ? knopf : box->button(QMessageBox::Ok))->click();
    }};
};

void Enter(QWidget* feld) {
    feld->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(feld, Qt::Key_Return);
}

class KundenRechnungen : public RechnungsServer {
  public:
    KundenRechnungen(RechnungsVerwaltung& rechnungen, std::int32_t kunde)
        : rechnungen_(rechnungen), kunde_(kunde) {}
    void RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) override {
        rechnungen_.GetRechnungenVonKunde(kunde_, liste, nurOffene);
    }

  private:
    RechnungsVerwaltung& rechnungen_;
    std::int32_t kunde_;
};

class EingabetasteQtTest : public ProgrammTest {
  protected:
    FixedClock clock_{6, 12, 2026};
};

TEST_F(EingabetasteQtTest, EnterInTheFieldsNeitherStoresAnItemNorClosesTheList) {
    std::int32_t id = 0;
    {
        Datenbestand daten("daten");
        Verwaltungen& v = daten.GetVerwaltungen();
        daten.KundenEinlesen();
        v.weinlistenVerwaltung->AddWein(1);
        v.weinlistenVerwaltung->GetWein(1)->bestand = 100;
        v.weinlistenVerwaltung->Store(v.weinlistenVerwaltung->GetWein(1));
        v.preisVerwaltung->AddPreisliste("Privat");
        Kunde kunde;
        FixedText::Set(kunde.Nachname, "Meier");
        v.kundenVerwaltung->AddKunde(kunde);
        Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(kunde.nummer);
        v.rechnungsVerwaltung->SetPosten(*r, 1, 45.6f, 23.3f, 12);
        r->nummer = 7;
        r->datum = Datum(1, 12, 2026).Julian();
        id = r->id;
        v.rechnungsVerwaltung->StoreRechnung();
    }
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    Verwaltungen& v = App().Frame()->Daten().GetVerwaltungen();
    const Kunde kunde =
        *v.kundenVerwaltung->GetKunde(v.rechnungsVerwaltung->GetRechnung(id)->kunde);

    // The editor: wine and quantity typed, then Enter in the remark and in
    // the day field; only Enter in the quantity stores the item.
    Boxen boxen;
    int postenNachKopf = -1;
    int postenNachMenge = -1;
    bool fokusWeiter = false;
    {
        WeinListe editor(v, kunde);
        ImNaechstenFenster([&](QWidget* fenster) {
            Control<QLineEdit>(fenster, WeinListe::kWeinNummer)->setText(QStringLiteral("1"));
            Control<QLineEdit>(fenster, WeinListe::kBestellmenge)->setText(QStringLiteral("2"));
            auto* bemerkung = Control<QLineEdit>(fenster, WeinListe::kBemerkung);
            Enter(bemerkung);
            fokusWeiter = fenster->focusWidget() != bemerkung;
            Enter(Control<QLineEdit>(fenster, WeinListe::kTag));
            postenNachKopf = editor.GetRechnung()->GetAnzahlPosten();
            Enter(Control<QLineEdit>(fenster, WeinListe::kBestellmenge));
            postenNachMenge = editor.GetRechnung()->GetAnzahlPosten();
            qobject_cast<QDialog*>(fenster)->reject();
        });
        App().Services().Execute(editor);
    }
    EXPECT_EQ(boxen.texte, QStringList());
    EXPECT_TRUE(fokusWeiter);
    EXPECT_EQ(postenNachKopf, 0);
    EXPECT_EQ(postenNachMenge, 1);

    // The list: a row clicked, the payment typed, Enter. The list stays
    // open; Escape then asks whether to store, and "Ja" stores.
    bool offenNachEnter = false;
    bool beglichen = false;
    {
        KundenRechnungen server(*v.rechnungsVerwaltung, kunde.nummer);
        RechnungsListe liste(server, v, &kunde);
        ImNaechstenFenster([&](QWidget* fenster) {
            auto* view = Control<QTreeView>(fenster, RechnungsListe::kListe);
            const QRect zeile = view->visualRect(view->model()->index(1, 0));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, zeile.center());
            auto* eingang = Control<QLineEdit>(fenster, RechnungsListe::kEingegangen);
            eingang->selectAll();
            Tippen(eingang, QStringLiteral("547,20"));
            beglichen = Control<QCheckBox>(fenster, RechnungsListe::kBeglichen)->isChecked();
            Enter(eingang);
            offenNachEnter = !static_cast<QtWindow*>(fenster)->IsClosed();
            QTest::keyClick(fenster, Qt::Key_Escape);
        });
        App().Services().Execute(liste);
    }
    EXPECT_TRUE(beglichen);
    EXPECT_TRUE(offenNachEnter);
    EXPECT_EQ(
        boxen.texte,
        QStringList{QStringLiteral("Sollen die Änderungen an Rechnung 7 gespeichert werden?")});
    const Rechnung& gespeichert = *v.rechnungsVerwaltung->GetRechnung(id);
    EXPECT_FLOAT_EQ(gespeichert.betragEingegangen, 547.2f);
    EXPECT_EQ(gespeichert.beglichen, 1);
}

}  // namespace
