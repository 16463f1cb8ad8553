// Encoding finished pages and single slot photos.

#include "compose/raster.h"

#include <QImageWriter>
#include <QSaveFile>

namespace {

// The file is replaced only once the whole picture is written, so a full
// disk or a failing encoder leaves the previous page whole.
bool WriteImageAtomic(const QImage& image, const QString& path, const char* format, int quality) {
    if (image.isNull() || path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool SaveJpeg(const QImage& image, const QString& path, int dpi) {
    if (dpi <= 0)
        return WriteImageAtomic(image, path, "jpeg", 100);
    // The JPEG writer stores the resolution as dots per inch in the JFIF
    // header, taken from the image's dots per metre.
    QImage withResolution = image;
    const int dotsPerMetre = qRound(dpi / 0.0254);
    withResolution.setDotsPerMeterX(dotsPerMetre);
    withResolution.setDotsPerMeterY(dotsPerMetre);
    return WriteImageAtomic(withResolution, path, "jpeg", 100);
}

bool SavePng(const QImage& image, const QString& path) {
    return WriteImageAtomic(image, path, "png", -1);
}
