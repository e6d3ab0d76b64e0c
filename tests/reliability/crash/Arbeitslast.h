#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "Journal.h"
#include "Vorhaben.h"

class Datenbestand;

// The workload of the crash test: random operations through the managers,
// in the order the dialogs make their calls, on whatever the data directory
// holds. Each operation is announced in the journal before it begins
// ("B ...") and confirmed when it has returned ("E <log lines>"), so that
// after a kill the check knows what was done and what was under way.
class Arbeitslast {
  public:
    Arbeitslast(std::uint32_t seed, Journal& journal);
    ~Arbeitslast();

    // Opens the data set in the working directory.
    void Starten();
    // One random operation.
    void Schritt();
    // One operation of that kind ("KundeNeu", ...); false when the data
    // offer nothing to do it on.
    bool Ausfuehren(const std::string& art);

    static const char* const kArten[];

  private:
    Datenbestand& B() { return *bestand_; }
    void Melden(const Vorhaben& vorhaben);
    void Fertig();
    int LogZeilen() const;
    std::int32_t Zufall(std::int32_t von, std::int32_t bis);

    bool KundeNeu();
    bool KundeAendern();
    bool KundeLoeschen();
    bool WeinNeu();
    bool WeinAendern();
    bool WeinVerbergen();
    bool PreisSetzen();
    bool RechnungNeu(int anzahl);
    bool PostenSetzen();
    bool RechnungAendern();
    bool RechnungLoeschen();
    bool RechnungAbleiten();
    bool GruppeNeu();
    bool PreislisteNeu();
    bool MerkzettelNeu();
    bool MahnstufeSetzen();
    bool EinstellungenSpeichern();
    bool Neustart();

    // A stored invoice that is not deleted, or -1.
    std::int32_t OffeneRechnung();

    std::mt19937 zufall_;
    Journal& journal_;
    std::unique_ptr<Datenbestand> bestand_;
};
