#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>

// Which customer folder of the task store an open review's token belongs
// to. The folders are read again when a token is not known yet, at most
// once a second however many unknown tokens arrive.
class ReviewDirectory {
public:
    explicit ReviewDirectory(const QString& taskStore) : store_(taskStore) {}

    // The folder of the open review with this token, empty for none.
    // discovered is called for each open review found for the first time.
    QString FolderFor(const QString& token,
                      const std::function<void(const QString& folder)>& discovered = {});
    // The folders of all open reviews (reads the store now).
    QStringList OpenReviewFolders();

private:
    // Reads every customer folder's review; returns the newly found.
    QStringList Scan();

    QString store_;
    std::mutex mutex_;
    std::map<QString, QString> folders_; // token -> customer folder
    std::chrono::steady_clock::time_point scanned_{};
    bool everScanned_ = false;
};
