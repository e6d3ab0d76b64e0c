#include "storage/Customizer.h"

#include <cstring>

#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"
#include "storage/Datum.h"
#include "storage/File.h"
#include "storage/FixedText.h"

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
    if (zugriff_ == Zugriff::Schreiben) {
        Store();
    }
}

void Customizer::SetDefaults() {
    auto today = static_cast<std::int32_t>(Datum::Heute().Julian());
    mwst = 16.0f;
    std::memset(waehrung, 0, sizeof waehrung);
    SetWaehrung("DM");
    mwstEnthalten = 0;
    preiseInEuro = 0;
    filterVon1 = filterVon2 = today - 21;
    filterBis1 = filterBis2 = today;
    vordatierungTage = 31;
    std::memset(bemerkung, 0, sizeof bemerkung);
    FixedText::Set(bemerkung, kStandardBemerkung);
}

void Customizer::Load() {
    // Fields a short file does not reach keep their defaults.
    SetDefaults();
    std::string bytes;
    if (!File::ReadFile(FixedText::Get(dateiName), bytes)) {
        return;
    }
    ByteReader reader(bytes);
    reader.Float32(mwst);
    reader.Text(waehrung);
    reader.UInt8(mwstEnthalten);
    reader.UInt8(preiseInEuro);
    reader.Int32(filterVon1);
    reader.Int32(filterBis1);
    reader.Int32(filterVon2);
    reader.Int32(filterBis2);
    reader.Int32(vordatierungTage);
    reader.Text(bemerkung);
    // The remark must end inside its field, whatever the file held.
    bemerkung[sizeof bemerkung - 1] = '\0';
}

std::string Customizer::Image() const {
    std::string bytes;
    ByteWriter writer(bytes);
    writer.Float32(mwst);
    writer.Text(waehrung);
    writer.UInt8(mwstEnthalten);
    writer.UInt8(preiseInEuro);
    writer.Int32(filterVon1);
    writer.Int32(filterBis1);
    writer.Int32(filterVon2);
    writer.Int32(filterBis2);
    writer.Int32(vordatierungTage);
    writer.Text(bemerkung);
    return bytes;
}

void Customizer::Store() {
    Schreibverbot::Pruefen(zugriff_, FixedText::Get(dateiName), "Customizer::Store");
    File::ReplaceAtomically(FixedText::Get(dateiName), Image());
}

std::string Customizer::Waehrung() const {
    return FixedText::Get(waehrung);
}

void Customizer::SetWaehrung(std::string_view text) {
    std::size_t n = text.size() < sizeof waehrung ? text.size() : sizeof waehrung;
    std::memcpy(waehrung, text.data(), n);
    if (n < sizeof waehrung) {
        waehrung[n] = '\0';
    }
}

std::string Customizer::Bemerkung() const {
    return FixedText::Get(bemerkung);
}

void Customizer::SetBemerkung(std::string_view text) {
    FixedText::Set(bemerkung, text);
}
