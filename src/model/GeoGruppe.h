#pragma once

#include <string>

#include "storage/Feldtabelle.h"
#include "storage/GenericList.h"

// The customer groups: names in the text file "daten/geogruppe.txt", one per
// line. A group's line number is the index customers store, so groups are
// only ever appended.
class GeoGruppe {
  public:
    // One group name, at most 199 characters.
    class GeoString {
      public:
        static constexpr std::size_t DiskSize = 200;
        char text[200] = {};

        static constexpr auto kFelder =
            Feldtabelle("Kundengruppe", Satzfeld("text", &GeoString::text));
    };

    // Reads the file, creating it when it is missing. A file that cannot be
    // opened gives no groups.
    // Read-only, a missing file is no group and stays missing.
    explicit GeoGruppe(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);

    GeoGruppe(const GeoGruppe&) = delete;
    GeoGruppe& operator=(const GeoGruppe&) = delete;

    // Appends the name to the file and then to the list. Raises a German
    // message when the file cannot be written, and then adds nothing.
    void AddGeoGruppe(const std::string& name);

    unsigned Count() const { return gruppen_.Count(); }
    // The name of group `index`; raises the list's range error beyond Count().
    const char* Name(unsigned index) const { return gruppen_[index].text; }
    const GeoString& operator[](unsigned index) const { return gruppen_[index]; }

  private:
    void Append(const std::string& name);

    GenericList<GeoString> gruppen_;
    std::string fileName_;
    Zugriff zugriff_;
};
