#include "dialogs/WeinListe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/DruckDialog.h"
#include "dialogs/Eingabefelder.h"
#include "dialogs/Hauptfenster.h"
#include "dialogs/Hauptmenue.h"
#include "model/Datenbestand.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/ByteReader.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/IoFaults.h"
#include "support/DialogFixture.h"
#include "support/FileBytes.h"

namespace {

using W = WeinListe;

// The records of a data file as they are on disk now.
template <typename T>
std::vector<T> VonPlatte(const std::string& datei) {
    const std::string bytes = FileExists(datei) ? ReadBytes(datei) : std::string();
    std::vector<T> saetze;
    for (std::size_t pos = 0; pos + T::DiskSize <= bytes.size(); pos += T::DiskSize) {
        T satz;
        ByteReader in(std::string_view(bytes).substr(pos, T::DiskSize));
        in >> satz;
        saetze.push_back(satz);
    }
    return saetze;
}

std::vector<Wein> WeineAufPlatte() {
    return VonPlatte<Wein>("daten/weinliste.dat");
}

// The record with that number, copied out of the list.
template <typename T>
std::optional<T> Suche(const std::vector<T>& saetze, std::int32_t nummer) {
    for (const T& satz : saetze) {
        if (satz.Key() == nummer) {
            return satz;
        }
    }
    return std::nullopt;
}

// The live items of an invoice in the item file on disk.
std::vector<PostenVerwaltung::Posten> PostenAufPlatte(std::int32_t rechnung) {
    std::vector<PostenVerwaltung::Posten> live;
    for (const auto& p : VonPlatte<PostenVerwaltung::Posten>("daten/rechnungsposten.dat")) {
        if (p.rechnung == rechnung) {
            live.push_back(p);
        }
    }
    return live;
}

const std::string kStockMeldung = "Der Bestand beträgt nur noch 5 Flaschen"_w;
const std::string kPostenHinzufuegen = "Posten hinzufügen"_w;

// The shared data set, with four price lists and three wines on request;
// the clock stands at 1 March 2002.
class WeinListeTest : public DialogFixture {
  protected:
    PreisVerwaltung& Preise() { return *V().preisVerwaltung; }

    void Wein_(std::int32_t nummer, const char* name, std::int32_t bestand,
               bool verborgen = false) {
        Wv().AddWein(nummer);
        Wein* w = Wv().GetWein(nummer);
        FixedText::Set(w->name, name);
        w->bestand = bestand;
        w->gewicht = 1200;
        w->verborgen = verborgen ? 1 : 0;
        Wv().Store(w);
        Wv().Sort();
    }
    void Preis_(int liste, std::int32_t wein, float dm, float euro) {
        Preise().SetPreisliste(liste);
        Preise().AddPreis(Preis(wein, dm, euro));
        Preise().FlushPreisliste();
    }
    Kunde Kunde_(std::int16_t preisliste) {
        Kunde kunde;
        FixedText::Set(kunde.Nachname, "Winzer");
        kunde.preisliste = preisliste;
        V().kundenVerwaltung->AddKunde(kunde);
        return kunde;
    }
    // Four price lists, wines 3 (stock 5), 7 (stock 40) and 9 (hidden), with
    // prices for 3 and 7 in list 0 and for 3 in list 1.
    void Grunddaten() {
        for (const char* name : {"Privat", "Handel", "Export", "Hof"}) {
            Preise().AddPreisliste(name);
        }
        Wein_(3, "Riesling", 5);
        Wein_(7, "Silvaner", 40);
        Wein_(9, "Dornfelder", 12, true);
        Preis_(0, 3, 9.5f, 4.86f);
        Preis_(0, 7, 7.0f, 3.58f);
        Preis_(1, 3, 11.0f, 5.62f);
    }

    FakeWindow& Modus(WeinListe::Modus modus) { return Oeffnen<WeinListe>(V(), modus); }
    FakeWindow& Rechnung_(const Kunde& kunde, Rechnung* rechnung = nullptr,
                          bool vollstaendig = true) {
        return Oeffnen<WeinListe>(V(), kunde, rechnung, vollstaendig);
    }
    static WeinListe& Dialog_(FakeWindow& w) { return Logik<WeinListe>(w); }
    // Destroys the dialog opened last, as its caller would after the run.
    void Zerstoeren() { dialoge_.pop_back(); }

    FixedClock maerz_{1, 3, 2002, 10, 0, 0};

