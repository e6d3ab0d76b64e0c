#pragma once

#include <memory>
#include <string>

#include "model/Datenbestand.h"
#include "model/Verwaltungen.h"

// The data set of a directory, opened for reading only where it lies (see
// Zugriff::NurLesen): no manager creates, repairs or writes anything, so the
// directory stays byte for byte as it was, also beside a running window, and
// an interrupted command leaves nothing behind.
class Lesebestand {
  public:
    // The data files the managers read; the price lists "<k>.wl" come on top.
    static constexpr const char* kDateien[] = {
        "weinliste.dat",  "weinlisten.txt", "rechnungsposten.dat",
        "rechnungen.dat", "geogruppe.txt",  "preferences.dat",
        "kunden.dat",     "mahnungen.dat",  "mahnwesen.txt"};

    // Opens, customers included. Raises a MessageException with a German
    // text when `verzeichnis` is no directory or one of its data files is
    // no regular file or cannot be opened; a missing file is simply empty.
    explicit Lesebestand(const std::string& verzeichnis);

    Lesebestand(const Lesebestand&) = delete;
    Lesebestand& operator=(const Lesebestand&) = delete;

    Verwaltungen& V() { return bestand_->GetVerwaltungen(); }
    Datenbestand& Bestand() { return *bestand_; }

    // Raises the German message of a missing data directory when
    // `verzeichnis` is not a directory.
    static void VerzeichnisPruefen(const std::string& verzeichnis);

  private:
    // A FIFO or device named like a data file would hang or mislead the
    // reading; anything but a regular file that can be opened is refused.
    static void DateiPruefen(const std::string& pfad);

    std::unique_ptr<Datenbestand> bestand_;
};
