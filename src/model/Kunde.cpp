#include "model/Kunde.h"

#include <cstring>

#include "storage/Datum.h"
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
    if (this != &other) {
        kFelder.Kopieren(*this, other);
    }
    return *this;
}

void Kunde::Clear() {
    kFelder.Leeren(*this, &Kunde::nummer, &Kunde::erfasstDatum, &Kunde::erfasstZeit);
    letzteRechnung = -1;
}

bool Kunde::Matches(const Kunde& muster) const {
    return BeginsWith(Nachname, muster.Nachname) && BeginsWith(Vorname, muster.Vorname) &&
           BeginsWith(Strasse, muster.Strasse) && (muster.PLZ == 0 || muster.PLZ == PLZ) &&
           BeginsWith(Ort, muster.Ort) && BeginsWith(Telefon, muster.Telefon) &&
           BeginsWith(Fax, muster.Fax) && BeginsWith(EMail, muster.EMail) &&
           BeginsWith(Anrede, muster.Anrede);
}
