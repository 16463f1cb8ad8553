// Encoding pages as JPEG (with the print resolution) and photos as PNG.

#include "common/byte_io.h"
#include "raster/raster.h"
#include "jpeg_files.h"
#include "test_support.h"

#include <QColorSpace>
#include <QDir>
#include <QImageReader>
#include <gtest/gtest.h>

// Full-size pages carry the print resolution; previews (dpi 0) none. Every
// page is a baseline JPEG with all three components sampled 1 x 1 (4:4:4):
// full colour resolution on the print.
TEST(SaveJpeg, WritesFullColourResolutionAndTheDensityInDotsPerInch) {
    TestFolder folder;
    const struct {
        int dpi;
        QImage::Format format;
        int units, density;
    } cases[] = {
        {200, QImage::Format_ARGB32_Premultiplied, 1, 200},
        {254, QImage::Format_ARGB32_Premultiplied, 1, 254},
        {300, QImage::Format_RGB32, 1, 300},
        {0, QImage::Format_RGB888, 0, 1}, // the preview page
        {0, QImage::Format_Grayscale8, 0, 1},
    };
    for (const auto& c : cases) {
        const QImage page = QuadrantImage(240, 300).convertToFormat(c.format);
        const QString path = folder.file(QString("big%1-%2.jpg").arg(c.dpi).arg(int(c.format)));
        ASSERT_TRUE(SaveJpeg(page, path, c.dpi));
        const QByteArray written = ReadBytes(path);
        const JpegHeaders h = ReadJpegHeaders(written);
        SCOPED_TRACE(testing::Message() << "dpi " << c.dpi << " format " << int(c.format));
        ASSERT_TRUE(h.jfif);
        EXPECT_EQ(h.units, c.units);
        EXPECT_EQ(h.xDensity, c.density);
        EXPECT_EQ(h.yDensity, c.density);
        ASSERT_TRUE(h.baseline);
        EXPECT_EQ(h.width, 240);
        EXPECT_EQ(h.height, 300);
        EXPECT_EQ(h.sampling, (QList<int>{0x11, 0x11, 0x11}));
        EXPECT_EQ(h.quality, 100);
        // Composed in sRGB, and saying so to the lab's software.
        EXPECT_EQ(QColorSpace::fromIccProfile(h.icc), QColorSpace(QColorSpace::SRgb));

        // Another reader agrees on size and resolution.
        QImageReader reader(path);
        const QImage back = reader.read();
        ASSERT_EQ(back.size(), QSize(240, 300));
        if (c.units == 1) {
            EXPECT_EQ(qRound(back.dotsPerMeterX() * 0.0254), c.dpi);
            EXPECT_EQ(qRound(back.dotsPerMeterY() * 0.0254), c.dpi);
        }
    }
}

// Colour edges survive at full resolution: with halved chroma a one-pixel
// red line on blue would bleed into its neighbours.
TEST(SaveJpeg, KeepsSinglePixelColourDetail) {
    TestFolder folder;
    QImage page(64, 64, QImage::Format_ARGB32_Premultiplied);
    page.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 64; ++y)
        page.setPixel(31, y, qRgb(255, 0, 0));
    const QString path = folder.file("line.jpg");
    ASSERT_TRUE(SaveJpeg(page, path, 300));
    const QImage back = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(back.size(), page.size());
    for (int y = 4; y < 60; y += 9) {
        EXPECT_TRUE(Near(back.pixel(31, y), qRgb(255, 0, 0), 16)) << y;
        EXPECT_TRUE(Near(back.pixel(30, y), qRgb(0, 0, 255), 16)) << y;
        EXPECT_TRUE(Near(back.pixel(32, y), qRgb(0, 0, 255), 16)) << y;
    }
}

TEST(SaveJpeg, QualityHundredKeepsThePicture) {
    TestFolder folder;
    QImage page(200, 200, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            page.setPixel(x, y, qRgb(x, y, (x + y) / 2));
    const QString path = folder.file("page.jpg");
    ASSERT_TRUE(SaveJpeg(page, path));
    const QByteArray written = ReadBytes(path);
    EXPECT_GT(written.size(), EncodeImage(page, "JPEG", 90).size());
    const QImage back = DecodeImage(written);
    ASSERT_EQ(back.size(), page.size());
    int worst = 0;
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 200; x += 7)
            worst = qMax(worst, qAbs(qGray(back.pixel(x, y)) - qGray(page.pixel(x, y))));
    EXPECT_LE(worst, 3);
}

TEST(SaveJpeg, ReplacesAWholeFileOrNothing) {
    TestFolder folder;
    const QString path = folder.file("big1.jpg");
    ASSERT_TRUE(WriteBytes(path, "the previous page"));
    EXPECT_FALSE(SaveJpeg(QImage(), path, 254));
    EXPECT_EQ(ReadBytes(path), QByteArray("the previous page"));

    ASSERT_TRUE(SaveJpeg(QuadrantImage(64, 48), path, 254));
    EXPECT_EQ(DecodeImage(ReadBytes(path)).size(), QSize(64, 48));
    // Nothing but the page is left behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"big1.jpg"});

    EXPECT_FALSE(SaveJpeg(QuadrantImage(64, 48), folder.file("no such folder/big2.jpg")));
    EXPECT_FALSE(SaveJpeg(QuadrantImage(64, 48), QString()));
}

TEST(SaveJpeg, DiskFullingUpPartWayKeepsThePreviousPage) {
    TestFolder folder;
    const QString jpeg = folder.file("big1.jpg");
    const QString png = folder.file("1.png");
    ASSERT_TRUE(WriteBytes(jpeg, "the previous page"));
    ASSERT_TRUE(WriteBytes(png, "the previous photo"));
    const QImage page = QuadrantImage(1200, 900);
    bool jpegSaved = true, pngSaved = true;
    {
        ScopedFileSizeLimit limit(2048);
        ASSERT_TRUE(limit.active());
        jpegSaved = SaveJpeg(page, jpeg, 300);
        pngSaved = SavePng(page, png);
    }
    EXPECT_FALSE(jpegSaved);
    EXPECT_FALSE(pngSaved);
    EXPECT_EQ(ReadBytes(jpeg), QByteArray("the previous page"));
    EXPECT_EQ(ReadBytes(png), QByteArray("the previous photo"));
}

TEST(SavePng, KeepsEveryPixelAndAlpha) {
    TestFolder folder;
    QImage photo(30, 20, QImage::Format_ARGB32);
    photo.fill(qRgba(10, 200, 30, 255));
    photo.setPixel(0, 0, qRgba(255, 0, 0, 0));
    photo.setPixel(5, 5, qRgba(40, 50, 60, 128));
    const QString path = folder.file("slot.png");
    ASSERT_TRUE(SavePng(photo, path));
    EXPECT_TRUE(ReadBytes(path).startsWith("\x89PNG"));
    QImage back(path);
    back = back.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(back.pixel(10, 10), qRgba(10, 200, 30, 255));
    EXPECT_EQ(qAlpha(back.pixel(0, 0)), 0);
    EXPECT_EQ(back.pixel(5, 5), qRgba(40, 50, 60, 128));
    EXPECT_FALSE(SavePng(QImage(), folder.file("none.png")));
    EXPECT_FALSE(QFile::exists(folder.file("none.png")));
    EXPECT_FALSE(SavePng(photo, folder.file("missing/slot.png")));
}
