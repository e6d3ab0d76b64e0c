#pragma once

#include <string>

#include "storage/Fehler.h"

// Where backups go and how many stay ("daten/sicherung.txt"): one
// "Schluessel=Wert" line each in Windows-1252 with CR LF, like the seller
// data, replaced atomically as a whole. They belong to the business, not to
// the machine, so they travel with the data folder and its backups.
class Sicherungseinstellungen {
  public:
    // The home folder of whoever runs the program; a "~" at the start of the
    // folder stands for it, so that the default fits every user.
    static constexpr const char* kStandardOrdner = "~/Rebkontor-Sicherungen";
    static constexpr int kStandardBehalten = 20;
    static constexpr int kHoechstensBehalten = 999;
    // At most one automatic backup in this many seconds.
    static constexpr int kAbstand = 3600;

    // The folder as the user typed it (Windows-1252).
    std::string ordner = kStandardOrdner;
    // Whether the end of the program takes a backup.
    bool automatisch = true;
    // How many of the newest backups stay in the folder, 1 to 999.
    int behalten = kStandardBehalten;

    // A missing file gives the defaults, and so does a value that cannot be
    // right (the others are kept). Fails (with the defaults) when the file
    // exists but cannot be read or is no regular file.
    Ergebnis<void> Laden(const std::string& datei);
    Ergebnis<void> Speichern(const std::string& datei) const;
    std::string Text() const;
    static Sicherungseinstellungen AusText(const std::string& text);

    // The folder as a path of the file system (UTF-8), "~" replaced.
    std::string Pfad() const;
    // The home folder; "/" when there is none.
    static std::string Heimordner();
    // A path as the folder field shows it: the home folder as "~", in
    // Windows-1252 (the caller checks that it can be held).
    static std::string Kurzform(const std::string& pfad);
};
