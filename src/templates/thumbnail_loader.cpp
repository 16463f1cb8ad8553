#include "templates/thumbnail_loader.h"

#include <QThread>

#include <algorithm>
#include <atomic>

// What the workers of one run share. The path list is written before the
// workers start and only read afterwards; the loader and its workers talk
// through the atomics alone.
struct ThumbnailLoader::Run {
    QStringList paths;
    int generation = 0;
    bool scanFaces = false;
    std::atomic<bool> stop{false};
    std::atomic<int> next{0};    // the next position a worker takes
    std::atomic<int> workers{0}; // workers that have not ended yet
};

namespace {

// Decoding a photo keeps one core busy; more workers than cores only make
// each cell arrive later.
int WorkerCount() {
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

} // namespace

ThumbnailLoader::ThumbnailLoader(ThumbnailSource source, QObject* parent)
    : QObject(parent), source_(source) {
    pool_.setMaxThreadCount(WorkerCount());
}

ThumbnailLoader::~ThumbnailLoader() {
    Cancel();
    // Workers post to this object; none may outlive it.
    pool_.waitForDone();
}

int ThumbnailLoader::Refresh(const QStringList& paths) {
    Cancel();
    auto run = std::make_shared<Run>();
    run->paths = paths;
    run->generation = ++generation_;
    run->scanFaces = scanFaces_;
    run_ = run;
    running_ = true;
    const int generation = run->generation;
    const int workers = static_cast<int>(std::min<qsizetype>(pool_.maxThreadCount(), paths.size()));
    if (workers == 0) {
        // Finished always comes from the event loop, never from inside
        // Refresh, whether the list is empty or not.
        QMetaObject::invokeMethod(
            this, [this, generation] { EndRun(generation); }, Qt::QueuedConnection);
        return generation;
    }
    run->workers = workers;
    for (int i = 0; i < workers; ++i)
        pool_.start([this, run] { Work(run); });
    return generation;
}

void ThumbnailLoader::Stop() {
    Cancel();
}

void ThumbnailLoader::Cancel() {
    if (run_) {
        run_->stop = true;
        run_.reset();
    }
    // Workers of a cancelled run that have not started yet never will.
    pool_.clear();
    running_ = false;
}

void ThumbnailLoader::Work(const std::shared_ptr<Run>& run) {
    const int generation = run->generation;
    const auto count = run->paths.size();
    try {
        while (!run->stop) {
            const int position = run->next++;
            if (position >= count)
                break;
            QImage cell;
            try {
                cell = MakeThumbnailCell(run->paths.at(position), source_, run->scanFaces);
            } catch (...) {
                // A picture that makes its reader fail leaves its cell blank;
                // the run goes on with the next one.
                cell = DrawThumbnailCell(QImage());
            }
            if (run->stop)
                break;
            QMetaObject::invokeMethod(
                this,
                [this, generation, position, cell] { DeliverCell(generation, position, cell); },
                Qt::QueuedConnection);
        }
    } catch (...) {
        // Drawing even a blank cell failed: this worker ends here, and the
        // run still ends below, so the list is never left waiting for it.
    }
    if (--run->workers > 0)
        return;
    try {
        QMetaObject::invokeMethod(
            this, [this, generation] { EndRun(generation); }, Qt::QueuedConnection);
    } catch (...) {
        // Out of memory even for the last message: the next Refresh or Stop
        // resets the loader all the same.
    }
}

void ThumbnailLoader::DeliverCell(int generation, int position, const QImage& cell) {
    if (running_ && generation == generation_)
        emit CellReady(generation, position, cell);
}

void ThumbnailLoader::EndRun(int generation) {
    if (!running_ || generation != generation_)
        return;
    running_ = false;
    run_.reset();
    emit Finished(generation);
}
