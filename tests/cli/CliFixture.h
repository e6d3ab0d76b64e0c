#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/Beispieldaten.h"
#include "model/Datenbestand.h"
#include "model/Verwaltungen.h"
#include "support/TempDir.h"

// Runs the built rebkontor-cli on temporary directories. Every test gets a
// working directory of its own; SampleDaten() fills its "daten" with a small
// sample business, the same for every test.
class CliFixture : public ::testing::Test {
  public:
    static const Beispieldaten::Umfang& SampleUmfang();

  protected:
    struct Ergebnis {
        int status = -1;
        std::string out;
        std::string err;
    };

    // Every file below a directory (relative path -> bytes and modification
    // time); directories appear with a trailing slash.
    using Schnappschuss = std::map<std::string, std::string>;

    void SetUp() override;

    // The program with the arguments, in `verzeichnis` (default: the test's
    // working directory).
    Ergebnis Lauf(const std::vector<std::string>& argumente, const std::string& verzeichnis = "");
    // Any program (found on the PATH) with the arguments.
    // `umgebung` holds "NAME=wert" settings for the program's environment.
    Ergebnis Programm(const std::string& programm, const std::vector<std::string>& argumente,
                      const std::string& verzeichnis = "",
                      const std::vector<std::string>& umgebung = {});

    // Copies the sample business into the working directory's "daten".
    void SampleDaten();
    std::string Daten() const { return dir_ / "daten"; }
    std::string Pfad(const std::string& name) const { return dir_ / name; }

    static Schnappschuss Aufnahme(const std::string& verzeichnis);

    // The data set of a copy of the working directory's "daten", opened
    // with every manager, for the results the library gives.
    class Bibliothek {
      public:
        explicit Bibliothek(const std::string& daten);
        Verwaltungen& V() { return bestand_->GetVerwaltungen(); }

      private:
        TempDir kopie_;
        std::unique_ptr<Datenbestand> bestand_;
    };

    // Opens the working directory's data in place, to change it for a test.
    std::unique_ptr<Datenbestand> Oeffnen();

    TempDir dir_;
};

// Little-endian field of a record file, for tests that damage one.
void SetzeInt32(const std::string& datei, std::size_t offset, std::int32_t wert);
std::int32_t LiesInt32(const std::string& datei, std::size_t offset);
