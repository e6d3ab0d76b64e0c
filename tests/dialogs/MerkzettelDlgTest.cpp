#include "dialogs/MerkzettelDlg.h"

#include <gtest/gtest.h>

#include <memory>

#include "dialogs/Hauptfenster.h"
#include "storage/CodePage.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "windowing/FakeServices.h"

namespace {

std::string FixedTextOf(const MerkzettelVerwaltung::MerkzettelIntern& notiz) {
    return std::string(notiz.text);
}

std::string TextImFile(std::size_t index) {
    std::string bytes = ReadBytes("daten/merkzettel.dat");
    std::string text = bytes.substr(index * 308, 300);
    return text.substr(0, text.find('\0'));
}

class MerkzettelTest : public ::testing::Test {
  protected:
    MerkzettelTest() { app_->SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252); }

    // Starts the notes as the main window does: a window for every note.
    void Start() {
        verwaltung_ = std::make_unique<MerkzettelVerwaltung>("daten/merkzettel.dat");
        fenster_ = std::make_unique<Hauptfenster>(verwaltungen_, *app_);
        fenster_->SetMerkzettel(verwaltung_.get());
    }
    // Ends the program: the windows go before the manager.
    void Ende() {
        app_ = std::make_unique<FakeServices>();
        app_->SetLayoutDir(REBKONTOR_LAYOUTS, CodePage::Utf8ToCp1252);
        fenster_.reset();
        verwaltung_.reset();
    }

    TempDir dir_{true};
    Verwaltungen verwaltungen_;
    // The windows go before the manager they write to.
    std::unique_ptr<MerkzettelVerwaltung> verwaltung_;
    std::unique_ptr<FakeServices> app_ = std::make_unique<FakeServices>();
    std::unique_ptr<Hauptfenster> fenster_;
};

TEST_F(MerkzettelTest, NewNoteOpensAWindowNearTheOriginAndIsInTheFileAtOnce) {
    Start();
    EXPECT_TRUE(app_->OpenWindows().empty());
    fenster_->Befehl(51692);
    fenster_->Befehl(51692);
    auto fenster = app_->OpenWindows();
    ASSERT_EQ(fenster.size(), 2u);
    FakeWindow& w = *fenster[0];
    EXPECT_EQ(w.Caption(), "Merkzettel");
    EXPECT_EQ(w.Text(101), "<< neuer Merkzettel >>");
    EXPECT_EQ(w.Limit(101), 254);
    EXPECT_GE(w.X(), 0);
    EXPECT_LT(w.X(), 300);
    EXPECT_GE(w.Y(), 0);
    EXPECT_LT(w.Y(), 250);
    EXPECT_EQ(FileSize("daten/merkzettel.dat"), 2 * 308);
    EXPECT_EQ(TextImFile(1), "<< neuer Merkzettel >>");
}

TEST_F(MerkzettelTest, TypingIsWrittenAfterAPauseOrWhenTheFocusLeaves) {
    Start();
    fenster_->NeuerMerkzettel();
    FakeWindow& w = *app_->OpenWindows()[0];
    w.Type(101, "Korken bestellen");
    EXPECT_EQ(FixedTextOf((*verwaltung_)[0]), "Korken bestellen");
    EXPECT_TRUE(w.TimerRunning(1));
    EXPECT_EQ(TextImFile(0), "<< neuer Merkzettel >>");
    w.FireTimer(1);
    EXPECT_FALSE(w.TimerRunning(1));
    EXPECT_EQ(TextImFile(0), "Korken bestellen");

    w.Type(101, "Korken und Etiketten bestellen");
    w.Blur(101);
    EXPECT_EQ(TextImFile(0), "Korken und Etiketten bestellen");

    w.Type(101, std::string(300, 'x'));  // the field holds 254
    w.Blur(101);
    EXPECT_EQ(TextImFile(0), std::string(254, 'x'));
}

TEST_F(MerkzettelTest, TextAndPositionSurviveARestart) {
    Start();
    fenster_->NeuerMerkzettel();
    FakeWindow& w = *app_->OpenWindows()[0];
    w.Type(101, "Kunde Weber anrufen");
    w.MoveTo(640, 120);
    EXPECT_EQ((*verwaltung_)[0].x, 640);
    Ende();  // before any timer: the window writes what it has

    Start();
    auto fenster = app_->OpenWindows();
    ASSERT_EQ(fenster.size(), 1u);
    EXPECT_EQ(fenster[0]->Text(101), "Kunde Weber anrufen");
    EXPECT_EQ(fenster[0]->X(), 640);
    EXPECT_EQ(fenster[0]->Y(), 120);
    // Putting the window back where it was is no change.
    EXPECT_FALSE(dynamic_cast<MerkzettelDlg&>(fenster[0]->Logic()).Geaendert());
}

TEST_F(MerkzettelTest, DiscardedAndEmptiedNotesAreGoneAfterTheNextStart) {
    Start();
    for (int i = 0; i < 4; ++i) {
        fenster_->NeuerMerkzettel();
    }
    auto fenster = app_->OpenWindows();
    fenster[0]->Type(101, "bleibt");
    fenster[1]->Click(2);  // Verwerfen
    EXPECT_TRUE(fenster[1]->IsClosed());
    EXPECT_EQ(TextImFile(1), "");
    fenster[2]->Type(101, "");
    fenster[3]->Click(2);
    EXPECT_EQ(app_->OpenWindows().size(), 2u);
    Ende();
    EXPECT_EQ(FileSize("daten/merkzettel.dat"), 308);
    EXPECT_EQ(TextImFile(0), "bleibt");

    Start();
    ASSERT_EQ(app_->OpenWindows().size(), 1u);
    EXPECT_EQ(app_->OpenWindows()[0]->Text(101), "bleibt");
}

}  // namespace
