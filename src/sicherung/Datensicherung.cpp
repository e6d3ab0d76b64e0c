#include "sicherung/Datensicherung.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "model/DatenDateien.h"
#include "model/Datenersatz.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

// "rebkontor-sicherung-" "2026-12-07-170000" ".zip"
constexpr std::size_t kZeitLaenge = 17;

// Hidden temporary files of backups that a killed program left are removed
// once they are this old; a younger one may belong to a backup under way.
constexpr std::int64_t kResteAlter = 24 * 3600;

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

std::string Ordner(const std::string& pfad) {
    const std::size_t slash = pfad.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : pfad.substr(0, slash);
}

std::string Name(const std::string& pfad) {
    const std::size_t slash = pfad.find_last_of('/');
    return slash == std::string::npos ? pfad : pfad.substr(slash + 1);
}

std::string OhneSchraegstrich(std::string pfad) {
    while (pfad.size() > 1 && pfad.back() == '/') {
        pfad.pop_back();
    }
    return pfad;
}

const std::string kImDatenverzeichnis =
    " liegt im Datenverzeichnis. Eine Sicherung gehört an einen anderen Ort, am "
    "besten auf einen anderen Datenträger."_w;

bool Innerhalb(const std::string& pfad, const std::string& ordner) {
    return !pfad.empty() && !ordner.empty() &&
           (pfad == ordner || pfad.rfind(ordner == "/" ? ordner : ordner + "/", 0) == 0);
}

// Each message says at its end what did not happen, so that nobody looks
// for a backup that is not there.
std::string NichtAngelegt() {
    return " Es wurde keine Sicherung angelegt; die Daten sind unverändert."_w;
}

// Replaces the temporary folder's name in the data check's lines by the data
// folder's, as the lines will read once the data are in place.
std::vector<std::string> Umbenannt(std::vector<std::string> zeilen, const std::string& von,
                                   const std::string& nach) {
    const std::string alt = CodePage::Utf8ToCp1252(von);
    const std::string neu = CodePage::Utf8ToCp1252(nach);
    for (std::string& zeile : zeilen) {
        for (std::size_t p = zeile.find(alt); p != std::string::npos;
             p = zeile.find(alt, p + neu.size())) {
            zeile.replace(p, alt.size(), neu);
        }
    }
    return zeilen;
}

}  // namespace

Datensicherung::Datensicherung(std::string verzeichnis) : verzeichnis_(std::move(verzeichnis)) {}

std::string Datensicherung::EinstellungsDatei() const {
    return verzeichnis_ + "/" + DatenDateien::kSicherungseinstellungen;
}

bool Datensicherung::IstSicherungsname(const std::string& name) {
    const std::string praefix = kPraefix;
    if (name.size() != praefix.size() + kZeitLaenge + 4 || name.rfind(praefix, 0) != 0 ||
        name.substr(name.size() - 4) != kEndung) {
        return false;
    }
    // JJJJ-MM-TT-hhmmss
    const std::string zeit = name.substr(praefix.size(), kZeitLaenge);
    for (std::size_t i = 0; i < zeit.size(); ++i) {
        const bool strich = i == 4 || i == 7 || i == 10;
        if (strich ? zeit[i] != '-' : (zeit[i] < '0' || zeit[i] > '9')) {
            return false;
        }
    }
    return true;
}

std::string Datensicherung::Dateiname(std::int64_t zeitpunkt) {
    const std::time_t t = static_cast<std::time_t>(zeitpunkt);
    std::tm lokal{};
    localtime_r(&t, &lokal);
    char zeit[80];
    std::snprintf(zeit, sizeof zeit, "%04d-%02d-%02d-%02d%02d%02d", lokal.tm_year + 1900,
                  lokal.tm_mon + 1, lokal.tm_mday, lokal.tm_hour, lokal.tm_min, lokal.tm_sec);
    return std::string(kPraefix) + zeit + kEndung;
}

std::optional<std::int64_t> Datensicherung::Zeitpunkt(const std::string& name) {
    if (!IstSicherungsname(name)) {
        return std::nullopt;
    }
    const std::string zeit = name.substr(std::string(kPraefix).size(), kZeitLaenge);
    std::tm lokal{};
    lokal.tm_year = std::atoi(zeit.substr(0, 4).c_str()) - 1900;
    lokal.tm_mon = std::atoi(zeit.substr(5, 2).c_str()) - 1;
    lokal.tm_mday = std::atoi(zeit.substr(8, 2).c_str());
    lokal.tm_hour = std::atoi(zeit.substr(11, 2).c_str());
    lokal.tm_min = std::atoi(zeit.substr(13, 2).c_str());
    lokal.tm_sec = std::atoi(zeit.substr(15, 2).c_str());
    lokal.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&lokal));
}

