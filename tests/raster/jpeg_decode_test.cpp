// JPEG decoding through libjpeg-turbo: reduced decodes, pixel layout, and
// files with more scans than any photo has.

#include "common/byte_io.h"
#include "raster/jpeg_codec.h"
#include "raster/raster.h"
#include "test_support.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace {

QByteArray ProgressiveJpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(true);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

// The scans of a JPEG as [begin, end) byte ranges, each from its SOS marker
// to the marker after its entropy-coded data.
QList<QPair<qsizetype, qsizetype>> ScanRanges(const QByteArray& jpeg) {
    QList<QPair<qsizetype, qsizetype>> scans;
    ByteReader r(jpeg);
    r.u16be(); // SOI
    while (r.ok() && !r.atEnd()) {
        const qsizetype begin = r.pos();
        const uint16_t marker = r.u16be();
        if (marker == 0xFFD9)
            break;
        r.skip(r.u16be() - 2);
        if (marker != 0xFFDA)
            continue;
        // Entropy-coded data: 0xFF is followed by 0x00 (a stuffed byte) or a
        // restart marker; anything else is the next segment.
        while (r.ok()) {
            const qsizetype at = r.pos();
            if (r.u8() != 0xFF)
                continue;
            const uint8_t next = r.u8();
            if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) {
                scans.append({begin, at});
                r = ByteReader(jpeg);
                r.skip(at);
                break;
            }
        }
    }
    return scans;
}

// A flat progressive picture whose smallest scan is repeated: every repeat
// is a pass over the whole picture that a few bytes pay for.
QByteArray WithSmallestScanRepeated(const QByteArray& jpeg, int repeats) {
    const auto scans = ScanRanges(jpeg);
    EXPECT_GE(scans.size(), 6); // a progressive file
    auto smallest = scans.first();
    for (const auto& s : scans)
        if (s.second - s.first < smallest.second - smallest.first)
            smallest = s;
    const QByteArray scan = jpeg.mid(smallest.first, smallest.second - smallest.first);
    QByteArray out = jpeg.left(smallest.second);
    for (int i = 0; i < repeats; ++i)
        out += scan;
    out += jpeg.mid(smallest.second);
    return out;
}

} // namespace

// The decoder reduces by 1/8, 1/4 or 1/2 as far as the caller's need allows,
// measured on the picture as shown (a photo stored sideways is offered its
// upright sizes), and decodes whole when no reduction is enough.
TEST(ReducedDecode, PicksTheLargestReductionThatIsStillEnough) {
    const QByteArray jpeg = EncodeImage(QuadrantImage(4000, 3000), "JPEG", 90);
    const struct {
        QSize needed;
        QSize decoded;
    } cases[] = {
        {QSize(1, 1), QSize(500, 375)},         {QSize(400, 266), QSize(500, 375)},
        {QSize(500, 375), QSize(500, 375)},     {QSize(501, 10), QSize(1000, 750)},
        {QSize(10, 751), QSize(2000, 1500)},    {QSize(2000, 1500), QSize(2000, 1500)},
        {QSize(2001, 1500), QSize(4000, 3000)}, {QSize(9000, 9000), QSize(4000, 3000)},
    };
    for (const auto& c : cases) {
        QList<QSize> offered;
        const QImage image = DecodeBitmapReduced(jpeg, [&](QSize reduced, QSize whole) {
            EXPECT_EQ(whole, QSize(4000, 3000));
            offered.append(reduced);
            return reduced.width() >= c.needed.width() && reduced.height() >= c.needed.height();
        });
        ASSERT_EQ(image.size(), c.decoded) << c.needed.width() << "x" << c.needed.height();
        EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
        // The same picture at every reduction: quadrant centres agree.
        const int w = image.width(), h = image.height();
        EXPECT_TRUE(Near(image.pixel(w / 4, h / 4), qRgb(255, 0, 0)));
        EXPECT_TRUE(Near(image.pixel(3 * w / 4, 3 * h / 4), qRgb(0, 0, 255)));
        EXPECT_EQ(offered.first(), QSize(500, 375)); // the smallest is asked first
    }
}

TEST(ReducedDecode, OtherFormatsAreDecodedWhole) {
    int asked = 0;
    const QImage png = DecodeBitmapReduced(EncodeImage(QuadrantImage(800, 600), "PNG"),
                                           [&](QSize, QSize) { return ++asked, true; });
    EXPECT_EQ(png.size(), QSize(800, 600));
    EXPECT_EQ(asked, 0);
}

