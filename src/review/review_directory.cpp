#include "review/review_directory.h"

#include "records/customer_review.h"

#include <QDir>
#include <QFileInfo>

QStringList ReviewDirectory::Scan() {
    std::map<QString, QString> found;
    std::map<QString, Seen> seen;
    QStringList fresh;
    const QDir store(store_);
    for (const QString& name : store.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = store.absoluteFilePath(name);
        const QFileInfo file(ReviewFilePath(folder));
        if (!file.isFile())
            continue;
        const QString stamp =
            QStringLiteral("%1-%2").arg(file.lastModified().toMSecsSinceEpoch()).arg(file.size());
        Seen entry;
        const auto before = seen_.find(folder);
        if (before != seen_.end() && before->second.stamp == stamp) {
            entry = before->second;
        } else {
            CustomerReview review;
            entry.stamp = stamp;
            if (ReadCustomerReview(folder, review) && review.open)
                entry.token = review.token;
        }
        seen[folder] = entry;
        if (entry.token.isEmpty())
            continue;
        if (!folders_.count(entry.token))
            fresh.append(folder);
        found[entry.token] = folder;
    }
    folders_ = std::move(found);
    seen_ = std::move(seen);
    return fresh;
}

QString ReviewDirectory::FolderFor(const QString& token,
                                   const std::function<void(const QString&)>& discovered) {
    QStringList fresh;
    QString folder;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto known = folders_.find(token);
        if (known != folders_.end())
            return known->second;
        fresh = Scan();
        const auto found = folders_.find(token);
        if (found != folders_.end())
            folder = found->second;
    }
    if (discovered)
        for (const QString& f : fresh)
            discovered(f);
    return folder;
}

QStringList ReviewDirectory::OpenReviewFolders() {
    std::lock_guard<std::mutex> lock(mutex_);
    Scan();
    QStringList folders;
    for (const auto& entry : folders_)
        folders.append(entry.second);
    return folders;
}
