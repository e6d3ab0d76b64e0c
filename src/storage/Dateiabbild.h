#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/Fehler.h"

// The bytes of a record file mapped read-only into memory, for the big files
// that the window keeps at hand: nothing is copied, and a record is decoded
// where it is used. Nothing is ever written through the mapping; the
// program's own writes go through File and show here at once, as the
// mapping shares the file's pages. Room is reserved past the end for the
// records the program appends, and only bytes the file holds are ever read
// (every reader is bounded by its record count).
//
// A file that another program cuts short while it is mapped would end the
// process with SIGBUS at the next read of a page past the new end. A handler,
// installed once for the whole process, puts a page of zeros over such a
// page and marks the mapping; every reader asks Verkuerzt() after reading
// and raises the read error instead of using what it read. Faults outside
// these mappings keep the default action.
class Dateiabbild {
  public:
    explicit Dateiabbild(std::string path);
    ~Dateiabbild();
    Dateiabbild(const Dateiabbild&) = delete;
    Dateiabbild& operator=(const Dateiabbild&) = delete;

    // Maps the file; its length at that moment. A missing file is Fehlt()
    // and stays unmapped until Platz. A failure to map is a read error (the
    // fault seam sees it as a read), and so is a file that no longer reaches
    // that length right after.
    Ergebnis<std::int64_t> Oeffnen();
    // Makes sure the first `bis` bytes lie in the mapping, before the
    // program writes there: maps the file when it is not yet, and anew with
    // more room when it outgrew the room. Pointers from Daten() may move.
    Ergebnis<void> Platz(std::int64_t bis);

    bool Offen() const { return daten_ != nullptr; }
    const char* Daten() const { return daten_; }
    const std::string& Path() const { return path_; }

    // Whether a read met a page that the file no longer holds since the
    // last Abgeschnitten(); what was read then is not the file's. The mark
    // is set by the handler on this thread, in the middle of the read: the
    // fence keeps the compiler from asking before the reads are done.
    bool Verkuerzt() const {
        std::atomic_signal_fence(std::memory_order_seq_cst);
        return marke_ != nullptr && marke_->load(std::memory_order_relaxed);
    }
    // After Verkuerzt(): the file's pages are mapped again over the zeros and
    // the mark is cleared, so that the next read sees the file as it is now;
    // the error of the cut read, to be raised.
    Fehler Abgeschnitten() const;

    // For a pass from front to back: the kernel may read ahead and drop
    // behind (sequenziell), or back to the default.
    void Durchlauf(bool sequenziell) const;
    // Lets go of the pages wholly inside [von, bis): they leave the
    // process's memory and are read again from the file when used again.
    void Freigeben(std::int64_t von, std::int64_t bis) const;

  private:
    void Schliessen();

    std::string path_;
    // Open from Oeffnen (or the first Platz) on, for mapping anew.
    int fd_ = -1;
    char* daten_ = nullptr;
    std::size_t laenge_ = 0;
    int platz_ = -1;
    std::atomic<bool>* marke_ = nullptr;
};
