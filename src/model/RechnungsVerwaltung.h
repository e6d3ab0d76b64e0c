#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Rechnung.h"
#include "storage/Dateiabbild.h"
#include "storage/File.h"
#include "storage/GenericList.h"
#include "storage/GenericSortableList.h"

struct Verwaltungen;

// The invoice file "daten/rechnungen.dat": 297-byte records, the record at
// position i being the invoice with id i. Invoices are reserved, stored,
// read into the one working copy, written back in place, marked deleted, and
// found by customer, by date ranges and by number or amount. Every change of
// a stored invoice goes to the log book with the values from before it.
//
// The file is mapped, not copied (Dateiabbild), and a record is decoded when
// it is used; changes are written through record by record, and each write
// has reached the operating system when the operation returns. A file cut
// short by another program while it is read raises the German read error.
class RechnungsVerwaltung {
  public:
    // One counted item of the bottle list.
    class FlaschenPosten {
      public:
        static constexpr std::size_t DiskSize = 6;

        std::int32_t Key() const { return weinNummer; }

        std::int32_t weinNummer = 0;
        std::int16_t menge = 0;

        static constexpr auto kFelder =
            Feldtabelle("Flaschenposten", Satzfeld("weinNummer", &FlaschenPosten::weinNummer),
                        Satzfeld("menge", &FlaschenPosten::menge));
    };

    // First construction step: loads the file and derives the id and the
    // number of the next invoice from its last whole record.
    explicit RechnungsVerwaltung(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);
    ~RechnungsVerwaltung();

    RechnungsVerwaltung(const RechnungsVerwaltung&) = delete;
    RechnungsVerwaltung& operator=(const RechnungsVerwaltung&) = delete;

    // Second step, once every manager exists.
    void SetVerwaltungen(Verwaltungen* verwaltungen);
    Verwaltungen* GetVerwaltungen() const { return verwaltungen_; }

    // Reserves the next invoice for the customer (linking it into the
    // customer's chain); only one can be reserved at a time.
    Rechnung* AllocRechnung(std::int32_t kunde);
    // Appends the reserved invoice and releases it; the customer's chain head
    // is stored with it.
    void StoreRechnung();
    // The reserved invoice, or null.
    Rechnung* Reserviert() const { return reserviert_.get(); }
    // At shutdown, before the customers are written: an invoice still
    // reserved (because storing it failed) is stored once more, as closing
    // the invoice editor would; should that fail again, its customer's chain
    // head is set back, so that the customer file never names an invoice the
    // invoice file does not hold.
    void ReservierungBeenden();
    // At start-up, before anything is changed: items that no invoice leads
    // to, left by a crash while a new invoice was open (or an item was added
    // to a stored one), get their bottles back where they were taken and
    // are deleted, each with its log line. Found are the live items of ids
    // the file does not hold, and those of a stored invoice whose sound
    // chain does not reach them (the id given again after such a crash);
    // items behind a damaged chain are left alone. Returns what the user is
    // to be told, one German sentence (Windows-1252) per invoice. Read-only
    // or without the item manager, nothing happens.
    std::vector<std::string> NichtGespeichertesZurueckbuchen();

    // At start-up, once the customers are read: a chain head that a crash
    // left behind is mended from the invoices themselves. The newest invoice
    // may have reached the file without its customer's new head, and a head
    // may name an invoice that never reached the file. One pass over the
    // invoices and at most one write of the customer file; read-only, the
    // heads are mended in memory only. Returns the numbers of the customers
    // whose head was mended.
    std::vector<std::int32_t> KettenkoepfeNachtragen();

    // Reads the invoice with that id into the working copy and returns it
    // (always the same object), or null.
    Rechnung* GetRechnung(std::int32_t id);
    // Writes the working copy back over the record it was read from.
    void UpdateCurrentRechnung();
    // Writes a changed copy of a stored invoice back; nothing for the
    // reserved one or an unknown id.
    void UpdateRechnung(const Rechnung& rechnung);
    // Adds the wine's item to the invoice (the reserved one, the working
    // copy or a copy of a stored one), or changes it when there is one;
    // quantity 0 on an existing item deletes it. A stored invoice is written
    // with its new postenKopf at once; when that fails, the new item is taken
    // back (its bottles too) and the failure raised.
    void SetPosten(Rechnung& rechnung, std::int32_t weinNummer, float preisDM, float preisEuro,
                   std::int16_t menge);
    void DeletePosten(Rechnung& rechnung, std::int32_t weinNummer);
    // Marks the invoice deleted, after returning its bottles to stock when
    // bestandKorrigieren is set.
    void DeleteRechnung(std::int32_t id, bool bestandKorrigieren);
    // Stores a copy of the invoice as a new, open one with the same items;
    // returns the new invoice's id.
    std::int32_t DeriveRechnung(const Rechnung& quelle);

