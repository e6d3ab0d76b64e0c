// The figures of the statistics for the sample business, each view against a
// computation of its own here, straight from the bytes of the record files:
// the layouts by their byte offsets, the calendar by the Julian day formula,
// the amounts by the invoice's single-precision arithmetic rounded as
// "%.2f" prints it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "cli/Beispieldaten.h"
#include "cli/Lesebestand.h"
#include "documents/Auswertung.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

std::int32_t I32(const std::string& b, std::size_t o) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[o + static_cast<std::size_t>(i)]);
    }
    return static_cast<std::int32_t>(v);
}
std::int16_t I16(const std::string& b, std::size_t o) {
    return static_cast<std::int16_t>(static_cast<unsigned char>(b[o]) |
                                     (static_cast<unsigned char>(b[o + 1]) << 8));
}
float F32(const std::string& b, std::size_t o) {
    const std::uint32_t bits = static_cast<std::uint32_t>(I32(b, o));
    float f = 0;
    std::memcpy(&f, &bits, 4);
    return f;
}
std::string Text(const std::string& b, std::size_t o, std::size_t n) {
    const std::string feld = b.substr(o, n);
    return feld.substr(0, feld.find('\0'));
}

// The calendar of Julian day numbers (Fliegel and Van Flandern).
struct Tag {
    int jahr = 0;
    int monat = 0;
    int tag = 0;
};
Tag Kalender(std::int64_t jd) {
    std::int64_t l = jd + 68569;
    const std::int64_t n = 4 * l / 146097;
    l = l - (146097 * n + 3) / 4;
    const std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2447;
    const std::int64_t d = l - 2447 * j / 80;
    l = j / 11;
    return {static_cast<int>(100 * (n - 49) + i + l), static_cast<int>(j + 2 - 12 * l),
            static_cast<int>(d)};
}
std::int64_t Julian(int y, int m, int d) {
    return (1461 * (y + 4800 + (m - 14) / 12)) / 4 + (367 * (m - 2 - 12 * ((m - 14) / 12))) / 12 -
           (3 * ((y + 4900 + (m - 14) / 12) / 100)) / 4 + d - 32075;
}
bool Schaltjahr(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int Monatslaenge(int y, int m) {
    static const int laengen[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Schaltjahr(y) ? 29 : laengen[m - 1];
}

// Cents as the printed invoice writes a float: "%.2f".
std::int64_t Cent(float betrag) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(betrag));
    const std::string s = text;
    const bool minus = s[0] == '-';
    const std::string ziffern = s.substr(minus ? 1 : 0);
    const std::size_t punkt = ziffern.find('.');
    const std::int64_t wert =
        std::stoll(ziffern.substr(0, punkt)) * 100 + std::stoll(ziffern.substr(punkt + 1));
    return minus ? -wert : wert;
}

// What the record files say, read here without the program's managers.
struct Bestand {
    float mwst = 0;
    std::string waehrung;
    bool enthalten = false;
    bool euro = false;
    struct Posten {
        std::int32_t wein, rechnung;
        float dm, euro;
        std::int16_t menge;
        std::int32_t naechster;
    };
    std::vector<Posten> posten;
    struct Rechnung {
        std::int32_t id, kunde;
        std::int16_t kartons;
        std::uint32_t datum, erfasst;
        std::int32_t kopf;
    };
    std::vector<Rechnung> rechnungen;
    struct Wein {
        std::int32_t nummer;
        std::string name, bezeichnung, fuellmenge;
        std::int32_t bestand;
    };
    std::vector<Wein> weine;
    struct Kunde {
        std::int32_t nummer;
        std::string vorname, nachname, ort;
    };
    std::vector<Kunde> kunden;
};

