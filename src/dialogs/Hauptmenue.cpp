#include "dialogs/Hauptmenue.h"

#include "storage/CodePage.h"

const std::vector<Hauptmenue::Popup>& Hauptmenue::Menue() {
    static const std::vector<Popup> menue = {
        {"&Kundenverwaltung",
         {{"Kunde &erfassen\tF9", kKundeErfassen},
          {"Kunde &suchen\tF10", kKundeSuchen},
          {"", 0},
          {"&Exportieren von Kundendaten", kKundendatenExportieren},
          {"", 0},
          {"&Beenden\tAlt+F4", kBeenden}}},
        {"&Weinlisten",
         {{"&Weine verwalten", kWeineVerwalten},
          {"", 0},
          {"&Preisliste verwalten", kPreislisteVerwalten},
          {"Preisliste &exportieren", kPreislisteExportieren}}},
        {"&Rechungsverwaltung",
         {{"&Erstellen\tF5", kRechnungErstellen},
          {"Abrufen nach &Datum\tF6", kAbrufenNachDatum},
          {"Abrufen nach &Nummer\tF7", kAbrufenNachNummer},
          {"", 0},
          {"&Flaschenzählung"_w, kFlaschenzaehlung},
          {"&Auswertungen...", kAuswertungen},
          {"DATEV-E&xport...", kDatevExport},
          {"", 0},
          {"&Offene Posten / Mahnungen...", kOffenePosten}}},
        {"&Optionen",
         {{"Neuer &Merkzettel", kNeuerMerkzettel},
          {"", 0},
          {"&Grundeinstellungen", kGrundeinstellungen},
          {"&Firmendaten (E-Rechnung)", kFirmendaten},
          {"&DATEV-Einstellungen...", kDatevEinstellungen},
          {"M&ahnwesen...", kMahnwesen},
          {"", 0},
          {"Daten&sicherung...", kDatensicherung},
          {"Datensicherung &zurückspielen..."_w, kSicherungZurueckspielen}}},
        {"&Hilfe", {{"&Benutzerhandbuch\tF1", kBenutzerhandbuch}, {"&Über.."_w, kUeber}}},
    };
    return menue;
}

const std::vector<Hauptmenue::Taste>& Hauptmenue::Tasten() {
    // F1 is named in the menu; it opens the manual as the menu says.
    static const std::vector<Taste> tasten = {
        {"F5", kRechnungErstellen}, {"F6", kAbrufenNachDatum}, {"F7", kAbrufenNachNummer},
        {"F9", kKundeErfassen},     {"F10", kKundeSuchen},     {"F1", kBenutzerhandbuch},
    };
    return tasten;
}

std::string Hauptmenue::Hinweis(int befehl) {
    switch (befehl) {
        case kKundeErfassen:
            return "Neue Kunden erfassen";
        case kBeenden:
            return "Rebkontor verlassen und alle Daten speichern";
        default:
            return {};
    }
}

const std::vector<Hauptmenue::Knopf>& Hauptmenue::Werkzeugleiste() {
    static const std::vector<Knopf> knoepfe = {
        {0, 0, 20},
        {23004, kKundeSuchen, 0},
        {23000, kWeineVerwalten, 0},
        {23001, kPreislisteVerwalten, 0},
        {23002, kRechnungErstellen, 0},
        {23003, kFlaschenzaehlung, 0},
        {0, 0, 60},
        {25200, kUeber, 0},
    };
    return knoepfe;
}