    // The customer's invoices, newest first; deleted ones never.
    void GetRechnungenVonKunde(std::int32_t kunde, GenericList<Rechnung>& liste, bool nurOffene);
    // Invoices whose capture date and dating date lie in the ranges in use,
    // newest first. The search stops at the first invoice captured more than
    // the settings' pre-dating limit before the start of the dating range.
    void GetRechnungenNachDatum(GenericList<Rechnung>& liste, std::uint32_t erfasstVon,
                                std::uint32_t erfasstBis, std::uint32_t datumVon,
                                std::uint32_t datumBis, bool mitErfasst, bool mitDatum,
                                bool nurOffene);
    // Calls f with every invoice that is not deleted and whose own date or
    // capture date lies from `von` to `bis`, in the order of the file. Only
    // those are read whole, so a period of a large file costs little more
    // than a look at two fields per record; no date shortcut is taken, an
    // invoice may be dated long after its capture. The working copy stays.
    void JedeMitDatumOderErfasstIn(std::uint32_t von, std::uint32_t bis,
                                   const std::function<void(const Rechnung&)>& f) const;
    // Invoices with that number (nummer >= 0), or else with a total within
    // the tolerance of the amount (betrag > 0), newest first.
    void GetRechnungenNachNummerOderBetrag(std::int32_t nummer, float betrag, float toleranz,
                                           GenericList<Rechnung>& liste);
    // The items of the bottle list: every live item of the invoices the
    // settings' filter periods choose (paid and open), sorted by wine, items of
    // one wine in collection order. The list is emptied first.
    void GetFlaschenPosten(GenericSortableList<FlaschenPosten>& liste);

    // Id of the next invoice.
    std::int32_t Anzahl() const { return anzahl_; }
    std::int32_t NaechsteNummer() const { return naechsteNummer_; }
    // Number of invoices in the file.
    std::int32_t Gespeichert() const { return gespeichert_; }
    // The bytes of stored record n (n below Gespeichert()), for scans that
    // read a few fields of every invoice (Feldwert) without building it. They
    // lie in the mapped file: raises the read error when an earlier read met a
    // page the file lost meanwhile; after the last read, ask Nachsehen().
    std::string_view Rohsatz(std::int32_t n) const {
        Nachsehen();
        return Satz(n);
    }
    // Raises the read error when a read of the file since the last check met
    // a page the file no longer holds (another program cut it short): what
    // was read there is not the file's.
    void Nachsehen() const {
        if (abbild_.Verkuerzt()) {
            Abgeschnitten();
        }
    }

    static constexpr const char* kAllocFehler =
        "Es wurde eine Rechnung in RechnungsVerwaltung::AllocRechnung() allokiert, obwohl die "
        "letzte noch nicht gespeichert wrude";
    static constexpr const char* kStoreFehler =
        "Es wurde in RechnungsVerwaltung::StoreRechnung() versucht eine Rechnung zu speichern, "
        "obwohl noch gar keine reserviert wurde";
    static constexpr const char* kUpdateFehler =
        "Es wurde in RechnungsVerwaltung::UpdateCurrentRechnung() versucht eine Rechnung zu "
        "erneuern, obwohl keine angefordert wurde";
    static constexpr const char* kDeleteFehler =
        "Die referenzierte Rechnung konnte in RechnungsVerwaltung::DeleteRechnung() nicht "
        "gefunden werden";

  private:
    // The image of record n (n below gespeichert_), in the mapped file: read
    // it before the next write, and call Nachsehen() after reading.
    std::string_view Satz(std::int32_t n) const;
    [[noreturn]] void Abgeschnitten() const;
    // Calls f(n, satz) for every record, front to back, letting go of the
    // pages passed, so that a pass over a large file does not hold it all in
    // memory.
    template <typename F>
    void JederSatz(F&& f) const;
    // Record n of the file into r (n below gespeichert_).
    void Lies(std::int32_t n, Rechnung& r) const;
    std::int32_t IdAn(std::int32_t n) const;
    // Writes a record at position n; false when it did not reach the file.
    bool Schreibe(std::int32_t n, const Rechnung& r);
    // Writes the line; without `abschliessen` it waits in the log book for
    // the next line, and both are written together.
    void Protokolliere(const char* marker, const Rechnung& r, bool abschliessen = true) const;
    // Calls f(n) for every record position the date search adds, newest first.
    template <typename F>
    void NachDatum(std::uint32_t erfasstVon, std::uint32_t erfasstBis, std::uint32_t datumVon,
                   std::uint32_t datumBis, bool mitErfasst, bool mitDatum, bool nurOffene, F&& f);

    Verwaltungen* verwaltungen_ = nullptr;
    std::int32_t anzahl_ = 0;
    std::int32_t naechsteNummer_ = 0;
    std::unique_ptr<Rechnung> reserviert_;
    // The customer whose chain head the reserved invoice became, or -1.
    std::int32_t reserviertKunde_ = -1;
    std::unique_ptr<Rechnung> aktuell_;
    std::int32_t aktuellerIndex_ = -1;
    bool reserviertFlag_ = false;
    std::string fileName_;
    Zugriff zugriff_;

    File datei_;
    // The file's bytes; the first gespeichert_ records are read from there.
    Dateiabbild abbild_;
    std::int32_t gespeichert_ = 0;
    // Whether every record's id is its position, as in every sound file; then
    // the newest-first scan for an id ends exactly at that position.
    bool idsSindPositionen_ = true;
};
