#pragma once

#include "download/download_worker.h"

#include <QStringList>
#include <functional>
#include <mutex>

// Keeps what a download reports, from whichever thread, and lets a test act
// at a given report (the callbacks run on the reporting thread).
class RecordingObserver : public IDownloadObserver {
public:
    void OnStatus(const QString& text) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            statuses_ << text;
        }
        if (onStatus)
            onStatus(text);
    }
    void OnProgress(int, int, qint64 bytes, qint64) override {
        if (onBytes)
            onBytes(bytes);
    }
    void OnFinished(const DownloadResult& result) override {
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = result;
        finished_ = true;
    }
    QStringList statuses() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return statuses_;
    }
    int Count(const QString& status) const { return statuses().count(status); }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        statuses_.clear();
        finished_ = false;
    }
    bool finished() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return finished_;
    }
    DownloadResult result() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return result_;
    }

    std::function<void(const QString&)> onStatus;
    std::function<void(qint64)> onBytes;

private:
    mutable std::mutex mutex_;
    QStringList statuses_;
    DownloadResult result_;
    bool finished_ = false;
};