std::vector<std::string> Datensicherung::Sicherungen(const std::string& ordner) {
    std::vector<std::string> namen;
    for (const std::string& name : File::List(ordner).WertOder({})) {
        if (!IstSicherungsname(name)) {
            continue;
        }
        // A link or folder of that name is nothing the program wrote.
        const Ergebnis<File::Entry> eintrag = File::Stat(ordner + "/" + name);
        if (eintrag && eintrag->kind == File::Kind::Regular) {
            namen.push_back(name);
        }
    }
    return namen;
}

bool Datensicherung::HatDaten() const {
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        const Ergebnis<File::Entry> eintrag = File::Stat(verzeichnis_ + "/" + datei.name);
        if (eintrag && eintrag->size > 0) {
            return true;
        }
    }
    return false;
}

std::string Datensicherung::OrdnerHindernis(const std::string& roh) const {
    if (roh.empty()) {
        return "Es ist kein Sicherungsordner angegeben.";
    }
    const std::string ordner = OhneSchraegstrich(roh);
    const std::string name = "Der Sicherungsordner " + Anzeige(ordner);
    const Ergebnis<File::Entry> eintrag = File::Stat(ordner);
    if (!eintrag) {
        if (eintrag.Ursache().Nummer() != ENOENT) {
            return name + " ist nicht erreichbar (" + eintrag.Ursache().Grund() + ").";
        }
        const std::string eltern = Ordner(ordner);
        const Ergebnis<File::Entry> oben = File::Stat(eltern, true);
        if (!oben || oben->kind != File::Kind::Directory) {
            return "Den Sicherungsordner " + Anzeige(ordner) +
                   " gibt es nicht, und er kann nicht angelegt werden, weil es den Ordner " +
                   Anzeige(eltern) +
                   " nicht gibt. Ist der USB-Stick oder das Netzlaufwerk angeschlossen?";
        }
        if (Innerhalb(File::Resolve(eltern), File::Resolve(verzeichnis_))) {
            return name + kImDatenverzeichnis;
        }
        return "";
    }
    switch (eintrag->kind) {
        case File::Kind::Directory:
            break;
        case File::Kind::Link: {
            const std::string ziel = File::Resolve(ordner);
            return name + " ist eine symbolische Verknüpfung"_w +
                   (ziel.empty() ? " auf etwas, das es nicht gibt" : " auf " + Anzeige(ziel)) +
                   ". Bitte geben Sie den Ordner selbst an, damit die Sicherungen nicht "
                   "unbemerkt an einem anderen Ort landen."_w;
        }
        default:
            return name + " ist kein Ordner, sondern eine Datei.";
    }
    const std::string daten = File::Resolve(verzeichnis_);
    if (Innerhalb(File::Resolve(ordner), daten)) {
        return name + kImDatenverzeichnis;
    }
    return "";
}

std::string Datensicherung::Schreiben(const std::string& ziel, std::int64_t jetzt, bool ersetzen,
                                      Sicherungsinhalt& inhalt) const {
    Ergebnis<File> temp = File::CreateBeside(ziel);
    if (!temp) {
        throw MessageException("Im Ordner " + Anzeige(Ordner(ziel)) +
                                   " kann keine Datei angelegt werden (" + temp.Ursache().Grund() +
                                   ").",
                               temp.Ursache());
    }
    const std::string tempPfad = temp->Path();
    try {
        inhalt = Sicherungsarchiv::Schreiben(verzeichnis_, *temp, jetzt);
        if (const Ergebnis<void> s = temp->Sync(); !s) {
            throw MessageException("Die Sicherungsdatei " + Anzeige(tempPfad) +
                                       " kann nicht gespeichert werden (" + s.Ursache().Grund() +
                                       ").",
                                   s.Ursache());
        }
        temp->Close();
        // What lies on the disk, read back as a restore would read it.
        const Sicherungsarchiv::Bericht bericht = Sicherungsarchiv::Pruefen(tempPfad);
        if (!bericht.probleme.empty() || !bericht.inhalt ||
            bericht.inhalt->Text() != inhalt.Text()) {
            throw MessageException(
                "Die geschriebene Sicherungsdatei ließ sich nicht fehlerfrei zurücklesen ("_w +
                (bericht.probleme.empty() ? std::string("ihr Inhalt weicht ab")
                                          : bericht.probleme.front()) +
                ").");
        }
        std::string name = ziel;
        if (ersetzen) {
            if (const Ergebnis<void> r = File::Rename(tempPfad, name); !r) {
                throw MessageException("Die Sicherungsdatei " + Anzeige(name) +
                                           " kann nicht angelegt werden (" + r.Ursache().Grund() +
                                           ").",
                                       r.Ursache());
            }
        } else {
            // Never over another backup: one taken in the same second gets
            // the name of the next free second.
            for (int versuch = 1;; ++versuch) {
                const Ergebnis<void> r = File::RenameNoReplace(tempPfad, name);
                if (r) {
                    break;
                }
                if (r.Ursache().Nummer() != EEXIST || versuch > 60) {
                    throw MessageException("Die Sicherungsdatei " + Anzeige(name) +
                                               " kann nicht angelegt werden (" +
                                               r.Ursache().Grund() + ").",
                                           r.Ursache());
                }
                name = Ordner(ziel) + "/" + Dateiname(jetzt + versuch);
            }
        }
        // The name survives a power cut; should the sync fail, the file is
        // whole all the same.
        (void)File::SyncPath(Ordner(name));
        return name;
    } catch (...) {
        File::Remove(tempPfad);
        throw;
    }
}

