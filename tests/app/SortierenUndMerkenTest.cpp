// Lists sorted by a click on a column title, while the dialogs go on
// addressing their own rows; dialogs, columns and save folders remembered for
// the user from one opening to the next; a list's columns seen whole when its
// dialog opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <optional>

#include "QtTestBasis.h"
#include "app/QtWindow.h"
#include "app/TRebkontorApp.h"
#include "app/TSDIDecFrame.h"
#include "dialogs/GeoFilterDlg.h"
#include "dialogs/KundenListe.h"
#include "dialogs/KundenServer.h"
#include "dialogs/RechnungsFiler.h"
#include "dialogs/RechnungsListe.h"
#include "dialogs/WeinListe.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "support/TempDir.h"

// Readable failures.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// What the user remembered so far is forgotten: each test starts as on a
// new account.
void Vergessen() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Rebkontor"),
              QStringLiteral("Rebkontor"))
        .clear();
}

void KlickeTitel(QTreeView* liste, int spalte) {
    QHeaderView* kopf = liste->header();
    const QPoint mitte(kopf->sectionViewportPosition(spalte) + kopf->sectionSize(spalte) / 2,
                       kopf->height() / 2);
    QTest::mouseClick(kopf->viewport(), Qt::LeftButton, Qt::NoModifier, mitte);
}