    std::vector<std::string> Zeilen(FakeWindow& w) {
        std::vector<std::string> zeilen;
        for (int i = 0; i < w.RowCount(W::kListe); ++i) {
            zeilen.push_back(w.RowText(W::kListe, i));
        }
        return zeilen;
    }
    static std::vector<std::string> Titel(FakeWindow& w) {
        std::vector<std::string> titel;
        for (const auto& c : w.Columns(W::kListe)) {
            titel.push_back(c.title);
        }
        return titel;
    }
    static std::vector<int> Breiten(FakeWindow& w) {
        std::vector<int> breiten;
        for (const auto& c : w.Columns(W::kListe)) {
            breiten.push_back(c.width);
        }
        return breiten;
    }
    // The row of a wine, or -1.
    int Zeile(FakeWindow& w, std::int32_t wein) {
        for (int i = 0; i < w.RowCount(W::kListe); ++i) {
            if (w.RowText(W::kListe, i) == std::to_string(wein)) {
                return i;
            }
        }
        return -1;
    }
    void Posten(FakeWindow& w, std::int32_t wein, const std::string& menge) {
        w.Type(W::kWeinNummer, std::to_string(wein));
        w.Type(W::kBestellmenge, menge);
        w.Click(W::kSpeichern);
    }
};

TEST_F(WeinListeTest, WineListStoresReplacesHidesAndFindsWinesOnDisk) {
    Wein_(5, "Kerner", 30);
    FakeWindow& w = Modus(WeinListe::Modus::Weinliste);

    // Only the wine fields, the list and the two wine buttons.
    for (int id : {W::kRechnungNr,
                   W::kKartons,
                   W::kSteigen,
                   W::kVollstaendig,
                   W::kTag,
                   W::kMonat,
                   W::kJahr,
                   W::kSumme,
                   W::kBeglichen,
                   W::kEingegangen,
                   W::kBemerkung,
                   W::kAenderungSpeichern,
                   ControlId::kCancel,
                   W::kHeute,
                   W::kDatumLeeren,
                   W::kPreisDM,
                   W::kPreisEuro,
                   W::kBestellmenge,
                   W::kPreislisten,
                   W::kBildPreisliste,
                   W::kBildRechnung}) {
        EXPECT_FALSE(w.IsShown(id)) << id;
    }
    for (int id : {W::kWeinNummer, W::kName, W::kBezeichnung, W::kFuellmenge, W::kBestand,
                   W::kGewicht, W::kSpeichern, W::kLoeschen, ControlId::kOk, W::kBildWeinliste}) {
        EXPECT_TRUE(w.IsShown(id)) << id;
    }
    EXPECT_TRUE(w.IsEnabled(W::kName));
    EXPECT_EQ(w.Text(W::kSpeichern), "Wein speichern");
    EXPECT_EQ(w.Text(W::kLoeschen), "Wein verbergen");
    EXPECT_EQ(Titel(w), (std::vector<std::string>{"Nr.", "Name", "Bezeichnung", "Füllmenge"_w,
                                                  "Bestand", "Gewicht", ""}));
    EXPECT_EQ(Breiten(w), (std::vector<int>{45, 210, 210, 60, 60, 60, 170}));
    EXPECT_EQ(w.Limit(W::kWeinNummer), 4);
    EXPECT_EQ(w.Limit(W::kName), 59);
    EXPECT_EQ(w.Limit(W::kFuellmenge), 9);
    EXPECT_EQ(w.Cell(W::kListe, 0, 6), std::string(19, ' '));

    // Wine 17 with an empty name is created, and sorted in.
    w.Type(W::kWeinNummer, "17");
    w.Click(W::kSpeichern);
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"5", "17"}));
    ASSERT_TRUE(Suche(WeineAufPlatte(), 17).has_value());
    EXPECT_EQ(WeineAufPlatte().back().nummer, 17);

    // Hiding removes its row at once and reaches the file; typing the
    // number still finds it.
    w.Click(W::kLoeschen);
    EXPECT_EQ(Zeilen(w), std::vector<std::string>{"5"});
    EXPECT_EQ(Suche(WeineAufPlatte(), 17)->verborgen, 1);
    w.Type(W::kWeinNummer, "");
    w.Type(W::kWeinNummer, "17");
    EXPECT_EQ(w.Text(W::kGewicht), "0");

    // Storing it again replaces every field and shows it again.
    w.Type(W::kName, "Grauburgunder");
    w.Type(W::kBezeichnung, "2001er Spätlese trocken"_w);
    w.Type(W::kFuellmenge, "0,75 l");
    w.Type(W::kBestand, "120");
    w.Type(W::kGewicht, "1300");
    w.Click(W::kSpeichern);
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"5", "17"}));
    const std::vector<Wein> platte = WeineAufPlatte();
    const std::optional<Wein> wein = Suche(platte, 17);
    ASSERT_TRUE(wein.has_value());
    EXPECT_EQ(FixedText::Get(wein->name), "Grauburgunder");
    EXPECT_EQ(FixedText::Get(wein->bezeichnung), "2001er Spätlese trocken"_w);
    EXPECT_EQ(FixedText::Get(wein->fuellmenge), "0,75 l");
    EXPECT_EQ(wein->bestand, 120);
    EXPECT_EQ(wein->gewicht, 1300);
    EXPECT_EQ(wein->verborgen, 0);
    EXPECT_EQ(wein->datum, static_cast<std::int32_t>(Datum(1, 3, 2002).Julian()));

    // Cells on request, rows alternating light green and white.
    EXPECT_EQ(w.Cell(W::kListe, 1, 1), "Grauburgunder");
    EXPECT_EQ(w.Cell(W::kListe, 1, 3), "0,75 l");
    EXPECT_EQ(w.Cell(W::kListe, 1, 4), "120");
    EXPECT_EQ(w.Cell(W::kListe, 1, 5), "1300");
    EXPECT_EQ(w.RowColour(W::kListe, 0), (Rgb{192, 255, 192}));
    EXPECT_EQ(w.RowColour(W::kListe, 1), (Rgb{255, 255, 255}));

    // A click loads the wine but never keeps a selected row; nothing was
    // typed into the order quantity, so nobody is asked.
    EXPECT_FALSE(w.PickRow(W::kListe, 0));
    EXPECT_TRUE(w.SelectedRows(W::kListe).empty());
    EXPECT_EQ(w.Text(W::kWeinNummer), "5");
    EXPECT_EQ(w.Text(W::kName), "Kerner");
    EXPECT_TRUE(app_.Messages().empty());

    // A row whose wine went missing is a fault of the catalogue.
    Wv().GetWein(17)->nummer = 18;
    EXPECT_THROW(w.Cell(W::kListe, 1, 1), std::exception);
}

TEST_F(WeinListeTest, ARowClickedOverATypedWineOrPriceAsksFirst) {
    Wein_(5, "Kerner", 30);
    {
        FakeWindow& w = Modus(WeinListe::Modus::Weinliste);
        w.Type(W::kWeinNummer, "999");
        w.Type(W::kName, "Testwein");
        w.Type(W::kBestand, "12");
        app_.Answer(Answer::No);
        w.PickRow(W::kListe, 0);
        EXPECT_EQ(app_.LastMessage().caption, "Neuen Tabelleneintrag wählen"_w);
        EXPECT_EQ(w.Text(W::kName), "Testwein");
        EXPECT_EQ(w.Text(W::kWeinNummer), "999");
        // Loading a wine is not typing: the next click asks nothing more.
        app_.Answer(Answer::Yes);
        w.PickRow(W::kListe, 0);
        EXPECT_EQ(w.Text(W::kName), "Kerner");
        app_.ClearMessages();
        w.PickRow(W::kListe, 0);
        EXPECT_TRUE(app_.Messages().empty());
        w.Close(ControlId::kCancel);
    }
    Preise().AddPreisliste("Privat");
    FakeWindow& p = Modus(WeinListe::Modus::Preisliste);
    p.PickRow(W::kListe, 0);
    p.Type(W::kPreisEuro, "7,50");
    app_.Answer(Answer::No);
    p.PickRow(W::kListe, 0);
    EXPECT_EQ(app_.LastMessage().caption, "Neuen Tabelleneintrag wählen"_w);
    EXPECT_EQ(p.Text(W::kPreisEuro), "7,50");
    EXPECT_EQ(app_.PendingAnswers(), 0u);
}

