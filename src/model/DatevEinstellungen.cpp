#include "model/DatevEinstellungen.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "storage/FixedText.h"

namespace {

bool Ziffern(const std::string& text, std::size_t hoechstens) {
    if (text.empty() || text.size() > hoechstens) {
        return false;
    }
    for (unsigned char c : text) {
        if (!std::isdigit(c)) {
            return false;
        }
    }
    return true;
}

// "1.7." (the last dot may be left out): day and month, or false.
bool TagUndMonat(const std::string& text, int& tag, int& monat) {
    std::string rest = text;
    if (!rest.empty() && rest.back() == '.') {
        rest.pop_back();
    }
    const std::size_t punkt = rest.find('.');
    if (punkt == std::string::npos) {
        return false;
    }
    const std::string t = rest.substr(0, punkt);
    const std::string m = rest.substr(punkt + 1);
    if (!Ziffern(t, 2) || !Ziffern(m, 2)) {
        return false;
    }
    tag = std::stoi(t);
    monat = std::stoi(m);
    // A fiscal year begins on the same day every year: never on 29 February.
    return monat >= 1 && monat <= 12 && tag >= 1 && tag <= Datum::DaysInMonth(monat, 2001);
}

// The rate in hundredths of a percent, as the settings show it.
long Hundertstel(float mwst) {
    return std::lround(static_cast<double>(mwst) * 100.0);
}

}  // namespace

const std::vector<DatevEinstellungen::Feld>& DatevEinstellungen::Felder() {
    static const std::vector<Feld> felder = {
        {"Beraternummer", "Beraternummer", &DatevEinstellungen::beraternummer},
        {"Mandantennummer", "Mandantennummer", &DatevEinstellungen::mandantennummer},
        {"Wirtschaftsjahresbeginn", "Beginn des Wirtschaftsjahres", &DatevEinstellungen::wjBeginn},
        {"Sachkontenlaenge",
         "Sachkontenl\xE4"
         "nge",
         &DatevEinstellungen::sachkontenlaenge},
        {"Kontenrahmen", "Kontenrahmen", &DatevEinstellungen::kontenrahmen},
        {"Erloeskonto",
         "Erl\xF6"
         "skonto",
         &DatevEinstellungen::erloeskonto},
        {"Debitoren", "Debitoren", &DatevEinstellungen::debitoren},
    };
    return felder;
}

bool DatevEinstellungen::Setze(const std::string& schluessel, const std::string& wert) {
    for (const Feld& f : Felder()) {
        if (schluessel == f.schluessel) {
            this->*f.wert = FixedText::Einzeilig(wert);
            return true;
        }
    }
    return false;
}

std::string DatevEinstellungen::Text() const {
    if (!vorhanden) {
        return {};
    }
    std::string text = std::string(kAbschnitt) + "\r\n";
    for (const Feld& f : Felder()) {
        text += std::string(f.schluessel) + "=" + FixedText::Einzeilig(this->*f.wert) + "\r\n";
    }
    return text;
}

std::string DatevEinstellungen::PruefeBeraternummer(const std::string& text) {
    if (text.empty() || (Ziffern(text, 7) && std::stol(text) >= 1001)) {
        return {};
    }
    return "Die Beraternummer ist eine Zahl von 1001 bis 9999999.";
}

std::string DatevEinstellungen::PruefeMandantennummer(const std::string& text) {
    if (text.empty() || (Ziffern(text, 5) && std::stol(text) >= 1)) {
        return {};
    }
    return "Die Mandantennummer ist eine Zahl von 1 bis 99999.";
}

std::string DatevEinstellungen::PruefeWjBeginn(const std::string& text) {
    int tag = 0;
    int monat = 0;
    if (TagUndMonat(text, tag, monat)) {
        return {};
    }
    return "Der Beginn des Wirtschaftsjahres ist ein Tag und ein Monat (zum Beispiel 1.1. oder "
           "1.7.).";
}

std::string DatevEinstellungen::PruefeSachkontenlaenge(const std::string& text) {
    if (Ziffern(text, 1) && text[0] >= '4' && text[0] <= '8') {
        return {};
    }
    return "Die Sachkontenlänge ist 4 bis 8 Stellen."_w;
}

std::string DatevEinstellungen::PruefeKontenrahmen(const std::string& text) {
    if (text == kSkr03 || text == kSkr04) {
        return {};
    }
    return "Der Kontenrahmen ist SKR03 oder SKR04.";
}

