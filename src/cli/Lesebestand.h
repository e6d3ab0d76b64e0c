#pragma once

#include <memory>
#include <string>

#include "model/Datenbestand.h"
#include "model/Verwaltungen.h"
#include "storage/File.h"

// The data set of a directory, opened for reading only where it lies (see
// Zugriff::NurLesen): no manager creates, repairs or writes anything, so the
// directory stays byte for byte as it was, also beside a running window, and
// an interrupted command leaves nothing behind.
class Lesebestand {
  public:
    // What a command reads: everything, only the customers and their
    // groups (the address export must not read the big invoice files), or
    // the settings alone (the searches and the bottle list stream the files
    // themselves).
    enum class Bedarf { Alles, Kundengruppen, Einstellungen };

    // The data files the managers read; the price lists "<k>.wl" come on top.
    static constexpr const char* kDateien[] = {
        "weinliste.dat",  "weinlisten.txt", "rechnungsposten.dat",
        "rechnungen.dat", "geogruppe.txt",  "preferences.dat",
        "kunden.dat",     "mahnungen.dat",  "mahnwesen.txt"};

    // Opens, customers included. Raises a MessageException with a German
    // text when `verzeichnis` is no directory or one of its data files is
    // no regular file or cannot be opened; a missing file is simply empty.
    // With Bedarf::Kundengruppen only the group manager exists in V() (for
    // a command that reads the customers record by record itself); every
    // other pointer there is null. With Bedarf::Einstellungen
    // the settings alone.
    explicit Lesebestand(const std::string& verzeichnis, Bedarf bedarf = Bedarf::Alles);
    ~Lesebestand();

    Lesebestand(const Lesebestand&) = delete;
    Lesebestand& operator=(const Lesebestand&) = delete;

    Verwaltungen& V() { return bestand_ ? bestand_->GetVerwaltungen() : verwaltungen_; }

    Datenbestand& Bestand() { return *bestand_; }

    // Raises the German message of a missing data directory when
    // `verzeichnis` is not a directory.
    static void VerzeichnisPruefen(const std::string& verzeichnis);

  private:
    // A FIFO or device named like a data file would hang or mislead the
    // reading; anything but a regular file that can be opened is refused.
    static void DateiPruefen(const std::string& pfad);

    std::unique_ptr<Datenbestand> bestand_;
    // Bedarf::Kundengruppen: the groups alone, without the data set.
    std::unique_ptr<GeoGruppe> gruppen_;
    // Bedarf::Einstellungen: the settings without the data set.
    std::unique_ptr<Customizer> einstellungen_;
    Verwaltungen verwaltungen_;
};
