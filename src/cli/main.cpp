#include "cli/command.h"
#include "common/base_dir.h"
#include "common/install_layout.h"
#include "common/startup.h"

#include <QGuiApplication>

#include <algorithm>

namespace {
// Qt's notes about the session environment (no runtime folder on a server)
// say nothing about the command's work; the rest goes to stderr as usual.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    Q_UNUSED(context);
    PrintErr(text);
}

void PrintHelp() {
    PrintOut("Usage: taoban-cli [--base DIR] COMMAND [ARGS...]");
    PrintOut("  or:  taoban-cli --help | --version");
    PrintOut("");
    PrintOut("The studio's production work without a window, on the same core as taoban.");
    PrintOut("");
    PrintOut(BaseRuleHelp());
    PrintOut("");
    PrintOut("Commands:");
    QList<CliCommand> sorted = CliCommands();
    std::sort(sorted.begin(), sorted.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    for (const CliCommand& c : sorted)
        PrintOut(QStringLiteral("  %1 %2\n      %3").arg(c.name, c.usage, c.summary));
    PrintOut("");
    PrintOut("taoban-cli COMMAND --help describes one command.");
}
} // namespace

int main(int argc, char** argv) {
    // Images are drawn with QPainter and fonts are never needed, so the
    // offscreen platform serves on a machine without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(FilterQtMessages);
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (!InitProcess(args)) {
        PrintErr("taoban-cli: --base needs a folder");
        return 2;
    }
    args.removeFirst();
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp();
        return args.isEmpty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        PrintOut("taoban-cli " + ProgramVersion());
        return 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand& c : CliCommands()) {
        if (c.name != name)
            continue;
        if (args.contains("--help")) {
            PrintOut(QStringLiteral("usage: taoban-cli %1 %2").arg(c.name, c.usage));
            PrintOut(c.summary);
            return 0;
        }
        if (c.usesStudio)
            StockStudio();
        return c.run(args);
    }
    PrintErr(
        QStringLiteral("taoban-cli: unknown command \"%1\" (see taoban-cli --help)").arg(name));
    return 2;
}