TEST_F(WeinListeTest, MaintenanceWordsOfTheNameField) {
    Wein_(1, "Kerner", 30);
    Wein_(2, "Bacchus", 30);
    FakeWindow& w = Modus(WeinListe::Modus::Weinliste);

    // Without the old version's files the catalogue stays as it was.
    w.Type(W::kName, "import weine");
    app_.Answer(Answer::Yes);
    w.Click(W::kSpeichern);
    EXPECT_EQ(app_.Messages().front().caption, "WeinListe::CmStore()");
    EXPECT_EQ(app_.LastMessage().text,
              "Die Datei daten_alt/wl konnte nicht geöffnet werden (die Datei gibt es nicht). Die "
              "Weinliste bleibt unverändert."_w);
    EXPECT_EQ(app_.Cursors(), (std::vector<std::string>{"wait", "arrow"}));
    EXPECT_EQ(WeineAufPlatte().size(), 2u);

    // Generated stock and weight are on disk when the notice says done.
    app_.ClearMessages();
    w.Type(W::kName, "generate missing data");
    app_.Answer(Answer::No);
    w.Click(W::kSpeichern);
    EXPECT_EQ(Suche(WeineAufPlatte(), 1)->bestand, 30);
    app_.Answer(Answer::Yes);
    w.Click(W::kSpeichern);
    EXPECT_EQ(app_.Messages()[1].text,
              "Soll die alte Wein- und Preisliste verändert werden? VORSICHT: Dabei gehen teile "
              "der bisher eingegebenen Daten verloren!");
    EXPECT_EQ(app_.LastMessage().text, "Die alte Weinliste wurde importiert");
    for (const Wein& wein : WeineAufPlatte()) {
        EXPECT_GE(wein.bestand, 100);
        EXPECT_LE(wein.bestand, 1099);
        EXPECT_GE(wein.gewicht, 1000);
        EXPECT_LE(wein.gewicht, 2999);
    }
    EXPECT_EQ(WeineAufPlatte().size(), 2u);  // and no wine was stored under the word
}

TEST_F(WeinListeTest, PriceListStoresPricesWithCommaOrPointPerList) {
    Grunddaten();
    FakeWindow& w = Modus(WeinListe::Modus::Preisliste);
    EXPECT_EQ(Preise().Current(), 0);
    EXPECT_EQ(w.Items(W::kPreislisten),
              (std::vector<std::string>{"Privat", "Handel", "Export", "Hof"}));
    EXPECT_EQ(w.Selected(W::kPreislisten), 0);
    for (int id : {W::kBestellmenge, W::kLoeschen, W::kRechnungNr, W::kBemerkung, W::kBildWeinliste,
                   W::kBildRechnung}) {
        EXPECT_FALSE(w.IsShown(id)) << id;
    }
    for (int id : {W::kPreisDM, W::kPreisEuro, W::kPreislisten, W::kBildPreisliste}) {
        EXPECT_TRUE(w.IsShown(id)) << id;
    }
    for (int id : {W::kName, W::kBezeichnung, W::kFuellmenge, W::kBestand, W::kGewicht}) {
        EXPECT_FALSE(w.IsEnabled(id)) << id;
    }
    EXPECT_EQ(Titel(w), (std::vector<std::string>{"Nr.", "Name", "Bezeichnung", "Füllmenge"_w,
                                                  "Bestand", "Gewicht", "Preis DM", "Preis Euro"}));
    EXPECT_EQ(Breiten(w), (std::vector<int>{45, 210, 210, 60, 60, 0, 70, 70}));
    EXPECT_EQ(w.Columns(W::kListe)[6].align, Align::Right);
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"3", "7"}));  // 9 is hidden

    // A German price with a decimal comma, the Euro price with a point.
    w.Type(W::kWeinNummer, "7");
    EXPECT_EQ(w.Text(W::kPreisDM), "7.00");
    EXPECT_EQ(w.Text(W::kPreisEuro), "3.58");
    w.Type(W::kPreisDM, "12,50");
    w.Type(W::kPreisEuro, "6.40");
    w.Click(W::kSpeichern);
    EXPECT_EQ(w.Cell(W::kListe, 1, 6), "12.50");
    std::optional<Preis> preis = Suche(VonPlatte<Preis>("daten/0.wl"), 7);
    ASSERT_TRUE(preis.has_value());
    EXPECT_FLOAT_EQ(preis->preisDM, 12.5f);
    EXPECT_FLOAT_EQ(preis->preisEuro, 6.4f);

    // Another list: its own prices; no notice outside invoices.
    w.Choose(W::kPreislisten, 1);
    EXPECT_EQ(Preise().Current(), 1);
    EXPECT_EQ(w.Cell(W::kListe, 0, 6), "11.00");
    EXPECT_EQ(w.Cell(W::kListe, 1, 6), "N/A");
    EXPECT_TRUE(app_.Messages().empty());

    // A price for a number without a wine creates its record all the same.
    w.Type(W::kWeinNummer, "99");
    EXPECT_EQ(w.Text(W::kName), "");
    EXPECT_EQ(w.Text(W::kPreisDM), "");
    w.Type(W::kPreisDM, "3,2");
    w.Type(W::kPreisEuro, "1,6");
    w.Click(W::kSpeichern);
    preis = Suche(VonPlatte<Preis>("daten/1.wl"), 99);
    ASSERT_TRUE(preis.has_value());
    EXPECT_FLOAT_EQ(preis->preisDM, 3.2f);
    EXPECT_FLOAT_EQ(preis->preisEuro, 1.6f);
    EXPECT_FALSE(Suche(VonPlatte<Preis>("daten/0.wl"), 99).has_value());
}

