#include "documents/Flaschenliste.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "documents/Ausgabeziel.h"
#include "documents/BIFFOut.h"
#include "storage/CodePage.h"
#include "storage/Customizer.h"
#include "storage/Datum.h"

namespace {

constexpr const char* kZeilenende = "\r\n";

std::string Tag(std::int32_t julian) {
    return Datum(static_cast<std::uint32_t>(julian)).Text();
}

}  // namespace

Ergebnis<void> Flaschenliste::Write(RechnungsVerwaltung& rechnungen,
                                    const Customizer& einstellungen, const std::string& fileName,
                                    int format, Auslassung* auslassung) {
    Eintraege eintraege;
    rechnungen.GetFlaschenPosten(eintraege);
    switch (format) {
        case kText:
            return Ausgabeziel::Ersetzen(fileName, Text(fileName, eintraege, einstellungen));
        case kTabelle:
            return Tabelle(fileName, eintraege, einstellungen, auslassung);
        default:
            return {};
    }
}

std::string Flaschenliste::Text(const std::string& fileName, const Eintraege& eintraege,
                                const Customizer& einstellungen) {
    // Each run of entries of one wine is a wine of the list.
    std::vector<std::int16_t> mengen(eintraege.Count());
    std::vector<Wein> weine;
    std::vector<std::size_t> anfaenge;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        mengen[i] = eintraege[i].menge;
        if (i == 0 || eintraege[i].weinNummer != eintraege[i - 1].weinNummer) {
            weine.push_back({eintraege[i].weinNummer, {}});
            anfaenge.push_back(i);
        }
    }
    anfaenge.push_back(mengen.size());
    for (std::size_t w = 0; w < weine.size(); ++w) {
        weine[w].mengen = std::span<const std::int16_t>(mengen.data() + anfaenge[w],
                                                        anfaenge[w + 1] - anfaenge[w]);
    }
    return Text(fileName, weine, einstellungen);
}

std::string Flaschenliste::Text(const std::string& fileName, const std::vector<Wein>& weine,
                                const Customizer& einstellungen) {
    std::string out = "Datei: " + fileName + kZeilenende + kZeilenende;
    if (einstellungen.filterMit2) {
        out += "Flaschenliste für den Zeitraum vom "_w + Tag(einstellungen.filterVon2) +
               " bis zum " + Tag(einstellungen.filterBis2) + kZeilenende + kZeilenende +
               kZeilenende;
    }
    std::size_t anzahl = 0;
    for (const Wein& wein : weine) {
        anzahl += wein.mengen.size();
    }
    // Hundreds of thousands of numbers: written into a buffer that goes to
    // the text in large pieces, not as a string each.
    out.reserve(out.size() + anzahl * 4 + weine.size() * 48 + 256);
    char puffer[64 * 1024];
    char* p = puffer;
    auto platz = [&](std::size_t n) {
        if (static_cast<std::size_t>(puffer + sizeof puffer - p) < n) {
            out.append(puffer, static_cast<std::size_t>(p - puffer));
            p = puffer;
        }
    };
    auto text = [&p](std::string_view t) { p = std::copy(t.begin(), t.end(), p); };
    auto zahl = [&p](int wert) {
        // Bottles are mostly one or two digits, in no order a branch could
        // guess: those without one.
        if (wert >= 0 && wert < 100) {
            const bool zwei = wert >= 10;
            const char einer = static_cast<char>('0' + wert % 10);
            p[0] = zwei ? static_cast<char>('0' + wert / 10) : einer;
            p[1] = einer;
            p += 1 + static_cast<int>(zwei);
        } else {
            p = std::to_chars(p, p + 12, wert).ptr;
        }
    };
    for (const Wein& wein : weine) {
        platz(64);
        text("Wein Nummer (");
        zahl(wein.nummer);
        text("): ");
        int summe = 0;
        // The heading takes the room of five numbers on the first line.
        int zaehler = 5;
        bool ersteInZeile = true;
        for (const std::int16_t menge : wein.mengen) {
            platz(64);
            if (!ersteInZeile) {
                text(", ");
            }
            zahl(menge);
            ersteInZeile = false;
            summe += menge;
            if (++zaehler > 25) {
                zaehler = 0;
                text(",\r\n");
                ersteInZeile = true;
            }
        }
        platz(64);
        text("\r\nSumme: ");
        zahl(summe);
        text("\r\n\r\n");
    }
    out.append(puffer, static_cast<std::size_t>(p - puffer));
    return out;
}

Ergebnis<void> Flaschenliste::Tabelle(const std::string& fileName, const Eintraege& eintraege,
                                      const Customizer& einstellungen, Auslassung* auslassung) {
    BIFFOut out(fileName);
    Auslassung fehlt;
    fehlt.postenGesamt = eintraege.Count();
    out.SetDefColWidth(10);
    out.WriteLabel(0, 0, "Liste verkaufter Flaschen");
    if (einstellungen.filterMit2) {
        out.WriteLabel(1, 0,
                       "Datierung der Rechnungen von " + Tag(einstellungen.filterVon2) + " bis " +
                           Tag(einstellungen.filterBis2));
    }
    int spalte = 0;
    int zeile = 5;
    for (unsigned i = 0; i < eintraege.Count(); ++i) {
        const auto& eintrag = eintraege[i];
        if (i == 0 || eintrag.weinNummer != eintraege[i - 1].weinNummer) {
            if (i != 0) {
                ++spalte;
            }
            ++fehlt.weineGesamt;
            if (spalte >= BIFFOut::kMaxColumns) {
                ++fehlt.weine;
            }
            out.WriteLabel(3, spalte, "Wein " + std::to_string(eintrag.weinNummer));
            zeile = 5;
        }
        if (spalte >= BIFFOut::kMaxColumns || zeile >= BIFFOut::kMaxRows) {
            ++fehlt.posten;
        }
        out.WriteNumber(zeile, spalte, static_cast<double>(eintrag.menge));
        ++zeile;
    }
    if (auslassung != nullptr) {
        *auslassung = fehlt;
    }
    return out.Close();
}

std::string Flaschenliste::AuslassungsText(const Auslassung& a) {
    std::string text = "Die Tabelle ist unvollständig: sie fasst höchstens "_w +
                       std::to_string(BIFFOut::kMaxColumns) + " Weine und je Wein " +
                       std::to_string(BIFFOut::kMaxRows - 5) + " Posten. Es fehlen " +
                       std::to_string(a.posten) + " von " + std::to_string(a.postenGesamt) +
                       " Posten";
    if (a.weine > 0) {
        text += " (darunter alle Posten von " + std::to_string(a.weine) + " der " +
                std::to_string(a.weineGesamt) + " Weine)";
    }
    return text + ". Die Flaschenliste als Textdatei enthält alle Posten."_w;
}
