#pragma once

#include <memory>
#include <string>

#include "model/Datenbestand.h"
#include "model/Verwaltungen.h"

// The data set of a directory, opened for reading only. The managers create
// missing files when they open, rewrite their lists when they close, and the
// settings store themselves at the end, so they never work on the user's
// directory itself: its data files are copied into a fresh temporary
// directory, and the managers open the copy. Whatever they do there is
// thrown away with it.
class Lesekopie {
  public:
    // The data files the managers read; the price lists "<k>.wl" come on top.
    static constexpr const char* kDateien[] = {
        "weinliste.dat", "weinlisten.txt",  "rechnungsposten.dat", "rechnungen.dat",
        "geogruppe.txt", "preferences.dat", "kunden.dat"};

    // Copies and opens, customers included. Raises a MessageException with a
    // German text when `verzeichnis` is no directory or one of its data files
    // cannot be read; a missing file is simply missing in the copy too.
    explicit Lesekopie(const std::string& verzeichnis);
    // Releases the managers, then removes the copy.
    ~Lesekopie();

    Lesekopie(const Lesekopie&) = delete;
    Lesekopie& operator=(const Lesekopie&) = delete;

    Verwaltungen& V() { return bestand_->GetVerwaltungen(); }
    const std::string& Kopie() const { return kopie_; }

    // Raises the German message of a missing data directory when
    // `verzeichnis` is not a directory.
    static void VerzeichnisPruefen(const std::string& verzeichnis);

    // Whether the file name is one of the data files the copy takes.
    static bool IstDatendatei(const std::string& name);
    // Whether the name is that of a price list file, "<k>.wl" for k in 0 .. 19.
    static bool IstPreislistendatei(const std::string& name);

  private:
    void Kopieren(const std::string& verzeichnis);

    std::string kopie_;
    std::unique_ptr<Datenbestand> bestand_;
};
