#pragma once

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
    // Raises a MessageException (Windows-1252) for the first file that exists
    // and is not a regular file. Returns one notice per record file that ends
    // in part of a record; with `sichern` the copy is made first (and the
    // notice names it), without it nothing is written.
    static std::vector<std::string> Pruefen(const std::string& verzeichnis, bool sichern);

    // Whether the name is that of one of the files a data folder holds.
    static bool IstDatendatei(const std::string& name);

    // The copy of an incomplete file: "<datei>.unvollstaendig".
    static constexpr const char* kKopieEndung = ".unvollstaendig";
};
