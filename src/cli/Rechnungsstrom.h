#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/PostenVerwaltung.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"

// Reading the invoice and item files themselves, for the commands that need
// a few numbers of many records and must not hold the files: the records
// pass through one buffer in pieces. A missing file is empty; one that
// cannot be read, or is cut short while it is read, raises the German
// message of that read error, so that no command takes fewer records for
// all of them.
namespace Rechnungsstrom {

// The size of one piece read.
constexpr std::size_t kStueck = 256 * 1024;

// The file, or a closed one when it is missing.
File Oeffnen(const std::string& pfad);

// The number of whole records of `groesse` bytes the file holds now (0 for
// a closed file).
std::int64_t Saetze(const File& datei, std::size_t groesse);

// Every whole record front to back, with its position; stray bytes after
// the last whole record are no record.
void JederSatz(const File& datei, std::size_t groesse,
               const std::function<void(std::uint32_t, std::string_view)>& f);

// Exactly `groesse` bytes at `offset` into `bild`.
void Lesen(const File& datei, std::int64_t offset, char* bild, std::size_t groesse);

}  // namespace Rechnungsstrom

// Many item chains walked at the same time, in one read of the item file
// from its end to its start: every sound link points to a lower index, so
// that the walk meets each chain's items in the chain's own order. Links are
// followed as PostenVerwaltung follows them (a link that does not point
// down, or leaves the file, ends the chain), and a chain that runs into
// another is walked on for each of them. Blocks that no chain reaches are
// not read. Memory: eight bytes per chain and one piece.
class Kettenlauf {
  public:
    // `anzahl`: the whole records the item file held when it was opened,
    // before the heads were read, so that no head names an item beyond it.
    Kettenlauf(const File& posten, std::int32_t anzahl);

    void Reservieren(std::size_t ketten);
    // A new chain starting at `kopf` (outside the file: an empty chain); its
    // place is the number of chains before it.
    void Anmelden(std::int32_t kopf);

    // Calls f(place, record image) for every item of every chain, each chain
    // in its order. Once only.
    template <typename F>
    void Gehen(F&& f);

  private:
    static constexpr std::size_t kPosten = PostenVerwaltung::Posten::DiskSize;
    static constexpr std::int32_t kBlock =
        static_cast<std::int32_t>(Rechnungsstrom::kStueck / kPosten);
    static constexpr std::uint32_t kKeiner = 0xFFFFFFFFu;

    // Chain `platz` waits for item `index`, in the list of that item's block.
    void Warten(std::uint32_t platz, std::int32_t index) {
        std::uint32_t& liste = blockListe_[static_cast<std::size_t>(index / kBlock)];
        ziel_[platz] = index;
        weiter_[platz] = liste;
        liste = platz;
    }
    // Reads the block's items into the buffer and sorts the chains waiting
    // in it into the bucket of the item each waits for.
    void Vorbereiten(std::size_t block, std::int32_t anfang, std::int32_t ende);

    const File& posten_;
    std::int32_t anzahl_;
    // The item each chain waits for (-1: none), and the next chain waiting
    // in the same list.
    std::vector<std::int32_t> ziel_;
    std::vector<std::uint32_t> weiter_;
    std::vector<std::uint32_t> blockListe_;
    std::vector<std::uint32_t> eimer_;
    std::unique_ptr<char[]> puffer_;
};

template <typename F>
void Kettenlauf::Gehen(F&& f) {
    using P = PostenVerwaltung::Posten;
    const std::size_t bloecke = (static_cast<std::size_t>(anzahl_) + kBlock - 1) / kBlock;
    blockListe_.assign(bloecke, kKeiner);
    for (std::uint32_t platz = 0; platz < ziel_.size(); ++platz) {
        if (ziel_[platz] >= 0) {
            Warten(platz, ziel_[platz]);
        }
    }
    for (std::size_t block = bloecke; block-- > 0;) {
        if (blockListe_[block] == kKeiner) {
            continue;
        }
        const auto anfang = static_cast<std::int32_t>(block) * kBlock;
        const std::int32_t ende = std::min(anzahl_, anfang + kBlock);
        Vorbereiten(block, anfang, ende);
        for (std::int32_t index = ende - 1; index >= anfang; --index) {
            const auto stelle = static_cast<std::size_t>(index - anfang);
            const std::string_view bild(puffer_.get() + stelle * kPosten, kPosten);
            for (std::uint32_t platz = eimer_[stelle]; platz != kKeiner;) {
                const std::uint32_t folgend = weiter_[platz];
                f(platz, bild);
                const std::int32_t naechster = Feldwert<&P::naechster>(bild);
                if (naechster >= 0 && naechster < index) {
                    if (naechster >= anfang) {
                        const auto dort = static_cast<std::size_t>(naechster - anfang);
                        ziel_[platz] = naechster;
                        weiter_[platz] = eimer_[dort];
                        eimer_[dort] = platz;
                    } else {
                        Warten(platz, naechster);
                    }
                } else {
                    ziel_[platz] = -1;
                }
                platz = folgend;
            }
        }
    }
}
