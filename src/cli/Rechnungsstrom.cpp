#include "cli/Rechnungsstrom.h"

#include <algorithm>
#include <utility>

#include "storage/MessageException.h"
#include "storage/Oeffnungsfehler.h"

namespace Rechnungsstrom {

File Oeffnen(const std::string& pfad) {
    Ergebnis<File> datei = File::OpenReadOnly(pfad);
    if (!datei) {
        if (datei.Ursache().Fehlt()) {
            return File();
        }
        throw MessageException(Oeffnungsfehler(datei.Ursache()));
    }
    return std::move(*datei);
}

std::int64_t Saetze(const File& datei, std::size_t groesse) {
    if (!datei.IsOpen()) {
        return 0;
    }
    const Ergebnis<std::int64_t> laenge = datei.Size();
    if (!laenge) {
        throw MessageException(Oeffnungsfehler(laenge.Ursache()));
    }
    return *laenge / static_cast<std::int64_t>(groesse);
}

void JederSatz(const File& datei, std::size_t groesse,
               const std::function<void(std::uint32_t, std::string_view)>& f) {
    if (!datei.IsOpen()) {
        return;
    }
    // Pieces of whole records, so that a record lies across two pieces only
    // where a read returned less than asked.
    std::string rest;
    std::uint32_t position = 0;
    const Ergebnis<void> gelesen = datei.ReadPieces(
        std::max<std::size_t>(kStueck / groesse, 1) * groesse, [&](std::string_view stueck) {
            if (!rest.empty()) {
                const std::size_t fehlt = groesse - rest.size();
                rest.append(stueck.substr(0, fehlt));
                stueck.remove_prefix(std::min(fehlt, stueck.size()));
                if (rest.size() == groesse) {
                    f(position++, rest);
                    rest.clear();
                }
            }
            while (stueck.size() >= groesse) {
                f(position++, stueck.substr(0, groesse));
                stueck.remove_prefix(groesse);
            }
            rest.append(stueck);
        });
    if (!gelesen) {
        throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
    }
}

void Lesen(const File& datei, std::int64_t offset, char* bild, std::size_t groesse) {
    const Ergebnis<std::size_t> gelesen = datei.ReadAt(offset, bild, groesse);
    if (!gelesen) {
        throw MessageException(Oeffnungsfehler(gelesen.Ursache()));
    }
    if (*gelesen < groesse) {
        throw MessageException(
            Oeffnungsfehler(Fehler(Fehler::Vorgang::Lesen, datei.Path(), Fehler::kVerkuerzt)));
    }
}

}  // namespace Rechnungsstrom

Kettenlauf::Kettenlauf(const File& posten, std::int32_t anzahl)
    : posten_(posten), anzahl_(anzahl) {}

void Kettenlauf::Reservieren(std::size_t ketten) {
    ziel_.reserve(ketten);
    weiter_.reserve(ketten);
}

void Kettenlauf::Anmelden(std::int32_t kopf) {
    ziel_.push_back(kopf >= 0 && kopf < anzahl_ ? kopf : -1);
    weiter_.push_back(kKeiner);
}

void Kettenlauf::Vorbereiten(std::size_t block, std::int32_t anfang, std::int32_t ende) {
    if (!puffer_) {
        puffer_.reset(new char[Rechnungsstrom::kStueck]);
        eimer_.resize(static_cast<std::size_t>(kBlock));
    }
    Rechnungsstrom::Lesen(posten_, std::int64_t{anfang} * std::int64_t{kPosten}, puffer_.get(),
                          static_cast<std::size_t>(ende - anfang) * kPosten);
    std::fill(eimer_.begin(), eimer_.end(), kKeiner);
    for (std::uint32_t platz = blockListe_[block]; platz != kKeiner;) {
        const std::uint32_t folgend = weiter_[platz];
        const auto stelle = static_cast<std::size_t>(ziel_[platz] - anfang);
        weiter_[platz] = eimer_[stelle];
        eimer_[stelle] = platz;
        platz = folgend;
    }
    blockListe_[block] = kKeiner;
}