TEST_F(WeinListeTest, NewInvoiceIsAssembledStoredAndPrinted) {
    Grunddaten();
    V().customizer->preiseInEuro = 1;
    const Kunde kunde = Kunde_(1);
    const std::int32_t id = Rv().Anzahl();
    FakeWindow& w = Rechnung_(kunde);

    // Set-up: the customer's list, the remark for list 1, an empty header.
    EXPECT_EQ(w.Selected(W::kPreislisten), 1);
    EXPECT_EQ(Preise().Current(), 1);
    EXPECT_EQ(w.Text(W::kBemerkung), std::string(Customizer::kStandardBemerkung) + " LKW / NO/S");
    EXPECT_EQ(w.Text(W::kRechnungNr), std::to_string(id));
    EXPECT_EQ(w.Text(W::kKartons), "0");
    EXPECT_EQ(w.Text(W::kSteigen), "0");
    EXPECT_EQ(w.Text(W::kEingegangen), "0.00");
    EXPECT_EQ(w.Text(W::kSumme), "0.00");
    EXPECT_EQ(w.Text(W::kTag), "");
    EXPECT_EQ(w.Text(W::kJahr), "");
    EXPECT_FALSE(w.IsShown(ControlId::kCancel));
    EXPECT_FALSE(w.IsShown(W::kAenderungSpeichern));
    EXPECT_TRUE(w.IsShown(ControlId::kOk));
    EXPECT_TRUE(w.IsShown(W::kBildRechnung));
    EXPECT_FALSE(w.IsShown(W::kBildWeinliste));
    EXPECT_FALSE(w.IsEnabled(W::kName));
    EXPECT_FALSE(w.IsEnabled(W::kSumme));
    EXPECT_TRUE(w.IsChecked(W::kVollstaendig));
    EXPECT_EQ(w.FocusedControl(), W::kWeinNummer);
    EXPECT_EQ(Titel(w),
              (std::vector<std::string>{"Nr.", "Name", "Bezeichnung", "Füllmenge"_w, "Bestand",
                                        "Gewicht", "Preis DM", "Preis Euro", "Best.Menge"}));
    EXPECT_EQ(Breiten(w), (std::vector<int>{45, 210, 210, 0, 0, 0, 70, 70, 80}));
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"3", "7"}));
    EXPECT_TRUE(app_.Messages().empty());

    // Stock 5: 6 bottles are refused and the field offers 5; 5 are taken.
    w.Type(W::kWeinNummer, "3");
    EXPECT_EQ(w.Text(W::kPreisDM), "11.00");
    EXPECT_EQ(w.Text(W::kBestellmenge), "");
    w.Type(W::kBestellmenge, "6");
    w.Click(W::kSpeichern);
    EXPECT_EQ(app_.LastMessage().text, kStockMeldung);
    EXPECT_EQ(app_.LastMessage().caption, kPostenHinzufuegen);
    EXPECT_EQ(w.Text(W::kBestellmenge), "5");
    EXPECT_TRUE(PostenAufPlatte(id).empty());
    w.Click(W::kSpeichern);
    EXPECT_EQ(Wv().GetWein(3)->bestand, 0);
    EXPECT_EQ(Suche(WeineAufPlatte(), 3)->bestand, 0);
    EXPECT_EQ(w.Text(W::kWeinNummer), "");
    EXPECT_EQ(w.Text(W::kSumme), "28.10");  // 5 x 5.62 Euro
    EXPECT_EQ(w.Cell(W::kListe, 0, 8), "5");
    EXPECT_EQ(w.Cell(W::kListe, 1, 8), "N/A");

    // A quantity beyond the item's 16 bits, 0, and an unknown wine store
    // nothing.
    app_.ClearMessages();
    Posten(w, 7, "40000");
    EXPECT_EQ(app_.LastMessage().text,
              "Die Bestellmenge 40000 ist zu groß: ein Posten kann höchstens 32767 Flaschen "
              "umfassen. Es wurde nichts gespeichert."_w);
    EXPECT_EQ(w.FocusedControl(), W::kBestellmenge);
    Posten(w, 7, "0");
    EXPECT_EQ(w.FocusedControl(), W::kBestellmenge);
    EXPECT_EQ(app_.Messages().size(), 1u);
    Posten(w, 8, "1");
    EXPECT_EQ(app_.LastMessage().text, "Ein Wein mit dieser Nummer konnte nicht gefunden werden.");
    EXPECT_EQ(app_.LastMessage().caption, "Posten speichern");
    EXPECT_EQ(PostenAufPlatte(id).size(), 1u);
    EXPECT_EQ(Wv().GetWein(7)->bestand, 40);

    // Wine 7 has no price in list 1: the fields stay empty and the item is
    // stored at what the user typed, comma or not.
    w.Type(W::kWeinNummer, "7");
    EXPECT_EQ(w.Text(W::kPreisDM), "");
    EXPECT_EQ(w.Text(W::kPreisEuro), "");
    w.Type(W::kPreisDM, "8,40");
    w.Type(W::kPreisEuro, "4,30");
    w.Type(W::kBestellmenge, "12");
    w.Click(W::kSpeichern);
    EXPECT_EQ(w.Text(W::kSumme), "79.70");  // 28.10 + 12 x 4.30

    // Loading another row over a typed quantity asks first.
    w.Type(W::kWeinNummer, "7");
    EXPECT_EQ(w.Text(W::kBestellmenge), "12");
    w.Type(W::kBestellmenge, "13");
    app_.Answer(Answer::No);
    EXPECT_FALSE(w.PickRow(W::kListe, 0));
    EXPECT_EQ(app_.LastMessage().caption, "Neuen Tabelleneintrag wählen"_w);
    EXPECT_EQ(w.Text(W::kWeinNummer), "7");
    app_.Answer(Answer::Yes);
    w.PickRow(W::kListe, 0);
    EXPECT_EQ(w.Text(W::kWeinNummer), "3");
    EXPECT_EQ(w.Text(W::kBestellmenge), "5");

    // A third wine and then its deletion give the bottles back.
    Wein_(11, "Scheurebe", 24);
    Posten(w, 11, "2");
    EXPECT_EQ(Wv().GetWein(11)->bestand, 22);
    w.Type(W::kWeinNummer, "11");
    w.Click(W::kLoeschen);
    EXPECT_EQ(Wv().GetWein(11)->bestand, 24);
    EXPECT_EQ(w.Text(W::kSumme), "79.70");
    EXPECT_EQ(w.FocusedControl(), W::kWeinNummer);
    Posten(w, 11, "1");

    // The header, with a German amount received and today's date.
    w.Type(W::kKartons, "2");
    w.Type(W::kSteigen, "1");
    w.Type(W::kRechnungNr, "4711");
    w.Type(W::kEingegangen, "50,25");
    w.Click(W::kHeute);
    EXPECT_EQ(w.Text(W::kTag), "1");
    EXPECT_EQ(w.Text(W::kMonat), "3");
    EXPECT_EQ(w.Text(W::kJahr), "2002");
    w.Click(W::kBeglichen);
    w.Type(W::kBemerkung, "Frei Haus");

    // Stored with OK, printed to the screen.
    app_.ClearMessages();
    app_.Answer(Answer::Yes);
    app_.OnExecute([](FakeWindow& druck) {
        druck.Click(DruckDialog::kInterneRechnung);
        druck.Click(DruckDialog::kPackliste);
        druck.Click(DruckDialog::kBildschirm);
        druck.Click(ControlId::kOk);
    });
    w.Click(ControlId::kOk);
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), ControlId::kOk);
    EXPECT_EQ(app_.LastMessage().text, "Soll die Rechnung gleich gedruckt werden?");
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung drucken");
    EXPECT_EQ(app_.Executed(), std::vector<int>{DruckDialog::kResource});
    ASSERT_EQ(app_.Previews().size(), 1u);
    EXPECT_TRUE(app_.Printed().empty());
    EXPECT_EQ(Rv().Reserviert(), nullptr);
    Zerstoeren();  // closing stores nothing more

    const std::vector<Rechnung> rechnungen = VonPlatte<Rechnung>("daten/rechnungen.dat");
    ASSERT_EQ(rechnungen.size(), static_cast<std::size_t>(id + 1));
    const Rechnung& r = rechnungen.back();
    EXPECT_EQ(r.id, id);
    EXPECT_EQ(r.nummer, 4711);
    EXPECT_EQ(r.kunde, kunde.nummer);
    EXPECT_EQ(r.kartons, 2);
    EXPECT_EQ(r.steigen, 1);
    EXPECT_FLOAT_EQ(r.betragEingegangen, 50.25f);
    EXPECT_EQ(r.beglichen, 1);
    EXPECT_EQ(r.datum, Datum(1, 3, 2002).Julian());
    EXPECT_EQ(FixedText::Get(r.bemerkung), "Frei Haus");
    const auto posten = PostenAufPlatte(id);
    ASSERT_EQ(posten.size(), 3u);  // in file order; the deleted one is not live
    EXPECT_EQ(posten[0].weinNummer, 3);
    EXPECT_EQ(posten[0].menge, 5);
    EXPECT_FLOAT_EQ(posten[0].preisDM, 11.0f);
    EXPECT_EQ(posten[1].weinNummer, 7);
    EXPECT_EQ(posten[1].menge, 12);
    EXPECT_FLOAT_EQ(posten[1].preisDM, 8.4f);
    EXPECT_FLOAT_EQ(posten[1].preisEuro, 4.3f);
    EXPECT_EQ(posten[2].weinNummer, 11);
    EXPECT_EQ(posten[2].menge, 1);
    EXPECT_EQ(Suche(WeineAufPlatte(), 7)->bestand, 28);
}

