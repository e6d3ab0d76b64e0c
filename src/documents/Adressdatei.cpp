#include "documents/Adressdatei.h"

#include <sstream>

#include "documents/Ausgabeziel.h"
#include "model/KundenVerwaltung.h"
#include "storage/FixedText.h"

bool Adressdatei::Filter::Passt(const Kunde& k) const {
    const auto plz = static_cast<std::uint32_t>(k.PLZ);
    return (!nachPLZ || (plz >= plzVon && plz <= plzBis)) &&
           (!nachGruppe || static_cast<int>(k.kundenGruppe) == gruppe);
}

void Adressdatei::Kopf(std::ostream& out) {
    out << "Anrede,Vorname,Nachname,Strasse,PLZ,Ort,Telefon,Fax,EMail\r\n";
}

void Adressdatei::Zeile(const Kunde& k, std::ostream& out) {
    out << FixedText::Get(k.Anrede) << ',' << FixedText::Get(k.Vorname) << ','
        << FixedText::Get(k.Nachname) << ',' << FixedText::Get(k.Strasse) << ',' << k.PLZ << ','
        << FixedText::Get(k.Ort) << ',' << FixedText::Get(k.Telefon) << ',' << FixedText::Get(k.Fax)
        << ',' << FixedText::Get(k.EMail) << "\r\n";
}

void Adressdatei::WriteAdressdatei(const KundenVerwaltung& kunden, std::ostream& out,
                                   bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                   std::uint32_t plzBis) {
    const Filter filter{nachGruppe, nachPLZ, gruppe, plzVon, plzBis};
    Kopf(out);
    for (unsigned i = 0; i < kunden.Count(); ++i) {
        if (filter.Passt(kunden[i])) {
            Zeile(kunden[i], out);
        }
    }
}

Ergebnis<void> Adressdatei::Write(const KundenVerwaltung& kunden, const std::string& fileName,
                                  bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                  std::uint32_t plzBis) {
    std::ostringstream out;
    WriteAdressdatei(kunden, out, nachGruppe, nachPLZ, gruppe, plzVon, plzBis);
    return Ausgabeziel::Ersetzen(fileName, out.str());
}
