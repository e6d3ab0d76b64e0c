#include "dialogs/Hauptfenster.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "dialogs/Auswertungen.h"
#include "dialogs/DatevEinstellungenDlg.h"
#include "dialogs/DatevExportDlg.h"
#include "dialogs/DatensicherungDlg.h"
#include "dialogs/DialogCustomizer.h"
#include "dialogs/Exportmeldung.h"
#include "dialogs/FirmendatenDlg.h"
#include "dialogs/GeoFilterDlg.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/KundenDialog.h"
#include "dialogs/MahnwesenDlg.h"
#include "dialogs/MerkzettelDlg.h"
#include "dialogs/OffenePostenDlg.h"
#include "dialogs/RechnungsFiler.h"
#include "dialogs/RechnungsListe.h"
#include "dialogs/RechnungsNummer.h"
#include "dialogs/SicherungZurueckspielenDlg.h"
#include "dialogs/TRebkontorAboutDlg.h"
#include "dialogs/WeinListe.h"
#include "documents/Ausgabeziel.h"
#include "documents/Flaschenliste.h"
#include "documents/FlaschenlisteArbeitsmappe.h"
#include "documents/PreislistenExport.h"
#include "model/Datenbestand.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"

Hauptfenster::Hauptfenster(Verwaltungen& verwaltungen, Services& app)
    : verwaltungen_(verwaltungen), app_(app), exporter_(PreislistenExport) {
    // The commands of the menu, the function keys and the toolbar. A command
    // missing here is shown but cannot be chosen.
    // The customers are read after the window is shown.
    auto kunden = [this] { return verwaltungen_.kundenVerwaltung != nullptr; };
    kommandos_ = {
        {Hauptmenue::kGrundeinstellungen, {{}, [this] { Grundeinstellungen(); }}},
        {Hauptmenue::kFirmendaten,
         {[this] { return firmendaten_ != nullptr; }, [this] { FirmendatenBearbeiten(); }}},
        {Hauptmenue::kDatevEinstellungen,
         {[this] { return firmendaten_ != nullptr; }, [this] { DatevEinstellungenBearbeiten(); }}},
        {Hauptmenue::kDatevExport,
         {[this, kunden] { return firmendaten_ != nullptr && kunden(); },
          [this] { DatevExportieren(); }}},
        {Hauptmenue::kOffenePosten,
         {[this] { return bestand_ != nullptr && verwaltungen_.kundenVerwaltung != nullptr; },
          [this] { OffenePostenZeigen(); }}},
        {Hauptmenue::kMahnwesen,
         {[this] { return bestand_ != nullptr; }, [this] { MahnwesenBearbeiten(); }}},
        {Hauptmenue::kDatensicherung,
         {[this] { return sicherung_ != nullptr; }, [this] { SicherungEinstellen(); }}},
        {Hauptmenue::kSicherungZurueckspielen,
         {[this] { return sicherung_ != nullptr; }, [this] { SicherungZurueckspielen(); }}},
        {Hauptmenue::kNeuerMerkzettel,
         {[this] { return merkzettel_ != nullptr; }, [this] { NeuerMerkzettel(); }}},
        {Hauptmenue::kBenutzerhandbuch, {{}, [this] { Benutzerhandbuch(); }}},
        {Hauptmenue::kPreislisteExportieren,
         {[this] { return static_cast<bool>(exporter_); }, [this] { PreislisteExportieren(); }}},
        {Hauptmenue::kUeber, {{}, [this] { Ueber(); }}},
        {Hauptmenue::kWeineVerwalten, {{}, [this] { WeineVerwalten(); }}},
        {Hauptmenue::kPreislisteVerwalten, {{}, [this] { PreislisteVerwalten(); }}},
        {Hauptmenue::kKundeErfassen, {kunden, [this] { Kunden(KundenDialog::kErfassen); }}},
        {Hauptmenue::kKundeSuchen, {kunden, [this] { Kunden(KundenDialog::kSuchen); }}},
        {Hauptmenue::kKundendatenExportieren, {kunden, [this] { KundendatenExportieren(); }}},
        {Hauptmenue::kRechnungErstellen, {kunden, [this] { RechnungErstellen(); }}},
        {Hauptmenue::kAbrufenNachDatum, {{}, [this] { AbrufenNachDatum(); }}},
        {Hauptmenue::kAbrufenNachNummer, {{}, [this] { AbrufenNachNummer(); }}},
        {Hauptmenue::kFlaschenzaehlung, {{}, [this] { Flaschenzaehlung(); }}},
        {Hauptmenue::kAuswertungen, {kunden, [this] { Auswertungen(); }}},
        {Hauptmenue::kBeenden, {{}, [] {}}},
    };
}

