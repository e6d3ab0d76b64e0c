#include "dialogs/Eingabefelder.h"

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

double Eingabefelder::BetragLesen(const std::string& text) {
    return LenientNumber::ToMoney(text);
}
