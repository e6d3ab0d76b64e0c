#pragma once

#include <string>
#include <vector>

#include "model/DatevEinstellungen.h"
#include "storage/Fehler.h"

// The grower's own business data ("Firmendaten"), which e-invoices and the
// printed invoices name as their seller: address, contact, tax registration
// and bank account. Kept in "daten/firmendaten.txt", one "Schluessel=Wert"
// line per field in Windows-1252 with CR LF, so that a field added later
// leaves older files readable. The file is replaced atomically as a whole.
class Firmendaten {
  public:
    static constexpr const char* kDatei = "firmendaten.txt";
    // The key of the payment code setting, which is no text field.
    static constexpr const char* kGiroCode = "GiroCode";

    // The seller data of the data folder that holds `datei` (the settings
    // file "daten/preferences.dat" gives "daten/firmendaten.txt").
    static std::string DateiNeben(const std::string& datei);

    // One field: its key in the file and the name the user reads in messages.
    struct Feld {
        const char* schluessel;
        const char* bezeichnung;  // Windows-1252
        std::string Firmendaten::*wert;
    };
    static const std::vector<Feld>& Felder();

    // Reads `datei`; a missing file leaves every field empty (the country
    // "DE", the payment term 30 days). Unknown keys are skipped.
    // Fails (the fields as after a missing file) when the file exists but
    // cannot be read or is not a regular file.
    Ergebnis<void> Laden(const std::string& datei);
    // Replaces `datei` atomically with the fields; when it could not be
    // written, the old file stays.
    Ergebnis<void> Speichern(const std::string& datei) const;
    std::string Text() const;
    // Reads the file text; lines without "=" are reported in `fehler`.
    static bool AusText(const std::string& text, Firmendaten& daten, std::string& fehler);

    // The checks of the single fields; each gives an empty text when the
    // value may be stored, else the German refusal (Windows-1252). Empty
    // values pass: what an e-invoice needs is checked by Unvollstaendig.
    static std::string PruefeIban(const std::string& iban);
    static std::string PruefeUstId(const std::string& ustId);
    static std::string PruefeEMail(const std::string& email);
    static std::string PruefeLand(const std::string& land);
    static std::string PruefeBic(const std::string& bic);
    static std::string PruefeZahlungsziel(const std::string& tage);
    // The first refusal of all field checks, or empty.
    std::string Pruefen() const;
    // The names of the fields an e-invoice needs and that are empty
    // ("Name", "Straße", ...), comma-separated; empty when complete.
    std::string Unvollstaendig() const;

    // The IBAN without blanks, in capitals.
    static std::string IbanNormal(const std::string& iban);
    int ZahlungszielTage() const;
    // Whether any field says something of the seller (the country and the
    // payment term, which have defaults, do not count): a missing file
    // gives none.
    bool Vorhanden() const;

    std::string name;
    std::string inhaber;
    std::string strasse;
    std::string plz;
    std::string ort;
    std::string land = "DE";
    std::string telefon;
    std::string email;
    std::string ustId;
    std::string steuernummer;
    std::string iban;
    std::string bic;
    std::string bank;
    std::string zahlungsziel = "30";

    // The section "[DATEV]" after the seller's fields: what the tax
    // advisor's booking batches need.
    DatevEinstellungen datev;
    // "GiroCode auf Rechnungen drucken": on unless the user turned it off,
    // so that a file written before the setting existed prints the code.
    // Without an IBAN there is no code whatever it says.
    bool giroCode = true;
};
