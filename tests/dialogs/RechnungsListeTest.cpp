#include "dialogs/RechnungsListe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/DruckDialog.h"
#include "dialogs/ERechnungSpeichern.h"
#include "dialogs/Hauptfenster.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/RechnungsFiler.h"
#include "dialogs/RechnungsNummer.h"
#include "dialogs/RechnungsServer.h"
#include "dialogs/WeinListe.h"
#include "documents/Dokumentausgabe.h"
#include "model/Firmendaten.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "support/DialogFixture.h"

namespace {

using L = RechnungsListe;

// The invoices of one customer, as the customer dialog hands them over.
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

class RechnungsListeTest : public DialogFixture {
  protected:
    RechnungsListeTest() {
        WeinAnlegen(1, 100);
        WeinAnlegen(2, 100);
        Kunde k;
        FixedText::Set(k.Vorname, "Karl");
        FixedText::Set(k.Nachname, "Meier");
        FixedText::Set(k.Ort, "Alzey");
        Kv().AddKunde(k);
        kunde_ = k.nummer;
    }

    // A stored invoice of `menge` bottles of the wine, `dm` in all.
    std::int32_t Neue(std::int32_t nummer, float dm, Datum datum, bool bezahlt = false,
                      std::int16_t menge = 1, std::int32_t wein = 1) {
        const float preis = dm / static_cast<float>(menge);
        std::int32_t id = RechnungSpeichern(kunde_, {{wein, menge, preis, preis / 2}});
        Rechnung r = *Rv().GetRechnung(id);
        r.nummer = nummer;
        r.datum = datum.Julian();
        r.beglichen = bezahlt ? 1 : 0;
        Rv().UpdateRechnung(r);
        return id;
    }

    FakeWindow& Liste() {
        server_ = std::make_unique<KundenRechnungen>(Rv(), kunde_);
        return Oeffnen<RechnungsListe>(*server_, V(), Kv().GetKunde(kunde_));
    }

    static std::vector<std::string> Zeile(FakeWindow& w, int row) {
        std::vector<std::string> zellen;
        for (int spalte = 0; spalte < 8; ++spalte) {
            zellen.push_back(w.Cell(L::kListe, row, spalte));
        }
        return zellen;
    }

    std::int32_t kunde_ = 0;
    std::unique_ptr<RechnungsServer> server_;
};

TEST_F(RechnungsListeTest, ColumnsRowsAndCellsOfACustomersInvoices) {
    const std::int32_t a = Neue(5, 20.0f, Datum(3, 2, 2026));
    Neue(6, 7.5f, Datum(1, 1, 1970), true);
    {
        Rechnung r = *Rv().GetRechnung(a);
        FixedText::Set(r.bemerkung, "Abholung");
        r.kartons = 2;
        r.steigen = 1;
        Rv().UpdateRechnung(r);
    }
    FakeWindow& w = Liste();
    EXPECT_EQ(w.Caption(), "Rechungsliste");
    std::vector<std::string> titel;
    std::vector<int> breiten;
    for (const auto& c : w.Columns(L::kListe)) {
        titel.push_back(c.title);
        breiten.push_back(c.width);
    }
    EXPECT_EQ(titel, (std::vector<std::string>{"Nr.", "Datum", "Betrag ges.", "Betrag eingeg.",
                                               "Beglichen", "Kartons", "Steigen", "Bemerkung"}));
    EXPECT_EQ(breiten, (std::vector<int>{45, 70, 75, 85, 65, 50, 45, 220}));
    EXPECT_EQ(w.Columns(L::kListe)[1].align, Align::Left);
    EXPECT_EQ(w.Columns(L::kListe)[4].align, Align::Right);
    for (int id : {L::kEditieren, L::kDrucken, L::kLoeschen, L::kDuplizieren}) {
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    }
    EXPECT_TRUE(w.IsChecked(L::kNurOffene));

    // Only the open invoice, then all of them, newest first.
    ASSERT_EQ(w.RowCount(L::kListe), 1);
    EXPECT_EQ(Zeile(w, 0), (std::vector<std::string>{"5", "3.2.2026", "20.00", "0.00", "nein", "2",
                                                     "1", "Abholung"}));
    w.Click(L::kNurOffene);
    ASSERT_EQ(w.RowCount(L::kListe), 2);
    EXPECT_EQ(Zeile(w, 0),
              (std::vector<std::string>{"6", "N/A", "7.50", "0.00", "ja", "0", "0", ""}));
    EXPECT_EQ(w.RowColour(L::kListe, 0), L::kHellgruen);
    EXPECT_EQ(w.RowColour(L::kListe, 1), L::kWeiss);

    // Totals follow the currency of the settings.
    Einstellungen().preiseInEuro = 1;
    EXPECT_EQ(w.Cell(L::kListe, 1, 2), "10.00");
}

TEST_F(RechnungsListeTest, AmountReceivedTicksPaidAndChangedFieldsAreAskedAbout) {
    Neue(5, 20.0f, Datum(3, 2, 2026));
    Neue(6, 30.0f, Datum(4, 2, 2026));
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 1));
    EXPECT_EQ(w.Text(L::kNummer), "5");
    EXPECT_EQ(w.Text(L::kTag) + "." + w.Text(L::kMonat) + "." + w.Text(L::kJahr), "3.2.2026");
    EXPECT_EQ(w.Text(L::kSumme), "20.00");
    EXPECT_EQ(w.Text(L::kEingegangen), "0.00");
    EXPECT_FALSE(w.IsChecked(L::kBeglichen));
    for (int id : {L::kEditieren, L::kDrucken, L::kLoeschen, L::kDuplizieren}) {
        EXPECT_TRUE(w.IsEnabled(id)) << id;
    }

    w.Type(L::kEingegangen, "19,99");
    EXPECT_FALSE(w.IsChecked(L::kBeglichen));
    w.Type(L::kEingegangen, "20,00");  // equal, with a decimal comma
    EXPECT_TRUE(w.IsChecked(L::kBeglichen));
    w.Click(L::kBeglichen);
    w.Type(L::kEingegangen, "25");  // larger
    EXPECT_TRUE(w.IsChecked(L::kBeglichen));
    w.Type(L::kEingegangen, "");  // deleting it does not untick
    EXPECT_TRUE(w.IsChecked(L::kBeglichen));

    // Changed fields: the user is asked before another row is loaded.
    app_.Answer(Answer::No);
    EXPECT_FALSE(w.PickRow(L::kListe, 0));
    EXPECT_EQ(app_.LastMessage().caption, "Neuen Tabelleneintrag wählen"_w);
    EXPECT_EQ(app_.LastMessage().buttons, MessageButtons::YesNo);
    EXPECT_EQ(w.Text(L::kNummer), "5");
    app_.Answer(Answer::Yes);
    EXPECT_TRUE(w.PickRow(L::kListe, 0));
    EXPECT_EQ(w.Text(L::kNummer), "6");
    EXPECT_TRUE(w.PickRow(L::kListe, 1));  // nothing changed: no question
    EXPECT_EQ(app_.PendingAnswers(), 0u);
}

