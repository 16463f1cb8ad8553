// Decoding photos and template images, and the 400-pixel working copy.

#include "raster/raster.h"

#include "common/atomic_file.h"
#include "raster/colour_conversion.h"
#include "raster/jpeg_codec.h"
#include "raster/raster_math.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// Images are refused before decoding when their pixels alone would take more
// than the process-wide decoding limit (1024 MB unless set otherwise), so a
// hostile header claiming 60000 x 60000 pixels never allocates gigabytes.
qint64 DecodeLimitBytes() {
    const int mb = QImageReader::allocationLimit();
    return qint64(mb > 0 ? mb : 1024) * 1024 * 1024;
}

// A header may claim any size; the bytes behind it cannot. Even a picture of
// one flat colour costs bytes for every block or row: a whole Huffman-coded
// JPEG spends at least a bit on each 8 x 8 block (512 pixels a byte), a blank
// page written at quality 100 takes about one byte for 37 pixels, and deflate
// makes no more than 1032 bytes of one. A claim of more than 128 pixels for
// every byte of the file is a forged or cut-short file, or a flat picture
// nobody needs at that size: refused before anything is allocated, as
// decoding it would take up to a gigabyte and seconds for nothing. Claims of
// up to 48 megapixels (192 MB decoded) pass whatever their file's length, as
// a small template image of one colour is ordinary.
constexpr qint64 kClaimFreePixels = 48000000;
constexpr qint64 kMaxPixelsPerFileByte = 128;

bool SizeAcceptable(QSize size, qint64 fileBytes) {
    if (size.width() <= 0 || size.height() <= 0)
        return false;
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > kClaimFreePixels && pixels > fileBytes * kMaxPixelsPerFileByte)
        return false;
    return pixels <= kMaxDecodePixels && pixels * 4 <= DecodeLimitBytes();
}

quint8 ByteAt(const QByteArray& b, qsizetype i) {
    return static_cast<quint8>(b[i]);
}

// A JPEG cut short still "decodes" (the codec pads the missing rows with
// grey), which would put a half-grey photo on a page. The end-of-image marker
// is the only sure sign that the file is whole: walk the header segments to
// the first scan, then look for the marker after it. Inside the scan data a
// 0xFF byte is always followed by 0x00 or a restart marker, so 0xFF 0xD9 there
// is the real end; an EXIF thumbnail's own end marker lies before the scan.
bool JpegIsComplete(const QByteArray& b) {
    const qsizetype n = b.size();
    if (n < 4 || ByteAt(b, 0) != 0xFF || ByteAt(b, 1) != 0xD8)
        return false;
    qsizetype pos = 2;
    while (pos + 1 < n) {
        if (ByteAt(b, pos) != 0xFF)
            return false;
        while (pos + 1 < n && ByteAt(b, pos + 1) == 0xFF)
            ++pos; // fill bytes
        if (pos + 1 >= n)
            return false;
        const quint8 marker = ByteAt(b, pos + 1);
        if (marker == 0xDA) {
            const qsizetype end = b.lastIndexOf(QByteArrayView("\xFF\xD9", 2));
            return end > pos;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (pos + 3 >= n)
            return false;
        const int length = (ByteAt(b, pos + 2) << 8) | ByteAt(b, pos + 3);
        if (length < 2)
            return false;
        pos += 2 + length;
    }
    return false;
}

// A reader over bytes held in memory, with the photo's own orientation
// applied, that has already refused what must not be decoded.
class CheckedReader {
public:
    explicit CheckedReader(const QByteArray& bytes) {
        buffer_.setData(bytes);
        buffer_.open(QIODevice::ReadOnly);
        reader_.setDevice(&buffer_);
        reader_.setAutoTransform(true);
        reader_.setDecideFormatFromContent(true);
        if (bytes.isEmpty() || !reader_.canRead())
            return;
        if (reader_.format() == "jpeg" && !JpegIsComplete(bytes))
            return;
        storedSize_ = reader_.size();
        // A codec that cannot tell the size before decoding is still held to
        // the decoding limit by the reader itself; a told size of 0 x 0 or
        // beyond the limit is refused here.
        if (storedSize_.isValid() && !SizeAcceptable(storedSize_, bytes.size()))
            return;
        usable_ = true;
    }

    bool usable() const { return usable_; }
    // The size as shown, once the orientation has turned it; read from the
    // header, invalid when the codec cannot tell it without decoding.
    QSize shownSize() const {
        if (!usable_ || !storedSize_.isValid())
            return {};
        return reader_.transformation() & QImageIOHandler::TransformationRotate90
                   ? storedSize_.transposed()
                   : storedSize_;
    }

    // Whether the codec can shrink the picture while reading its rows, so a
    // scaled read never holds the whole picture.
    bool scalesWhileReading() const {
        return usable_ && reader_.supportsOption(QImageIOHandler::ScaledSize);
    }
    // The next read gives the picture stretched to size (as shown).
    void scaleTo(QSize size) {
        const bool sideways = reader_.transformation() & QImageIOHandler::TransformationRotate90;
        reader_.setScaledSize(sideways ? size.transposed() : size);
    }

    QImage read() {
        if (!usable_)
            return {};
        QImage image = reader_.read();
        if (image.isNull() || image.width() <= 0 || image.height() <= 0)
            return {};
        ConvertToSrgb(image, image.colorSpace());
        return image;
    }

private:
    QBuffer buffer_;
    QImageReader reader_;
    QSize storedSize_;
    bool usable_ = false;
};

QImage ToFastDrawingFormat(QImage image) {
    if (image.isNull())
        return image;
    const QImage::Format f =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() == f)
        return image;
    return std::move(image).convertToFormat(f);
}

