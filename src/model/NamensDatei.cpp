#include "model/NamensDatei.h"

#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/MessageException.h"

NamensDatei::Inhalt NamensDatei::Lesen(std::string_view bytes) {
    Inhalt inhalt;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t ende = bytes.find('\n', start);
        std::size_t naechste = ende + 1;
        if (ende == std::string_view::npos) {
            ende = bytes.size();
            naechste = ende;
        } else if (ende > start && bytes[ende - 1] == '\r') {
            --ende;
        }
        inhalt.namen.emplace_back(bytes.substr(start, ende - start));
        start = naechste;
    }
    inhalt.zeilenendeAmSchluss = !bytes.empty() && bytes.back() == '\n';
    return inhalt;
}

void NamensDatei::Anhaengen(const std::string& pfad, std::string_view name,
                            const std::string& fehlertext) {
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        throw MessageException("Ein Name darf keinen Zeilenumbruch enthalten."_w);
    }
    std::string bytes;
    if (!File::ReadFile(pfad, bytes) && File::Exists(pfad)) {
        throw MessageException(fehlertext);
    }
    // A file edited by hand may already end with a line end; a second one
    // would read back as an empty name and move the new name's index.
    if (!bytes.empty() && bytes.back() != '\n') {
        bytes += "\r\n";
    }
    bytes.append(name);
    if (!File::ReplaceAtomically(pfad, bytes)) {
        throw MessageException(fehlertext);
    }
}
