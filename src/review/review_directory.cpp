#include "review/review_directory.h"

#include "records/customer_review.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr auto kRescanEvery = std::chrono::seconds(1);
} // namespace

QStringList ReviewDirectory::Scan() {
    std::map<QString, QString> found;
    QStringList fresh;
    const QDir store(store_);
    for (const QString& name : store.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = store.absoluteFilePath(name);
        CustomerReview review;
        if (!QFileInfo::exists(ReviewFilePath(folder)) || !ReadCustomerReview(folder, review) ||
            !review.open)
            continue;
        if (!folders_.count(review.token))
            fresh.append(folder);
        found[review.token] = folder;
    }
    folders_ = std::move(found);
    scanned_ = std::chrono::steady_clock::now();
    everScanned_ = true;
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
        if (everScanned_ && std::chrono::steady_clock::now() - scanned_ < kRescanEvery)
            return {};
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