Bestand Lesen(const std::string& daten) {
    Bestand b;
    const std::string p = ReadBytes(daten + "/preferences.dat");
    b.mwst = F32(p, 0);
    b.waehrung = Text(p, 4, 8);
    b.enthalten = p[12] != 0;
    b.euro = p[13] != 0;
    const std::string po = ReadBytes(daten + "/rechnungsposten.dat");
    for (std::size_t o = 0; o + 22 <= po.size(); o += 22) {
        b.posten.push_back({I32(po, o), I32(po, o + 4), F32(po, o + 8), F32(po, o + 12),
                            I16(po, o + 16), I32(po, o + 18)});
    }
    const std::string r = ReadBytes(daten + "/rechnungen.dat");
    for (std::size_t o = 0; o + 297 <= r.size(); o += 297) {
        b.rechnungen.push_back({I32(r, o), I32(r, o + 8), I16(r, o + 14),
                                static_cast<std::uint32_t>(I32(r, o + 16)),
                                static_cast<std::uint32_t>(I32(r, o + 25)), I32(r, o + 289)});
    }
    const std::string w = ReadBytes(daten + "/weinliste.dat");
    for (std::size_t o = 0; o + 149 <= w.size(); o += 149) {
        b.weine.push_back({I32(w, o), Text(w, o + 4, 60), Text(w, o + 64, 60), Text(w, o + 124, 10),
                           I32(w, o + 136)});
    }
    const std::string k = ReadBytes(daten + "/kunden.dat");
    for (std::size_t o = 0; o + 528 <= k.size(); o += 528) {
        b.kunden.push_back(
            {I32(k, o), Text(k, o + 35, 31), Text(k, o + 66, 31), Text(k, o + 132, 31)});
    }
    return b;
}

using MonatZeile = std::tuple<int, int, unsigned, std::int64_t, std::int64_t, unsigned,
                              std::int64_t, std::int64_t>;
using WeinZeile =
    std::tuple<std::int32_t, std::string, std::string, std::string, std::int64_t, std::int64_t>;
using KundenZeile = std::tuple<std::int32_t, std::string, std::string, unsigned, std::int64_t,
                               std::int64_t, std::uint32_t>;
struct BestandZeile {
    std::int32_t nummer;
    std::int32_t bestand;
    std::int64_t flaschen;
    double proMonat;
    std::optional<double> reichweite;
};

struct Erwartet {
    unsigned rechnungen = 0;
    unsigned ohneDatum = 0;
    std::vector<MonatZeile> monate;
    std::vector<WeinZeile> weine;
    std::vector<KundenZeile> kunden;
    std::vector<BestandZeile> bestand;
};

