#include "model/PostenVerwaltung.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "RechnungsFixture.h"
#include "storage/IoFaults.h"
#include "storage/MessageException.h"

namespace {

using Posten = PostenVerwaltung::Posten;

Posten Item(std::int32_t wein, std::int32_t rechnung, float dm, float euro, std::int16_t menge,
            std::int32_t naechster = -1) {
    Posten p;
    p.weinNummer = wein;
    p.rechnung = rechnung;
    p.preisDM = dm;
    p.preisEuro = euro;
    p.menge = menge;
    p.naechster = naechster;
    return p;
}

std::string Bytes(const std::vector<Posten>& posten) {
    std::string bytes;
    ByteWriter writer(bytes);
    for (const Posten& p : posten) {
        writer << p;
    }
    return bytes;
}

class PostenVerwaltungTest : public RechnungsFixture {
  protected:
    // Appends an item for the invoice and makes it the invoice's head, as
    // the invoice does.
    std::int32_t Add(Rechnung& r, std::int32_t wein, std::int16_t menge, float dm = 9.5f,
                     float euro = 4.86f) {
        Posten p = Item(wein, r.id, dm, euro, menge);
        const std::int32_t index = Pv().AddPosten(r, p);
        r.postenKopf = index;
        return index;
    }

    std::vector<std::int32_t> Weine(std::int32_t kopf, std::int32_t rechnung) {
        std::vector<std::int32_t> weine;
        Posten p;
        for (std::int32_t cursor = kopf; cursor >= 0 && Pv().GetPosten(p, cursor, rechnung);) {
            weine.push_back(p.weinNummer);
        }
        return weine;
    }

