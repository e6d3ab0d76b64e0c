#include "dialogs/Eingabefelder.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "model/Rechnung.h"
#include "storage/CodePage.h"
#include "storage/FixedText.h"
#include "storage/LenientNumber.h"
#include "windowing/Window.h"

namespace {

bool Leer(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

Datum Eingabefelder::DatumLesen(const Window& w, int tag, int monat, int jahr) {
    const std::string t = w.Text(tag);
    const std::string m = w.Text(monat);
    const std::string j = w.Text(jahr);
    // An empty year would read as 0, which the date takes for 1900.
    if (Leer(t) || Leer(m) || Leer(j)) {
        return Datum();
    }
    return Datum(LenientNumber::ToInt(t), LenientNumber::ToInt(m), LenientNumber::ToInt(j));
}

bool Eingabefelder::DatumPruefen(const Window& w, int tag, int monat, int jahr, Datum& datum,
                                 std::string& fehler) {
    datum = DatumLesen(w, tag, monat, jahr);
    if (Leer(w.Text(jahr))) {
        return true;
    }
    fehler = DatumFehler(DatumGetippt(w, tag, monat, jahr), LenientNumber::ToInt(w.Text(tag)),
                         LenientNumber::ToInt(w.Text(monat)), LenientNumber::ToInt(w.Text(jahr)));
    return fehler.empty();
}

std::string Eingabefelder::DatumGetippt(const Window& w, int tag, int monat, int jahr) {
    const std::string t = FixedText::Getrimmt(w.Text(tag), " \t");
    const std::string m = FixedText::Getrimmt(w.Text(monat), " \t");
    const std::string j = FixedText::Getrimmt(w.Text(jahr), " \t");
    if (t.empty() && m.empty() && j.empty()) {
        return {};
    }
    return t + "." + m + "." + j;
}

std::string Eingabefelder::DatumFehler(const std::string& getippt, int tag, int monat, int jahr) {
    const Datum datum(tag, monat, jahr);
    if (!datum.IsValid()) {
        return "Das Datum " + getippt + " gibt es nicht.";
    }
    if (datum.Year() > Datum::kLetztesJahr) {
        return "Das Datum " + getippt + " liegt nach dem Jahr " +
               std::to_string(Datum::kLetztesJahr) + ". Bitte geben Sie ein Datum bis zum 31.12." +
               std::to_string(Datum::kLetztesJahr) + " an.";
    }
    return {};
}

std::string Eingabefelder::Vordatiert(const Datum& datum, std::uint32_t erfasst,
                                      std::int32_t grenze) {
    if (!datum.IsValid() || datum.Year() <= 1970 ||
        static_cast<std::int64_t>(erfasst) - static_cast<std::int64_t>(datum.Julian()) <= grenze) {
        return {};
    }
    return "Diese Rechnung wurde am " + Datum(erfasst).Text() +
           " erstellt. Sie haben versucht die Rechnung mehr als " + std::to_string(grenze) +
           " Tage vorzudatieren. Damit ist die Grenze zur Vordatierung überschritten. Wenn dies "
           "ein Problem ist, kann die Grenze in den 'Grundeinstellungen' bel. verändert werden. "
           "WICHTIG: Je größer die Vordatierungsgrenze (in Tagen) gewählt wird, desto langsamer "
           "werden einige Programmfunktionen."_w;
}

bool Eingabefelder::DatumZeigbar(std::uint32_t julian) {
    const Datum datum(julian);
    return datum.IsValid() && datum.Year() > 1970 && datum.Year() <= 9999;
}

void Eingabefelder::DatumZeigen(Window& w, int tag, int monat, int jahr, std::uint32_t julian) {
    const Datum datum(julian);
    const bool zeigen = DatumZeigbar(julian);
    w.SetText(tag, zeigen ? std::to_string(datum.Day()) : std::string());
    w.SetText(monat, zeigen ? std::to_string(datum.Month()) : std::string());
    w.SetText(jahr, zeigen ? std::to_string(datum.Year()) : std::string());
}

bool Eingabefelder::ZahlLesen(const std::string& text, std::int64_t von, std::int64_t bis,
                              std::int64_t& wert) {
    // Beyond this every field's range is left anyway; stopping here keeps
    // the sum from overflowing however many digits were pasted.
    constexpr std::int64_t kSchranke = 1'000'000'000'000;
    static_assert(kSchranke < std::numeric_limits<std::int64_t>::max() / 10 - 9);
    std::size_t i = text.find_first_not_of(" \t");
    bool negativ = false;
    if (i != std::string::npos && (text[i] == '+' || text[i] == '-')) {
        negativ = text[i] == '-';
        ++i;
    }
    std::int64_t zahl = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        zahl = zahl * 10 + (text[i] - '0');
        if (zahl > kSchranke) {
            zahl = kSchranke;
        }
    }
    wert = negativ ? -zahl : zahl;
    return wert >= von && wert <= bis;
}

std::string Eingabefelder::RechnungskopfLesen(const std::string& kartons,
                                              const std::string& steigen, const std::string& nummer,
                                              Rechnungskopf& kopf) {
    constexpr std::int64_t kHoechstens = Rechnung::kGeloescht - 1;
    std::int64_t k = 0;
    std::int64_t s = 0;
    std::int64_t n = 0;
    if (!ZahlLesen(kartons, 0, kHoechstens, k) || !ZahlLesen(steigen, 0, kHoechstens, s)) {
        return "Kartons und Steigen müssen Zahlen von 0 bis "_w + std::to_string(kHoechstens) +
               " sein. Die Rechnung wurde nicht gespeichert.";
    }
    constexpr std::int64_t kGroessteNummer = 2147483647;
    if (!ZahlLesen(nummer, 0, kGroessteNummer, n)) {
        return "Die Rechnungsnummer muss eine Zahl von 0 bis " + std::to_string(kGroessteNummer) +
               " sein. Die Rechnung wurde nicht gespeichert.";
    }
    kopf.kartons = static_cast<std::int16_t>(k);
    kopf.steigen = static_cast<std::int16_t>(s);
    kopf.nummer = static_cast<std::int32_t>(n);
    return {};
}

double Eingabefelder::BetragLesen(const std::string& text) {
    return LenientNumber::ToAmount(text);
}

std::string Eingabefelder::BetragText(double betrag) {
    char text[64];
    std::snprintf(text, sizeof text, "%0.2f", betrag);
    return text;
}

std::int64_t Eingabefelder::Cent(double betrag) {
    // Far beyond any amount a field holds, and still exact in a double.
    constexpr double kSchranke = 1e15;
    if (std::isnan(betrag)) {
        return 0;
    }
    if (betrag > kSchranke) {
        betrag = kSchranke;
    } else if (betrag < -kSchranke) {
        betrag = -kSchranke;
    }
    return std::llround(betrag * 100.0);
}
