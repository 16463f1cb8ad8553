#include "raster/working_copy_cache.h"

#include <QFile>
#include <QHashFunctions>

#include <sys/stat.h>

namespace {
// About 300 working copies of camera photos: a whole wedding's selection.
constexpr qint64 kSharedBytes = qint64(128) << 20;
} // namespace

std::optional<WorkingCopyCache::Key> WorkingCopyCache::KeyOf(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || stat(QFile::encodeName(path).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return std::nullopt;
    return Key{path, static_cast<qint64>(st.st_size),
               qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

WorkingCopyCache& WorkingCopyCache::Shared() {
    static WorkingCopyCache cache(kSharedBytes);
    return cache;
}

WorkingCopyCache::WorkingCopyCache(qint64 maxBytes) : maxBytes_(maxBytes) {}

size_t WorkingCopyCache::KeyHash::operator()(const Key& k) const {
    return qHashMulti(0, k.path, k.size, k.modifiedNs);
}

QImage WorkingCopyCache::Find(const Key& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end())
        return {};
    order_.splice(order_.begin(), order_, it->second.position);
    return it->second.copy;
}

std::optional<QList<QRect>> WorkingCopyCache::FindFaces(const Key& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end())
        return std::nullopt;
    return it->second.faces;
}

void WorkingCopyCache::Insert(const Key& key, const QImage& copy,
                              std::optional<QList<QRect>> faces) {
    const qint64 size = copy.sizeInBytes();
    if (copy.isNull() || size > maxBytes_)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(key);
    if (found != entries_.end()) {
        if (!faces)
            faces = std::move(found->second.faces);
        bytes_ -= found->second.copy.sizeInBytes();
        order_.erase(found->second.position);
        entries_.erase(found);
    }
    order_.push_front(key);
    entries_.emplace(key, Entry{copy, std::move(faces), order_.begin()});
    bytes_ += size;
    while (bytes_ > maxBytes_ && !order_.empty()) {
        const auto oldest = entries_.find(order_.back());
        bytes_ -= oldest->second.copy.sizeInBytes();
        entries_.erase(oldest);
        order_.pop_back();
    }
}

void WorkingCopyCache::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    order_.clear();
    bytes_ = 0;
}
