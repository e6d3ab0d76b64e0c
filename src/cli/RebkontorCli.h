#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Aufruf;
class Dokumentausgabe;
class Rechnung;
class RechnungsVerwaltung;
class Sicherungsinhalt;
template <typename T>
class GenericList;
struct Verwaltungen;

// rebkontor-cli: the window's exports, invoice PDFs, invoice searches, a
// check of the data directory and a sample data set, for scripts and
// scheduled jobs. What draws PDF pages runs in the sibling program
// rebkontor-cli-pdf, which has the toolkit; the rest starts without it.
// Every command but "beispieldaten", "firmendaten" with options, "datev",
// "mahnungen --vermerken", "sichern" and "wiederherstellen --ja" only reads
// the data, where it lies and beside a running window (see Lesebestand): the
// directory stays byte for byte as it was, and "daten" is never created.
// Those hold the data directory's lock, as the window does; "datev" writes
// only its line in the record of DATEV exports, "sichern" only its backup
// (but nothing may change the data while it copies them).
//
// Messages go to `err`, results to `out`, both in UTF-8; files are written in
// Windows-1252, as the window writes them.
class RebkontorCli {
  public:
    static constexpr int kErfolg = 0;
    static constexpr int kProbleme = 1;
    static constexpr int kFalscherAufruf = 2;
    static constexpr const char* kDaten = "daten";

    // Without an output (null) the commands that write PDF files refuse.
    RebkontorCli(std::ostream& out, std::ostream& err, Dokumentausgabe* ausgabe = nullptr);

    // One command of the tool. A new command is one row of the table
    // (Befehle.cpp) and its handler.
    struct Befehl {
        const char* name;
        // Its entry in the overview: its arguments and what it does (UTF-8;
        // each further line of it after a line break).
        const char* argumente;
        const char* zweck;
        // Its own help, for "NAME --help" (UTF-8).
        const char* hilfe;
        // The options with which it writes PDF pages and so needs the
        // toolkit; only such command lines are handed to rebkontor-cli-pdf.
        std::vector<std::string> mitToolkit;
        int (RebkontorCli::*ausfuehren)(Aufruf& aufruf);
    };
    static const std::vector<Befehl>& Befehle();
    // The overview of the tool: how to call it, the commands, the exit
    // statuses (UTF-8).
    static std::string Uebersicht();

    // Whether the command line asks for PDF pages, which only the sibling
    // program rebkontor-cli-pdf draws; it sees the same arguments.
    static bool BrauchtToolkit(const std::vector<std::string>& argumente);

    // Runs the command line (without the program's name) and returns the
    // exit status: 0 success, 1 problems found or failure, 2 wrong usage.
    // "-C DIR" changes the process's working directory, as make does.
    int Ausfuehren(const std::vector<std::string>& argumente);

  private:
    static const Befehl* Finde(const std::string& name);
    int Flaschenliste(Aufruf& aufruf);
    // "auswertung": the statistics (AuswertungBefehl.cpp).
    int Auswertung(Aufruf& aufruf);
    int Preislisten(Aufruf& aufruf);
    int Adressen(Aufruf& aufruf);
    // "rechnung": the PDF, or the e-invoice.
    int Rechnungsausgabe(Aufruf& aufruf);
    int RechnungAlsPdf(Aufruf& aufruf);
    int Suche(Aufruf& aufruf);
    int Pruefen(Aufruf& aufruf);
    int Beispieldaten(Aufruf& aufruf);
    // E-invoices (ERechnungBefehle.cpp).
    int ERechnungSchreiben(Aufruf& aufruf, const std::optional<std::string>& xrechnung,
                           const std::optional<std::string>& zugferd,
                           const std::optional<std::string>& referenz);
    int Firmendaten(Aufruf& aufruf);
    // The DATEV booking batch (DatevBefehl.cpp).
    int Datev(Aufruf& aufruf);
    // The dunning commands (MahnBefehle.cpp).
    int OffenePostenAusgeben(Aufruf& aufruf);
    int Mahnungen(Aufruf& aufruf);
    // Backups (SicherungBefehle.cpp).
    int Sichern(Aufruf& aufruf);
    int SicherungPruefen(Aufruf& aufruf);
    int Wiederherstellen(Aufruf& aufruf);
    // What a backup holds, three indented lines.
    void Inhalt(const Sicherungsinhalt& inhalt);

    // Refuses an export into the data directory or over anything that is no
    // regular file ("-", standard output, passes), before any data is read.
    static void AusgabePruefen(const std::string& datei);
    // Writes an export's bytes into the file, replacing it, or for "-" to
    // the standard output; raises the message when that fails.
    void Schreiben(const std::string& datei, const std::string& bytes);
    // The invoice the user named: by id (a deleted one too; the caller
    // decides), or else the newest one with that number that is not deleted,
    // kept in `treffer`. Raises the German message when there is none.
    static const Rechnung& RechnungFinden(RechnungsVerwaltung& rechnungen, bool nachId,
                                          std::int64_t wert, GenericList<Rechnung>& treffer);

    // The PDF output; raises when there is none.
    Dokumentausgabe& Ausgabe();
    // Writes a Windows-1252 text and a line end in UTF-8.
    static void Zeile(std::ostream& out, const std::string& text);

    std::ostream& out_;
    std::ostream& err_;
    Dokumentausgabe* ausgabe_;
};
