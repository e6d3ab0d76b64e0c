#include "model/Kunde.h"

#include <cstring>

#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "storage/Zeit.h"

namespace {

// Whether the text of `field` begins with the text of `prefix`, byte for byte.
template <std::size_t N>
bool BeginsWith(const char (&field)[N], const char (&prefix)[N]) {
    const std::size_t n = ::strnlen(prefix, N);
    return ::strnlen(field, N) >= n && std::memcmp(field, prefix, n) == 0;
}

}  // namespace

Kunde::Kunde(std::int32_t nummer_) {
    Clear();
    nummer = nummer_;
    erfasstDatum = Datum::Heute().Julian();
    erfasstZeit = Zeit::Jetzt().Seconds();
}

Kunde::Kunde(const Kunde& other) {
    *this = other;
}

Kunde& Kunde::operator=(const Kunde& other) {
    if (this == &other) {
        return *this;
    }
    nummer = other.nummer;
    FixedText::Copy(Anrede, other.Anrede);
    FixedText::Copy(Vorname, other.Vorname);
    FixedText::Copy(Nachname, other.Nachname);
    FixedText::Copy(Strasse, other.Strasse);
    PLZ = other.PLZ;
    FixedText::Copy(Ort, other.Ort);
    FixedText::Copy(Telefon, other.Telefon);
    FixedText::Copy(Fax, other.Fax);
    FixedText::Copy(EMail, other.EMail);
    FixedText::Copy(bemerkung, other.bemerkung);
    preisliste = other.preisliste;
    kundenGruppe = other.kundenGruppe;
    erfasstDatum = other.erfasstDatum;
    erfasstZeit = other.erfasstZeit;
    letzteRechnung = other.letzteRechnung;
    return *this;
}

void Kunde::Clear() {
    std::memset(Anrede, 0, sizeof Anrede);
    std::memset(Vorname, 0, sizeof Vorname);
    std::memset(Nachname, 0, sizeof Nachname);
    std::memset(Strasse, 0, sizeof Strasse);
    std::memset(Ort, 0, sizeof Ort);
    std::memset(Telefon, 0, sizeof Telefon);
    std::memset(Fax, 0, sizeof Fax);
    std::memset(EMail, 0, sizeof EMail);
    std::memset(bemerkung, 0, sizeof bemerkung);
    PLZ = 0;
    preisliste = 0;
    kundenGruppe = 0;
    letzteRechnung = -1;
}

bool Kunde::Matches(const Kunde& muster) const {
    return BeginsWith(Nachname, muster.Nachname) && BeginsWith(Vorname, muster.Vorname) &&
           BeginsWith(Strasse, muster.Strasse) && (muster.PLZ == 0 || muster.PLZ == PLZ) &&
           BeginsWith(Ort, muster.Ort) && BeginsWith(Telefon, muster.Telefon) &&
           BeginsWith(Fax, muster.Fax) && BeginsWith(EMail, muster.EMail) &&
           BeginsWith(Anrede, muster.Anrede);
}

ByteWriter& operator<<(ByteWriter& out, const Kunde& kunde) {
    out.Int32(kunde.nummer);
    out.Text(kunde.Anrede);
    out.Text(kunde.Vorname);
    out.Text(kunde.Nachname);
    out.Text(kunde.Strasse);
    out.Int32(kunde.PLZ);
    out.Text(kunde.Ort);
    out.Text(kunde.Telefon);
    out.Text(kunde.Fax);
    out.Text(kunde.EMail);
    out.Text(kunde.bemerkung);
    out.Int16(kunde.preisliste);
    out.Int16(kunde.kundenGruppe);
    out.UInt32(kunde.erfasstDatum);
    out.UInt32(kunde.erfasstZeit);
    out.Int32(kunde.letzteRechnung);
    return out;
}

ByteReader& operator>>(ByteReader& in, Kunde& kunde) {
    in.Int32(kunde.nummer);
    in.Text(kunde.Anrede);
    in.Text(kunde.Vorname);
    in.Text(kunde.Nachname);
    in.Text(kunde.Strasse);
    in.Int32(kunde.PLZ);
    in.Text(kunde.Ort);
    in.Text(kunde.Telefon);
    in.Text(kunde.Fax);
    in.Text(kunde.EMail);
    in.Text(kunde.bemerkung);
    in.Int16(kunde.preisliste);
    in.Int16(kunde.kundenGruppe);
    in.UInt32(kunde.erfasstDatum);
    in.UInt32(kunde.erfasstZeit);
    in.Int32(kunde.letzteRechnung);
    return in;
}
