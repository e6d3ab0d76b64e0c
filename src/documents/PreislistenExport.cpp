#include "documents/PreislistenExport.h"

#include <cstdio>
#include <string>

#include "documents/Ausgabeziel.h"
#include "model/PreisVerwaltung.h"
#include "model/Verwaltungen.h"
#include "model/Wein.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"

namespace {

// A line of the export: each field is written at its column followed by 70
// blanks, overwriting everything from its column on, so a field too long for
// its room is cut off by the next one.
class ExportZeile {
  public:
    void Feld(std::size_t spalte, const std::string& text) {
        text_.resize(spalte, ' ');
        text_ += text;
        text_.append(70, ' ');
    }
    const std::string& Text() const { return text_; }

  private:
    std::string text_ = std::string(89, ' ');
};

}  // namespace

Ergebnis<void> PreislistenExport(const std::string& fileName, Verwaltungen& verwaltungen) {
    return Ausgabeziel::Ersetzen(fileName, PreislistenExportText(verwaltungen));
}

std::string PreislistenExportText(Verwaltungen& verwaltungen) {
    PreisVerwaltung* preise = verwaltungen.preisVerwaltung;
    WeinlistenVerwaltung* weine = verwaltungen.weinlistenVerwaltung;
    const bool inEuro = verwaltungen.customizer != nullptr && verwaltungen.customizer->preiseInEuro;
    std::string out;
    for (int liste = 0; preise != nullptr && weine != nullptr && liste < preise->count; ++liste) {
        preise->SetPreisliste(liste);
        for (unsigned i = 0; i < weine->Count(); ++i) {
            const Wein& wein = (*weine)[i];
            std::string preisText = "N/A";
            if (const Preis* preis = preise->GetPreis(wein.nummer)) {
                char buffer[64];
                std::snprintf(buffer, sizeof buffer, "%0.2f",
                              static_cast<double>(inEuro ? preis->preisEuro : preis->preisDM));
                preisText = buffer;
            }
            ExportZeile zeile;
            zeile.Feld(0, std::to_string(wein.nummer));
            zeile.Feld(7, FixedText::Get(wein.name));
            zeile.Feld(45, FixedText::Get(wein.fuellmenge));
            zeile.Feld(55, preisText);
            out += zeile.Text() + "\r\n";
            out += std::string(14, ' ') + FixedText::Get(wein.bezeichnung) + "\r\n\r\n";
        }
    }
    return out;
}
