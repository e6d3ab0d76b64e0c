#pragma once

#include <cstdint>
#include <string>

#include "model/Wein.h"
#include "storage/GenericSortableList.h"

// The wine catalogue "daten/weinliste.dat", sorted ascending by number.
class WeinlistenVerwaltung {
  public:
    explicit WeinlistenVerwaltung(const std::string& fileName,
                                  Zugriff zugriff = Zugriff::Schreiben);

    WeinlistenVerwaltung(const WeinlistenVerwaltung&) = delete;
    WeinlistenVerwaltung& operator=(const WeinlistenVerwaltung&) = delete;

    Wein* GetWein(std::int32_t nummer);
    // Appends a fresh wine with that number unless one exists.
    void AddWein(std::int32_t nummer);
    // Adds delta to the stock and stores the wine; -1 or an unknown number
    // change nothing and give null. When the wine cannot be written, the
    // stock stays as it was and a German message naming the wine and the
    // file is raised.
    Wein* ChangeBestand(std::int32_t nummer, std::int32_t delta);
    // Sorts by number and rewrites the file.
    void Sort();
    // Makes an in-place change of a wine (hidden flag, copied-over data)
    // durable at once.
    void Store(const Wein* wein);
    // Replaces the catalogue by the old version's "daten_alt/wl"; raises a
    // German message naming the file when it cannot be opened, and then
    // changes nothing.
    void ImportAlteWeinliste();

    unsigned Count() const { return weine_.Count(); }
    Wein& operator[](unsigned index) { return weine_[index]; }
    const Wein& operator[](unsigned index) const { return weine_[index]; }
    void Flush() { weine_.Flush(); }

  private:
    // Index of the first wine with that number, or -1.
    int IndexOf(std::int32_t nummer) const;

    GenericSortableList<Wein> weine_;
};
