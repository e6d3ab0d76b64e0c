#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An input that stands for several files (and a few numbers) at once. Every
// part but the last is a 32-bit little-endian length followed by that many
// bytes (cut short where the input ends); the last part is the rest. So any
// byte string is a valid input, and a mutation of one length moves the
// border between two files.
class FuzzEingabe {
  public:
    FuzzEingabe(const std::uint8_t* data, std::size_t size, std::size_t teile);

    std::string_view Teil(std::size_t index) const { return teile_.at(index); }

    // The inverse, for the seed files: joins the parts in the same form.
    static std::string Verbinden(const std::vector<std::string>& teile);

    // Little-endian numbers from the front of a part, 0 where it ends.
    static std::int32_t Int32(std::string_view teil, std::size_t offset);
    static std::uint8_t UInt8(std::string_view teil, std::size_t offset);

  private:
    std::vector<std::string_view> teile_;
};
