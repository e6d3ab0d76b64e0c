#include "storage/DatenSperre.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "storage/MessageException.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(DatenSperreTest, OneHolderAtATimeAndNoLockWhereNothingCanBeWritten) {
    TempDir dir;
    const std::string daten = dir / "daten";
    fs::create_directory(daten);
    {
        DatenSperre erste(daten);
        EXPECT_TRUE(erste.Gehalten());
        try {
            DatenSperre zweite(daten);
            ADD_FAILURE() << "taken twice";
        } catch (const MessageException& e) {
            EXPECT_NE(e.Text().find("wird gerade von einem anderen Rebkontor-Programm benutzt"),
                      std::string::npos);
        }
    }
    // Released with its holder; the file stays, empty.
    EXPECT_TRUE(DatenSperre(daten).Gehalten());
    EXPECT_EQ(ReadBytes(daten + "/rebkontor.lock"), "");

    // No directory: nothing is created, the data set reports the rest.
    EXPECT_FALSE(DatenSperre(dir / "fehlt").Gehalten());
    EXPECT_FALSE(fs::exists(dir / "fehlt"));

    // A link in place of the lock file would lock another file.
    fs::remove(daten + "/rebkontor.lock");
    fs::create_symlink(dir / "anderswo", daten + "/rebkontor.lock");
    EXPECT_THROW(DatenSperre sperre(daten), MessageException);
    EXPECT_FALSE(fs::exists(dir / "anderswo"));
}

}  // namespace
