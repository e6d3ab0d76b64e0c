#pragma once

#include <stdexcept>
#include <string>

// How a data set is opened: for the window and the writing commands, or for
// reading only. Read-only work (the command-line exports, searches and the
// check) runs on the user's directory itself, beside a window that may be
// writing it; so in that mode nothing creates, repairs, rewrites, flushes or
// stores a file, and nothing removes one.
enum class Zugriff { Schreiben, NurLesen };

// Raised when something tries to write a data set opened for reading only.
// That is a fault of the program, never of the user's data, so it is no
// MessageException: nothing catches it on the way as a mere failure.
class Schreibverbot : public std::logic_error {
  public:
    explicit Schreibverbot(const std::string& was)
        : std::logic_error("Schreibzugriff auf einen nur zum Lesen geöffneten Datenbestand: " +
                           was) {}

    // Raises the exception when the access is read-only; names the file and
    // the operation that tried to write it.
    static void Pruefen(Zugriff zugriff, const std::string& datei, const char* operation) {
        if (zugriff == Zugriff::NurLesen) {
            throw Schreibverbot(datei + " (" + operation + ")");
        }
    }
};
