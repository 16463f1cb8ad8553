#include "compose/screen_copy_loader.h"

#include "raster/screen_copy.h"
#include "raster/working_copy_cache.h"

#include <QCoreApplication>

namespace {
// Copies of the photos of a few full pages at a large screen's size.
constexpr qint64 kKeptBytes = qint64(192) << 20;

// The copies are kept like working copies, known by the photo's content:
// the photo a copy belongs to may have no path (a page reopened from its
// record), and a file changed on disk has another fingerprint.
WorkingCopyCache& Kept() {
    static WorkingCopyCache kept(kKeptBytes);
    return kept;
}

WorkingCopyCache::Key KeyOf(quint64 fingerprint) {
    return WorkingCopyCache::Key{QString(), qint64(fingerprint), 0};
}

bool Covers(QSize have, QSize want) {
    return have.width() >= want.width() && have.height() >= want.height();
}
} // namespace

ScreenCopyLoader::ScreenCopyLoader(Ready ready) : ready_(std::move(ready)) {
    // One core is left to the window, which goes on drawing meanwhile.
    pool_.setMaxThreadCount(qMax(1, QThread::idealThreadCount() - 1));
}

ScreenCopyLoader::~ScreenCopyLoader() {
    pool_.clear();
    pool_.waitForDone();
}

QImage ScreenCopyLoader::Find(quint64 fingerprint, QSize size) {
    const QImage kept = Kept().Find(KeyOf(fingerprint));
    return !kept.isNull() && Covers(kept.size(), size) ? kept : QImage();
}

void ScreenCopyLoader::Request(quint64 fingerprint, const QByteArray& bytes, QSize size) {
    const auto on = pending_.find(fingerprint);
    if (on != pending_.end() && Covers(on->second, size))
        return;
    pending_[fingerprint] = size;
    pool_.start([this, fingerprint, bytes, size] {
        const QImage copy = MakeScreenCopy(bytes, size);
        if (!copy.isNull()) {
            const QImage kept = Kept().Find(KeyOf(fingerprint));
            if (kept.isNull() || !Covers(kept.size(), copy.size()))
                Kept().Insert(KeyOf(fingerprint), copy);
        }
        QMetaObject::invokeMethod(
            this,
            [this, fingerprint, size, copy] {
                const auto it = pending_.find(fingerprint);
                if (it != pending_.end() && it->second == size)
                    pending_.erase(it);
                if (!copy.isNull())
                    ready_(fingerprint, copy);
            },
            Qt::QueuedConnection);
    });
}

void ScreenCopyLoader::Finish() {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ScreenCopyLoader::ClearKept() {
    Kept().Clear();
}
