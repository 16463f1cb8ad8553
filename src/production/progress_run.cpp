#include "production/progress_run.h"

std::atomic<IProgressRun*> g_pProgressDlg{nullptr};

namespace {
// Clears the active run only when it is still this one, so that a run that
// ends late never clears its successor.
void ClearActive(IProgressRun* run) {
    IProgressRun* expected = run;
    g_pProgressDlg.compare_exchange_strong(expected, nullptr);
}
} // namespace

ProgressRun::ProgressRun(int maximum) : maximum_(maximum) {}

ProgressRun::ProgressRun(const QStringList& paths)
    : taskPaths(paths), maximum_(100 * static_cast<int>(paths.size())) {}

ProgressRun::~ProgressRun() {
    ClearActive(this);
}

void ProgressRun::Open() {
    g_pProgressDlg.store(this);
}

void ProgressRun::SetCurrent(int p) {
    int current = 0, overall = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        WaitWhilePaused(lock);
        if (!IsActive())
            return;
        current_ = p;
        overall_ = accumulated_ + current_;
        current = current_;
        overall = overall_;
    }
    OnProgress(current, overall);
}

void ProgressRun::AddToTotal(int d) {
    int current = 0, overall = 0;
    bool reachedMaximum = false;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        WaitWhilePaused(lock);
        if (!IsActive())
            return;
        accumulated_ += d;
        overall_ = accumulated_;
        current = current_;
        overall = overall_;
        reachedMaximum = accumulated_ == maximum_;
    }
    OnProgress(current, overall);
    if (reachedMaximum) {
        ClearActive(this);
        CloseRun(1);
    }
}

void ProgressRun::ExtendMaximum(int d) {
    std::lock_guard<std::mutex> lock(mutex_);
    maximum_ += d;
}

void ProgressRun::EndDialog(int result) {
    CloseRun(result);
}

void ProgressRun::PageFailed(const QString& taskFolder, const QString& page) {
    std::lock_guard<std::mutex> lock(mutex_);
    failedPages_.append(taskFolder + QLatin1Char('/') + page);
}

QStringList ProgressRun::FailedPages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failedPages_;
}

void ProgressRun::CloseRun(int result) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return;
        closed_ = true;
        paused_ = false;
        // A closed window is no longer the active run, whatever closed it.
        ClearActive(this);
        changed_.notify_all();
    }
    OnClosed(result);
}

void ProgressRun::WaitWhilePaused(std::unique_lock<std::mutex>& lock) {
    while (paused_ && !closed_ && IsActive()) {
        workerParked_ = true;
        changed_.notify_all();
        changed_.wait(lock);
    }
    workerParked_ = false;
}

void ProgressRun::Pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (IsActive() && !closed_)
        paused_ = true;
}

void ProgressRun::Continue() {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = false;
    changed_.notify_all();
}

bool ProgressRun::IsPaused() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return paused_;
}

void ProgressRun::WaitForPausedWorker() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return workerParked_ || closed_; });
}

bool ProgressRun::Abort() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (paused_ || !IsActive())
        return false;
    ClearActive(this);
    changed_.notify_all();
    return true;
}

bool ProgressRun::IsClosed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

void ProgressRun::WaitUntilClosed() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return closed_; });
}

int ProgressRun::Maximum() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return maximum_;
}

int ProgressRun::Current() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_;
}

int ProgressRun::Overall() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return overall_;
}

void RecordingProgressRun::Record(ProgressEvent event) {
    {
        std::lock_guard<std::mutex> lock(eventsMutex_);
        events_.push_back(event);
    }
    if (observer)
        observer(event, *this);
}

void RecordingProgressRun::SetCurrent(int p) {
    Record({ProgressEvent::SetCurrent, p});
    ProgressRun::SetCurrent(p);
}

void RecordingProgressRun::AddToTotal(int d) {
    Record({ProgressEvent::AddToTotal, d});
    ProgressRun::AddToTotal(d);
}

void RecordingProgressRun::EndDialog(int result) {
    Record({ProgressEvent::EndDialog, result});
    ProgressRun::EndDialog(result);
}

std::vector<ProgressEvent> RecordingProgressRun::Events() const {
    std::lock_guard<std::mutex> lock(eventsMutex_);
    return events_;
}

std::vector<int> RecordingProgressRun::CurrentValues() const {
    std::vector<int> values;
    for (const ProgressEvent& e : Events())
        if (e.kind == ProgressEvent::SetCurrent)
            values.push_back(e.value);
    return values;
}
