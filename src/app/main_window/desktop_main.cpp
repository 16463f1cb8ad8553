#include "app/main_window/desktop_main.h"

#include "app/main_window/main_window.h"
#include "app/main_window/widget_messages.h"
#include "common/base_dir.h"
#include "common/install_layout.h"
#include "common/startup.h"
#include "controls/app_icon.h"
#include "controls/shared_fonts.h"
#include "controls/skin.h"
#include "production/task_reference.h"
#include "records/installation_id.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {
bool HasDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal") ||
        platform.startsWith("vnc"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

// Takes "NAME VALUE" out of args; empty when absent.
QString TakeOption(QStringList& args, const QString& name) {
    const int at = args.indexOf(name);
    if (at <= 0 || at + 1 >= args.size())
        return {};
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

// One program per user session: two windows saving into the same customer
// tasks would overwrite each other's pages.
std::unique_ptr<QLockFile> TakeInstanceLock() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(folder + "/taoban-pelomain.lock");
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

void PrintHelp() {
    const QString text =
        QStringLiteral(
            "Usage: taoban [--base DIR]\n"
            "  or:  taoban --screenshot FILE.png [--size WxH] [--base DIR]\n"
            "  or:  taoban --help | --version\n"
            "\n"
            "The desktop program of the portrait studio: customer orders, template pages,\n"
            "photos fitted into the templates' slots, finished pages and their batch\n"
            "rendering for the print lab. It needs a graphical session; taoban-cli does\n"
            "the same work without one.\n"
            "\n"
            "Options:\n"
            "  --base DIR           keep the studio in DIR\n"
            "  --screenshot FILE    draw the main window into FILE (PNG) and exit; works\n"
            "                       without a display\n"
            "  --size WxH           the window's size for --screenshot (default 1280x860)\n"
            "  --help               show this text and exit\n"
            "  --version            show the version and exit\n"
            "\n") +
        BaseRuleHelp() + QLatin1Char('\n');
    std::fputs(text.toUtf8().constData(), stdout);
}

int SaveScreenshot(CMainDlg& window, const QString& file) {
    // Settled: the first set and the sample photos are listed by now.
    QTimer::singleShot(500, &window, [&window, file] {
        const bool ok = window.grab().save(file, "PNG");
        if (!ok)
            std::fprintf(stderr, "taoban: cannot write %s\n", qPrintable(file));
        QCoreApplication::exit(ok ? 0 : 1);
    });
    return QApplication::exec();
}
} // namespace

int RunDesktop(int argc, char** argv) {
    QStringList rawArgs;
    for (int i = 0; i < argc; ++i)
        rawArgs.append(QString::fromLocal8Bit(argv[i]));
    // Answered before anything needs a display, so that the manual page can
    // be made from it on a build machine without one.
    if (rawArgs.contains(QStringLiteral("--help")) || rawArgs.contains(QStringLiteral("-h"))) {
        PrintHelp();
        return 0;
    }
    if (rawArgs.contains(QStringLiteral("--version"))) {
        std::printf("taoban %s\n", qPrintable(ProgramVersion()));
        return 0;
    }
    const bool screenshot = rawArgs.contains(QStringLiteral("--screenshot"));
    if (screenshot && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !HasDisplay())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!HasDisplay()) {
        std::fprintf(stderr, "taoban: no display found (DISPLAY is not set); the desktop program "
                             "needs a graphical session. Use taoban-cli for work without one.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("taoban"));
    QApplication::setWindowIcon(AppIcon());
    QStringList args = QCoreApplication::arguments();
    const QString shotFile = TakeOption(args, QStringLiteral("--screenshot"));
    const QString sizeText = TakeOption(args, QStringLiteral("--size"));
    QSize shotSize(1280, 860);
    if (!sizeText.isEmpty()) {
        shotSize = ParseWxH(sizeText, 10000);
        if (!shotSize.isValid()) {
            std::fprintf(stderr, "taoban: --size needs WxH, e.g. 1280x860\n");
            return 2;
        }
    }
    if (screenshot && shotFile.isEmpty()) {
        std::fprintf(stderr, "taoban: --screenshot needs a file name\n");
        return 2;
    }
    if (!InitProcess(args)) {
        std::fprintf(stderr, "taoban: --base needs a folder\n");
        return 2;
    }

    WidgetMessages messages;
    std::unique_ptr<QLockFile> instance;
    if (!screenshot) {
        instance = TakeInstanceLock();
        if (!instance) {
            messages.Inform(QStringLiteral("程序已经在运行!"));
            return 1;
        }
    }
    StockStudio();
    InitSharedFonts();
    InstallationId();
    InstallSkin();
    int status = 0;
    {
        CMainDlg window(messages);
        messages.SetOwner(&window);
        if (screenshot) {
            window.resize(shotSize);
            window.show();
            status = SaveScreenshot(window, shotFile);
        } else {
            window.ShowOnScreen();
            status = QApplication::exec();
        }
        messages.SetOwner(nullptr);
    }
    RemoveSkin();
    return status;
}