// The views as the feature describes them, computed from the bytes.
Erwartet Rechnen(const Bestand& b, Tag von, Tag bis) {
    Erwartet e;
    const std::int64_t anfang = Julian(von.jahr, von.monat, von.tag);
    const std::int64_t ende = Julian(bis.jahr, bis.monat, bis.tag);
    auto vorjahr = [](Tag t) {
        return Julian(t.jahr - 1, t.monat, std::min(t.tag, Monatslaenge(t.jahr - 1, t.monat)));
    };
    const std::int64_t vorAnfang = vorjahr(von);
    const std::int64_t vorEnde = vorjahr(bis);
    std::map<std::pair<int, int>, MonatZeile> monate;
    for (int m = von.jahr * 12 + von.monat - 1; m <= bis.jahr * 12 + bis.monat - 1; ++m) {
        monate[{m / 12, m % 12 + 1}] = MonatZeile{m / 12, m % 12 + 1, 0, 0, 0, 0, 0, 0};
    }
    std::map<std::int32_t, std::pair<std::int64_t, std::int64_t>> weine;
    struct K {
        unsigned rechnungen = 0;
        std::int64_t flaschen = 0, umsatz = 0;
        std::uint32_t letzte = 0;
    };
    std::map<std::int32_t, K> kunden;
    const auto anzahl = static_cast<std::int32_t>(b.posten.size());
    for (const Bestand::Rechnung& r : b.rechnungen) {
        if (r.kartons == 32767) {
            continue;
        }
        const Tag datiert = Kalender(r.datum);
        std::uint32_t tag = r.datum;
        if (r.datum == 0 || datiert.jahr < 1976 || datiert.jahr > 9999) {
            tag = r.erfasst;
        }
        const Tag t = Kalender(tag);
        if (tag == 0 || t.jahr < 1976 || t.jahr > 9999) {
            ++e.ohneDatum;
            continue;
        }
        const bool drin = tag >= anfang && tag <= ende;
        const bool vor = tag >= vorAnfang && tag <= vorEnde;
        if (!drin && !vor) {
            continue;
        }
        float s = 0;
        std::int64_t flaschen = 0;
        std::vector<const Bestand::Posten*> zeilen;
        for (std::int32_t i = r.kopf >= 0 && r.kopf < anzahl ? r.kopf : -1; i >= 0;) {
            const Bestand::Posten& p = b.posten[static_cast<std::size_t>(i)];
            if (p.rechnung == r.id) {
                const float preis = b.euro ? p.euro : p.dm;
                s += static_cast<float>(p.menge) * preis;
                zeilen.push_back(&p);
                flaschen += p.menge;
            }
            i = p.naechster >= 0 && p.naechster < i ? p.naechster : -1;
        }
        const std::int64_t summe = Cent(s);
        const float satz = b.mwst;
        const std::int64_t mwst = Cent(b.enthalten ? s * satz / (100 + satz) : s * satz / 100);
        const std::int64_t brutto = b.enthalten ? summe : Cent(s * (100 + satz) / 100);
        const std::int64_t netto = b.enthalten ? brutto - mwst : summe;
        if (vor) {
            MonatZeile& m = monate.at({t.jahr + 1, t.monat});
            ++std::get<5>(m);
            std::get<6>(m) += netto;
            std::get<7>(m) += brutto;
        }
        if (!drin) {
            continue;
        }
        ++e.rechnungen;
        MonatZeile& m = monate.at({t.jahr, t.monat});
        ++std::get<2>(m);
        std::get<3>(m) += netto;
        std::get<4>(m) += brutto;
        for (const Bestand::Posten* p : zeilen) {
            auto& w = weine[p->wein];
            w.first += p->menge;
            w.second += Cent(static_cast<float>(p->menge) * (b.euro ? p->euro : p->dm));
        }
        K& k = kunden[r.kunde];
        ++k.rechnungen;
        k.flaschen += flaschen;
        k.umsatz += brutto;
        k.letzte = std::max(k.letzte, tag);
    }
    for (const auto& [schluessel, zeile] : monate) {
        e.monate.push_back(zeile);
    }
    for (const auto& [nummer, w] : weine) {
        std::string name = "N/A", bezeichnung, fuellmenge;
        for (const Bestand::Wein& x : b.weine) {
            if (x.nummer == nummer) {
                name = x.name;
                bezeichnung = x.bezeichnung;
                fuellmenge = x.fuellmenge;
                break;
            }
        }
        e.weine.emplace_back(nummer, name, bezeichnung, fuellmenge, w.first, w.second);
    }
    std::sort(e.weine.begin(), e.weine.end(), [](const WeinZeile& x, const WeinZeile& y) {
        return std::make_tuple(-std::get<4>(x), -std::get<5>(x), std::get<0>(x)) <
               std::make_tuple(-std::get<4>(y), -std::get<5>(y), std::get<0>(y));
    });
    for (const auto& [nummer, k] : kunden) {
        std::string name = "N/A", ort;
        for (const Bestand::Kunde& x : b.kunden) {
            if (x.nummer == nummer) {
                name = x.vorname.empty()    ? x.nachname
                       : x.nachname.empty() ? x.vorname
                                            : x.vorname + " " + x.nachname;
                if (name.empty()) {
                    name = "N/A";
                }
                ort = x.ort;
                break;
            }
        }
        e.kunden.emplace_back(nummer, name, ort, k.rechnungen, k.flaschen, k.umsatz, k.letzte);
    }
    std::sort(e.kunden.begin(), e.kunden.end(), [](const KundenZeile& x, const KundenZeile& y) {
        return std::make_tuple(-std::get<5>(x), std::get<0>(x)) <
               std::make_tuple(-std::get<5>(y), std::get<0>(y));
    });
    // The period in months: each month counts with the share of its days
    // that lie in the period.
    double monateImZeitraum = 0;
    for (std::int64_t tag = anfang; tag <= ende; ++tag) {
        const Tag t = Kalender(tag);
        monateImZeitraum += 1.0 / Monatslaenge(t.jahr, t.monat);
    }
    for (const Bestand::Wein& w : b.weine) {
        const auto verkauft = weine.find(w.nummer);
        const std::int64_t flaschen = verkauft == weine.end() ? 0 : verkauft->second.first;
        const double proMonat = static_cast<double>(flaschen) / monateImZeitraum;
        std::optional<double> reichweite;
        if (proMonat > 0) {
            reichweite = std::max(0.0, w.bestand / proMonat);
        }
        e.bestand.push_back({w.nummer, w.bestand, flaschen, proMonat, reichweite});
    }
    std::stable_sort(e.bestand.begin(), e.bestand.end(),
                     [](const BestandZeile& x, const BestandZeile& y) {
                         const double a = x.reichweite.value_or(1e300);
                         const double c = y.reichweite.value_or(1e300);
                         return a != c ? a < c : x.nummer < y.nummer;
                     });
    return e;
}