TEST_F(RechnungsListeTest, StoringChecksThePreDatingLimitAndWritesTheFile) {
    clock_.Set(1, 3, 2002);
    const std::int32_t id = Neue(7, 20.0f, Datum(1, 3, 2002));
    ASSERT_EQ(Einstellungen().vordatierungTage, 31);
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    const std::string vorher = ReadBytes(kRechnungen);

    w.Type(L::kTag, "28");
    w.Type(L::kMonat, "1");
    w.Click(L::kSpeichern);
    EXPECT_EQ(app_.LastMessage().caption, "Rechnungsdaten ändern"_w);
    EXPECT_EQ(app_.LastMessage().text.rfind(
                  "Diese Rechnung wurde am 1.3.2002 erstellt. Sie haben versucht die Rechnung "
                  "mehr als 31 Tage vorzudatieren.",
                  0),
              0u);
    EXPECT_EQ(ReadBytes(kRechnungen), vorher);

    // Out of the room of the 16-bit field, or the marker of a deleted
    // invoice: refused, nothing written.
    w.Type(L::kTag, "29");
    w.Type(L::kKartons, "32767");
    w.Click(L::kSpeichern);
    EXPECT_EQ(app_.LastMessage().text,
              "Kartons und Steigen müssen Zahlen von 0 bis 32766 sein. Die Rechnung wurde nicht "
              "gespeichert."_w);
    EXPECT_EQ(ReadBytes(kRechnungen), vorher);

    app_.ClearMessages();
    w.Type(L::kKartons, "3");
    w.Type(L::kSteigen, "2");
    w.Type(L::kNummer, "77");
    w.Type(L::kBemerkung, "Frei Haus");
    w.Type(L::kEingegangen, "12,50");
    w.Click(L::kSpeichern);
    EXPECT_TRUE(app_.Messages().empty());
    EXPECT_EQ(w.Text(L::kNummer), "");  // filled anew, nothing selected
    EXPECT_EQ(w.Cell(L::kListe, 0, 1), "29.1.2002");

    // A year of 1970 or before is no date: no check, and the list says so.
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    w.Type(L::kJahr, "1970");
    w.Click(L::kSpeichern);
    EXPECT_TRUE(app_.Messages().empty());
    EXPECT_EQ(w.Cell(L::kListe, 0, 1), "N/A");

    Neustart();
    const Rechnung& r = *Rv().GetRechnung(id);
    EXPECT_EQ(r.datum, Datum(29, 1, 1970).Julian());
    EXPECT_EQ(r.kartons, 3);
    EXPECT_EQ(r.steigen, 2);
    EXPECT_EQ(r.nummer, 77);
    EXPECT_FLOAT_EQ(r.betragEingegangen, 12.5f);
    EXPECT_EQ(FixedText::Get(r.bemerkung), "Frei Haus");
}

