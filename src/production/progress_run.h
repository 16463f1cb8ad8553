#pragma once

#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

// What the batch worker reports to: the progress window of its run. The
// worker calls these from its own thread.
class IProgressRun {
public:
    virtual ~IProgressRun() = default;
    // Current bar to p, overall bar to the accumulated progress + p.
    virtual void SetCurrent(int p) = 0;
    // Adds d to the accumulated progress; the run closes when that reaches
    // its maximum exactly.
    virtual void AddToTotal(int d) = 0;
    // Widens the overall range by d: a skipped page reports itself done on
    // top of its task's own end, and without more room the run would reach
    // its maximum, close and stop the worker before the later tasks ran.
    virtual void ExtendMaximum(int d) = 0;
    // Closes the run: after an abort, for lack of memory, or when the worker
    // ends before the maximum was reached.
    virtual void EndDialog(int result) = 0;
    // A page of the run failed: it is not on disk and has no status. The
    // run goes on with the next page.
    virtual void PageFailed(const QString& /*taskFolder*/, const QString& /*page*/) {}
};

// The run in progress, process-wide. Null when no run is active, after a
// confirmed abort and once the run reached its maximum. The worker reads it
// before every page and every task; null means stop.
extern std::atomic<IProgressRun*> g_pProgressDlg;

// The state of one compositing run, shared by the window (or the command
// line) and the worker thread: the two bars' values, pause and abort.
// Windows and printers subclass it and get OnProgress / OnClosed on the
// worker's thread.
class ProgressRun : public IProgressRun {
public:
    // maximum: 100 for a page run, 100 per task path for a task run.
    explicit ProgressRun(int maximum);
    // A task run over task-file paths.
    explicit ProgressRun(const QStringList& taskPaths);
    ~ProgressRun() override;

    // The run becomes the active one (g_pProgressDlg).
    void Open();

    void SetCurrent(int p) override;
    void AddToTotal(int d) override;
    void ExtendMaximum(int d) override;
    void EndDialog(int result) override;
    void PageFailed(const QString& taskFolder, const QString& page) override;
    // The pages that failed so far, as "<task folder>/<page>".
    QStringList FailedPages() const;

    // Pausing takes effect at the worker's next progress report, where it
    // waits until Continue (or until the run ends).
    void Pause();
    void Continue();
    bool IsPaused() const;
    // Blocks until the worker sits in a pause.
    void WaitForPausedWorker();

    // A confirmed abort: ignored while paused or when this run is not the
    // active one; otherwise clears g_pProgressDlg and returns true. The worker
    // notices before its next page or task.
    bool Abort();

    bool IsActive() const { return g_pProgressDlg.load() == this; }
    bool IsClosed() const;
    void WaitUntilClosed();
    int Maximum() const;
    int Current() const; // the current bar
    int Overall() const; // the overall bar

    // Task-file paths of a task run, in run order.
    QStringList taskPaths;

protected:
    virtual void OnProgress(int /*current*/, int /*overall*/) {}
    virtual void OnClosed(int /*result*/) {}

private:
    void WaitWhilePaused(std::unique_lock<std::mutex>& lock);
    void CloseRun(int result);

    int maximum_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int current_ = 0;
    int accumulated_ = 0;
    int overall_ = 0;
    bool paused_ = false;
    bool workerParked_ = false;
    bool closed_ = false;
    QStringList failedPages_;
};

// One call the worker made, as a recording run keeps it.
struct ProgressEvent {
    enum Kind { SetCurrent, AddToTotal, EndDialog };
    Kind kind;
    int value;
    bool operator==(const ProgressEvent& o) const { return kind == o.kind && value == o.value; }
};

// A run that keeps every call the worker made, in order, whether or not the
// run was still active then; observer (optional) sees each call as it comes.
class RecordingProgressRun : public ProgressRun {
public:
    using ProgressRun::ProgressRun;

    void SetCurrent(int p) override;
    void AddToTotal(int d) override;
    void EndDialog(int result) override;

    std::vector<ProgressEvent> Events() const;
    // The values given to SetCurrent, in order.
    std::vector<int> CurrentValues() const;

    std::function<void(const ProgressEvent&, RecordingProgressRun&)> observer;

private:
    void Record(ProgressEvent event);

    mutable std::mutex eventsMutex_;
    std::vector<ProgressEvent> events_;
};
