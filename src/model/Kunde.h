#pragma once

#include <cstdint>

#include "storage/Feldtabelle.h"

// One customer; its fields in declaration order are its 528-byte file image.
class Kunde {
  public:
    static constexpr std::size_t DiskSize = 528;
    // The number of a customer not yet numbered (and of search templates).
    static constexpr std::int32_t kOhneNummer = 2147483647;

    // Clears every field, then sets the number and the capture stamp to now.
    explicit Kunde(std::int32_t nummer = kOhneNummer);
    virtual ~Kunde() = default;
    // Copies all sixteen fields; text fields up to and including their
    // terminator (a field without one is copied whole).
    Kunde(const Kunde& other);
    Kunde& operator=(const Kunde& other);

    // Empties the ten texts, sets PLZ, preisliste and kundenGruppe to 0 and
    // letzteRechnung to -1; the number and the capture stamp stay.
    void Clear();

    // Whether this customer fits a search template: each text of the
    // template is a byte-for-byte, case-sensitive prefix of this customer's
    // text, and the template's PLZ is 0 or equal.
    bool Matches(const Kunde& muster) const;

    std::int32_t Key() const { return nummer; }

    std::int32_t nummer = kOhneNummer;
    char Anrede[31] = {};
    char Vorname[31] = {};
    char Nachname[31] = {};
    char Strasse[31] = {};
    std::int32_t PLZ = 0;
    char Ort[31] = {};
    char Telefon[21] = {};
    char Fax[21] = {};
    char EMail[51] = {};
    char bemerkung[256] = {};
    std::int16_t preisliste = 0;
    std::int16_t kundenGruppe = 0;
    std::uint32_t erfasstDatum = 0;
    std::uint32_t erfasstZeit = 0;
    std::int32_t letzteRechnung = -1;

    static constexpr auto kFelder = Feldtabelle(
        "Kunde", Satzfeld("nummer", &Kunde::nummer), Satzfeld("Anrede", &Kunde::Anrede),
        Satzfeld("Vorname", &Kunde::Vorname), Satzfeld("Nachname", &Kunde::Nachname),
        Satzfeld("Strasse", &Kunde::Strasse), Satzfeld("PLZ", &Kunde::PLZ),
        Satzfeld("Ort", &Kunde::Ort), Satzfeld("Telefon", &Kunde::Telefon),
        Satzfeld("Fax", &Kunde::Fax), Satzfeld("EMail", &Kunde::EMail),
        Satzfeld("bemerkung", &Kunde::bemerkung), Satzfeld("preisliste", &Kunde::preisliste),
        Satzfeld("kundenGruppe", &Kunde::kundenGruppe),
        Satzfeld("erfasstDatum", &Kunde::erfasstDatum),
        Satzfeld("erfasstZeit", &Kunde::erfasstZeit),
        Satzfeld("letzteRechnung", &Kunde::letzteRechnung));
};
