// The application services as only the real window shows them: the toolkit's
// print and file dialogs, the status bar, and which window has the keyboard.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QtTestBasis.h"
#include "app/PreViewWindow.h"
#include "app/QtServices.h"
#include "app/TRebkontorApp.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/RechnungDrucken.h"
#include "documents/Canvas.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// Sends the print dialog's output into a PDF file and confirms it, as the
// user does with "In PDF-Datei drucken".
void InDatei(QPrintDialog* dialog, const QString& datei) {
    auto* drucker = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_NE(drucker, nullptr);
    ASSERT_NE(name, nullptr);
    drucker->setCurrentIndex(drucker->count() - 1);  // the PDF file comes last
    name->setText(datei);
    dialog->accept();
}

// Answers the toolkit's question whether to replace an existing file with
// yes, and notes and confirms the program's messages.
class Antworten {
  public:
    Antworten()
        : boxen_([this](QMessageBox* box) {
              if (QAbstractButton* ja = box->button(QMessageBox::Yes)) {
                  ja->click();
              } else if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                  texte << box->text();
                  ok->click();
              }
          }) {}
    QStringList texte;

  private:
    Jedesmal<QMessageBox> boxen_;
};

std::string PdfText(const std::string& pdf) {
    FILE* rohr = ::popen(("pdftotext -layout '" + pdf + "' - 2>/dev/null").c_str(), "r");
    std::string text;
    if (rohr == nullptr) {
        return text;
    }
    char puffer[4096];
    for (std::size_t n; (n = std::fread(puffer, 1, sizeof puffer, rohr)) > 0;) {
        text.append(puffer, n);
    }
    ::pclose(rohr);
    return text;
}

class DiensteQtTest : public ProgrammTest {
  protected:
    // A customer and an invoice of two items, with the window started.
    Rechnung Rechnung_() {
        EXPECT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
        Verwaltungen& v = App().Frame()->Daten().GetVerwaltungen();
        for (std::int32_t w : {3, 7}) {
            v.weinlistenVerwaltung->AddWein(w);
            v.weinlistenVerwaltung->GetWein(w)->bestand = 50;
        }
        Kunde kunde;
        FixedText::Set(kunde.Vorname, "Karl");
        FixedText::Set(kunde.Nachname, "Meier");
        v.kundenVerwaltung->AddKunde(kunde);
        Rechnung* r = v.rechnungsVerwaltung->AllocRechnung(kunde.nummer);
        v.rechnungsVerwaltung->SetPosten(*r, 3, 10.0f, 5.0f, 6);
        v.rechnungsVerwaltung->SetPosten(*r, 7, 8.0f, 4.0f, 1);
        const std::int32_t id = r->id;
        v.rechnungsVerwaltung->StoreRechnung();
        return *v.rechnungsVerwaltung->GetRechnung(id);
    }
};

TEST_F(DiensteQtTest, OnePrintDialogForAllDocumentsAndNoPdfOverADataFile) {
    const Rechnung rechnung = Rechnung_();
    Verwaltungen& v = App().Frame()->Daten().GetVerwaltungen();
    QtServices& services = App().Services();
    const std::string rechnungen = ReadBytes("daten/rechnungen.dat");

    // "In PDF-Datei drucken" over the invoice file: refused with the export
    // message, nothing written.
    const QString daten = QString::fromStdString(dir_ / "daten/rechnungen.dat");
    QString text;
    {
        Antworten antworten;
        Jedesmal<QPrintDialog> drucken([&](QPrintDialog* dialog) { InDatei(dialog, daten); });
        RechnungDrucken(services, v, rechnung, true, true, true, false);
        EXPECT_EQ(drucken.Anzahl(), 1);
        ASSERT_EQ(antworten.texte.size(), 1);
        text = antworten.texte.front();
    }
    EXPECT_TRUE(text.startsWith(QStringLiteral("Die Datei \u00bb") + daten +
                                QStringLiteral("\u00ab wird nicht geschrieben:")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" Es wurde nichts gedruckt."))) << text.toStdString();
    EXPECT_EQ(ReadBytes("daten/rechnungen.dat"), rechnungen);

    // Into a file of its own: the printer is asked for once, and the file
    // holds the three documents one after the other.
    const std::string pdf = dir_ / "rechnung.pdf";
    WriteBytes(pdf, "alt");
    {
        Antworten antworten;
        Jedesmal<QPrintDialog> drucken(
            [&](QPrintDialog* dialog) { InDatei(dialog, QString::fromStdString(pdf)); });
        RechnungDrucken(services, v, rechnung, true, true, true, false);
        EXPECT_EQ(drucken.Anzahl(), 1);
        EXPECT_TRUE(antworten.texte.isEmpty()) << antworten.texte.join('\n').toStdString();
    }
    const std::string inhalt = PdfText(pdf);
    const auto packliste = inhalt.find("PACKLISTE");
    const auto endbetrag = inhalt.find("ENDBETRAG");
    ASSERT_NE(packliste, std::string::npos) << inhalt;
    ASSERT_NE(endbetrag, std::string::npos) << inhalt;
    EXPECT_LT(packliste, endbetrag);
    EXPECT_EQ(std::count(inhalt.begin(), inhalt.end(), '\f'), 3);
}