std::vector<std::string> Datensicherung::Aufraeumen(const std::string& ordner,
                                                    const std::string& neu, int behalten) const {
    std::vector<std::string> entfernt;
    if (behalten <= 0) {
        return entfernt;
    }
    std::vector<std::string> alte;
    for (const std::string& name : Sicherungen(ordner)) {
        if (name != neu) {
            alte.push_back(name);
        }
    }
    // The new one counts among those kept, wherever its name sorts.
    const std::size_t bleiben = static_cast<std::size_t>(behalten - 1);
    if (alte.size() > bleiben) {
        alte.resize(alte.size() - bleiben);
        for (const std::string& name : alte) {
            if (File::Unlink(ordner + "/" + name)) {
                entfernt.push_back(name);
            }
        }
    }
    return entfernt;
}

Datensicherung::Gesichert Datensicherung::InOrdner(const std::string& roh, std::int64_t jetzt,
                                                   int behalten) const {
    const std::string ordner = OhneSchraegstrich(roh);
    const std::string anfang =
        "Die Datensicherung in den Ordner " + Anzeige(ordner) + " ist nicht gelungen. ";
    const std::string hindernis = OrdnerHindernis(ordner);
    if (!hindernis.empty()) {
        throw MessageException(anfang + hindernis + NichtAngelegt());
    }
    if (!File::Stat(ordner)) {
        if (const Ergebnis<void> r = File::MakeDirectory(ordner); !r) {
            throw MessageException(anfang + "Er kann nicht angelegt werden (" +
                                       r.Ursache().Grund() + ")." + NichtAngelegt(),
                                   r.Ursache());
        }
    }
    Gesichert gesichert;
    try {
        gesichert.datei =
            Schreiben(ordner + "/" + Dateiname(jetzt), jetzt, false, gesichert.inhalt);
    } catch (const MessageException& fehler) {
        throw MessageException(anfang + fehler.Text() + NichtAngelegt(), fehler.Ursache());
    }
    gesichert.entfernt = Aufraeumen(ordner, Name(gesichert.datei), behalten);
    // Temporary files of backups a killed program left behind.
    for (const std::string& name : File::List(ordner).WertOder({})) {
        const std::string praefix = std::string(".") + kPraefix;
        if (name.rfind(praefix, 0) != 0 ||
            name.find(std::string(kEndung) + ".") == std::string::npos) {
            continue;
        }
        const Ergebnis<File::Entry> eintrag = File::Stat(ordner + "/" + name);
        if (eintrag && eintrag->kind == File::Kind::Regular &&
            eintrag->modified + kResteAlter < jetzt) {
            (void)File::Unlink(ordner + "/" + name);
        }
    }
    return gesichert;
}

Datensicherung::Gesichert Datensicherung::AlsDatei(const std::string& datei,
                                                   std::int64_t jetzt) const {
    const std::string anfang =
        "Die Datensicherung in die Datei " + Anzeige(datei) + " ist nicht gelungen. ";
    if (const Ergebnis<File::Entry> eintrag = File::Stat(datei);
        eintrag && eintrag->kind != File::Kind::Regular) {
        throw MessageException(anfang +
                               "Es gibt sie schon, und sie ist keine gewöhnliche Datei; "
                               "sie wird nicht ersetzt."_w +
                               NichtAngelegt());
    }
    const Ergebnis<File::Entry> ordner = File::Stat(Ordner(datei), true);
    if (!ordner || ordner->kind != File::Kind::Directory) {
        throw MessageException(anfang + "Den Ordner " + Anzeige(Ordner(datei)) + " gibt es nicht." +
                               NichtAngelegt());
    }
    if (Innerhalb(File::Resolve(Ordner(datei)), File::Resolve(verzeichnis_))) {
        throw MessageException(anfang +
                               "Sie läge im Datenverzeichnis; eine Sicherung gehört an einen "
                               "anderen Ort, am besten auf einen anderen Datenträger."_w +
                               NichtAngelegt());
    }
    Gesichert gesichert;
    try {
        gesichert.datei = Schreiben(datei, jetzt, true, gesichert.inhalt);
    } catch (const MessageException& fehler) {
        throw MessageException(anfang + fehler.Text() + NichtAngelegt(), fehler.Ursache());
    }
    return gesichert;
}

