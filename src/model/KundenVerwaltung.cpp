#include "model/KundenVerwaltung.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string_view>
#include <vector>

#include "storage/CodePage.h"
#include "storage/Datum.h"
#include "storage/File.h"
#include "storage/FixedText.h"
#include "storage/LenientNumber.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"
#include "storage/Zeit.h"

std::uint32_t KundenVerwaltung::maxNummer = 0;

namespace {

// The old version kept its customers in one file per initial letter.
constexpr char kErsterBuchstabe = 'A';
constexpr char kLetzterBuchstabe = 'Y';
constexpr std::size_t kAlterSatz = 182;
constexpr const char* kCsvDatei = "kunden.csv";

void Zeile(std::ostream& out, const std::string& marker, const Kunde& k) {
    const Datum datum(k.erfasstDatum);
    const Zeit zeit(k.erfasstZeit);
    out << marker << datum.Day() << '.' << datum.Month() << '.' << datum.Year() << ' '
        << zeit.Hour() << ':' << zeit.Minute() << ':' << zeit.Second() << ") -> " << k.nummer
        << ",\"" << FixedText::Get(k.Anrede) << "\",\"" << FixedText::Get(k.Vorname) << "\",\""
        << FixedText::Get(k.Nachname) << "\",\"" << FixedText::Get(k.Strasse) << "\"," << k.PLZ
        << ",\"" << FixedText::Get(k.Ort) << "\",\"" << FixedText::Get(k.Telefon) << "\",\""
        << FixedText::Get(k.Fax) << "\",\"" << FixedText::Get(k.EMail) << "\",\""
        << FixedText::Get(k.bemerkung) << "\"," << k.preisliste << ',' << k.kundenGruppe
        << std::endl;
}

// Splits one line of the CSV file at ";" (no quoting).
std::vector<std::string_view> Felder(std::string_view zeile) {
    std::vector<std::string_view> felder;
    std::size_t start = 0;
    while (true) {
        const std::size_t ende = zeile.find(';', start);
        if (ende == std::string_view::npos) {
            felder.push_back(zeile.substr(start));
            return felder;
        }
        felder.push_back(zeile.substr(start, ende - start));
        start = ende + 1;
    }
}

constexpr const char* kBom = "\xEF\xBB\xBF";
constexpr std::size_t kHoechstensZeichen = 10;

// One line of the CSV file as its fields keep it: a tab becomes a blank, and
// control characters (the five bytes Windows-1252 leaves undefined among
// them) go.
std::string OhneSteuerzeichen(std::string_view zeile) {
    std::string text = FixedText::Einzeilig(zeile);
    std::erase_if(text, [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    });
    return text;
}

// A postcode written with a country prefix ("D-55234") keeps its value: every
// character before the first digit counts as a 0.
std::int32_t CsvPostleitzahl(std::string_view text) {
    std::string ziffern(text);
    for (char& c : ziffern) {
        if (c >= '0' && c <= '9') {
            break;
        }
        c = '0';
    }
    return LenientNumber::ToInt(ziffern);
}

}  // namespace

KundenVerwaltung::KundenVerwaltung(const std::string& fileName, Zugriff zugriff)
    : kunden_(fileName.c_str(), zugriff), suchMuster_(Kunde::kOhneNummer) {
    for (unsigned i = 0; i < kunden_.Count(); ++i) {
        // Negative numbers and the mark of an unnumbered customer are no
        // numbers this program gave; counted, they would make the next number
        // wrap round and repeat numbers that are in use.
        const std::int32_t nummer = kunden_[i].nummer;
        if (nummer >= 0 && nummer != Kunde::kOhneNummer &&
            static_cast<std::uint32_t>(nummer) > maxNummer) {
            maxNummer = static_cast<std::uint32_t>(nummer);
        }
    }
}

