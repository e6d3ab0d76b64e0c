#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The files of a data folder, looked at before any manager opens them.
//
// A data file (and the letterhead beside the folder) must be a regular file.
// A symbolic link would take in-place writes to a file outside the folder, a
// whole-file rewrite would silently replace the link with a local file, and a
// pipe or device would hang the start; so anything else stops the start (and
// every command-line command) with a German message naming the file. The
// folder itself may be a link.
//
// A record file whose length is no whole number of records ends in part of
// a record, which the next rewrite would fill up with defaults. The start
// tells the user which file it is and first keeps a copy of the file as it
// was beside it ("kunden.dat.unvollstaendig").
class DatenDateien {
  public:
    // One of the program's own files in a data folder.
    struct Datei {
        std::string name;
        // Record size, or 0 for the text files and the settings.
        std::size_t satz;
    };
    // Every file the program keeps in a data folder, and nothing else (not
    // the lock, temporary files or the copies of incomplete files): what a
    // backup holds and a restore replaces. A new data file is one entry here.
    static const std::vector<Datei>& Liste();
    // The entry of that name, or null when it is none of the program's files.
    static const Datei* Finde(const std::string& name);

    // Raises a MessageException (Windows-1252) for the first file that exists
    // and is not a regular file. Returns one notice per record file that ends
    // in part of a record; with `sichern` the copy is made first (and the
    // notice names it), without it nothing is written.
    static std::vector<std::string> Pruefen(const std::string& verzeichnis, bool sichern);

    // Whether the name is that of one of the files a data folder holds.
    static bool IstDatendatei(const std::string& name);
    // Where to back up to and how often ("Schluessel=Wert" lines, like the
    // seller data); read and written by the backup.
    static constexpr const char* kSicherungseinstellungen = "sicherung.txt";

    // The copy of an incomplete file: "<datei>.unvollstaendig".
    static constexpr const char* kKopieEndung = ".unvollstaendig";
};
