#include "storage/Customizer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"

namespace {

constexpr float kStandardMwst = Einstellungssatz::kStandardMwst;
constexpr std::int32_t kStandardVordatierung = Einstellungssatz::kStandardVordatierung;
constexpr const char* kStandardWaehrung = "DM";

bool IstSteuerzeichen(char c) {
    auto b = static_cast<unsigned char>(c);
    return (b != 0 && b < 0x20) || b == 0x7F;
}

template <std::size_t N>
bool HatSteuerzeichen(const char (&field)[N]) {
    const std::string text = FixedText::Get(field);
    return std::any_of(text.begin(), text.end(), IstSteuerzeichen);
}

std::string Zahl(const char* format, double wert) {
    char text[400];
    std::snprintf(text, sizeof text, format, wert);
    return text;
}

// Which of the checked values cannot be right, and a line for each.
struct Befund {
    bool mwst = false;
    bool waehrung = false;
    bool vordatierung = false;
    bool bemerkung = false;
    std::vector<std::string> zeilen;
};

Befund Pruefen(const Einstellungssatz& satz) {
    const float mwst = satz.mwst;
    const std::int32_t vordatierung = satz.vordatierungTage;
    Befund b;
    // Written so that a NaN fails as well.
    if (!(mwst >= 0.0f && mwst <= 100.0f)) {
        b.mwst = true;
        b.zeilen.push_back("Mehrwertsteuer " + Zahl("%0.2f", static_cast<double>(mwst)) +
                           " % liegt nicht zwischen 0 und 100 % (Voreinstellung " +
                           Zahl("%0.2f", static_cast<double>(kStandardMwst)) + " %).");
    }
    if (HatSteuerzeichen(satz.waehrung)) {
        b.waehrung = true;
        b.zeilen.push_back("Das Währungskürzel enthält Steuerzeichen (Voreinstellung \""_w +
                           kStandardWaehrung + "\").");
    }
    if (vordatierung < 0 || vordatierung > 1000) {
        b.vordatierung = true;
        b.zeilen.push_back("Vordatierung max. Tage " + std::to_string(vordatierung) +
                           " liegt nicht zwischen 0 und 1000 (Voreinstellung " +
                           std::to_string(kStandardVordatierung) + ").");
    }
    if (HatSteuerzeichen(satz.bemerkung)) {
        b.bemerkung = true;
        b.zeilen.push_back("Die Rechnung-Bemerkung enthält Steuerzeichen (Voreinstellung \""_w +
                           Customizer::kStandardBemerkung + "\").");
    }
    return b;
}

}  // namespace

Customizer::Customizer(const std::string& fileName, Zugriff zugriff) : zugriff_(zugriff) {
    auto today = static_cast<std::int32_t>(Datum::Heute().Julian());
    filterVon1 = filterBis1 = filterVon2 = filterBis2 = today;
    FixedText::Set(dateiName, fileName);
    if (zugriff_ == Zugriff::Schreiben) {
        File::RemoveStaleTemp(FixedText::Get(dateiName));
    }
    Load();
}

Customizer::~Customizer() {
    // Settings that did not change keep their file and its modification
    // time; a failure is as silent as that of Store.
    if (zugriff_ == Zugriff::Schreiben) {
        (void)File::ReplaceIfChanged(FixedText::Get(dateiName), Image());
    }
}

void Customizer::SetDefaults() {
    auto today = static_cast<std::int32_t>(Datum::Heute().Julian());
    static_cast<Einstellungssatz&>(*this) = Einstellungssatz{};
    SetWaehrung(kStandardWaehrung);
    filterVon1 = filterVon2 = today - 21;
    filterBis1 = filterBis2 = today;
    FixedText::Set(bemerkung, kStandardBemerkung);
}

void Customizer::Load() {
    // Fields a short file does not reach keep their defaults.
    SetDefaults();
    // Only a missing file gives the defaults; one that cannot be read stops
    // the start, before the defaults could be written over it.
    const Ergebnis<std::string> bytes = File::ReadIfExists(FixedText::Get(dateiName));
    if (!bytes) {
        throw MessageException(Oeffnungsfehler(bytes.Ursache()));
    }
    if (bytes->empty()) {
        return;
    }
    SatzLesen(*bytes, static_cast<Einstellungssatz&>(*this));
    // The remark must end inside its field, whatever the file held.
    bemerkung[sizeof bemerkung - 1] = '\0';
    Berichtigen();
}

void Customizer::Berichtigen() {
    Befund b = Pruefen(*this);
    if (b.mwst) {
        mwst = kStandardMwst;
    }
    if (b.waehrung) {
        std::memset(waehrung, 0, sizeof waehrung);
        SetWaehrung(kStandardWaehrung);
    }
    if (b.vordatierung) {
        vordatierungTage = kStandardVordatierung;
    }
    if (b.bemerkung) {
        std::memset(bemerkung, 0, sizeof bemerkung);
        FixedText::Set(bemerkung, kStandardBemerkung);
    }
    zurueckgesetzt_ = std::move(b.zeilen);
}

std::vector<std::string> Customizer::Unstimmigkeiten(std::string_view image) {
    // Fields the image does not reach keep values that pass, as Load keeps
    // its defaults for them.
    Einstellungssatz satz;
    SatzLesen(image, satz);
    satz.bemerkung[sizeof satz.bemerkung - 1] = '\0';
    return Pruefen(satz).zeilen;
}

std::string Customizer::Image() const {
    return Satzbild(static_cast<const Einstellungssatz&>(*this));
}

Ergebnis<void> Customizer::Store() {
    Schreibverbot::Pruefen(zugriff_, FixedText::Get(dateiName), "Customizer::Store");
    return File::ReplaceAtomically(FixedText::Get(dateiName), Image());
}

std::string Customizer::Waehrung() const {
    return FixedText::Get(waehrung);
}

void Customizer::SetWaehrung(std::string_view text) {
    std::size_t n = text.size() < sizeof waehrung ? text.size() : sizeof waehrung;
    for (std::size_t i = 0; i < n; ++i) {
        waehrung[i] = IstSteuerzeichen(text[i]) ? ' ' : text[i];
    }
    if (n < sizeof waehrung) {
        waehrung[n] = '\0';
    }
}

std::string Customizer::Bemerkung() const {
    return FixedText::Get(bemerkung);
}

void Customizer::SetBemerkung(std::string_view text) {
    std::string ohneSteuerzeichen(text);
    for (char& c : ohneSteuerzeichen) {
        if (IstSteuerzeichen(c)) {
            c = ' ';
        }
    }
    FixedText::Set(bemerkung, ohneSteuerzeichen);
}
