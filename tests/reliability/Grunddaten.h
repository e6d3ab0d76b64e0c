#pragma once

#include <string>

// A small, complete data set to run write operations on: customers with
// invoices, wines with stock, two price lists, groups, notes, settings and a
// log book, and beside it the old version's files and a "kunden.csv" for the
// imports. It is made once per process (with the clock fixed) in a template
// directory and copied for every run, so that every run starts from the same
// bytes.
class Grunddaten {
  public:
    // Copies the template into `arbeitsverzeichnis`: its daten/ and
    // daten_alt/ folders and kunden.csv.
    static void Kopieren(const std::string& arbeitsverzeichnis);

  private:
    static const std::string& Vorlage();
    static void Erzeugen(const std::string& verzeichnis);
};