TEST_F(WeinListeTest, NewInvoiceIsTitledEnterInTheHeaderMovesOnAndBadInputIsRefused) {
    Grunddaten();
    Kunde kunde;
    FixedText::Set(kunde.Anrede, "Herr");
    FixedText::Set(kunde.Vorname, "Karl");
    FixedText::Set(kunde.Nachname, "Müller"_w);
    FixedText::Set(kunde.Ort, "Alzey");
    Kv().AddKunde(kunde);
    FakeWindow& w = Rechnung_(kunde);
    const Rechnung& reserviert = *Dialog_(w).GetRechnung();
    const std::int32_t id = reserviert.id;
    EXPECT_EQ(w.Caption(),
              "Rechnung " + std::to_string(reserviert.nummer) + " – Herr Karl Müller, Alzey"_w);

    // Enter in the header moves on, even with a wine and a quantity typed;
    // in the quantity it stores the item, as the default button does.
    w.Type(W::kWeinNummer, "3");
    w.Type(W::kBestellmenge, "2");
    for (int feld : {W::kBemerkung, W::kTag, W::kMonat, W::kJahr, W::kEingegangen, W::kKartons,
                     W::kRechnungNr}) {
        w.PressEnter(feld);
        EXPECT_NE(w.FocusedControl(), feld);
    }
    EXPECT_TRUE(app_.Messages().empty());
    EXPECT_TRUE(PostenAufPlatte(id).empty());
    w.PressEnter(W::kBestellmenge);
    EXPECT_EQ(PostenAufPlatte(id).size(), 1u);

    // A negative price is refused; nothing is stored and no stock moves.
    w.Type(W::kWeinNummer, "7");
    w.Type(W::kPreisEuro, "-5,00");
    w.Type(W::kBestellmenge, "1");
    w.Click(W::kSpeichern);
    EXPECT_EQ(app_.LastMessage().text, "Ein Preis kann nicht negativ sein.");
    EXPECT_EQ(app_.LastMessage().caption, "Posten speichern");
    EXPECT_EQ(w.FocusedControl(), W::kPreisEuro);
    EXPECT_EQ(PostenAufPlatte(id).size(), 1u);
    EXPECT_EQ(Bestand(7), 40);

    // Header values the invoice cannot hold, and dates that do not exist or
    // lie after 2099: refused with OK, the dialog stays, nothing is stored.
    const std::string kartons =
        "Kartons und Steigen müssen Zahlen von 0 bis 32766 sein. Die Rechnung wurde nicht "
        "gespeichert."_w;
    struct Fall {
        int feld;
        const char* text;
        std::string meldung;
    };
    w.Type(W::kTag, "28");
    w.Type(W::kMonat, "2");
    w.Type(W::kJahr, "2002");
    const Fall faelle[] = {
        {W::kKartons, "-999", kartons},
        {W::kSteigen, "-1", kartons},
        {W::kRechnungNr, "-99999",
         "Die Rechnungsnummer muss eine Zahl von 0 bis 2147483647 sein. Die Rechnung wurde nicht "
         "gespeichert."},
        {W::kTag, "31", "Das Datum 31.2.2002 gibt es nicht."},
        {W::kJahr, "2100",
         "Das Datum 28.2.2100 liegt nach dem Jahr 2099. Bitte geben Sie ein Datum bis zum "
         "31.12.2099 an."},
    };
    for (const Fall& f : faelle) {
        const std::string richtig = w.Text(f.feld);
        w.Type(f.feld, f.text);
        w.Click(ControlId::kOk);
        EXPECT_FALSE(w.IsClosed()) << f.text;
        EXPECT_EQ(app_.LastMessage().text, f.meldung);
        EXPECT_EQ(app_.LastMessage().caption, "Rechnungsdaten ändern"_w);
        EXPECT_TRUE(VonPlatte<Rechnung>(kRechnungen).empty());
        w.Type(f.feld, richtig);
    }

    // Without a date the user is offered today's.
    w.Type(W::kKartons, "3");
    w.Click(W::kDatumLeeren);
    app_.ClearMessages();
    app_.Answer(Answer::Yes);
    app_.Answer(Answer::No);  // not printed now
    w.Click(ControlId::kOk);
    EXPECT_TRUE(w.IsClosed());
    ASSERT_EQ(app_.Messages().size(), 2u);
    EXPECT_EQ(app_.Messages()[0].text,
              "Die Rechnung hat kein Rechnungsdatum. Soll das heutige Datum eingesetzt werden?");
    EXPECT_EQ(app_.Messages()[0].buttons, MessageButtons::YesNo);
    const std::vector<Rechnung> rechnungen = VonPlatte<Rechnung>(kRechnungen);
    ASSERT_EQ(rechnungen.size(), 1u);
    EXPECT_EQ(rechnungen[0].datum, Datum(1, 3, 2002).Julian());
    EXPECT_EQ(rechnungen[0].kartons, 3);

    // "Nein" stores it without a date, as typed.
    FakeWindow& ohne = Rechnung_(kunde);
    app_.Answer(Answer::No);
    app_.Answer(Answer::No);
    ohne.Click(ControlId::kOk);
    EXPECT_TRUE(ohne.IsClosed());
    EXPECT_FALSE(Eingabefelder::DatumZeigbar(VonPlatte<Rechnung>(kRechnungen).back().datum));
}

