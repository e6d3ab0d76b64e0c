#pragma once

#include <map>
#include <string>

// The files of a directory with their bytes, to compare one state of the
// data with another byte for byte. Subdirectories are not looked into.
class Verzeichnisbild {
  public:
    Verzeichnisbild() = default;
    explicit Verzeichnisbild(const std::string& verzeichnis);

    const std::map<std::string, std::string>& Dateien() const { return dateien_; }
    // The bytes of a file, or null when the directory did not hold it.
    const std::string* Datei(const std::string& name) const;

    bool operator==(const Verzeichnisbild& other) const { return dateien_ == other.dateien_; }

    // Names of files that differ between the two (missing on one side
    // included).
    static std::string Unterschiede(const Verzeichnisbild& a, const Verzeichnisbild& b);

  private:
    std::map<std::string, std::string> dateien_;
};
