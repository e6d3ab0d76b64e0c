#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The SHA-256 of a file's bytes, fed in pieces, as lower-case hex (what
// sha256sum prints), so that a backup's manifest can be checked with any tool.
class Pruefsumme {
  public:
    Pruefsumme();
    ~Pruefsumme();
    Pruefsumme(const Pruefsumme&) = delete;
    Pruefsumme& operator=(const Pruefsumme&) = delete;

    void Dazu(std::string_view bytes);
    // The sum of everything fed in; afterwards it starts anew.
    std::string Hex();

    static std::string Von(std::string_view bytes);

  private:
    // nettle's context, kept out of this header.
    struct Zustand;
    std::unique_ptr<Zustand> zustand_;
};
