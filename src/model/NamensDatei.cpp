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

void NamensDatei::Anhaengen(const std::string& pfad, std::string_view name, const char* was) {
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        throw MessageException("Ein Name darf keinen Zeilenumbruch enthalten."_w);
    }
    auto fehlschlag = [&](const Fehler& fehler) {
        return MessageException(std::string("Die ") + was + " konnte nicht in die Datei " +
                                CodePage::Utf8ToCp1252(pfad) + " eingetragen werden (" +
                                fehler.Grund() + ").");
    };
    Ergebnis<std::string> bytes = File::ReadIfExists(pfad);
    if (!bytes) {
        throw fehlschlag(bytes.Ursache());
    }
    // A file edited by hand may already end with a line end; a second one
    // would read back as an empty name and move the new name's index.
    if (!bytes->empty() && bytes->back() != '\n') {
        *bytes += "\r\n";
    }
    bytes->append(name);
    if (const Ergebnis<void> ersetzt = File::ReplaceAtomically(pfad, *bytes); !ersetzt) {
        throw fehlschlag(ersetzt.Ursache());
    }
}