TEST_F(DiensteQtTest, ATypedExtensionOnOfferDecidesTheFormatAnotherNameIsCompletedAndAsked) {
    QtServices services;
    SaveFileRequest anfrage;
    anfrage.title = "Flaschenliste erzeugen";
    anfrage.filter = "Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|";
    anfrage.fileName = "fl_6_12_2026";
    anfrage.defaultExt = "txt";

    // "fl_dez.xls" typed with the text filter chosen: a spreadsheet.
    QString filter;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* dialog = qobject_cast<QFileDialog*>(fenster);
        ASSERT_NE(dialog, nullptr);
        filter = dialog->selectedNameFilter();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QString::fromStdString(dir_ / "fl_dez.xls"));
        static_cast<QDialog*>(dialog)->accept();
    });
    auto wahl = services.SaveFile(anfrage);
    ASSERT_TRUE(wahl.has_value());
    EXPECT_EQ(filter, QStringLiteral("Textdatei (*.txt)"));
    EXPECT_EQ(wahl->path, dir_ / "fl_dez.xls");
    EXPECT_EQ(wahl->filterIndex, 2);

    // A name the program completes to an existing file is asked about, with
    // "Nein" as the default; No offers the dialog again.
    WriteBytes(dir_ / "liste.txt", "alt");
    QString frage;
    QString standard;
    bool wiederGezeigt = false;
    Jedesmal<QFileDialog> dialoge([this](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QString::fromStdString(dir_ / "liste"));
        static_cast<QDialog*>(dialog)->accept();
    });
    Jedesmal<QMessageBox> ersetzen([&](QMessageBox* box) {
        frage = box->text();
        standard = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
        ImNaechstenFenster([&](QWidget* fenster) {
            if (auto* dialog = qobject_cast<QFileDialog*>(fenster)) {
                wiederGezeigt = true;
                dialog->reject();
            }
        });
        QTest::keyClick(box, Qt::Key_Return);
    });
    wahl = services.SaveFile(anfrage);
    EXPECT_FALSE(wahl.has_value());
    EXPECT_TRUE(wiederGezeigt);
    EXPECT_EQ(frage, QStringLiteral("Die Datei \u00bb") +
                         QString::fromStdString(dir_ / "liste.txt") +
                         QStringLiteral("\u00ab gibt es bereits. Soll sie ersetzt werden?"));
    EXPECT_EQ(standard, QStringLiteral("&Nein"));
    EXPECT_EQ(ReadBytes(dir_ / "liste.txt"), "alt");
}

TEST_F(DiensteQtTest, TheStatusBarSaysWhatWasSavedWithoutABox) {
    ASSERT_TRUE(App().Starten(TSDIDecFrame::ZeigeModus::Normal));
    TSDIDecFrame& frame = *App().Frame();
    auto* bereit = frame.statusBar()->findChild<QLabel*>(QStringLiteral("bereit"));
    App().Services().StatusMessage("Preislisten gespeichert: /tmp/preise.txt (2 Preislisten)");
    EXPECT_EQ(frame.statusBar()->currentMessage(),
              QStringLiteral("Preislisten gespeichert: /tmp/preise.txt (2 Preislisten)"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // It goes by itself, and "Bereit" comes back.
    EXPECT_GE(QtServices::kStatusDauer, 3000);
    frame.statusBar()->clearMessage();
    ASSERT_NE(bereit, nullptr);
    EXPECT_TRUE(bereit->isVisible());
}

TEST_F(DiensteQtTest, EachNewWindowGetsTheKeyboardAndAClosedOneGivesItBack) {
    const Rechnung rechnung = Rechnung_();
    TSDIDecFrame& frame = *App().Frame();
    frame.activateWindow();
    ASSERT_TRUE(Warte([&] { return QApplication::activeWindow() == &frame; }));

    // A dialog closed: the main window has the keyboard again (F5 works at
    // once).
    bool offenAktiv = false;
    ImNaechstenFenster([&](QWidget* fenster) {
        offenAktiv = Warte([&] { return QApplication::activeWindow() == fenster; });
        QTest::keyClick(fenster, Qt::Key_Escape);
    });
    frame.Aktion(Hauptmenue::kUeber)->trigger();
    EXPECT_TRUE(offenAktiv);
    WARTE_BIS(QApplication::activeWindow() == &frame);

    // The previews opened from the main window take the keyboard, so that
    // Escape closes them one after the other and not what lies behind; the
    // last one closed gives it back.
    RechnungDrucken(App().Services(), App().Frame()->Daten().GetVerwaltungen(), rechnung, true,
                    true, false, true);
    std::vector<PreViewWindow*> vorschauen;
    for (QObject* kind : frame.children()) {
        if (auto* v = dynamic_cast<PreViewWindow*>(kind); v != nullptr && v->isVisible()) {
            vorschauen.push_back(v);
        }
    }
    ASSERT_EQ(vorschauen.size(), 2u);
    for (auto it = vorschauen.rbegin(); it != vorschauen.rend(); ++it) {
        PreViewWindow* vorschau = *it;
        ASSERT_TRUE(Warte([&] { return QApplication::activeWindow() == vorschau; }))
            << vorschau->Job().title;
        QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);
    }
    WARTE_BIS(QApplication::activeWindow() == &frame);
}

}  // namespace