Hauptfenster::~Hauptfenster() = default;

void Hauptfenster::SetMerkzettel(MerkzettelVerwaltung* merkzettel) {
    merkzettel_ = merkzettel;
    if (merkzettel_ == nullptr) {
        return;
    }
    MerkzettelVerwaltung& verwaltung = *merkzettel_;
    Services& app = app_;
    merkzettel_->ShowAll([&verwaltung, &app](MerkzettelVerwaltung::MerkzettelIntern& notiz) {
        app.Open(std::make_unique<MerkzettelDlg>(notiz, verwaltung));
    });
}

const Hauptfenster::Kommando* Hauptfenster::Finde(int befehl) const {
    auto it = kommandos_.find(befehl);
    return it == kommandos_.end() ? nullptr : &it->second;
}

bool Hauptfenster::Verfuegbar(int befehl) const {
    const Kommando* kommando = Finde(befehl);
    return kommando != nullptr && (!kommando->verfuegbar || kommando->verfuegbar());
}

void Hauptfenster::Befehl(int befehl) {
    if (Verfuegbar(befehl)) {
        Finde(befehl)->ausfuehren();
    }
}

void Hauptfenster::Grundeinstellungen() {
    DialogCustomizer dialog(verwaltungen_);
    app_.Execute(dialog);
}

void Hauptfenster::FirmendatenBearbeiten() {
    if (firmendaten_ != nullptr) {
        FirmendatenDlg dialog(*firmendaten_, firmendatenDatei_);
        app_.Execute(dialog);
    }
}

void Hauptfenster::DatevEinstellungenBearbeiten() {
    if (firmendaten_ != nullptr) {
        DatevEinstellungenDlg dialog(*firmendaten_, firmendatenDatei_, verwaltungen_.customizer);
        app_.Execute(dialog);
    }
}

void Hauptfenster::OffenePostenZeigen() {
    if (bestand_ != nullptr) {
        OffenePostenDlg dialog(*bestand_);
        app_.Execute(dialog);
    }
}

void Hauptfenster::DatevExportieren() {
    if (firmendaten_ != nullptr) {
        const std::string ordner = std::filesystem::path(firmendatenDatei_).parent_path().string();
        DatevExportDlg dialog(verwaltungen_, *firmendaten_, ordner.empty() ? "." : ordner);
        app_.Execute(dialog);
    }
}

void Hauptfenster::MahnwesenBearbeiten() {
    if (bestand_ != nullptr) {
        MahnwesenDlg dialog(bestand_->GetMahntexte(), bestand_->MahntexteDatei());
        app_.Execute(dialog);
    }
}

void Hauptfenster::SetSicherung(Sicherungsanschluss anschluss) {
    sicherungsanschluss_ = std::move(anschluss);
    sicherung_ = std::make_unique<Datensicherung>(sicherungsanschluss_.verzeichnis);
}

std::unique_ptr<Rueckspielauftrag> Hauptfenster::AusstehendesZurueckspielen() {
    return std::move(rueckspielauftrag_);
}

void Hauptfenster::SicherungEinstellen() {
    DatensicherungDlg dialog(*sicherung_, sicherungsanschluss_.schreiben);
    app_.Execute(dialog);
}

void Hauptfenster::SicherungZurueckspielen() {
    SicherungZurueckspielenDlg dialog(*sicherung_, sicherungsanschluss_.pruefung,
                                      sicherungsanschluss_.schreiben);
    if (app_.Execute(dialog) == ControlId::kOk) {
        rueckspielauftrag_ = dialog.Auftrag();
    }
}

void Hauptfenster::NeuerMerkzettel() {
    if (merkzettel_ != nullptr) {
        merkzettel_->NewNote();
    }
}

void Hauptfenster::Benutzerhandbuch() {
    std::error_code fehler;
    std::filesystem::path pfad = std::filesystem::absolute(handbuch_, fehler);
    if (fehler || !std::filesystem::is_regular_file(pfad, fehler)) {
        app_.MessageBox("Das Benutzerhandbuch wurde nicht gefunden. Es wird als Datei "_w +
                            handbuch_ + " im Arbeitsverzeichnis erwartet.",
                        "Benutzerhandbuch");
        return;
    }
    // The opener ends with an error when the desktop has no program for the
    // manual (or is not there at all); the user would otherwise wait in vain.
    Services& app = app_;
    const std::string datei = pfad.string();
    app_.StartProgram({oeffner_, datei}, [&app, datei] {
        app.MessageBox(
            "Das Benutzerhandbuch konnte nicht geöffnet werden: Es fand sich kein "
            "Programm, das es anzeigt. Es ist die Datei "_w +
                CodePage::Utf8ToCp1252(datei) + "; ein Web-Browser kann sie öffnen."_w,
            "Benutzerhandbuch");
    });
}

