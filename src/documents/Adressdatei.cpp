#include "documents/Adressdatei.h"

#include <sstream>

#include "documents/Ausgabeziel.h"
#include "model/KundenVerwaltung.h"
#include "storage/FixedText.h"

void Adressdatei::WriteAdressdatei(const KundenVerwaltung& kunden, std::ostream& out,
                                   bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                   std::uint32_t plzBis) {
    out << "Anrede,Vorname,Nachname,Strasse,PLZ,Ort,Telefon,Fax,EMail\r\n";
    for (unsigned i = 0; i < kunden.Count(); ++i) {
        const Kunde& k = kunden[i];
        auto plz = static_cast<std::uint32_t>(k.PLZ);
        if (nachPLZ && (plz < plzVon || plz > plzBis)) {
            continue;
        }
        if (nachGruppe && static_cast<int>(k.kundenGruppe) != gruppe) {
            continue;
        }
        out << FixedText::Get(k.Anrede) << ',' << FixedText::Get(k.Vorname) << ','
            << FixedText::Get(k.Nachname) << ',' << FixedText::Get(k.Strasse) << ',' << k.PLZ << ','
            << FixedText::Get(k.Ort) << ',' << FixedText::Get(k.Telefon) << ','
            << FixedText::Get(k.Fax) << ',' << FixedText::Get(k.EMail) << "\r\n";
    }
}

Ergebnis<void> Adressdatei::Write(const KundenVerwaltung& kunden, const std::string& fileName,
                                  bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                  std::uint32_t plzBis) {
    std::ostringstream out;
    WriteAdressdatei(kunden, out, nachGruppe, nachPLZ, gruppe, plzVon, plzBis);
    return Ausgabeziel::Ersetzen(fileName, out.str());
}
