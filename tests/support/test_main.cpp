#include "test_support.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    UseRuntimeFolder(runtime);
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    QTemporaryDir profile;
    UseThrowAwayProfile(profile);
    return RUN_ALL_TESTS();
}
