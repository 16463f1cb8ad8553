#include "common/byte_io.h"
#include "compose/slot_drawing.h"
#include "templates/mask_bmp.h"
#include "test_support.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

// A w x h grey picture whose pixel (x, y) has grey value Value(x, y).
int Value(int x, int y) {
    return (x * 40 + y * 7) % 256;
}

QImage GreyPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(Value(x, y), Value(x, y), Value(x, y)));
    return image;
}

TEST(MaskBmp, HeaderPaletteAndBottomUpPaddedRows) {
    const int w = 5, h = 3; // rows of 5 bytes padded to 8
    const QByteArray bmp = EncodeMaskBmp(GreyPicture(w, h));
    ASSERT_EQ(bmp.size(), 1078 + 8 * 3);

    ByteReader r(bmp);
    EXPECT_EQ(r.u8(), 'B');
    EXPECT_EQ(r.u8(), 'M');
    EXPECT_EQ(r.u32(), 1078u + 24u); // file size
    EXPECT_EQ(r.u16(), 0);
    EXPECT_EQ(r.u16(), 0);
    EXPECT_EQ(r.u32(), 1078u); // pixel data offset
    EXPECT_EQ(r.u32(), 40u);   // info header size
    EXPECT_EQ(r.i32(), w);     // byte 18
    EXPECT_EQ(r.i32(), h);     // byte 22, positive: bottom-up
    EXPECT_EQ(r.u16(), 1);     // planes
    EXPECT_EQ(r.u16(), 8);     // bits per pixel
    EXPECT_EQ(r.u32(), 0u);    // uncompressed
    EXPECT_EQ(r.u32(), 24u);   // pixel bytes
    r.skip(8);                 // resolution
    EXPECT_EQ(r.u32(), 256u);  // palette entries
    EXPECT_EQ(r.u32(), 0u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(r.u8(), i);
        ASSERT_EQ(r.u8(), i);
        ASSERT_EQ(r.u8(), i);
        ASSERT_EQ(r.u8(), 0);
    }
    ASSERT_EQ(r.pos(), 1078);
    for (int fileRow = 0; fileRow < h; ++fileRow) {
        const int y = h - 1 - fileRow; // the bottom row comes first
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(r.u8(), Value(x, y)) << "x " << x << " y " << y;
        for (int pad = w; pad < 8; ++pad)
            EXPECT_EQ(r.u8(), 0);
    }
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.atEnd());
}

TEST(MaskBmp, RowsOfAWholeMultipleOfFourHaveNoPadding) {
    EXPECT_EQ(EncodeMaskBmp(GreyPicture(8, 2)).size(), 1078 + 16);
    EXPECT_EQ(EncodeMaskBmp(GreyPicture(1, 1)).size(), 1078 + 4);
    EXPECT_TRUE(EncodeMaskBmp(QImage()).isEmpty());
}

TEST(MaskBmp, AnImageReaderSeesTheSameGreyPicture) {
    const QImage source = GreyPicture(7, 6);
    QByteArray bmp = EncodeMaskBmp(source);
    QBuffer buffer(&bmp);
    QImageReader reader(&buffer, "BMP");
    const QImage read = reader.read();
    ASSERT_FALSE(read.isNull()) << reader.errorString().toStdString();
    ASSERT_EQ(read.size(), source.size());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(qGray(read.pixel(x, y)), Value(x, y)) << x << "," << y;
}

TEST(MaskBmp, TransparencyCountsAsBlack) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 255, 255, 255));
    image.setPixel(1, 0, qRgba(255, 255, 255, 0));
    image.setPixel(2, 0, qRgba(255, 255, 255, 128));
    image.setPixel(3, 0, qRgba(100, 100, 100, 255));
    const QByteArray bmp = EncodeMaskBmp(image);
    ASSERT_EQ(bmp.size(), 1078 + 4);
    EXPECT_EQ(static_cast<uint8_t>(bmp[1078]), 255);
    EXPECT_EQ(static_cast<uint8_t>(bmp[1079]), 0);
    EXPECT_EQ(static_cast<uint8_t>(bmp[1080]), 128);
    EXPECT_EQ(static_cast<uint8_t>(bmp[1081]), 100);
}

TEST(MaskBmp, BecomesTheSlotOpacityUpright) {
    // Left half opaque, right half clear, top row grey: applied to a photo
    // of the same size the picture shows upright in the alpha channel.
    const int w = 20, h = 10;
    QImage mask(w, h, QImage::Format_RGB32);
    mask.fill(Qt::black);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            mask.setPixel(x, y, qRgb(255, 255, 255));
    for (int x = 0; x < w; ++x)
        mask.setPixel(x, 1, qRgb(90, 90, 90));

    QImage photo(w, h, QImage::Format_ARGB32_Premultiplied);
    photo.fill(qRgb(10, 200, 30));
    ApplySlotMask(photo, EncodeMaskBmp(mask));
    const QImage alpha = photo.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(alpha.pixel(3, 5)), 255);
    EXPECT_EQ(qAlpha(alpha.pixel(15, 5)), 0);
    EXPECT_EQ(qAlpha(alpha.pixel(3, 1)), 90);
    EXPECT_EQ(qAlpha(alpha.pixel(15, 1)), 90);
    EXPECT_EQ(qAlpha(alpha.pixel(3, 8)), 255);
    EXPECT_EQ(qAlpha(alpha.pixel(0, 5)), 0); // the transparent ring
}

} // namespace
