#include <gtest/gtest.h>

#include <QGuiApplication>
#include <clocale>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
