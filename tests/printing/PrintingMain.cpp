#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
    // CTest sets the platform for the runs; listing the tests runs without it.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
