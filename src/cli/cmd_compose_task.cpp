#include "cli/canvas_option.h"
#include "cli/command.h"
#include "production/compose_task.h"
#include "production/console_progress.h"
#include "production/status_file.h"
#include "production/task_reference.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <thread>
#include <unistd.h>

namespace {
const QString kCommand = QStringLiteral("compose-task");

std::atomic<bool> interrupted{false};

// Ctrl+C is the operator's "中止": the page in hand is finished, no other is
// started. Only lock-free atomics and write(2) are used here, which is all a
// signal handler may do.
void OnInterrupt(int) {
    interrupted.store(true);
    g_pProgressDlg.store(nullptr);
    static const char text[] = "\n正在中止,请稍候...\n";
    const ssize_t written = write(STDERR_FILENO, text, sizeof text - 1);
    (void)written;
}

int RunComposeTask(const QStringList& args) {
    ComposeEnvironment env;
    QStringList tasks;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--canvas") {
            if (!TakeCanvasOption(args, i, env))
                return BadInput(kCommand, QString::fromUtf8(kCanvasOptionError));
        } else if (args[i].startsWith("--")) {
            return BadInput(kCommand, QStringLiteral("unknown option %1").arg(args[i]));
        } else {
            tasks.append(TaskPathFor(args[i]));
        }
    }
    if (tasks.isEmpty())
        return BadInput(kCommand, QStringLiteral("needs at least one customer name or 1.tx"));

    ConsoleProgressRun run(tasks, stderr);
    run.Open();
    struct sigaction action = {}, previous = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND; // a second Ctrl+C ends the program at once
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    std::thread worker(TaskRunThreadProc, &run, env);
    worker.join();
    sigaction(SIGINT, &previous, nullptr);

    // What the task list shows in "已输出", one line per task.
    QStringList unreadable;
    for (const QString& task : tasks) {
        const QFileInfo info(task);
        if (!info.isFile()) {
            unreadable.append(task);
            continue;
        }
        PrintOut(QStringLiteral("%1\t%2").arg(info.dir().dirName(), ReadOutputStatus(info.path())));
    }
    if (interrupted.load())
        return 1;
    // A page that could not be rendered must not pass for a finished album.
    const QStringList failed = run.FailedPages();
    for (const QString& page : failed)
        PrintErr(QStringLiteral("%1: not rendered").arg(page));
    if (!failed.isEmpty())
        return 1;
    if (!unreadable.isEmpty())
        return BadInput(kCommand, QStringLiteral("no task file %1").arg(unreadable.join(", ")));
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("[--canvas WxH] TASK..."),
     QStringLiteral("Renders every page of each task (a customer name or a 1.tx) at full size as "
                    "big<page>.jpg and keeps status.txt; --canvas is the canvas size for pages "
                    "saved without one. Ctrl+C stops after the page in hand."),
     RunComposeTask});
} // namespace
