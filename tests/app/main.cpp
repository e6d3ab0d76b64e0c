#include <gtest/gtest.h>

#include <cstdlib>

#include "app/TRebkontorApp.h"

int main(int argc, char** argv) {
    // Also when the test list is asked for, which happens without the
    // environment of the test runs.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TRebkontorApp app(argc, argv);
    return RUN_ALL_TESTS();
}
