#pragma once

#include <string>

#include "documents/ERechnung.h"

// The e-invoice as UN/CEFACT Cross Industry Invoice (CII) XML, UTF-8.
//  - kXRechnung: the German XRechnung 3.0 (its profile identifier);
//  - kFacturX: the EN 16931 profile of ZUGFeRD / Factur-X, the XML a
//    PDF/A-3 carries as "factur-x.xml".
class XRechnungXml {
  public:
    enum Profil { kXRechnung, kFacturX };

    static constexpr const char* kXRechnungKennung =
        "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";
    static constexpr const char* kFacturXKennung = "urn:cen.eu:en16931:2017";

    static std::string Schreiben(const ERechnung& rechnung, Profil profil);
};
