#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "model/Verwaltungen.h"
#include "sicherung/Datensicherung.h"
#include "storage/Fehler.h"

class Datenbestand;
class Firmendaten;
class MerkzettelVerwaltung;
class Services;
struct Rueckspielauftrag;

// The commands of the main window, without the window: what each menu item,
// function key and toolbar button does with the managers.
class Hauptfenster {
  public:
    // Writes every price list into one text file (the price list export);
    // false when the file could not be written.
    using PreislistenExporter =
        std::function<Ergebnis<void>(const std::string& datei, Verwaltungen&)>;

    static constexpr const char* kHandbuch = "doc/index.htm";
    // Where the file dialog of the bottle list starts.
    static constexpr const char* kFlaschenlistenOrdner = "/tmp";

    Hauptfenster(Verwaltungen& verwaltungen, Services& app);
    ~Hauptfenster();
    Hauptfenster(const Hauptfenster&) = delete;
    Hauptfenster& operator=(const Hauptfenster&) = delete;

    // Set once the notes manager exists; opens a window for every note.
    void SetMerkzettel(MerkzettelVerwaltung* merkzettel);
    void SetPreislistenExporter(PreislistenExporter exporter) { exporter_ = std::move(exporter); }
    // Where the manual lies (beside the program when it is installed).
    void SetHandbuch(std::string pfad) { handbuch_ = std::move(pfad); }
    // The seller data of e-invoices and their file; without them the
    // command "Firmendaten" cannot be chosen.
    void SetFirmendaten(Firmendaten* daten, std::string datei) {
        firmendaten_ = daten;
        firmendatenDatei_ = std::move(datei);
    }

    // The data set whose open items and reminders the dunning commands
    // show; without it they cannot be chosen.
    void SetMahnwesen(Datenbestand* bestand) { bestand_ = bestand; }
    // What the backup commands need from the program: the data folder, how
    // the window writes what it holds in memory, and the data check of
    // "pruefen" for a restored copy. Without it they cannot be chosen.
    struct Sicherungsanschluss {
        std::string verzeichnis;
        std::function<void()> schreiben;
        Datensicherung::Pruefung pruefung;
    };
    void SetSicherung(Sicherungsanschluss anschluss);
    // After "Datensicherung zurückspielen...": the restore the user confirmed,
    // which the window carries out once it has closed its data set
    // (Rueckspielauftrag::Ausfuehren); taken once, null otherwise.
    std::unique_ptr<Rueckspielauftrag> AusstehendesZurueckspielen();

    // Whether the command can be chosen; commands whose dialogs the
    // program does not have yet are shown but cannot be chosen.
    bool Verfuegbar(int befehl) const;
    // Runs a command; one that is not available does nothing.
    void Befehl(int befehl);
    // Ending the program is the window's business; it is always available
    // and runs nothing here.

    void Grundeinstellungen();
    void SicherungEinstellen();
    void SicherungZurueckspielen();
    void FirmendatenBearbeiten();
    // The DATEV settings live in the seller data file; the export's record
    // lies beside it in the data folder.
    void DatevEinstellungenBearbeiten();
    void DatevExportieren();
    void OffenePostenZeigen();
    void MahnwesenBearbeiten();
    void NeuerMerkzettel();
    void Benutzerhandbuch();
    void PreislisteExportieren();
    void KundendatenExportieren();
    // The customer form in one of its modes (KundenDialog::Modus).
    void Kunden(int modus);
    // The customer form choosing the customer of a new invoice, when there
    // is a price list.
    void RechnungErstellen();
    void Ueber();
    // Tells the user once, at start, which settings of a damaged settings
    // file were set back to their defaults; nothing when all were sound.
    void ZurueckgesetzteEinstellungen();
    // F6: the filter dialog, then the invoice list of the chosen periods.
    void AbrufenNachDatum();
    // F7: the search by invoice number or amount.
    void AbrufenNachNummer();
    // The filter dialog, a file, then the bottle list as text (opened in the
    // desktop's text editor), as the old spreadsheet (.xls) or as one in
    // today's format (.xlsx).
    void Flaschenzaehlung();
    // The statistics of a period, with charts.
    void Auswertungen();
    // The wine list; the price list, once a price list exists.
    void WeineVerwalten();
    void PreislisteVerwalten();
    // The price-list commands need at least one price list; without one the
    // user is told so and false is returned.
    bool PreislisteVorhanden(int befehl);

  private:
    // One row of the command table: when the command can be chosen (empty:
    // always) and what it does.
    struct Kommando {
        std::function<bool()> verfuegbar;
        std::function<void()> ausfuehren;
    };
    const Kommando* Finde(int befehl) const;

    std::map<int, Kommando> kommandos_;
    Verwaltungen& verwaltungen_;
    Services& app_;
    MerkzettelVerwaltung* merkzettel_ = nullptr;
    PreislistenExporter exporter_;
    // The program that opens a file with the desktop's default application.
    std::string oeffner_ = "xdg-open";
    std::string handbuch_ = kHandbuch;
    Firmendaten* firmendaten_ = nullptr;
    std::string firmendatenDatei_;
    Datenbestand* bestand_ = nullptr;
    Sicherungsanschluss sicherungsanschluss_;
    std::unique_ptr<Datensicherung> sicherung_;
    std::unique_ptr<Rueckspielauftrag> rueckspielauftrag_;
};
