#include "storage/Satzdatei.h"

#include <algorithm>
#include <cstring>

Ergebnis<Satzdatei> Satzdatei::Oeffnen(const std::string& pfad, std::size_t satzGroesse,
                                       std::size_t stuecke) {
    Satzdatei datei;
    datei.pfad_ = pfad;
    datei.satz_ = std::max<std::size_t>(satzGroesse, 1);
    datei.jeStueck_ = std::max<std::uint64_t>(kStueck / datei.satz_, 1);
    datei.hoechstens_ = std::max<std::size_t>(stuecke, 1);
    Ergebnis<File> offen = File::OpenReadOnly(pfad);
    if (!offen) {
        if (offen.Ursache().Fehlt()) {
            return datei;
        }
        return offen.Ursache();
    }
    const Ergebnis<std::int64_t> laenge = offen->Size();
    if (!laenge) {
        return laenge.Ursache();
    }
    datei.datei_ = std::move(*offen);
    const auto bytes = static_cast<std::uint64_t>(*laenge);
    datei.anzahl_ = bytes / datei.satz_;
    datei.rest_ = static_cast<std::size_t>(bytes % datei.satz_);
    return datei;
}

int Satzdatei::Platz(std::uint64_t stueck) const {
    for (std::size_t s = 0; s < stuecke_.size(); ++s) {
        if (stuecke_[s].nummer == stueck && stuecke_[s].daten) {
            return static_cast<int>(s);
        }
    }
    return -1;
}

Ergebnis<std::string_view> Satzdatei::Laden(std::uint64_t i) {
    if (i >= anzahl_) {
        // Only a caller's fault; the record is simply not there.
        return Fehler(Fehler::Vorgang::Lesen, pfad_, Fehler::kVerkuerzt);
    }
    const std::uint64_t nummer = i / jeStueck_;
    int platz = Platz(nummer);
    if (platz < 0) {
        if (stuecke_.size() < hoechstens_) {
            stuecke_.emplace_back();
            platz = static_cast<int>(stuecke_.size() - 1);
        } else {
            // The piece used longest ago makes room; its buffer is reused,
            // so that reading a big file costs no new memory per piece.
            platz = static_cast<int>(std::min_element(stuecke_.begin(), stuecke_.end(),
                                                      [](const Stueck& a, const Stueck& b) {
                                                          return a.benutzt < b.benutzt;
                                                      }) -
                                     stuecke_.begin());
        }
        Stueck& stueck = stuecke_[static_cast<std::size_t>(platz)];
        if (!stueck.daten) {
            // Not zero-filled: the read fills what is used.
            stueck.daten.reset(new char[jeStueck_ * satz_]);
        }
        if (zuletzt_ == stueck.nummer) {
            zuletzt_ = UINT64_MAX;
        }
        stueck.laenge = 0;
        stueck.nummer = UINT64_MAX;
        const std::uint64_t erster = nummer * jeStueck_;
        const std::size_t laenge =
            static_cast<std::size_t>(std::min(jeStueck_, anzahl_ - erster) * satz_);
        if (!datei_.IsOpen()) {
            // Missing when opened; the owner has written it since.
            Ergebnis<File> offen = File::OpenReadOnly(pfad_);
            if (!offen) {
                return offen.Ursache();
            }
            datei_ = std::move(*offen);
        }
        const Ergebnis<std::size_t> gelesen =
            datei_.ReadAt(static_cast<std::int64_t>(erster * satz_), stueck.daten.get(), laenge);
        if (!gelesen) {
            return gelesen.Ursache();
        }
        if (*gelesen < laenge) {
            return Fehler(Fehler::Vorgang::Lesen, pfad_, Fehler::kVerkuerzt);
        }
        ++gelesen_;
        stueck.nummer = nummer;
        stueck.laenge = laenge;
    }
    Stueck& stueck = stuecke_[static_cast<std::size_t>(platz)];
    stueck.benutzt = ++uhr_;
    zuletzt_ = nummer;
    letzter_ = stueck.daten.get();
    return std::string_view(letzter_ + (i - nummer * jeStueck_) * satz_, satz_);
}

void Satzdatei::Geschrieben(std::uint64_t i, std::string_view bild) {
    if (i > anzahl_ || bild.size() != satz_) {
        return;
    }
    const std::uint64_t nummer = i / jeStueck_;
    const int platz = Platz(nummer);
    if (platz >= 0) {
        Stueck& stueck = stuecke_[static_cast<std::size_t>(platz)];
        const std::size_t offset = static_cast<std::size_t>((i - nummer * jeStueck_) * satz_);
        std::memcpy(stueck.daten.get() + offset, bild.data(), satz_);
        stueck.laenge = std::max(stueck.laenge, offset + satz_);
    }
    if (i == anzahl_) {
        ++anzahl_;
        // Written over whatever stray bytes followed the last whole record.
        rest_ = 0;
    }
}

void Satzdatei::Gekuerzt(std::uint64_t n) {
    if (n >= anzahl_) {
        rest_ = 0;
        return;
    }
    anzahl_ = n;
    rest_ = 0;
    for (Stueck& stueck : stuecke_) {
        const std::uint64_t erster = stueck.nummer * jeStueck_;
        if (stueck.nummer == UINT64_MAX || erster + stueck.laenge / satz_ <= n) {
            continue;
        }
        if (erster >= n) {
            stueck.nummer = UINT64_MAX;
            stueck.laenge = 0;
        } else {
            stueck.laenge = static_cast<std::size_t>((n - erster) * satz_);
        }
    }
    zuletzt_ = UINT64_MAX;
}