// The sample business of a new user, made once for all cases.
class AuswertungTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<TempDir>();
        const std::string daten = *dir_ / "daten";
        std::filesystem::create_directory(daten);
        Beispieldaten::Erzeugen(daten, Beispieldaten::Umfang{}, Beispieldaten::kStandardSeed,
                                Datum(6, 12, 2026));
    }
    static void TearDownTestSuite() { dir_.reset(); }

    static std::string Daten() { return *dir_ / "daten"; }

    // Compares every view of the period with the computation here.
    static void Vergleichen(const std::string& daten, Tag von, Tag bis) {
        const Erwartet e = Rechnen(Lesen(daten), von, bis);
        Lesebestand bestand(daten);
        const Auswertung a = Auswertung::Berechnen(bestand.V(), Datum(von.tag, von.monat, von.jahr),
                                                   Datum(bis.tag, bis.monat, bis.jahr));
        EXPECT_EQ(a.rechnungen, e.rechnungen);
        EXPECT_EQ(a.ohneDatum, e.ohneDatum);
        ASSERT_GT(e.rechnungen, 20u) << "the period should hold invoices of the sample";

        std::vector<MonatZeile> monate;
        for (const Auswertung::Monat& m : a.monate) {
            monate.emplace_back(m.jahr, m.monat, m.rechnungen, m.netto, m.brutto,
                                m.vorjahrRechnungen, m.vorjahrNetto, m.vorjahrBrutto);
        }
        EXPECT_EQ(monate, e.monate);

        std::vector<WeinZeile> weine;
        for (const Auswertung::Wein& w : a.weine) {
            weine.emplace_back(w.nummer, w.name, w.bezeichnung, w.fuellmenge, w.flaschen, w.umsatz);
        }
        EXPECT_EQ(weine, e.weine);

        std::vector<KundenZeile> kunden;
        for (const Auswertung::Kunde& k : a.kunden) {
            kunden.emplace_back(k.nummer, k.name, k.ort, k.rechnungen, k.flaschen, k.umsatz,
                                k.letzteRechnung.Julian());
        }
        EXPECT_EQ(kunden, e.kunden);

        ASSERT_EQ(a.bestand.size(), e.bestand.size());
        int knapp = 0;
        for (std::size_t i = 0; i < e.bestand.size(); ++i) {
            const Auswertung::Bestand& x = a.bestand[i];
            const BestandZeile& y = e.bestand[i];
            EXPECT_EQ(x.nummer, y.nummer) << "row " << i;
            EXPECT_EQ(x.bestand, y.bestand) << "wine " << y.nummer;
            EXPECT_EQ(x.flaschen, y.flaschen) << "wine " << y.nummer;
            EXPECT_NEAR(x.proMonat, y.proMonat, 1e-9) << "wine " << y.nummer;
            ASSERT_EQ(x.reichweite.has_value(), y.reichweite.has_value()) << "wine " << y.nummer;
            if (y.reichweite) {
                EXPECT_NEAR(*x.reichweite, *y.reichweite, 1e-9) << "wine " << y.nummer;
                EXPECT_EQ(x.Knapp(), *y.reichweite < 3.0) << "wine " << y.nummer;
                knapp += x.Knapp() ? 1 : 0;
            }
        }
        EXPECT_GT(knapp, 0) << "the sample should have wines running out";
    }

    static std::unique_ptr<TempDir> dir_;
};