TEST_F(RechnungsListeTest, DeletingReturnsTheBottlesOnlyWhenAskedTo) {
    const std::int32_t ja = Neue(1, 60.0f, Datum(3, 2, 2026), false, 6, 1);
    const std::int32_t nein = Neue(2, 40.0f, Datum(4, 2, 2026), false, 4, 2);
    ASSERT_EQ(Bestand(1), 94);
    ASSERT_EQ(Bestand(2), 96);
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 1));  // the older one, wine 1
    app_.Answer(Answer::Cancel);
    w.Click(L::kLoeschen);
    EXPECT_EQ(app_.Messages().size(), 2u);
    EXPECT_EQ(app_.Messages()[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(app_.Messages()[0].caption, "Vorgang Rechnung löschen"_w);
    EXPECT_EQ(app_.LastMessage().text, "Es wurde keine Rechnung gelöscht"_w);
    EXPECT_EQ(w.RowCount(L::kListe), 2);

    app_.Answer(Answer::Yes);
    w.Click(L::kLoeschen);
    ASSERT_EQ(w.RowCount(L::kListe), 1);
    EXPECT_FALSE(w.IsEnabled(L::kLoeschen));  // the fill dropped the selection

    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    app_.Answer(Answer::No);
    w.Click(L::kLoeschen);
    EXPECT_EQ(w.RowCount(L::kListe), 0);

    Neustart();
    EXPECT_EQ(Bestand(1), 100);
    EXPECT_EQ(Bestand(2), 96);
    EXPECT_TRUE(Rv().GetRechnung(ja)->IstGeloescht());
    EXPECT_TRUE(Rv().GetRechnung(nein)->IstGeloescht());
}

TEST_F(RechnungsListeTest, DuplicatingAsksAndTakesTheBottlesAgain) {
    Neue(1, 60.0f, Datum(3, 2, 2026), false, 6, 1);
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    app_.Answer(Answer::No);
    w.Click(L::kDuplizieren);
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung duplizieren");
    EXPECT_EQ(w.RowCount(L::kListe), 1);
    app_.Answer(Answer::Yes);
    w.Click(L::kDuplizieren);
    ASSERT_EQ(w.RowCount(L::kListe), 2);
    EXPECT_EQ(w.Cell(L::kListe, 0, 2), "60.00");

    Neustart();
    EXPECT_EQ(Bestand(1), 88);
    GenericList<Rechnung> alle;
    Rv().GetRechnungenVonKunde(kunde_, alle, false);
    EXPECT_EQ(alle.Count(), 2u);
}

TEST_F(RechnungsListeTest, PrintsEverySelectedRowAndNothingOnCancel) {
    Neue(1, 10.0f, Datum(3, 2, 2026));
    Neue(2, 20.0f, Datum(4, 2, 2026));
    Neue(3, 30.0f, Datum(5, 2, 2026));
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    ASSERT_TRUE(w.PickRow(L::kListe, 2, true));
    app_.OnExecute([](FakeWindow& druck) { druck.Click(ControlId::kCancel); });
    w.Click(L::kDrucken);
    EXPECT_TRUE(app_.Printed().empty());
    EXPECT_TRUE(app_.Previews().empty());

    app_.OnExecute([](FakeWindow& druck) {
        druck.Click(DruckDialog::kPackliste);  // customer and internal invoice only
        druck.Click(DruckDialog::kBildschirm);
        druck.PressEnter();
    });
    w.Click(L::kDrucken);
    ASSERT_EQ(app_.Previews().size(), 4u);  // two documents of two invoices
    EXPECT_TRUE(app_.Printed().empty());
}

TEST_F(RechnungsListeTest, EditingOpensTheInvoiceEditorOnTheClickedInvoice) {
    Neue(5, 20.0f, Datum(3, 2, 2026));
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    w.Click(L::kEditieren);  // without a price list the editor cannot open
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung editieren");
    EXPECT_TRUE(app_.Executed().empty());

    V().preisVerwaltung->AddPreisliste("Privat");
    std::string nummer;
    app_.OnExecute([&](FakeWindow& editor) {
        nummer = editor.Text(WeinListe::kRechnungNr);
        EXPECT_EQ(editor.RowCount(WeinListe::kListe), 2);  // the full wine list
        editor.CloseBox();
    });
    w.Click(L::kEditieren);
    EXPECT_EQ(app_.Executed(), std::vector<int>{WeinListe::kResource});
    EXPECT_EQ(nummer, "5");
    EXPECT_EQ(w.Text(L::kNummer), "");  // filled anew
    EXPECT_FALSE(w.IsEnabled(L::kEditieren));
}

// 1.125 is exact in single precision and shown as 1.12 (a half rounds to
// the even cent): typing what the list shows ticks "Beglichen".
TEST_F(RechnungsListeTest, TheTotalAsShownTicksPaidAlsoWhenItEndsInAHalfCent) {
    Neue(8, 1.125f, Datum(1, 12, 2026));
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    EXPECT_EQ(w.Cell(L::kListe, 0, 2), "1.12");
    ASSERT_EQ(w.Text(L::kSumme), "1.12");
    w.Type(L::kEingegangen, "1,11");
    EXPECT_FALSE(w.IsChecked(L::kBeglichen));
    w.Type(L::kEingegangen, "1,12");
    EXPECT_TRUE(w.IsChecked(L::kBeglichen));
}

TEST_F(RechnungsListeTest, EnterMovesOnAndClosingWithChangedFieldsAsksWhetherToStore) {
    // 12 bottles at 5.40: a total of 64.80 that single precision holds as
    // 64.8000031.
    const std::int32_t id = Neue(7, 64.8f, Datum(1, 12, 2026), false, 12);
    const std::string kartonsMeldung =
        "Kartons und Steigen müssen Zahlen von 0 bis 32766 sein. Die Rechnung wurde nicht "
        "gespeichert."_w;
    {
        FakeWindow& w = Liste();
        ASSERT_TRUE(w.PickRow(L::kListe, 0));
        ASSERT_EQ(w.Text(L::kSumme), "64.80");

        // The amount typed as shown ticks "Beglichen", with a comma or a point.
        w.Type(L::kEingegangen, "64,79");
        EXPECT_FALSE(w.IsChecked(L::kBeglichen));
        w.Type(L::kEingegangen, "64.80");
        EXPECT_TRUE(w.IsChecked(L::kBeglichen));
        w.Click(L::kBeglichen);
        w.Type(L::kEingegangen, "64,80");
        EXPECT_TRUE(w.IsChecked(L::kBeglichen));

        // Enter in any field moves on; the list stays open and asks nothing.
        for (int feld : {L::kEingegangen, L::kBemerkung, L::kNummer, L::kTag, L::kKartons}) {
            w.PressEnter(feld);
            EXPECT_FALSE(w.IsClosed()) << feld;
            EXPECT_NE(w.FocusedControl(), feld);
        }
        EXPECT_TRUE(app_.Messages().empty());
        const std::string vorher = ReadBytes(kRechnungen);

        // OK asks; "Abbrechen" keeps the list open with what was typed.
        app_.Answer(Answer::Cancel);
        w.Click(ControlId::kOk);
        EXPECT_FALSE(w.IsClosed());
        EXPECT_EQ(app_.LastMessage().text,
                  "Sollen die Änderungen an Rechnung 7 gespeichert werden?"_w);
        EXPECT_EQ(app_.LastMessage().caption, "Rechnungsdaten ändern"_w);
        EXPECT_EQ(app_.LastMessage().buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(w.Text(L::kEingegangen), "64,80");

        // "Ja" with a field that cannot be stored: the user is told, and the
        // list stays open.
        w.Type(L::kKartons, "-1");
        app_.Answer(Answer::Yes);
        w.CloseBox();
        EXPECT_FALSE(w.IsClosed());
        EXPECT_EQ(app_.LastMessage().text, kartonsMeldung);
        EXPECT_EQ(ReadBytes(kRechnungen), vorher);

        // "Ja" stores, then closes.
        w.Type(L::kKartons, "2");
        app_.Answer(Answer::Yes);
        w.CloseBox();
        EXPECT_TRUE(w.IsClosed());
    }
    {
        // "Nein" closes and drops what was typed.
        FakeWindow& w = Liste();
        w.Click(L::kNurOffene);  // it is paid now
        ASSERT_TRUE(w.PickRow(L::kListe, 0));
        w.Type(L::kBemerkung, "verworfen");
        app_.Answer(Answer::No);
        w.Click(ControlId::kOk);
        EXPECT_TRUE(w.IsClosed());
    }
    EXPECT_EQ(app_.PendingAnswers(), 0u);
    Neustart();
    const Rechnung& r = *Rv().GetRechnung(id);
    EXPECT_FLOAT_EQ(r.betragEingegangen, 64.8f);
    EXPECT_EQ(r.beglichen, 1);
    EXPECT_EQ(r.kartons, 2);
    EXPECT_EQ(FixedText::Get(r.bemerkung), "");
}

TEST_F(RechnungsListeTest, WhatFillsTheListAnewAsksAboutTypedChangesFirst) {
    const std::int32_t id = Neue(7, 20.0f, Datum(1, 12, 2026));
    V().preisVerwaltung->AddPreisliste("Privat");
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));

    // Cancelled: the tick goes back and the typed remark stays.
    w.Type(L::kBemerkung, "gemerkt");
    const bool nurOffene = w.IsChecked(L::kNurOffene);
    app_.Answer(Answer::Cancel);
    w.Click(L::kNurOffene);
    EXPECT_EQ(app_.LastMessage().text, "Sollen die Änderungen an Rechnung 7 gespeichert werden?"_w);
    EXPECT_EQ(w.IsChecked(L::kNurOffene), nurOffene);
    EXPECT_EQ(w.Text(L::kBemerkung), "gemerkt");

    // "Ja" stores before the duplicate is even asked about.
    app_.Answer(Answer::Yes);
    app_.Answer(Answer::No);
    w.Click(L::kDuplizieren);
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung duplizieren");

    // "Nein" drops the new typing and the editor opens.
    w.Type(L::kBemerkung, "verworfen");
    app_.Answer(Answer::No);
    app_.OnExecute([](FakeWindow& editor) { editor.CloseBox(); });
    w.Click(L::kEditieren);
    EXPECT_EQ(app_.Executed(), std::vector<int>{WeinListe::kResource});
    EXPECT_EQ(app_.PendingAnswers(), 0u);

    Neustart();
    EXPECT_EQ(FixedText::Get(Rv().GetRechnung(id)->bemerkung), "gemerkt");
}

