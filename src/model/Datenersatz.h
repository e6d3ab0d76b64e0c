#pragma once

#include <string>

#include "storage/Fehler.h"

// Replaces the program's files of a data folder by another whole set (a
// restored backup) in one step that a crash or a power cut cannot leave half
// done.
//
// The new set is written into a fresh folder inside the data folder (on the
// same file system, so that its files can be renamed into place, also when
// the data folder is a link or a mount of its own), synced, and then
// committed: the folder gets a list of its files and is renamed to one fixed
// name. Before that rename nothing has changed and the fresh folder is only
// a leftover; from that rename on the replacement counts as done. Moving the
// files into place and removing the program's files the new set does not
// hold follow. Should the program die on the way, the next program that takes
// the folder's lock (the start of the window, every writing command) carries
// it to the end with Abschliessen, which does nothing twice: whatever the
// moment of the crash, the folder then holds the old set or the new one,
// whole. Files that are not the program's own (the lock, copies of
// incomplete files, anything the user keeps there) are never touched.
class Datenersatz {
  public:
    // The fresh folders ("<prefix>XXXXXX") and the committed one.
    static constexpr const char* kNeuerOrdner = ".wiederherstellung-";
    static constexpr const char* kBereit = ".wiederherstellung";
    // Inside the committed folder: the names of the new set, one a line.
    static constexpr const char* kInhalt = "INHALT";

    // A new, empty folder inside `verzeichnis` for the new set, after the
    // fresh folders earlier runs left behind have been removed. The caller
    // holds the folder's lock.
    static Ergebnis<std::string> NeuerOrdner(const std::string& verzeichnis);

    // Commits the set in `neu` (a folder from NeuerOrdner whose files are
    // named as the program's files and synced) and moves it into place.
    // Raises a MessageException with a German text when it fails: before the
    // commit nothing has changed and `neu` is gone; after it, the next
    // Abschliessen completes what is left.
    static void Festschreiben(const std::string& verzeichnis, const std::string& neu);

    // Completes a committed replacement a crash interrupted, and removes
    // fresh folders that were never committed. True when it completed one.
    // Raises a MessageException with a German text when a step fails; the
    // replacement then stays committed for the next attempt.
    static bool Abschliessen(const std::string& verzeichnis);

    // Whether a committed replacement waits to be completed (looks only).
    static bool Ausstehend(const std::string& verzeichnis);
};
