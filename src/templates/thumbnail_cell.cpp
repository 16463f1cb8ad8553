#include "templates/thumbnail_cell.h"

#include "common/atomic_file.h"
#include "raster/exif_thumbnail.h"
#include "raster/raster.h"
#include "raster/raster_math.h"
#include "raster/working_copy_cache.h"
#include "templates/template_preview.h"
#include "templates/thumbnail_cache.h"

#include <QPainter>

namespace {

// The tallest picture that is still fitted to the cell's width, in the
// single precision the fitting rule is stated in.
constexpr float kCellProportion = 1.1333333f;

QImage DrawCell(const QImage& picture, const QRect& place) {
    QImage cell(kThumbnailWidth, kThumbnailHeight, QImage::Format_RGB32);
    cell.fill(kThumbnailFrame);
    QPainter painter(&cell);
    painter.fillRect(1, 1, kThumbnailWidth - 2, kThumbnailHeight - 2, Qt::white);
    if (!picture.isNull() && !place.isEmpty()) {
        // Scaling the image itself averages the pixels it drops; the
        // painter's smooth mode would only interpolate between neighbours.
        const QImage fitted =
            picture.size() == place.size()
                ? picture
                : picture.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(place.topLeft(), fitted);
    }
    return cell;
}

// Decodes the photo at path no larger than the rectangle it takes in the
// cell needs (nor than its working copy needs, forCopy), and returns that
// rectangle in place and the photo's own size (as shown) in whole. A JPEG
// is reduced by up to 1/8 while decoding, so a 24 MP photo costs a fraction
// of a whole decode; other formats are decoded whole.
QImage ReadFittedPhoto(const QString& path, bool forCopy, QRect& place, QSize& whole) {
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, ImageDecodeLimitBytes()))
        return {};
    QImage picture = DecodeBitmapReduced(bytes, [&](QSize reduced, QSize shown) {
        // The size is that of the photo as shown: one the camera took
        // turned is stored sideways and turned upright after decoding.
        whole = shown;
        place = ThumbnailPlacement(shown);
        return reduced.width() >= place.width() && reduced.height() >= place.height() &&
               (!forCopy || ReducedCoversWorkingCopy(reduced, shown));
    });
    if (!whole.isValid()) {
        whole = picture.size();
        place = ThumbnailPlacement(whole);
    }
    return picture;
}

// The picture as the thumbnail cache keeps it, kept there, and drawn into
// the cell from that size: the cell then looks the same when the photo is
// listed again from the cache, and reducing the decode once to 128 pixels
// costs no more than reducing it to the cell.
QImage Keep(const QString& path, const ThumbnailStamp& stamp, const QImage& picture, QSize shown) {
    const QImage kept = ThumbnailToKeep(picture, shown);
    StoreCachedThumbnail(path, stamp, kept, shown);
    return kept;
}

// A customer photo's picture from the cheapest source that has it: the
// shared thumbnail cache, then the thumbnail the camera put into the file's
// first segment, and only then the photo itself. A picture from either of
// the latter is kept in the shared cache for the next time. A photo that
// is decoded has its working copy made from the same decode and kept, so
// putting it into a slot later decodes nothing, while copyRoom allows.
QImage CustomerPhotoPicture(const QString& path, std::atomic<qint64>* copyRoom, QRect& place) {
    // Known before the file is read: a file changed meanwhile is kept under
    // its old state, which no later look-up matches.
    const std::optional<WorkingCopyCache::Key> key = WorkingCopyCache::KeyOf(path);
    ThumbnailStamp stamp;
    if (key) {
        // Whole seconds, rounded down as stat gives them to every program.
        stamp.modifiedSeconds = key->modifiedNs / 1000000000 - (key->modifiedNs % 1000000000 < 0);
        stamp.bytes = key->size;
        if (std::optional<CachedThumbnail> cached = FindCachedThumbnail(path, stamp)) {
            place = ThumbnailPlacement(cached->shown);
            return cached->picture;
        }
        if (const std::optional<JpegHead> head = ReadJpegHead(path)) {
            place = ThumbnailPlacement(head->shownSize());
            const QImage thumbnail = UprightExifThumbnail(*head, place.size());
            if (!thumbnail.isNull())
                return Keep(path, stamp, thumbnail, head->shownSize());
        }
    }
    const bool forCopy = key && (!copyRoom || *copyRoom > 0);
    QSize whole;
    const QImage picture = ReadFittedPhoto(path, forCopy, place, whole);
    if (!key || picture.isNull())
        return picture;
    if (forCopy) {
        const QImage copy = WorkingCopyFromReduced(picture, whole);
        WorkingCopyCache::Shared().Insert(*key, copy);
        if (copyRoom)
            *copyRoom -= copy.sizeInBytes();
    }
    return Keep(path, stamp, picture, whole);
}

} // namespace

QRect ThumbnailPlacement(QSize picture) {
    const int w = picture.width();
    const int h = picture.height();
    if (w <= 0 || h < 0)
        return {};
    const float r = static_cast<float>(h) / static_cast<float>(w);
    if (r > kCellProportion) {
        const float width = static_cast<float>(kThumbnailHeight) / r;
        const int drawn = raster::TruncToInt(width);
        return QRect((kThumbnailWidth - drawn) / 2, 0, drawn, kThumbnailHeight);
    }
    const float height = r * static_cast<float>(kThumbnailWidth);
    const int drawn = raster::TruncToInt(height);
    return QRect(0, (kThumbnailHeight - drawn) / 2, kThumbnailWidth, drawn);
}

QImage DrawThumbnailCell(const QImage& picture) {
    return DrawCell(picture, ThumbnailPlacement(picture.size()));
}

QImage MakeThumbnailCell(const QString& path, ThumbnailSource source,
                         std::atomic<qint64>* copyRoom) {
    if (source == ThumbnailSource::TemplatePreview)
        return DrawThumbnailCell(ReadTemplatePreview(path));
    QRect place;
    QSize whole;
    const QImage picture = source == ThumbnailSource::CustomerPhoto
                               ? CustomerPhotoPicture(path, copyRoom, place)
                               : ReadFittedPhoto(path, false, place, whole);
    return DrawCell(picture, place);
}