TEST_F(RechnungsListeTest, StoringRefusesDatesThatDoNotExistAndNumbersOutOfRange) {
    const std::int32_t id = Neue(7, 20.0f, Datum(28, 11, 2026));
    FakeWindow& w = Liste();
    ASSERT_TRUE(w.PickRow(L::kListe, 0));
    const std::string vorher = ReadBytes(kRechnungen);
    const std::string nummerMeldung =
        "Die Rechnungsnummer muss eine Zahl von 0 bis 2147483647 sein. Die Rechnung wurde nicht "
        "gespeichert.";
    struct Fall {
        int feld;
        const char* text;
        std::string meldung;
    };
    const Fall faelle[] = {
        {L::kTag, "31", "Das Datum 31.11.2026 gibt es nicht."},
        {L::kJahr, "9999",
         "Das Datum 28.11.9999 liegt nach dem Jahr 2099. Bitte geben Sie ein "
         "Datum bis zum 31.12.2099 an."},
        {L::kTag, "", "Das Datum .11.2026 gibt es nicht."},
        {L::kNummer, "-99999", nummerMeldung},
        {L::kNummer, "2147483648", nummerMeldung},
    };
    for (const Fall& f : faelle) {
        const std::string richtig = w.Text(f.feld);
        w.Type(f.feld, f.text);
        w.Click(L::kSpeichern);
        EXPECT_EQ(app_.LastMessage().text, f.meldung) << f.text;
        EXPECT_EQ(app_.LastMessage().caption, "Rechnungsdaten ändern"_w);
        EXPECT_EQ(ReadBytes(kRechnungen), vorher) << f.text;
        w.Type(f.feld, richtig);
    }

    // The largest number is stored; the fill leaves no row selected, and
    // nothing that acts on one can be clicked.
    app_.ClearMessages();
    w.Type(L::kNummer, "2147483647");
    w.Click(L::kSpeichern);
    EXPECT_TRUE(app_.Messages().empty());
    for (int knopf : {L::kEditieren, L::kDrucken, L::kLoeschen, L::kDuplizieren, L::kERechnung}) {
        EXPECT_FALSE(w.IsEnabled(knopf)) << knopf;
    }
    EXPECT_EQ(Rv().GetRechnung(id)->nummer, 2147483647);
}