void Hauptfenster::PreislisteExportieren() {
    // Without a price list the export would be an empty file.
    if (verwaltungen_.preisVerwaltung == nullptr || verwaltungen_.preisVerwaltung->count < 1) {
        app_.MessageBox(
            "Es gibt keine Preisliste, die exportiert werden könnte. Preislisten "
            "werden unter Optionen/Grundeinstellungen benannt."_w,
            "Preislisten exportieren");
        return;
    }
    SaveFileRequest anfrage;
    anfrage.title = "Preislisten exportieren";
    anfrage.filter = "Textdatei (*.TXT)|";
    anfrage.fileName = "preislisten.txt";
    anfrage.defaultExt = "txt";
    auto wahl = app_.SaveFile(anfrage);
    if (!wahl || !exporter_) {
        return;
    }
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path);
    if (!hindernis.empty()) {
        app_.MessageBox(hindernis + " Die Preislisten wurden nicht exportiert.",
                        "Preislisten exportieren");
        return;
    }
    if (const Ergebnis<void> geschrieben = exporter_(wahl->path, verwaltungen_); !geschrieben) {
        app_.MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(wahl->path) +
                            " konnte nicht geschrieben werden (" + geschrieben.Ursache().Grund() +
                            "). Die Preislisten wurden nicht exportiert.",
                        "Preislisten exportieren");
        return;
    }
    app_.StatusMessage(Exportmeldung::Gespeichert(
        "Preislisten", wahl->path,
        Exportmeldung::Anzahl(verwaltungen_.preisVerwaltung->count, "Preisliste", "Preislisten")));
}

void Hauptfenster::ZurueckgesetzteEinstellungen() {
    if (verwaltungen_.customizer == nullptr) {
        return;
    }
    const Customizer& c = *verwaltungen_.customizer;
    if (c.Zurueckgesetzt().empty()) {
        return;
    }
    std::string text = "Die Datei "_w + FixedText::Get(c.dateiName) +
                       " enthielt ungültige Grundeinstellungen. Diese Werte wurden auf ihre "
                       "Voreinstellung zurückgesetzt:\n"_w;
    for (const std::string& zeile : c.Zurueckgesetzt()) {
        text += "\n" + zeile;
    }
    text += "\n\nBitte prüfen Sie sie unter Optionen/Grundeinstellungen."_w;
    app_.MessageBox(text, "Grundeinstellungen", MessageButtons::Ok, MessageIcon::Warning);
}

void Hauptfenster::Kunden(int modus) {
    KundenDialog dialog(modus, verwaltungen_);
    app_.Execute(dialog);
}

void Hauptfenster::RechnungErstellen() {
    if (PreislisteVorhanden(Hauptmenue::kRechnungErstellen)) {
        Kunden(KundenDialog::kRechnung);
    }
}

void Hauptfenster::KundendatenExportieren() {
    GeoFilterDlg dialog(verwaltungen_);
    app_.Execute(dialog);
}

void Hauptfenster::WeineVerwalten() {
    WeinListe dialog(verwaltungen_, WeinListe::Modus::Weinliste);
    app_.Execute(dialog);
}

void Hauptfenster::PreislisteVerwalten() {
    if (!PreislisteVorhanden(Hauptmenue::kPreislisteVerwalten)) {
        return;
    }
    WeinListe dialog(verwaltungen_, WeinListe::Modus::Preisliste);
    app_.Execute(dialog);
}

void Hauptfenster::Ueber() {
    TRebkontorAboutDlg dialog;
    app_.Execute(dialog);
}

void Hauptfenster::AbrufenNachDatum() {
    RechnungsFiler filter(verwaltungen_);
    if (app_.Execute(filter) != ControlId::kOk) {
        return;
    }
    RechnungsListe liste(filter, verwaltungen_, nullptr);
    app_.Execute(liste);
}

void Hauptfenster::AbrufenNachNummer() {
    RechnungsNummer suche(verwaltungen_);
    app_.Execute(suche);
}

