#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A table of figures as the program shows, prints and saves it: a title, the
// period or filter it covers, columns of a kind, the rows and a sum row. The
// kind of a column says how its numbers are written: German, with "." between
// the thousands and a decimal comma. Texts are Windows-1252.
//
// The list views, the printout, the text and CSV files and the spreadsheet
// all read one table, so that they cannot tell different numbers.
struct Tabelle {
    enum class Art {
        Text,
        // A whole number: "1.234".
        Anzahl,
        // A wine's or a customer's number, without separators: "1935".
        Nummer,
        // Cents: "1.234,56".
        Betrag,
        // A number with one decimal: "2,5".
        Dezimal,
        // A Julian day number: "6.12.2026".
        Datum
    };

    struct Spalte {
        std::string titel;
        Art art = Art::Text;
        // About how many characters wide it is shown.
        int breite = 10;
    };

    // One cell: the text of a text column, the number of the others. A
    // cell without a value shows "–" (a reach that has no end); a blank one
    // shows nothing (a column the sum row does not sum).
    struct Zelle {
        enum class Inhalt { Wert, Strich, Nichts };

        std::string text;
        std::int64_t ganz = 0;
        double dezimal = 0;
        Inhalt inhalt = Inhalt::Wert;

        static Zelle Von(std::string text) { return {std::move(text), 0, 0, Inhalt::Wert}; }
        static Zelle Ganz(std::int64_t wert) { return {{}, wert, 0, Inhalt::Wert}; }
        static Zelle Dezimal(double wert) { return {{}, 0, wert, Inhalt::Wert}; }
        static Zelle Ohne() { return {{}, 0, 0, Inhalt::Strich}; }
        static Zelle Frei() { return {{}, 0, 0, Inhalt::Nichts}; }

        bool HatWert() const { return inhalt == Inhalt::Wert; }
    };

    using Zeile = std::vector<Zelle>;

    std::string titel;
    // "1.1.2026 bis 6.12.2026"; empty when the table covers no period.
    std::string zeitraum;
    std::vector<Spalte> spalten;
    std::vector<Zeile> zeilen;
    // The sum row; empty when the table has none. Its cells are those of
    // the columns (an empty cell where nothing is summed).
    Zeile summe;

    bool Rechtsbuendig(std::size_t spalte) const { return spalten[spalte].art != Art::Text; }

    // A cell as the user reads it.
    std::string Text(const Zeile& zeile, std::size_t spalte) const;
    std::string Text(std::size_t zeile, std::size_t spalte) const {
        return Text(zeilen[zeile], spalte);
    }

    // The title with its period: "Umsatz je Monat, 1.1.2026 bis 6.12.2026".
    std::string Ueberschrift() const;

    // The table as a CSV file, as the program's other exports are written
    // (Windows-1252, CR LF, a heading line): fields separated by ";",
    // numbers with a decimal comma and without thousands separators, so
    // that a spreadsheet reads them as numbers; a field holding ";", a quote
    // or a line break in quotes.
    std::string Csv() const;
    // The table as plain text in aligned columns, the heading first and the
    // sum row under a rule; lines end with `zeilenende`.
    std::string Klartext(const std::string& zeilenende = "\r\n") const;

    // German number formats.
    static std::string Anzahl(std::int64_t wert);
    static std::string Betrag(std::int64_t cent);
    static std::string Dezimal(double wert, int stellen = 1);
    static std::string Datumstext(std::int64_t julian);
    // "–", what an empty cell shows.
    static const std::string& Strich();
};
