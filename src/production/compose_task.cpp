#include "production/compose_task.h"

#include "compose/canvas_size_file.h"
#include "production/page_compositor.h"
#include "production/progress_run.h"
#include "production/status_file.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"

#include <future>
#include <memory>
#include <new>

int ReadDpiSetting() {
    return TextToInt(DpiText());
}

int ComposeTask(int pageIndex, const CustomerTask& task, IProgressRun* run,
                const ComposeEnvironment& env) {
    const bool allPages = pageIndex == -1;
    const int n = allPages ? task.PageCount() : 1;
    const int dpi = ReadDpiSetting();
    const QString folder = task.Folder();
    const QSize canvas = env.canvasSize ? env.canvasSize() : LastCanvasSize();
    run->SetCurrent(0);
    // A task without pages has nothing to divide among; it is done at once.
    const int step = n > 0 ? 100 / n : 0;

    const auto pageAt = [&](int i) -> const TaskPage* {
        const int index = allPages ? i : pageIndex;
        return index >= 0 && index < task.PageCount() ? task.pages[index].get() : nullptr;
    };
    // The next page is read and its photos decoded while this one is being
    // encoded, so both cores stay busy; it reports nothing until its turn.
    std::future<std::unique_ptr<PreparedPage>> next;

    for (int i = 0; i < n; ++i) {
        if (g_pProgressDlg.load() == nullptr) {
            run->EndDialog(0);
            return 0;
        }
        const TaskPage* page = pageAt(i);

        PageProgress progress(run, i, step);
        PageOutcome outcome = PageOutcome::Skipped;
        QString imagePath;
        try {
            // A page larger than any print would take gigabytes; it fails
            // before any memory is taken for it.
            std::unique_ptr<PreparedPage> prepared;
            if (page && AbovePageLimit(page->width, page->height))
                outcome = PageOutcome::NotSaved;
            else if (next.valid())
                prepared = next.get();
            else if (page)
                prepared = PreparePage(*page, folder, canvas);
            if (prepared)
                outcome = ReportPrepared(*prepared, progress);
            if (outcome == PageOutcome::Written) {
                DrawPreparedPage(*prepared, progress);
                const TaskPage* following = i + 1 < n ? pageAt(i + 1) : nullptr;
                if (following && !AbovePageLimit(following->width, following->height)) {
                    next = std::async(std::launch::async, [following, &folder, canvas] {
                        return PreparePage(*following, folder, canvas);
                    });
                }
                outcome = WritePreparedPage(*prepared, dpi, progress, &imagePath);
            }
        } catch (const std::bad_alloc&) {
            outcome = PageOutcome::OutOfMemory;
        }

        switch (outcome) {
        case PageOutcome::NoMarker:
            return 1;
        case PageOutcome::OutOfMemory:
            run->EndDialog(0);
            return 0;
        case PageOutcome::Skipped:
            run->ExtendMaximum(100);
            run->SetCurrent(100);
            run->AddToTotal(100);
            continue;
        case PageOutcome::NotSaved:
            // No status for a page whose image is not on disk: the task
            // list must not count it as output.
            run->PageFailed(folder, page->Name());
            continue;
        case PageOutcome::Written:
            break;
        }
        if (!allPages && env.openFile)
            env.openFile(imagePath);
        if (allPages)
            WriteStatusFile(folder, i + 1, n);
    }
    run->SetCurrent(100);
    run->AddToTotal(100);
    return 1;
}

void TaskRunThreadProc(ProgressRun* run, const ComposeEnvironment& env) {
    try {
        for (const QString& path : run->taskPaths) {
            if (g_pProgressDlg.load() == nullptr) {
                if (!run->IsClosed())
                    run->EndDialog(0);
                return;
            }
            CustomerTask task;
            if (!task.Load(path))
                continue;
            // 0: the run was ended (abort, lack of memory); the worker stops.
            if (ComposeTask(-1, task, run, env) == 0)
                return;
        }
    } catch (...) {
        // A failure ends the run like any other end.
    }
    // A run whose tasks could not all be counted (unreadable task files,
    // records without marker) would otherwise stay open for ever.
    if (!run->IsClosed())
        run->EndDialog(0);
}

void PageThreadProc(std::unique_ptr<ProgressJob> job) {
    ProgressRun* run = job->run;
    try {
        const CustomerTask* task = job->ownedTask ? job->ownedTask.get() : job->task;
        if (task)
            ComposeTask(job->pageIndex, *task, run, job->env);
    } catch (...) {
    }
    job.reset();
    if (run && !run->IsClosed())
        run->EndDialog(0);
}
