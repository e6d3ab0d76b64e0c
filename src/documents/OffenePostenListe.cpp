#include "documents/OffenePostenListe.h"

#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "model/Rechnungsbetrag.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"

namespace {

// A field may not carry the separator or a line break into the table.
std::string Feld(std::string text) {
    for (char& c : text) {
        if (c == ';' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

std::string DatumText(Datum datum) {
    return datum.IsValid() ? datum.Text() : std::string();
}

}  // namespace

std::string OffenePostenListe::Betrag(std::int64_t cent) {
    std::string text = Rechnungsbetrag::Text(cent);
    const std::size_t punkt = text.find('.');
    if (punkt != std::string::npos) {
        text[punkt] = ',';
    }
    return text;
}

std::string OffenePostenListe::KundenName(KundenVerwaltung* kunden, std::int32_t nummer) {
    const Kunde* kunde = kunden != nullptr ? kunden->GetKunde(nummer) : nullptr;
    if (kunde == nullptr) {
        return "N/A";
    }
    const std::string nachname = FixedText::Get(kunde->Nachname);
    const std::string vorname = FixedText::Get(kunde->Vorname);
    return vorname.empty() ? nachname : nachname + ", " + vorname;
}

std::string OffenePostenListe::Csv(const std::vector<OffenerPosten>& posten,
                                   KundenVerwaltung* kunden) {
    std::string text =
        "Kundennummer;Kunde;Rechnungsnummer;Rechnungsdatum;Fällig am;Tage überfällig;Betrag;"
        "Erhalten;Offen;Mahnstufe;Letzte Mahnung\r\n"_w;
    for (const OffenerPosten& p : posten) {
        text += std::to_string(p.kunde) + ";" + Feld(KundenName(kunden, p.kunde)) + ";" +
                std::to_string(p.nummer) + ";" + DatumText(p.datum) + ";" + DatumText(p.faellig) +
                ";" + std::to_string(p.tageUeberfaellig > 0 ? p.tageUeberfaellig : 0) + ";" +
                Betrag(p.endbetrag) + ";" + Betrag(p.eingegangen) + ";" + Betrag(p.offen) + ";" +
                std::to_string(p.stufe) + ";" + DatumText(p.letzteMahnung) + "\r\n";
    }
    return text;
}
