#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

// The version record the build puts into the program file (the section
// ".rkversion" of the ELF file). Read from any file: one without such a
// record, or with a damaged one, simply has none.
class TProjectRCVersion {
  public:
    // The running program's own file.
    static constexpr const char* kEigeneDatei = "/proc/self/exe";
    static constexpr const char* kAbschnitt = ".rkversion";

    explicit TProjectRCVersion(const std::string& programmDatei = kEigeneDatei);

    bool HatRecord() const { return record_ != nullptr; }
    // Language in the upper, code page in the lower half (0x040904E4).
    std::uint32_t Uebersetzung() const { return uebersetzung_; }

    bool GetProductName(std::string& text) const { return Query("ProductName", text); }
    bool GetProductVersion(std::string& text) const { return Query("ProductVersion", text); }
    bool GetCopyright(std::string& text) const { return Query("LegalCopyright", text); }
    bool GetSpecialBuild(std::string& text) const { return Query("SpecialBuild", text); }

    // Any entry by its full key ("\StringFileInfo\040904e4\ProductName").
    bool Value(const std::string& key, std::string& value) const;
    // "\StringFileInfo\%08lx\%s" with the translation value.
    bool Query(const std::string& name, std::string& text) const;

    // The entries of a record; false when it is damaged.
    static bool Parse(const std::string& record, std::map<std::string, std::string>& entries);

  private:
    std::uint32_t uebersetzung_ = 0;
    std::unique_ptr<std::map<std::string, std::string>> record_;
};
