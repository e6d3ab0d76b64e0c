#include "model/Datenbestand.h"

#include <utility>

#include "model/DatenDateien.h"
#include "model/Datenersatz.h"
#include "model/GeoGruppe.h"
#include "model/KundenVerwaltung.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/PreisVerwaltung.h"
#include "model/RechnungsVerwaltung.h"
#include "model/WeinlistenVerwaltung.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/File.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"

Datenbestand::Datenbestand(const std::string& verzeichnis, Beobachter beobachter, Zugriff zugriff)
    : verzeichnis_(verzeichnis), beobachter_(std::move(beobachter)), zugriff_(zugriff) {
    // A restored backup a crash left half moved in is carried to its end
    // before anything is read; read-only, nothing may be moved, and the
    // mixture of old and new files must not be taken for data.
    if (zugriff_ == Zugriff::Schreiben) {
        if (Datenersatz::Abschliessen(verzeichnis_)) {
            startmeldungen_.push_back(
                "Das Zurückspielen einer Datensicherung war unterbrochen worden; es wurde jetzt "
                "abgeschlossen. Das Datenverzeichnis hält die zurückgespielten Daten."_w);
        }
    } else if (Datenersatz::Ausstehend(verzeichnis_)) {
        throw MessageException(
            "Im Datenverzeichnis »"_w + CodePage::Utf8ToCp1252(verzeichnis_) +
            "« wurde das Zurückspielen einer Datensicherung unterbrochen. Es wird beim "
            "nächsten Start von Rebkontor abgeschlossen; bis dahin können die Daten nicht "
            "gelesen werden."_w);
    }
    // Before any manager opens (and perhaps rewrites) a file. Read-only, the
    // incomplete file is reported but no copy of it is written.
    for (std::string& meldung :
         DatenDateien::Pruefen(verzeichnis_, zugriff_ == Zugriff::Schreiben)) {
        startmeldungen_.push_back(std::move(meldung));
    }
    weine_ = std::make_unique<WeinlistenVerwaltung>(Pfad("weinliste.dat"), zugriff_);
    Melde("WeinlistenVerwaltung", true);
    preise_ = std::make_unique<PreisVerwaltung>(Pfad("weinlisten.txt"), verzeichnis_, zugriff_);
    Melde("PreisVerwaltung", true);
    posten_ = std::make_unique<PostenVerwaltung>(Pfad("rechnungsposten.dat"), zugriff_);
    Melde("PostenVerwaltung", true);
    rechnungen_ = std::make_unique<RechnungsVerwaltung>(Pfad("rechnungen.dat"), zugriff_);
    Melde("RechnungsVerwaltung", true);
    geoGruppe_ = std::make_unique<GeoGruppe>(Pfad("geogruppe.txt"), zugriff_);
    Melde("GeoGruppe", true);
    logBuch_ = std::make_unique<LogBuch>(Pfad("logbuch.txt"), zugriff_);
    Melde("LogBuch", true);
    if (const auto& fehler = logBuch_->OpenError()) {
        startmeldungen_.push_back(
            "Das Logbuch " + CodePage::Zitat(logBuch_->FileName()) +
            " kann nicht geöffnet werden ("_w + fehler->Grund() +
            "). Änderungen und Löschungen werden in dieser Sitzung nicht im Logbuch "
            "festgehalten."_w);
    }
    customizer_ = std::make_unique<Customizer>(Pfad("preferences.dat"), zugriff_);
    Melde("Customizer", true);
    // Taken for empty, seller data that cannot be read would be written
    // over with nothing by the next change in the dialog.
    if (const Ergebnis<void> geladen = firmendaten_.Laden(Pfad(Firmendaten::kDatei)); !geladen) {
        throw MessageException(Oeffnungsfehler(geladen.Ursache()));
    }
    // Like the seller data, beside the manager set, whose order is fixed.
    mahnungen_ = std::make_unique<MahnungsVerwaltung>(Pfad(MahnungsVerwaltung::kDatei), zugriff_);
    if (const Ergebnis<void> geladen = mahntexte_.Laden(Pfad(Mahntexte::kDatei)); !geladen) {
        throw MessageException(Oeffnungsfehler(geladen.Ursache()));
    }

    verwaltungen_.kundenVerwaltung = nullptr;
    verwaltungen_.weinlistenVerwaltung = weine_.get();
    verwaltungen_.preisVerwaltung = preise_.get();
    verwaltungen_.postenVerwaltung = posten_.get();
    verwaltungen_.rechnungsVerwaltung = rechnungen_.get();
    verwaltungen_.geoGruppe = geoGruppe_.get();
    verwaltungen_.logBuch = logBuch_.get();
    verwaltungen_.customizer = customizer_.get();

    posten_->SetLogBuch(logBuch_.get());
    posten_->SetWeinlistenVerwaltung(weine_.get());
    rechnungen_->SetVerwaltungen(&verwaltungen_);
    // Before any command can reuse the id of an invoice a crash left open.
    for (std::string& meldung : rechnungen_->NichtGespeichertesZurueckbuchen()) {
        startmeldungen_.push_back(std::move(meldung));
    }
    for (std::string& meldung : mahnungen_->Probleme(*rechnungen_)) {
        startmeldungen_.push_back(std::move(meldung));
    }
}

