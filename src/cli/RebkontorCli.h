#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Aufruf;
class Rechnung;
class RechnungsVerwaltung;
template <typename T>
class GenericList;
struct Verwaltungen;

// rebkontor-cli: the window's exports, invoice PDFs, invoice searches, a
// check of the data directory and a sample data set, for scripts and
// scheduled jobs. Every command but "beispieldaten" only reads the data, where
// it lies and beside a running window (see Lesebestand): the directory stays
// byte for byte as it was, and "daten" is never created. "beispieldaten"
// holds the data directory's lock, as the window does.
//
// Messages go to `err`, results to `out`, both in UTF-8; files are written in
// Windows-1252, as the window writes them.
class RebkontorCli {
  public:
    static constexpr int kErfolg = 0;
    static constexpr int kProbleme = 1;
    static constexpr int kFalscherAufruf = 2;
    static constexpr const char* kDaten = "daten";

    // Writes the chosen documents of the invoice as one PDF file; false when
    // it could not be written. Supplied by the program, which has the
    // toolkit for it; without one the command "rechnung" refuses.
    using PdfAusgabe = std::function<bool(const std::string& datei, Verwaltungen& verwaltungen,
                                          const Rechnung& rechnung, bool packliste,
                                          bool kundenRechnung, bool interneRechnung)>;

    // Writes the customer invoice as a ZUGFeRD PDF carrying `xml`; false,
    // with a German reason, when it could not. Supplied like PdfAusgabe.
    using ZugferdAusgabe =
        std::function<bool(const std::string& datei, Verwaltungen& verwaltungen,
                           const Rechnung& rechnung, const std::string& xml, std::string& fehler)>;

    RebkontorCli(std::ostream& out, std::ostream& err);

    void SetPdfAusgabe(PdfAusgabe ausgabe) { pdf_ = std::move(ausgabe); }
    void SetZugferdAusgabe(ZugferdAusgabe ausgabe) { zugferd_ = std::move(ausgabe); }

    // Runs the command line (without the program's name) and returns the
    // exit status: 0 success, 1 problems found or failure, 2 wrong usage.
    // "-C DIR" changes the process's working directory, as make does.
    int Ausfuehren(const std::vector<std::string>& argumente);

  private:
    int Befehl(Aufruf& aufruf);
    int Flaschenliste(Aufruf& aufruf);
    int Preislisten(Aufruf& aufruf);
    int Adressen(Aufruf& aufruf);
    int RechnungAlsPdf(Aufruf& aufruf);
    int Suche(Aufruf& aufruf);
    int Pruefen(Aufruf& aufruf);
    int Beispieldaten(Aufruf& aufruf);
    // E-invoices (ERechnungBefehle.cpp).
    int ERechnungSchreiben(Aufruf& aufruf, const std::optional<std::string>& xrechnung,
                           const std::optional<std::string>& zugferd,
                           const std::optional<std::string>& referenz);
    int Firmendaten(Aufruf& aufruf);

    // Refuses an export into the data directory or over anything that is no
    // regular file ("-", standard output, passes), before any data is read.
    static void AusgabePruefen(const std::string& datei);
    // The invoice the user named: by id (a deleted one too; the caller
    // decides), or else the newest one with that number that is not deleted,
    // kept in `treffer`. Raises the German message when there is none.
    static const Rechnung& RechnungFinden(RechnungsVerwaltung& rechnungen, bool nachId,
                                          std::int64_t wert, GenericList<Rechnung>& treffer);

    // Writes a Windows-1252 text and a line end in UTF-8.
    static void Zeile(std::ostream& out, const std::string& text);
    static void Text(std::ostream& out, const std::string& text);

    std::ostream& out_;
    std::ostream& err_;
    PdfAusgabe pdf_;
    ZugferdAusgabe zugferd_;
};