TEST_F(WeinListeTest, WineAndPriceModesAreTitledAndRefuseWeightsAndPricesOutOfRange) {
    Grunddaten();
    {
        FakeWindow& w = Modus(W::Modus::Weinliste);
        EXPECT_EQ(w.Caption(), "Weinliste");
        for (const char* gewicht : {"65536", "999999", "-1"}) {
            w.Type(W::kWeinNummer, "3");
            w.Type(W::kGewicht, gewicht);
            w.Click(W::kSpeichern);
            EXPECT_EQ(app_.LastMessage().text,
                      "Das Gewicht muss eine Zahl von 0 bis 65535 (Gramm) sein. Der Wein wurde "
                      "nicht gespeichert.")
                << gewicht;
            EXPECT_EQ(app_.LastMessage().caption, "Wein speichern");
            EXPECT_EQ(w.FocusedControl(), W::kGewicht);
            EXPECT_EQ(Suche(WeineAufPlatte(), 3)->gewicht, 1200) << gewicht;
        }
        w.Type(W::kGewicht, "65535");
        w.Click(W::kSpeichern);
        EXPECT_EQ(Suche(WeineAufPlatte(), 3)->gewicht, 65535);
    }
    {
        FakeWindow& w = Modus(W::Modus::Preisliste);
        EXPECT_EQ(w.Caption(), "Preisliste Privat");
        w.Choose(W::kPreislisten, 1);
        EXPECT_EQ(w.Caption(), "Preisliste Handel");
        w.Type(W::kWeinNummer, "3");
        w.Type(W::kPreisDM, "-0,01");
        w.Click(W::kSpeichern);
        EXPECT_EQ(app_.LastMessage().text, "Ein Preis kann nicht negativ sein.");
        EXPECT_EQ(app_.LastMessage().caption, "Preis speichern");
        EXPECT_EQ(w.FocusedControl(), W::kPreisDM);
        EXPECT_FLOAT_EQ(Suche(VonPlatte<Preis>("daten/1.wl"), 3)->preisDM, 11.0f);
    }
}

