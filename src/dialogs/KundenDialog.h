#pragma once

#include <string>

#include "dialogs/KundenServer.h"
#include "dialogs/RechnungsServer.h"
#include "model/Kunde.h"
#include "model/Verwaltungen.h"
#include "windowing/Dialog.h"

// The customer form. One dialog for four purposes, chosen by its mode:
// entering new customers (0), searching them with a live hit count (1),
// changing one customer (2) and choosing the customer of a new invoice (3).
// Its Store button also starts the two customer imports when the remark
// holds their command word.
class KundenDialog : public Dialog, public KundenServer, public RechnungsServer {
  public:
    static constexpr int kResource = 1;

    enum Modus { kErfassen = 0, kSuchen = 1, kAendern = 2, kRechnung = 3 };

    static constexpr int kAnrede = 101;
    static constexpr int kVorname = 102;
    static constexpr int kNachname = 103;
    static constexpr int kStrasse = 104;
    static constexpr int kPlz = 105;
    static constexpr int kOrt = 106;
    static constexpr int kTelefon = 107;
    static constexpr int kFax = 108;
    static constexpr int kEMail = 109;
    static constexpr int kBemerkung = 110;
    static constexpr int kTreffer = 111;
    static constexpr int kReturn = 112;
    static constexpr int kSpeichern = 122;
    static constexpr int kPreisliste = 200;
    static constexpr int kLoeschen = 201;
    static constexpr int kGruppe = 202;
    // The banners: EDITIEREN, RECHNUNG, ERFASSEN, SUCHEN.
    static constexpr int kBildAendern = 25000;
    static constexpr int kBildRechnung = 25001;
    static constexpr int kBildErfassen = 25002;
    static constexpr int kBildSuchen = 25003;

    static constexpr int kZaehlTimer = 1;
    static constexpr int kZaehlTakt = 200;
    // The search button refuses hit lists this long.
    static constexpr unsigned kMaxTreffer = 500;

    // `kunde` is the customer to change (mode 2 only; copied at set-up).
    KundenDialog(int modus, Verwaltungen& verwaltungen, const Kunde* kunde = nullptr);

    void SetupWindow() override;
    void Command(int id) override;
    void TextChanged(int id) override;
    void SelectionChanged(int id) override;
    void Timer(int timerId) override;
    bool MayClose() override;

    // KundenServer: every customer matching the form, in file order.
    void GetKunden(GenericList<Kunde>& liste) override;
    // RechnungsServer: the invoices of the customer in the form.
    void RechnungenLiefern(GenericList<Rechnung>& liste, bool nurOffene) override;

    int Modus() const { return modus_; }
    // The record behind the form.
    const Kunde& Formular() const { return formular_; }

  private:
    void Fuellen(const Kunde& kunde);
    void Lesen();
    void Leeren();
    void Zaehlen();
    void CmStore();
    // Runs one of the two imports after the user confirmed it.
    void Importieren(bool csv);
    // Whether the remark fits its record field as it is stored, line breaks
    // as CR LF; if not, the user is told under that title and the input
    // stays.
    bool BemerkungPasst(const std::string& titel);
    // With exactly one match the form is filled from it, so that what
    // follows works on the stored customer and not on the template.
    bool EinzigenTrefferHolen();
    void TrefferlisteOeffnen(bool mitRechnung);
    void RechnungenOeffnen();
    void RechnungOeffnen();
    void FelderFreigeben(bool frei);

    int modus_;
    Verwaltungen& verwaltungen_;
    const Kunde* kunde_;
    Kunde formular_;
    // The remark as it would be stored, whole even when the record field
    // cannot hold it.
    std::string bemerkung_;
    bool fuellt_ = true;
    bool geaendert_ = false;
    int ticks_ = -1;
};
