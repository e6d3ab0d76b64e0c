#include "Grunddaten.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

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
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "support/FileBytes.h"

namespace fs = std::filesystem;

namespace {

void Kunde_(KundenVerwaltung& kv, const char* vorname, const char* nachname, std::int32_t plz,
            const char* ort) {
    Kunde k;
    FixedText::Set(k.Anrede, "Herrn");
    FixedText::Set(k.Vorname, vorname);
    FixedText::Set(k.Nachname, CodePage::Utf8ToCp1252(nachname));
    FixedText::Set(k.Strasse, "Weinstrasse 3");
    k.PLZ = plz;
    FixedText::Set(k.Ort, ort);
    kv.AddKunde(k);
}

void Wein_(WeinlistenVerwaltung& wv, std::int32_t nummer, const char* name, std::int32_t bestand) {
    wv.AddWein(nummer);
    Wein* w = wv.GetWein(nummer);
    FixedText::Set(w->name, name);
    FixedText::Set(w->fuellmenge, "0,75 l");
    w->gewicht = 1250;
    w->bestand = bestand;
    wv.Sort();
}

std::string AlterText(const std::string& text, std::size_t kapazitaet) {
    std::string feld(kapazitaet + 1, '\0');
    feld[0] = static_cast<char>(text.size());
    feld.replace(1, text.size(), text);
    return feld;
}

}  // namespace

const std::string& Grunddaten::Vorlage() {
    static const std::string vorlage = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string muster =
            std::string(tmp != nullptr ? tmp : "/tmp") + "/rebkontor-vorlage-XXXXXX";
        std::vector<char> puffer(muster.begin(), muster.end());
        puffer.push_back('\0');
        if (::mkdtemp(puffer.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        std::string verzeichnis = puffer.data();
        Erzeugen(verzeichnis);
        // Removed when the test program ends.
        static struct Aufraeumen {
            std::string pfad;
            ~Aufraeumen() {
                std::error_code egal;
                fs::remove_all(pfad, egal);
            }
        } aufraeumen{verzeichnis};
        return verzeichnis;
    }();
    return vorlage;
}

void Grunddaten::Kopieren(const std::string& arbeitsverzeichnis) {
    fs::copy(Vorlage(), arbeitsverzeichnis,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void Grunddaten::Erzeugen(const std::string& verzeichnis) {
    const fs::path vorher = fs::current_path();
    fs::create_directory(verzeichnis + "/daten");
    fs::create_directory(verzeichnis + "/daten_alt");
    fs::current_path(verzeichnis);
    KundenVerwaltung::maxNummer = 0;
    {
        Datenbestand bestand("daten");
        Verwaltungen& v = bestand.GetVerwaltungen();
        KundenVerwaltung& kv = bestand.KundenEinlesen();
        v.geoGruppe->AddGeoGruppe("Mainz");
        v.geoGruppe->AddGeoGruppe("Alzey");
        v.preisVerwaltung->AddPreisliste("Abhol");
        v.preisVerwaltung->AddPreisliste("Versand");

        Kunde_(kv, "Karl", "Müller", 55234, "Framersheim");
        Kunde_(kv, "Anna", "Schäfer", 6712, "Gau-Odernheim");
        Kunde_(kv, "Eva", "Kern", 55232, "Alzey");
        Kunde_(kv, "Otto", "Weber", 55232, "Alzey");

        WeinlistenVerwaltung& wv = *v.weinlistenVerwaltung;
        Wein_(wv, 12, "Riesling", 480);
        Wein_(wv, 3, "Silvaner", 120);
        Wein_(wv, 27, "Dornfelder", 60);

        PreisVerwaltung& pv = *v.preisVerwaltung;
        for (int liste = 0; liste < 2; ++liste) {
            pv.SetPreisliste(liste);
            pv.AddPreis(Preis(3, 7.0f + liste, 3.58f));
            pv.AddPreis(Preis(12, 10.5f + liste, 5.37f));
        }

        RechnungsVerwaltung& rv = *v.rechnungsVerwaltung;
        Rechnung* r = rv.AllocRechnung(1);
        rv.SetPosten(*r, 12, 10.5f, 5.37f, 12);
        rv.SetPosten(*r, 3, 7.0f, 3.58f, 6);
        r->datum = Datum(1, 12, 2026).Julian();
        rv.StoreRechnung();
        r = rv.AllocRechnung(2);
        rv.SetPosten(*r, 27, 15.0f, 7.67f, 3);
        rv.StoreRechnung();
        r = rv.AllocRechnung(1);
        rv.SetPosten(*r, 3, 7.0f, 3.58f, 24);
        r->beglichen = 1;
        rv.StoreRechnung();
        Rechnung kopie(*rv.GetRechnung(1));
        kopie.kartons = 2;
        rv.UpdateRechnung(kopie);

        v.customizer->SetWaehrung("EUR");
        if (!v.customizer->Store()) {
            throw std::runtime_error("the template's settings could not be stored");
        }
        MerkzettelVerwaltung& mv = bestand.MerkzettelOeffnen();
        FixedText::Set(mv.NewNote().text, "Rebschnitt");
        mv.Flush();
    }
    std::string alteKunden = AlterText("Herrn", 30) + AlterText("Karl", 30) +
                             AlterText("Acker", 30) + AlterText("Weinstr. 3", 30) +
                             AlterText("55234 Framersheim", 30) + AlterText("1", 20) +
                             AlterText("SA", 5);
    WriteBytes("daten_alt/A.dat", alteKunden + alteKunden);
    WriteBytes("daten_alt/B.dat", alteKunden);
    std::string wein = AlterText("Riesling", 60) + AlterText("Kabinett", 60) +
                       AlterText("0,75 l", 10) + std::string("\xe2\x04", 2);
    WriteBytes("daten_alt/wl", wein + wein + wein);
    WriteBytes("daten_alt/wl-1", AlterText("12.50", 10) + AlterText("9.80", 10) +
                                     AlterText("0", 10) + AlterText("4", 10));
    WriteBytes("kunden.csv",
               "Karl Heinz Acker;Weinstr. 3;55234;Framersheim;1;2;karl@example.org\r\n"
               "Anna Berg;Am Berg 1;6712;Gau-Odernheim;;;Stammkunde\r\n"
               "Eva Kern;;;Alzey\r\n");
    fs::current_path(vorher);
}