class RechnungsNummerTest : public RechnungsListeTest {
  protected:
    // Runs the search with the typed criteria and returns the rows the list
    // showed (number and total).
    std::vector<std::string> Suche(const std::string& nummer, const std::string& betrag = "",
                                   const std::string& abweichung = "") {
        FakeWindow& w = Oeffnen<RechnungsNummer>(V());
        EXPECT_TRUE(w.IsChecked(RechnungsNummer::kNachNummer));
        EXPECT_TRUE(w.IsEnabled(RechnungsNummer::kNummer));
        EXPECT_FALSE(w.IsEnabled(RechnungsNummer::kBetrag));
        EXPECT_FALSE(w.IsEnabled(RechnungsNummer::kAbweichung));
        if (nummer.empty()) {
            w.Click(RechnungsNummer::kNachBetrag);
            EXPECT_FALSE(w.IsEnabled(RechnungsNummer::kNummer));
            w.Type(RechnungsNummer::kBetrag, betrag);
            w.Type(RechnungsNummer::kAbweichung, abweichung);
        } else {
            w.Type(RechnungsNummer::kNummer, nummer);
        }
        std::vector<std::string> zeilen;
        app_.OnExecute([&](FakeWindow& liste) {
            EXPECT_EQ(liste.Columns(L::kListe)[7].title, "Kunde");
            for (int i = 0; i < liste.RowCount(L::kListe); ++i) {
                zeilen.push_back(liste.Cell(L::kListe, i, 0) + " " + liste.Cell(L::kListe, i, 2) +
                                 " " + liste.Cell(L::kListe, i, 7));
            }
            liste.PressEnter();
        });
        w.PressEnter();
        EXPECT_TRUE(w.IsClosed());  // closing the list closed the search
        return zeilen;
    }
};

TEST_F(RechnungsNummerTest, FindsByNumberOrByAmountWithinTheTolerance) {
    Neue(16, 95.0f, Datum(3, 2, 2026), true);
    Neue(17, 94.99f, Datum(3, 2, 2026));
    Neue(18, 105.01f, Datum(3, 2, 2026));
    Neue(19, 105.0f, Datum(3, 2, 2026));
    Neue(20, 100.0f, Datum(3, 2, 2026));
    EXPECT_EQ(Suche("17.9"), std::vector<std::string>{"17 94.99 Karl Meier aus Alzey"});
    EXPECT_EQ(Suche("-17"), std::vector<std::string>{});
    // Paid and open alike, newest first; a decimal comma counts.
    EXPECT_EQ(Suche("", "100", "5"), (std::vector<std::string>{"20 100.00 Karl Meier aus Alzey",
                                                               "19 105.00 Karl Meier aus Alzey",
                                                               "16 95.00 Karl Meier aus Alzey"}));
    EXPECT_EQ(Suche("", "99,5", "0,5"), std::vector<std::string>{"20 100.00 Karl Meier aus Alzey"});
    EXPECT_EQ(app_.Executed(), (std::vector<int>{4, 4, 4, 4}));

    FakeWindow& w = Oeffnen<RechnungsNummer>(V());
    w.Click(ControlId::kCancel);
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(app_.Executed().size(), 4u);  // no list
}

// Why an export does not go where the user pointed it.
const std::string kInDaten =
    "sie läge im Datenverzeichnis »daten«, und ein Export darf keine Daten überschreiben. Bitte "
    "einen anderen Ort wählen."_w;
const std::string kKeineDatei = "dort steht ein Verzeichnis, keine gewöhnliche Datei."_w;

class HauptfensterRechnungenTest : public RechnungsListeTest {
  protected:
    Hauptfenster fenster_{V(), app_};
};

