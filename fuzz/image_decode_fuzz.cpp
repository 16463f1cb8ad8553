// Every way the program decodes a picture it did not make: photos,
// template layers and masks, thumbnails, the EXIF thumbnails of the photo
// list. JPEG goes through libjpeg-turbo, the other formats through Qt's
// readers.

#include "fuzz_support.h"

#include "raster/exif_thumbnail.h"
#include "raster/raster.h"
#include "templates/thumbnail_cell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    const QImage image = DecodeImage(bytes);
    if (!image.isNull())
        DrawThumbnailCell(image);
    const QImage copy = MakeWorkingCopyFromBytes(bytes);
    FuzzExpect(copy.isNull() || qMax(copy.width(), copy.height()) <= 400,
               "a working copy of at most 400 pixels a side");
    DecodeBitmapReduced(bytes, [](QSize reduced, QSize) { return reduced.width() >= 16; });
    const QString path = WriteScratch(QStringLiteral("photo.jpg"), bytes);
    MakeThumbnailCell(path, ThumbnailSource::ImageFile);
    if (const std::optional<JpegHead> head = ReadJpegHead(path))
        UprightExifThumbnail(*head, QSize(1, 1));
    ParseExifBlock(bytes);
    return 0;
}
