#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the tax advisor's DATEV needs to know to take the invoices as a
// booking batch: whose batch it is (advisor and client number), when the
// fiscal year starts, how long the ledger accounts are, the chart of accounts
// and the accounts the invoices go to. Kept as the section "[DATEV]" of the
// seller data file (Firmendaten), one "Schluessel=Wert" line per value, as
// text: a value typed wrongly into the file is reported, not lost.
class DatevEinstellungen {
  public:
    static constexpr const char* kAbschnitt = "[DATEV]";
    // The two ways of booking the customers.
    static constexpr const char* kJeKunde = "je Kunde";
    static constexpr const char* kSammeldebitor = "Sammeldebitor";
    static constexpr const char* kSkr03 = "SKR03";
    static constexpr const char* kSkr04 = "SKR04";

    // One value: its key in the file and the name the user reads.
    struct Feld {
        const char* schluessel;
        const char* bezeichnung;  // Windows-1252
        std::string DatevEinstellungen::*wert;
    };
    static const std::vector<Feld>& Felder();

    // Takes one line of the section; false for a key the section does not
    // have.
    bool Setze(const std::string& schluessel, const std::string& wert);
    // The section with its heading, CR LF; empty while it was never stored,
    // so that a seller data file without DATEV stays as it was.
    std::string Text() const;

    // The checks of the single values: empty when the value may be stored,
    // else the German refusal (Windows-1252). An empty advisor or client
    // number passes here; Fehlend names it.
    static std::string PruefeBeraternummer(const std::string& text);
    static std::string PruefeMandantennummer(const std::string& text);
    static std::string PruefeWjBeginn(const std::string& text);
    static std::string PruefeSachkontenlaenge(const std::string& text);
    static std::string PruefeKontenrahmen(const std::string& text);
    static std::string PruefeDebitoren(const std::string& text);
    // A revenue account has exactly as many digits as the ledger accounts
    // (checked only when the length itself is sound).
    static std::string PruefeErloeskonto(const std::string& text, const std::string& laenge);
    // The first refusal of all checks, or empty.
    std::string Pruefen() const;
    // The names of the values a batch needs and that are empty
    // ("Beraternummer, Mandantennummer"); empty when none is missing.
    std::string Fehlend() const;

    // The values, once Pruefen has nothing to say.
    int Sachkontenlaenge() const;
    int WjTag() const;
    int WjMonat() const;
    bool Skr04() const { return kontenrahmen == kSkr04; }
    bool Sammeldebitor() const { return debitoren == kSammeldebitor; }

    // The account every customer is booked to when there is one for all:
    // 1 followed by as many zeros as the ledger accounts have digits (10000).
    std::int64_t Debitorenbasis() const;
    // The customer's debitor account: the base plus the customer number, or
    // the base itself for the collective debitor. Sound only when it has
    // one digit more than the ledger accounts (DebitorPasst).
    std::int64_t Debitor(std::int32_t kunde) const;
    bool DebitorPasst(std::int32_t kunde) const;

    // The revenue account the invoices are booked to: the one set, or else
    // the chart's automatic account for the VAT rate (SKR03: 8400 at 19 %,
    // 8300 at 7 %; SKR04: 4400 and 4300). Empty, with the reason in
    // `fehler`, when no account is set and the chart has none for the rate
    // or the ledger accounts are not four digits long.
    std::string Erloeskonto(float mwst, std::string& fehler) const;
    static std::string StandardErloeskonto(bool skr04, float mwst);

    // Whether the section stands in the file or was stored by the dialog.
    bool vorhanden = false;
    std::string beraternummer;
    std::string mandantennummer;
    // Day and month, "1.1." or "1.7.".
    std::string wjBeginn = "1.1.";
    std::string sachkontenlaenge = "4";
    std::string kontenrahmen = kSkr03;
    // Empty: by chart and VAT rate.
    std::string erloeskonto;
    std::string debitoren = kJeKunde;
};
