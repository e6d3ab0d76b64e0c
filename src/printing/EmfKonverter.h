#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Turns a metafile into SVG text with libemf2svg. The library believes the
// counts and offsets inside the records, so a damaged file can make it read
// astray or run on for a long time; it therefore works in a child process,
// which may die or be stopped without harm to the program. Only files that
// EmfKopf::Pruefen accepted should be handed over.
class EmfKonverter {
  public:
    // How long a conversion may take before it is given up.
    static constexpr int kHoechstSekunden = 10;
    // Longer SVG output is not taken.
    static constexpr std::size_t kHoechstAusgabe = 32 * 1024 * 1024;

    // The SVG document (UTF-8, no namespace prefix), `breite` x `hoehe`
    // user units large; nothing when the conversion fails in any way.
    static std::optional<std::string> NachSvg(std::string_view emf, double breite, double hoehe);

    // Runs `arbeit` in a child process and returns what it returned;
    // nothing when it returned nothing, died, took longer than `sekunden`
    // or answered more than kHoechstAusgabe bytes.
    static std::optional<std::string> ImKindprozess(
        const std::function<std::optional<std::string>()>& arbeit, int sekunden);
};
