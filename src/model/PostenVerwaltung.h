#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "storage/Dateiabbild.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"
#include "storage/Zugriff.h"

class LogBuch;
class Rechnung;
class Wein;
class WeinlistenVerwaltung;

// The invoice items of all invoices, "daten/rechnungsposten.dat": 22-byte
// records addressed by their index, never moved or removed. The items of one
// invoice form a chain from the invoice's newest item (its postenKopf) through
// `naechster` to the oldest. A deleted item stays in its chain with rechnung
// -1. Every change of an item moves bottle stock in the wine catalogue.
//
// The file is mapped, not copied (Dateiabbild), and an item is decoded when
// it is used; changes are written through record by record, and each write
// has reached the operating system when the operation returns. A file cut
// short by another program while it is read raises the German read error.
class PostenVerwaltung {
  public:
    class Posten {
      public:
        static constexpr std::size_t DiskSize = 22;

        std::int32_t Key() const { return weinNummer; }

        std::int32_t weinNummer = 0;
        // Id of the owning invoice; kGeloescht for a deleted item.
        std::int32_t rechnung = -1;
        float preisDM = 0.0f;
        float preisEuro = 0.0f;
        std::int16_t menge = 0;
        // Index of the next older item of the same invoice, -1 at the end.
        std::int32_t naechster = -1;

        static constexpr auto kFelder = Feldtabelle(
            "Posten", Satzfeld("weinNummer", &Posten::weinNummer),
            Satzfeld("rechnung", &Posten::rechnung), Satzfeld("preisDM", &Posten::preisDM),
            Satzfeld("preisEuro", &Posten::preisEuro), Satzfeld("menge", &Posten::menge),
            Satzfeld("naechster", &Posten::naechster));
    };

    static constexpr std::int32_t kGeloescht = -1;

    explicit PostenVerwaltung(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);

    PostenVerwaltung(const PostenVerwaltung&) = delete;
    PostenVerwaltung& operator=(const PostenVerwaltung&) = delete;

    void SetWeinlistenVerwaltung(WeinlistenVerwaltung* weine) { weinlistenVerwaltung_ = weine; }
    // Null: no log lines.
    void SetLogBuch(LogBuch* logBuch) { logBuch_ = logBuch; }

    // Appends the item (the caller has filled all but `naechster`, which is
    // set here to the invoice's postenKopf) and takes its bottles out of stock.
    // Returns the new index, which the caller makes the invoice's postenKopf.
    //
    // Until the stock is written, the item is on disk in a marked form (see
    // Vorgemerkt) that says at which stock its bottles are not yet taken, so
    // that a start after a crash can tell whether the stock change reached
    // the file. When the stock cannot be written, the item is taken back and
    // the German message says so.
    std::int32_t AddPosten(const Rechnung& rechnung, Posten& posten);

    // Finds the live item of the same invoice and wine in the chain from
    // `start` and overwrites its prices and quantity; quantity 0 deletes it.
    // Logs the old values and moves the stock by the difference; when the
    // stock cannot be written, the item is written back as it was.
    void Update(const Posten& posten, std::int32_t start);

    // Takes back the item AddPosten appended last, when its invoice could
    // not record it: the bottles go back to stock and the record leaves the
    // file, without a log line (the item never was). False when that could
    // not be written; the item then stays for the next start to book back.
    bool Zuruecknehmen(std::int32_t index);

    // Gives the bottles of a live item that belongs to no invoice (an
    // invoice never stored, an item its invoice never took into its chain)
    // back where they were taken, and deletes the item, with its log line
    // as for a deletion. Every step can be interrupted: the next start
    // finishes it without moving the stock twice.
    void Zurueckbuchen(std::uint32_t index);

    // An item written in its marked form: in place of its DM price a value
    // no price can take, in place of its Euro price the stock of its wine
    // at which its bottles are not taken out. Found only between the writes
    // of one change, or after a crash there.
    static bool Vorgemerkt(const Posten& posten);

    // The next live item of the invoice at or after the cursor along the
    // chain; the cursor then points at the next candidate (-1 at the end).
    bool GetPosten(Posten& posten, std::int32_t& cursor, std::int32_t rechnung) const;

    // Calls f(const Posten&) for every live item of the invoice, newest first.
    template <typename F>
    void FuerJedenPosten(std::int32_t kopf, std::int32_t rechnung, F&& f) const;

