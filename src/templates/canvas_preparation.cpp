#include "templates/canvas_preparation.h"

#include "common/atomic_file.h"
#include "raster/face_finder.h"
#include "raster/raster.h"
#include "raster/working_copy_cache.h"

CanvasReadiness CanvasReadinessOf(const QString& path, bool scanFaces) {
    CanvasReadiness readiness;
    const std::optional<WorkingCopyCache::Key> key = WorkingCopyCache::KeyOf(path);
    if (!key)
        return readiness;
    WorkingCopyCache& cache = WorkingCopyCache::Shared();
    const QImage copy = cache.Find(*key);
    if (copy.isNull())
        return readiness;
    readiness.copyBytes = copy.sizeInBytes();
    readiness.complete = !scanFaces || cache.FindFaces(*key).has_value();
    return readiness;
}

qint64 PrepareForCanvas(const QString& path, bool scanFaces) {
    // Known before the file is read: a file replaced meanwhile is kept under
    // its old state, which no later put asks for.
    const std::optional<WorkingCopyCache::Key> key = WorkingCopyCache::KeyOf(path);
    if (!key)
        return 0;
    WorkingCopyCache& cache = WorkingCopyCache::Shared();
    QImage copy = cache.Find(*key);
    if (!copy.isNull() && (!scanFaces || cache.FindFaces(*key)))
        return copy.sizeInBytes();
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, ImageDecodeLimitBytes()))
        return 0;
    std::optional<QList<QRect>> faces;
    if (copy.isNull()) {
        QSize whole;
        const QImage picture = DecodeBitmapReduced(bytes, [&](QSize reduced, QSize shown) {
            whole = shown;
            return ReducedCoversWorkingCopy(reduced, shown) &&
                   (!scanFaces || ReducedCoversFaceScan(reduced, shown));
        });
        if (picture.isNull())
            return 0;
        if (!whole.isValid())
            whole = picture.size();
        copy = WorkingCopyFromReduced(picture, whole);
        if (scanFaces)
            faces = FindFacesInPicture(picture, whole);
    } else {
        faces = FindFacesInPhoto(bytes);
    }
    cache.Insert(*key, copy, faces);
    return copy.sizeInBytes();
}
