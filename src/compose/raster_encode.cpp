// Encoding finished pages and single slot photos.

#include "compose/raster.h"

#include "common/atomic_file.h"

#include <QBuffer>
#include <QImageWriter>

namespace {

// Print shops and photo programs read a page's resolution from the JFIF
// header. Qt's writer puts dots per centimetre there, rounded (254 dpi would
// come back as 100 per cm, 300 dpi as 118 per cm = 299.7 dpi), so the header
// is rewritten to state the exact dots per inch. Qt writes that header for
// every picture it encodes; should it ever be missing, the writer's own
// density (from the image's dots per metre) stays.
void SetJfifDotsPerInch(QByteArray& jpeg, int dpi) {
    const bool hasJfif = jpeg.size() >= 18 && static_cast<quint8>(jpeg[2]) == 0xFF &&
                         static_cast<quint8>(jpeg[3]) == 0xE0 &&
                         jpeg.mid(6, 5) == QByteArray("JFIF\0", 5);
    if (!hasJfif || dpi > 0xFFFF)
        return;
    jpeg[13] = 1; // units: dots per inch
    jpeg[14] = static_cast<char>(dpi >> 8);
    jpeg[15] = static_cast<char>(dpi & 0xFF);
    jpeg[16] = static_cast<char>(dpi >> 8);
    jpeg[17] = static_cast<char>(dpi & 0xFF);
}

} // namespace

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
// so a full disk or a failing encoder leaves the previous page whole.
bool SaveJpeg(const QImage& image, const QString& path, int dpi) {
    if (image.isNull() || path.isEmpty())
        return false;
    QImage withResolution = image; // shares the pixels
    if (dpi > 0) {
        const int dotsPerMetre = qRound(dpi / 0.0254);
        withResolution.setDotsPerMeterX(dotsPerMetre);
        withResolution.setDotsPerMeterY(dotsPerMetre);
    }
    QByteArray jpeg = EncodeImageBytes(withResolution, "jpeg", 100);
    if (jpeg.isEmpty())
        return false;
    if (dpi > 0)
        SetJfifDotsPerInch(jpeg, dpi);
    return WriteFileAtomic(path, jpeg);
}

bool SavePng(const QImage& image, const QString& path) {
    if (path.isEmpty())
        return false;
    const QByteArray png = EncodeImageBytes(image, "png");
    return !png.isEmpty() && WriteFileAtomic(path, png);
}
