// The entry of the window and control tests: a QApplication on the offscreen
// platform with a fixed locale, font and style, a throw-away profile and base
// folder, so pixel probes and texts come out the same on every machine.

#include "common/profile.h"
#include "common/startup.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QLocale>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("WenQuanYi Micro Hei", 9));
    QTemporaryDir profile;
    Profile::UseFolder(profile.path());
    qputenv("TAOBAN_PROFILE_DIR", profile.path().toUtf8());
    QStringList args{QCoreApplication::applicationFilePath()};
    InitProcess(args);
    return RUN_ALL_TESTS();
}
