// Widget tests run with Qt's offscreen platform and a private settings file
// and data folder, so they need no display and leave the user's preferences
// and recovery files alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "ModalWatchdog.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir settingsDir;
    // Recovery files go to a data folder of the tests' own.
    QTemporaryDir dataDir;
    qputenv("XDG_DATA_HOME", dataDir.path().toUtf8());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    kv::ModalWatchdog watchdog;
    testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
    listeners.Append(&watchdog);
    const int result = RUN_ALL_TESTS();
    listeners.Release(&watchdog);  // it dies here, with the application still there
    return result;
}
