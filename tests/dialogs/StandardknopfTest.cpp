// A stray Enter on a question whose Yes deletes or discards destroys
// nothing: every such question has "Nein" (or, where "Nein" deletes too,
// "Abbrechen") as its default button.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/KundenDialog.h"
#include "dialogs/KundenListe.h"
#include "dialogs/KundenServer.h"
#include "dialogs/RechnungsListe.h"
#include "dialogs/RechnungsServer.h"
#include "dialogs/WeinListe.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "support/DialogFixture.h"
#include "support/FileBytes.h"

namespace {

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

class AlleRechnungen : public RechnungsServer {
  public:
    AlleRechnungen(RechnungsVerwaltung& rechnungen, std::int32_t kunde)
        : rechnungen_(rechnungen), kunde_(kunde) {}
    void RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) override {
        rechnungen_.GetRechnungenVonKunde(kunde_, liste, nurOffene);
    }

  private:
    RechnungsVerwaltung& rechnungen_;
    std::int32_t kunde_;
};

class StandardknopfTest : public DialogFixture {
  protected:
    StandardknopfTest() {
        V().preisVerwaltung->AddPreisliste("Privat");
        WeinAnlegen(3, 100);
        WeinAnlegen(7, 100);
        kunde_ = KundeAnlegen("Meier");
        KundeAnlegen("Berg");
        rechnung_ = RechnungSpeichern(kunde_, {{3, 6, 10.0f, 5.0f}});
        RechnungSpeichern(kunde_, {{7, 2, 8.0f, 4.0f}});
    }

    // The question just asked: its caption and the button Enter pressed.
    void ErwarteEnter(const std::string& caption, Answer standard) {
        ASSERT_FALSE(app_.Messages().empty());
        const auto& fragen = app_.Messages();
        auto frage = std::find_if(fragen.rbegin(), fragen.rend(),
                                  [](const auto& m) { return m.buttons != MessageButtons::Ok; });
        ASSERT_NE(frage, fragen.rend());
        EXPECT_EQ(frage->caption, caption);
        EXPECT_EQ(frage->defaultButton, standard) << frage->text;
        EXPECT_EQ(app_.PendingAnswers(), 0u);
    }

    std::int32_t kunde_ = 0;
    std::int32_t rechnung_ = 0;
};

TEST_F(StandardknopfTest, AStrayEnterOnADestructiveQuestionDestroysNothing) {
    const std::string kunden = ReadBytes("daten/kunden.dat");
    const std::string rechnungen = ReadBytes("daten/rechnungen.dat");

    // Deleting a customer from the hit list.
    AlleKunden alle(Kv());
    FakeWindow& treffer = Oeffnen<KundenListe>(alle, V(), false);
    ASSERT_TRUE(treffer.PickRow(KundenListe::kListe, 0));
    app_.AnswerWithEnter();
    treffer.Click(KundenListe::kLoeschen);
    ErwarteEnter("Vorgang Kunde löschen"_w, Answer::No);
    EXPECT_EQ(app_.LastMessage().text, "Der Kunde verbleibt im Datenbestand");
    EXPECT_EQ(treffer.RowCount(KundenListe::kListe), 2);

    // Overwriting a customer with changed data, and leaving the form with
    // unsaved input.
    Kunde meier = *Kv().GetKunde(kunde_);
    FakeWindow& aendern = Oeffnen<KundenDialog>(KundenDialog::kAendern, V(), &meier);
    aendern.Type(104, "Neuer Weg 5");
    app_.AnswerWithEnter();
    aendern.Click(122);
    ErwarteEnter("Vorgang Kundendaten verändern"_w, Answer::No);
    FakeWindow& neu = Oeffnen<KundenDialog>(KundenDialog::kErfassen, V());
    neu.Type(103, "Ungespeichert");
    app_.AnswerWithEnter();
    neu.Click(ControlId::kOk);
    ErwarteEnter("Dialog beenden", Answer::No);
    EXPECT_FALSE(neu.IsClosed());
    EXPECT_EQ(neu.Text(103), "Ungespeichert");

    // The import that replaces every customer.
    WriteBytes("kunden.csv", "Eva Groß;Weg 2;55116;Mainz;;;\r\n"_w);
    neu.Type(110, "import csv");
    app_.AnswerWithEnter();
    neu.Click(122);
    ErwarteEnter("KundenDialog::CmStore()", Answer::No);

    // Deleting an invoice: both Yes and No delete it, so Enter cancels.
    AlleRechnungen server(Rv(), kunde_);
    FakeWindow& liste = Oeffnen<RechnungsListe>(server, V(), Kv().GetKunde(kunde_));
    ASSERT_TRUE(liste.PickRow(RechnungsListe::kListe, 0));
    app_.AnswerWithEnter();
    liste.Click(RechnungsListe::kLoeschen);
    ErwarteEnter("Vorgang Rechnung löschen"_w, Answer::Cancel);
    EXPECT_EQ(app_.LastMessage().text, "Es wurde keine Rechnung gelöscht"_w);
    EXPECT_EQ(liste.RowCount(RechnungsListe::kListe), 2);

    // Typed changes in the invoice list and in the invoice editor stay when
    // another row is picked.
    liste.Type(RechnungsListe::kEingegangen, "12,60");
    app_.AnswerWithEnter();
    EXPECT_FALSE(liste.PickRow(RechnungsListe::kListe, 1));
    ErwarteEnter("Neuen Tabelleneintrag wählen"_w, Answer::No);
    EXPECT_EQ(liste.Text(RechnungsListe::kEingegangen), "12,60");

    Rechnung* r = Rv().GetRechnung(rechnung_);
    FakeWindow& editor = Oeffnen<WeinListe>(V(), *Kv().GetKunde(kunde_), r);
    editor.Type(WeinListe::kWeinNummer, "3");
    editor.Type(WeinListe::kBestellmenge, "9");
    app_.AnswerWithEnter();
    EXPECT_FALSE(editor.PickRow(WeinListe::kListe, 1));
    ErwarteEnter("Neuen Tabelleneintrag wählen"_w, Answer::No);
    EXPECT_EQ(editor.Text(WeinListe::kBestellmenge), "9");

    // The maintenance words that replace or change the catalogue.
    FakeWindow& weine = Oeffnen<WeinListe>(V(), WeinListe::Modus::Weinliste);
    for (const char* wort : {"import weine", "generate missing data"}) {
        weine.Type(WeinListe::kName, wort);
        app_.AnswerWithEnter();
        weine.Click(WeinListe::kSpeichern);
        ErwarteEnter("WeinListe::CmStore()", Answer::No);
    }

    // Nothing reached the disk.
    EXPECT_EQ(ReadBytes("daten/kunden.dat"), kunden);
    EXPECT_EQ(ReadBytes("daten/rechnungen.dat"), rechnungen);
    Neustart();
    EXPECT_EQ(Kv().Count(), 2u);
    EXPECT_EQ(Bestand(3), 94);
    EXPECT_EQ(Bestand(7), 98);
}

}  // namespace
