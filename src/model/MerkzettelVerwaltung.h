#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/Feldtabelle.h"
#include "storage/GenericList.h"

// The notes ("daten/merkzettel.dat"): small memos that stay on the screen in
// windows of their own and keep their text and position from run to run.
//
// Each note lives at a fixed address for the life of the manager, also while
// new notes are added, so a note window may hold a reference to its note and
// write text and position straight into it. The window makes that durable
// with Store (or the application with Flush); whatever is left unstored is
// written when the manager is destroyed, which also drops every empty note.
// Windows must be closed before the manager goes.
class MerkzettelVerwaltung {
  public:
    // One note: 308 bytes on disk, fields in declaration order.
    class MerkzettelIntern {
      public:
        static constexpr std::size_t DiskSize = 308;
        // The window allows 254 characters.
        char text[300] = {};
        std::int32_t x = 0;
        std::int32_t y = 0;

        static constexpr auto kFelder =
            Feldtabelle("Merkzettel", Satzfeld("text", &MerkzettelIntern::text),
                        Satzfeld("x", &MerkzettelIntern::x), Satzfeld("y", &MerkzettelIntern::y));
    };

    // Opens the window of one note; supplied by the application.
    using FensterOeffner = std::function<void(MerkzettelIntern& notiz)>;

    static constexpr const char* kNeuerText = "<< neuer Merkzettel >>";

    explicit MerkzettelVerwaltung(const std::string& fileName,
                                  Zugriff zugriff = Zugriff::Schreiben);
    // Drops every empty note and writes the rest.
    ~MerkzettelVerwaltung();

    MerkzettelVerwaltung(const MerkzettelVerwaltung&) = delete;
    MerkzettelVerwaltung& operator=(const MerkzettelVerwaltung&) = delete;

    // Remembers how to open a window and opens one for every note, in order.
    void ShowAll(FensterOeffner oeffner);
    // A new note at a random spot near the screen's origin; it is in the file
    // at once, and its window is opened when ShowAll has been called.
    MerkzettelIntern& NewNote();

    // Writes one note whose text or position changed.
    void Store(const MerkzettelIntern* notiz);
    // Writes every note.
    void Flush();

    unsigned Count() const { return static_cast<unsigned>(notizen_.size()); }
    MerkzettelIntern& operator[](unsigned index);

  private:
    // Copies the notes into the record list, which mirrors the file.
    void Abgleichen();

    GenericList<MerkzettelIntern> liste_;
    // The notes themselves; the record list's block may move when it grows.
    std::vector<std::unique_ptr<MerkzettelIntern>> notizen_;
    FensterOeffner oeffner_;
};
