#include "common/profile.h"
#include "common/startup.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A machine without a desktop session has no runtime folder; give Qt one
    // so test output carries only the tests' own lines.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    }
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    // Keep every profile value of the run in a throw-away folder, for this
    // process and for programs it starts.
    QTemporaryDir profile;
    Profile::UseFolder(profile.path());
    qputenv("TAOBAN_PROFILE_DIR", profile.path().toUtf8());
    QStringList args{QCoreApplication::applicationFilePath()};
    InitProcess(args);
    return RUN_ALL_TESTS();
}
