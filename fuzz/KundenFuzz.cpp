// The customer file: loading, every reading operation, the address file, and
// writing back. Text bytes after a terminator do not survive a customer's
// copy, so the file written back is the input with those bytes cleared.

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzPruefung.h"
#include "FuzzVerzeichnis.h"
#include "KundenBild.h"
#include "documents/Adressdatei.h"
#include "model/Kunde.h"
#include "model/KundenVerwaltung.h"
#include "storage/FixedText.h"
#include "storage/GenericList.h"
#include "storage/LogBuch.h"
#include "storage/MessageException.h"

namespace {

constexpr const char* kDatei = "daten/kunden.dat";

// The image a loaded record is written back with.
std::string Erwartet(std::string_view satz) {
    Kunde kunde;
    ByteReader reader(satz);
    reader >> kunde;
    return KundenBild::Normal(kunde);
}

void Lesen(KundenVerwaltung& kv) {
    const unsigned anzahl = kv.Count();
    for (unsigned i = 0; i < anzahl; ++i) {
        const Kunde& kunde = kv[i];
        const Kunde* gefunden = kv.GetKunde(kunde.nummer);
        FUZZ_PRUEFE(gefunden != nullptr && gefunden->nummer == kunde.nummer);

        char ort[31];
        std::memset(ort, 'x', sizeof ort);
        ort[30] = '\0';
        kv.GetOrt(kunde.PLZ, ort);
        FUZZ_PRUEFE(::strnlen(ort, sizeof ort) < sizeof ort);
    }
    // A template made of the start of a stored surname finds at least that
    // customer, and NextKunde delivers exactly the matches counted.
    for (unsigned i = 0; i < anzahl && i < 8; ++i) {
        Kunde muster;
        const std::string nachname = FixedText::Get(kv[i].Nachname);
        FixedText::Set(muster.Nachname, nachname.substr(0, 3));
        GenericList<Kunde> treffer;
        const unsigned gezaehlt = kv.SearchKunden(muster, &treffer);
        FUZZ_PRUEFE(gezaehlt >= 1 && gezaehlt == treffer.Count());
        unsigned geliefert = 0;
        Kunde naechster;
        while (kv.NextKunde(naechster)) {
            FUZZ_PRUEFE(naechster.Matches(muster));
            ++geliefert;
        }
        FUZZ_PRUEFE(geliefert == gezaehlt);
    }
    Kunde alle;
    FUZZ_PRUEFE(kv.SearchKunden(alle, nullptr) == anzahl);

    std::ostringstream adressen;
    Adressdatei::WriteAdressdatei(kv, adressen, false, false, 0, 0, 0);
    Adressdatei::WriteAdressdatei(kv, adressen, true, true, anzahl > 0 ? kv[0].kundenGruppe : -1,
                                  1000, 80000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerzeichnis::Sitzung sitzung;
    const std::string eingabe(reinterpret_cast<const char*>(data), size);
    FuzzVerzeichnis::Schreiben(kDatei, eingabe);

    std::vector<std::string> stand;
    {
        LogBuch logBuch("daten/logbuch.txt");
        KundenVerwaltung kv(kDatei);
        kv.SetLogBuch(&logBuch);
        const std::size_t ganze = size / Kunde::DiskSize;
        FUZZ_PRUEFE(kv.Count() == (size + Kunde::DiskSize - 1) / Kunde::DiskSize);
        Lesen(kv);
        // Reading changes nothing on disk.
        FUZZ_PRUEFE(FuzzVerzeichnis::Lesen(kDatei) == eingabe);

        kv.Flush();
        const std::string geschrieben = FuzzVerzeichnis::Lesen(kDatei);
        FUZZ_PRUEFE(geschrieben.size() == kv.Count() * Kunde::DiskSize);
        for (std::size_t i = 0; i < ganze; ++i) {
            const std::string_view satz =
                std::string_view(eingabe).substr(i * Kunde::DiskSize, Kunde::DiskSize);
            FUZZ_PRUEFE(geschrieben.compare(i * Kunde::DiskSize, Kunde::DiskSize, Erwartet(satz)) ==
                        0);
        }

        // Changing, deleting and adding on whatever was loaded.
        for (unsigned i = 0; i < kv.Count() && i < 4; ++i) {
            Kunde geaendert = kv[i];
            FixedText::Set(geaendert.Ort, "Neustadt");
            kv.UpdateKunde(geaendert);
        }
        if (kv.Count() > 0) {
            kv.DeleteKunde(kv[kv.Count() / 2].nummer);
        }
        Kunde neu;
        FixedText::Set(neu.Nachname, "Neu");
        try {
            kv.AddKunde(neu);
            FUZZ_PRUEFE(kv.GetKunde(neu.nummer) != nullptr);
        } catch (const MessageException&) {
            // The file used up every customer number.
        }
        for (unsigned i = 0; i < kv.Count(); ++i) {
            stand.push_back(KundenBild::Normal(kv[i]));
        }
    }
    // What was in memory is what the next start reads.
    KundenVerwaltung::maxNummer = 0;
    KundenVerwaltung wieder(kDatei);
    FUZZ_PRUEFE(wieder.Count() == stand.size());
    for (unsigned i = 0; i < wieder.Count(); ++i) {
        FUZZ_PRUEFE(KundenBild::Normal(wieder[i]) == stand[i]);
    }
    return 0;
}
