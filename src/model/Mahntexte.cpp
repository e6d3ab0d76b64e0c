#include "model/Mahntexte.h"

#include <cerrno>
#include <cstdio>

#include "storage/CodePage.h"
#include "storage/Einstellungsdatei.h"
#include "storage/File.h"
#include "storage/LenientNumber.h"

namespace {

constexpr std::int64_t kHoechsteGebuehr = 99999999;  // 999,999.99

std::string Maskiert(const std::string& text) {
    std::string aus;
    for (const char c : text) {
        if (c == '\\') {
            aus += "\\\\";
        } else if (c == '\n') {
            aus += "\\n";
        } else if (c != '\r') {
            aus += c;
        }
    }
    return aus;
}

std::string Demaskiert(const std::string& text) {
    std::string aus;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            aus += text[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            aus += text[i];
        }
    }
    return aus;
}

std::string Schluessel(const char* name, int stufe) {
    return name + std::to_string(stufe);
}

}  // namespace

Mahntexte::Mahntexte() {
    stufen[0] = {"Zahlungserinnerung",
                 "Sehr geehrte Kundin, sehr geehrter Kunde,\n\n"
                 "sicher ist es Ihrer Aufmerksamkeit entgangen: Für die unten aufgeführten "
                 "Rechnungen, fällig seit {Fälligkeit}, konnten wir noch keinen Zahlungseingang "
                 "feststellen. Wir bitten Sie, den offenen Betrag von {Betrag} in den nächsten "
                 "Tagen zu überweisen.\n\n"
                 "Sollten Sie die Zahlung inzwischen geleistet haben, betrachten Sie dieses "
                 "Schreiben bitte als gegenstandslos.\n\n"
                 "Mit freundlichen Grüßen"_w,
                 0};
    stufen[1] = {"1. Mahnung",
                 "Sehr geehrte Kundin, sehr geehrter Kunde,\n\n"
                 "leider konnten wir trotz unserer Zahlungserinnerung für die unten aufgeführten "
                 "Rechnungen, fällig seit {Fälligkeit}, noch keinen Zahlungseingang feststellen. "
                 "Bitte überweisen Sie den Betrag von {Betrag} einschließlich der Mahngebühr "
                 "innerhalb von zehn Tagen.\n\n"
                 "Sollten Sie die Zahlung inzwischen geleistet haben, betrachten Sie dieses "
                 "Schreiben bitte als gegenstandslos.\n\n"
                 "Mit freundlichen Grüßen"_w,
                 500};
    stufen[2] = {"2. Mahnung",
                 "Sehr geehrte Kundin, sehr geehrter Kunde,\n\n"
                 "trotz unserer Zahlungserinnerung und unserer Mahnung sind die unten aufgeführten "
                 "Rechnungen, fällig seit {Fälligkeit}, noch immer nicht bezahlt. Wir bitten Sie "
                 "dringend, den Betrag von {Betrag} einschließlich der Mahngebühren innerhalb von "
                 "sieben Tagen zu überweisen.\n\n"
                 "Sollten Sie die Zahlung inzwischen geleistet haben, betrachten Sie dieses "
                 "Schreiben bitte als gegenstandslos.\n\n"
                 "Mit freundlichen Grüßen"_w,
                 1000};
}

const Mahntexte::Stufe& Mahntexte::Von(int stufe) const {
    return stufen[static_cast<std::size_t>(stufe < 1         ? 0
                                           : stufe > kStufen ? kStufen - 1
                                                             : stufe - 1)];
}

Mahntexte::Stufe& Mahntexte::Von(int stufe) {
    return stufen[static_cast<std::size_t>(stufe < 1         ? 0
                                           : stufe > kStufen ? kStufen - 1
                                                             : stufe - 1)];
}

Ergebnis<void> Mahntexte::Laden(const std::string& datei) {
    *this = Mahntexte();
    const Ergebnis<std::string> text = Einstellungsdatei::Lesen(datei);
    if (!text) {
        return text.Ursache();
    }
    *this = AusText(*text);
    return {};
}

Mahntexte Mahntexte::AusText(const std::string& text) {
    Mahntexte texte;
    Einstellungsdatei::Zeilen(text, [&](const std::string& schluessel, const std::string& wert) {
        if (schluessel == "TageBisNaechsteStufe") {
            const std::int32_t tage = LenientNumber::ToInt(wert);
            if (tage >= 0 && tage <= 365) {
                texte.tageBisNaechsteStufe = tage;
            }
            return;
        }
        for (int s = 1; s <= kStufen; ++s) {
            Stufe& stufe = texte.Von(s);
            if (schluessel == Schluessel("Titel", s)) {
                stufe.titel = Demaskiert(wert);
            } else if (schluessel == Schluessel("Text", s)) {
                stufe.text = Demaskiert(wert);
            } else if (schluessel == Schluessel("Gebuehr", s)) {
                // A damaged fee keeps the default rather than charging nonsense.
                const std::int64_t cent = GebuehrLesen(wert);
                if (cent >= 0) {
                    stufe.gebuehr = cent;
                }
            }
        }
    });
    return texte;
}

std::string Mahntexte::Text() const {
    std::string text;
    for (int s = 1; s <= kStufen; ++s) {
        const Stufe& stufe = Von(s);
        text += Schluessel("Titel", s) + "=" + Maskiert(stufe.titel) + "\r\n";
        text += Schluessel("Text", s) + "=" + Maskiert(stufe.text) + "\r\n";
        text += Schluessel("Gebuehr", s) + "=" + GebuehrText(stufe.gebuehr) + "\r\n";
    }
    text += "TageBisNaechsteStufe=" + std::to_string(tageBisNaechsteStufe) + "\r\n";
    return text;
}

Ergebnis<void> Mahntexte::Speichern(const std::string& datei) const {
    return File::ReplaceAtomically(datei, Text());
}

std::int64_t Mahntexte::GebuehrLesen(const std::string& eingabe) {
    std::string text;
    for (const char c : eingabe) {
        if (c != ' ') {
            text += c;
        }
    }
    if (text.empty()) {
        return -1;
    }
    // Digits with at most one decimal mark and two decimals; anything else
    // would be read by the lenient parser as some other number.
    std::size_t marke = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ',' || c == '.') {
            if (marke != std::string::npos) {
                return -1;
            }
            marke = i;
        } else if (c < '0' || c > '9') {
            return -1;
        }
    }
    const std::string ganz = text.substr(0, marke);
    const std::string bruch = marke == std::string::npos ? "" : text.substr(marke + 1);
    if ((ganz.empty() && bruch.empty()) || bruch.size() > 2 || ganz.size() > 6) {
        return -1;
    }
    std::int64_t cent = 0;
    for (const char c : ganz) {
        cent = cent * 10 + (c - '0');
    }
    cent *= 100;
    if (!bruch.empty()) {
        cent += (bruch[0] - '0') * 10 + (bruch.size() > 1 ? bruch[1] - '0' : 0);
    }
    return cent <= kHoechsteGebuehr ? cent : -1;
}

std::string Mahntexte::GebuehrText(std::int64_t cent) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld,%02lld", static_cast<long long>(cent / 100),
                  static_cast<long long>(cent % 100));
    return text;
}
