#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/Firmendaten.h"
#include "model/Mahntexte.h"
#include "model/Verwaltungen.h"
#include "storage/Zugriff.h"

class MahnungsVerwaltung;
class MerkzettelVerwaltung;

// The whole data set of one run: every manager, created in the order in which
// they read their files, linked to each other, and saved and released in a
// fixed order at the end. The main window owns one; it has the customer file
// read once it can show a notice over the wait, and has the notes opened when
// its window exists.
class Datenbestand {
  public:
    // Told the name of each manager right after it was created (erzeugt) and
    // right before it is released (!erzeugt).
    using Beobachter = std::function<void(const char* verwaltung, bool erzeugt)>;

    // Creates, in this order, the wines, price lists, invoice items,
    // invoices, customer groups, log book and settings on their files in
    // `verzeichnis`, and links them. A missing or read-only directory raises
    // the record list's exception from the first of them, a data file that
    // cannot be read the same exception naming the file, and a data file
    // that is no regular file a German message naming it (DatenDateien).
    //
    // With Zugriff::Schreiben a restore of a backup that a crash interrupted
    // is completed first (Datenersatz) and the start says so; read-only, such
    // a folder is refused with a German message until then.
    //
    // With Zugriff::NurLesen every manager only reads: no file is created,
    // repaired, rewritten or removed, now or at the end, and any attempt to
    // change the data raises Schreibverbot. For the read-only commands,
    // which read the directory where it lies, also beside a running window.
    explicit Datenbestand(const std::string& verzeichnis = "daten", Beobachter beobachter = {},
                          Zugriff zugriff = Zugriff::Schreiben);
    // Saves and releases: notes, customers, settings, log book, groups,
    // invoices, items, price lists, wines.
    ~Datenbestand();

    Datenbestand(const Datenbestand&) = delete;
    Datenbestand& operator=(const Datenbestand&) = delete;

    // Writes what memory holds that is not yet in the files (notes,
    // customers, settings, price lists and wines, as the end of the run
    // would), so that the files can be copied as they are, a backup. Raises
    // the managers' MessageException when a file cannot be written.
    void Schreiben();

    // Reads the customer file (once) and enters the customer manager into
    // the manager set.
    KundenVerwaltung& KundenEinlesen();
    // Opens the notes (once).
    MerkzettelVerwaltung& MerkzettelOeffnen();

    // The manager set; its customer manager is null until KundenEinlesen.
    Verwaltungen& GetVerwaltungen() { return verwaltungen_; }
    // Null until MerkzettelOeffnen.
    MerkzettelVerwaltung* GetMerkzettelVerwaltung() const { return merkzettel_.get(); }
    const std::string& Verzeichnis() const { return verzeichnis_; }

    // What the user must be told once the start is done: record files that
    // ended in part of a record (and where their copy is), a log book that
    // cannot be opened, the items of an invoice a crash left unstored that
    // went back to stock, customers' invoice chains mended (once the
    // customers are read). German, Windows-1252, one text each; empty after
    // a sound start.
    const std::vector<std::string>& Startmeldungen() const { return startmeldungen_; }

    // The seller data of e-invoices, read with the settings; they are not part
    // of the manager set, whose order is fixed. Whoever changes them stores
    // them to FirmendatenDatei().
    Firmendaten& GetFirmendaten() { return firmendaten_; }
    std::string FirmendatenDatei() const { return Pfad(Firmendaten::kDatei); }

    // The dunning state of the invoices and the reminders' texts and fees,
    // read after the settings and beside the manager set like the seller
    // data. Whoever changes the texts stores them to MahntexteDatei().
    MahnungsVerwaltung& GetMahnungen() { return *mahnungen_; }
    Mahntexte& GetMahntexte() { return mahntexte_; }
    std::string MahntexteDatei() const { return Pfad(Mahntexte::kDatei); }

  private:
    std::string Pfad(const char* name) const;
    // What the start tells of the customers whose invoice chain it mended.
    std::string KettenMeldung(const std::vector<std::int32_t>& kunden) const;
    void Melde(const char* verwaltung, bool erzeugt) const;

    std::string verzeichnis_;
    Beobachter beobachter_;
    std::vector<std::string> startmeldungen_;
    Zugriff zugriff_;
    Verwaltungen verwaltungen_;
    // Declared in the order of creation, so that even a failure half-way
    // through the constructor releases the rest in the order of shutdown.
    std::unique_ptr<WeinlistenVerwaltung> weine_;
    std::unique_ptr<PreisVerwaltung> preise_;
    std::unique_ptr<PostenVerwaltung> posten_;
    std::unique_ptr<RechnungsVerwaltung> rechnungen_;
    std::unique_ptr<GeoGruppe> geoGruppe_;
    std::unique_ptr<LogBuch> logBuch_;
    std::unique_ptr<Customizer> customizer_;
    std::unique_ptr<MahnungsVerwaltung> mahnungen_;
    std::unique_ptr<KundenVerwaltung> kunden_;
    std::unique_ptr<MerkzettelVerwaltung> merkzettel_;
    Firmendaten firmendaten_;
    Mahntexte mahntexte_;
};
