#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text files that hold a list of names, one per line, where a name's line
// number is the index the records store: customer groups and price lists.
// Names are separated by CR LF and the file does not end with one; a file
// edited by hand may use LF alone and may end with a line end.
class NamensDatei {
  public:
    struct Inhalt {
        std::vector<std::string> namen;
        // Whether the last name is followed by a line end.
        bool zeilenendeAmSchluss = false;
    };

    // Every line is a name, also an empty line between two others (later
    // indices must not move); a line end at the very end starts no name.
    static Inhalt Lesen(std::string_view bytes);

    // Appends a name, with a line end before it unless the file is empty or
    // already ends with one, so that it reads back at the same index. The
    // file is replaced as a whole, so a crash leaves the old or the new list.
    // When the file cannot be read or written, raises "Die <was> konnte
    // nicht in die Datei <pfad> eingetragen werden (<Grund>)."; refuses a
    // name with a line break, which would move the indices of later names.
    static void Anhaengen(const std::string& pfad, std::string_view name, const char* was);
};