TEST_F(WeinListeTest, StoredInvoiceKeepsItsDateWithinThePredatingLimit) {
    Grunddaten();
    V().customizer->vordatierungTage = 30;
    const Kunde kunde = Kunde_(0);
    std::int32_t id = 0;
    {
        FakeWindow& w = Rechnung_(kunde);
        EXPECT_EQ(w.Text(W::kBemerkung), std::string(Customizer::kStandardBemerkung) + " LKW / NO");
        id = Dialog_(w).GetRechnung()->id;
        Posten(w, 7, "3");
        w.Type(W::kTag, "1");
        w.Type(W::kMonat, "1");
        w.Type(W::kJahr, "2002");
        app_.Answer(Answer::No);
        w.Click(ControlId::kOk);
    }
    // 1.1.2002 lies 59 days before the recording day: the recording day is
    // taken, and the user is told.
    const std::string meldung = app_.Messages().front().text;
    EXPECT_EQ(app_.Messages().front().caption, "Rechnungsdaten ändern"_w);
    EXPECT_EQ(meldung,
              "Diese Rechnung wurde am 1.3.2002 erstellt. Sie haben versucht die Rechnung mehr "
              "als 30 Tage vorzudatieren. Damit ist die Grenze zur Vordatierung überschritten. "
              "Wenn dies ein Problem ist, kann die Grenze in den 'Grundeinstellungen' bel. "
              "verändert werden. WICHTIG: Je größer die Vordatierungsgrenze (in Tagen) gewählt "
              "wird, desto langsamer werden einige Programmfunktionen. Vorerst wurde das Datum "
              "der Erfassung eingesetzt."_w);
    EXPECT_EQ(VonPlatte<Rechnung>("daten/rechnungen.dat").back().datum, Datum(1, 3, 2002).Julian());

    // The stored invoice again: "Zurück" and "Änderung Speichern" instead of
    // OK, its own remark, its date; 15.2.2002 is kept.
    Rechnung kopie = *Rv().GetRechnung(id);
    app_.ClearMessages();
    {
        FakeWindow& w = Rechnung_(kunde, &kopie);
        EXPECT_FALSE(w.IsShown(ControlId::kOk));
        EXPECT_TRUE(w.IsShown(ControlId::kCancel));
        EXPECT_TRUE(w.IsShown(W::kAenderungSpeichern));
        EXPECT_EQ(w.Text(W::kBemerkung), std::string(Customizer::kStandardBemerkung) + " LKW / NO");
        EXPECT_EQ(w.Text(W::kTag), "1");
        EXPECT_EQ(w.Text(W::kMonat), "3");
        EXPECT_EQ(w.Text(W::kSumme), "21.00");
        w.Type(W::kBemerkung, "Abgeholt");
        w.Type(W::kTag, "15");
        w.Type(W::kMonat, "2");
        app_.Answer(Answer::No);
        w.Click(W::kAenderungSpeichern);
        EXPECT_TRUE(w.IsClosed());
    }
    EXPECT_EQ(app_.Messages().size(), 1u);  // only the print question
    Rechnung r = VonPlatte<Rechnung>("daten/rechnungen.dat").back();
    EXPECT_EQ(r.datum, Datum(15, 2, 2002).Julian());
    EXPECT_EQ(FixedText::Get(r.bemerkung), "Abgeholt");
    EXPECT_EQ(VonPlatte<Rechnung>("daten/rechnungen.dat").size(), 1u);

    // A year of 1900 or below, or none, is stored without the test and shows
    // empty; "Zurück" afterwards stores nothing.
    kopie = *Rv().GetRechnung(id);
    app_.ClearMessages();
    for (const char* jahr : {"1900", ""}) {
        FakeWindow& w = Rechnung_(kunde, &kopie);
        w.Type(W::kJahr, jahr);
        app_.Answer(Answer::No);
        w.Click(W::kAenderungSpeichern);
        r = VonPlatte<Rechnung>("daten/rechnungen.dat").back();
        EXPECT_LT(Datum(r.datum).Year(), 1971) << jahr;
        FakeWindow& wieder = Rechnung_(kunde, &kopie);
        EXPECT_EQ(wieder.Text(W::kTag), "") << jahr;
        EXPECT_EQ(wieder.Text(W::kJahr), "") << jahr;
        wieder.Click(ControlId::kCancel);
        EXPECT_TRUE(wieder.IsClosed());
    }
    EXPECT_EQ(app_.Messages().size(), 2u);  // the two print questions
    EXPECT_EQ(VonPlatte<Rechnung>("daten/rechnungen.dat").size(), 1u);
}

TEST_F(WeinListeTest, FullListBoxRemarkPerListAndChangedQuantityAgainstStock) {
    Grunddaten();
    const Kunde kunde = Kunde_(-1);  // no list assigned yet
    FakeWindow& w = Rechnung_(kunde);
    EXPECT_EQ(app_.LastMessage().text,
              "Dem Kunden wurde bisher noch keine Preisliste zugeordnet. Bitten wählen Sie die "
              "passende Liste nun sofort."_w);
    EXPECT_EQ(app_.LastMessage().caption, "Rechnung erstellen");
    EXPECT_EQ(w.Selected(W::kPreislisten), 0);

    // List 2 has no shipping word; list 3 is picked up.
    app_.ClearMessages();
    w.Choose(W::kPreislisten, 2);
    EXPECT_EQ(w.Text(W::kBemerkung), std::string(Customizer::kStandardBemerkung) + " ");
    EXPECT_EQ(app_.LastMessage().text,
              "HINWEIS: Die Bemerkung der Rechnung wurde automatisch verändert."_w);
    EXPECT_EQ(app_.LastMessage().caption, "Preisliste neu gewählt"_w);
    w.Choose(W::kPreislisten, 3);
    EXPECT_EQ(w.Text(W::kBemerkung), std::string(Customizer::kStandardBemerkung) + " Abholung");
    w.Choose(W::kPreislisten, 0);

    // The hidden wine 9 goes on the invoice; 3 -> 4 bottles with 2 left is
    // refused, since the 3 are already out of stock.
    Posten(w, 9, "2");
    Wv().GetWein(3)->bestand = 5;
    Posten(w, 3, "3");
    EXPECT_EQ(Wv().GetWein(3)->bestand, 2);
    Posten(w, 3, "4");
    EXPECT_EQ(app_.LastMessage().text, "Der Bestand beträgt nur noch 2 Flaschen"_w);
    EXPECT_EQ(w.Text(W::kBestellmenge), "2");
    EXPECT_EQ(PostenAufPlatte(Dialog_(w).GetRechnung()->id).size(), 2u);
    // The full list only has its cells asked for again; the hidden wine
    // joins it at the next filling.
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"3", "7"}));
    EXPECT_EQ(w.Cell(W::kListe, 0, 8), "3");

    // Cleared, the box lists only the invoice's two wines, hidden or not.
    w.Click(W::kVollstaendig);
    EXPECT_FALSE(w.IsChecked(W::kVollstaendig));
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"3", "9"}));
    w.Click(W::kVollstaendig);
    EXPECT_EQ(Zeilen(w), (std::vector<std::string>{"3", "7", "9"}));

    // "L" clears the date.
    w.Click(W::kHeute);
    w.Click(W::kDatumLeeren);
    EXPECT_EQ(w.Text(W::kTag) + w.Text(W::kMonat) + w.Text(W::kJahr), "");

    // Opened for the stored invoice with the flag cleared: the box shows it.
    const std::int32_t id = Dialog_(w).GetRechnung()->id;
    w.CloseBox();
    Rechnung kopie = *Rv().GetRechnung(id);
    FakeWindow& alt = Rechnung_(kunde, &kopie, false);
    EXPECT_FALSE(alt.IsChecked(W::kVollstaendig));
    EXPECT_EQ(Zeilen(alt), (std::vector<std::string>{"3", "9"}));
    // Left with the close box, the header stayed as reserved.
    EXPECT_EQ(alt.Text(W::kBemerkung), "");
}