TEST_F(HauptfensterRechnungenTest, F6ShowsTheInvoicesOfTheFilterPeriods) {
    Neue(1, 10.0f, Datum(3, 2, 2026));
    Neue(2, 20.0f, Datum(20, 11, 2026));
    Neue(3, 30.0f, Datum(1, 12, 2026));
    ASSERT_TRUE(fenster_.Verfuegbar(Hauptmenue::kAbrufenNachDatum));
    app_.OnExecute([](FakeWindow& filter) { filter.CloseBox(); });
    fenster_.Befehl(Hauptmenue::kAbrufenNachDatum);
    EXPECT_EQ(app_.Executed(), std::vector<int>{RechnungsFiler::kResource});

    std::vector<std::string> nummern;
    app_.OnExecute([](FakeWindow& filter) {
        filter.Click(RechnungsFiler::kDatumHeute);  // the last 21 days
        filter.PressEnter();
    });
    app_.OnExecute([&](FakeWindow& liste) {
        for (int i = 0; i < liste.RowCount(L::kListe); ++i) {
            nummern.push_back(liste.RowText(L::kListe, i));
        }
    });
    fenster_.Befehl(Hauptmenue::kAbrufenNachDatum);
    EXPECT_EQ(nummern, (std::vector<std::string>{"3", "2"}));
    EXPECT_TRUE(fenster_.Verfuegbar(Hauptmenue::kAbrufenNachNummer));
}

TEST_F(HauptfensterRechnungenTest, BottleListAsTextOrSpreadsheet) {
    // Cancelling the filter shows no file dialog; cancelling the file
    // dialog shows no notice.
    app_.OnExecute([](FakeWindow& filter) { filter.Click(ControlId::kCancel); });
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    EXPECT_TRUE(app_.SaveRequests().empty());
    clock_.Set(1, 1, 2027);
    app_.OnExecute([](FakeWindow& filter) { filter.PressEnter(); });
    app_.SaveFileAnswer(std::nullopt);
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    ASSERT_EQ(app_.SaveRequests().size(), 1u);
    const SaveFileRequest& r = app_.SaveRequests()[0];
    EXPECT_EQ(r.fileName, "fl_1_1_2027");
    EXPECT_EQ(r.title, "Flaschenliste erzeugen");
    EXPECT_EQ(r.filter,
              "Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|Excel-Arbeitsmappe "
              "(*.xlsx)|*.xlsx|");
    EXPECT_EQ(r.defaultExt, "txt");
    EXPECT_TRUE(app_.Messages().empty());

    // Wine 4 on two invoices, wine 9 on one, all dated 28.12.2026.
    WeinAnlegen(4, 100);
    WeinAnlegen(9, 100);
    clock_.Set(28, 12, 2026);
    const Datum tag(28, 12, 2026);
    Neue(1, 6.0f, tag, false, 6, 4);
    const std::int32_t zweite = Neue(2, 12.0f, tag, true, 12, 4);
    Rechnung* z = Rv().GetRechnung(zweite);
    Rv().SetPosten(*z, 9, 1.0f, 0.5f, 3);
    const std::string text = dir_ / "fl.txt";
    app_.OnExecute([](FakeWindow& filter) {
        filter.Click(RechnungsFiler::kDatumHeute);
        filter.PressEnter();
    });
    app_.SaveFileAnswer(SaveFileResult{text, 1});
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    EXPECT_EQ(app_.LastMessage().caption, "Erstellen der Flaschenliste");
    EXPECT_EQ(app_.Cursors(), (std::vector<std::string>{"wait", "arrow"}));
    EXPECT_EQ(ReadBytes(text),
              "Datei: " + text +
                  "\r\n\r\nFlaschenliste für den Zeitraum vom 7.12.2026 bis zum 28.12.2026"
                  "\r\n\r\n\r\nWein Nummer (4): 12, 6\r\nSumme: 18\r\n\r\n"
                  "Wein Nummer (9): 3\r\nSumme: 3\r\n\r\n"_w);
    ASSERT_EQ(app_.Started().size(), 1u);
    EXPECT_EQ(app_.Started()[0], (std::vector<std::string>{"xdg-open", text}));

    // The spreadsheet opens nothing.
    app_.OnExecute([](FakeWindow& filter) { filter.PressEnter(); });
    app_.SaveFileAnswer(SaveFileResult{dir_ / "fl.xls", 2});
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    EXPECT_EQ(ReadBytes(dir_ / "fl.xls").substr(0, 2), std::string("\x09\x02", 2));
    EXPECT_EQ(app_.Started().size(), 1u);

    // A file that cannot be written is reported, and no editor starts.
    app_.OnExecute([](FakeWindow& filter) { filter.PressEnter(); });
    app_.SaveFileAnswer(SaveFileResult{dir_ / "fehlt/fl.txt", 1});
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei " + (dir_ / "fehlt/fl.txt") +
                  " konnte nicht geschrieben werden (den Ordner gibt es nicht). Die Flaschenliste "
                  "wurde nicht erstellt.");
    EXPECT_EQ(app_.Started().size(), 1u);
}