void KlickeZeile(QTreeView* liste, int zeile) {
    const QRect rect = liste->visualRect(liste->model()->index(zeile, 0));
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// The texts of a column, top to bottom, as the list shows them.
QStringList Spalte(QTreeView* liste, int spalte) {
    QStringList texte;
    for (int zeile = 0; zeile < liste->model()->rowCount(); ++zeile) {
        texte << liste->model()->index(zeile, spalte).data().toString();
    }
    return texte;
}

class SortierenUndMerkenTest : public ProgrammTest {
  protected:
    void SetUp() override {
        Vergessen();
        ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    }
    void TearDown() override {
        ProgrammTest::TearDown();
        Vergessen();
    }
    Verwaltungen& V() { return App().Frame()->Daten().GetVerwaltungen(); }
};

TEST_F(SortierenUndMerkenTest, TheInvoiceListSortsByAColumnAndTheDialogStillGetsItsOwnRows) {
    Verwaltungen& v = V();
    Kunde kunde;
    FixedText::Set(kunde.Nachname, "Meier");
    v.kundenVerwaltung->AddKunde(kunde);
    v.weinlistenVerwaltung->AddWein(1);
    // Totals of 100, 9 and 20 DM: sorted as texts, "100.00" would come first.
    const int mengen[] = {10, 1, 2};
    for (int i = 0; i < 3; ++i) {
        Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(kunde.nummer);
        v.rechnungsVerwaltung->SetPosten(*r, 1, i == 1 ? 9.0f : 10.0f, 5.0f,
                                         static_cast<std::int16_t>(mengen[i]));
        r->datum = Datum::Heute().Julian();
        r->nummer = 501 + i;
        v.rechnungsVerwaltung->StoreRechnung();
    }
    Customizer& c = *v.customizer;
    c.filterMit1 = 0;
    c.filterMit2 = 1;
    c.filterVon2 = static_cast<std::int32_t>(Datum::Heute().Julian()) - 1;
    c.filterBis2 = static_cast<std::int32_t>(Datum::Heute().Julian()) + 1;
    RechnungsFiler filter(v);
    RechnungsListe rechnungen(filter, v, nullptr);

    QStringList geoeffnet, aufsteigend, absteigend, wieder;
    QString geladen, gewaehlt;
    std::vector<int> auswahl;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* liste = Control<QTreeView>(fenster, RechnungsListe::kListe);
        geoeffnet = Spalte(liste, 2);
        KlickeTitel(liste, 2);  // "Betrag ges."
        aufsteigend = Spalte(liste, 2);
        // The first row shown is the logic's second invoice; the dialog loads
        // that one, and its selection is that one.
        KlickeZeile(liste, 0);
        gewaehlt = Spalte(liste, 0).value(0);
        geladen = Control<QLineEdit>(fenster, RechnungsListe::kNummer)->text();
        auswahl = dynamic_cast<QtWindow*>(fenster)->SelectedRows(RechnungsListe::kListe);
        KlickeTitel(liste, 2);
        absteigend = Spalte(liste, 2);
        // The selection stays with its invoice.
        EXPECT_EQ(liste->selectionModel()->selectedRows().value(0).row(), 2);
        KlickeTitel(liste, 2);
        wieder = Spalte(liste, 2);
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Services().Execute(rechnungen);
    EXPECT_EQ(geoeffnet, (QStringList{"20.00", "9.00", "100.00"}));  // newest first
    EXPECT_EQ(aufsteigend, (QStringList{"9.00", "20.00", "100.00"}));
    EXPECT_EQ(gewaehlt, QStringLiteral("502"));
    EXPECT_EQ(geladen, QStringLiteral("502"));
    EXPECT_EQ(auswahl, std::vector<int>{1});
    EXPECT_EQ(absteigend, (QStringList{"100.00", "20.00", "9.00"}));
    EXPECT_EQ(wieder, geoeffnet);
}

// All customers, as the customer form hands them to the hit list.
class AlleKunden : public KundenServer {
  public:
    explicit AlleKunden(KundenVerwaltung& kunden) : kunden_(kunden) {}
    void GetKunden(GenericList<Kunde>& liste) override {
        for (unsigned i = 0; i < kunden_.Count(); ++i) {
            liste.Add(kunden_[i]);
        }
    }

  private:
    KundenVerwaltung& kunden_;
};

TEST_F(SortierenUndMerkenTest, TheHitListStaysSortedWhenItIsBuiltAgain) {
    Verwaltungen& v = V();
    for (const char* ort : {"Worms", "Alzey", "Mainz", "Bingen"}) {
        Kunde k;
        FixedText::Set(k.Nachname, "Kunde");
        FixedText::Set(k.Ort, ort);
        v.kundenVerwaltung->AddKunde(k);
    }
    AlleKunden alle(*v.kundenVerwaltung);
    KundenListe treffer(alle, v, false);
    QStringList sortiert, neuGebaut;
    QString geloescht;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* liste = Control<QTreeView>(fenster, KundenListe::kListe);
        KlickeTitel(liste, 3);  // "Ort"
        sortiert = Spalte(liste, 3);
        KlickeZeile(liste, 1);  // Bingen, the logic's fourth
        geloescht = Control<QLineEdit>(fenster, KundenListe::kOrt)->text();
        AntworteImNaechstenFenster(QStringLiteral("Ja"));
        Control<QPushButton>(fenster, KundenListe::kLoeschen)->click();
        // The list is built anew, row by row, and sorted once that is done.
        Warte([&] { return Spalte(liste, 3) == QStringList{"Alzey", "Mainz", "Worms"}; });
        neuGebaut = Spalte(liste, 3);
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Services().Execute(treffer);
    EXPECT_EQ(sortiert, (QStringList{"Alzey", "Bingen", "Mainz", "Worms"}));
    EXPECT_EQ(geloescht, QStringLiteral("0 Bingen"));
    EXPECT_EQ(neuGebaut, (QStringList{"Alzey", "Mainz", "Worms"}));
    EXPECT_EQ(v.kundenVerwaltung->Count(), 3u);
}

TEST_F(SortierenUndMerkenTest, APriceListShowsAllItsColumnsAtItsFirstSize) {
    Verwaltungen& v = V();
    v.preisVerwaltung->AddPreisliste("Ab Hof");
    for (int nummer : {3, 7}) {
        v.weinlistenVerwaltung->AddWein(nummer);
    }
    WeinListe preise(v, WeinListe::Modus::Preisliste);
    int rechterRand = 0;
    int sichtbar = 0;
    int weiter = -1;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* liste = Control<QTreeView>(fenster, WeinListe::kListe);
        QHeaderView* kopf = liste->header();
        const int letzte = kopf->logicalIndexAt(kopf->length() - 1);
        EXPECT_EQ(kopf->model()->headerData(letzte, Qt::Horizontal).toString(),
                  QStringLiteral("Preis Euro"));
        rechterRand = kopf->sectionViewportPosition(letzte) + kopf->sectionSize(letzte);
        sichtbar = liste->viewport()->width();
        weiter = liste->horizontalScrollBar()->maximum();
        qobject_cast<QDialog*>(fenster)->reject();
    });
    App().Services().Execute(preise);
    EXPECT_LE(rechterRand, sichtbar);
    EXPECT_EQ(weiter, 0);
}