Datenbestand::~Datenbestand() {
    // Every manager is gone from the set before it is released, so that none
    // of those still alive can reach it.
    auto freigeben = [this](const char* name, auto& verwaltung, auto*& imSatz) {
        Melde(name, false);
        imSatz = nullptr;
        verwaltung.reset();
    };
    if (merkzettel_) {
        Melde("MerkzettelVerwaltung", false);
        merkzettel_.reset();
    }
    if (kunden_) {
        // A reservation still open would leave the customer's chain pointing
        // at an invoice the file never got. (Read-only, none can be open.)
        if (zugriff_ == Zugriff::Schreiben) {
            rechnungen_->ReservierungBeenden();
        }
        freigeben("KundenVerwaltung", kunden_, verwaltungen_.kundenVerwaltung);
    }
    mahnungen_.reset();
    freigeben("Customizer", customizer_, verwaltungen_.customizer);
    posten_->SetLogBuch(nullptr);
    freigeben("LogBuch", logBuch_, verwaltungen_.logBuch);
    freigeben("GeoGruppe", geoGruppe_, verwaltungen_.geoGruppe);
    freigeben("RechnungsVerwaltung", rechnungen_, verwaltungen_.rechnungsVerwaltung);
    freigeben("PostenVerwaltung", posten_, verwaltungen_.postenVerwaltung);
    freigeben("PreisVerwaltung", preise_, verwaltungen_.preisVerwaltung);
    freigeben("WeinlistenVerwaltung", weine_, verwaltungen_.weinlistenVerwaltung);
}

KundenVerwaltung& Datenbestand::KundenEinlesen() {
    if (!kunden_) {
        kunden_ = std::make_unique<KundenVerwaltung>(Pfad("kunden.dat"), zugriff_);
        Melde("KundenVerwaltung", true);
        kunden_->SetLogBuch(logBuch_.get());
        verwaltungen_.kundenVerwaltung = kunden_.get();
        const std::vector<std::int32_t> berichtigt = rechnungen_->KettenkoepfeNachtragen();
        if (!berichtigt.empty() && zugriff_ == Zugriff::Schreiben) {
            startmeldungen_.push_back(KettenMeldung(berichtigt));
        }
    }
    return *kunden_;
}

std::string Datenbestand::KettenMeldung(const std::vector<std::int32_t>& kunden) const {
    const std::string datei = CodePage::Utf8ToCp1252(Pfad("rechnungen.dat"));
    if (kunden.size() == 1) {
        return "Die Rechnungskette des Kunden " + std::to_string(kunden[0]) +
               " passte nicht zur Rechnungsdatei " + datei +
               " und wurde berichtigt: der Kunde führt wieder zu seiner neuesten gespeicherten "
               "Rechnung."_w;
    }
    constexpr std::size_t kHoechstens = 10;
    std::string nummern;
    for (std::size_t i = 0; i < kunden.size() && i < kHoechstens; ++i) {
        nummern += (i == 0 ? "" : ", ") + std::to_string(kunden[i]);
    }
    if (kunden.size() > kHoechstens) {
        nummern += ", …"_w;
    }
    return "Die Rechnungsketten von " + std::to_string(kunden.size()) + " Kunden (Kundennummern " +
           nummern + ") passten nicht zur Rechnungsdatei " + datei +
           " und wurden berichtigt: jeder führt wieder zu seiner neuesten gespeicherten "
           "Rechnung."_w;
}

void Datenbestand::Schreiben() {
    // As the end of the run writes them, without releasing anything; a file
    // that already holds what memory holds keeps its modification time.
    if (merkzettel_) {
        merkzettel_->Flush();
    }
    if (kunden_) {
        kunden_->Flush();
    }
    if (const Ergebnis<bool> gespeichert =
            File::ReplaceIfChanged(Pfad("preferences.dat"), customizer_->Image());
        !gespeichert) {
        throw MessageException("Die Datei "_w + CodePage::Utf8ToCp1252(Pfad("preferences.dat")) +
                                   " konnte nicht geschrieben werden (" +
                                   gespeichert.Ursache().Grund() + ").",
                               gespeichert.Ursache());
    }
    for (int i = 0; i < preise_->count; ++i) {
        if (PreisVerwaltung::Preisliste* liste = preise_->GetPreisliste(i)) {
            liste->preise.Flush();
        }
    }
    weine_->Flush();
}

MerkzettelVerwaltung& Datenbestand::MerkzettelOeffnen() {
    if (!merkzettel_) {
        merkzettel_ = std::make_unique<MerkzettelVerwaltung>(Pfad("merkzettel.dat"), zugriff_);
        Melde("MerkzettelVerwaltung", true);
    }
    return *merkzettel_;
}

std::string Datenbestand::Pfad(const char* name) const {
    return verzeichnis_ + "/" + name;
}

void Datenbestand::Melde(const char* verwaltung, bool erzeugt) const {
    if (beobachter_) {
        beobachter_(verwaltung, erzeugt);
    }
}
