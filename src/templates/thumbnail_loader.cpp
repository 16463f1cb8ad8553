#include "templates/thumbnail_loader.h"

#include "raster/working_copy_cache.h"
#include "templates/canvas_preparation.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <sys/resource.h>
#include <unistd.h>

// What the workers of one run share. The path list is written before the
// workers start and only read afterwards; the loader and its workers talk
// through the atomics alone.
struct ThumbnailLoader::Run {
    QStringList paths;
    int generation = 0;
    std::atomic<bool> stop{false};
    // Bytes of working copies the cells may still make from the decodes
    // they need anyway: as many as the working copies' cache holds, so
    // the run does not make copies that its own later ones push out.
    std::atomic<qint64> copyRoom{0};
    std::atomic<int> next{0};    // the next position a worker takes
    std::atomic<int> workers{0}; // workers that have not ended yet
};

// A background pass of Prepare. The first task lists what is missing before
// the others start; from then on the list is only read.
struct ThumbnailLoader::Pass {
    QStringList paths;
    int number = 0;
    bool scanFaces = false;
    std::atomic<bool> stop{false};
    QStringList missing;         // the photos that need work, in list order
    QList<bool> copyKept;        // whether each of them has its working copy
    std::atomic<qint64> room{0}; // bytes of new copies the cache still takes
    std::atomic<int> next{0};
    std::atomic<int> workers{0};
};

namespace {

// Decoding a photo keeps one core busy; more workers than cores only make
// each cell arrive later.
int WorkerCount() {
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

// The background pass yields the cores to the window and to every other
// program of normal priority: nice 10 gives a thread about a tenth of a core
// wherever one of them wants it. Linux sets it per thread; the pass's pool
// keeps its threads to itself, so the lowered priority never reaches other
// work.
void LowerThisThreadsPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}

} // namespace

ThumbnailLoader::ThumbnailLoader(ThumbnailSource source, QObject* parent)
    : QObject(parent), source_(source) {
    pool_.setMaxThreadCount(WorkerCount());
    backgroundPool_.setMaxThreadCount(WorkerCount());
}

ThumbnailLoader::~ThumbnailLoader() {
    Cancel();
    // Workers post to this object; none may outlive it.
    pool_.waitForDone();
    backgroundPool_.waitForDone();
}

int ThumbnailLoader::Refresh(const QStringList& paths) {
    Cancel();
    auto run = std::make_shared<Run>();
    run->paths = paths;
    run->generation = ++generation_;
    run->copyRoom = WorkingCopyCache::Shared().capacity();
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
    CancelPass();
    if (run_) {
        run_->stop = true;
        run_.reset();
    }
    // Workers of a cancelled run that have not started yet never will.
    pool_.clear();
    running_ = false;
}

void ThumbnailLoader::CancelPass() {
    if (pass_) {
        pass_->stop = true;
        pass_.reset();
    }
    backgroundPool_.clear();
    preparing_ = false;
}

void ThumbnailLoader::Prepare(const QStringList& paths) {
    CancelPass();
    if (source_ != ThumbnailSource::CustomerPhoto || paths.isEmpty())
        return;
    auto pass = std::make_shared<Pass>();
    pass->paths = paths;
    pass->number = ++passNumber_;
    pass->scanFaces = scanFaces_;
    pass_ = pass;
    preparing_ = true;
    backgroundPool_.start([this, pass] { PlanPass(pass); });
}

void ThumbnailLoader::PlanPass(const std::shared_ptr<Pass>& pass) {
    LowerThisThreadsPriority();
    qint64 kept = 0;
    try {
        for (const QString& path : std::as_const(pass->paths)) {
            if (pass->stop)
                return;
            const CanvasReadiness readiness = CanvasReadinessOf(path, pass->scanFaces);
            kept += readiness.copyBytes;
            if (!readiness.complete) {
                pass->missing.append(path);
                pass->copyKept.append(readiness.copyBytes > 0);
            }
        }
    } catch (...) {
        // Out of memory for the list: nothing is made ahead, each photo is
        // made when it is put, as one the list has not reached.
        return;
    }
    pass->room = WorkingCopyCache::Shared().capacity() - kept;
    const int workers = static_cast<int>(std::min<qsizetype>(WorkerCount(), pass->missing.size()));
    pass->workers = std::max(workers, 1);
    for (int i = 1; i < workers && !pass->stop; ++i)
        backgroundPool_.start([this, pass] { WorkPass(pass); });
    WorkPass(pass);
}

void ThumbnailLoader::WorkPass(const std::shared_ptr<Pass>& pass) {
    LowerThisThreadsPriority();
    try {
        while (!pass->stop) {
            const int i = pass->next++;
            if (i >= pass->missing.size())
                break;
            // A photo without its copy takes room; its faces alone do not.
            const bool kept = pass->copyKept.at(i);
            if (!kept && pass->room <= 0)
                continue;
            try {
                const qint64 bytes = PrepareForCanvas(pass->missing.at(i), pass->scanFaces);
                if (!kept)
                    pass->room -= bytes;
            } catch (...) {
                // A photo that makes its reader fail is made when it is put,
                // which reports it; the pass goes on with the next one.
            }
        }
    } catch (...) {
        // Out of memory between photos: this worker ends, the pass still does.
    }
    if (--pass->workers > 0 || pass->stop)
        return;
    const int number = pass->number;
    try {
        QMetaObject::invokeMethod(
            this, [this, number] { EndPass(number); }, Qt::QueuedConnection);
    } catch (...) {
        // The next Prepare, Refresh or Stop resets the pass all the same.
    }
}

void ThumbnailLoader::EndPass(int number) {
    if (!preparing_ || !pass_ || pass_->number != number)
        return;
    preparing_ = false;
    pass_.reset();
    emit Prepared();
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
                cell = MakeThumbnailCell(run->paths.at(position), source_, &run->copyRoom);
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
