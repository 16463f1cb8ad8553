#pragma once

#include <QString>
#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// The pictures a phone is shown are copies at screen size: a camera photo or
// a page is decoded once, by worker threads of this class, scaled so its
// longer side is at most longSide and kept as a JPEG file in a cache folder
// beside the customer's pages. The file's name comes from the source's path,
// size, last change and longSide, so a page saved again gets a new copy and
// the name serves as the copy's ETag. A request thread only waits for a copy,
// never decodes; many requests for one copy share one decode.
class ScaledCopies {
public:
    struct Copy {
        QString path; // empty: the source is missing or does not decode
        QString etag;
    };

    explicit ScaledCopies(int threads = 2);
    ~ScaledCopies();
    ScaledCopies(const ScaledCopies&) = delete;
    ScaledCopies& operator=(const ScaledCopies&) = delete;

    // The copy, made first when it is not there yet (waiting for a worker).
    Copy Get(const QString& source, const QString& cacheFolder, int longSide);
    // Has the copy made in the background when it is not there yet.
    void Prefetch(const QString& source, const QString& cacheFolder, int longSide);

    // Copies made since this object was created (each decode counted once).
    int madeCount() const;

private:
    struct Job {
        QString source, target;
        int longSide = 0;
        std::promise<bool> done;
        std::shared_future<bool> result;
    };

    // Where the copy of source goes; empty when the source is not a file.
    static QString TargetFor(const QString& source, const QString& cacheFolder, int longSide);
    // The job for target, queued when new (urgent ones first).
    std::shared_future<bool> Queue(const QString& source, const QString& target, int longSide,
                                   bool urgent);
    void Work();
    static bool Make(const QString& source, const QString& target, int longSide);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::map<QString, std::shared_ptr<Job>> jobs_; // by target, until done
    std::map<QString, bool> failed_;               // targets whose source does not decode
    bool stopping_ = false;
    int made_ = 0;
    std::vector<std::thread> workers_;
};
