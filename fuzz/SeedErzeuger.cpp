// Writes the seed inputs of every fuzz target: small, sound files made by the
// program itself (and, for the old version's files, by their byte layout).
//
//   fuzz_seeds <corpus directory>

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzEingabe.h"
#include "model/Datenbestand.h"
#include "model/GeoGruppe.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"

namespace fs = std::filesystem;

namespace {

std::string Lesen(const fs::path& datei) {
    std::ifstream in(datei, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Schreiben(const fs::path& ziel, const std::string& name, const std::string& bytes) {
    fs::create_directories(ziel);
    std::ofstream out(ziel / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void KundeAnlegen(KundenVerwaltung& kv, const char* anrede, const char* vorname,
                  const char* nachname, const char* strasse, std::int32_t plz, const char* ort,
                  std::int16_t preisliste, std::int16_t gruppe) {
    Kunde k;
    FixedText::Set(k.Anrede, anrede);
    FixedText::Set(k.Vorname, CodePage::Utf8ToCp1252(vorname));
    FixedText::Set(k.Nachname, CodePage::Utf8ToCp1252(nachname));
    FixedText::Set(k.Strasse, CodePage::Utf8ToCp1252(strasse));
    k.PLZ = plz;
    FixedText::Set(k.Ort, CodePage::Utf8ToCp1252(ort));
    FixedText::Set(k.Telefon, "06131 12345");
    FixedText::Set(k.EMail, "kunde@example.org");
    FixedText::Set(k.bemerkung, "liefern\r\nbitte klingeln");
    k.preisliste = preisliste;
    k.kundenGruppe = gruppe;
    kv.AddKunde(k);
}

void WeinAnlegen(WeinlistenVerwaltung& wv, std::int32_t nummer, const char* name,
                 const char* bezeichnung, std::int32_t bestand, bool verborgen) {
    wv.AddWein(nummer);
    Wein* w = wv.GetWein(nummer);
    FixedText::Set(w->name, CodePage::Utf8ToCp1252(name));
    FixedText::Set(w->bezeichnung, CodePage::Utf8ToCp1252(bezeichnung));
    FixedText::Set(w->fuellmenge, "0,75 l");
    w->gewicht = 1250;
    w->bestand = bestand;
    w->verborgen = verborgen ? 1 : 0;
    wv.Sort();
}

// A length-prefixed text of the old version: length byte, then `capacity`
// bytes.
std::string AlterText(const std::string& text, std::size_t capacity) {
    std::string feld(capacity + 1, '\0');
    feld[0] = static_cast<char>(text.size());
    feld.replace(1, text.size(), text);
    return feld;
}

std::string AlterKunde(const char* anrede, const char* vorname, const char* nachname,
                       const char* strasse, const char* plzOrt, const char* telefon,
                       const char* code) {
    return AlterText(anrede, 30) + AlterText(vorname, 30) + AlterText(nachname, 30) +
           AlterText(strasse, 30) + AlterText(plzOrt, 30) + AlterText(telefon, 20) +
           AlterText(code, 5);
}

std::string AlterWein(const char* name, const char* bezeichnung, const char* menge,
                      std::uint16_t gewicht) {
    std::string satz = AlterText(name, 60) + AlterText(bezeichnung, 60) + AlterText(menge, 10);
    satz.push_back(static_cast<char>(gewicht & 0xFF));
    satz.push_back(static_cast<char>(gewicht >> 8));
    return satz;
}

std::string Parameter(std::int32_t nummer, float betrag, float toleranz, std::uint32_t von,
                      std::uint32_t bis, std::uint8_t schalter, std::uint8_t auswahl) {
    std::string p;
    auto int32 = [&](std::uint32_t w) {
        for (int b = 0; b < 4; ++b) {
            p.push_back(static_cast<char>((w >> (8 * b)) & 0xFF));
        }
    };
    int32(static_cast<std::uint32_t>(nummer));
    int32(std::bit_cast<std::uint32_t>(betrag));
    int32(std::bit_cast<std::uint32_t>(toleranz));
    int32(von);
    int32(bis);
    int32(von);
    int32(bis);
    p.push_back(static_cast<char>(schalter));
    p.push_back(static_cast<char>(auswahl));
    p.append(2, '\0');
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus directory>\n");
        return 2;
    }
    const fs::path corpus = fs::absolute(argv[1]);
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    Clock::Fix(1796544303);

    char muster[] = "/tmp/rebkontor-seeds-XXXXXX";
    if (::mkdtemp(muster) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path arbeit = muster;
    fs::create_directory(arbeit / "daten");
    fs::current_path(arbeit);

    {
        Datenbestand bestand("daten");
        Verwaltungen& v = bestand.GetVerwaltungen();
        KundenVerwaltung& kv = bestand.KundenEinlesen();
        WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
        PreisVerwaltung& pv = *v.preisVerwaltung;
        RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;

        v.geoGruppe->AddGeoGruppe("Mainz");
        v.geoGruppe->AddGeoGruppe("Rheinhessen");
        pv.AddPreisliste("Abhol");
        pv.AddPreisliste("Versand");

        KundeAnlegen(kv, "Herrn", "Karl", "Müller", "Weinstraße 3", 55234, "Framersheim", 0, 0);
        KundeAnlegen(kv, "Frau", "Anna", "Schäfer", "Am Berg 12", 6712, "Gau-Odernheim", 1, 1);
        KundeAnlegen(kv, "Firma", "", "Weinhaus Kern", "Bahnhofstr. 1", 0, "Alzey", -1, 0);

        WeinAnlegen(wv, 12, "Riesling", "2023 Kabinett trocken", 480, false);
        WeinAnlegen(wv, 3, "Silvaner", "2022 Qualitätswein", 120, false);
        WeinAnlegen(wv, 27, "Spätburgunder", "2021 Spätlese", 60, true);

        const std::int32_t weine[] = {3, 12, 27};
        for (int liste = 0; liste < 2; ++liste) {
            pv.SetPreisliste(liste);
            for (std::int32_t wein : weine) {
                pv.AddPreis(Preis(wein, 9.5f + static_cast<float>(wein + liste),
                                  4.86f + static_cast<float>(wein + liste) / 2));
            }
            pv.FlushPreisliste();
        }

        Rechnung* r = rv.AllocRechnung(1);
        rv.SetPosten(*r, 12, 10.5f, 5.37f, 12);
        rv.SetPosten(*r, 3, 7.0f, 3.58f, 6);
        r->datum = Datum(1, 12, 2026).Julian();
        FixedText::Set(r->bemerkung, v.customizer->Bemerkung());
        rv.StoreRechnung();

        r = rv.AllocRechnung(2);
        rv.SetPosten(*r, 27, 15.0f, 7.67f, 3);
        r->datum = Datum(5, 12, 2026).Julian();
        r->kartons = 1;
        r->steigen = 2;
        rv.StoreRechnung();

        r = rv.AllocRechnung(1);
        rv.SetPosten(*r, 3, 7.0f, 3.58f, 24);
        r->datum = Datum(6, 12, 2026).Julian();
        r->beglichen = 1;
        r->betragEingegangen = 168.0f;
        rv.StoreRechnung();

        const std::int32_t abgeleitet = rv.DeriveRechnung(*rv.GetRechnung(0));
        if (Rechnung* geaendert = rv.GetRechnung(abgeleitet)) {
            Rechnung kopie(*geaendert);
            rv.SetPosten(kopie, 12, 10.5f, 5.37f, 10);
            rv.DeletePosten(kopie, 3);
            rv.UpdateRechnung(kopie);
        }
        rv.DeleteRechnung(1, true);

        Customizer& c = *v.customizer;
        c.SetWaehrung("EUR");
        c.preiseInEuro = 1;
        c.mwst = 19.0f;
        c.filterVon2 = static_cast<std::int32_t>(Datum(1, 11, 2026).Julian());
        c.filterBis2 = static_cast<std::int32_t>(Datum(31, 12, 2026).Julian());
        if (!c.Store()) {
            std::fprintf(stderr,
                         "fuzz_seeds: die Einstellungen konnten nicht geschrieben werden\n");
            std::exit(1);
        }

        MerkzettelVerwaltung& mv = bestand.MerkzettelOeffnen();
        FixedText::Set(mv.NewNote().text, "Rebschnitt ab Januar");
        FixedText::Set(mv.NewNote().text, CodePage::Utf8ToCp1252("Flaschen für Kern"));
        mv.Flush();
        kv.Flush();
    }

    const fs::path d = arbeit / "daten";
    const std::string kunden = Lesen(d / "kunden.dat");
    const std::string weine = Lesen(d / "weinliste.dat");
    const std::string rechnungen = Lesen(d / "rechnungen.dat");
    const std::string posten = Lesen(d / "rechnungsposten.dat");
    const std::string einstellungen = Lesen(d / "preferences.dat");

    Schreiben(corpus / "fuzz_kunden", "kunden", kunden);
    Schreiben(corpus / "fuzz_kunden", "kunden-kurz", kunden.substr(0, 700));
    Schreiben(corpus / "fuzz_weine", "weine", weine);
    Schreiben(corpus / "fuzz_weine", "weine-kurz", weine.substr(0, 200));
    Schreiben(corpus / "fuzz_preise", "preise", Lesen(d / "0.wl"));
    Schreiben(corpus / "fuzz_merkzettel", "merkzettel", Lesen(d / "merkzettel.dat"));
    Schreiben(corpus / "fuzz_preislisten_namen", "namen", Lesen(d / "weinlisten.txt"));
    std::string zwanzig;
    for (int i = 0; i < 20; ++i) {
        zwanzig += (i > 0 ? "\r\n" : "") + std::string("Liste") + std::to_string(i);
    }
    Schreiben(corpus / "fuzz_preislisten_namen", "zwanzig", zwanzig);
    Schreiben(corpus / "fuzz_kundengruppen", "gruppen", Lesen(d / "geogruppe.txt"));
    Schreiben(corpus / "fuzz_kundengruppen", "gruppen-lf", "Mainz\nAlzey\n\nWorms\n");
    Schreiben(corpus / "fuzz_einstellungen", "einstellungen", einstellungen);
    Schreiben(corpus / "fuzz_einstellungen", "einstellungen-kurz", einstellungen.substr(0, 40));

    const std::uint32_t von = Datum(1, 11, 2026).Julian();
    const std::uint32_t bis = Datum(31, 12, 2026).Julian();
    Schreiben(corpus / "fuzz_rechnungen", "lesen",
              FuzzEingabe::Verbinden({Parameter(2, 0.0f, 0.0f, von, bis, 2, 0), kunden, weine,
                                      rechnungen, posten, einstellungen}));
    Schreiben(corpus / "fuzz_rechnungen", "aendern",
              FuzzEingabe::Verbinden({Parameter(-1, 168.0f, 0.01f, von, bis, 1 | 2 | 8, 3), kunden,
                                      weine, rechnungen, posten, einstellungen}));

    Schreiben(corpus / "fuzz_kunden_csv", "kunden",
              CodePage::Utf8ToCp1252("Karl Heinz Müller;Weinstraße 3;D-55234;Framersheim;"
                                     "06733 1234;06733 1235;karl@example.org\r\n"
                                     "Al Weber;Hauptstr. 1;6712;Gau-Odernheim;;;Stammkunde\r\n"
                                     "A Schmidt;;;Alzey\n"
                                     "\n"
                                     "Kern;Bahnhofstr. 1;55232;Alzey;1;2;3;4;5"));

    std::vector<std::string> alte(25);
    alte[0] =
        AlterKunde("Herrn", "Karl", "Acker", "Weinstr. 3", "55234 Framersheim", "06733 1", "SA");
    alte[12] =
        AlterKunde("Frau", "Anna", "M\x81ller", "Am Berg 12", "6712 Gau-Odernheim", "", "W") +
        AlterKunde("Firma", "", "Mayer", "", "Alzey", "", "B") + "Rest";
    alte[24] = AlterKunde("Eheleute", "Eva", "Young", "Ring 1", "55232 Alzey", "1", "s");
    Schreiben(corpus / "fuzz_alte_kunden", "alte-kunden", FuzzEingabe::Verbinden(alte));

    std::string wl = AlterWein("Riesling", "1998 Kabinett", "0,75 l", 1250) +
                     AlterWein("", "", "", 0) +
                     AlterWein("Sp\x84tburgunder", "1997 Sp\x84tlese", "0,5 l", 900) +
                     AlterWein("Silvaner", "", "1,0 l", 1600);
    Schreiben(corpus / "fuzz_alte_weine", "wl", wl);

    std::string wl1 = AlterText("12.50", 10) + AlterText("0", 10) + AlterText("", 10) +
                      AlterText("9.8", 10) + AlterText("7", 10);
    std::string wl2 = AlterText("3.25", 10) + AlterText("abc", 10) + AlterText("1.0", 10) + "12";
    Schreiben(corpus / "fuzz_alte_preise", "wl", FuzzEingabe::Verbinden({wl1, wl2, ""}));

    std::error_code egal;
    fs::current_path("/", egal);
    fs::remove_all(arbeit, egal);
    return 0;
}
