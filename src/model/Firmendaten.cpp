#include "model/Firmendaten.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "storage/Einstellungsdatei.h"
#include "storage/File.h"
#include "storage/FixedText.h"

namespace {

bool Ziffern(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool Grossbuchstabe(char c) {
    return c >= 'A' && c <= 'Z';
}

}  // namespace

const std::vector<Firmendaten::Feld>& Firmendaten::Felder() {
    static const std::vector<Feld> felder = {
        {"Name", "Name", &Firmendaten::name},
        {"Inhaber", "Inhaber/Ansprechpartner", &Firmendaten::inhaber},
        {"Strasse",
         "Stra\xDF"
         "e",
         &Firmendaten::strasse},
        {"PLZ", "PLZ", &Firmendaten::plz},
        {"Ort", "Ort", &Firmendaten::ort},
        {"Land", "Land", &Firmendaten::land},
        {"Telefon", "Telefon", &Firmendaten::telefon},
        {"EMail", "E-Mail", &Firmendaten::email},
        {"UStIdNr", "USt-IdNr.", &Firmendaten::ustId},
        {"Steuernummer", "Steuernummer", &Firmendaten::steuernummer},
        {"IBAN", "IBAN", &Firmendaten::iban},
        {"BIC", "BIC", &Firmendaten::bic},
        {"Bank", "Bank", &Firmendaten::bank},
        {"Zahlungsziel", "Zahlungsziel", &Firmendaten::zahlungsziel},
    };
    return felder;
}

Ergebnis<void> Firmendaten::Laden(const std::string& datei) {
    *this = Firmendaten();
    const Ergebnis<std::string> text = Einstellungsdatei::Lesen(datei);
    if (!text) {
        return text.Ursache();
    }
    std::string ignoriert;
    Firmendaten gelesen;
    AusText(*text, gelesen, ignoriert);
    *this = gelesen;
    return {};
}

bool Firmendaten::AusText(const std::string& text, Firmendaten& daten, std::string& fehler) {
    daten = Firmendaten();
    bool gut = true;
    std::size_t start = 0;
    int zeile = 0;
    // The seller's fields come first; a line "[NAME]" starts a section, and
    // the lines of a section belong to it alone.
    std::string abschnitt;
    while (start < text.size()) {
        std::size_t ende = text.find('\n', start);
        if (ende == std::string::npos) {
            ende = text.size();
        }
        std::string z = text.substr(start, ende - start);
        start = ende + 1;
        ++zeile;
        if (!z.empty() && z.back() == '\r') {
            z.pop_back();
        }
        if (z.empty()) {
            continue;
        }
        if (z.front() == '[' && z.back() == ']') {
            abschnitt = z;
            daten.datev.vorhanden = daten.datev.vorhanden || z == DatevEinstellungen::kAbschnitt;
            continue;
        }
        const std::size_t gleich = z.find('=');
        if (gleich == std::string::npos) {
            if (gut) {
                fehler = "Zeile " + std::to_string(zeile) + " hat kein \"=\"";
            }
            gut = false;
            continue;
        }
        const std::string schluessel = z.substr(0, gleich);
        if (!abschnitt.empty()) {
            if (abschnitt == DatevEinstellungen::kAbschnitt) {
                daten.datev.Setze(schluessel, z.substr(gleich + 1));
            }
            continue;
        }
        if (schluessel == kGiroCode) {
            const std::string wert = z.substr(gleich + 1);
            daten.giroCode = wert != "nein" && wert != "0";
        }
        for (const Feld& f : Felder()) {
            if (schluessel == f.schluessel) {
                // A lone CR or a tab inside a value would not survive the
                // next store; read it as it will be written.
                daten.*f.wert = FixedText::Einzeilig(z.substr(gleich + 1));
            }
        }
    }
    return gut;
}

std::string Firmendaten::Text() const {
    std::string text;
    for (const Feld& f : Felder()) {
        // Every field is a single line of the file.
        text += std::string(f.schluessel) + "=" + FixedText::Einzeilig(this->*f.wert) + "\r\n";
    }
    text += std::string(kGiroCode) + (giroCode ? "=ja\r\n" : "=nein\r\n");
    return text + datev.Text();
}

Ergebnis<void> Firmendaten::Speichern(const std::string& datei) const {
    return File::ReplaceAtomically(datei, Text());
}

std::string Firmendaten::IbanNormal(const std::string& iban) {
    std::string normal;
    for (unsigned char c : iban) {
        if (c != ' ') {
            normal += static_cast<char>(std::toupper(c));
        }
    }
    return normal;
}

std::string Firmendaten::PruefeIban(const std::string& eingabe) {
    const std::string iban = IbanNormal(eingabe);
    if (iban.empty()) {
        return {};
    }
    bool form = iban.size() >= 15 && iban.size() <= 34 && Grossbuchstabe(iban[0]) &&
                Grossbuchstabe(iban[1]) && std::isdigit(static_cast<unsigned char>(iban[2])) &&
                std::isdigit(static_cast<unsigned char>(iban[3]));
    for (char c : iban) {
        form = form && (std::isdigit(static_cast<unsigned char>(c)) || Grossbuchstabe(c));
    }
    if (!form || (iban.compare(0, 2, "DE") == 0 && iban.size() != 22)) {
        return "Die IBAN hat nicht die richtige Form (L\xE4nderkennung, 2 Pr\xFC"
               "fziffern und "
               "Kontonummer; in Deutschland 22 Zeichen).";
    }
    // ISO 13616: the first four characters go to the end, letters become
    // 10..35, and the number must leave 1 when divided by 97.
    const std::string umgestellt = iban.substr(4) + iban.substr(0, 4);
    int rest = 0;
    for (char c : umgestellt) {
        const int wert = Grossbuchstabe(c) ? c - 'A' + 10 : c - '0';
        rest = wert >= 10 ? (rest * 100 + wert) % 97 : (rest * 10 + wert) % 97;
    }
    if (rest != 1) {
        return "Die Pr\xFC"
               "fziffern der IBAN stimmen nicht. Bitte pr\xFC"
               "fen Sie die IBAN.";
    }
    return {};
}

std::string Firmendaten::PruefeUstId(const std::string& ustId) {
    if (ustId.empty()) {
        return {};
    }
    if (ustId.size() != 11 || ustId.compare(0, 2, "DE") != 0 || !Ziffern(ustId.substr(2))) {
        return "Die USt-IdNr. besteht aus DE und 9 Ziffern (zum Beispiel DE123456789).";
    }
    return {};
}

std::string Firmendaten::PruefeEMail(const std::string& email) {
    if (email.empty()) {
        return {};
    }
    const std::size_t at = email.find('@');
    const bool gut = at != std::string::npos && at > 0 &&
                     email.find('@', at + 1) == std::string::npos &&
                     email.find(' ') == std::string::npos &&
                     email.find('.', at + 2) != std::string::npos && email.back() != '.';
    if (!gut) {
        return "Die E-Mail-Adresse hat nicht die Form name@firma.de.";
    }
    return {};
}

std::string Firmendaten::PruefeLand(const std::string& land) {
    if (land.size() != 2 || !Grossbuchstabe(land[0]) || !Grossbuchstabe(land[1])) {
        return "Das Land wird mit seinem zweibuchstabigen Kennzeichen angegeben (DE f\xFCr "
               "Deutschland).";
    }
    return {};
}

std::string Firmendaten::PruefeBic(const std::string& bic) {
    if (bic.empty()) {
        return {};
    }
    bool gut = bic.size() == 8 || bic.size() == 11;
    for (std::size_t i = 0; gut && i < bic.size(); ++i) {
        const char c = bic[i];
        gut = i < 6 ? Grossbuchstabe(c)
                    : (Grossbuchstabe(c) || std::isdigit(static_cast<unsigned char>(c)));
    }
    if (!gut) {
        return "Die BIC besteht aus 8 oder 11 Buchstaben und Ziffern (zum Beispiel "
               "GENODE61XYZ).";
    }
    return {};
}

std::string Firmendaten::PruefeZahlungsziel(const std::string& tage) {
    if (!Ziffern(tage) || tage.size() > 3 || std::stoi(tage) > 365) {
        return "Das Zahlungsziel wird in Tagen angegeben (0 bis 365).";
    }
    return {};
}

std::string Firmendaten::Pruefen() const {
    for (const std::string& meldung :
         {PruefeIban(iban), PruefeUstId(ustId), PruefeEMail(email), PruefeLand(land),
          PruefeBic(bic), PruefeZahlungsziel(zahlungsziel)}) {
        if (!meldung.empty()) {
            return meldung;
        }
    }
    return {};
}

std::string Firmendaten::Unvollstaendig() const {
    std::string fehlt;
    auto pruefe = [&fehlt](const std::string& wert, const char* bezeichnung) {
        if (wert.find_first_not_of(' ') == std::string::npos) {
            fehlt += (fehlt.empty() ? "" : ", ") + std::string(bezeichnung);
        }
    };
    pruefe(name, "Name");
    pruefe(inhaber, "Inhaber/Ansprechpartner");
    pruefe(strasse,
           "Stra\xDF"
           "e");
    pruefe(plz, "PLZ");
    pruefe(ort, "Ort");
    pruefe(telefon, "Telefon");
    pruefe(email, "E-Mail");
    if (ustId.empty() && steuernummer.empty()) {
        fehlt += (fehlt.empty() ? "" : ", ") + std::string("USt-IdNr. oder Steuernummer");
    }
    pruefe(iban, "IBAN");
    return fehlt;
}

std::string Firmendaten::DateiNeben(const std::string& datei) {
    const std::size_t schraeg = datei.find_last_of('/');
    return schraeg == std::string::npos ? std::string(kDatei)
                                        : datei.substr(0, schraeg + 1) + kDatei;
}

bool Firmendaten::Vorhanden() const {
    for (const Feld& f : Felder()) {
        if (f.wert == &Firmendaten::land || f.wert == &Firmendaten::zahlungsziel) {
            continue;
        }
        if ((this->*f.wert).find_first_not_of(' ') != std::string::npos) {
            return true;
        }
    }
    return false;
}

int Firmendaten::ZahlungszielTage() const {
    return PruefeZahlungsziel(zahlungsziel).empty() ? std::stoi(zahlungsziel) : 30;
}
