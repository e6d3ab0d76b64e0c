#pragma once

#include <string>
#include <vector>

#include "windowing/WindowingTypes.h"

// The filter list of a save-file dialog in the program's form
// "Textdatei (*.TXT)|*.txt|Excel Tabelle (*.XLS)|*.xls|", and what the chosen
// name becomes.
class FileFilter {
  public:
    struct Entry {
        std::string description;            // as given, trimmed
        std::vector<std::string> patterns;  // "*.txt"; never empty
    };

    // A description without its pattern part takes the patterns named in its
    // own parentheses ("Textdatei (*.TXT)|" gives *.TXT), or "*". "*.*" means
    // every file, as it did where the form comes from, and becomes "*".
    static std::vector<Entry> Parse(const std::string& filter);

    // The description without a trailing "(...)" part.
    static std::string BareDescription(const std::string& description);

    // What the name the user chose becomes, and in which filter's format it
    // is written (filterIndex is 1-based). An extension the user typed that
    // one of the filters offers ("fl.XLS" and "*.xls") decides the format and
    // stays. Any other name gets the chosen filter's extension added, even
    // after an extension of its own ("fl.dez" becomes "fl.dez.txt"); a
    // filter that names no extension ("*") leaves a name with an extension
    // as it is and gives one without defaultExt (when not empty).
    static SaveFileResult Complete(const std::string& name, const std::vector<Entry>& filters,
                                   int filterIndex, const std::string& defaultExt);

    // Whether a preset name is a wildcard pattern rather than a name.
    static bool IsPattern(const std::string& name);
};
