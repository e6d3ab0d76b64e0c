#include "sicherung/Sicherungsarchiv.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "model/DatenDateien.h"
#include "model/Kunde.h"
#include "model/Rechnung.h"
#include "model/Wein.h"
#include "sicherung/Pruefsumme.h"
#include "storage/CodePage.h"
#include "storage/Feldtabelle.h"
#include "storage/File.h"
#include "storage/MessageException.h"

namespace {

// Pieces of about a megabyte; for a record file whole records, so that each
// piece can be counted record by record.
constexpr std::size_t kStueck = 1 << 20;
// More members than a backup can have: the data files and the manifest.
constexpr std::size_t kHoechstensEintraege = 100;

std::string Anzeige(const std::string& pfad) {
    return "»"_w + CodePage::Utf8ToCp1252(pfad) + "«"_w;
}

// A name from the archive inside a message: what the archive says, without
// control characters, and not endless.
std::string Name(const char* name) {
    if (name == nullptr) {
        return "(ohne lesbaren Namen)";
    }
    std::string text;
    for (const char* c = name; *c != '\0' && text.size() < 100; ++c) {
        text += static_cast<unsigned char>(*c) < 0x20 ? '?' : *c;
    }
    return Anzeige(text);
}

struct ArchivLoeschen {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct LeserLoeschen {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct EintragLoeschen {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

// ------------------------------------------------------------- writing --

struct Ausgabe {
    File* datei;
    std::optional<Fehler> fehler;
};

// A failed write or read keeps its reason in `fehler`, where the message
// takes it from; the archive only learns that the call failed.
la_ssize_t Schreibe(archive*, void* daten, const void* puffer, size_t laenge) {
    auto* ausgabe = static_cast<Ausgabe*>(daten);
    const Ergebnis<void> r =
        ausgabe->datei->Append(std::string_view(static_cast<const char*>(puffer), laenge));
    if (!r) {
        ausgabe->fehler = r.Ursache();
        return -1;
    }
    return static_cast<la_ssize_t>(laenge);
}

class Schreiber {
  public:
    Schreiber(File& ziel, std::int64_t jetzt)
        : ziel_(ziel), jetzt_(jetzt), a_(archive_write_new()) {
        ausgabe_.datei = &ziel;
        if (!a_ || archive_write_set_format_zip(a_.get()) != ARCHIVE_OK ||
            archive_write_zip_set_compression_deflate(a_.get()) != ARCHIVE_OK ||
            archive_write_set_bytes_per_block(a_.get(), 64 * 1024) != ARCHIVE_OK ||
            archive_write_set_bytes_in_last_block(a_.get(), 1) != ARCHIVE_OK ||
            archive_write_open2(a_.get(), &ausgabe_, nullptr, Schreibe, nullptr, nullptr) !=
                ARCHIVE_OK) {
            Scheitern();
        }
    }

    void Beginnen(const std::string& name, std::int64_t groesse) {
        std::unique_ptr<archive_entry, EintragLoeschen> eintrag(archive_entry_new());
        archive_entry_set_pathname(eintrag.get(), name.c_str());
        archive_entry_set_filetype(eintrag.get(), AE_IFREG);
        archive_entry_set_perm(eintrag.get(), 0644);
        archive_entry_set_size(eintrag.get(), groesse);
        archive_entry_set_mtime(eintrag.get(), static_cast<time_t>(jetzt_), 0);
        if (archive_write_header(a_.get(), eintrag.get()) != ARCHIVE_OK) {
            Scheitern();
        }
    }

