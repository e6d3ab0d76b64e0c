#pragma once

#include <string>
#include <string_view>

#include "storage/File.h"

// Where an export may go. The exports of the window and of the command-line
// tool (bottle list, address file, price lists, invoice PDFs) all ask here
// before they write, so that a mistyped or unlucky name can never replace a
// data file, and never replace something that is no file of its own (a
// symbolic link, a FIFO, a device, a directory).
class Ausgabeziel {
  public:
    static constexpr const char* kDaten = "daten";
    // The name that stands for the standard output where a command offers it.
    static constexpr const char* kStandardausgabe = "-";

    // Why the file must not be written, as a German sentence in
    // Windows-1252; empty when it may. Refused are a name inside the data
    // directory (the names resolved, links too, also a second name of one of
    // its files), a name in any other folder that holds a Rebkontor data set
    // (its lock file or one of its record files: another business's data,
    // wherever it lies), and an existing entry that is no regular file. A
    // directory that does not exist is no reason here; the write then fails
    // on its own.
    static std::string Hindernis(const std::string& pfad, const std::string& daten = kDaten);

    // Replaces the file's contents atomically through a temporary file of
    // its own beside it (File::Temp::Unique); fails when Hindernis has an
    // objection (as not permitted) or the file could not be written. A
    // failure leaves the old file as it was.
    static Ergebnis<void> Ersetzen(const std::string& pfad, std::string_view bytes,
                                   const std::string& daten = kDaten);
};
