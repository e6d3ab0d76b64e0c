#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

// Why a file operation failed: what was done, to which file, and the
// system's error number. It travels with the result up to the message the
// user reads, so that the message can name the real reason (a full disk, a
// missing permission) instead of guessing one.
class Fehler {
  public:
    enum class Vorgang {
        Oeffnen,
        Lesen,
        Schreiben,
        Sichern,
        Umbenennen,
        Kuerzen,
        Anlegen,
        Abfragen
    };

    // In place of an errno: a read ended before the bytes the file had when
    // it was opened, because something cut it short meanwhile.
    static constexpr int kVerkuerzt = -1;

    Fehler(Vorgang vorgang, std::string pfad, int nummer)
        : vorgang_(vorgang), pfad_(std::move(pfad)), nummer_(nummer) {}

    Vorgang Was() const { return vorgang_; }
    const std::string& Pfad() const { return pfad_; }
    // The errno value.
    int Nummer() const { return nummer_; }
    // Only a missing file: what reads as empty where a file may be missing.
    bool Fehlt() const;

    // The reason in German, Windows-1252, as a phrase without a full stop
    // ("kein Platz mehr auf dem Datenträger"), to stand in parentheses
    // after a sentence or on a line of its own.
    std::string Grund() const;

  private:
    Vorgang vorgang_;
    std::string pfad_;
    int nummer_;
};

// The value of a file operation, or why there is none; Ergebnis<void> for
// an operation that only succeeds or fails. It converts to true on success.
template <typename T>
class [[nodiscard]] Ergebnis {
  public:
    Ergebnis(T wert) : inhalt_(std::move(wert)) {}
    Ergebnis(Fehler fehler) : inhalt_(std::move(fehler)) {}

    explicit operator bool() const { return inhalt_.index() == 0; }
    T& operator*() { return std::get<0>(inhalt_); }
    const T& operator*() const { return std::get<0>(inhalt_); }
    T* operator->() { return &std::get<0>(inhalt_); }
    const T* operator->() const { return &std::get<0>(inhalt_); }
    // Only after a failure.
    const Fehler& Ursache() const { return std::get<1>(inhalt_); }
    // The value, or after a failure the substitute.
    T WertOder(T ersatz) && { return *this ? std::move(**this) : std::move(ersatz); }

  private:
    std::variant<T, Fehler> inhalt_;
};

template <>
class [[nodiscard]] Ergebnis<void> {
  public:
    Ergebnis() = default;
    Ergebnis(Fehler fehler) : fehler_(std::move(fehler)) {}

    explicit operator bool() const { return !fehler_.has_value(); }
    // Only after a failure.
    const Fehler& Ursache() const { return *fehler_; }

  private:
    std::optional<Fehler> fehler_;
};
