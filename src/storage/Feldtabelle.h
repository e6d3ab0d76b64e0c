#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "storage/ByteReader.h"
#include "storage/ByteWriter.h"
#include "storage/FixedText.h"

// The byte layout of a record, written down once: its fields in file order,
// each with its name and its member. Width, offset and kind follow from the
// member's type and the fields before it, and the reader, the writer, copy
// and clear all walk the same table, so that no layout is written twice.
//
//   static constexpr auto kFelder =
//       Feldtabelle("Preis", Satzfeld("weinNummer", &Preis::weinNummer), ...);
//
// A record with such a table is read and written with >> and <<, and the
// record lists take it as it is.

enum class Feldart { Ganzzahl, Gleitkomma, Text };

template <typename F>
constexpr bool kIstText = std::remove_cvref_t<F>::kArt == Feldart::Text;

template <typename R, typename M>
struct Satzfeld {
    static_assert(std::is_arithmetic_v<M> || std::is_same_v<std::remove_extent_t<M>, char>,
                  "a record field is a number or a fixed-size text");
    static constexpr std::size_t kBreite = sizeof(M);
    static constexpr Feldart kArt = std::is_array_v<M>            ? Feldart::Text
                                    : std::is_floating_point_v<M> ? Feldart::Gleitkomma
                                                                  : Feldart::Ganzzahl;

    constexpr Satzfeld(const char* name_, M R::*glied_) : name(name_), glied(glied_) {}

    const char* name;
    M R::*glied;
    // Set by the table: the bytes of the fields before this one.
    std::size_t offset = 0;
};

// Where a record image ended before its record did: the fields from `feld`
// on kept their values, and `feld` took the `vorhanden` bytes that were there.
struct Satzende {
    const char* satz;
    const char* feld;
    std::size_t vorhanden;
    std::size_t breite;

    std::string Text() const {
        const std::string anfang = std::string("Der Satz ") + satz + " endet ";
        if (vorhanden == 0) {
            return anfang + "vor dem Feld " + feld + ".";
        }
        return anfang + "im Feld " + feld + " nach " + std::to_string(vorhanden) + " von " +
               std::to_string(breite) + " Bytes.";
    }
};

template <typename R, typename... M>
class Feldtabelle {
  public:
    static constexpr std::size_t kGroesse = (sizeof(M) + ...);

    constexpr Feldtabelle(const char* satz, Satzfeld<R, M>... felder)
        : satz_(satz), felder_(felder...) {
        std::size_t offset = 0;
        std::apply([&](auto&... feld) { ((feld.offset = offset, offset += feld.kBreite), ...); },
                   felder_);
    }

    // The byte offset of a member's field in the record image.
    template <typename A>
    constexpr std::size_t Offset(A R::*glied) const {
        std::size_t offset = kGroesse;
        FuerJedes([&](const auto& feld) {
            if constexpr (std::is_same_v<decltype(feld.glied), A R::*>) {
                if (feld.glied == glied) {
                    offset = feld.offset;
                }
            }
        });
        return offset;
    }

    void Schreiben(ByteWriter& out, const R& satz) const {
        FuerJedes([&](const auto& feld) {
            if constexpr (kIstText<decltype(feld)>) {
                // Whole, with whatever follows the terminator.
                out.Text(satz.*feld.glied);
            } else {
                out.Zahl(satz.*feld.glied);
            }
        });
    }

    // Reads the fields in file order. Data that ends early fills what it
    // reaches, as ByteReader does, and says where it ended.
    std::optional<Satzende> Lesen(ByteReader& in, R& satz) const {
        std::optional<Satzende> ende;
        FuerJedes([&](const auto& feld) {
            if (!ende && in.Rest() < feld.kBreite) {
                ende = Satzende{satz_, feld.name, in.Rest(), feld.kBreite};
            }
            if constexpr (kIstText<decltype(feld)>) {
                in.Text(satz.*feld.glied);
            } else {
                in.Zahl(satz.*feld.glied);
            }
        });
        return ende;
    }

    // Texts up to and including their terminator (a text without one whole),
    // so that the target keeps its own bytes behind it.
    void Kopieren(R& ziel, const R& quelle) const {
        FuerJedes([&](const auto& feld) {
            if constexpr (kIstText<decltype(feld)>) {
                FixedText::Copy(ziel.*feld.glied, quelle.*feld.glied);
            } else {
                ziel.*feld.glied = quelle.*feld.glied;
            }
        });
    }

    // Texts become all zero bytes, numbers 0; the members named keep their
    // values.
    template <typename... A>
    void Leeren(R& satz, A R::*... ausser) const {
        FuerJedes([&](const auto& feld) {
            if ((Gleich(feld.glied, ausser) || ...)) {
                return;
            }
            if constexpr (kIstText<decltype(feld)>) {
                std::memset(satz.*feld.glied, 0, feld.kBreite);
            } else {
                satz.*feld.glied = 0;
            }
        });
    }

  private:
    template <typename F>
    constexpr void FuerJedes(F&& f) const {
        std::apply([&](const auto&... feld) { (f(feld), ...); }, felder_);
    }

    template <typename A, typename B>
    static constexpr bool Gleich(A R::*a, B R::*b) {
        if constexpr (std::is_same_v<A, B>) {
            return a == b;
        } else {
            return false;
        }
    }

    const char* satz_;
    std::tuple<Satzfeld<R, M>...> felder_;
};

template <typename R>
concept MitFeldtabelle = requires {
    R::kFelder;
};

template <MitFeldtabelle R>
void PruefeGroesse() {
    static_assert(R::kFelder.kGroesse == R::DiskSize, "the fields must fill the record exactly");
}

template <MitFeldtabelle R>
ByteWriter& operator<<(ByteWriter& out, const R& satz) {
    PruefeGroesse<R>();
    R::kFelder.Schreiben(out, satz);
    return out;
}

template <MitFeldtabelle R>
ByteReader& operator>>(ByteReader& in, R& satz) {
    PruefeGroesse<R>();
    R::kFelder.Lesen(in, satz);
    return in;
}

// The record's file image.
template <MitFeldtabelle R>
std::string Satzbild(const R& satz) {
    std::string bild;
    bild.reserve(R::DiskSize);
    ByteWriter out(bild);
    out << satz;
    return bild;
}

// Reads the record from the image; nothing when the image held all of it.
template <MitFeldtabelle R>
std::optional<Satzende> SatzLesen(std::string_view bild, R& satz) {
    PruefeGroesse<R>();
    ByteReader in(bild);
    return R::kFelder.Lesen(in, satz);
}

// One field straight from a record image, for scans that look at a few
// fields of many records: Feldwert<&Rechnung::kunde>(bild).
template <typename T>
struct Glied;
template <typename R, typename M>
struct Glied<M R::*> {
    using Satz = R;
    using Typ = M;
};

template <auto glied>
typename Glied<decltype(glied)>::Typ Feldwert(std::string_view bild) {
    using G = Glied<decltype(glied)>;
    constexpr std::size_t offset = G::Satz::kFelder.Offset(glied);
    static_assert(offset < G::Satz::kFelder.kGroesse, "the member is no field of the record");
    typename G::Typ wert{};
    ByteReader in(bild.substr(offset, sizeof wert));
    in.Zahl(wert);
    return wert;
}
