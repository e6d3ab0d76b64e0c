#pragma once

class KundenVerwaltung;
class WeinlistenVerwaltung;
class PreisVerwaltung;
class PostenVerwaltung;
class RechnungsVerwaltung;
class GeoGruppe;
class LogBuch;
class Customizer;

// The manager set handed to every dialog and to the invoice manager: eight
// pointers in this order, none owned. The customer manager is null until the
// customer file has been read at start-up.
struct Verwaltungen {
    KundenVerwaltung* kundenVerwaltung = nullptr;
    WeinlistenVerwaltung* weinlistenVerwaltung = nullptr;
    PreisVerwaltung* preisVerwaltung = nullptr;
    PostenVerwaltung* postenVerwaltung = nullptr;
    RechnungsVerwaltung* rechnungsVerwaltung = nullptr;
    GeoGruppe* geoGruppe = nullptr;
    LogBuch* logBuch = nullptr;
    Customizer* customizer = nullptr;
};
