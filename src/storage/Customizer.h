#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Fehler.h"
#include "storage/Feldtabelle.h"
#include "storage/Zugriff.h"

// The stored settings, in file order: the image of "daten/preferences.dat".
// The initial values are those a check takes for fields a short file does
// not reach.
struct Einstellungssatz {
    static constexpr std::size_t DiskSize = 336;
    static constexpr float kStandardMwst = 16.0f;
    static constexpr std::int32_t kStandardVordatierung = 31;

    float mwst = kStandardMwst;
    char waehrung[8] = {};
    std::uint8_t mwstEnthalten = 0;
    std::uint8_t preiseInEuro = 0;
    std::int32_t filterVon1 = 0;
    std::int32_t filterBis1 = 0;
    std::int32_t filterVon2 = 0;
    std::int32_t filterBis2 = 0;
    std::int32_t vordatierungTage = kStandardVordatierung;
    char bemerkung[302] = {};

    static constexpr auto kFelder =
        Feldtabelle("Grundeinstellungen", Satzfeld("mwst", &Einstellungssatz::mwst),
                    Satzfeld("waehrung", &Einstellungssatz::waehrung),
                    Satzfeld("mwstEnthalten", &Einstellungssatz::mwstEnthalten),
                    Satzfeld("preiseInEuro", &Einstellungssatz::preiseInEuro),
                    Satzfeld("filterVon1", &Einstellungssatz::filterVon1),
                    Satzfeld("filterBis1", &Einstellungssatz::filterBis1),
                    Satzfeld("filterVon2", &Einstellungssatz::filterVon2),
                    Satzfeld("filterBis2", &Einstellungssatz::filterBis2),
                    Satzfeld("vordatierungTage", &Einstellungssatz::vordatierungTage),
                    Satzfeld("bemerkung", &Einstellungssatz::bemerkung));
};

// The program-wide settings ("Grundeinstellungen"), one record of 336 bytes in
// "daten/preferences.dat". Callers read and write the fields directly and call
// Store to make a change durable.
class Customizer : public Einstellungssatz {
  public:
    static constexpr std::size_t kDiskSize = DiskSize;
    static constexpr const char* kStandardBemerkung =
        "Ich sandte Ihnen zu umseitigen Bedingungen auf Ihre Rechnung und Gefahr durch:";

    // Read-only, the settings are read and never stored: Store raises
    // Schreibverbot, and the destructor stores nothing.
    explicit Customizer(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);
    ~Customizer();

    Customizer(const Customizer&) = delete;
    Customizer& operator=(const Customizer&) = delete;

    // Reads the file; a missing or short file gives the defaults, one that
    // cannot be read raises the open error naming it. Values that no dialog
    // stores (a damaged file) are set back to their defaults.
    void Load();
    // Replaces the file atomically; when it could not be written, the old
    // file stays as it was.
    Ergebnis<void> Store();

    // One German line (Windows-1252) for every value of a settings file
    // image that cannot be right: a VAT rate outside 0 to 100, a pre-dating
    // limit outside 0 to 1000, a currency or remark with control characters.
    // The image is only looked at.
    static std::vector<std::string> Unstimmigkeiten(std::string_view image);
    // The values the last Load set back to their defaults, one line each as
    // above; empty when the file was sound.
    const std::vector<std::string>& Zurueckgesetzt() const { return zurueckgesetzt_; }

    // The currency field holds up to 8 characters and needs no terminator when
    // it is full, so it is only ever read through these two. Control
    // characters become blanks, so that what is stored is read back as it is.
    std::string Waehrung() const;
    void SetWaehrung(std::string_view text);

    std::string Bemerkung() const;
    void SetBemerkung(std::string_view text);

    // The file image, field by field.
    std::string Image() const;

    char dateiName[256] = {};
    // Which of the two filter periods apply; not stored, every start begins
    // with the capture period off and the dating period on.
    std::uint8_t filterMit1 = 0;
    std::uint8_t filterMit2 = 1;

  private:
    void SetDefaults();

    Zugriff zugriff_;
    void Berichtigen();

    std::vector<std::string> zurueckgesetzt_;
};
