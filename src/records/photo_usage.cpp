#include "records/photo_usage.h"

#include "records/customer_task.h"

#include <QHash>

#include <algorithm>

namespace {

// The file name as a slot records it: the canvas keeps what follows the
// last separator of either kind.
QString FileName(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

} // namespace

QString FileThumbnailLabel(const QString& path) {
    return FileName(path).toLower();
}

QStringList FileThumbnailLabels(const QStringList& paths) {
    QStringList labels;
    for (const QString& path : paths)
        labels << FileThumbnailLabel(path);
    return labels;
}

QString PhotoUsageLabel(const QString& path, int count) {
    return QStringLiteral("%1\r\n选中%2次").arg(FileThumbnailLabel(path)).arg(count);
}

PhotoUsage CountPhotoUsage(const CustomerTask& task, const QStringList& photoPaths) {
    // One use per slot, keyed by the case-folded name, so the comparison
    // ignores letter case in every script and each photo costs one lookup.
    QHash<QString, int> uses;
    for (const auto& page : task.pages) {
        for (const SlotPlacement& slot : page->placements) {
            const QString name = slot.PhotoName().trimmed();
            if (!name.isEmpty())
                ++uses[name.toCaseFolded()];
        }
    }
    PhotoUsage usage;
    usage.counts.reserve(photoPaths.size());
    usage.labels.reserve(photoPaths.size());
    for (const QString& path : photoPaths) {
        const int count = uses.value(FileThumbnailLabel(path).toCaseFolded());
        usage.counts.append(count);
        usage.labels.append(PhotoUsageLabel(path, count));
        if (count > 0)
            usage.usedPhotos.append(path);
    }
    return usage;
}
