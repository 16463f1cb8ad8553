// Encoding pages as JPEG (with the print resolution) and photos as PNG.

#include "compose/raster.h"
#include "test_support.h"

#include <QDir>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

int BigEndian16(const QByteArray& b, int at) {
    return (static_cast<quint8>(b[at]) << 8) | static_cast<quint8>(b[at + 1]);
}

// The JFIF header other programs read the resolution from: units byte
// (1 = dots per inch), then X and Y density.
struct JfifDensity {
    int units = -1, x = -1, y = -1;
};
JfifDensity ReadJfifDensity(const QByteArray& jpeg) {
    JfifDensity d;
    if (jpeg.size() < 18 || static_cast<quint8>(jpeg[2]) != 0xFF ||
        static_cast<quint8>(jpeg[3]) != 0xE0 || jpeg.mid(6, 5) != QByteArray("JFIF\0", 5))
        return d;
    d.units = static_cast<quint8>(jpeg[13]);
    d.x = BigEndian16(jpeg, 14);
    d.y = BigEndian16(jpeg, 16);
    return d;
}

} // namespace

TEST(SaveJpeg, StoresTheResolutionInBothDirections) {
    TestFolder folder;
    const QImage page = QuadrantImage(240, 300);
    for (int dpi : {200, 254, 300}) {
        const QString path = folder.file(QString("big%1.jpg").arg(dpi));
        ASSERT_TRUE(SaveJpeg(page, path, dpi));
        const JfifDensity d = ReadJfifDensity(ReadBytes(path));
        EXPECT_EQ(d.units, 1) << dpi;
        EXPECT_EQ(d.x, dpi);
        EXPECT_EQ(d.y, dpi);

        QImageReader reader(path);
        const QImage back = reader.read();
        ASSERT_EQ(back.size(), QSize(240, 300));
        EXPECT_EQ(qRound(back.dotsPerMeterX() * 0.0254), dpi);
        EXPECT_EQ(qRound(back.dotsPerMeterY() * 0.0254), dpi);
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
