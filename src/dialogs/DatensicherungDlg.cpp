#include "dialogs/DatensicherungDlg.h"

#include <cstdlib>
#include <utility>

#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

std::string Getrimmt(const std::string& text) {
    const std::size_t anfang = text.find_first_not_of(' ');
    if (anfang == std::string::npos) {
        return {};
    }
    return text.substr(anfang, text.find_last_not_of(' ') - anfang + 1);
}

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

std::string Zeitpunkt(std::int64_t zeit) {
    Sicherungsinhalt inhalt;
    inhalt.zeitpunkt = zeit;
    // "vom 7.12.2026, 17:00:00 Uhr" without its "vom ".
    return inhalt.Datumstext().substr(4);
}

}  // namespace

DatensicherungDlg::DatensicherungDlg(const Datensicherung& sicherung,
                                     std::function<void()> schreiben)
    : Dialog(kResource), sicherung_(sicherung), schreiben_(std::move(schreiben)) {}

void DatensicherungDlg::SetupWindow() {
    Sicherungseinstellungen einstellungen;
    if (const Ergebnis<void> geladen = einstellungen.Laden(sicherung_.EinstellungsDatei());
        !geladen) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(sicherung_.EinstellungsDatei()) +
                             " kann nicht gelesen werden (" + geladen.Ursache().Grund() +
                             "). Es werden die Voreinstellungen gezeigt.",
                         kTitel, MessageButtons::Ok, MessageIcon::Warning);
    }
    Win().SetText(kOrdner, einstellungen.ordner);
    Win().SetChecked(kAutomatisch, einstellungen.automatisch);
    Win().SetText(kBehalten, std::to_string(einstellungen.behalten));
    StandZeigen();
}

void DatensicherungDlg::TextChanged(int id) {
    if (id == kOrdner) {
        StandZeigen();
    }
}

void DatensicherungDlg::Command(int id) {
    switch (id) {
        case kDurchsuchen:
            Durchsuchen();
            return;
        case kJetztSichern:
            JetztSichern();
            return;
        case ControlId::kOk:
            Uebernehmen();
            return;
        default:
            Dialog::Command(id);
    }
}

bool DatensicherungDlg::AusFenster(Sicherungseinstellungen& einstellungen,
                                   std::string& fehler) const {
    einstellungen.ordner = Getrimmt(Win().Text(kOrdner));
    einstellungen.automatisch = Win().IsChecked(kAutomatisch);
    if (einstellungen.ordner.empty() ||
        (einstellungen.ordner[0] != '/' && einstellungen.ordner[0] != '~')) {
        fehler =
            "Bitte geben Sie den Sicherungsordner mit vollständigem Pfad an, beginnend mit / "
            "oder mit ~ für Ihren persönlichen Ordner."_w;
        return false;
    }
    const std::string behalten = Getrimmt(Win().Text(kBehalten));
    const int n = std::atoi(behalten.c_str());
    if (behalten.empty() || behalten.size() > 3 ||
        behalten.find_first_not_of("0123456789") != std::string::npos || n < 1 ||
        n > Sicherungseinstellungen::kHoechstensBehalten) {
        fehler = "Die Zahl der aufbewahrten Sicherungen muss zwischen 1 und " +
                 std::to_string(Sicherungseinstellungen::kHoechstensBehalten) + " liegen.";
        return false;
    }
    einstellungen.behalten = n;
    return true;
}

void DatensicherungDlg::StandZeigen() {
    Sicherungseinstellungen einstellungen;
    einstellungen.ordner = Getrimmt(Win().Text(kOrdner));
    if (einstellungen.ordner.empty()) {
        Win().SetText(kStand, "");
        return;
    }
    const std::string ordner = einstellungen.Pfad();
    const std::string hindernis = sicherung_.OrdnerHindernis(ordner);
    if (!hindernis.empty()) {
        Win().SetText(kStand, hindernis);
        return;
    }
    const std::vector<std::string> vorhanden = Datensicherung::Sicherungen(ordner);
    if (vorhanden.empty()) {
        Win().SetText(kStand, "In diesem Ordner liegt noch keine Sicherung.");
        return;
    }
    const std::optional<std::int64_t> zeit = Datensicherung::Zeitpunkt(vorhanden.back());
    Win().SetText(kStand, "Neueste Sicherung in diesem Ordner: " + Zeitpunkt(*zeit) + " (" +
                              std::to_string(vorhanden.size()) +
                              (vorhanden.size() == 1 ? " Sicherung" : " Sicherungen") +
                              " im Ordner).");
}

