#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sicherung/Sicherungsarchiv.h"
#include "sicherung/Sicherungseinstellungen.h"
#include "sicherung/Sicherungsinhalt.h"

// Backups of one data folder: taking them (by hand, at the end of a run, from
// the command line), keeping the newest few, and checking them.
//
// A backup is written to a hidden file beside its target, synced, read back
// and checked member by member against its manifest, and only then renamed
// to its name, which never replaces another backup. So a backup that exists
// under its name is whole; one that failed (a full disk, a removed stick)
// leaves nothing behind. Its name is "rebkontor-sicherung-JJJJ-MM-TT-hhmmss.zip"
// (local time); only files of exactly that pattern are ever removed when old
// ones go, and never the one just written.
//
// The caller holds the data folder's lock and has had the window write what
// it holds in memory. Every failure raises a MessageException whose German
// text names the folder or file and the reason, and ends with what was not
// done.
class Datensicherung {
  public:
    static constexpr const char* kPraefix = "rebkontor-sicherung-";
    static constexpr const char* kEndung = ".zip";

    // The data check of "rebkontor-cli pruefen", run on a restored copy
    // before it replaces the data: one German line per finding.
    using Pruefung = std::function<std::vector<std::string>(const std::string& verzeichnis)>;

    struct Gesichert {
        std::string datei;
        Sicherungsinhalt inhalt;
        // Older backups removed from the folder afterwards (names).
        std::vector<std::string> entfernt;
    };

    explicit Datensicherung(std::string verzeichnis);

    const std::string& Verzeichnis() const { return verzeichnis_; }
    std::string EinstellungsDatei() const;

    // Into `ordner` (created when it is missing and its parent is there),
    // named by the moment; afterwards only the newest `behalten` backups of
    // the pattern stay there (0: none is removed).
    Gesichert InOrdner(const std::string& ordner, std::int64_t jetzt, int behalten) const;
    // Into exactly `datei`; an existing regular file of that name is
    // replaced, anything else is refused.
    Gesichert AlsDatei(const std::string& datei, std::int64_t jetzt) const;

    // The automatic backup at the end of a run, with the folder's settings:
    // nothing when it is switched off or the newest backup in the folder is
    // less than an hour old.
    std::optional<Gesichert> Automatisch(const Sicherungseinstellungen& einstellungen,
                                         std::int64_t jetzt) const;

    // Whether the folder holds any of the program's files with data; an empty
    // one needs no backup before it is replaced.
    bool HatDaten() const;

    // Why no backup can go into `ordner` (German), or empty. A missing
    // folder is fine when its parent is there (it is created).
    std::string OrdnerHindernis(const std::string& ordner) const;

    // The backups in a folder, by name, oldest first.
    static std::vector<std::string> Sicherungen(const std::string& ordner);
    static bool IstSicherungsname(const std::string& name);
    // The name of a backup taken at that moment (local time).
    static std::string Dateiname(std::int64_t zeitpunkt);
    // The moment a backup's name gives; nothing for another name.
    static std::optional<std::int64_t> Zeitpunkt(const std::string& name);

  private:
    // Writes, checks and renames; `ersetzen` lets the final name replace an
    // existing file. Returns the name it got.
    std::string Schreiben(const std::string& ziel, std::int64_t jetzt, bool ersetzen,
                          Sicherungsinhalt& inhalt) const;
    std::vector<std::string> Aufraeumen(const std::string& ordner, const std::string& neu,
                                        int behalten) const;

    std::string verzeichnis_;
};

// Restoring a backup: the archive is checked and unpacked into a fresh folder
// inside the data folder, and the data check runs on that copy; only a sound
// archive gets that far. Zurueckspielen then puts the copy in place in one
// step (Datenersatz); before that, nothing in the data folder has changed,
// and a Wiederherstellung that is dropped removes its copy.
class Wiederherstellung {
  public:
    // Raises a MessageException listing every problem of a damaged archive
    // (German); then nothing is left behind. The caller holds the lock.
    Wiederherstellung(std::string verzeichnis, const std::string& archiv,
                      const Datensicherung::Pruefung& pruefung);
    ~Wiederherstellung();
    Wiederherstellung(const Wiederherstellung&) = delete;
    Wiederherstellung& operator=(const Wiederherstellung&) = delete;

    const Sicherungsinhalt& Inhalt() const { return inhalt_; }
    const std::string& Archiv() const { return archiv_; }
    // What the data check found in the restored data (which are the data as
    // they were backed up, findings and all); empty when nothing.
    const std::vector<std::string>& Befunde() const { return befunde_; }

    // Replaces the data folder's files by the restored ones. Raises the
    // MessageException of Datenersatz::Festschreiben.
    void Zurueckspielen();

    // Checks an archive without a data folder: unpacked into a temporary
    // folder, which goes again. The data check's findings come after the
    // archive's problems, which stop the check before the data.
    static Sicherungsarchiv::Bericht Pruefen(const std::string& archiv,
                                             const Datensicherung::Pruefung& pruefung,
                                             std::vector<std::string>& befunde);

    // The problems of a damaged archive as one message.
    static std::string Ablehnung(const std::string& archiv,
                                 const std::vector<std::string>& probleme);

  private:
    std::string verzeichnis_;
    std::string archiv_;
    std::string ordner_;
    Sicherungsinhalt inhalt_;
    std::vector<std::string> befunde_;
};
