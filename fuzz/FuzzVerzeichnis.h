#pragma once

#include <string>
#include <string_view>

// The working directory of one fuzzing process: made once (in /dev/shm when
// there is one, for speed), holding the empty folders "daten" and
// "daten_alt" that the program reads its files from.
//
// Each input runs in a Sitzung: the directory is emptied, so that no input
// sees what the one before left, and entered, because the program reads its
// files relative to the working directory; afterwards the fuzzer is back in
// its own working directory, where it reads its corpus. (A crash leaves the
// process inside, so give -artifact_prefix an absolute path.)
class FuzzVerzeichnis {
  public:
    class Sitzung {
      public:
        Sitzung();
        ~Sitzung();
        Sitzung(const Sitzung&) = delete;
        Sitzung& operator=(const Sitzung&) = delete;

      private:
        int vorher_;
    };

    // The directory, made on first use, with the clock fixed and the time
    // zone set, so that a run can be repeated exactly.
    static FuzzVerzeichnis& Get();

    // Removes every file below the directory; the two folders stay.
    void Leeren();

    const std::string& Pfad() const { return pfad_; }

    static void Schreiben(const std::string& datei, std::string_view bytes);
    // The whole file; empty when it is missing.
    static std::string Lesen(const std::string& datei);
    static bool Existiert(const std::string& datei);

  private:
    FuzzVerzeichnis();
    ~FuzzVerzeichnis();

    std::string pfad_;
};
