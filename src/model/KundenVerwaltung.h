#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Kunde.h"
#include "storage/GenericList.h"

class LogBuch;

// The customer file "daten/kunden.dat": numbering, change, deletion (both
// logged), search by template, and the two imports.
class KundenVerwaltung {
  public:
    explicit KundenVerwaltung(const std::string& fileName, Zugriff zugriff = Zugriff::Schreiben);
    ~KundenVerwaltung() = default;

    KundenVerwaltung(const KundenVerwaltung&) = delete;
    KundenVerwaltung& operator=(const KundenVerwaltung&) = delete;

    // Null: no log lines.
    void SetLogBuch(LogBuch* logBuch) { logBuch_ = logBuch; }

    // The first stored customer with that number, or null. Valid until the
    // next addition or deletion.
    Kunde* GetKunde(std::int32_t nummer);
    // Numbers the customer (also in the caller's record) and appends it.
    void AddKunde(Kunde& kunde);
    // Logs the stored customer's old data, overwrites it, and stores it.
    // Number, capture stamp and invoice link stay as stored.
    void UpdateKunde(const Kunde& kunde);
    // Logs and removes the first customer with that number; none: nothing.
    void DeleteKunde(std::int32_t nummer);

    unsigned SearchKunden(const Kunde& muster, GenericList<Kunde>* treffer);
    bool NextKunde(Kunde& out);
    // Copies the town of the first customer with that postcode into ort
    // (at least 31 bytes); leaves it unchanged when there is none.
    void GetOrt(std::int32_t plz, char* ort);

    // Both replace all customers. They raise a German message naming the
    // file when their input cannot be opened, and then change nothing.
    // The CSV file may be Windows-1252 or UTF-8 (recognised by its byte
    // order mark, or as valid UTF-8 that is not plain ASCII) with CR LF, LF
    // or CR line ends; tabs become blanks, control characters go. A file
    // that holds no customer, or characters the customer file cannot hold
    // (named in the message), is refused and changes nothing. The import is
    // logged ("KUNDEN IMPORTIERT: n aus kunden.csv") before it replaces.
    void ImportAlteKunden();
    void ImportKundenCSV();

    // The customers in file order, for exports and checks.
    unsigned Count() const { return kunden_.Count(); }
    Kunde& operator[](unsigned index) { return kunden_[index]; }
    const Kunde& operator[](unsigned index) const { return kunden_[index]; }

    // Writes the customer file from memory.
    void Flush() { kunden_.Flush(); }
    // Makes an in-place change of one stored customer durable (the invoice
    // chain head letzteRechnung is changed that way).
    void Store(const Kunde* kunde);

    // Highest customer number known to any instance; never lowered.
    static std::uint32_t maxNummer;

  private:
    // Index of the first customer with that number, or -1.
    int IndexOf(std::int32_t nummer) const;
    // Numbers the imported customers as AddKunde would and replaces all
    // customers by them in one step, so that a failed write leaves the old
    // customers (and their numbers) as they were.
    void Ersetzen(std::vector<Kunde>& neue);

    LogBuch* logBuch_ = nullptr;
    GenericList<Kunde> kunden_;
    std::int32_t suchPosition_ = -1;
    Kunde suchMuster_;
};
