#include "model/Rechnungsbetrag.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "model/Rechnung.h"
#include "storage/Customizer.h"

namespace {

bool InEuro(const Customizer* c) {
    return c != nullptr && c->preiseInEuro != 0;
}

}  // namespace

Rechnungsbetrag::Rechnungsbetrag(const Rechnung& rechnung, const Customizer* einstellungen) {
    const bool enthalten = einstellungen != nullptr && einstellungen->mwstEnthalten != 0;
    const float satz = einstellungen != nullptr ? einstellungen->mwst : 0.0f;
    // The page has always computed in single precision, each step rounded
    // to float; the cents are those of exactly these results.
    const float s = rechnung.GetSumme(!InEuro(einstellungen));
    // With prices that include VAT the sum already holds it: 100.00 at 19 %
    // contains 15.97, not the 19.00 that would be added on top of a net 100.00.
    summe = Cent(s);
    mwst = Cent(enthalten ? s * satz / (100 + satz) : s * satz / 100);
    endbetrag = enthalten ? summe : Cent(s * (100 + satz) / 100);
    eingegangen = Cent(rechnung.betragEingegangen);
    offen = endbetrag > eingegangen ? endbetrag - eingegangen : 0;

    datum = Datum(rechnung.datum);
    datiert = datum.Year() > 1975 && datum.Year() < 10000;
    if (!datiert) {
        datum = Datum(rechnung.erfasstDatum);
    }
}

Rechnungsbetrag::Posten Rechnungsbetrag::Von(const PostenVerwaltung::Posten& posten,
                                             const Customizer* einstellungen) {
    const float preis = InEuro(einstellungen) ? posten.preisEuro : posten.preisDM;
    return {Cent(preis), Cent(static_cast<float>(posten.menge) * preis)};
}

std::int64_t Rechnungsbetrag::Summe(const PostenVerwaltung& posten, std::int32_t kopf,
                                    std::int32_t rechnung, const Customizer* einstellungen) {
    return Cent(posten.Summe(kopf, rechnung, !InEuro(einstellungen)));
}

std::int64_t Rechnungsbetrag::Cent(float betrag) {
    constexpr double kGrenze = 1e15;
    if (std::isnan(betrag)) {
        return 0;
    }
    // A float times 100 is exact in a double (24 + 7 significant bits), so
    // rounding it to the nearest integer, a half to the even one, gives the
    // very digits printf's correctly rounded "%.2f" writes.
    const double cent = std::nearbyint(static_cast<double>(betrag) * 100.0);
    return static_cast<std::int64_t>(std::fmax(-kGrenze, std::fmin(kGrenze, cent)));
}

std::string Rechnungsbetrag::Text(std::int64_t cent) {
    const std::uint64_t betrag =
        cent < 0 ? 0 - static_cast<std::uint64_t>(cent) : static_cast<std::uint64_t>(cent);
    char text[32];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%02" PRIu64, cent < 0 ? "-" : "", betrag / 100,
                  betrag % 100);
    return text;
}
