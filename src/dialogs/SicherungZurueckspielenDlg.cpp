#include "dialogs/SicherungZurueckspielenDlg.h"

#include <utility>

#include "storage/Clock.h"
#include "storage/CodePage.h"
#include "storage/MessageException.h"
#include "windowing/Services.h"
#include "windowing/Window.h"

namespace {

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

Sicherungseinstellungen Einstellungen(const Datensicherung& sicherung) {
    Sicherungseinstellungen einstellungen;
    if (const Ergebnis<void> geladen = einstellungen.Laden(sicherung.EinstellungsDatei());
        !geladen) {
        throw MessageException(
            "Die Datei "_w + CodePage::Utf8ToCp1252(sicherung.EinstellungsDatei()) +
                " kann nicht gelesen werden (" + geladen.Ursache().Grund() + ").",
            geladen.Ursache());
    }
    return einstellungen;
}

}  // namespace

void Rueckspielauftrag::Ausfuehren(Services& app, const std::function<void()>& schliessen,
                                   const std::function<void()>& oeffnen) {
    const Sicherungsinhalt inhalt = wiederherstellung->Inhalt();
    schliessen();
    std::string fehler;
    try {
        wiederherstellung->Zurueckspielen();
    } catch (const MessageException& ausnahme) {
        fehler = ausnahme.Text();
    }
    wiederherstellung.reset();
    oeffnen();
    if (!fehler.empty()) {
        app.MessageBox(fehler, SicherungZurueckspielenDlg::kTitel, MessageButtons::Ok,
                       MessageIcon::Error);
        return;
    }
    app.MessageBox(
        "Die Datensicherung "_w + inhalt.Datumstext() +
            " ist zurückgespielt. Rebkontor arbeitet jetzt mit ihren Daten ("_w +
            inhalt.Mengentext() + ")." +
            (vorher.empty()
                 ? std::string()
                 : "\n\nDie Daten von vorher sind gesichert in " + Anzeige(vorher) + "."),
        SicherungZurueckspielenDlg::kTitel, MessageButtons::Ok, MessageIcon::Information);
}

SicherungZurueckspielenDlg::SicherungZurueckspielenDlg(const Datensicherung& sicherung,
                                                       Datensicherung::Pruefung pruefung,
                                                       std::function<void()> schreiben)
    : Dialog(kResource),
      sicherung_(sicherung),
      pruefung_(std::move(pruefung)),
      schreiben_(std::move(schreiben)) {}

void SicherungZurueckspielenDlg::SetupWindow() {
    Win().SetText(kArchiv, "");
    Win().SetText(kInhalt,
                  "Bitte wählen Sie die Datensicherung, die zurückgespielt werden soll. Sie wird "
                  "zuerst geprüft; die jetzigen Daten bleiben unverändert, bis Sie "
                  "»Zurückspielen« bestätigen."_w);
    Win().Enable(ControlId::kOk, false);
}

void SicherungZurueckspielenDlg::Command(int id) {
    switch (id) {
        case kDurchsuchen:
            Durchsuchen();
            return;
        case kPruefen:
            Pruefen();
            return;
        case ControlId::kOk:
            Zurueckspielen();
            return;
        default:
            Dialog::Command(id);
    }
}

void SicherungZurueckspielenDlg::TextChanged(int id) {
    if (id != kArchiv) {
        return;
    }
    // What was checked is no longer what the field names.
    geprueft_.reset();
    Win().Enable(ControlId::kOk, false);
}

bool SicherungZurueckspielenDlg::EnterPressed(int id) {
    if (id != kArchiv) {
        return false;
    }
    Pruefen();
    return true;
}

std::string SicherungZurueckspielenDlg::Archiv() const {
    const std::string feld = Win().Text(kArchiv);
    if (!gewaehlt_.empty() && feld == CodePage::Utf8ToCp1252(gewaehlt_)) {
        return gewaehlt_;
    }
    return CodePage::Cp1252ToUtf8(feld);
}

