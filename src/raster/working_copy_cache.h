#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <list>
#include <mutex>
#include <optional>
#include <unordered_map>

// The 400-pixel working copies of customer photos already decoded, by file.
// The customer photo list fills it while it draws its thumbnails, so a photo
// put into a slot after it was shown, or put again into another slot, page
// or template, is never decoded a second time. Beside a copy it keeps the
// faces found in the photo (FindFacesInPhoto), once they were looked for.
// A file is known by its path,
// size and modification time: one changed on disk is decoded anew. The
// copies kept are bounded in bytes; the least recently used go first.
// Safe to use from several threads.
class WorkingCopyCache {
public:
    struct Key {
        QString path;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const Key& o) const {
            return path == o.path && size == o.size && modifiedNs == o.modifiedNs;
        }
    };
    // The key of the file as it is on disk now; none when it is not a file.
    static std::optional<Key> KeyOf(const QString& path);
    // The one cache of the process.
    static WorkingCopyCache& Shared();

    explicit WorkingCopyCache(qint64 maxBytes);
    // A null image when the file is not kept.
    QImage Find(const Key& key);
    // The faces found in the file, when they were looked for.
    std::optional<QList<QRect>> FindFaces(const Key& key);
    // Keeps the copy (a null one is not kept), dropping the least recently
    // used ones beyond the bound. Without faces, those kept for the same
    // file before stay.
    void Insert(const Key& key, const QImage& copy,
                std::optional<QList<QRect>> faces = std::nullopt);
    void Clear();
    // The most bytes of copies kept at once.
    qint64 capacity() const { return maxBytes_; }

private:
    struct KeyHash {
        size_t operator()(const Key& k) const;
    };
    using Order = std::list<Key>; // most recently used first
    struct Entry {
        QImage copy;
        std::optional<QList<QRect>> faces;
        Order::iterator position;
    };

    const qint64 maxBytes_;
    std::mutex mutex_;
    Order order_;
    std::unordered_map<Key, Entry, KeyHash> entries_;
    qint64 bytes_ = 0;
};
