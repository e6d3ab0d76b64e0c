#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a backup holds, as its file "MANIFEST.txt" says: every data file
// with its size and SHA-256, the version of the program that wrote it, the
// moment, and how many customers, wines and invoices it holds. Text lines in
// Windows-1252 with CR LF, "Schluessel=Wert" as in the program's other text
// files, so that it reads in any editor and every sum can be checked with
// sha256sum:
//
//   Rebkontor-Datensicherung
//   Format=1
//   Programmversion=1.0.0
//   Zeitpunkt=2026-12-07T17:00:00+01:00
//   Kunden=250
//   Weine=60
//   Rechnungen=2488
//   Dateien=2
//   Datei=132000 9f86d081...0a08 daten/kunden.dat
//   Datei=8940 2c26b46b...e7ae daten/weinliste.dat
class Sicherungsinhalt {
  public:
    static constexpr const char* kName = "MANIFEST.txt";
    // The folder of the data files inside the archive.
    static constexpr const char* kOrdner = "daten/";
    static constexpr int kFormat = 1;
    // A manifest is a few lines per file; anything much longer is no manifest.
    static constexpr std::size_t kHoechstensBytes = 64 * 1024;

    struct Datei {
        // Without the folder ("kunden.dat").
        std::string name;
        std::int64_t groesse = 0;
        std::string sha256;
    };

    int format = kFormat;
    std::string programmversion;
    // Seconds since 1970; written as local time with its offset.
    std::int64_t zeitpunkt = 0;
    std::int64_t kunden = 0;
    std::int64_t weine = 0;
    std::int64_t rechnungen = 0;
    std::vector<Datei> dateien;

    std::string Text() const;
    // Reads a manifest; every way in which it is no sound one is one German
    // line in `probleme` (Windows-1252). Only the program's own data files
    // may be named, each once.
    static Sicherungsinhalt Lesen(std::string_view text, std::vector<std::string>& probleme);

    const Datei* Finde(const std::string& name) const;
    // The bytes of all data files together.
    std::int64_t Bytes() const;

    // "Rebkontor 1.0.0" (control characters of the archive made harmless),
    // or empty when the manifest names no version.
    std::string Programmtext() const;
    // "vom 7.12.2026, 17:00:00 Uhr"
    std::string Datumstext() const;
    // "250 Kunden, 60 Weine, 2488 Rechnungen"
    std::string Mengentext() const;
    // "31 Dateien, 1,3 MB"
    std::string Dateientext() const;

    // The moment as the manifest writes it, and back; false when the text
    // is no such moment.
    static std::string Zeittext(std::int64_t zeitpunkt);
    static bool ZeitLesen(std::string_view text, std::int64_t& zeitpunkt);
    // "1,3 MB", "740 KB", "12 Bytes"
    static std::string Groesse(std::int64_t bytes);
};
