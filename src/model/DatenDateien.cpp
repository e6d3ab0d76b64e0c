#include "model/DatenDateien.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>

#include "model/DatevExporte.h"
#include "model/Firmendaten.h"
#include "model/Kunde.h"
#include "model/Mahntexte.h"
#include "model/MahnungsVerwaltung.h"
#include "model/MerkzettelVerwaltung.h"
#include "model/PostenVerwaltung.h"
#include "model/Preis.h"
#include "model/PreisVerwaltung.h"
#include "model/Rechnung.h"
#include "model/Wein.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

using Datei = DatenDateien::Datei;

std::vector<Datei> Dateien() {
    std::vector<Datei> dateien = {
        {"weinliste.dat", Wein::DiskSize},
        {"weinlisten.txt", 0},
        {"rechnungsposten.dat", PostenVerwaltung::Posten::DiskSize},
        {"rechnungen.dat", Rechnung::DiskSize},
        {"geogruppe.txt", 0},
        {"logbuch.txt", 0},
        {"preferences.dat", 0},
        {"kunden.dat", Kunde::DiskSize},
        {"merkzettel.dat", MerkzettelVerwaltung::MerkzettelIntern::DiskSize},
        {Firmendaten::kDatei, 0},
        {DatevExporte::kDatei, 0},
        {MahnungsVerwaltung::kDatei, MahnungsVerwaltung::Mahnstand::DiskSize},
        {Mahntexte::kDatei, 0},
        {DatenDateien::kSicherungseinstellungen, 0},
    };
    for (int k = 0; k < PreisVerwaltung::kMaxPreislisten; ++k) {
        dateien.push_back({std::to_string(k) + ".wl", Preis::DiskSize});
    }
    return dateien;
}

const char* Art(File::Kind art) {
    switch (art) {
        case File::Kind::Link:
            return "eine symbolische Verknüpfung";
        case File::Kind::Fifo:
            return "eine benannte Pipe (FIFO)";
        case File::Kind::Device:
            return "eine Gerätedatei";
        case File::Kind::Socket:
            return "ein Socket";
        case File::Kind::Directory:
            return "ein Verzeichnis";
        default:
            return "keine gewöhnliche Datei";
    }
}

// Refuses anything but a regular file; a missing one is fine. Returns the
// size of a regular file, or -1.
std::int64_t Gewoehnlich(const std::string& pfad) {
    const Ergebnis<File::Entry> eintrag = File::Stat(pfad);
    if (!eintrag) {
        return -1;
    }
    if (eintrag->kind != File::Kind::Regular) {
        throw MessageException("Die Datei " + CodePage::Zitat(pfad) + " ist " +
                               CodePage::Utf8ToCp1252(Art(eintrag->kind)) +
                               " und keine gewöhnliche Datei. Rebkontor arbeitet nur mit "
                               "gewöhnlichen Dateien; bitte ersetzen Sie sie durch die Datei "
                               "selbst oder entfernen Sie sie."_w);
    }
    return eintrag->size;
}

std::string Elternverzeichnis(const std::string& verzeichnis) {
    std::string ohne = verzeichnis;
    while (ohne.size() > 1 && ohne.back() == '/') {
        ohne.pop_back();
    }
    const std::size_t slash = ohne.find_last_of('/');
    if (slash == std::string::npos) {
        return "";
    }
    return ohne.substr(0, slash + 1);
}

// Keeps the file's bytes beside it. An older copy with other contents stays;
// the new one takes the next free name.
Ergebnis<void> Sichern(const std::string& pfad, std::string& kopie) {
    const Ergebnis<std::string> bytes = File::ReadFile(pfad);
    if (!bytes) {
        return bytes.Ursache();
    }
    for (int n = 1; n < 100; ++n) {
        kopie = pfad + DatenDateien::kKopieEndung + (n == 1 ? "" : "." + std::to_string(n));
        const Ergebnis<File::Entry> eintrag = File::Stat(kopie);
        if (!eintrag) {
            return File::ReplaceAtomically(kopie, *bytes);
        }
        if (eintrag->kind == File::Kind::Regular) {
            const Ergebnis<std::string> vorhanden = File::ReadFile(kopie);
            if (vorhanden && *vorhanden == *bytes) {
                return {};
            }
        }
    }
    return Fehler(Fehler::Vorgang::Anlegen, kopie, EEXIST);
}

}  // namespace

const std::vector<DatenDateien::Datei>& DatenDateien::Liste() {
    static const std::vector<Datei> liste = Dateien();
    return liste;
}

const DatenDateien::Datei* DatenDateien::Finde(const std::string& name) {
    for (const Datei& datei : Liste()) {
        if (datei.name == name) {
            return &datei;
        }
    }
    return nullptr;
}

std::vector<std::string> DatenDateien::Pruefen(const std::string& verzeichnis, bool sichern) {
    // The letterhead lives in the working directory, beside the data folder.
    Gewoehnlich(Elternverzeichnis(verzeichnis) + "bkopf.emf");
    std::vector<std::pair<Datei, std::int64_t>> unvollstaendig;
    for (const Datei& datei : Liste()) {
        const std::int64_t groesse = Gewoehnlich(verzeichnis + "/" + datei.name);
        if (datei.satz != 0 && groesse > 0 &&
            groesse % static_cast<std::int64_t>(datei.satz) != 0) {
            unvollstaendig.emplace_back(datei, groesse);
        }
    }
    std::vector<std::string> hinweise;
    for (const auto& [datei, groesse] : unvollstaendig) {
        const std::string pfad = verzeichnis + "/" + datei.name;
        const auto satz = static_cast<std::int64_t>(datei.satz);
        std::string text = "Die Datei " + CodePage::Zitat(pfad) +
                           " endet mitten in einem Datensatz: " + std::to_string(groesse) +
                           " Bytes sind " + std::to_string(groesse / satz) + " ganze Sätze zu "_w +
                           std::to_string(satz) + " Bytes und " + std::to_string(groesse % satz) +
                           " Bytes eines unvollständigen Satzes."_w;
        if (sichern) {
            std::string kopie;
            const Ergebnis<void> gesichert = Sichern(pfad, kopie);
            if (!gesichert) {
                // Without the copy, the next rewrite would lose the part.
                throw MessageException(text +
                                       " Eine Kopie der Datei konnte nicht angelegt werden (" +
                                       gesichert.Ursache().Grund() +
                                       "); Rebkontor startet nicht, damit der unvollständige "
                                       "Satz nicht überschrieben wird."_w);
            }
            text += " Eine Kopie der Datei, wie sie war, liegt in " + CodePage::Zitat(kopie) + ".";
        }
        hinweise.push_back(text);
    }
    return hinweise;
}

bool DatenDateien::IstDatendatei(const std::string& name) {
    const std::vector<Datei> dateien = Dateien();
    return std::any_of(dateien.begin(), dateien.end(),
                       [&name](const Datei& datei) { return datei.name == name; });
}
