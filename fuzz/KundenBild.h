#pragma once

#include <cstring>
#include <string>

#include "model/Kunde.h"
#include "storage/ByteWriter.h"

// The file image of a customer, and the image with the bytes after each
// text's terminator cleared. A customer's copy takes a text only up to its
// terminator, so the second is what any copy of a record holds, in memory
// and after a round through the file.
class KundenBild {
  public:
    static std::string Bild(const Kunde& kunde) {
        std::string bytes;
        ByteWriter writer(bytes);
        writer << kunde;
        return bytes;
    }

    static std::string Normal(const Kunde& original) {
        Kunde kunde(original);
        Leeren(kunde.Anrede);
        Leeren(kunde.Vorname);
        Leeren(kunde.Nachname);
        Leeren(kunde.Strasse);
        Leeren(kunde.Ort);
        Leeren(kunde.Telefon);
        Leeren(kunde.Fax);
        Leeren(kunde.EMail);
        Leeren(kunde.bemerkung);
        return Bild(kunde);
    }

    // Normal for every record of a file image; a file that ends in part of
    // a record gives a mark no image can equal.
    static std::string NormalDatei(std::string_view datei) {
        std::string out = datei.size() % Kunde::DiskSize == 0 ? "" : "(Teilsatz)";
        for (std::size_t pos = 0; pos + Kunde::DiskSize <= datei.size(); pos += Kunde::DiskSize) {
            Kunde kunde;
            ByteReader reader(datei.substr(pos, Kunde::DiskSize));
            reader >> kunde;
            out += Normal(kunde);
        }
        return out;
    }

  private:
    template <std::size_t N>
    static void Leeren(char (&feld)[N]) {
        const std::size_t n = ::strnlen(feld, N);
        if (n < N) {
            std::memset(feld + n, 0, N - n);
        }
    }
};
