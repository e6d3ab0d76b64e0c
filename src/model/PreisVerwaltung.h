#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "model/Preis.h"
#include "storage/GenericList.h"

// Up to 20 named price lists. The names stand one per line in the names file
// ("daten/weinlisten.txt"); list k keeps its prices in "<verzeichnis>/k.wl".
// Lookups and changes act on the current list.
class PreisVerwaltung {
  public:
    static constexpr int kMaxPreislisten = 20;

    // One price list.
    class Preisliste {
      public:
        // Opens (or creates) the list's price file.
        Preisliste(std::int16_t nummer_, const std::string& name_, const std::string& dateiName,
                   Zugriff zugriff = Zugriff::Schreiben);

        Preisliste(const Preisliste&) = delete;
        Preisliste& operator=(const Preisliste&) = delete;

        // Its index, which is also the number in its file name.
        std::int16_t nummer;
        // At most 29 characters.
        char name[30] = {};
        GenericList<Preis> preise;
    };

    // Shows a message to the user: text and title. The model shows no window
    // itself.
    using Meldung = std::function<void(const std::string& text, const std::string& titel)>;

    // Reads the names file and opens every list. Raises
    // "Mehr als 20 Preislisten dürfen nicht erzeugt werden" when the file
    // names more than 20 lists.
    PreisVerwaltung(const std::string& namensDatei, const std::string& verzeichnis,
                    Zugriff zugriff = Zugriff::Schreiben);

    PreisVerwaltung(const PreisVerwaltung&) = delete;
    PreisVerwaltung& operator=(const PreisVerwaltung&) = delete;

    // Raises an exception for an index outside 0 .. count-1 and then leaves
    // the current list as it was.
    void SetPreisliste(int index);
    // Index of the current list; -1 while none has been chosen.
    int Current() const { return current_; }
    // The current list, or null.
    Preisliste* AktuellePreisliste();
    // List `index`, or null when there is none.
    Preisliste* GetPreisliste(int index);

    // The price of the wine in the current list; null without a current list
    // or without a price for the wine. Valid until the next AddPreis.
    Preis* GetPreis(std::int32_t weinNummer);
    // Appends the price to the current list unless the wine has one there.
    void AddPreis(const Preis& preis);
    // Rewrites the current list's file after prices were changed in place.
    void FlushPreisliste();

    // Creates list number `count` with this name. A 21st list is refused with
    // "Mehr als 20 Preislisten dürfen nicht erzeugt werden", and then no file
    // changes.
    void AddPreisliste(const std::string& name);
    // Name of list `index`; null for an index outside 0 .. count-1.
    const char* GetPreislisteName(int index) const;

    // Adds the prices of the old version ("daten_alt/wl-1" for list 0, ...)
    // to every list; a wine that has a price keeps it. A short old record is
    // reported through `meldung`.
    void ReadPascalFile(const Meldung& meldung);

    // Number of lists, 0 .. 20.
    int count = 0;

  private:
    std::unique_ptr<Preisliste> NeueListe(const std::string& name) const;

    std::string namensDatei_;
    std::string verzeichnis_;
    Zugriff zugriff_;
    std::array<std::unique_ptr<Preisliste>, kMaxPreislisten> listen_;
    int current_ = -1;
};