    void Daten(std::string_view bytes) {
        while (!bytes.empty()) {
            const la_ssize_t n = archive_write_data(a_.get(), bytes.data(), bytes.size());
            if (n <= 0) {
                Scheitern();
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    void Schliessen() {
        if (archive_write_close(a_.get()) != ARCHIVE_OK) {
            Scheitern();
        }
    }

  private:
    [[noreturn]] void Scheitern() {
        if (ausgabe_.fehler) {
            throw MessageException("Die Sicherungsdatei " + Anzeige(ziel_.Path()) +
                                       " kann nicht geschrieben werden (" +
                                       ausgabe_.fehler->Grund() + ").",
                                   *ausgabe_.fehler);
        }
        const char* grund = a_ ? archive_error_string(a_.get()) : nullptr;
        throw MessageException("Die Sicherungsdatei " + Anzeige(ziel_.Path()) +
                               " kann nicht geschrieben werden (Fehler der Archivbibliothek: " +
                               CodePage::Utf8ToCp1252(grund != nullptr ? grund : "unbekannt") +
                               ").");
    }

    File& ziel_;
    std::int64_t jetzt_;
    Ausgabe ausgabe_;
    std::unique_ptr<archive, ArchivLoeschen> a_;
};

// Counts what the summary names while the bytes pass.
void Zaehlen(const std::string& name, std::string_view stueck, Sicherungsinhalt& inhalt) {
    if (name == "kunden.dat") {
        inhalt.kunden += static_cast<std::int64_t>(stueck.size() / Kunde::DiskSize);
    } else if (name == "weinliste.dat") {
        inhalt.weine += static_cast<std::int64_t>(stueck.size() / Wein::DiskSize);
    } else if (name == "rechnungen.dat") {
        for (std::size_t i = 0; i + Rechnung::DiskSize <= stueck.size(); i += Rechnung::DiskSize) {
            if (Feldwert<&Rechnung::kartons>(stueck.substr(i, Rechnung::DiskSize)) !=
                Rechnung::kGeloescht) {
                ++inhalt.rechnungen;
            }
        }
    }
}

// ------------------------------------------------------------- reading --

struct Quelle {
    File datei;
    std::int64_t groesse = 0;
    std::int64_t position = 0;
    std::vector<char> puffer = std::vector<char>(64 * 1024);
    std::optional<Fehler> fehler;
};

la_ssize_t Lies(archive*, void* daten, const void** puffer) {
    auto* q = static_cast<Quelle*>(daten);
    const Ergebnis<std::size_t> n =
        q->datei.ReadAt(q->position, q->puffer.data(), q->puffer.size());
    if (!n) {
        q->fehler = n.Ursache();
        return -1;
    }
    q->position += static_cast<std::int64_t>(*n);
    *puffer = q->puffer.data();
    return static_cast<la_ssize_t>(*n);
}

la_int64_t Suche(archive*, void* daten, la_int64_t versatz, int woher) {
    auto* q = static_cast<Quelle*>(daten);
    std::int64_t ziel = versatz;
    if (woher == SEEK_CUR) {
        ziel += q->position;
    } else if (woher == SEEK_END) {
        ziel += q->groesse;
    }
    if (ziel < 0) {
        return ARCHIVE_FATAL;
    }
    q->position = ziel;
    return ziel;
}

la_int64_t Ueberspringe(archive*, void* daten, la_int64_t wunsch) {
    auto* q = static_cast<Quelle*>(daten);
    const std::int64_t rest = q->groesse > q->position ? q->groesse - q->position : 0;
    const std::int64_t n = wunsch < rest ? wunsch : rest;
    q->position += n;
    return n;
}

class Leser {
  public:
    // Null after a problem, which is reported.
    static std::unique_ptr<Leser> Oeffnen(const std::string& pfad,
                                          std::vector<std::string>& probleme) {
        auto leser = std::unique_ptr<Leser>(new Leser);
        Ergebnis<File> datei = File::OpenReadOnly(pfad);
        Ergebnis<std::int64_t> groesse = datei ? datei->Size() : datei.Ursache();
        if (!groesse) {
            probleme.push_back("Die Datei " + Anzeige(pfad) + " kann nicht gelesen werden (" +
                               groesse.Ursache().Grund() + ").");
            return nullptr;
        }
        leser->quelle_.datei = std::move(*datei);
        leser->quelle_.groesse = *groesse;
        archive* a = leser->a_.get();
        // The seekable reader takes the members from the central directory at
        // the end, as every archive tool lists them.
        if (a == nullptr || archive_read_support_format_zip_seekable(a) != ARCHIVE_OK ||
            archive_read_set_read_callback(a, Lies) != ARCHIVE_OK ||
            archive_read_set_seek_callback(a, Suche) != ARCHIVE_OK ||
            archive_read_set_skip_callback(a, Ueberspringe) != ARCHIVE_OK ||
            archive_read_set_callback_data(a, &leser->quelle_) != ARCHIVE_OK ||
            archive_read_open1(a) != ARCHIVE_OK) {
            leser->Problem(probleme,
                           "Die Datei " + Anzeige(pfad) + " ist keine ZIP-Datei oder beschädigt"_w);
            return nullptr;
        }
        return leser;
    }

    archive* A() { return a_.get(); }

    // A problem of the archive, with the read error's reason when there was one.
    void Problem(std::vector<std::string>& probleme, const std::string& text) {
        if (quelle_.fehler) {
            probleme.push_back(text + " (" + quelle_.fehler->Grund() + ").");
        } else {
            probleme.push_back(text + ".");
        }
    }

  private:
    Leser() : a_(archive_read_new()) {}

    Quelle quelle_;
    std::unique_ptr<archive, LeserLoeschen> a_;
};

bool IstOrdnerDaten(const std::string& name) {
    return name == "daten" || name == "daten/";
}

}  // namespace

Sicherungsinhalt Sicherungsarchiv::Schreiben(const std::string& verzeichnis, File& ziel,
                                             std::int64_t jetzt) {
    Sicherungsinhalt inhalt;
    inhalt.programmversion = REBKONTOR_VERSION;
    inhalt.zeitpunkt = jetzt;
    Schreiber schreiber(ziel, jetzt);
    std::string stueck;
    for (const DatenDateien::Datei& datei : DatenDateien::Liste()) {
        const std::string pfad = verzeichnis + "/" + datei.name;
        const Ergebnis<File::Entry> eintrag = File::Stat(pfad);
        if (!eintrag) {
            if (eintrag.Ursache().Fehlt()) {
                continue;
            }
            throw MessageException("Die Datei " + Anzeige(pfad) + " kann nicht gelesen werden (" +
                                       eintrag.Ursache().Grund() + ").",
                                   eintrag.Ursache());
        }
        if (eintrag->kind != File::Kind::Regular) {
            // As at every start: a link or pipe named like a data file is
            // nothing the program wrote.
            throw MessageException("Die Datei " + Anzeige(pfad) +
                                   " ist keine gewöhnliche Datei und wird nicht gesichert."_w);
        }
        Ergebnis<File> quelle = File::OpenReadOnly(pfad);
        Ergebnis<std::int64_t> groesse = quelle ? quelle->Size() : quelle.Ursache();
        if (!groesse) {
            throw MessageException("Die Datei " + Anzeige(pfad) + " kann nicht gelesen werden (" +
                                       groesse.Ursache().Grund() + ").",
                                   groesse.Ursache());
        }
        Pruefsumme summe;
        schreiber.Beginnen(Sicherungsinhalt::kOrdner + datei.name, *groesse);
        const std::size_t laenge = datei.satz == 0 ? kStueck : kStueck / datei.satz * datei.satz;
        std::int64_t gelesen = 0;
        while (gelesen < *groesse) {
            stueck.resize(static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(laenge), *groesse - gelesen)));
            const Ergebnis<std::size_t> n = quelle->ReadAt(gelesen, stueck.data(), stueck.size());
            if (!n) {
                throw MessageException("Die Datei " + Anzeige(pfad) +
                                           " kann nicht gelesen werden (" + n.Ursache().Grund() +
                                           ").",
                                       n.Ursache());
            }
            if (*n == 0) {
                break;
            }
            stueck.resize(*n);
            summe.Dazu(stueck);
            Zaehlen(datei.name, stueck, inhalt);
            schreiber.Daten(stueck);
            gelesen += static_cast<std::int64_t>(*n);
        }
        if (gelesen != *groesse) {
            // Nothing writes under the lock; a file that shrinks is a failing disk.
            throw MessageException("Die Datei " + Anzeige(pfad) +
                                   " wurde kürzer, während sie gesichert wurde."_w);
        }
        inhalt.dateien.push_back({datei.name, *groesse, summe.Hex()});
    }
    const std::string manifest = inhalt.Text();
    schreiber.Beginnen(Sicherungsinhalt::kName, static_cast<std::int64_t>(manifest.size()));
    schreiber.Daten(manifest);
    schreiber.Schliessen();
    return inhalt;
}

Sicherungsarchiv::Bericht Sicherungsarchiv::Pruefen(const std::string& archiv,
                                                    const std::string& auspacken) {
    Bericht bericht;
    std::vector<std::string>& probleme = bericht.probleme;

    // First the list of members and the manifest, and not one byte of data.
    std::string manifest;
    bool manifestGelesen = false;
    std::map<std::string, std::int64_t> angegeben;  // name -> size the archive declares
    std::set<std::string> namen;
    {
        std::unique_ptr<Leser> leser = Leser::Oeffnen(archiv, probleme);
        if (!leser) {
            return bericht;
        }
        archive_entry* eintrag = nullptr;
        std::size_t anzahl = 0;
        for (;;) {
            const int r = archive_read_next_header(leser->A(), &eintrag);
            if (r == ARCHIVE_EOF) {
                break;
            }
            if (r != ARCHIVE_OK) {
                leser->Problem(probleme, "Das Inhaltsverzeichnis des Archivs ist beschädigt"_w);
                return bericht;
            }
            if (++anzahl > kHoechstensEintraege) {
                probleme.push_back("Das Archiv hat mehr als " +
                                   std::to_string(kHoechstensEintraege) +
                                   " Einträge; eine Datensicherung hat so viele nicht."_w);
                return bericht;
            }
            const char* roh = archive_entry_pathname(eintrag);
            const std::string name = roh != nullptr ? roh : "";
            const auto art = archive_entry_filetype(eintrag);
            if (art == AE_IFDIR && IstOrdnerDaten(name)) {
                continue;
            }
            std::string fehler;
            if (roh == nullptr || name.empty()) {
                fehler = "hat keinen lesbaren Namen";
            } else if (name[0] == '/' || name.find('\\') != std::string::npos ||
                       name.find(':') != std::string::npos) {
                fehler = "hat einen absoluten Pfad";
            } else if (("/" + name + "/").find("/../") != std::string::npos ||
                       ("/" + name + "/").find("/./") != std::string::npos) {
                fehler = "hat »..« oder ».« im Pfad"_w;
            } else if (archive_entry_symlink(eintrag) != nullptr ||
                       archive_entry_hardlink(eintrag) != nullptr || art == AE_IFLNK) {
                fehler = "ist eine Verknüpfung"_w;
            } else if (art != AE_IFREG) {
                fehler = "ist keine gewöhnliche Datei"_w;
            } else if (archive_entry_is_encrypted(eintrag)) {
                fehler = "ist verschlüsselt"_w;
            } else if (name != Sicherungsinhalt::kName &&
                       (name.rfind(Sicherungsinhalt::kOrdner, 0) != 0 ||
                        DatenDateien::Finde(name.substr(
                            std::string(Sicherungsinhalt::kOrdner).size())) == nullptr)) {
                fehler = "gehört nicht zu einer Datensicherung von Rebkontor"_w;
            } else if (!namen.insert(name).second) {
                fehler = "kommt mehrmals vor";
            }
            if (!fehler.empty()) {
                probleme.push_back("Der Eintrag " + Name(roh) + " im Archiv " + fehler + ".");
                continue;
            }
            const std::int64_t groesse =
                archive_entry_size_is_set(eintrag) ? archive_entry_size(eintrag) : -1;
            if (name == Sicherungsinhalt::kName) {
                if (groesse > static_cast<std::int64_t>(Sicherungsinhalt::kHoechstensBytes)) {
                    probleme.push_back(std::string("Das Verzeichnis ") + Sicherungsinhalt::kName +
                                       " im Archiv ist zu groß."_w);
                    return bericht;
                }
                char puffer[4096];
                for (;;) {
                    const la_ssize_t n = archive_read_data(leser->A(), puffer, sizeof puffer);
                    if (n < 0) {
                        leser->Problem(probleme, std::string("Das Verzeichnis ") +
                                                     Sicherungsinhalt::kName +
                                                     " im Archiv ist beschädigt"_w);
                        return bericht;
                    }
                    if (n == 0) {
                        break;
                    }
                    manifest.append(puffer, static_cast<std::size_t>(n));
                    if (manifest.size() > Sicherungsinhalt::kHoechstensBytes) {
                        probleme.push_back(std::string("Das Verzeichnis ") +
                                           Sicherungsinhalt::kName + " im Archiv ist zu groß."_w);
                        return bericht;
                    }
                }
                manifestGelesen = true;
            } else {
                angegeben[name.substr(std::string(Sicherungsinhalt::kOrdner).size())] = groesse;
            }
        }
    }
    if (!manifestGelesen) {
        probleme.push_back("Das Archiv enthält kein Verzeichnis "_w + Sicherungsinhalt::kName +
                           "; es ist keine Datensicherung von Rebkontor oder unvollständig."_w);
        return bericht;
    }
    const std::size_t vorher = probleme.size();
    bericht.inhalt = Sicherungsinhalt::Lesen(manifest, probleme);
    const Sicherungsinhalt& inhalt = *bericht.inhalt;
    for (const auto& [name, groesse] : angegeben) {
        const Sicherungsinhalt::Datei* datei = inhalt.Finde(name);
        if (datei == nullptr) {
            if (probleme.size() == vorher) {
                probleme.push_back("Die Datei " + Anzeige(Sicherungsinhalt::kOrdner + name) +
                                   " im Archiv steht nicht im Verzeichnis " +
                                   Sicherungsinhalt::kName + ".");
            }
        } else if (groesse >= 0 && groesse != datei->groesse) {
            probleme.push_back("Die Datei " + Anzeige(Sicherungsinhalt::kOrdner + name) +
                               " ist im Archiv " + std::to_string(groesse) +
                               " Bytes groß, laut "_w + Sicherungsinhalt::kName + " aber " +
                               std::to_string(datei->groesse) + " Bytes.");
        }
    }
    std::int64_t summe = 0;
    for (const Sicherungsinhalt::Datei& datei : inhalt.dateien) {
        const std::string pfad = Sicherungsinhalt::kOrdner + datei.name;
        if (angegeben.count(datei.name) == 0) {
            probleme.push_back("Die Datei " + Anzeige(pfad) + " steht im Verzeichnis " +
                               Sicherungsinhalt::kName + ", fehlt aber im Archiv.");
        }
        const std::size_t satz = DatenDateien::Finde(datei.name)->satz;
        if (satz != 0 && datei.groesse % static_cast<std::int64_t>(satz) != 0) {
            probleme.push_back(
                "Die Datei " + Anzeige(pfad) + " ist mit " + std::to_string(datei.groesse) +
                " Bytes keine ganze Zahl von Sätzen zu "_w + std::to_string(satz) + " Bytes.");
        }
        summe += datei.groesse;
    }
    if (summe > kHoechstens) {
        probleme.push_back("Das Archiv würde ausgepackt "_w + Sicherungsinhalt::Groesse(summe) +
                           " groß; eine Datensicherung von Rebkontor ist höchstens "_w +
                           Sicherungsinhalt::Groesse(kHoechstens) + " groß."_w);
    }
    if (!probleme.empty()) {
        return bericht;
    }

    // Now the data, each member counted and summed; never more bytes than
    // the manifest says are read.
    std::unique_ptr<Leser> leser = Leser::Oeffnen(archiv, probleme);
    if (!leser) {
        return bericht;
    }
    archive_entry* eintrag = nullptr;
    std::vector<char> puffer(64 * 1024);
    std::set<std::string> gesehen;
    for (;;) {
        const int r = archive_read_next_header(leser->A(), &eintrag);
        if (r == ARCHIVE_EOF) {
            break;
        }
        if (r != ARCHIVE_OK) {
            leser->Problem(probleme, "Das Inhaltsverzeichnis des Archivs ist beschädigt"_w);
            return bericht;
        }
        const char* roh = archive_entry_pathname(eintrag);
        const std::string voll = roh != nullptr ? roh : "";
        if (voll == Sicherungsinhalt::kName || IstOrdnerDaten(voll)) {
            continue;
        }
        const std::string name = voll.substr(std::string(Sicherungsinhalt::kOrdner).size());
        const Sicherungsinhalt::Datei* datei = inhalt.Finde(name);
        if (datei == nullptr || !gesehen.insert(name).second) {
            // The archive reads differently the second time.
            probleme.push_back("Der Eintrag " + Name(roh) +
                               " im Archiv war beim ersten Lesen nicht da."_w);
            return bericht;
        }
        std::optional<File> ziel;
        if (!auspacken.empty()) {
            Ergebnis<File> neu = File::OpenReadWrite(auspacken + "/" + name);
            if (!neu) {
                throw MessageException("Die Datei " + Anzeige(auspacken + "/" + name) +
                                           " kann nicht angelegt werden (" + neu.Ursache().Grund() +
                                           ").",
                                       neu.Ursache());
            }
            ziel.emplace(std::move(*neu));
        }
        Pruefsumme pruefsumme;
        std::int64_t gelesen = 0;
        bool kaputt = false;
        for (;;) {
            const la_ssize_t n = archive_read_data(leser->A(), puffer.data(), puffer.size());
            if (n < 0) {
                leser->Problem(probleme,
                               "Die Datei " + Anzeige(voll) + " im Archiv ist beschädigt"_w);
                kaputt = true;
                break;
            }
            if (n == 0) {
                break;
            }
            const std::string_view stueck(puffer.data(), static_cast<std::size_t>(n));
            if (gelesen + n > datei->groesse) {
                probleme.push_back("Die Datei " + Anzeige(voll) +
                                   " im Archiv ist ausgepackt größer als die "_w +
                                   std::to_string(datei->groesse) + " Bytes, die " +
                                   Sicherungsinhalt::kName + " angibt.");
                kaputt = true;
                break;
            }
            if (ziel) {
                if (const Ergebnis<void> w = ziel->WriteAt(gelesen, stueck); !w) {
                    throw MessageException("Die Datei " + Anzeige(ziel->Path()) +
                                               " kann nicht geschrieben werden (" +
                                               w.Ursache().Grund() + ").",
                                           w.Ursache());
                }
            }
            pruefsumme.Dazu(stueck);
            gelesen += n;
        }
        if (kaputt) {
            continue;
        }
        if (gelesen != datei->groesse) {
            probleme.push_back("Die Datei " + Anzeige(voll) + " im Archiv hat " +
                               std::to_string(gelesen) + " Bytes statt der " +
                               std::to_string(datei->groesse) + ", die " + Sicherungsinhalt::kName +
                               " angibt.");
        } else if (pruefsumme.Hex() != datei->sha256) {
            probleme.push_back("Die Datei " + Anzeige(voll) +
                               " im Archiv ist beschädigt: ihre Prüfsumme (SHA-256) stimmt nicht "
                               "mit der in "_w +
                               Sicherungsinhalt::kName + " überein."_w);
        } else if (ziel) {
            if (const Ergebnis<void> s = ziel->Sync(); !s) {
                throw MessageException("Die Datei " + Anzeige(ziel->Path()) +
                                           " kann nicht gespeichert werden (" +
                                           s.Ursache().Grund() + ").",
                                       s.Ursache());
            }
        }
    }
    return bericht;
}