// Decoded rows are the page's 32-bit layout: opaque, the colour as encoded.
TEST(JpegDecode, GivesOpaqueWordsInTheDrawingFormats) {
    QImage source(64, 48, QImage::Format_RGB32);
    source.fill(qRgb(200, 120, 40));
    const QByteArray jpeg = EncodeImage(source, "JPEG", 100);
    const QImage image = DecodeImage(jpeg);
    const QImage bitmap = DecodeBitmap(jpeg);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(bitmap.format(), QImage::Format_ARGB32_Premultiplied);
    for (const QImage& decoded : {image, bitmap}) {
        ASSERT_EQ(decoded.size(), QSize(64, 48));
        const QRgb px = decoded.pixel(10, 10);
        EXPECT_EQ(qAlpha(px), 255);
        EXPECT_TRUE(Near(px, qRgb(200, 120, 40), 3));
    }
    const QImage grey =
        DecodeImage(EncodeImage(source.convertToFormat(QImage::Format_Grayscale8), "JPEG", 100));
    ASSERT_EQ(grey.format(), QImage::Format_RGB32);
    EXPECT_EQ(qAlpha(grey.pixel(3, 3)), 255);
    EXPECT_EQ(qRed(grey.pixel(3, 3)), qBlue(grey.pixel(3, 3)));
}

// A progressive file decodes; the same file with its smallest scan repeated
// thousands of times (each repeat a full pass for the decoder) is refused in
// every decode path instead of keeping a page or a list busy for a minute.
TEST(JpegDecode, RefusesFilesWithMoreScansThanAnyPhoto) {
    QImage flat(2000, 2000, QImage::Format_RGB32);
    flat.fill(qRgb(128, 128, 128));
    const QByteArray progressive = ProgressiveJpeg(flat);
    const struct {
        int repeats;
        bool decodes;
    } cases[] = {{0, true}, {2, true}, {5000, false}};
    for (const auto& c : cases) {
        const QByteArray jpeg = WithSmallestScanRepeated(progressive, c.repeats);
        SCOPED_TRACE(c.repeats);
        EXPECT_EQ(!DecodeImage(jpeg).isNull(), c.decodes);
        EXPECT_EQ(!DecodeBitmap(jpeg).isNull(), c.decodes);
        EXPECT_EQ(!MakeWorkingCopyFromBytes(jpeg).isNull(), c.decodes);
        EXPECT_EQ(!DecodeBitmapReduced(jpeg, [](QSize, QSize) { return true; }).isNull(),
                  c.decodes);
    }
}

// Only the rows and block columns of a region are decoded; they are the very
// pixels of a whole decode at the same place (chroma halved both ways, as
// cameras store it), for every EXIF orientation and reduction, including
// regions at the picture's edges.
TEST(JpegDecode, RegionIsThePartOfTheWholeDecode) {
    QImage picture(613, 411, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y,
                             qRgb(x * 255 / 613, (x * y) % 251, (x / 9 + y / 7) % 2 ? 240 : 20));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QByteArray jpeg = JpegWithOrientation(picture, orientation);
        for (int denominator : {1, 2}) {
            QImage whole = JpegDecoder(jpeg).decode(denominator, QImage::Format_RGB32, 1 << 28);
            ASSERT_FALSE(whole.isNull());
            for (const QRect wanted : {QRect(37, 21, 90, 133), QRect(QPoint(0, 0), whole.size()),
                                       QRect(whole.width() - 50, whole.height() - 31, 50, 31)}) {
                QPoint origin(-1, -1);
                const QImage part = JpegDecoder(jpeg).decode(denominator, QImage::Format_RGB32,
                                                             1 << 28, wanted, &origin);
                const QString where = QString("orientation %1, 1/%2, region %3,%4")
                                          .arg(orientation)
                                          .arg(denominator)
                                          .arg(wanted.x())
                                          .arg(wanted.y());
                ASSERT_TRUE(QRect(origin, part.size()).contains(wanted)) << where.toStdString();
                if (wanted.width() < whole.width() / 3) {
                    EXPECT_LT(part.width() * part.height() * 2, whole.width() * whole.height())
                        << "only the region's rows and columns, " << where.toStdString();
                }
                EXPECT_EQ(part.copy(wanted.translated(-origin)), whole.copy(wanted))
                    << where.toStdString();
            }
        }
    }
}
