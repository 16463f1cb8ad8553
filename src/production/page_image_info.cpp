#include "production/page_image_info.h"

#include "raster/jpeg_codec.h"
#include "raster/raster.h"

#include <QFile>

namespace {
// The header of a page image lies well inside its first megabyte; the rest
// of the picture is never read.
constexpr qint64 kHeadBytes = qint64(1) << 20;
} // namespace

PageImageInfo ReadPageImageInfo(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kHeadBytes);
    PageImageInfo info;
    info.size = ShownImageSize(head);
    const JpegDecoder jpeg(head);
    if (jpeg.ok())
        info.dpi = jpeg.dotsPerInch();
    return info;
}
