// Encoding finished pages and single slot photos.

#include "raster/raster.h"

#include "common/atomic_file.h"
#include "raster/colour_conversion.h"
#include "raster/jpeg_codec.h"

#include <QBuffer>
#include <QImageWriter>

QByteArray EncodeImageBytes(const QImage& image, const char* format, int quality) {
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        return {};
    return bytes;
}

// Pictures are encoded in memory and the file replaced only once it is whole,
// so a full disk or a failing encoder leaves the previous page whole. Pages
// are composed in sRGB and say so with its profile.
bool SaveJpeg(const QImage& image, const QString& path, int dpi) {
    if (image.isNull() || path.isEmpty())
        return false;
    static const QByteArray srgb = IccProfileOf(QColorSpace(QColorSpace::SRgb));
    const QByteArray jpeg = EncodeJpegPage(image, {dpi, 100, false, srgb});
    return !jpeg.isEmpty() && WriteFileAtomic(path, jpeg);
}

bool SavePng(const QImage& image, const QString& path) {
    if (path.isEmpty())
        return false;
    const QByteArray png = EncodeImageBytes(image, "png");
    return !png.isEmpty() && WriteFileAtomic(path, png);
}
