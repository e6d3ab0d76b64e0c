#pragma once

#include <cstdint>
#include <string>

#include "storage/Datum.h"

class Window;

// How the dialogs read and show what stands in their fields: dates in three
// edits (day, month, year), whole numbers with their range, and amounts of
// money.
class Eingabefelder {
  public:
    // The date of the three edits read as whole numbers; an empty field or an
    // impossible date gives the invalid date.
    static Datum DatumLesen(const Window& w, int tag, int monat, int jahr);
    // As DatumLesen, but once a year is typed, a date that does not exist (a
    // day or month left empty included) or that lies after 2099 is refused:
    // false, with the message in `fehler`. An empty year still means no date
    // (the invalid date).
    static bool DatumPruefen(const Window& w, int tag, int monat, int jahr, Datum& datum,
                             std::string& fehler);
    // The three edits as typed, "31.2.2026"; empty when all three are empty.
    static std::string DatumGetippt(const Window& w, int tag, int monat, int jahr);
    // The message for a date typed as `getippt` and read as day, month and
    // year (the year as the dialog means it) that cannot be taken: "Das Datum
    // 31.2.2026 gibt es nicht.", or one for a year after 2099. Empty when the
    // date can be taken.
    static std::string DatumFehler(const std::string& getippt, int tag, int monat, int jahr);
    // The message for an invoice captured on the day `erfasst` and dated
    // more than `grenze` days before it (a year before 1971 counts as no
    // date); empty when it may be dated so.
    static std::string Vordatiert(const Datum& datum, std::uint32_t erfasst, std::int32_t grenze);
    // Day, month and year as "%d" when the year lies from 1971 to 9999;
    // otherwise the three edits are emptied.
    static void DatumZeigen(Window& w, int tag, int monat, int jahr, std::uint32_t julian);
    // Whether a date is shown at all (its year from 1971 to 9999).
    static bool DatumZeigbar(std::uint32_t julian);

    // A whole number read as every field reads it (leading blanks and a sign,
    // then the digits at the front; text that is no number is 0), and whether
    // it lies from `von` to `bis`. A number too long for any field is out of
    // every range rather than cut to one that fits.
    static bool ZahlLesen(const std::string& text, std::int64_t von, std::int64_t bis,
                          std::int64_t& wert);

    // The header numbers of an invoice as typed. Cartons and crates go into
    // 16-bit fields where 32767 marks a deleted invoice, the invoice number
    // into a signed 32-bit field that searches and the command line reach
    // only when it is not negative.
    struct Rechnungskopf {
        std::int16_t kartons = 0;
        std::int16_t steigen = 0;
        std::int32_t nummer = 0;
    };
    // Reads the three; the message for the first that is out of range, empty
    // when all of them fit.
    static std::string RechnungskopfLesen(const std::string& kartons, const std::string& steigen,
                                          const std::string& nummer, Rechnungskopf& kopf);

    // An amount as typed: a decimal comma counts like a point ("12,50" is
    // 12.5), since that is how German users write money.
    static double BetragLesen(const std::string& text);
    // An amount as the fields and lists show it: "%0.2f".
    static std::string BetragText(double betrag);
    // An amount in whole cents, as it is shown ("%0.2f"): amounts are
    // compared in cents, since a total held in single precision is a little
    // off the amount the user reads and types.
    static std::int64_t Cent(double betrag);
};