TEST_F(HauptfensterRechnungenTest, BottleListRefusesDataAndFoldersAndSaysWhatASheetLeftOut) {
    // One invoice of today with 258 wines: two more than the sheet has columns.
    const std::int32_t id = Neue(1, 6.0f, Datum(6, 12, 2026), false, 6, 1);
    Rechnung* r = Rv().GetRechnung(id);
    for (std::int32_t wein = 2; wein <= 258; ++wein) {
        Rv().SetPosten(*r, wein, 1.0f, 0.5f, 1);
    }
    const auto filtern = [this] {
        app_.OnExecute([](FakeWindow& filter) {
            filter.Click(RechnungsFiler::kDatumHeute);
            filter.PressEnter();
        });
    };
    const std::string kundenVorher = ReadBytes("daten/kunden.dat");
    std::filesystem::create_directory(dir_ / "ordner.xls");

    // A name in the data folder (an existing data file, a new one) or over a
    // folder: said at once, before the notice, and nothing is written.
    const std::vector<std::pair<std::string, int>> ziele{
        {dir_ / "daten/kunden.dat", 1}, {"daten/fl.xls", 2}, {dir_ / "ordner.xls", 2}};
    for (const auto& [ziel, format] : ziele) {
        filtern();
        app_.SaveFileAnswer(SaveFileResult{ziel, format});
        const std::size_t vorher = app_.Messages().size();
        fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
        ASSERT_EQ(app_.Messages().size(), vorher + 1) << ziel;
        EXPECT_EQ(app_.LastMessage().caption, "Erstellen der Flaschenliste");
        EXPECT_EQ(app_.LastMessage().text,
                  "Die Datei »"_w + ziel + "« wird nicht geschrieben: "_w +
                      (ziel == dir_ / "ordner.xls" ? kKeineDatei : kInDaten) +
                      " Die Flaschenliste wurde nicht erstellt.");
    }
    EXPECT_TRUE(app_.Cursors().empty());
    EXPECT_TRUE(app_.Started().empty());
    EXPECT_EQ(ReadBytes("daten/kunden.dat"), kundenVorher);
    EXPECT_FALSE(FileExists("daten/fl.xls"));
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "ordner.xls"));

    // The sheet keeps the first 256 wines and says what it left out.
    filtern();
    app_.SaveFileAnswer(SaveFileResult{dir_ / "fl.xls", 2});
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    ASSERT_GE(app_.Messages().size(), 2u);
    EXPECT_EQ(app_.Messages()[app_.Messages().size() - 2].text.rfind("Anh\xE4ngig", 0), 0u);
    EXPECT_EQ(app_.LastMessage().caption, "Erstellen der Flaschenliste");
    EXPECT_EQ(app_.LastMessage().text,
              "Die Tabelle ist unvollst\xE4ndig: sie fasst h\xF6"
              "chstens 256 Weine und je Wein 16379 Posten. Es fehlen 2 von 258 Posten (darunter "
              "alle Posten von 2 der 258 Weine). Die Flaschenliste als Textdatei enth\xE4lt alle "
              "Posten.");
    EXPECT_EQ(ReadBytes(dir_ / "fl.xls").substr(0, 2), std::string("\x09\x02", 2));
    EXPECT_TRUE(app_.Started().empty());

    // The text list holds all of them, and says nothing more.
    filtern();
    app_.SaveFileAnswer(SaveFileResult{dir_ / "fl.txt", 1});
    const std::size_t vorher = app_.Messages().size();
    fenster_.Befehl(Hauptmenue::kFlaschenzaehlung);
    EXPECT_EQ(app_.Messages().size(), vorher + 1);
    const std::string text = ReadBytes(dir_ / "fl.txt");
    EXPECT_NE(text.find("Wein Nummer (258): 1\r\n"), std::string::npos);
    EXPECT_EQ(app_.Started().size(), 1u);
}

// The program's PDF output as a test scripts it: only the ZUGFeRD file.
class ZugferdImTest : public Dokumentausgabe {
  public:
    using Schreiben = std::function<bool(const std::string& datei, const Rechnung& rechnung,
                                         const std::string& xml, std::string& fehler)>;
    explicit ZugferdImTest(Schreiben schreiben) : schreiben_(std::move(schreiben)) {}
    bool Pdf(const std::string&, Verwaltungen&, const Rechnung&, bool, bool, bool) override {
        ADD_FAILURE() << "no invoice PDF is asked for here";
        return false;
    }
    bool Zugferd(const std::string& datei, Verwaltungen&, const Rechnung& rechnung,
                 const std::string& xml, std::string& fehler) override {
        return schreiben_(datei, rechnung, xml, fehler);
    }

  private:
    Schreiben schreiben_;
};

