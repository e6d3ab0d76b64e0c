#pragma once

#include <string>
#include <vector>

// The main window's menu, function keys, status bar hints and toolbar, as
// data, so that the window and the tests read the same tables.
class Hauptmenue {
  public:
    // Command identifiers.
    static constexpr int kKundeErfassen = 51682;
    static constexpr int kKundeSuchen = 51683;
    static constexpr int kWeineVerwalten = 51684;
    static constexpr int kPreislisteVerwalten = 51685;
    static constexpr int kRechnungErstellen = 51686;
    static constexpr int kKundendatenExportieren = 51687;
    static constexpr int kFlaschenzaehlung = 51688;
    static constexpr int kAbrufenNachDatum = 51689;
    static constexpr int kBenutzerhandbuch = 51690;
    static constexpr int kGrundeinstellungen = 51691;
    static constexpr int kNeuerMerkzettel = 51692;
    static constexpr int kAbrufenNachNummer = 51693;
    static constexpr int kPreislisteExportieren = 51694;
    static constexpr int kFirmendaten = 51695;
    static constexpr int kAuswertungen = 51710;
    static constexpr int kDatevExport = 51727;
    static constexpr int kDatevEinstellungen = 51728;
    static constexpr int kOffenePosten = 51696;
    static constexpr int kMahnwesen = 51697;
    static constexpr int kDatensicherung = 51720;
    static constexpr int kSicherungZurueckspielen = 51721;
    static constexpr int kUeber = 2009;
    static constexpr int kBeenden = 24310;

    // One menu item; command 0 is a separator. The text carries "&" before
    // the access key and, after a tab, the shortcut's name.
    struct Eintrag {
        std::string text;
        int befehl = 0;
    };
    struct Popup {
        std::string text;
        std::vector<Eintrag> eintraege;
    };
    // A function key ("F5") and the command it sends.
    struct Taste {
        std::string taste;
        int befehl = 0;
    };
    // A toolbar gadget: a button with its bitmap, or (command 0) a separator
    // of the given width.
    struct Knopf {
        int bitmap = 0;
        int befehl = 0;
        int abstand = 0;
    };

    // All texts in Windows-1252.
    static const std::vector<Popup>& Menue();
    static const std::vector<Taste>& Tasten();
    // The status bar hint of a command; empty when it has none.
    static std::string Hinweis(int befehl);
    static const std::vector<Knopf>& Werkzeugleiste();
    static constexpr const char* kWerkzeugleisteTitel = "Quick-Men\xFC";
    static constexpr int kWerkzeugleisteId = 32041;
    static constexpr int kWerkzeugleisteX = 15;
    static constexpr int kWerkzeugleisteY = 75;
};
