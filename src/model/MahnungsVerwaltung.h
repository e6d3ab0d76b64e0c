#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "storage/Datum.h"
#include "storage/Feldtabelle.h"
#include "storage/GenericList.h"

class LogBuch;
class RechnungsVerwaltung;

// Whom the business has reminded of what ("daten/mahnungen.dat"): for each
// reminded invoice its reminder level and the day of its last reminder. A
// missing file means nothing was reminded yet; an invoice without a record
// stands at level 0.
//
// Every change writes its log-book line first and then its record, synced,
// so that a record never holds a level the log book does not tell of.
class MahnungsVerwaltung {
  public:
    static constexpr const char* kDatei = "mahnungen.dat";
    static constexpr std::int32_t kHoechsteStufe = 3;

    // One invoice's state: 12 bytes on disk, little-endian, in this order.
    struct Mahnstand {
        static constexpr std::size_t DiskSize = 12;
        // The invoice's internal id (its position in "rechnungen.dat").
        std::int32_t rechnung = 0;
        // 0 (not reminded) to 3 (second reminder).
        std::int32_t stufe = 0;
        // Julian day of the last reminder; 0 when there was none.
        std::uint32_t datum = 0;

        static constexpr auto kFelder =
            Feldtabelle("Mahnstand", Satzfeld("rechnung", &Mahnstand::rechnung),
                        Satzfeld("stufe", &Mahnstand::stufe), Satzfeld("datum", &Mahnstand::datum));
    };

    explicit MahnungsVerwaltung(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);

    MahnungsVerwaltung(const MahnungsVerwaltung&) = delete;
    MahnungsVerwaltung& operator=(const MahnungsVerwaltung&) = delete;

    // The invoice's level (0 without a record; a damaged level outside 0 to
    // 3 is taken as the nearest valid one) and the day of its last reminder.
    std::int32_t Stufe(std::int32_t rechnung) const;
    Datum LetzteMahnung(std::int32_t rechnung) const;

    // Records that the invoice (with its number for the log book) was
    // reminded at `stufe` on `datum`: the log-book line first, then the
    // record. Raises a MessageException when either cannot be written; the
    // record then stays as it was.
    void Vermerken(std::int32_t rechnung, std::int32_t nummer, std::int32_t stufe, Datum datum,
                   LogBuch* logBuch);

    // What is wrong with the file's records, for the check and the start:
    // levels outside 0 to 3, invoices twice, invoices the invoice file does
    // not hold. German, Windows-1252.
    std::vector<std::string> Probleme(RechnungsVerwaltung& rechnungen) const;

    unsigned Count() const { return liste_.Count(); }
    const Mahnstand& operator[](unsigned index) const { return liste_[index]; }
    const std::string& FileName() const { return liste_.FileName(); }

  private:
    GenericList<Mahnstand> liste_;
    // Invoice id to record position; the first record of an id counts.
    std::unordered_map<std::int32_t, unsigned> index_;
};
