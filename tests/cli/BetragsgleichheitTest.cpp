#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "cli/Beispieldaten.h"
#include "cli/Lesebestand.h"
#include "documents/ERechnung.h"
#include "documents/PrintRechnung.h"
#include "documents/RecordingCanvas.h"
#include "documents/XRechnungXml.h"
#include "model/Firmendaten.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "support/TempDir.h"

namespace {

// The amount that ends a printed line ("... EUR 12.34"), or what stands
// between `vor` and `nach` in it.
std::string Betrag(const RecordingCanvas& canvas, const std::string& zeile,
                   const std::string& vor = "", const std::string& nach = "") {
    const RecordingCanvas::Text* text = canvas.Find(zeile);
    if (text == nullptr) {
        return "(keine Zeile " + zeile + ")";
    }
    if (vor.empty()) {
        return text->text.substr(text->text.rfind(' ') + 1);
    }
    const std::size_t anfang = text->text.find(vor) + vor.size();
    return text->text.substr(anfang, text->text.find(nach, anfang) - anfang);
}

// Every invoice of the benchmarks' business, with prices that include VAT
// (as the sample is) and with prices that do not: the customer invoice's
// final amount is what its e-invoice asks to be paid, and the VAT it prints
// is the VAT the e-invoice declares. The e-invoice that stretches the VAT
// furthest from its rounded lines still passes the validation kit beside
// the repository.
TEST(Betragsgleichheit, EveryBenchmarkInvoicePrintsTheVatAndFinalAmountOfItsEInvoice) {
    TempDir dir;
    const std::string daten = dir / "daten";
    std::filesystem::create_directory(daten);
    Beispieldaten::Erzeugen(daten, Beispieldaten::Umfang::Benchmark(), 20261231,
                            Datum(31, 12, 2026));
    Lesebestand bestand(daten);
    Verwaltungen& v = bestand.V();
    Firmendaten firma;
    ASSERT_TRUE(firma.Laden(daten + "/" + Firmendaten::kDatei));
    // The amounts are what this compares; drawing 100,000 payment codes
    // would only make it slow (the code has tests of its own).
    firma.giroCode = false;
    ASSERT_TRUE(firma.Speichern(daten + "/" + Firmendaten::kDatei));
    // Only customers with an address and an e-mail address can be sent an
    // e-invoice: in memory, every one gets what it lacks.
    for (unsigned i = 0; i < v.kundenVerwaltung->Count(); ++i) {
        Kunde& k = (*v.kundenVerwaltung)[i];
        if (FixedText::Get(k.EMail).empty()) {
            FixedText::Set(k.EMail, "kunde" + std::to_string(k.nummer) + "@example.com");
        }
        for (char(*feld)[31] : {&k.Strasse, &k.Ort}) {
            if (FixedText::Get(*feld).empty()) {
                FixedText::Set(*feld, "X");
            }
        }
        if (k.PLZ <= 0) {
            k.PLZ = 55232;
        }
    }

    // The e-invoice whose VAT lies furthest from its net sum times the rate:
    // the validation rules allow a currency unit of leeway there.
    std::optional<ERechnung> weiteste;
    std::int64_t weite = -1;
    for (std::uint8_t enthalten : {1, 0}) {
        v.customizer->mwstEnthalten = enthalten;
        int verglichen = 0;
        int abweichend = 0;
        for (std::int32_t id = 0;; ++id) {
            const Rechnung* gelesen = v.rechnungsVerwaltung->GetRechnung(id);
            if (gelesen == nullptr) {
                break;
            }
            if (gelesen->IstGeloescht() || gelesen->GetAnzahlPosten() == 0) {
                continue;
            }
            const Rechnung r = *gelesen;
            std::string fehler;
            const std::optional<ERechnung> e = ERechnung::Aus(r, v, firma, "", fehler);
            ASSERT_TRUE(e.has_value()) << "Rechnung Id " << id << ": " << fehler;

            PrintRechnung doc(PrintRechnung::kKundenRechnung, false, &v,
                              v.kundenVerwaltung->GetKunde(r.kunde), &r);
            RecordingCanvas canvas;
            doc.Layout(canvas, doc.Seiten(), 0, 0, 2100, 2970);
            const std::string endbetrag = Betrag(canvas, "ENDBETRAG");
            const std::string mwst = enthalten != 0 ? Betrag(canvas, "enth\xE4lt", "EUR ", " (")
                                                    : Betrag(canvas, "Mehrwertsteuer");
            ++verglichen;
            const std::int64_t abstand = std::abs(e->mwst * 10000 - e->summeNetto * e->satz);
            if (abstand > weite) {
                weite = abstand;
                weiteste = e;
            }
            if (endbetrag != ERechnung::Betrag(e->zahlbar) || mwst != ERechnung::Betrag(e->mwst)) {
                if (++abweichend <= 5) {
                    ADD_FAILURE() << "Rechnung Id " << id << " (MwSt. enthalten: " << int{enthalten}
                                  << "): gedruckt Endbetrag " << endbetrag << ", MwSt. " << mwst
                                  << "; E-Rechnung zahlbar " << ERechnung::Betrag(e->zahlbar)
                                  << ", MwSt. " << ERechnung::Betrag(e->mwst);
                }
            }
        }
        EXPECT_EQ(abweichend, 0) << "von " << verglichen;
        EXPECT_GT(verglichen, 45000);
    }
    ASSERT_TRUE(weiteste.has_value());
    const std::string xml = dir / "weiteste.xml";
    std::ofstream(xml, std::ios::binary)
        << XRechnungXml::Schreiben(*weiteste, XRechnungXml::kXRechnung);

    const std::filesystem::path kit = REBKONTOR_EINVOICE;
    if (!std::filesystem::exists(kit / "validate") ||
        !std::filesystem::exists("/usr/share/java/Saxon-HE.jar")) {
        // The amounts are compared; only the validation needs the kit.
        std::cout << "Validierungs-Kit oder Saxon-HE fehlen, nicht validiert: " << kit << "\n";
        return;
    }
    const int rc =
        std::system(((kit / "validate").string() + " " + xml + " > " + xml + ".txt 2>&1").c_str());
    std::ifstream bericht(xml + ".txt");
    std::stringstream text;
    text << bericht.rdbuf();
    EXPECT_EQ(rc, 0) << text.str();
}

}  // namespace
