// The entry of the window and control tests: a QApplication on the offscreen
// platform with a fixed locale, font and style, a throw-away profile and
// home, so pixel probes and texts come out the same on every machine.

#include "test_support.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    UseRuntimeFolder(runtime);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("WenQuanYi Micro Hei", 9));
    QTemporaryDir profile;
    UseThrowAwayProfile(profile);
    return RUN_ALL_TESTS();
}