std::unique_ptr<TempDir> AuswertungTest::dir_;

TEST_F(AuswertungTest, TheYearSoFarMatchesTheRecordFilesInEveryView) {
    Vergleichen(Daten(), {2026, 1, 1}, {2026, 12, 6});
}

// Months cut by the period's first and last day, a period over the turn of
// the year whose previous year overlaps it, and one that begins on
// 29 February, whose day a year before is 28 February.
TEST_F(AuswertungTest, PeriodsThatCutMonthsAndYearsMatchTheRecordFilesToo) {
    Vergleichen(Daten(), {2025, 3, 15}, {2026, 4, 20});
    Vergleichen(Daten(), {2024, 2, 29}, {2024, 5, 31});
}

// Invoices whose own date and capture date are both damaged are left out of
// every view and counted, with a note that says so. One whose own date alone
// is damaged counts by its capture day; one dated years before its capture
// in the period counts by its own date, outside the period, and one dated
// in the period long after its capture counts in it.
TEST_F(AuswertungTest, InvoicesWithoutAValidDateAreLeftOutAndCounted) {
    TempDir kopie;
    const std::string daten = kopie / "daten";
    std::filesystem::copy(Daten(), daten);
    std::string r = ReadBytes(daten + "/rechnungen.dat");
    const std::size_t anzahl = r.size() / 297;
    const auto setzen = [&r](std::size_t o, std::int64_t julian) {
        for (std::size_t i = 0; i < 4; ++i) {
            r[o + i] = static_cast<char>((julian >> (8 * i)) & 0xFF);
        }
    };
    int beschaedigt = 0;
    for (std::size_t n = anzahl - 1; beschaedigt < 6; --n) {
        const std::size_t o = n * 297;
        if (I16(r, o + 14) == 32767) {
            continue;  // deleted anyway
        }
        if (beschaedigt < 3) {
            setzen(o + 16, 0);  // datum
            setzen(o + 25, 0);  // erfasstDatum
        } else if (beschaedigt == 3) {
            setzen(o + 16, 0);
            setzen(o + 25, Julian(2026, 3, 10));
        } else if (beschaedigt == 4) {
            setzen(o + 16, Julian(2019, 6, 15));
            setzen(o + 25, Julian(2026, 3, 10));
        } else {
            setzen(o + 16, Julian(2026, 5, 2));
            setzen(o + 25, Julian(2012, 1, 9));
        }
        ++beschaedigt;
    }
    WriteBytes(daten + "/rechnungen.dat", r);
    Vergleichen(daten, {2026, 1, 1}, {2026, 12, 6});

    Lesebestand bestand(daten);
    const Auswertung a = Auswertung::Berechnen(bestand.V(), Datum(1, 1, 2026), Datum(6, 12, 2026));
    EXPECT_EQ(a.OhneDatumHinweis(), "3 Rechnungen ohne g\xFCltiges Datum nicht enthalten");
}