bool LooksLikeJpeg(const QByteArray& b) {
    return b.size() >= 2 && ByteAt(b, 0) == 0xFF && ByteAt(b, 1) == 0xD8;
}

// JPEG pictures are decoded by libjpeg-turbo straight into the 32-bit layout
// they are drawn in, reduced while decoding where a smaller picture does, at
// the largest reduction (1/8, 1/4, 1/2) whose picture still passes enough.
// Whole, cut-short and oversized files are refused as for every other format.
QImage DecodeJpeg(const QByteArray& bytes, QImage::Format format,
                  const ReducedSizeTest& enough = {}, const ReducedRegion& region = {},
                  QPoint* origin = nullptr) {
    if (!JpegIsComplete(bytes))
        return {};
    JpegDecoder decoder(bytes);
    if (!decoder.ok() || !SizeAcceptable(decoder.storedSize(), bytes.size()))
        return {};
    int denominator = 1;
    if (enough) {
        for (int d : {8, 4, 2}) {
            if (enough(decoder.shownSizeAt(d), decoder.shownSize())) {
                denominator = d;
                break;
            }
        }
    }
    // A JPEG is opaque, so its pixels are the same bytes in every 32-bit
    // layout; the colour conversion is fastest on RGB32.
    const QRect part = region ? region(decoder.shownSizeAt(denominator)) : QRect();
    if (region && part.isEmpty())
        return {};
    QImage image =
        decoder.decode(denominator, QImage::Format_RGB32, DecodeLimitBytes(), part, origin);
    ConvertToSrgb(image, ColourSpaceOfProfile(decoder.iccProfile()));
    if (!image.isNull())
        image.reinterpretAsFormat(format);
    return image;
}

} // namespace

QSize ImageSizeOf(const QByteArray& bytes) {
    if (LooksLikeJpeg(bytes)) {
        if (!JpegIsComplete(bytes))
            return {};
        const JpegDecoder decoder(bytes);
        return decoder.ok() && SizeAcceptable(decoder.storedSize(), bytes.size())
                   ? decoder.shownSize()
                   : QSize();
    }
    const CheckedReader reader(bytes);
    return reader.shownSize();
}

QImage DecodeImage(const QByteArray& bytes) {
    if (LooksLikeJpeg(bytes))
        return DecodeJpeg(bytes, QImage::Format_RGB32);
    CheckedReader reader(bytes);
    return ToFastDrawingFormat(reader.read());
}

