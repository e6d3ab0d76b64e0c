#include "cli/Aufruf.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

#include "cli/Bedienfehler.h"
#include "storage/CodePage.h"

namespace {

bool NurZiffern(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A word that can only be meant as an option: a dash and a letter, or two
// dashes. A negative number is a value.
bool SiehtAusWieOption(const std::string& wort) {
    return wort.size() >= 2 && wort[0] == '-' &&
           (wort[1] == '-' || std::isalpha(static_cast<unsigned char>(wort[1])) != 0);
}

}  // namespace

Aufruf::Aufruf(std::string befehl, std::vector<std::string> woerter)
    : befehl_(std::move(befehl)), woerter_(std::move(woerter)) {}

bool Aufruf::HilfeVerlangt() const {
    return std::any_of(woerter_.begin(), woerter_.end(),
                       [](const std::string& wort) { return wort == "--help" || wort == "-h"; });
}

bool Aufruf::Hat(const std::string& name) const {
    return std::any_of(woerter_.begin(), woerter_.end(), [&name](const std::string& wort) {
        return wort.compare(0, name.size(), name) == 0 &&
               (wort.size() == name.size() || wort[name.size()] == '=');
    });
}

std::optional<std::vector<std::string>> Aufruf::Option(const std::string& name, int anzahl) {
    std::optional<std::vector<std::string>> werte;
    for (std::size_t i = 0; i < woerter_.size();) {
        const std::string& wort = woerter_[i];
        const bool mitGleich = anzahl == 1 && wort.size() > name.size() &&
                               wort.compare(0, name.size(), name) == 0 && wort[name.size()] == '=';
        if (wort != name && !mitGleich) {
            ++i;
            continue;
        }
        if (werte) {
            throw Bedienfehler("Die Option " + name + " ist mehrfach angegeben.");
        }
        werte.emplace();
        std::size_t ende = i + 1;
        if (mitGleich) {
            werte->push_back(wort.substr(name.size() + 1));
        } else {
            if (woerter_.size() - ende < static_cast<std::size_t>(anzahl)) {
                throw Bedienfehler("Die Option " + name + " braucht " +
                                   (anzahl == 1 ? std::string("einen Wert.")
                                                : std::to_string(anzahl) + " Werte."));
            }
            for (int k = 0; k < anzahl; ++k) {
                werte->push_back(woerter_[ende++]);
            }
        }
        woerter_.erase(woerter_.begin() + static_cast<std::ptrdiff_t>(i),
                       woerter_.begin() + static_cast<std::ptrdiff_t>(ende));
    }
    return werte;
}

std::optional<std::string> Aufruf::Option(const std::string& name) {
    const auto werte = Option(name, 1);
    return werte ? std::optional<std::string>(werte->front()) : std::nullopt;
}

std::vector<std::string> Aufruf::Positionen(std::size_t mindestens, std::size_t hoechstens,
                                            const char* erwartet) {
    for (const std::string& wort : woerter_) {
        if (SiehtAusWieOption(wort)) {
            throw Bedienfehler("Unbekannte Option " + CodePage::Zitat(wort) + " für den Befehl "_w +
                               befehl_ + ".");
        }
    }
    if (woerter_.size() < mindestens) {
        throw Bedienfehler(CodePage::Utf8ToCp1252(erwartet) + " fehlt.");
    }
    if (woerter_.size() > hoechstens) {
        throw Bedienfehler("Überzähliges Argument "_w + CodePage::Zitat(woerter_[hoechstens]) +
                           ".");
    }
    return woerter_;
}

Datum Aufruf::DatumLesen(const std::string& text) {
    int teile[3] = {0, 0, 0};
    std::size_t laengen[3] = {0, 0, 0};
    std::size_t teil = 0;
    bool gut = !text.empty();
    for (char c : text) {
        if (c == '.' && teil < 2) {
            ++teil;
        } else if (c >= '0' && c <= '9' && laengen[teil] < 4) {
            teile[teil] = teile[teil] * 10 + (c - '0');
            ++laengen[teil];
        } else {
            gut = false;
            break;
        }
    }
    gut = gut && teil == 2 && laengen[0] >= 1 && laengen[0] <= 2 && laengen[1] >= 1 &&
          laengen[1] <= 2 && laengen[2] == 4 && teile[2] >= 1000;
    const Datum datum = gut ? Datum(teile[0], teile[1], teile[2]) : Datum();
    if (!datum.IsValid()) {
        throw Bedienfehler("Ungültiges Datum "_w + CodePage::Zitat(text) +
                           " (erwartet T.M.JJJJ, zum Beispiel 24.12.2025)."_w);
    }
    return datum;
}

std::int64_t Aufruf::ZahlLesen(const std::string& text, std::int64_t kleinste,
                               std::int64_t groesste, const char* was) {
    const bool negativ = !text.empty() && text[0] == '-';
    const std::string ziffern = negativ ? text.substr(1) : text;
    std::int64_t wert = 0;
    bool gut = NurZiffern(ziffern) && ziffern.size() <= 18;
    if (gut) {
        std::from_chars(ziffern.data(), ziffern.data() + ziffern.size(), wert);
        wert = negativ ? -wert : wert;
    }
    if (!gut) {
        throw Bedienfehler(CodePage::Utf8ToCp1252(was) + " " + CodePage::Zitat(text) +
                           " ist keine Zahl.");
    }
    if (wert < kleinste || wert > groesste) {
        throw Bedienfehler(CodePage::Utf8ToCp1252(was) + " muss zwischen " +
                           std::to_string(kleinste) + " und " + std::to_string(groesste) +
                           " liegen, nicht " + CodePage::Zitat(text) + ".");
    }
    return wert;
}

double Aufruf::BetragLesen(const std::string& text, const char* was) {
    std::string zahl = text;
    const std::size_t komma = zahl.find_first_of(".,");
    bool gut = false;
    if (komma == std::string::npos) {
        gut = NurZiffern(zahl);
    } else {
        zahl[komma] = '.';
        gut = NurZiffern(zahl.substr(0, komma)) && NurZiffern(zahl.substr(komma + 1));
    }
    double wert = 0.0;
    gut = gut && zahl.size() <= 24 &&
          std::from_chars(zahl.data(), zahl.data() + zahl.size(), wert).ec == std::errc();
    if (!gut) {
        throw Bedienfehler(CodePage::Utf8ToCp1252(was) + " " + CodePage::Zitat(text) +
                           " ist kein Betrag (erwartet zum Beispiel 12.50).");
    }
    return wert;
}
