#include "model/PreisVerwaltung.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "model/NamensDatei.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/LenientNumber.h"
#include "storage/MessageException.h"

namespace {

constexpr unsigned kAlteSaetze = 999;
constexpr std::size_t kAlterSatz = 11;

std::string ZuVieleListen() {
    return "Mehr als 20 Preislisten dürfen nicht erzeugt werden"_w;
}

}  // namespace

PreisVerwaltung::Preisliste::Preisliste(std::int16_t nummer_, const std::string& name_,
                                        const std::string& dateiName, Zugriff zugriff)
    : nummer(nummer_), preise(dateiName.c_str(), zugriff) {
    FixedText::Set(name, name_);
}

PreisVerwaltung::PreisVerwaltung(const std::string& namensDatei, const std::string& verzeichnis,
                                 Zugriff zugriff)
    : namensDatei_(namensDatei), verzeichnis_(verzeichnis), zugriff_(zugriff) {
    if (zugriff_ == Zugriff::Schreiben) {
        // A replacement a crash interrupted; the names file itself is whole.
        File::RemoveStaleTemp(namensDatei_);
    }
    // Only a missing names file means no price lists; an unreadable one
    // stops the start, or the next list would take the first one's file.
    const Ergebnis<std::string> bytes = File::ReadIfExists(namensDatei_);
    if (!bytes) {
        throw MessageException(Oeffnungsfehler(bytes.Ursache()));
    }
    const NamensDatei::Inhalt inhalt = NamensDatei::Lesen(*bytes);
    // A line end after the 20th name already announces a 21st list.
    if (inhalt.namen.size() > kMaxPreislisten ||
        (inhalt.namen.size() == kMaxPreislisten && inhalt.zeilenendeAmSchluss)) {
        throw MessageException(ZuVieleListen());
    }
    for (const std::string& name : inhalt.namen) {
        listen_[static_cast<std::size_t>(count)] = NeueListe(name);
        ++count;
    }
}

std::unique_ptr<PreisVerwaltung::Preisliste> PreisVerwaltung::NeueListe(
    const std::string& name) const {
    const std::string dateiName = verzeichnis_ + "/" + std::to_string(count) + ".wl";
    return std::make_unique<Preisliste>(static_cast<std::int16_t>(count), name, dateiName,
                                        zugriff_);
}

void PreisVerwaltung::SetPreisliste(int index) {
    if (index < 0 || index >= count) {
        throw MessageException(
            "Der Funktion PreisVerwaltung::SetPreisliste() wurde ein unzulässiger Index "
            "übergeben"_w);
    }
    current_ = index;
}

PreisVerwaltung::Preisliste* PreisVerwaltung::AktuellePreisliste() {
    return GetPreisliste(current_);
}

PreisVerwaltung::Preisliste* PreisVerwaltung::GetPreisliste(int index) {
    if (index < 0 || index >= count) {
        return nullptr;
    }
    return listen_[static_cast<std::size_t>(index)].get();
}

Preis* PreisVerwaltung::GetPreis(std::int32_t weinNummer) {
    Preisliste* liste = AktuellePreisliste();
    if (liste == nullptr) {
        return nullptr;
    }
    for (unsigned i = 0; i < liste->preise.Count(); ++i) {
        if (liste->preise[i].weinNummer == weinNummer) {
            return &liste->preise[i];
        }
    }
    return nullptr;
}

void PreisVerwaltung::AddPreis(const Preis& preis) {
    Preisliste* liste = AktuellePreisliste();
    if (liste == nullptr || GetPreis(preis.weinNummer) != nullptr) {
        return;
    }
    liste->preise.Add(preis);
}

void PreisVerwaltung::FlushPreisliste() {
    if (Preisliste* liste = AktuellePreisliste()) {
        liste->preise.Flush();
    }
}

void PreisVerwaltung::AddPreisliste(const std::string& name) {
    Schreibverbot::Pruefen(zugriff_, namensDatei_, "PreisVerwaltung::AddPreisliste");
    if (count >= kMaxPreislisten) {
        throw MessageException(ZuVieleListen());
    }
    // The price file first: should it fail, the names file does not yet name
    // a list without one.
    std::unique_ptr<Preisliste> liste = NeueListe(name);
    NamensDatei::Anhaengen(namensDatei_, name, "Preisliste");
    listen_[static_cast<std::size_t>(count)] = std::move(liste);
    ++count;
}

const char* PreisVerwaltung::GetPreislisteName(int index) const {
    if (index < 0 || index >= count) {
        return nullptr;
    }
    return listen_[static_cast<std::size_t>(index)]->name;
}

void PreisVerwaltung::ReadPascalFile(const Meldung& meldung) {
    for (int i = 0; i < count; ++i) {
        SetPreisliste(i);
        char dateiName[32];
        std::snprintf(dateiName, sizeof dateiName, "daten_alt/wl-%d", i + 1);
        const Ergebnis<std::string> gelesen = File::ReadIfExists(dateiName);
        if (!gelesen) {
            throw MessageException(std::string("Die alte Preisliste ") + dateiName +
                                   " kann nicht gelesen werden (" + gelesen.Ursache().Grund() +
                                   "). Ihre Preise wurden nicht übernommen."_w);
        }
        const std::string& alt = *gelesen;
        if (File::Exists(dateiName)) {
            // The list gets its old prices in one write, so that a failed
            // write leaves it as it was.
            GenericList<Preis>& preise = listen_[static_cast<std::size_t>(i)]->preise;
            std::vector<Preis> neu;
            for (unsigned k = 0; k < preise.Count(); ++k) {
                neu.push_back(preise[k]);
            }
            const std::size_t vorhanden = neu.size();
            for (unsigned j = 0; j < kAlteSaetze; ++j) {
                const std::size_t offset = static_cast<std::size_t>(j) * kAlterSatz;
                const std::string_view satz = offset < alt.size()
                                                  ? std::string_view(alt).substr(offset, kAlterSatz)
                                                  : std::string_view();
                const bool kurz = satz.size() < kAlterSatz;
                if (kurz && meldung) {
                    meldung("PreisVerwaltung::ReadPascalFile", "Es wurden != 11 Zeichen gelesen");
                }
                if (!satz.empty()) {
                    // Only the characters that are there count, even when the
                    // length byte promises more.
                    const std::size_t laenge =
                        std::min<std::size_t>(static_cast<unsigned char>(satz[0]), satz.size() - 1);
                    const double wert = LenientNumber::ToDouble(satz.substr(1, laenge));
                    const auto wein = static_cast<std::int32_t>(j);
                    // Old prices are only added: a wine with a price keeps it.
                    if (wert > 0 && GetPreis(wein) == nullptr) {
                        neu.emplace_back(wein, static_cast<float>(wert),
                                         static_cast<float>(wert * 0.5));
                    }
                }
                // After a short record the file has nothing more; reading on
                // would only repeat the message and the last price.
                if (kurz) {
                    break;
                }
            }
            if (neu.size() > vorhanden) {
                preise.Assign(neu);
            }
        }
        FlushPreisliste();
    }
}
