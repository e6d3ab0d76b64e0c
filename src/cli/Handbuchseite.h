#pragma once

#include <string>
#include <vector>

// A manual page (man(7), German) made from a program's --help texts, so
// that the page and the help never disagree. The help texts keep a few
// simple forms, which become their roff counterparts:
//   "Aufruf: PROGRAMM ..." (with indented further lines)  the synopsis
//   unindented lines                                       a paragraph
//   "  TERM  text" with further lines indented deeper      a tagged list
//   "  - text"                                             a bullet list
//   anything else indented                                 kept as it is
class Handbuchseite {
  public:
    // One subsection: a command with its own help.
    struct Unterabschnitt {
        std::string titel;
        std::string hilfe;
    };

    Handbuchseite(std::string programm, std::string kurz, std::string version, std::string datum);

    // The program's help: its "Aufruf:" lines are the synopsis, the rest
    // the description.
    void SetHilfe(const std::string& hilfe) { hilfe_ = hilfe; }
    // A section of subsections after the description ("BEFEHLE").
    void SetUnterabschnitte(std::string titel, std::vector<Unterabschnitt> abschnitte) {
        unterTitel_ = std::move(titel);
        unter_ = std::move(abschnitte);
    }
    // The programs of "SIEHE AUCH", as "name(1)".
    void SetSieheAuch(std::vector<std::string> verweise) { siehe_ = std::move(verweise); }

    // The page in UTF-8.
    std::string Roff() const;

    // A line of text with the characters roff would take for its own
    // escaped.
    static std::string Maskiert(const std::string& text);

  private:
    std::string programm_;
    std::string kurz_;
    std::string version_;
    std::string datum_;
    std::string hilfe_;
    std::string unterTitel_;
    std::vector<Unterabschnitt> unter_;
    std::vector<std::string> siehe_;
};