int KundenVerwaltung::IndexOf(std::int32_t nummer) const {
    for (unsigned i = 0; i < kunden_.Count(); ++i) {
        if (kunden_[i].nummer == nummer) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Kunde* KundenVerwaltung::GetKunde(std::int32_t nummer) {
    const int index = IndexOf(nummer);
    return index < 0 ? nullptr : &kunden_[static_cast<unsigned>(index)];
}

void KundenVerwaltung::AddKunde(Kunde& kunde) {
    if (maxNummer >= static_cast<std::uint32_t>(Kunde::kOhneNummer) - 1) {
        // The next number would be the mark of an unnumbered customer, or
        // beyond the field.
        throw MessageException(
            "Es kann keine weitere Kundennummer vergeben werden. Der Kunde wurde nicht "
            "gespeichert.");
    }
    const std::uint32_t previous = maxNummer;
    kunde.nummer = static_cast<std::int32_t>(maxNummer + 1);
    maxNummer = static_cast<std::uint32_t>(kunde.nummer);
    try {
        kunden_.Add(kunde);
    } catch (const MessageException&) {
        // The customer was not stored; its number may be given again.
        maxNummer = previous;
        throw;
    }
}

void KundenVerwaltung::Ersetzen(std::vector<Kunde>& neue) {
    std::uint32_t nummer = maxNummer;
    for (Kunde& kunde : neue) {
        if (nummer >= static_cast<std::uint32_t>(Kunde::kOhneNummer) - 1) {
            throw MessageException(
                "Es kann keine weitere Kundennummer vergeben werden. Der Kunde wurde nicht "
                "gespeichert.");
        }
        kunde.nummer = static_cast<std::int32_t>(++nummer);
    }
    kunden_.Assign(neue);
    maxNummer = nummer;
}

void KundenVerwaltung::UpdateKunde(const Kunde& kunde) {
    const int index = IndexOf(kunde.nummer);
    if (index < 0) {
        // Only customers taken from the file are changed; anything else would
        // have to be added, which is not this operation's business.
        return;
    }
    Kunde& gespeichert = kunden_[static_cast<unsigned>(index)];
    if (logBuch_ != nullptr) {
        Zeile(logBuch_->Stamp(), ">> KUNDE GEÄNDERT << (erfasst am "_w, gespeichert);
    }
    // A change is made on a copy taken when the form was filled. The number,
    // the capture stamp and the head of the invoice chain are not the form's
    // to change: an invoice stored meanwhile has moved the chain head on, and
    // writing back the old one would drop that invoice from the customer.
    const std::uint32_t erfasstDatum = gespeichert.erfasstDatum;
    const std::uint32_t erfasstZeit = gespeichert.erfasstZeit;
    const std::int32_t letzteRechnung = gespeichert.letzteRechnung;
    gespeichert = kunde;
    gespeichert.erfasstDatum = erfasstDatum;
    gespeichert.erfasstZeit = erfasstZeit;
    gespeichert.letzteRechnung = letzteRechnung;
    kunden_.Store(static_cast<unsigned>(index));
}

void KundenVerwaltung::DeleteKunde(std::int32_t nummer) {
    const int index = IndexOf(nummer);
    if (index < 0) {
        return;
    }
    if (logBuch_ != nullptr) {
        Zeile(logBuch_->Stamp(), ">> KUNDE GELÖSCHT << (erfasst am "_w,
              kunden_[static_cast<unsigned>(index)]);
    }
    kunden_.Delete(index);
}

unsigned KundenVerwaltung::SearchKunden(const Kunde& muster, GenericList<Kunde>* treffer) {
    suchMuster_ = muster;
    suchPosition_ = -1;
    unsigned anzahl = 0;
    for (unsigned i = 0; i < kunden_.Count(); ++i) {
        if (kunden_[i].Matches(suchMuster_)) {
            if (treffer != nullptr) {
                treffer->Add(kunden_[i]);
            }
            if (suchPosition_ == -1) {
                suchPosition_ = static_cast<std::int32_t>(i);
            }
            ++anzahl;
        }
    }
    return anzahl;
}

bool KundenVerwaltung::NextKunde(Kunde& out) {
    if (suchPosition_ == -1) {
        return false;
    }
    for (auto i = static_cast<unsigned>(suchPosition_); i < kunden_.Count(); ++i) {
        if (kunden_[i].Matches(suchMuster_)) {
            suchPosition_ = static_cast<std::int32_t>(i + 1);
            out = kunden_[i];
            return true;
        }
    }
    suchPosition_ = -1;
    return false;
}

void KundenVerwaltung::GetOrt(std::int32_t plz, char* ort) {
    for (unsigned i = 0; i < kunden_.Count(); ++i) {
        const Kunde& kunde = kunden_[i];
        if (kunde.PLZ == plz) {
            const std::size_t n = ::strnlen(kunde.Ort, sizeof kunde.Ort - 1);
            std::memcpy(ort, kunde.Ort, n);
            ort[n] = '\0';
            return;
        }
    }
}

void KundenVerwaltung::Store(const Kunde* kunde) {
    for (unsigned i = 0; i < kunden_.Count(); ++i) {
        if (&kunden_[i] == kunde) {
            kunden_.Store(i);
            return;
        }
    }
    throw MessageException(
        "Es wurde in KundenVerwaltung::Store() ein Kunde angegeben, der nicht im Datenbestand "
        "steht");
}

void KundenVerwaltung::ImportAlteKunden() {
    // Everything is read before anything is replaced, so that a missing or
    // unreadable set of old files leaves the customers as they are.
    std::vector<std::string> dateien;
    bool gefunden = false;
    for (char buchstabe = kErsterBuchstabe; buchstabe <= kLetzterBuchstabe; ++buchstabe) {
        char name[32];
        std::snprintf(name, sizeof name, "daten_alt/%c.dat", buchstabe);
        // A letter whose file is there but cannot be read would silently
        // drop its customers from the import.
        Ergebnis<std::string> inhalt = File::ReadIfExists(name);
        if (!inhalt) {
            throw MessageException("Die alte Kundendatei "_w + name +
                                   " kann nicht gelesen werden (" + inhalt.Ursache().Grund() +
                                   "). Die Kundendaten bleiben unverändert."_w);
        }
        if (File::Exists(name)) {
            gefunden = true;
        }
        dateien.push_back(std::move(*inhalt));
    }
    if (!gefunden) {
        throw MessageException(
            "Keine der alten Kundendateien daten_alt/A.dat bis daten_alt/Y.dat konnte geöffnet "
            "werden. Die Kundendaten bleiben unverändert."_w);
    }

    std::vector<Kunde> neue;
    for (const std::string& inhalt : dateien) {
        for (std::size_t pos = 0; pos + kAlterSatz <= inhalt.size(); pos += kAlterSatz) {
            const std::string_view satz = std::string_view(inhalt).substr(pos, kAlterSatz);
            Kunde kunde;
            FixedText::Set(kunde.Anrede, CodePage::AlterText(satz, 0, 30));
            FixedText::Set(kunde.Vorname, CodePage::AlterText(satz, 31, 30));
            FixedText::Set(kunde.Nachname, CodePage::AlterText(satz, 62, 30));
            FixedText::Set(kunde.Strasse, CodePage::AlterText(satz, 93, 30));
            const std::string plzOrt = CodePage::AlterText(satz, 124, 30);
            kunde.PLZ = LenientNumber::ToInt(plzOrt);
            const std::size_t blank = plzOrt.find(' ');
            FixedText::Set(kunde.Ort, blank == std::string::npos
                                          ? std::string_view(plzOrt)
                                          : std::string_view(plzOrt).substr(blank + 1));
            FixedText::Set(kunde.Telefon, CodePage::AlterText(satz, 155, 20));
            // The price code letters are compared as stored; the last test
            // that holds wins.
            const std::string code = CodePage::AlterText(satz, 176, 5);
            if (code.find('S') != std::string::npos) {
                kunde.preisliste = 1;
            }
            if (code.find('W') != std::string::npos) {
                kunde.preisliste = 1;
            }
            if (code.find('A') != std::string::npos) {
                kunde.preisliste = 3;
            }
            neue.push_back(kunde);
        }
    }
    Ersetzen(neue);
}

void KundenVerwaltung::ImportKundenCSV() {
    Ergebnis<std::string> gelesen = File::ReadFile(kCsvDatei);
    if (!gelesen) {
        throw MessageException("Die Datei kunden.csv konnte nicht geöffnet werden ("_w +
                               gelesen.Ursache().Grund() +
                               "). Die Kundendaten bleiben unverändert."_w);
    }
    std::string inhalt = std::move(*gelesen);
    // Written by a spreadsheet or an editor of today, the file is often
    // UTF-8: with a byte order mark, or recognisable because it is valid
    // UTF-8 and not plain ASCII. Anything else is taken as Windows-1252.
    bool utf8 = inhalt.rfind(kBom, 0) == 0;
    if (utf8) {
        inhalt.erase(0, std::string_view(kBom).size());
    } else {
        utf8 = CodePage::IstUtf8(inhalt) && std::any_of(inhalt.begin(), inhalt.end(), [](char c) {
                   return static_cast<unsigned char>(c) >= 0x80;
               });
    }

    std::vector<Kunde> neue;
    // Characters the customer file cannot hold, each with the first line it
    // stands in.
    std::vector<std::pair<char32_t, int>> nichtDarstellbar;
    bool kundenDarin = false;
    // One record for the whole import: every customer gets its capture stamp.
    Kunde kunde;
    std::size_t start = 0;
    for (int nummer = 1; start < inhalt.size(); ++nummer) {
        // A line ends with CR LF, LF, or a CR alone (as old Mac files have it).
        const std::size_t ende = inhalt.find_first_of("\r\n", start);
        std::string zeile = inhalt.substr(start, ende - start);
        if (ende == std::string::npos) {
            start = inhalt.size();
        } else {
            start = ende + (inhalt.compare(ende, 2, "\r\n") == 0 ? 2 : 1);
        }
        if (utf8) {
            for (char32_t c : CodePage::NichtDarstellbar(zeile)) {
                if (std::none_of(nichtDarstellbar.begin(), nichtDarstellbar.end(),
                                 [c](const auto& bekannt) { return bekannt.first == c; })) {
                    nichtDarstellbar.emplace_back(c, nummer);
                }
            }
            zeile = CodePage::Utf8ToCp1252(zeile);
        }
        zeile = OhneSteuerzeichen(zeile);
        kundenDarin = kundenDarin || zeile.find_first_not_of(" ;") != std::string::npos;

        kunde.Clear();
        std::vector<std::string_view> felder = Felder(zeile);
        felder.resize(7 > felder.size() ? 7 : felder.size());

        const std::string_view name = felder[0];
        const std::size_t blank = name.rfind(' ');
        if (blank != std::string_view::npos && blank >= 2) {
            FixedText::Set(kunde.Vorname, name.substr(0, blank));
            FixedText::Set(kunde.Nachname, name.substr(blank + 1));
        } else {
            FixedText::Set(kunde.Nachname, name);
        }
        FixedText::Set(kunde.Strasse, felder[1]);
        kunde.PLZ = CsvPostleitzahl(felder[2]);
        FixedText::Set(kunde.Ort, felder[3]);
        FixedText::Set(kunde.Telefon, felder[4]);
        FixedText::Set(kunde.Fax, felder[5]);
        if (felder[6].find('@') != std::string_view::npos) {
            FixedText::Set(kunde.EMail, felder[6]);
        } else {
            FixedText::Set(kunde.bemerkung, felder[6]);
        }
        neue.push_back(kunde);
    }
    if (!nichtDarstellbar.empty()) {
        std::string liste;
        for (std::size_t i = 0; i < nichtDarstellbar.size() && i < kHoechstensZeichen; ++i) {
            liste += (i == 0 ? "" : ", ") + CodePage::Codepunkt(nichtDarstellbar[i].first) +
                     " (Zeile " + std::to_string(nichtDarstellbar[i].second) + ")";
        }
        if (nichtDarstellbar.size() > kHoechstensZeichen) {
            liste += " und weitere";
        }
        throw MessageException(
            "Die Datei kunden.csv enthält Zeichen, die Rebkontor nicht speichern kann: "_w + liste +
            ". Bitte ersetzen Sie sie in der Datei; es wurde nichts geändert."_w);
    }
    if (!kundenDarin) {
        throw MessageException(
            "Die Datei kunden.csv enthält keine Kunden; es wurde nichts geändert."_w);
    }
    // The import replaces every customer; the log book says when and by
    // how many, and without that line nothing is replaced.
    if (logBuch_ != nullptr) {
        logBuch_->Stamp() << "KUNDEN IMPORTIERT: " << neue.size() << " aus " << kCsvDatei
                          << std::endl;
    }
    Ersetzen(neue);
}
