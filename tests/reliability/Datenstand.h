#pragma once

#include <string>
#include <vector>

class Datenbestand;

// What a loaded data set holds, as text, and what is wrong with it. The text
// names every record of every manager with the fields that matter, so that
// two states compare line by line: what memory held before an orderly exit
// with what the next start reads, for example.
class Datenstand {
  public:
    // The customers must have been read and the notes opened.
    explicit Datenstand(Datenbestand& bestand);

    const std::vector<std::string>& Zeilen() const { return zeilen_; }
    std::string Text() const;

    // Broken links and duplicates: customer chains that leave the file, pass
    // invoices of another customer or do not descend; item chains alike;
    // duplicate customer or wine numbers, duplicate prices of one wine in a
    // list. Items of invoices never stored, and items of a stored invoice
    // its chain does not reach, are listed as "verwaist" and left to the
    // caller to judge.
    const std::vector<std::string>& Probleme() const { return probleme_; }
    std::vector<std::string> ProblemeAusser(const std::string& art) const;

  private:
    void Beschreiben(Datenbestand& bestand);
    void Pruefen(Datenbestand& bestand);

    std::vector<std::string> zeilen_;
    std::vector<std::string> probleme_;
};
