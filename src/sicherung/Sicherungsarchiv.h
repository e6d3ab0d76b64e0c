#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sicherung/Sicherungsinhalt.h"

class File;

// The ZIP file of a backup: the program's files of a data folder under
// "daten/" and the manifest "MANIFEST.txt" (Sicherungsinhalt), written and
// read with libarchive, every byte through the storage layer's File, so that
// a failing or full disk is met as everywhere else.
//
// Reading trusts nothing in the archive. Before a single byte of data is
// unpacked, the whole list of members is checked: only regular files, only
// "MANIFEST.txt" and the program's own data files below "daten/" (no other
// name, no absolute path, no "..", no link), each once, each named by the
// manifest with its size, record files a whole number of records, and not
// more than kHoechstens bytes unpacked. Then every member's bytes are
// counted (never more than the manifest says) and summed with SHA-256.
class Sicherungsarchiv {
  public:
    // The most a backup may unpack to. A grower's two decades are some ten
    // megabytes; an archive that claims gigabytes is refused unread.
    static constexpr std::int64_t kHoechstens = 1LL << 30;

    // Writes the backup of the program's files in `verzeichnis` into `ziel`
    // (open and empty), with the moment `jetzt` (seconds since 1970), and
    // returns its manifest. The caller holds the folder's lock. Raises a
    // MessageException with a German text naming the file that could not be
    // read or written, and its cause.
    static Sicherungsinhalt Schreiben(const std::string& verzeichnis, File& ziel,
                                      std::int64_t jetzt);

    struct Bericht {
        // The manifest, once it could be read.
        std::optional<Sicherungsinhalt> inhalt;
        // Every problem found, German (Windows-1252); empty for a sound archive.
        std::vector<std::string> probleme;
        bool Gut() const { return inhalt.has_value() && probleme.empty(); }
    };

    // Reads and checks the archive. With `auspacken` (an existing, empty
    // folder), every data file is written there and synced as it is read;
    // what was written stays even when a problem was found (the caller
    // removes the folder).
    static Bericht Pruefen(const std::string& archiv, const std::string& auspacken = "");
};
