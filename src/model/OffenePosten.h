#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/Datum.h"

class Customizer;
class Firmendaten;
class LogBuch;
class MahnungsVerwaltung;
class Mahntexte;
class RechnungsVerwaltung;
struct Rechnungsbetrag;

// One invoice that is still to be paid, on a key date.
struct OffenerPosten {
    std::int32_t id = 0;
    std::int32_t nummer = 0;
    std::int32_t kunde = 0;
    // The date that counts for the invoice (its own, or its capture date)
    // and the day its payment is due.
    Datum datum;
    Datum faellig;
    // Days from the due date to the key date; 0 or less when not overdue.
    std::int32_t tageUeberfaellig = 0;
    // Cents, as the printed invoice shows them.
    std::int64_t endbetrag = 0;
    std::int64_t eingegangen = 0;
    std::int64_t offen = 0;
    // The reminder level reached (0 to 3) and the day of the last reminder.
    std::int32_t stufe = 0;
    Datum letzteMahnung;
    // Whether the next reminder is due on the key date: overdue and never
    // reminded, or reminded at a level below 3 at least the configured
    // number of days ago.
    bool vorgeschlagen = false;

    // The level its next reminder has (1 to 3).
    std::int32_t NaechsteStufe() const;
};

class OffenePosten {
  public:
    // The day an invoice is due: the date that counts for it plus the
    // payment term. An invoice without any valid date has none.
    static Datum Faelligkeit(const Rechnungsbetrag& betrag, int zahlungszielTage);

    // The invoices that are neither deleted nor marked paid and whose open
    // amount is positive, on the key date, those due first (then by invoice
    // number). With `nurUeberfaellig` only those whose due date has passed.
    // Without a dunning file (null) every invoice stands at level 0.
    static std::vector<OffenerPosten> Ermitteln(RechnungsVerwaltung& rechnungen,
                                                const Customizer* einstellungen,
                                                const Firmendaten& firma,
                                                const MahnungsVerwaltung* mahnungen,
                                                const Mahntexte& texte, Datum stichtag,
                                                bool nurUeberfaellig);
};

// The reminders of one run: one letter per customer for that customer's
// chosen invoices, each at its next level.
struct Mahnbrief {
    std::int32_t kunde = 0;
    // The highest of the invoices' next levels, which titles the letter and
    // sets its fee.
    std::int32_t stufe = 1;
    std::vector<OffenerPosten> posten;
    std::int64_t offen = 0;    // cents, the sum of the open amounts
    std::int64_t gebuehr = 0;  // cents
    std::int64_t Gesamt() const { return offen + gebuehr; }
    // The earliest due date among the invoices.
    Datum Faelligkeit() const;
    // "Mahnung 1001, 1004": the remittance text of the payment code.
    std::string Verwendungszweck() const;

    // Groups the chosen invoices by customer, in the order their customers
    // first appear.
    static std::vector<Mahnbrief> Bilden(const std::vector<OffenerPosten>& gewaehlt,
                                         const Mahntexte& texte);
    // Records for every invoice of the letters its next level and the day,
    // one invoice after the other, each with its log-book line first.
    // Raises the MessageException of the first that cannot be written; the
    // invoices before it keep their new level.
    static void Vermerken(const std::vector<Mahnbrief>& briefe, MahnungsVerwaltung& mahnungen,
                          LogBuch* logBuch, Datum datum);
};