void SicherungZurueckspielenDlg::Durchsuchen() {
    OpenFileRequest anfrage;
    anfrage.title = "Datensicherung wählen"_w;
    anfrage.filter = "Datensicherung (*.zip)|*.zip|";
    try {
        anfrage.initialDir = Einstellungen(sicherung_).Pfad();
    } catch (const MessageException&) {
        anfrage.initialDir = Sicherungseinstellungen::Heimordner();
    }
    const std::optional<std::string> gewaehlt = App().OpenFile(anfrage);
    if (!gewaehlt) {
        return;
    }
    gewaehlt_ = *gewaehlt;
    Win().SetText(kArchiv, CodePage::Utf8ToCp1252(gewaehlt_));
    Pruefen();
}

void SicherungZurueckspielenDlg::Pruefen() {
    geprueft_.reset();
    Win().Enable(ControlId::kOk, false);
    const std::string archiv = Archiv();
    if (archiv.empty()) {
        Win().SetText(kInhalt, "Bitte wählen Sie zuerst eine Datensicherung."_w);
        return;
    }
    App().WaitCursor();
    try {
        geprueft_ =
            std::make_unique<Wiederherstellung>(sicherung_.Verzeichnis(), archiv, pruefung_);
    } catch (const MessageException& ausnahme) {
        App().ArrowCursor();
        Win().SetText(kInhalt, ausnahme.Text());
        return;
    }
    App().ArrowCursor();
    const Sicherungsinhalt& inhalt = geprueft_->Inhalt();
    const std::string programm = inhalt.Programmtext();
    std::string text = "Datensicherung " + inhalt.Datumstext() +
                       (programm.empty() ? "" : " (" + programm + ")") + "\n" +
                       inhalt.Mengentext() + "\n" + inhalt.Dateientext() + "\n\n";
    if (geprueft_->Befunde().empty()) {
        text += "Die Sicherung ist unbeschädigt, und die Prüfung ihrer Daten fand nichts."_w;
    } else {
        text +=
            "Die Sicherung ist unbeschädigt. Die Prüfung ihrer Daten meldet, was auch in "
            "den Daten zur Zeit der Sicherung so war:"_w;
        for (const std::string& befund : geprueft_->Befunde()) {
            text += "\n" + befund;
        }
    }
    Win().SetText(kInhalt, text);
    Win().Enable(ControlId::kOk, true);
}

void SicherungZurueckspielenDlg::Zurueckspielen() {
    if (!geprueft_) {
        return;
    }
    const Sicherungsinhalt& inhalt = geprueft_->Inhalt();
    const bool vorherSichern = sicherung_.HatDaten();
    std::string ordner;
    if (vorherSichern) {
        try {
            ordner = Einstellungen(sicherung_).Pfad();
        } catch (const MessageException& ausnahme) {
            App().MessageBox(ausnahme.Text() + " Die Datensicherung wurde nicht zurückgespielt."_w,
                             kTitel, MessageButtons::Ok, MessageIcon::Warning);
            return;
        }
    }
    const std::string frage =
        "Die jetzigen Daten werden durch die Datensicherung "_w + inhalt.Datumstext() + " (" +
        inhalt.Mengentext() + ") ersetzt." +
        (vorherSichern ? " Vorher werden sie selbst im Ordner " + Anzeige(ordner) + " gesichert."
                       : std::string()) +
        "\n\nSoll die Datensicherung jetzt zurückgespielt werden?"_w;
    if (App().MessageBox(frage, kTitel, MessageButtons::YesNo, MessageIcon::Warning, Answer::No) !=
        Answer::Yes) {
        return;
    }
    auto auftrag = std::make_unique<Rueckspielauftrag>();
    if (vorherSichern) {
        App().WaitCursor();
        try {
            if (schreiben_) {
                schreiben_();
            }
            const Sicherungseinstellungen einstellungen = Einstellungen(sicherung_);
            auftrag->vorher =
                sicherung_.InOrdner(einstellungen.Pfad(), Clock::Now(), einstellungen.behalten)
                    .datei;
        } catch (const MessageException& ausnahme) {
            App().ArrowCursor();
            App().MessageBox(ausnahme.Text() +
                                 "\n\nDie Datensicherung wurde nicht zurückgespielt, weil die "
                                 "jetzigen Daten nicht gesichert werden konnten."_w,
                             kTitel, MessageButtons::Ok, MessageIcon::Warning);
            return;
        }
        App().ArrowCursor();
    }
    auftrag->wiederherstellung = std::move(geprueft_);
    auftrag_ = std::move(auftrag);
    Win().Close(ControlId::kOk);
}
