#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Fehler.h"
#include "storage/File.h"

// The records of a file of fixed-size records, read where they are used: a
// piece of whole records (some 256 KiB) is read with one call into one of a
// bounded set of buffers, and once the set is full the buffer used longest
// ago takes the next piece. So the program holds at most that much of a big
// file, whatever its size; nothing is zero-filled or decoded ahead, and
// nothing is mapped, so that a file another program cuts short cannot bring
// the program down: every read goes through File (and its fault seam), and a
// read that ends before the records known to be there reports the file as
// cut short (Fehler::kVerkuerzt) instead of taking the missing records for
// none.
//
// The owner writes the file itself and tells what it wrote (Geschrieben,
// Gekuerzt), so that a piece in memory always holds what is on the disk.
class Satzdatei {
  public:
    static constexpr std::size_t kStueck = 256 * 1024;

    // No file: no records.
    Satzdatei() = default;
    Satzdatei(Satzdatei&&) noexcept = default;
    Satzdatei& operator=(Satzdatei&&) noexcept = default;

    // Opens the file for reading and notes its length; only whole records
    // count. A missing file holds no records (until the owner writes some).
    // At most `stuecke` pieces are kept in memory (at least one).
    static Ergebnis<Satzdatei> Oeffnen(const std::string& pfad, std::size_t satzGroesse,
                                       std::size_t stuecke);

    const std::string& Pfad() const { return pfad_; }
    std::uint64_t Anzahl() const { return anzahl_; }
    // The bytes after the last whole record.
    std::size_t Rest() const { return rest_; }
    // How many records one piece holds.
    std::uint64_t SaetzeJeStueck() const { return jeStueck_; }

    // The image of record i (i below Anzahl()), read with its piece when
    // that is not in memory. Valid until the next call of this object.
    Ergebnis<std::string_view> Satz(std::uint64_t i) {
        const std::uint64_t stueck = i / jeStueck_;
        if (stueck == zuletzt_ && i < anzahl_) {
            return std::string_view(letzter_ + (i - stueck * jeStueck_) * satz_, satz_);
        }
        return Laden(i);
    }

    // The owner wrote `bild` as record i (at most Anzahl(), which appends),
    // and it is on the disk.
    void Geschrieben(std::uint64_t i, std::string_view bild);
    // The owner cut the file back to n whole records.
    void Gekuerzt(std::uint64_t n);

    // Pieces read from the file so far, for tests and benchmarks.
    std::uint64_t Gelesen() const { return gelesen_; }

  private:
    struct Stueck {
        std::unique_ptr<char[]> daten;
        std::uint64_t nummer = 0;
        // Bytes of whole records it holds.
        std::size_t laenge = 0;
        std::uint64_t benutzt = 0;
    };

    Ergebnis<std::string_view> Laden(std::uint64_t i);
    // The slot of the piece in memory, or -1.
    int Platz(std::uint64_t stueck) const;

    std::string pfad_;
    File datei_;
    std::size_t satz_ = 1;
    std::uint64_t jeStueck_ = 1;
    std::uint64_t anzahl_ = 0;
    std::size_t rest_ = 0;
    std::size_t hoechstens_ = 1;
    std::vector<Stueck> stuecke_;
    std::uint64_t uhr_ = 0;
    std::uint64_t gelesen_ = 0;
    // The piece used last, for the record after the record.
    std::uint64_t zuletzt_ = UINT64_MAX;
    const char* letzter_ = nullptr;
};