std::optional<Datensicherung::Gesichert> Datensicherung::Automatisch(
    const Sicherungseinstellungen& einstellungen, std::int64_t jetzt) const {
    if (!einstellungen.automatisch) {
        return std::nullopt;
    }
    const std::string ordner = einstellungen.Pfad();
    for (const std::string& name : Sicherungen(ordner)) {
        const std::optional<std::int64_t> zeit = Zeitpunkt(name);
        if (zeit && *zeit <= jetzt && jetzt - *zeit < Sicherungseinstellungen::kAbstand) {
            return std::nullopt;
        }
    }
    return InOrdner(ordner, jetzt, einstellungen.behalten);
}

// ------------------------------------------------------------ restore --

Wiederherstellung::Wiederherstellung(std::string verzeichnis, const std::string& archiv,
                                     const Datensicherung::Pruefung& pruefung)
    : verzeichnis_(std::move(verzeichnis)), archiv_(archiv) {
    const Ergebnis<std::string> ordner = Datenersatz::NeuerOrdner(verzeichnis_);
    if (!ordner) {
        throw MessageException(
            "Im Datenverzeichnis " + Anzeige(verzeichnis_) +
                " kann kein Ordner zum Auspacken der Sicherung angelegt werden (" +
                ordner.Ursache().Grund() + "). Es wurde nichts verändert."_w,
            ordner.Ursache());
    }
    ordner_ = *ordner;
    try {
        Sicherungsarchiv::Bericht bericht;
        try {
            bericht = Sicherungsarchiv::Pruefen(archiv, ordner_);
        } catch (const MessageException& fehler) {
            throw MessageException("Die Datensicherung " + Anzeige(archiv) +
                                       " kann nicht ausgepackt werden: " + fehler.Text() +
                                       " Es wurde nichts verändert."_w,
                                   fehler.Ursache());
        }
        if (!bericht.Gut()) {
            throw MessageException(Ablehnung(archiv, bericht.probleme));
        }
        inhalt_ = *bericht.inhalt;
        if (pruefung) {
            befunde_ = Umbenannt(pruefung(ordner_), ordner_, verzeichnis_);
        }
    } catch (...) {
        File::Remove(ordner_);
        throw;
    }
}

Wiederherstellung::~Wiederherstellung() {
    if (!ordner_.empty()) {
        File::Remove(ordner_);
    }
}

void Wiederherstellung::Zurueckspielen() {
    const std::string ordner = std::exchange(ordner_, std::string());
    Datenersatz::Festschreiben(verzeichnis_, ordner);
}

Sicherungsarchiv::Bericht Wiederherstellung::Pruefen(const std::string& archiv,
                                                     const Datensicherung::Pruefung& pruefung,
                                                     std::vector<std::string>& befunde) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string basis = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
    const Ergebnis<std::string> ordner = File::CreateTempDirectory(basis + "/rebkontor-pruefung-");
    if (!ordner) {
        throw MessageException(
            "Im Ordner " + Anzeige(basis) +
                " kann kein Ordner zum Auspacken der Sicherung angelegt werden (" +
                ordner.Ursache().Grund() + ").",
            ordner.Ursache());
    }
    try {
        Sicherungsarchiv::Bericht bericht = Sicherungsarchiv::Pruefen(archiv, *ordner);
        if (bericht.Gut() && pruefung) {
            befunde = Umbenannt(pruefung(*ordner), *ordner, "daten");
        }
        File::Remove(*ordner);
        return bericht;
    } catch (...) {
        File::Remove(*ordner);
        throw;
    }
}

std::string Wiederherstellung::Ablehnung(const std::string& archiv,
                                         const std::vector<std::string>& probleme) {
    constexpr std::size_t kHoechstens = 10;
    std::string text = "Die Datensicherung " + Anzeige(archiv) +
                       " ist beschädigt oder keine Datensicherung von Rebkontor und wird nicht "
                       "zurückgespielt:"_w;
    for (std::size_t i = 0; i < probleme.size() && i < kHoechstens; ++i) {
        text += "\n" + probleme[i];
    }
    if (probleme.size() > kHoechstens) {
        text += "\n… und "_w + std::to_string(probleme.size() - kHoechstens) + " weitere Probleme.";
    }
    return text + "\nEs wurde nichts verändert."_w;
}
