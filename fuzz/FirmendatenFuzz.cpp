// The Firmendaten file: loading, the field checks, storing what was loaded
// (which must read back as the same fields), and an e-invoice naming the
// seller with whatever the fields hold, which must still be well-formed XML.

#include <libxml/parser.h>

#include <cstdint>
#include <string>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "documents/ERechnung.h"
#include "documents/XRechnungXml.h"
#include "model/Firmendaten.h"

namespace {

constexpr const char* kDatei = "daten/firmendaten.txt";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    Firmendaten daten;
    FUZZ_PRUEFE(daten.Laden(kDatei));
    FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
    const std::string pruefung = daten.Pruefen();
    const std::string fehlt = daten.Unvollstaendig();
    FUZZ_PRUEFE(daten.ZahlungszielTage() >= 0 && daten.ZahlungszielTage() <= 365);
    FUZZ_PRUEFE(daten.Speichern(kDatei));
    Firmendaten wieder;
    FUZZ_PRUEFE(wieder.Laden(kDatei));
    FUZZ_PRUEFE(wieder.Text() == daten.Text());
    FUZZ_PRUEFE(wieder.Pruefen() == pruefung && wieder.Unvollstaendig() == fehlt);

    ERechnung e;
    e.verkaeufer.name = ERechnung::Text(daten.name);
    e.verkaeufer.strasse = ERechnung::Text(daten.strasse);
    e.verkaeufer.ort = ERechnung::Text(daten.ort);
    e.verkaeufer.email = ERechnung::Text(daten.email);
    e.verkaeufer.steuernummer = ERechnung::Text(daten.steuernummer);
    e.bemerkung = ERechnung::Text(eingabe.substr(0, 300));
    e.zeilen.push_back({1, ERechnung::Text(daten.bank), ERechnung::Text(daten.inhaber), 1, 1, 1});
    const std::string xml = XRechnungXml::Schreiben(e, XRechnungXml::kXRechnung);
    xmlDocPtr dokument = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "e.xml", nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    FUZZ_PRUEFE(dokument != nullptr);
    xmlFreeDoc(dokument);
    return 0;
}
