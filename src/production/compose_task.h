#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <memory>

class CustomerTask;
class IProgressRun;
class ProgressRun;

// What the worker needs from the program around it.
struct ComposeEnvironment {
    // Client size of the composition canvas now; used for pages saved
    // without their own canvas size. Unset: the size the desktop program
    // last gave its canvas.
    std::function<QSize()> canvasSize;
    // Shows the finished page of a page run (the system's "open" action for
    // the JPEG). Unset: nothing is shown.
    std::function<void(const QString& imagePath)> openFile;
};

// Renders the page at pageIndex of task at full size, or every page when
// pageIndex is -1 (then "status.txt" follows each finished page). Returns 1
// when it ran to its end or stopped at a layout record without its marker,
// 0 when it stopped on an abort or for lack of memory.
int ComposeTask(int pageIndex, const CustomerTask& task, IProgressRun* run,
                const ComposeEnvironment& env = {});

// A task run: every page of every task in run->taskPaths, in order. Closes
// the run when it ends, however it ends.
void TaskRunThreadProc(ProgressRun* run, const ComposeEnvironment& env = {});

// A page run of one page (or of every page, pageIndex -1) of a task.
struct ProgressJob {
    int pageIndex = -1;
    // The task to render: the caller's own task, which it keeps, or the
    // job's ownedTask.
    const CustomerTask* task = nullptr;
    std::unique_ptr<CustomerTask> ownedTask;
    ProgressRun* run = nullptr;
    ComposeEnvironment env;
};
// Renders the job's page, then frees the job (and a task it owns) and closes
// the run.
void PageThreadProc(std::unique_ptr<ProgressJob> job);

// The "dpi" profile value read the way the studio always has: leading
// digits, 254 when absent.
int ReadDpiSetting();