TEST_F(SortierenUndMerkenTest, ADialogOpensWhereAndAsLargeAsItWasLeftWithTheColumnsTheUserWidened) {
    Verwaltungen& v = V();
    std::optional<QRect> zuerst;
    ImNaechstenFenster([&](QWidget* fenster) {
        zuerst = fenster->geometry();
        fenster->setGeometry(140, 90, fenster->width() + 70, fenster->height() + 40);
        // The user widens "Ort" by dragging; "Name" the dialog widens.
        auto* liste = Control<QTreeView>(fenster, KundenListe::kListe);
        liste->header()->resizeSection(3, 333);
        qobject_cast<QDialog*>(fenster)->reject();
    });
    AlleKunden alle(*v.kundenVerwaltung);
    {
        KundenListe treffer(alle, v, false);
        App().Services().Execute(treffer);
    }
    ASSERT_TRUE(zuerst.has_value());

    QRect wieder;
    int ort = 0;
    int name = 0;
    ImNaechstenFenster([&](QWidget* fenster) {
        wieder = fenster->geometry();
        auto* liste = Control<QTreeView>(fenster, KundenListe::kListe);
        ort = liste->header()->sectionSize(3);
        name = liste->header()->sectionSize(0);
        qobject_cast<QDialog*>(fenster)->reject();
    });
    {
        KundenListe treffer(alle, v, false);
        App().Services().Execute(treffer);
    }
    EXPECT_EQ(wieder, QRect(140, 90, zuerst->width() + 70, zuerst->height() + 40));
    EXPECT_EQ(ort, 333);
    EXPECT_EQ(name, 160);

    // Another dialog is not placed by this one.
    QRect anderer;
    ImNaechstenFenster([&](QWidget* fenster) {
        anderer = fenster->geometry();
        qobject_cast<QDialog*>(fenster)->reject();
    });
    GeoFilterDlg adressen(v);
    App().Services().Execute(adressen);
    EXPECT_NE(anderer.topLeft(), QPoint(140, 90));
}

// The user's folders, as the desktop names them (~/.config/user-dirs.dirs).
class Benutzerordner {
  public:
    Benutzerordner() : alt_(qgetenv("XDG_CONFIG_HOME")) {
        QDir(basis_.path()).mkpath(QStringLiteral("Dokumente"));
        QFile dirs(basis_.filePath(QStringLiteral("user-dirs.dirs")));
        EXPECT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write(QStringLiteral("XDG_DOCUMENTS_DIR=\"%1\"\n").arg(Dokumente()).toUtf8());
        dirs.close();
        qputenv("XDG_CONFIG_HOME", basis_.path().toUtf8());
    }
    ~Benutzerordner() {
        if (alt_.isNull()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", alt_);
        }
    }
    Benutzerordner(const Benutzerordner&) = delete;
    Benutzerordner& operator=(const Benutzerordner&) = delete;

    QString Dokumente() const { return basis_.filePath(QStringLiteral("Dokumente")); }
    QString Ordner(const QString& name) const {
        QDir(basis_.path()).mkpath(name);
        return basis_.filePath(name);
    }

  private:
    QTemporaryDir basis_;
    QByteArray alt_;
};

TEST_F(SortierenUndMerkenTest, SaveDialogsStartInTheDocumentsThenWhereThatKindWasLastSaved) {
    Benutzerordner ordner;
    const QString export_ = ordner.Ordner(QStringLiteral("Export"));
    ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
              ordner.Dokumente());

    // Chooses `datei` in the next file dialog and tells where it began.
    auto speichern = [](const std::string& titel, const QString& datei) {
        QString begonnen;
        ImNaechstenFenster([&begonnen, datei](QWidget* fenster) {
            auto* dialog = qobject_cast<QFileDialog*>(fenster);
            ASSERT_NE(dialog, nullptr);
            begonnen = dialog->directory().absolutePath();
            if (datei.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(datei);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
        SaveFileRequest anfrage;
        anfrage.title = titel;
        anfrage.filter = "Textdatei (*.TXT)|*.txt|";
        anfrage.fileName = "liste.txt";
        anfrage.initialDir = "/tmp";
        anfrage.defaultExt = "txt";
        App().Services().SaveFile(anfrage);
        return begonnen;
    };
    EXPECT_EQ(speichern("Flaschenliste erzeugen", export_ + QStringLiteral("/fl_1.txt")),
              ordner.Dokumente());
    EXPECT_EQ(speichern("Flaschenliste erzeugen", QString()), export_);
    EXPECT_EQ(speichern("Preislisten exportieren", QString()), ordner.Dokumente());
    EXPECT_EQ(speichern("Flaschenliste erzeugen", QString()), export_);
}

}  // namespace
