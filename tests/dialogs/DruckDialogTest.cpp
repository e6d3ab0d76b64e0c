#include "dialogs/DruckDialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/RechnungDrucken.h"
#include "documents/RecordingCanvas.h"
#include "model/RechnungsFixture.h"
#include "storage/CodePage.h"
#include "windowing/FakeServices.h"

namespace {

struct Flags {
    bool packliste = false;
    bool kunde = false;
    bool intern = false;
    bool bildschirm = true;
};

TEST(DruckDialogTest, StartsWithEveryDocumentForThePrinter) {
    FakeServices app;
    app.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
    Flags f;
    DruckDialog dialog(f.packliste, f.kunde, f.intern, f.bildschirm);
    EXPECT_TRUE(f.packliste && f.kunde && f.intern);
    EXPECT_FALSE(f.bildschirm);
    // The caller may have changed them in between; the window sets them again.
    f.kunde = false;
    f.bildschirm = true;
    FakeWindow& w = app.Show(dialog);
    EXPECT_EQ(w.Caption(), "Druck Rechnungen");
    EXPECT_TRUE(f.packliste && f.kunde && f.intern);
    EXPECT_FALSE(f.bildschirm);
    for (int id : {DruckDialog::kKundenRechnung, DruckDialog::kInterneRechnung,
                   DruckDialog::kPackliste, DruckDialog::kDrucker}) {
        EXPECT_TRUE(w.IsChecked(id)) << id;
    }
    EXPECT_FALSE(w.IsChecked(DruckDialog::kBildschirm));
    EXPECT_EQ(w.Text(DruckDialog::kKundenRechnung), "Rechnung (&Kunde)");
    EXPECT_EQ(w.Text(DruckDialog::kInterneRechnung), "Rechnung (&intern)");
    EXPECT_EQ(w.Text(DruckDialog::kPackliste), "&Packliste");
    EXPECT_EQ(w.Text(DruckDialog::kBildschirm), "&Bildschirm");
    EXPECT_EQ(w.Text(DruckDialog::kDrucker), "&Drucker");
    EXPECT_EQ(w.Text(ControlId::kCancel), "Abbruch");
}

TEST(DruckDialogTest, ClicksInvertTheDocumentsAndChooseScreenOrPrinter) {
    FakeServices app;
    app.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
    Flags f;
    DruckDialog dialog(f.packliste, f.kunde, f.intern, f.bildschirm);
    FakeWindow& w = app.Show(dialog);
    w.Click(DruckDialog::kKundenRechnung);
    w.Click(DruckDialog::kPackliste);
    EXPECT_FALSE(f.kunde);
    EXPECT_FALSE(f.packliste);
    EXPECT_TRUE(f.intern);
    w.Click(DruckDialog::kKundenRechnung);
    w.Click(DruckDialog::kInterneRechnung);
    EXPECT_TRUE(f.kunde);
    EXPECT_FALSE(f.intern);

    w.Click(DruckDialog::kBildschirm);
    EXPECT_TRUE(f.bildschirm);
    EXPECT_FALSE(w.IsChecked(DruckDialog::kDrucker));
    w.Click(DruckDialog::kBildschirm);
    EXPECT_TRUE(f.bildschirm);
    w.Click(DruckDialog::kDrucker);
    EXPECT_FALSE(f.bildschirm);
}

TEST(DruckDialogTest, OnlyOkLetsThePrintingGoAhead) {
    FakeServices app;
    app.SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
    Flags f;
    app.OnExecute([](FakeWindow& w) {
        w.Click(DruckDialog::kPackliste);
        w.Click(DruckDialog::kBildschirm);
        w.PressEnter();
    });
    EXPECT_TRUE(DruckDialog::Waehlen(app, f.packliste, f.kunde, f.intern, f.bildschirm));
    EXPECT_FALSE(f.packliste);
    EXPECT_TRUE(f.kunde && f.intern && f.bildschirm);
    EXPECT_EQ(app.Executed(), std::vector<int>{DruckDialog::kResource});

    app.OnExecute([](FakeWindow& w) { w.Click(ControlId::kCancel); });
    EXPECT_FALSE(DruckDialog::Waehlen(app, f.packliste, f.kunde, f.intern, f.bildschirm));
    app.OnExecute([](FakeWindow& w) {
        w.Click(DruckDialog::kKundenRechnung);
        w.CloseBox();
    });
    EXPECT_FALSE(DruckDialog::Waehlen(app, f.packliste, f.kunde, f.intern, f.bildschirm));
}

class RechnungDruckenTest : public RechnungsFixture {
  protected:
    RechnungDruckenTest() {
        for (int w = 1; w <= 11; ++w) {
            WeinAnlegen(w, 100);
            FixedText::Set(Wv().GetWein(w)->name, "Riesling " + std::to_string(w));
        }
        Kunde kunde;
        FixedText::Set(kunde.Vorname, "Karl");
        FixedText::Set(kunde.Nachname, "Meier");
        Kv().AddKunde(kunde);
        kunde_ = kunde.nummer;
        std::vector<Position> posten;
        for (int w = 1; w <= 11; ++w) {
            posten.push_back({w, 1, 10.0f, 5.0f});
        }
        id_ = RechnungSpeichern(kunde_, posten);
    }

