#include "dialogs/MahnwesenDlg.h"

#include <utility>

#include "storage/CodePage.h"
#include "storage/LenientNumber.h"
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

// A multi-line field may hand its lines over with CR LF.
std::string OhneCr(std::string text) {
    std::string aus;
    for (const char c : text) {
        if (c != '\r') {
            aus += c;
        }
    }
    return aus;
}

bool NurZiffern(const std::string& text) {
    if (text.empty() || text.size() > 3) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

MahnwesenDlg::MahnwesenDlg(Mahntexte& texte, std::string datei)
    : Dialog(kResource), texte_(texte), datei_(std::move(datei)) {}

void MahnwesenDlg::SetupWindow() {
    for (int s = 1; s <= Mahntexte::kStufen; ++s) {
        const Mahntexte::Stufe& stufe = texte_.Von(s);
        Win().SetText(Feld(kTitel, s), stufe.titel);
        Win().SetText(Feld(kText, s), stufe.text);
        Win().SetText(Feld(kGebuehr, s), Mahntexte::GebuehrText(stufe.gebuehr));
    }
    Win().SetText(kTage, std::to_string(texte_.tageBisNaechsteStufe));
}

void MahnwesenDlg::Command(int id) {
    if (id == ControlId::kOk) {
        Uebernehmen();
        return;
    }
    Dialog::Command(id);
}

void MahnwesenDlg::Uebernehmen() {
    Mahntexte neu = texte_;
    for (int s = 1; s <= Mahntexte::kStufen; ++s) {
        Mahntexte::Stufe& stufe = neu.Von(s);
        stufe.titel = Getrimmt(Win().Text(Feld(kTitel, s)));
        stufe.text = OhneCr(Win().Text(Feld(kText, s)));
        const std::string gebuehr = Win().Text(Feld(kGebuehr, s));
        const std::int64_t cent = Mahntexte::GebuehrLesen(gebuehr);
        if (cent < 0) {
            App().MessageBox("Die Gebühr der Stufe "_w + std::to_string(s) + " »"_w + gebuehr +
                                 "« ist kein Betrag in Euro (etwa 12,50 oder 12.50; nicht "_w
                                 "negativ). Die Einstellungen wurden nicht gespeichert.",
                             kUeberschrift);
            Win().Focus(Feld(kGebuehr, s));
            return;
        }
        stufe.gebuehr = cent;
        if (stufe.titel.empty()) {
            App().MessageBox("Bitte geben Sie einen Titel für die Stufe "_w + std::to_string(s) +
                                 " an. Die Einstellungen wurden nicht gespeichert.",
                             kUeberschrift);
            Win().Focus(Feld(kTitel, s));
            return;
        }
    }
    const std::string tage = Getrimmt(Win().Text(kTage));
    if (!NurZiffern(tage) || LenientNumber::ToInt(tage) > 365) {
        App().MessageBox("Die Tage bis zur nächsten Mahnstufe »"_w + tage +
                             "« sind keine Zahl von 0 bis 365. Die Einstellungen wurden nicht "
                             "gespeichert.",
                         kUeberschrift);
        Win().Focus(kTage);
        return;
    }
    neu.tageBisNaechsteStufe = LenientNumber::ToInt(tage);
    if (const Ergebnis<void> gespeichert = neu.Speichern(datei_); !gespeichert) {
        App().MessageBox("Die Datei "_w + CodePage::Utf8ToCp1252(datei_) +
                             " konnte nicht geschrieben werden (" + gespeichert.Ursache().Grund() +
                             "). Die Einstellungen wurden nicht gespeichert.",
                         kUeberschrift);
        return;
    }
    texte_ = neu;
    Win().Close(ControlId::kOk);
}