// A period that ends before it begins, or lacks a day, has no figures and
// no division by zero; nor has one without invoices.
TEST_F(AuswertungTest, PeriodsWithoutInvoicesGiveEmptyTables) {
    Lesebestand bestand(Daten());
    const Auswertung rueckwaerts =
        Auswertung::Berechnen(bestand.V(), Datum(6, 12, 2026), Datum(1, 1, 2026));
    const Auswertung ohneTag = Auswertung::Berechnen(bestand.V(), Datum(), Datum(1, 1, 2026));
    const Auswertung leer =
        Auswertung::Berechnen(bestand.V(), Datum(1, 1, 1990), Datum(31, 12, 1990));
    for (const Auswertung* a : {&rueckwaerts, &ohneTag, &leer}) {
        EXPECT_EQ(a->rechnungen, 0u);
        EXPECT_TRUE(a->weine.empty());
        EXPECT_TRUE(a->kunden.empty());
        for (Auswertung::Ansicht ansicht : Auswertung::kAnsichten) {
            const Tabelle t = a->TabelleVon(ansicht);
            EXPECT_TRUE(t.zeilen.empty()) << Auswertung::Titel(ansicht);
            EXPECT_TRUE(t.summe.empty()) << Auswertung::Titel(ansicht);
        }
    }
    EXPECT_EQ(leer.monate.size(), 12u);
    for (const Auswertung::Bestand& b : leer.bestand) {
        EXPECT_EQ(b.proMonat, 0.0);
        EXPECT_FALSE(b.reichweite.has_value());
    }
}

// The tables write their numbers the German way, in the list, the text and
// the CSV file alike, and the sums are those of the rows.
TEST_F(AuswertungTest, TablesWriteGermanNumbersAndSumTheirRows) {
    EXPECT_EQ(Tabelle::Betrag(123456789), "1.234.567,89");
    EXPECT_EQ(Tabelle::Betrag(-5), "-0,05");
    EXPECT_EQ(Tabelle::Anzahl(1234), "1.234");
    EXPECT_EQ(Tabelle::Anzahl(999), "999");
    EXPECT_EQ(Tabelle::Dezimal(2.45), "2,5");
    EXPECT_EQ(Tabelle::Dezimal(12345.0), "12.345,0");

    Lesebestand bestand(Daten());
    const Auswertung a = Auswertung::Berechnen(bestand.V(), Datum(1, 1, 2026), Datum(6, 12, 2026));
    const Tabelle weine = a.TabelleVon(Auswertung::Ansicht::Weine);
    std::int64_t flaschen = 0;
    std::int64_t umsatz = 0;
    for (const Tabelle::Zeile& z : weine.zeilen) {
        flaschen += z[4].ganz;
        umsatz += z[5].ganz;
    }
    EXPECT_EQ(weine.summe[4].ganz, flaschen);
    EXPECT_EQ(weine.summe[5].ganz, umsatz);
    EXPECT_EQ(weine.Text(weine.summe, 5), Tabelle::Betrag(umsatz));
    // Numbers that name a wine or a customer are written without separators.
    Tabelle nummern = weine;
    nummern.zeilen[0][0] = Tabelle::Zelle::Ganz(1935);
    EXPECT_EQ(nummern.Text(0, 0), "1935");
    EXPECT_EQ(nummern.Text(0, 4), Tabelle::Anzahl(nummern.zeilen[0][4].ganz));

    const std::string csv = weine.Csv();
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Nr.;Wein;Bezeichnung;F\xFCllmenge;Flaschen;Umsatz brutto (EUR)");
    const std::string letzte = csv.substr(csv.rfind("\r\n", csv.size() - 3) + 2);
    EXPECT_EQ(letzte, ";Summe;;;" + std::to_string(flaschen) + ";" + std::to_string(umsatz / 100) +
                          "," + (umsatz % 100 < 10 ? "0" : "") + std::to_string(umsatz % 100) +
                          "\r\n");

    const Tabelle vorrat = a.TabelleVon(Auswertung::Ansicht::Bestand);
    const std::string text = vorrat.Klartext("\n");
    EXPECT_EQ(text.substr(0, text.find('\n')), "Bestand und Reichweite, 1.1.2026 bis 6.12.2026");
    bool strich = false;
    for (std::size_t i = 0; i < vorrat.zeilen.size(); ++i) {
        strich = strich || vorrat.Text(i, 7) == "\x96";
    }
    EXPECT_TRUE(strich) << "a wine not sold in the period lasts for ever: \"\x96\"";
}

}  // namespace
