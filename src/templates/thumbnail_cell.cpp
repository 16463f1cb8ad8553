#include "templates/thumbnail_cell.h"

#include "compose/raster_math.h"
#include "templates/template_preview.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QPainter>

namespace {

// The tallest picture that is still fitted to the cell's width, in the
// single precision the fitting rule is stated in.
constexpr float kCellProportion = 1.1333333f;

// Pictures whose pixels alone would take more than the process-wide decoding
// limit are refused before anything is decoded, as everywhere else: a header
// claiming 60000 x 60000 pixels must not make a list decode for minutes.
bool WithinDecodingLimit(QSize size) {
    const int mb = QImageReader::allocationLimit();
    const qint64 limit = qint64(mb > 0 ? mb : 1024) * 1024 * 1024;
    return qint64(size.width()) * size.height() * 4 <= limit;
}

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

// Decodes the photo at path already shrunk to the rectangle it takes in the
// cell, which is returned in place. The JPEG decoder shrinks by up to 1/8
// while decoding, so a 24 MP photo costs a fraction of a whole decode.
QImage ReadFittedPhoto(const QString& path, QRect& place) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return {};
    const QSize stored = reader.size();
    if (!stored.isValid()) {
        // A format that tells its size only by decoding: the reader's own
        // allocation limit bounds it.
        const QImage whole = reader.read();
        place = ThumbnailPlacement(whole.size());
        return whole;
    }
    if (stored.isEmpty() || !WithinDecodingLimit(stored))
        return {};
    // The size is that of the stored pixels; a photo the camera took turned
    // is stored sideways and only turned upright after decoding.
    const bool sideways = reader.transformation() & QImageIOHandler::TransformationRotate90;
    place = ThumbnailPlacement(sideways ? stored.transposed() : stored);
    if (place.isEmpty())
        return {};
    reader.setScaledSize(sideways ? place.size().transposed() : place.size());
    return reader.read();
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

QImage MakeThumbnailCell(const QString& path, ThumbnailSource source) {
    if (source == ThumbnailSource::TemplatePreview)
        return DrawThumbnailCell(ReadTemplatePreview(path));
    QRect place;
    const QImage picture = ReadFittedPhoto(path, place);
    return DrawCell(picture, place);
}
