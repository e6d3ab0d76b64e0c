#pragma once

#include <string>
#include <vector>

// The crash test's own record of what the program under test has done, kept
// outside the data directory. Every line is on disk (fsync) before append
// returns, so a line that is there was written before the kill.
class Journal {
  public:
    explicit Journal(std::string pfad);
    ~Journal();

    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    void Anhaengen(const std::string& zeile);

    // The whole lines of a journal; a last line cut off by the kill is not
    // one.
    static std::vector<std::string> Lesen(const std::string& pfad);
    // Replaces the journal by these lines in one step.
    static void Ersetzen(const std::string& pfad, const std::vector<std::string>& zeilen);

  private:
    std::string pfad_;
    int fd_ = -1;
};
