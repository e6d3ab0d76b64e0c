#include "model/WeinlistenVerwaltung.h"

#include <limits>
#include <string_view>
#include <vector>

#include "storage/ByteReader.h"
#include "storage/CodePage.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kAlteWeinliste = "daten_alt/wl";
constexpr unsigned kAlteSaetze = 999;
constexpr std::size_t kAlterSatz = 135;

}  // namespace

WeinlistenVerwaltung::WeinlistenVerwaltung(const std::string& fileName, Zugriff zugriff)
    : weine_(fileName.c_str(), zugriff) {}

int WeinlistenVerwaltung::IndexOf(std::int32_t nummer) const {
    for (unsigned i = 0; i < weine_.Count(); ++i) {
        if (weine_[i].nummer == nummer) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Wein* WeinlistenVerwaltung::GetWein(std::int32_t nummer) {
    const int index = IndexOf(nummer);
    return index < 0 ? nullptr : &weine_[static_cast<unsigned>(index)];
}

void WeinlistenVerwaltung::AddWein(std::int32_t nummer) {
    if (IndexOf(nummer) >= 0) {
        return;
    }
    Wein wein;
    wein.nummer = nummer;
    weine_.Add(wein);
}

Wein* WeinlistenVerwaltung::ChangeBestand(std::int32_t nummer, std::int32_t delta) {
    if (nummer == -1) {
        return nullptr;
    }
    const int index = IndexOf(nummer);
    if (index < 0) {
        return nullptr;
    }
    Wein& wein = weine_[static_cast<unsigned>(index)];
    // The stock has no bounds of its own, but it must not wrap around.
    std::int64_t bestand = static_cast<std::int64_t>(wein.bestand) + delta;
    if (bestand > std::numeric_limits<std::int32_t>::max()) {
        bestand = std::numeric_limits<std::int32_t>::max();
    } else if (bestand < std::numeric_limits<std::int32_t>::min()) {
        bestand = std::numeric_limits<std::int32_t>::min();
    }
    const std::int32_t vorher = wein.bestand;
    wein.bestand = static_cast<std::int32_t>(bestand);
    // Stock changes go with stored invoice items and must survive a crash
    // just like them. One that cannot be written is not made: memory keeps
    // what the file holds, and the caller refuses what needed it.
    try {
        weine_.Store(static_cast<unsigned>(index));
    } catch (const MessageException& fehler) {
        wein.bestand = vorher;
        try {
            // Whatever part of the new value reached the file goes again.
            weine_.Store(static_cast<unsigned>(index));
        } catch (const MessageException&) {
        }
        throw MessageException(
            "Der Bestand des Weins "_w + std::to_string(nummer) + " konnte nicht in die Datei " +
            CodePage::Utf8ToCp1252(weine_.FileName()) + " geschrieben werden" +
            (fehler.Ursache() ? " (" + fehler.Ursache()->Grund() + ")" : "") + ".");
    }
    return &wein;
}

void WeinlistenVerwaltung::Sort() {
    weine_.Sort();
}

void WeinlistenVerwaltung::Store(const Wein* wein) {
    for (unsigned i = 0; i < weine_.Count(); ++i) {
        if (&weine_[i] == wein) {
            weine_.Store(i);
            return;
        }
    }
    throw MessageException(
        "Es wurde in WeinlistenVerwaltung::Store() ein Wein angegeben, der nicht in der "
        "Weinliste steht");
}

void WeinlistenVerwaltung::ImportAlteWeinliste() {
    // Read first: without the old file the catalogue must stay as it is.
    const Ergebnis<std::string> gelesen = File::ReadFile(kAlteWeinliste);
    if (!gelesen) {
        throw MessageException("Die Datei daten_alt/wl konnte nicht geöffnet werden ("_w +
                               gelesen.Ursache().Grund() +
                               "). Die Weinliste bleibt unverändert."_w);
    }
    const std::string& alt = *gelesen;

    // The new catalogue is written in one step, so that a failed write
    // leaves the old one as it was.
    std::vector<Wein> neue;
    for (unsigned i = 0; i < kAlteSaetze; ++i) {
        const std::size_t offset = static_cast<std::size_t>(i) * kAlterSatz;
        // A short file ends the list; a record cut off by the end of the file
        // is not a wine.
        if (offset + kAlterSatz > alt.size()) {
            break;
        }
        const std::string_view satz = std::string_view(alt).substr(offset, kAlterSatz);
        const std::string name = CodePage::AlterText(satz, 0, 59);
        if (name.empty()) {
            continue;
        }
        Wein wein;
        wein.nummer = static_cast<std::int32_t>(i);
        FixedText::Set(wein.name, name);
        FixedText::Set(wein.bezeichnung, CodePage::AlterText(satz, 61, 59));
        FixedText::Set(wein.fuellmenge, CodePage::AlterText(satz, 122, 9));
        ByteReader(satz.substr(133, sizeof wein.gewicht)).Zahl(wein.gewicht);
        wein.bestand = 100000;
        wein.verborgen = 0;
        neue.push_back(wein);
    }
    weine_.Assign(neue);
}
