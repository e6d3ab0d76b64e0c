#pragma once

#include <string>
#include <vector>

#include "model/Verwaltungen.h"
#include "windowing/Dialog.h"

// "Grundeinstellungen für Rebkontor": customer groups and price lists are
// named here, and the invoice settings are set. Groups and lists are added at
// once; the settings are taken over with OK only.
class DialogCustomizer : public Dialog {
  public:
    static constexpr int kResource = 5;
    static constexpr int kGruppe = 104;
    static constexpr int kGruppeHinzufuegen = 105;
    static constexpr int kPreisliste = 106;
    static constexpr int kPreislisteHinzufuegen = 107;
    static constexpr int kMwst = 108;
    static constexpr int kWaehrung = 109;
    static constexpr int kPreiseInEuro = 110;
    static constexpr int kMwstEnthalten = 111;
    static constexpr int kVordatierung = 113;
    static constexpr int kBemerkung = 114;

    explicit DialogCustomizer(Verwaltungen& verwaltungen);

    void SetupWindow() override;
    void Command(int id) override;

  private:
    void GruppeHinzufuegen();
    void PreislisteHinzufuegen();
    void Uebernehmen();
    // Whether a typed name may be added: 2 to 8 characters and not yet there.
    bool NameZulaessig(const std::string& name, const std::vector<std::string>& vorhanden,
                       const std::string& laengeText, const std::string& doppeltText,
                       const std::string& titel);

    Verwaltungen& verwaltungen_;
};
