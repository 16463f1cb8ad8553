#include "app/desktop_main.h"

#include "app/main_window.h"
#include "common/startup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {
bool HasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal") ||
        platform.startsWith("vnc"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}
} // namespace

int RunDesktop(int argc, char** argv) {
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i)
        rawArgs.append(QString::fromLocal8Bit(argv[i]));
    QString screenshot;
    const int shotAt = rawArgs.indexOf("--screenshot");
    if (shotAt > 0 && shotAt + 1 < rawArgs.size()) {
        screenshot = rawArgs[shotAt + 1];
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !HasDisplay())
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "taoban: no display found (DISPLAY is not set); the desktop program "
                             "needs a graphical session. Use taoban-cli for work without one.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (!InitProcess(args)) {
        std::fprintf(stderr, "taoban: --base needs a folder\n");
        return 2;
    }
    CMainDlg window;
    window.show();
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(300, &window, [&window, screenshot] {
            const bool ok = window.grab().save(screenshot, "PNG");
            QCoreApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
