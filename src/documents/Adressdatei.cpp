#include "documents/Adressdatei.h"

#include <charconv>
#include <sstream>

#include "documents/Ausgabeziel.h"
#include "model/KundenVerwaltung.h"
#include "storage/FixedText.h"

bool Adressdatei::Filter::Passt(const Kunde& k) const {
    const auto plz = static_cast<std::uint32_t>(k.PLZ);
    return (!nachPLZ || (plz >= plzVon && plz <= plzBis)) &&
           (!nachGruppe || static_cast<int>(k.kundenGruppe) == gruppe);
}

void Adressdatei::Zeile(const Kunde& k, std::string& out) {
    const auto feld = [&out](std::string_view text, char danach) {
        out.append(text);
        out.push_back(danach);
    };
    feld(FixedText::Sicht(k.Anrede), ',');
    feld(FixedText::Sicht(k.Vorname), ',');
    feld(FixedText::Sicht(k.Nachname), ',');
    feld(FixedText::Sicht(k.Strasse), ',');
    char plz[16];
    const auto [ende, fehler] = std::to_chars(plz, plz + sizeof plz, k.PLZ);
    feld(std::string_view(plz, static_cast<std::size_t>(ende - plz)), ',');
    feld(FixedText::Sicht(k.Ort), ',');
    feld(FixedText::Sicht(k.Telefon), ',');
    feld(FixedText::Sicht(k.Fax), ',');
    out.append(FixedText::Sicht(k.EMail));
    out.append("\r\n");
}

void Adressdatei::WriteAdressdatei(const KundenVerwaltung& kunden, std::ostream& out,
                                   bool nachGruppe, bool nachPLZ, int gruppe, std::uint32_t plzVon,
                                   std::uint32_t plzBis) {
    const Filter filter{nachGruppe, nachPLZ, gruppe, plzVon, plzBis};
    out << kKopf;
    std::string zeile;
    for (unsigned i = 0; i < kunden.Count(); ++i) {
        if (filter.Passt(kunden[i])) {
            zeile.clear();
            Zeile(kunden[i], zeile);
            out << zeile;
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
