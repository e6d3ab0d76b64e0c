#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/TRebkontorApp.h"

int main(int argc, char** argv) {
    // Also when the test list is asked for, which happens without the
    // environment of the test runs.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    // A grower's desktop is German; the program must not take its number
    // format for the amounts it prints and writes.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::testing::InitGoogleTest(&argc, argv);
    TRebkontorApp app(argc, argv);
    return RUN_ALL_TESTS();
}