void Hauptfenster::Flaschenzaehlung() {
    RechnungsFiler filter(verwaltungen_);
    if (app_.Execute(filter) != ControlId::kOk) {
        return;
    }
    const Datum heute = Datum::Heute();
    SaveFileRequest anfrage;
    anfrage.title = "Flaschenliste erzeugen";
    anfrage.filter =
        "Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|Excel-Arbeitsmappe (*.xlsx)|*.xlsx|";
    anfrage.fileName = "fl_" + std::to_string(heute.Day()) + "_" + std::to_string(heute.Month()) +
                       "_" + std::to_string(heute.Year());
    anfrage.initialDir = kFlaschenlistenOrdner;
    anfrage.defaultExt = "txt";
    const auto wahl = app_.SaveFile(anfrage);
    if (!wahl) {
        return;
    }
    const std::string hindernis = Ausgabeziel::Hindernis(wahl->path);
    if (!hindernis.empty()) {
        app_.MessageBox(hindernis + " Die Flaschenliste wurde nicht erstellt.",
                        "Erstellen der Flaschenliste");
        return;
    }
    app_.MessageBox(
        "Anhängig von der Anzahl der gefundenen Flaschen kann die Erstellung der Flaschenliste "
        "einige Zeit in Anspruch nehmen."_w,
        "Erstellen der Flaschenliste");
    const bool tabelle = wahl->filterIndex == 2;
    const bool arbeitsmappe = wahl->filterIndex == 3;
    RechnungsVerwaltung& rechnungen = *verwaltungen_.rechnungsVerwaltung;
    const Customizer& einstellungen = *verwaltungen_.customizer;
    Ergebnis<void> geschrieben;
    Flaschenliste::Auslassung auslassung;
    Flaschenliste::Eintraege eintraege;
    {
        Wartecursor warten(app_);
        rechnungen.GetFlaschenPosten(eintraege);
        if (tabelle) {
            geschrieben = Flaschenliste::Tabelle(wahl->path, eintraege, einstellungen, &auslassung);
        } else if (arbeitsmappe) {
            geschrieben = FlaschenlisteArbeitsmappe::Schreiben(wahl->path, eintraege, einstellungen,
                                                               verwaltungen_.weinlistenVerwaltung);
        } else {
            // The list names its file as the user reads it, in its own encoding.
            geschrieben = Ausgabeziel::Ersetzen(
                wahl->path,
                Flaschenliste::Text(CodePage::Utf8ToCp1252(wahl->path), eintraege, einstellungen));
        }
    }
    if (!geschrieben) {
        // Silence here would leave the user looking for a file that is not there.
        app_.MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(wahl->path) +
                            " konnte nicht geschrieben werden (" + geschrieben.Ursache().Grund() +
                            "). Die Flaschenliste wurde nicht erstellt.",
                        "Erstellen der Flaschenliste");
        return;
    }
    long flaschen = 0;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        flaschen += eintraege[i].menge;
    }
    app_.StatusMessage(Exportmeldung::Gespeichert(
        "Flaschenliste", wahl->path, Exportmeldung::Anzahl(flaschen, "Flasche", "Flaschen")));
    if (!auslassung.Vollstaendig()) {
        // The sheet keeps what fits; the user must not take it for the whole list.
        app_.MessageBox(Flaschenliste::AuslassungsText(auslassung), "Erstellen der Flaschenliste",
                        MessageButtons::Ok, MessageIcon::Warning);
    }
    if (!tabelle && !arbeitsmappe) {
        app_.StartProgram({oeffner_, wahl->path});
    }
}

void Hauptfenster::Auswertungen() {
    ::Auswertungen dialog(verwaltungen_);
    app_.Execute(dialog);
}

bool Hauptfenster::PreislisteVorhanden(int befehl) {
    if (verwaltungen_.preisVerwaltung != nullptr && verwaltungen_.preisVerwaltung->count >= 1) {
        return true;
    }
    if (befehl == Hauptmenue::kPreislisteVerwalten) {
        app_.MessageBox(
            "Vor der Erstellung von Preislisten müssen diese zuvor benannt werden. Dies kann im "
            "Dialog Optionen/Grundeinstellungen getan werden. Ausführliche Hinweise finden sich in "
            "der Hilfe unter dem Menü Hife/Benutzerhandbuch."_w,
            "Preisliste editieren");
    } else {
        app_.MessageBox(
            "Vor der Erstellung einer Rechnung müssen zuvor Preislisten benannt und erstellt "
            "werden. Ausführliche Hinweise finden sich in der Hilfe unter dem Menü "
            "Hife/Benutzerhandbuch."_w,
            "Rechnung erstellen");
    }
    return false;
}
