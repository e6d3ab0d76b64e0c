#include "dialogs/Hauptfenster.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "dialogs/DialogCustomizer.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/MerkzettelDlg.h"
#include "dialogs/TRebkontorAboutDlg.h"
#include "documents/Ausgabeziel.h"
#include "documents/PreislistenExport.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/FixedText.h"
#include "windowing/Services.h"

Hauptfenster::Hauptfenster(Verwaltungen& verwaltungen, Services& app)
    : verwaltungen_(verwaltungen), app_(app), exporter_(PreislistenExport) {}

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

bool Hauptfenster::Verfuegbar(int befehl) const {
    switch (befehl) {
        case Hauptmenue::kGrundeinstellungen:
        case Hauptmenue::kBenutzerhandbuch:
        case Hauptmenue::kUeber:
        case Hauptmenue::kBeenden:
            return true;
        case Hauptmenue::kNeuerMerkzettel:
            return merkzettel_ != nullptr;
        case Hauptmenue::kPreislisteExportieren:
            return static_cast<bool>(exporter_);
        default:
            return false;
    }
}

void Hauptfenster::Befehl(int befehl) {
    if (!Verfuegbar(befehl)) {
        return;
    }
    switch (befehl) {
        case Hauptmenue::kGrundeinstellungen:
            Grundeinstellungen();
            break;
        case Hauptmenue::kNeuerMerkzettel:
            NeuerMerkzettel();
            break;
        case Hauptmenue::kBenutzerhandbuch:
            Benutzerhandbuch();
            break;
        case Hauptmenue::kPreislisteExportieren:
            PreislisteExportieren();
            break;
        case Hauptmenue::kUeber:
            Ueber();
            break;
        default:
            break;
    }
}

void Hauptfenster::Grundeinstellungen() {
    DialogCustomizer dialog(verwaltungen_);
    app_.Execute(dialog);
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
    if (!exporter_(wahl->path, verwaltungen_)) {
        app_.MessageBox("Die Datei "_w + wahl->path +
                            " konnte nicht geschrieben werden. Die Preislisten wurden nicht "
                            "exportiert.",
                        "Preislisten exportieren");
    }
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

void Hauptfenster::Ueber() {
    TRebkontorAboutDlg dialog;
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