    Rechnung r203_{nullptr, 203, 1, Rechnung::kOhneNummer};
    Rechnung r204_{nullptr, 204, 2, Rechnung::kOhneNummer};
};

struct FehlerBeimSchreiben {
    explicit FehlerBeimSchreiben(const std::string& pfad) {
        IoFaults::SetHook([pfad](IoFaults::Op op, const std::string& p) {
            return op == IoFaults::Op::Write && p == pfad ? 28 : 0;
        });
    }
    ~FehlerBeimSchreiben() { IoFaults::ClearHook(); }
};

TEST_F(PostenVerwaltungTest, AppendedItemsChainNewestFirstAndTakeStock) {
    for (std::int32_t wein : {3, 5, 7, 9}) {
        WeinAnlegen(wein, 100);
    }
    EXPECT_EQ(Add(r203_, 3, 1), 0);
    EXPECT_EQ(Add(r204_, 3, 2), 1);
    EXPECT_EQ(Add(r203_, 5, 6), 2);
    EXPECT_EQ(Add(r203_, 7, 12), 3);
    EXPECT_EQ(Add(r203_, 9, 24), 4);

    // On disk at once, 22 bytes each: 4 -> 3 -> 2 -> 0 (the earlier head).
    const std::string file = ReadBytes(kPosten);
    ASSERT_EQ(file.size(), 5u * 22u);
    EXPECT_EQ(Int32At(file, 4 * 22 + 18), 3);
    EXPECT_EQ(Int32At(file, 3 * 22 + 18), 2);
    EXPECT_EQ(Int32At(file, 2 * 22 + 18), 0);
    EXPECT_EQ(Int32At(file, 0 * 22 + 18), -1);
    EXPECT_EQ(Int32At(file, 1 * 22 + 4), 204);
    EXPECT_EQ(Int32At(file, 3 * 22 + 0), 7);
    EXPECT_EQ(Int16At(file, 3 * 22 + 16), 12);
    EXPECT_FLOAT_EQ(Float32At(file, 3 * 22 + 8), 9.5f);
    EXPECT_FLOAT_EQ(Float32At(file, 3 * 22 + 12), 4.86f);

    EXPECT_EQ(Weine(r203_.postenKopf, 203), (std::vector<std::int32_t>{9, 7, 5, 3}));
    EXPECT_EQ(Weine(r204_.postenKopf, 204), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(Bestand(3), 97);
    EXPECT_EQ(Bestand(9), 76);
    // No log line for a new item.
    EXPECT_FALSE(FileExists(kLog) && !ReadBytes(kLog).empty());

    Neustart();
    EXPECT_EQ(Pv().Anzahl(), 5u);
}

TEST_F(PostenVerwaltungTest, QuantityChangesMoveStockAndLogTheOldValues) {
    WeinAnlegen(17, 100);
    const std::int32_t index = Add(r203_, 17, 12);
    EXPECT_EQ(Bestand(17), 88);

    Pv().Update(Item(17, 203, 9.5f, 4.86f, 10), r203_.postenKopf);
    EXPECT_EQ(Bestand(17), 90);
    Pv().Update(Item(17, 203, 11.0f, 5.5f, 15), r203_.postenKopf);
    EXPECT_EQ(Bestand(17), 85);

    EXPECT_EQ(LogZeilen(),
              (std::vector<std::string>{
                  std::string(kStempel) + ">> POSTEN VER\xC4NDERT << -> 17,203,9.5,4.86,12",
                  std::string(kStempel) + ">> POSTEN VER\xC4NDERT << -> 17,203,9.5,4.86,10",
              }));
    const std::string file = ReadBytes(kPosten);
    EXPECT_EQ(Int16At(file, index * 22 + 16), 15);
    EXPECT_FLOAT_EQ(Float32At(file, index * 22 + 8), 11.0f);
    EXPECT_EQ(Int32At(file, index * 22 + 18), -1);
}

TEST_F(PostenVerwaltungTest, QuantityZeroDeletesInPlaceAndKeepsTheChain) {
    for (std::int32_t wein : {1, 2, 3}) {
        WeinAnlegen(wein, 50);
    }
    Add(r203_, 1, 5);
    const std::int32_t mitte = Add(r203_, 2, 7, 8.25f, 4.25f);
    Add(r203_, 3, 9);
    EXPECT_EQ(Bestand(2), 43);

    Pv().Update(Item(2, 203, 0.0f, 0.0f, 0), r203_.postenKopf);
    EXPECT_EQ(Bestand(2), 50);
    EXPECT_EQ(LogZeilen().back(),
              std::string(kStempel) + ">> POSTEN GEL\xD6SCHT << -> 2,203,8.25,4.25,7");
    const std::string file = ReadBytes(kPosten);
    EXPECT_EQ(Int32At(file, mitte * 22 + 0), 2);
    EXPECT_EQ(Int32At(file, mitte * 22 + 4), -1);
    EXPECT_EQ(Float32At(file, mitte * 22 + 8), 0.0f);
    EXPECT_EQ(Int16At(file, mitte * 22 + 16), 0);
    EXPECT_EQ(Int32At(file, mitte * 22 + 18), 0);
    EXPECT_EQ(Weine(r203_.postenKopf, 203), (std::vector<std::int32_t>{3, 1}));

    // A wine with only a deleted item in the chain is not found: nothing is
    // written and the stock stays.
    try {
        Pv().Update(Item(2, 203, 1.0f, 1.0f, 4), r203_.postenKopf);
        FAIL() << "no exception";
    } catch (const MessageException& e) {
        EXPECT_EQ(e.Text(),
                  "Es wurde in PostenVerwaltung::Update() ein Posten upgedated, den es noch gar "
                  "nicht gibt");
    }
    EXPECT_EQ(ReadBytes(kPosten), file);
    EXPECT_EQ(Bestand(2), 50);
}

TEST_F(PostenVerwaltungTest, InterleavedInvoicesReachOnlyTheirOwnItems) {
    for (std::int32_t i = 0; i < 6; ++i) {
        Add(i % 2 == 0 ? r203_ : r204_, 10 + i, 1);
    }
    EXPECT_EQ(Weine(r203_.postenKopf, 203), (std::vector<std::int32_t>{14, 12, 10}));
    EXPECT_EQ(Weine(r204_.postenKopf, 204), (std::vector<std::int32_t>{15, 13, 11}));
    // An item of another invoice is not found through this chain.
    EXPECT_THROW(Pv().Update(Item(13, 203, 0, 0, 0), r203_.postenKopf), MessageException);
    EXPECT_EQ(Weine(-1, 203), std::vector<std::int32_t>{});
}

TEST_F(PostenVerwaltungTest, NegativeCursorIsRefused) {
    Posten p;
    std::int32_t cursor = -1;
    try {
        Pv().GetPosten(p, cursor, 0);
        FAIL() << "no exception";
    } catch (const MessageException& e) {
        EXPECT_EQ(e.Text(), "Es wurde in PostenVerwaltung::GetPosten() ein index < 0 angegeben");
    }
}

TEST(PostenVerwaltungDateiTest, StrayBytesAreWrittenOverByTheNextItem) {
    TempDir dir;
    const std::string path = dir / "posten.dat";
    WriteBytes(path, Bytes({Item(1, 0, 1, 1, 1), Item(2, 0, 1, 1, 1, 0)}) + "12345");
    PostenVerwaltung verwaltung(path);
    EXPECT_EQ(verwaltung.Anzahl(), 2u);

    Rechnung r(nullptr, 0, 0, Rechnung::kOhneNummer);
    r.postenKopf = 1;
    Posten p = Item(3, 0, 2, 2, 2);
    EXPECT_EQ(verwaltung.AddPosten(r, p), 2);
    const std::string file = ReadBytes(path);
    ASSERT_EQ(file.size(), 66u);
    EXPECT_EQ(Int32At(file, 44), 3);
    EXPECT_EQ(Int32At(file, 44 + 18), 1);

    // Empty or unreadable: no items, nothing created before the first one.
    PostenVerwaltung leer(dir / "fehlt.dat");
    EXPECT_EQ(leer.Anzahl(), 0u);
    EXPECT_FALSE(FileExists(dir / "fehlt.dat"));
}

TEST(PostenVerwaltungDateiTest, DamagedChainsEndInsteadOfLooping) {
    TempDir dir;
    const std::string path = dir / "posten.dat";
    WriteBytes(path, Bytes({
                         Item(1, 7, 1, 1, 1, 1),   // 0: links forward
                         Item(2, 7, 1, 1, 1, 0),   // 1
                         Item(3, 7, 1, 1, 1, 2),   // 2: links to itself
                         Item(4, 7, 1, 1, 1, 99),  // 3: links past the file
                         Item(5, 8, 1, 1, 1, 2),   // 4: another invoice in the chain
                         Item(6, 7, 1, 1, 1, 4),   // 5
                     }));
    PostenVerwaltung v(path);
    auto weine = [&](std::int32_t kopf) {
        std::vector<std::int32_t> alle;
        Posten p;
        for (std::int32_t c = kopf; c >= 0 && v.GetPosten(p, c, 7);) {
            alle.push_back(p.weinNummer);
        }
        return alle;
    };
    EXPECT_EQ(weine(1), (std::vector<std::int32_t>{2, 1}));
    EXPECT_EQ(weine(2), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(weine(3), (std::vector<std::int32_t>{4}));
    EXPECT_EQ(weine(5), (std::vector<std::int32_t>{6, 3}));
    EXPECT_EQ(weine(50), std::vector<std::int32_t>{});
    EXPECT_FLOAT_EQ(v.Summe(5, 7, true), 2.0f);
    EXPECT_THROW(v.Update(Item(9, 7, 0, 0, 0), 5), MessageException);
}

TEST_F(PostenVerwaltungTest, FailedWritesChangeNeitherFileNorStock) {
    WeinAnlegen(4, 100);
    Add(r203_, 4, 6);
    const std::string vorher = ReadBytes(kPosten);
    {
        FehlerBeimSchreiben fehler(kPosten);
        Posten p = Item(4, 203, 1, 1, 3);
        try {
            Pv().AddPosten(r203_, p);
            FAIL() << "no exception";
        } catch (const MessageException& e) {
            EXPECT_EQ(e.Text(),
                      "Der Rechnungsposten konnte nicht in die Datei geschrieben werden "
                      "(PostenVerwaltung::AddPosten())");
        }
        EXPECT_THROW(Pv().Update(Item(4, 203, 1, 1, 2), r203_.postenKopf), MessageException);
    }
    EXPECT_EQ(ReadBytes(kPosten), vorher);
    EXPECT_EQ(Pv().Anzahl(), 1u);
    EXPECT_EQ(Bestand(4), 94);
    EXPECT_EQ(Weine(r203_.postenKopf, 203), (std::vector<std::int32_t>{4}));
}

}  // namespace

// The item file is read in pieces. One that another program cuts short
// between them is an error naming the cause, never fewer items taken for all
// of them (the next item would be written over a live one).
TEST_F(PostenVerwaltungTest, AFileCutShortWhileItIsReadIsAnErrorNotFewerItems) {
    std::vector<Posten> viele;
    for (std::int32_t i = 0; i < 30000; ++i) {
        viele.push_back(Item(3, i, 1.0f, 0.5f, 1, i - 1));
    }
    const std::string pfad = "daten/posten-gross.dat";
    WriteBytes(pfad, Bytes(viele));
    int lesungen = 0;
    IoFaults::SetHook([&](IoFaults::Op op, const std::string& p) {
        if (op == IoFaults::Op::Read && p == pfad && ++lesungen == 2) {
            EXPECT_EQ(::truncate(pfad.c_str(), 1000 * 22), 0);
        }
        return 0;
    });
    try {
        PostenVerwaltung posten(pfad, Zugriff::NurLesen);
        ADD_FAILURE() << posten.Anzahl() << " items read from a file cut short";
    } catch (const MessageException& fehler) {
        EXPECT_NE(fehler.Text().find("posten-gross.dat"), std::string::npos) << fehler.Text();
        EXPECT_NE(fehler.Text().find("wurde beim Lesen k"), std::string::npos) << fehler.Text();
    }
    IoFaults::ClearHook();
    EXPECT_GE(lesungen, 2);

    // Read whole, every record comes back as written, across the pieces.
    WriteBytes(pfad, Bytes(viele) + "\x01\x02\x03");
    const PostenVerwaltung posten(pfad, Zugriff::NurLesen);
    ASSERT_EQ(posten.Anzahl(), 30000u);
    for (std::uint32_t i : {0u, 11915u, 11916u, 29999u}) {
        EXPECT_EQ(posten[i].rechnung, static_cast<std::int32_t>(i));
        EXPECT_EQ(posten[i].naechster, static_cast<std::int32_t>(i) - 1);
    }
}
