#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One operation of the workload as the journal names it: a kind and its
// arguments, words without blanks.
class Vorhaben {
  public:
    Vorhaben() = default;
    Vorhaben(std::string art, std::vector<std::string> argumente)
        : art_(std::move(art)), argumente_(std::move(argumente)) {}

    static Vorhaben Aus(const std::string& text);
    std::string Text() const;

    const std::string& Art() const { return art_; }
    std::size_t Anzahl() const { return argumente_.size(); }
    const std::string& Wort(std::size_t i) const { return argumente_.at(i); }
    std::int32_t Zahl(std::size_t i) const { return std::stoi(argumente_.at(i)); }

  private:
    std::string art_;
    std::vector<std::string> argumente_;
};
