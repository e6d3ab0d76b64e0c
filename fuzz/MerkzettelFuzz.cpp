// The notes file: loading, writing back (notes are copied whole, so a file of
// whole records comes back byte for byte), a new note, and the shutdown that
// drops every empty note.

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "model/MerkzettelVerwaltung.h"
#include "storage/ByteWriter.h"
#include "storage/FixedText.h"

namespace {

constexpr const char* kDatei = "daten/merkzettel.dat";
using Notiz = MerkzettelVerwaltung::MerkzettelIntern;

std::string Bild(const Notiz& notiz) {
    std::string bytes;
    ByteWriter writer(bytes);
    writer << notiz;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    std::vector<std::string> erwartet;
    {
        MerkzettelVerwaltung mv(kDatei);
        FUZZ_PRUEFE(mv.Count() == (size + Notiz::DiskSize - 1) / Notiz::DiskSize);
        unsigned geoeffnet = 0;
        mv.ShowAll([&](Notiz&) { ++geoeffnet; });
        FUZZ_PRUEFE(geoeffnet == mv.Count());
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        mv.Flush();
        if (size % Notiz::DiskSize == 0) {
            FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);
        }

        Notiz& neu = mv.NewNote();
        FUZZ_PRUEFE(geoeffnet == mv.Count());
        FUZZ_PRUEFE(neu.x >= 0 && neu.x < 300 && neu.y >= 0 && neu.y < 250);
        neu.text[0] = '\0';
        mv.Store(&neu);
        if (mv.Count() > 1) {
            FixedText::Set(mv[0].text, "anders");
            mv.Store(&mv[0]);
        }

        // Shutdown fills each gap an empty note leaves with the last note.
        std::vector<Notiz> rest;
        for (unsigned i = 0; i < mv.Count(); ++i) {
            rest.push_back(mv[i]);
        }
        std::size_t i = 0;
        while (i < rest.size()) {
            if (rest[i].text[0] == '\0') {
                rest[i] = rest.back();
                rest.pop_back();
            } else {
                ++i;
            }
        }
        for (const Notiz& notiz : rest) {
            erwartet.push_back(Bild(notiz));
        }
    }
    std::string datei;
    for (const std::string& bild : erwartet) {
        datei += bild;
    }
    FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == datei);
    return 0;
}