    static RecordingCanvas Seite(const PrintJob& job, int seite) {
        RecordingCanvas canvas;
        job.drawPage(canvas, seite, 0, 0, 2100, 2970);
        return canvas;
    }

    FakeServices app_;
    std::int32_t kunde_ = 0;
    std::int32_t id_ = 0;
};

TEST_F(RechnungDruckenTest, PrinterGetsOneJobPerDocumentInTheFixedOrder) {
    RechnungDrucken(app_, V(), *Rv().GetRechnung(id_), true, true, true, false);
    ASSERT_EQ(app_.Printed().size(), 3u);
    EXPECT_TRUE(app_.Previews().empty());
    const PrintJob& pack = app_.Printed()[0];
    const PrintJob& kunde = app_.Printed()[1];
    const PrintJob& intern = app_.Printed()[2];
    EXPECT_EQ(pack.title, "(Rkon) PckLst: Meier Karl");
    EXPECT_EQ(kunde.title, "(Rkon) Re: Meier Karl");
    EXPECT_EQ(intern.title, "(Rkon) ReInt: Meier Karl");
    EXPECT_EQ(pack.paperSource, 2);
    EXPECT_EQ(kunde.paperSource, 1);
    EXPECT_EQ(intern.paperSource, 2);
    // 11 items: 15 to a packing list page, 10 to a customer invoice page,
    // 20 to an internal one.
    EXPECT_EQ(pack.pages, 1);
    EXPECT_EQ(kunde.pages, 2);
    EXPECT_EQ(intern.pages, 1);
    EXPECT_TRUE(kunde.HasPage(2));
    EXPECT_FALSE(kunde.HasPage(3));
    EXPECT_FALSE(kunde.HasPage(0));
    EXPECT_NE(Seite(pack, 1).Find("PACKLISTE"), nullptr);
    EXPECT_NE(Seite(kunde, 2).Find("ENDBETRAG"), nullptr);
    EXPECT_NE(Seite(intern, 1).Find("Endbetrag"), nullptr);

    // The printer was asked for once, for all three.
    EXPECT_EQ(app_.PrintDialogs(), 1);

    // A cancelled print dialog puts out nothing; only what was ticked, still
    // in that order; nothing ticked asks for no printer.
    app_.CancelNextPrint();
    RechnungDrucken(app_, V(), *Rv().GetRechnung(id_), false, true, true, false);
    EXPECT_EQ(app_.Printed().size(), 3u);
    RechnungDrucken(app_, V(), *Rv().GetRechnung(id_), false, true, true, false);
    ASSERT_EQ(app_.Printed().size(), 5u);
    EXPECT_EQ(app_.Printed()[3].title, "(Rkon) Re: Meier Karl");
    EXPECT_EQ(app_.Printed()[4].title, "(Rkon) ReInt: Meier Karl");
    RechnungDrucken(app_, V(), *Rv().GetRechnung(id_), false, false, false, false);
    EXPECT_EQ(app_.Printed().size(), 5u);
    EXPECT_EQ(app_.PrintDialogs(), 3);
}

TEST_F(RechnungDruckenTest, PreviewWindowsKeepTheirDocumentWhateverHappensToTheInvoice) {
    {
        Rechnung kopie = *Rv().GetRechnung(id_);
        RechnungDrucken(app_, V(), kopie, true, true, false, true);
    }
    // The customer changes afterwards, and the list that held the copy is
    // gone; the windows show what was asked for.
    FixedText::Set(Kv().GetKunde(kunde_)->Nachname, "Anders");
    EXPECT_TRUE(app_.Printed().empty());
    ASSERT_EQ(app_.Previews().size(), 2u);
    EXPECT_EQ(app_.Previews()[0]->title, "(Rkon) PckLst: Meier Karl");
    EXPECT_EQ(app_.Previews()[1]->title, "(Rkon) Re: Meier Karl");
    const RecordingCanvas seite = Seite(*app_.Previews()[1], 1);
    EXPECT_NE(seite.Find("Meier"), nullptr);
    EXPECT_EQ(seite.Find("Anders"), nullptr);
    EXPECT_EQ(seite.CountContaining("Riesling"), 10);
}

TEST_F(RechnungDruckenTest, InvoiceOfAMissingCustomerPrintsNotAvailable) {
    Rechnung r = *Rv().GetRechnung(id_);
    r.kunde = kunde_ + 100;
    RechnungDrucken(app_, V(), r, false, true, false, false);
    ASSERT_EQ(app_.Printed().size(), 1u);
    EXPECT_EQ(app_.Printed()[0].title, "(Rkon) Re: N/A N/A");
    EXPECT_NE(Seite(app_.Printed()[0], 1).Find("N/A N/A N/A"), nullptr);
}

}  // namespace
