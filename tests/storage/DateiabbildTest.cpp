#include "storage/Dateiabbild.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/File.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

// A mapped file shows what the program writes through File at once, also
// after it grew past the room first reserved; a failing map is a read
// error, never an empty file; and a SIGBUS that is not a read of our
// mappings keeps its default action.
TEST(DateiabbildTest, ShowsTheWritesGrowsWithTheFileAndKeepsForeignFaults) {
    TempDir dir;
    const std::string pfad = dir / "satz.dat";
    WriteBytes(pfad, "abc");
    Dateiabbild abbild(pfad);
    const Ergebnis<std::int64_t> laenge = abbild.Oeffnen();
    ASSERT_TRUE(laenge);
    EXPECT_EQ(*laenge, 3);
    EXPECT_EQ(std::string_view(abbild.Daten(), 3), "abc");
    Ergebnis<File> datei = File::OpenReadWrite(pfad);
    ASSERT_TRUE(datei);
    ASSERT_TRUE(datei->WriteAt(1, "X"));
    EXPECT_EQ(std::string_view(abbild.Daten(), 3), "aXc");
    // Three megabytes more: past the room of the first mapping.
    std::string viel(std::size_t{3} << 20, 'z');
    viel.back() = 'E';
    ASSERT_TRUE(abbild.Platz(static_cast<std::int64_t>(3 + viel.size())));
    ASSERT_TRUE(datei->WriteAt(3, viel));
    EXPECT_EQ(std::string_view(abbild.Daten(), 4), "aXcz");
    EXPECT_EQ(abbild.Daten()[3 + viel.size() - 1], 'E');
    EXPECT_FALSE(abbild.Verkuerzt());

    IoFaults::SetHook([&](IoFaults::Op op, const std::string& p) {
        return op == IoFaults::Op::Read && p == pfad ? EIO : 0;
    });
    Dateiabbild zweites(pfad);
    const Ergebnis<std::int64_t> fehlt = zweites.Oeffnen();
    IoFaults::ClearHook();
    ASSERT_FALSE(fehlt);
    EXPECT_EQ(fehlt.Ursache().Was(), Fehler::Vorgang::Lesen);
    EXPECT_EQ(fehlt.Ursache().Nummer(), EIO);
    EXPECT_FALSE(zweites.Offen());

    // A mapping of someone else's, cut short and read past its end, and a
    // SIGBUS sent from outside, end the process as they would without us:
    // killed by the signal, or under AddressSanitizer (whose handler was
    // there first) reported by it.
#if defined(__SANITIZE_ADDRESS__)
    const auto wieOhneUns = ::testing::ExitedWithCode(1);
#else
    const auto wieOhneUns = ::testing::KilledBySignal(SIGBUS);
#endif
    const std::string fremd = dir / "fremd.dat";
    WriteBytes(fremd, viel);
    EXPECT_EXIT(
        {
            const int fd = ::open(fremd.c_str(), O_RDONLY);
            const auto* bytes = static_cast<const volatile char*>(
                ::mmap(nullptr, viel.size(), PROT_READ, MAP_SHARED, fd, 0));
            (void)::truncate(fremd.c_str(), 0);
            std::_Exit(bytes[viel.size() - 1] == 'E' ? 3 : 4);
        },
        wieOhneUns, "");
    EXPECT_EXIT(::raise(SIGBUS), wieOhneUns, "");
}

}  // namespace
