#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <mutex>

// Which customer folder of the task store an open review's token belongs
// to. The store is looked at again whenever a token is not known: only the
// review files changed since (by their time and size) are read again, so a
// look costs one file status per customer.
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

    struct Seen {
        QString stamp; // the review file's time and size when read
        QString token; // empty when the review is closed or unreadable
    };

    QString store_;
    std::mutex mutex_;
    std::map<QString, QString> folders_; // token -> customer folder
    std::map<QString, Seen> seen_;       // customer folder -> its review file
};