std::string DatevEinstellungen::PruefeDebitoren(const std::string& text) {
    if (text == kJeKunde || text == kSammeldebitor) {
        return {};
    }
    return "Die Debitoren werden »je Kunde« oder auf einen »Sammeldebitor« gebucht."_w;
}

std::string DatevEinstellungen::PruefeErloeskonto(const std::string& text,
                                                  const std::string& laenge) {
    if (text.empty() || !PruefeSachkontenlaenge(laenge).empty()) {
        return {};
    }
    const auto stellen = static_cast<std::size_t>(laenge[0] - '0');
    if (Ziffern(text, stellen) && text.size() == stellen) {
        return {};
    }
    return "Das Erlöskonto hat genau "_w + std::to_string(stellen) +
           " Ziffern, so viele wie die Sachkonten."_w;
}

std::string DatevEinstellungen::Pruefen() const {
    for (const std::string& meldung :
         {PruefeBeraternummer(beraternummer), PruefeMandantennummer(mandantennummer),
          PruefeWjBeginn(wjBeginn), PruefeSachkontenlaenge(sachkontenlaenge),
          PruefeKontenrahmen(kontenrahmen), PruefeErloeskonto(erloeskonto, sachkontenlaenge),
          PruefeDebitoren(debitoren)}) {
        if (!meldung.empty()) {
            return meldung;
        }
    }
    return {};
}

std::string DatevEinstellungen::Fehlend() const {
    std::string fehlt;
    if (beraternummer.empty()) {
        fehlt = "Beraternummer";
    }
    if (mandantennummer.empty()) {
        fehlt += (fehlt.empty() ? "" : ", ") + std::string("Mandantennummer");
    }
    return fehlt;
}

int DatevEinstellungen::Sachkontenlaenge() const {
    return PruefeSachkontenlaenge(sachkontenlaenge).empty() ? sachkontenlaenge[0] - '0' : 4;
}

int DatevEinstellungen::WjTag() const {
    int tag = 1;
    int monat = 1;
    return TagUndMonat(wjBeginn, tag, monat) ? tag : 1;
}

int DatevEinstellungen::WjMonat() const {
    int tag = 1;
    int monat = 1;
    return TagUndMonat(wjBeginn, tag, monat) ? monat : 1;
}

std::int64_t DatevEinstellungen::Debitorenbasis() const {
    std::int64_t basis = 1;
    for (int i = 0; i < Sachkontenlaenge(); ++i) {
        basis *= 10;
    }
    return basis;
}

std::int64_t DatevEinstellungen::Debitor(std::int32_t kunde) const {
    return Sammeldebitor() ? Debitorenbasis() : Debitorenbasis() + kunde;
}

bool DatevEinstellungen::DebitorPasst(std::int32_t kunde) const {
    const std::int64_t konto = Debitor(kunde);
    return konto >= Debitorenbasis() && konto < 10 * Debitorenbasis();
}

std::string DatevEinstellungen::StandardErloeskonto(bool skr04, float mwst) {
    switch (Hundertstel(mwst)) {
        case 1900:
            return skr04 ? "4400" : "8400";
        case 700:
            return skr04 ? "4300" : "8300";
        default:
            return {};
    }
}

std::string DatevEinstellungen::Erloeskonto(float mwst, std::string& fehler) const {
    if (!erloeskonto.empty()) {
        return erloeskonto;
    }
    const std::string standard = StandardErloeskonto(Skr04(), mwst);
    if (standard.empty()) {
        char satz[32];
        std::snprintf(satz, sizeof satz, "%.2f", static_cast<double>(mwst));
        std::string text = satz;
        // "16.00" reads as "16", "5.50" as "5,5".
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
        for (char& c : text) {
            c = c == '.' ? ',' : c;
        }
        fehler = "Für "_w + text + " % MwSt. hat der Kontenrahmen " + kontenrahmen +
                 " kein voreingestelltes Erlöskonto. Bitte tragen Sie das Erlöskonto unter "
                 "Optionen/DATEV-Einstellungen ein."_w;
        return {};
    }
    if (Sachkontenlaenge() != 4) {
        fehler = "Das voreingestellte Erlöskonto "_w + standard +
                 " hat vier Stellen, die "
                 "Sachkonten haben aber " +
                 std::to_string(Sachkontenlaenge()) +
                 ". Bitte tragen Sie das Erlöskonto unter Optionen/DATEV-Einstellungen ein."_w;
        return {};
    }
    return standard;
}