TEST_F(WeinListeTest, NewInvoiceLeftWithTheCloseBoxIsStoredWithItsItems) {
    Grunddaten();
    const Kunde kunde = Kunde_(0);
    FakeWindow& w = Rechnung_(kunde);
    const std::int32_t id = Dialog_(w).GetRechnung()->id;
    Posten(w, 7, "6");
    Posten(w, 3, "1");
    w.Type(W::kKartons, "9");  // the header is not taken over
    w.CloseBox();
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), ControlId::kCancel);
    EXPECT_EQ(Rv().Reserviert(), nullptr);
    Zerstoeren();

    const std::vector<Rechnung> rechnungen = VonPlatte<Rechnung>("daten/rechnungen.dat");
    ASSERT_EQ(rechnungen.size(), 1u);
    EXPECT_EQ(rechnungen[0].id, id);
    EXPECT_EQ(rechnungen[0].kartons, 0);
    EXPECT_EQ(rechnungen[0].datum, Datum::k1901);
    EXPECT_EQ(PostenAufPlatte(id).size(), 2u);

    // A dialog ended without the user (the program closing every window)
    // stores the reservation as it is destroyed.
    Wein_(20, "Eiswein", 5000);
    FakeWindow& zweite = Rechnung_(kunde);
    zweite.Type(W::kWeinNummer, "20");
    zweite.Type(W::kPreisDM, "99,00");
    zweite.Type(W::kBestellmenge, "2000");
    zweite.Click(W::kSpeichern);
    EXPECT_EQ(zweite.Text(W::kSumme), "198000.00");  // a total is never cut
    zweite.Close(ControlId::kCancel);
    Zerstoeren();
    EXPECT_EQ(VonPlatte<Rechnung>("daten/rechnungen.dat").size(), 2u);
    EXPECT_EQ(Rv().Reserviert(), nullptr);
}

TEST_F(WeinListeTest, AStockThatCannotBeWrittenRefusesTheItemWithAMessage) {
    Grunddaten();
    const Kunde kunde = Kunde_(0);
    FakeWindow& w = Rechnung_(kunde);
    const std::int32_t id = Dialog_(w).GetRechnung()->id;
    const std::int32_t vorher = Suche(WeineAufPlatte(), 7)->bestand;

    // The disk is full for the wine file only: the item is refused with the
    // reason, never the last-resort box, and the fields stay as typed.
    IoFaults::SetHook([](IoFaults::Op op, const std::string& pfad) {
        return op == IoFaults::Op::Write && pfad.find("weinliste.dat") != std::string::npos ? ENOSPC
                                                                                            : 0;
    });
    Posten(w, 7, "6");
    IoFaults::ClearHook();
    ASSERT_FALSE(app_.Messages().empty());
    EXPECT_EQ(app_.LastMessage().caption, "Posten speichern");
    EXPECT_NE(app_.LastMessage().text.find("Bestand"), std::string::npos);
    EXPECT_EQ(w.Text(W::kBestellmenge), "6");
    EXPECT_EQ(w.Text(W::kSumme), "0.00");
    EXPECT_EQ(Suche(WeineAufPlatte(), 7)->bestand, vorher);

    // With room again the same input is stored.
    w.Click(W::kSpeichern);
    EXPECT_EQ(Suche(WeineAufPlatte(), 7)->bestand, vorher - 6);
    w.CloseBox();
    Zerstoeren();
    ASSERT_EQ(PostenAufPlatte(id).size(), 1u);
}

TEST_F(WeinListeTest, TestInvoiceGeneratorAsksAndStoresTheReservedInvoiceOnce) {
    Preise().AddPreisliste("Privat");
    const Kunde kunde = Kunde_(0);
    {
        FakeWindow& w = Rechnung_(kunde);
        w.Type(W::kBemerkung, "generate rechnungen");
        app_.Answer(Answer::No);
        w.Click(ControlId::kOk);
        EXPECT_EQ(app_.LastMessage().caption, "Automatisch Testrechnungen generieren");
        EXPECT_TRUE(w.IsClosed());
        EXPECT_EQ(w.Result(), ControlId::kCancel);
        Zerstoeren();
        ASSERT_EQ(VonPlatte<Rechnung>("daten/rechnungen.dat").size(), 1u);
        EXPECT_EQ(FixedText::Get(VonPlatte<Rechnung>("daten/rechnungen.dat")[0].bemerkung),
                  "generate rechnungen");
    }
    std::srand(7);
    FakeWindow& w = Rechnung_(kunde);
    const std::int32_t id = Dialog_(w).GetRechnung()->id;
    w.Type(W::kBemerkung, "generate rechnungen");
    app_.Answer(Answer::Yes);
    w.Click(ControlId::kOk);
    EXPECT_TRUE(w.IsClosed());
    EXPECT_EQ(w.Result(), ControlId::kCancel);
    EXPECT_EQ(w.Caption(), "1999");  // the last pass
    EXPECT_EQ(app_.EventRounds(), 2000);
    EXPECT_EQ(app_.Cursors(), (std::vector<std::string>{"wait", "arrow"}));
    Zerstoeren();
    const std::vector<Rechnung> rechnungen = VonPlatte<Rechnung>("daten/rechnungen.dat");
    EXPECT_GT(rechnungen.size(), 1000u);
    EXPECT_EQ(rechnungen[1].id, id);  // the dialog's own, stored first and once
    for (std::size_t i = 0; i < rechnungen.size(); ++i) {
        ASSERT_EQ(rechnungen[i].id, static_cast<std::int32_t>(i));
    }
    EXPECT_EQ(Rv().Reserviert(), nullptr);
}

TEST_F(WeinListeTest, MainWindowOpensWineAndPriceListOnlyWithAList) {
    Hauptfenster fenster(V(), app_);
    EXPECT_TRUE(fenster.Verfuegbar(Hauptmenue::kWeineVerwalten));
    EXPECT_TRUE(fenster.Verfuegbar(Hauptmenue::kPreislisteVerwalten));
    fenster.Befehl(Hauptmenue::kPreislisteVerwalten);
    EXPECT_EQ(app_.LastMessage().caption, "Preisliste editieren");
    EXPECT_TRUE(app_.Executed().empty());
    fenster.Befehl(Hauptmenue::kWeineVerwalten);
    Preise().AddPreisliste("Privat");
    fenster.Befehl(Hauptmenue::kPreislisteVerwalten);
    EXPECT_EQ(app_.Executed(), (std::vector<int>{W::kResource, W::kResource}));
    EXPECT_EQ(Preise().Current(), 0);
}

}  // namespace
