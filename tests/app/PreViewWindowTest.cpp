#include "app/PreViewWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "QtTestBasis.h"
#include "app/QtServices.h"
#include "documents/Canvas.h"
#include "printing/Briefkopf.h"
#include "printing/RechnungRenderer.h"
#include "support/TempDir.h"

namespace {

// What a job was asked to draw: page and rectangle size, one entry a call.
struct Zeichnungen {
    std::vector<int> seiten;
    std::vector<std::pair<int, int>> groessen;
};

std::unique_ptr<PrintJob> Auftrag(int seiten, std::shared_ptr<Zeichnungen> z) {
    auto job = std::make_unique<PrintJob>();
    job->title = "(Rkon) Re: M\xF6sch Erika";
    job->paperSource = 2;
    job->pages = seiten;
    job->drawPage = [z](Canvas& canvas, int seite, int /*left*/, int /*top*/, int width,
                        int height) {
        z->seiten.push_back(seite);
        z->groessen.emplace_back(width, height);
        canvas.SelectFont("Courier New", height / 65, Canvas::kBold, false);
        canvas.DrawText(width / 25, height / 5, "Seite " + std::to_string(seite));
    };
    return job;
}

PreViewWindow* Vorschau() {
    PreViewWindow* gefunden = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* v = dynamic_cast<PreViewWindow*>(w); v != nullptr && v->isVisible()) {
            gefunden = v;
        }
    }
    return gefunden;
}

void Loeschen() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int A4Breite(int hoehe) {
    return static_cast<int>(std::lround(hoehe * 21.0 / 29.6));
}

TEST(PreViewWindowTest, ShowsPageOneOverTheWholeWindowAndStaysPortraitA4) {
    QtServices services;
    auto z = std::make_shared<Zeichnungen>();
    services.Preview(Auftrag(3, z));
    PreViewWindow* fenster = Vorschau();
    ASSERT_NE(fenster, nullptr);
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Druck-Vorschau"));
    EXPECT_EQ(fenster->width(), A4Breite(fenster->height()));

    // Sized by the user after it has painted, it takes A4 proportions again.
    (void)fenster->grab();
    fenster->resize(800, 600);
    WARTE_BIS(fenster->size() == QSize(A4Breite(600), 600));
    (void)fenster->grab();
    fenster->resize(300, 900);
    WARTE_BIS(fenster->size() == QSize(A4Breite(900), 900));
    (void)fenster->grab();

    ASSERT_FALSE(z->seiten.empty());
    for (int seite : z->seiten) {
        EXPECT_EQ(seite, 1);
    }
    EXPECT_EQ(z->groessen.back(), std::make_pair(A4Breite(900), 900));
    services.DestroyModeless();
}

TEST(PreViewWindowTest, OwnsItsDocumentUntilItIsClosed) {
    QtServices services;
    auto z = std::make_shared<Zeichnungen>();
    services.Preview(Auftrag(1, z));
    services.Preview(Auftrag(1, z));
    EXPECT_EQ(z.use_count(), 3);
    PreViewWindow* fenster = Vorschau();
    ASSERT_NE(fenster, nullptr);
    // Escape closes a preview, also where no window manager offers a close box.
    QTest::keyClick(fenster, Qt::Key_Escape);
    Loeschen();
    EXPECT_EQ(z.use_count(), 2);
    // At the end of the program the rest go before the data they show.
    services.DestroyModeless();
    EXPECT_EQ(z.use_count(), 1);
}

TEST(RechnungRendererTest, EveryPageOfEveryCopyGoesToThePrinter) {
    TempDir dir;
    auto z = std::make_shared<Zeichnungen>();
    std::unique_ptr<PrintJob> job = Auftrag(3, z);
    const Briefkopf ohne(dir / "fehlt.emf");
    const RechnungRenderer renderer(*job, ohne);
    EXPECT_TRUE(renderer.HasPage(3));
    EXPECT_FALSE(renderer.HasPage(4));
    const std::string pdf = dir / "druck.pdf";
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        EXPECT_TRUE(renderer.Drucken(writer, 2));
        EXPECT_EQ(z->groessen.front(), std::make_pair(writer.width(), writer.height()));
    }
    EXPECT_EQ(z->seiten, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    FILE* rohr = ::popen(("pdftotext -layout '" + pdf + "' -").c_str(), "r");
    ASSERT_NE(rohr, nullptr);
    std::string text;
    char puffer[4096];
    for (std::size_t n; (n = std::fread(puffer, 1, sizeof puffer, rohr)) > 0;) {
        text.append(puffer, n);
    }
    ::pclose(rohr);
    EXPECT_NE(text.find("Seite 3"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 6);
}

TEST(QtServicesPrintTest, PrintDialogComesFirstWithTheJobsTitleAndBin) {
    QtServices services;
    auto z = std::make_shared<Zeichnungen>();
    std::unique_ptr<PrintJob> job = Auftrag(2, z);
    QString titel;
    QString dokument;
    QPrinter::PaperSource schacht = QPrinter::Upper;
    bool seitenbereich = true;
    ImNaechstenFenster([&](QWidget* fenster) {
        auto* dialog = qobject_cast<QPrintDialog*>(fenster);
        if (dialog == nullptr) {
            return;
        }
        titel = dialog->windowTitle();
        dokument = dialog->printer()->docName();
        schacht = dialog->printer()->paperSource();
        seitenbereich = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
        dialog->reject();
    });
    EXPECT_FALSE(services.Print({*job}));
    EXPECT_EQ(titel, QStringLiteral("Drucken"));
    EXPECT_EQ(dokument, QStringLiteral("(Rkon) Re: Mösch Erika"));
    EXPECT_EQ(schacht, QPrinter::Lower);
    EXPECT_FALSE(seitenbereich);
    // Cancelled: nothing was drawn.
    EXPECT_TRUE(z->seiten.empty());
}

}  // namespace
