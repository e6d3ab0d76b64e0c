#include "dialogs/Hauptfenster.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "dialogs/DialogCustomizer.h"
#include "dialogs/Hauptmenue.h"
#include "dialogs/MerkzettelDlg.h"
#include "dialogs/TRebkontorAboutDlg.h"
#include "dialogs/WeinListe.h"
#include "documents/PreislistenExport.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "storage/CodePage.h"
#include "windowing/Services.h"

Hauptfenster::Hauptfenster(Verwaltungen& verwaltungen, Services& app)
    : verwaltungen_(verwaltungen), app_(app), exporter_(PreislistenExport) {
    // The commands of the menu, the function keys and the toolbar. A command
    // missing here is shown but cannot be chosen.
    kommandos_ = {
        {Hauptmenue::kGrundeinstellungen, {{}, [this] { Grundeinstellungen(); }}},
        {Hauptmenue::kNeuerMerkzettel,
         {[this] { return merkzettel_ != nullptr; }, [this] { NeuerMerkzettel(); }}},
        {Hauptmenue::kBenutzerhandbuch, {{}, [this] { Benutzerhandbuch(); }}},
        {Hauptmenue::kPreislisteExportieren,
         {[this] { return static_cast<bool>(exporter_); }, [this] { PreislisteExportieren(); }}},
        {Hauptmenue::kUeber, {{}, [this] { Ueber(); }}},
        {Hauptmenue::kWeineVerwalten, {{}, [this] { WeineVerwalten(); }}},
        {Hauptmenue::kPreislisteVerwalten, {{}, [this] { PreislisteVerwalten(); }}},
        {Hauptmenue::kBeenden, {{}, [] {}}},
    };
}

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
    // Whether the desktop found a program for it is not looked at.
    app_.StartProgram({oeffner_, pfad.string()});
}

void Hauptfenster::PreislisteExportieren() {
    SaveFileRequest anfrage;
    anfrage.title = "Preislisten exportieren";
    anfrage.filter = "Textdatei (*.TXT)|";
    anfrage.fileName = "preislisten.txt";
    anfrage.defaultExt = "txt";
    auto wahl = app_.SaveFile(anfrage);
    if (!wahl || !exporter_) {
        return;
    }
    if (!exporter_(wahl->path, verwaltungen_)) {
        app_.MessageBox("Die Datei "_w + wahl->path +
                            " konnte nicht geschrieben werden. Die Preislisten wurden nicht "
                            "exportiert.",
                        "Preislisten exportieren");
    }
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
