#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

// Every test program runs in the time zone of a German grower, whether CTest
// or a developer starts it, so that local dates and times are the same
// everywhere.
int main(int argc, char** argv) {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