TEST_F(RechnungsListeTest, TheSelectedInvoiceIsSavedAsXRechnungOrZugferdThroughTheSaveDialog) {
    Neue(4711, 30.0f, Datum(2, 12, 2026), false, 3);
    FakeWindow& w = Liste();
    EXPECT_FALSE(w.IsEnabled(L::kERechnung));
    w.PickRow(L::kListe, 0);
    ASSERT_TRUE(w.IsEnabled(L::kERechnung));

    // Each refusal says what is missing, and no file dialog opens.
    w.Click(L::kERechnung);
    EXPECT_EQ(app_.LastMessage().caption, "E-Rechnung speichern");
    EXPECT_EQ(app_.LastMessage().text,
              "Die Preise werden in DM geführt (Optionen/Grundeinstellungen). Eine E-Rechnung "
              "kann nur in Euro erstellt werden."_w);
    Einstellungen().preiseInEuro = 1;
    w.Click(L::kERechnung);
    EXPECT_EQ(app_.LastMessage().text,
              "In den Firmendaten fehlt: Name, Inhaber/Ansprechpartner, Straße, PLZ, Ort, "
              "Telefon, E-Mail, USt-IdNr. oder Steuernummer, IBAN. Bitte ergänzen Sie sie unter "
              "Optionen/Firmendaten."_w);
    Firmendaten firma;
    firma.name = "Weingut Rebenhof";
    firma.inhaber = "Martin Becker";
    firma.strasse = "Hauptstr. 21";
    firma.plz = "55232";
    firma.ort = "Alzey";
    firma.telefon = "06731 945870";
    firma.email = "info@rebenhof.example.com";
    firma.steuernummer = "44/220/12345";
    firma.iban = "DE85550501200123456789";
    ASSERT_TRUE(firma.Speichern("daten/firmendaten.txt"));
    w.Click(L::kERechnung);
    EXPECT_EQ(app_.LastMessage().text,
              "Der Kunde Nr. " + std::to_string(kunde_) +
                  " (Karl Meier) hat keine E-Mail-Adresse. Eine E-Rechnung nennt die "
                  "elektronische Adresse des Käufers; bitte tragen Sie sie beim Kunden ein."_w);
    EXPECT_TRUE(app_.SaveRequests().empty());
    Kunde* k = Kv().GetKunde(kunde_);
    FixedText::Set(k->EMail, "karl@meier.example.com");
    FixedText::Set(k->Strasse, "Am Markt 1");
    k->PLZ = 55232;

    // Now the file dialog: without a PDF output only the XML is offered.
    const std::size_t meldungen = app_.Messages().size();
    app_.SaveFileAnswer(SaveFileResult{"r.xml", 1});
    w.Click(L::kERechnung);
    ASSERT_EQ(app_.SaveRequests().size(), 1u);
    EXPECT_EQ(app_.SaveRequests()[0].title, "E-Rechnung speichern");
    EXPECT_EQ(app_.SaveRequests()[0].filter, "XRechnung (*.XML)|*.xml|");
    EXPECT_EQ(app_.SaveRequests()[0].fileName, "rechnung_4711");
    EXPECT_EQ(app_.Messages().size(), meldungen);
    const std::string xml = ReadBytes("r.xml");
    EXPECT_NE(xml.find("<ram:ID>4711</ram:ID>"), std::string::npos);
    EXPECT_NE(xml.find("xrechnung_3.0"), std::string::npos);
    EXPECT_NE(xml.find("<ram:URIID schemeID=\"EM\">karl@meier.example.com</ram:URIID>"),
              std::string::npos);

    std::string pdfXml;
    ZugferdImTest ausgabe([&](const std::string& datei, const Rechnung& r, const std::string& x,
                              std::string& fehler) {
        pdfXml = x;
        fehler = "Die Datei " + datei + " ist schreibgesch\xFCtzt.";
        return r.nummer != 4711;
    });
    app_.SetDokumente(&ausgabe);
    app_.SaveFileAnswer(SaveFileResult{"r.pdf", 2});
    w.Click(L::kERechnung);
    EXPECT_EQ(app_.SaveRequests().back().filter,
              "XRechnung (*.XML)|*.xml|ZUGFeRD-PDF (*.PDF)|*.pdf|");
    EXPECT_NE(pdfXml.find("<ram:ID>urn:cen.eu:en16931:2017</ram:ID>"), std::string::npos);
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei r.pdf ist schreibgeschützt. Die E-Rechnung wurde nicht gespeichert."_w);
    EXPECT_FALSE(app_.IsWaiting());
    EXPECT_EQ(app_.Cursors().back(), "arrow");

    // Never into the data folder, nor over a folder: as XML or as PDF, the
    // reason is said and nothing is written.
    const std::string firmaVorher = ReadBytes("daten/firmendaten.txt");
    std::filesystem::create_directory("ordner.pdf");
    bool pdfGeschrieben = false;
    ZugferdImTest schreibt(
        [&](const std::string&, const Rechnung&, const std::string&, std::string&) {
            pdfGeschrieben = true;
            return true;
        });
    app_.SetDokumente(&schreibt);
    const std::size_t cursor = app_.Cursors().size();
    const std::vector<std::pair<std::string, int>> ziele{{"daten/firmendaten.txt", 1},
                                                         {dir_ / "daten/r.xml", 1},
                                                         {"daten/r.pdf", 2},
                                                         {"ordner.pdf", 2}};
    for (const auto& [ziel, format] : ziele) {
        app_.SaveFileAnswer(SaveFileResult{ziel, format});
        w.Click(L::kERechnung);
        EXPECT_EQ(app_.LastMessage().caption, "E-Rechnung speichern");
        EXPECT_EQ(app_.LastMessage().text, "Die Datei »"_w + ziel + "« wird nicht geschrieben: "_w +
                                               (ziel == "ordner.pdf" ? kKeineDatei : kInDaten) +
                                               " Die E-Rechnung wurde nicht gespeichert.");
    }
    app_.SetDokumente(nullptr);
    EXPECT_FALSE(pdfGeschrieben);
    EXPECT_EQ(app_.Cursors().size(), cursor);
    EXPECT_EQ(ReadBytes("daten/firmendaten.txt"), firmaVorher);
    EXPECT_FALSE(FileExists("daten/r.xml"));
    EXPECT_FALSE(FileExists("daten/r.pdf"));
    EXPECT_TRUE(std::filesystem::is_empty("ordner.pdf"));
}

}  // namespace
