#include "cli/canvas_option.h"
#include "cli/command.h"
#include "production/compose_task.h"
#include "production/console_progress.h"
#include "production/task_reference.h"
#include "records/customer_task.h"

#include <QProcess>

#include <thread>

namespace {
const QString kCommand = QStringLiteral("compose-page");

int RunComposePage(const QStringList& args) {
    int pageNumber = 0;
    bool open = false;
    ComposeEnvironment env;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--page") {
            bool ok = false;
            pageNumber = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || pageNumber < 1)
                return BadInput(kCommand, QStringLiteral("--page needs a page number from 1"));
        } else if (args[i] == "--open") {
            open = true;
        } else if (args[i] == "--canvas") {
            if (!TakeCanvasOption(args, i, env))
                return BadInput(kCommand, QString::fromUtf8(kCanvasOptionError));
        } else if (args[i].startsWith("--")) {
            return BadInput(kCommand, QStringLiteral("unknown option %1").arg(args[i]));
        } else {
            rest.append(args[i]);
        }
    }
    if (rest.size() != 1 || pageNumber == 0)
        return BadInput(kCommand, QStringLiteral("needs --page N and one task"));

    const QString path = TaskPathFor(rest[0]);
    CustomerTask task;
    if (!task.Load(path))
        return BadInput(kCommand, QStringLiteral("cannot read task file %1").arg(path));
    if (pageNumber > task.PageCount())
        return BadInput(kCommand, QStringLiteral("the task has %1 pages").arg(task.PageCount()));

    ConsoleProgressRun run(100, stderr);
    run.Open();
    QString written;
    auto job = std::make_unique<ProgressJob>();
    job->pageIndex = pageNumber - 1;
    job->task = &task;
    job->run = &run;
    job->env = env;
    job->env.openFile = [&written](const QString& image) { written = image; };
    std::thread worker(PageThreadProc, std::move(job));
    worker.join();

    if (written.isEmpty())
        return BadInput(kCommand, QStringLiteral("page %1 could not be rendered: its layout "
                                                 "record or images are missing or damaged")
                                      .arg(pageNumber));
    PrintOut(written);
    if (open)
        QProcess::startDetached(QStringLiteral("xdg-open"), {written});
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("--page N TASK [--open] [--canvas WxH]"),
     QStringLiteral("Renders page N (from 1) of a task (a customer name or a 1.tx) at full size "
                    "as big<page>.jpg without touching status.txt and prints its path; --open "
                    "shows it."),
     RunComposePage});
} // namespace
