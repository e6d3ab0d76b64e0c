#pragma once

#include <string>
#include <vector>

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

    // The name the user chose, with an extension added when it has none:
    // that of the chosen filter's first pattern when it names one ("*.xls"),
    // else defaultExt (when not empty). filterIndex is 1-based.
    static std::string CompleteName(const std::string& name, const std::vector<Entry>& filters,
                                    int filterIndex, const std::string& defaultExt);

    // Whether a preset name is a wildcard pattern rather than a name.
    static bool IsPattern(const std::string& name);
};