void DatensicherungDlg::Durchsuchen() {
    Sicherungseinstellungen einstellungen;
    einstellungen.ordner = Getrimmt(Win().Text(kOrdner));
    FolderRequest anfrage;
    anfrage.title = "Sicherungsordner wählen"_w;
    anfrage.initialDir =
        einstellungen.ordner.empty() ? Sicherungseinstellungen::Heimordner() : einstellungen.Pfad();
    const std::optional<std::string> gewaehlt = App().ChooseFolder(anfrage);
    if (!gewaehlt) {
        return;
    }
    if (!CodePage::NichtDarstellbar(*gewaehlt).empty()) {
        App().MessageBox("Der Name des Ordners " + Anzeige(*gewaehlt) +
                             " enthält Zeichen, die Rebkontor nicht speichern kann. Bitte wählen "
                             "Sie einen anderen Ordner."_w,
                         kTitel);
        return;
    }
    Win().SetText(kOrdner, Sicherungseinstellungen::Kurzform(*gewaehlt));
    StandZeigen();
}

void DatensicherungDlg::JetztSichern() {
    Sicherungseinstellungen einstellungen;
    std::string fehler;
    if (!AusFenster(einstellungen, fehler)) {
        App().MessageBox(fehler + " Es wurde nicht gesichert.", kTitel);
        return;
    }
    App().WaitCursor();
    try {
        if (schreiben_) {
            schreiben_();
        }
        const Datensicherung::Gesichert gesichert =
            sicherung_.InOrdner(einstellungen.Pfad(), Clock::Now(), einstellungen.behalten);
        App().ArrowCursor();
        Win().SetText(kStand, "Gesichert in " + Anzeige(gesichert.datei) + ": " +
                                  gesichert.inhalt.Mengentext() + ".");
        App().StatusMessage("Datensicherung gespeichert: " +
                            CodePage::Utf8ToCp1252(gesichert.datei));
    } catch (const MessageException& ausnahme) {
        App().ArrowCursor();
        StandZeigen();
        App().MessageBox(ausnahme.Text(), kTitel, MessageButtons::Ok, MessageIcon::Warning);
    }
}

void DatensicherungDlg::Uebernehmen() {
    Sicherungseinstellungen einstellungen;
    std::string fehler;
    if (!AusFenster(einstellungen, fehler)) {
        App().MessageBox(fehler + " Die Einstellungen wurden nicht gespeichert.", kTitel);
        return;
    }
    // A stick that is not plugged in now may be later; a folder that is a
    // file or a link is worth a second thought.
    const std::string hindernis = sicherung_.OrdnerHindernis(einstellungen.Pfad());
    if (!hindernis.empty() &&
        App().MessageBox(hindernis + "\n\nSoll der Ordner trotzdem eingestellt werden?", kTitel,
                         MessageButtons::YesNo, MessageIcon::Warning, Answer::No) != Answer::Yes) {
        return;
    }
    if (const Ergebnis<void> gespeichert = einstellungen.Speichern(sicherung_.EinstellungsDatei());
        !gespeichert) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(sicherung_.EinstellungsDatei()) +
                             " konnte nicht geschrieben werden (" + gespeichert.Ursache().Grund() +
                             "). Die Einstellungen wurden nicht gespeichert.",
                         kTitel);
        return;
    }
    Win().Close(ControlId::kOk);
}

void DatensicherungDlg::BeimBeenden(Services& app, const Datensicherung& sicherung) {
    Sicherungseinstellungen einstellungen;
    if (const Ergebnis<void> geladen = einstellungen.Laden(sicherung.EinstellungsDatei());
        !geladen) {
        app.MessageBox("Die automatische Datensicherung ist nicht gelungen: die Datei "_w +
                           CodePage::Utf8ToCp1252(sicherung.EinstellungsDatei()) +
                           " kann nicht gelesen werden (" + geladen.Ursache().Grund() +
                           "). Rebkontor wird trotzdem beendet; die Daten sind gespeichert.",
                       kTitel, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    app.WaitCursor();
    try {
        (void)sicherung.Automatisch(einstellungen, Clock::Now());
        app.ArrowCursor();
    } catch (const MessageException& fehler) {
        app.ArrowCursor();
        app.MessageBox("Die automatische Datensicherung beim Beenden ist nicht gelungen.\n\n" +
                           fehler.Text() +
                           "\n\nRebkontor wird trotzdem beendet; die Daten sind "
                           "gespeichert. Bitte prüfen Sie den Sicherungsordner "
                           "unter Optionen/Datensicherung."_w,
                       kTitel, MessageButtons::Ok, MessageIcon::Warning);
    }
}