QImage DecodeBitmap(const QByteArray& bytes) {
    if (LooksLikeJpeg(bytes))
        return DecodeJpeg(bytes, QImage::Format_ARGB32_Premultiplied);
    CheckedReader reader(bytes);
    QImage image = reader.read();
    if (image.isNull() || image.format() == QImage::Format_ARGB32_Premultiplied)
        return image;
    return std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage DecodeBitmapReduced(const QByteArray& bytes, const ReducedSizeTest& enough) {
    if (LooksLikeJpeg(bytes))
        return DecodeJpeg(bytes, QImage::Format_ARGB32_Premultiplied, enough);
    return DecodeBitmap(bytes);
}

QImage DecodeBitmapRegion(const QByteArray& bytes, const ReducedSizeTest& enough,
                          const ReducedRegion& region, QPoint* origin) {
    *origin = QPoint(0, 0);
    if (LooksLikeJpeg(bytes))
        return DecodeJpeg(bytes, QImage::Format_ARGB32_Premultiplied, enough, region, origin);
    return DecodeBitmap(bytes);
}

QImage DecodeLayerForPage(const QByteArray& bytes, QSize page, QSize* shownSize) {
    QSize whole;
    QImage layer;
    if (page.isEmpty()) {
        layer = DecodeImage(bytes);
        whole = layer.size();
    } else if (LooksLikeJpeg(bytes)) {
        layer = DecodeJpeg(bytes, QImage::Format_RGB32, [&](QSize reduced, QSize shown) {
            whole = shown;
            return reduced.width() >= page.width() && reduced.height() >= page.height();
        });
        if (!whole.isValid())
            whole = layer.size();
    } else {
        CheckedReader reader(bytes);
        whole = reader.shownSize();
        // Four times the page's pixels is more than any drawing of it can
        // show: the codec shrinks it to the page row by row, and a codec that
        // cannot is not asked to hold it whole.
        // A damaged page record may give a side of up to 2^31 - 1: the page's
        // pixels then fill an int64, and four times them would overflow.
        const qint64 pagePixels = qint64(page.width()) * page.height();
        if (whole.isValid() && qint64(whole.width()) * whole.height() / 4 > pagePixels) {
            if (!reader.scalesWhileReading())
                return {};
            reader.scaleTo(page);
        }
        layer = ToFastDrawingFormat(reader.read());
        if (!whole.isValid())
            whole = layer.size();
    }
    if (shownSize)
        *shownSize = layer.isNull() ? QSize(0, 0) : whole;
    return layer;
}

QImage LoadImageFile(const QString& path) {
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, DecodeLimitBytes()))
        return {};
    return DecodeImage(bytes);
}

QSize ShownImageSize(const QByteArray& bytes) {
    if (LooksLikeJpeg(bytes)) {
        const JpegDecoder decoder(bytes);
        return decoder.ok() ? decoder.shownSize() : QSize();
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return ShownSizeFromHeader(reader);
}

QSize ShownSizeFromHeader(QImageReader& reader) {
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

qint64 ImageDecodeLimitBytes() {
    return DecodeLimitBytes();
}

bool SizeMayBeDecoded(QSize size, qint64 fileBytes) {
    return SizeAcceptable(size, fileBytes);
}

QSize WorkingCopySize(QSize photo) {
    const int w = photo.width(), h = photo.height();
    if (w <= 0 || h <= 0)
        return {};
    // Single precision: 0.0025f lies just below 1/400, so the longer side
    // comes out at exactly 400 for every photo size (in double precision
    // some sizes, 333 for one, give 399).
    const float s = static_cast<float>(qMax(w, h)) * 0.0025f;
    const int cw = raster::TruncToInt(static_cast<float>(w) / s);
    const int ch = raster::TruncToInt(static_cast<float>(h) / s);
    // A sliver of a photo (1 x 2000) keeps at least one pixel across.
    return QSize(qMax(cw, 1), qMax(ch, 1));
}

QImage MakeWorkingCopy(const QImage& photo) {
    const QSize size = WorkingCopySize(photo.size());
    if (photo.isNull() || size.isEmpty())
        return {};
    QImage copy = photo.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (copy.format() != QImage::Format_ARGB32_Premultiplied)
        copy = std::move(copy).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return copy;
}

bool ReducedCoversWorkingCopy(QSize reduced, QSize whole) {
    const QSize target = WorkingCopySize(whole);
    return reduced.width() >= target.width() && reduced.height() >= target.height();
}

QImage WorkingCopyFromReduced(const QImage& reduced, QSize whole) {
    const QSize target = WorkingCopySize(whole);
    if (reduced.isNull() || target.isEmpty())
        return MakeWorkingCopy(reduced);
    QImage copy = reduced.size() == target
                      ? reduced
                      : reduced.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (copy.format() != QImage::Format_ARGB32_Premultiplied)
        copy = std::move(copy).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return copy;
}

QImage MakeWorkingCopyFromBytes(const QByteArray& bytes, QSize* photoSize) {
    // The JPEG decoder shrinks by 1/2, 1/4 or 1/8 while decoding, and only the
    // rest is averaged down to the exact size: a fraction of a whole decode.
    QSize whole;
    const QImage photo = DecodeBitmapReduced(bytes, [&whole](QSize reduced, QSize shown) {
        whole = shown;
        return ReducedCoversWorkingCopy(reduced, shown);
    });
    if (!whole.isValid())
        whole = photo.size();
    if (photoSize)
        *photoSize = photo.isNull() ? QSize() : whole;
    return WorkingCopyFromReduced(photo, whole);
}
