#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/TRebkontorApp.h"

int main(int argc, char** argv) {
    // What the window remembers for its user (places, column widths,
    // folders) goes to a folder of this run, never into the configuration of
    // whoever runs the tests.
    QTemporaryDir ablage;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ablage.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ablage.path());
    // Also when the test list is asked for, which happens without the
    // environment of the test runs. The screen has a desktop's size, not
    // the platform's 800 pixels, which are narrower than some dialogs.
    const QString bildschirm = ablage.filePath(QStringLiteral("bildschirm.json"));
    QFile json(bildschirm);
    if (json.open(QIODevice::WriteOnly)) {
        json.write(R"({"screens": [{"name": "Bildschirm", "x": 0, "y": 0, "width": 1280,
                       "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        json.close();
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string(platform) == "offscreen") {
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + bildschirm.toStdString()).c_str(), 1);
    }
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    // A grower's desktop is German; the program must not take its number
    // format for the amounts it prints and writes.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::testing::InitGoogleTest(&argc, argv);
    TRebkontorApp app(argc, argv);
    return RUN_ALL_TESTS();
}