    // The invoice total in single precision, summed in chain order.
    float Summe(std::int32_t kopf, std::int32_t rechnung, bool inDM) const;

    // The same total read record by record along the chain from the item
    // file itself, for a command that needs the items of a few invoices
    // only: their chains are short, the file is long. `anzahl` is the number
    // of whole records the file held when it was opened; a record that can
    // no longer be read whole raises the German message of a read error.
    static float SummeAusDatei(const File& datei, std::int64_t anzahl, std::int32_t kopf,
                               std::int32_t rechnung, bool inDM);

    // Number of whole records, which is also the index of the next item.
    std::uint32_t Anzahl() const { return anzahl_; }
    // The record at an index, live or not, decoded from the file; the index
    // must be below Anzahl().
    Posten operator[](std::uint32_t index) const { return Hole(index); }

    // After a pass over many items: the pages of the records from `von` to
    // before `bis` leave the process's memory (the file's cache keeps them)
    // and are read again when used again.
    void Loslassen(std::uint32_t von, std::uint32_t bis) const {
        abbild_.Freigeben(std::int64_t{von} * std::int64_t{Posten::DiskSize},
                          std::int64_t{bis} * std::int64_t{Posten::DiskSize});
    }

  private:
    // The link to follow after the record at `index`, or -1 where the chain
    // ends. Items are only ever appended and each links to the invoice's head
    // of that moment, so every sound link points to a lower index. A link that
    // does not, or that leaves the file, is damage and ends the chain; that
    // also bounds every walk by the number of records.
    static std::int32_t Folge(std::int32_t index, const Posten& posten) {
        return posten.naechster >= 0 && posten.naechster < index ? posten.naechster : -1;
    }
    bool ImBestand(std::int32_t index) const {
        return index >= 0 && static_cast<std::uint32_t>(index) < anzahl_;
    }
    // The record at an index below Anzahl(), straight from the mapped file;
    // raises the read error when the file was cut short under the read.
    Posten Hole(std::uint32_t index) const {
        Posten posten;
        const char* bild = abbild_.Daten() + std::size_t{index} * Posten::DiskSize;
        if constexpr (std::endian::native == std::endian::little) {
            constexpr auto& f = Posten::kFelder;
            std::memcpy(&posten.weinNummer, bild + f.Offset(&Posten::weinNummer), 4);
            std::memcpy(&posten.rechnung, bild + f.Offset(&Posten::rechnung), 4);
            std::memcpy(&posten.preisDM, bild + f.Offset(&Posten::preisDM), 4);
            std::memcpy(&posten.preisEuro, bild + f.Offset(&Posten::preisEuro), 4);
            std::memcpy(&posten.menge, bild + f.Offset(&Posten::menge), 2);
            std::memcpy(&posten.naechster, bild + f.Offset(&Posten::naechster), 4);
        } else {
            SatzLesen(std::string_view(bild, Posten::DiskSize), posten);
        }
        if (abbild_.Verkuerzt()) {
            Abgeschnitten();
        }
        return posten;
    }
    [[noreturn]] void Abgeschnitten() const;
    void Protokolliere(const char* marker, const Posten& alt) const;
    // Writes one record at its index; false when it did not reach the file.
    bool Schreibe(std::int32_t index, const Posten& posten);
    // Cuts the file back to the records before `index`.
    void Abschneiden(std::int32_t index);
    // Moves the wine's stock; null when there is no such wine.
    Wein* WeinZu(const Posten& posten) const;

    WeinlistenVerwaltung* weinlistenVerwaltung_ = nullptr;
    LogBuch* logBuch_ = nullptr;
    std::string fileName_;
    Zugriff zugriff_;
    File datei_;
    Dateiabbild abbild_;
    // Whole records in the file.
    std::uint32_t anzahl_ = 0;
};

template <typename F>
void PostenVerwaltung::FuerJedenPosten(std::int32_t kopf, std::int32_t rechnung, F&& f) const {
    for (std::int32_t i = ImBestand(kopf) ? kopf : -1; i >= 0;) {
        const Posten posten = Hole(static_cast<std::uint32_t>(i));
        if (posten.rechnung == rechnung) {
            f(posten);
        }
        i = Folge(i, posten);
    }
}
