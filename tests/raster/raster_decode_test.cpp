// Decoding photos and making working copies from them.

#include "raster/raster.h"
#include "test_support.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

quint32 Crc32(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<quint8>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian32(QByteArray& b, int at, quint32 v) {
    b[at] = char(v >> 24);
    b[at + 1] = char(v >> 16);
    b[at + 2] = char(v >> 8);
    b[at + 3] = char(v);
}

// A real PNG whose header is rewritten to claim another size (with a valid
// checksum, so the codec believes it).
QByteArray PngClaimingSize(quint32 w, quint32 h) {
    QByteArray png = EncodeImage(QuadrantImage(8, 8), "PNG");
    // Signature (8), IHDR length (4), "IHDR" (4), then width and height.
    PutBigEndian32(png, 16, w);
    PutBigEndian32(png, 20, h);
    PutBigEndian32(png, 29, Crc32(png.mid(12, 17)));
    return png;
}

// A real JPEG whose frame header is rewritten to claim another size.
QByteArray JpegClaimingSize(int w, int h) {
    QByteArray jpeg = EncodeImage(QuadrantImage(16, 16), "JPEG");
    const int sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    EXPECT_GT(sof, 0);
    // marker (2), length (2), precision (1), height (2), width (2)
    jpeg[sof + 5] = char(h >> 8);
    jpeg[sof + 6] = char(h);
    jpeg[sof + 7] = char(w >> 8);
    jpeg[sof + 8] = char(w);
    return jpeg;
}

// A photo that is not the same colour everywhere, so a wrong crop, turn or
// scale shows in the probed pixels.
QImage Photo(int w, int h) {
    return QuadrantImage(w, h);
}

} // namespace

TEST(WorkingCopy, LongerSideBecomes400) {
    EXPECT_EQ(MakeWorkingCopy(Photo(1200, 800)).size(), QSize(400, 266));
    EXPECT_EQ(MakeWorkingCopy(Photo(800, 1200)).size(), QSize(266, 400));
    EXPECT_EQ(MakeWorkingCopy(Photo(300, 200)).size(), QSize(400, 266)); // enlarged
    EXPECT_EQ(MakeWorkingCopy(Photo(400, 400)).size(), QSize(400, 400));
}

TEST(WorkingCopy, LongerSideIsExactly400ForEverySize) {
    // Sizes where the factor in double precision would give 399.
    for (int m : {7, 14, 17, 28, 333, 999, 4001, 5997, 7777}) {
        EXPECT_EQ(WorkingCopySize(QSize(m, 1)).width(), 400) << m;
        EXPECT_EQ(WorkingCopySize(QSize(1, m)).height(), 400) << m;
    }
    EXPECT_EQ(WorkingCopySize(QSize(1, 2000)), QSize(1, 400)); // never 0 across
    EXPECT_TRUE(WorkingCopySize(QSize(0, 0)).isEmpty());
}

TEST(WorkingCopy, KeepsThePictureAndIsPremultipliedArgb) {
    const QImage copy = MakeWorkingCopy(Photo(1200, 800));
    EXPECT_EQ(copy.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(Near(copy.pixel(50, 50), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(copy.pixel(350, 50), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(copy.pixel(350, 216), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(copy.pixel(50, 216), qRgb(255, 255, 0)));
    EXPECT_TRUE(MakeWorkingCopy(QImage()).isNull());
}

TEST(WorkingCopy, FromJpegBytesHasTheSizeOfTheWholeDecode) {
    for (QSize size : {QSize(1200, 800), QSize(800, 1200), QSize(3001, 2003), QSize(300, 200),
                       QSize(4000, 333)}) {
        const QByteArray jpeg = EncodeImage(Photo(size.width(), size.height()), "JPEG", 90);
        const QImage whole = DecodeBitmap(jpeg);
        ASSERT_EQ(whole.size(), size);
        const QImage fast = MakeWorkingCopyFromBytes(jpeg);
        EXPECT_EQ(fast.size(), MakeWorkingCopy(whole).size())
            << size.width() << "x" << size.height();
        EXPECT_EQ(fast.format(), QImage::Format_ARGB32_Premultiplied);
        // Same picture: quadrant centres agree.
        const int w = fast.width(), h = fast.height();
        EXPECT_TRUE(Near(fast.pixel(w / 4, h / 4), qRgb(255, 0, 0), 20));
        EXPECT_TRUE(Near(fast.pixel(3 * w / 4, 3 * h / 4), qRgb(0, 0, 255), 20));
    }
}

TEST(WorkingCopy, FromPngBytes) {
    const QImage copy = MakeWorkingCopyFromBytes(EncodeImage(Photo(900, 1500), "PNG"));
    EXPECT_EQ(copy.size(), QSize(240, 400));
    EXPECT_TRUE(Near(copy.pixel(200, 350), qRgb(0, 0, 255)));
}

// Orientation 6: the camera stored the picture turned; it is shown after a
// quarter turn clockwise, so a stored 600 x 400 photo shows as 400 x 600 and
// the stored top-left (red) quadrant ends up top-right.
TEST(Orientation, AppliedInEveryDecodePath) {
    const QByteArray jpeg = JpegWithOrientation(Photo(600, 400), 6);

    const QImage image = DecodeImage(jpeg);
    ASSERT_EQ(image.size(), QSize(400, 600));
    EXPECT_TRUE(Near(image.pixel(300, 150), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(image.pixel(100, 150), qRgb(255, 255, 0), 20));

    const QImage bitmap = DecodeBitmap(jpeg);
    ASSERT_EQ(bitmap.size(), QSize(400, 600));
    EXPECT_TRUE(Near(bitmap.pixel(300, 150), qRgb(255, 0, 0), 20));

    const QImage copy = MakeWorkingCopyFromBytes(jpeg);
    ASSERT_EQ(copy.size(), QSize(266, 400));
    EXPECT_EQ(copy.size(), MakeWorkingCopy(bitmap).size());
    EXPECT_TRUE(Near(copy.pixel(200, 100), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(copy.pixel(66, 100), qRgb(255, 255, 0), 20));
    EXPECT_TRUE(Near(copy.pixel(66, 300), qRgb(0, 0, 255), 20));

    TestFolder folder;
    ASSERT_TRUE(WriteBytes(folder.file("turned.jpg"), jpeg));
    EXPECT_EQ(LoadImageFile(folder.file("turned.jpg")).size(), QSize(400, 600));
}

TEST(Orientation, LargeTurnedPhotoScaledDecodeKeepsItsShape) {
    // Large enough for the decoder to shrink by 1/8 while decoding.
    const QByteArray jpeg = JpegWithOrientation(Photo(4000, 3000), 6);
    const QImage copy = MakeWorkingCopyFromBytes(jpeg);
    ASSERT_EQ(copy.size(), QSize(300, 400));
    EXPECT_TRUE(Near(copy.pixel(225, 100), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(copy.pixel(75, 300), qRgb(0, 0, 255), 20));
}

TEST(Decode, FormatsAndAlpha) {
    QImage withAlpha(20, 10, QImage::Format_ARGB32);
    withAlpha.fill(qRgba(0, 0, 255, 128));
    const QImage png = DecodeImage(EncodeImage(withAlpha, "PNG"));
    ASSERT_FALSE(png.isNull());
    EXPECT_TRUE(png.hasAlphaChannel());
    EXPECT_EQ(png.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(Near(png.pixel(5, 5), qPremultiply(qRgba(0, 0, 255, 128)), 2));

    const QImage bmp = DecodeImage(EncodeImage(Photo(30, 20), "BMP"));
    EXPECT_EQ(bmp.size(), QSize(30, 20));
    EXPECT_EQ(DecodeBitmap(EncodeImage(Photo(30, 20), "JPEG")).format(),
              QImage::Format_ARGB32_Premultiplied);
}

TEST(Decode, BadInputGivesNoImage) {
    const QByteArray jpeg = EncodeImage(Photo(640, 480), "JPEG");
    const QByteArray png = EncodeImage(Photo(640, 480), "PNG");
    const QByteArray garbage("this is not a picture at all, just some words.");
    const QByteArray truncatedJpeg = jpeg.left(jpeg.size() * 2 / 3);
    const QByteArray truncatedPng = png.left(png.size() * 2 / 3);
    const QByteArray headerOnlyJpeg = jpeg.left(jpeg.indexOf(QByteArray("\xFF\xDA", 2)) + 2);

    for (const QByteArray& bad :
         {QByteArray(), garbage, truncatedJpeg, truncatedPng, headerOnlyJpeg, jpeg.left(3),
          PngClaimingSize(0, 0), PngClaimingSize(60000, 60000), JpegClaimingSize(60000, 60000)}) {
        EXPECT_TRUE(DecodeImage(bad).isNull()) << bad.size();
        EXPECT_TRUE(DecodeBitmap(bad).isNull()) << bad.size();
        EXPECT_TRUE(MakeWorkingCopyFromBytes(bad).isNull()) << bad.size();
    }
    // The untouched files do decode, so the refusals above are about the damage.
    EXPECT_EQ(DecodeImage(jpeg).size(), QSize(640, 480));
    EXPECT_EQ(DecodeImage(png).size(), QSize(640, 480));
}

TEST(Decode, JpegWithBytesAfterItsEndStillDecodes) {
    QByteArray jpeg = EncodeImage(Photo(64, 48), "JPEG");
    jpeg += QByteArray(100, '\0'); // some cameras pad their files
    EXPECT_EQ(DecodeImage(jpeg).size(), QSize(64, 48));
}

TEST(Decode, LoadImageFileOfMissingOrBadFile) {
    TestFolder folder;
    EXPECT_TRUE(LoadImageFile(folder.file("none.jpg")).isNull());
    ASSERT_TRUE(WriteBytes(folder.file("bad.jpg"), "garbage bytes"));
    EXPECT_TRUE(LoadImageFile(folder.file("bad.jpg")).isNull());
    ASSERT_TRUE(WriteBytes(folder.file("good.png"), EncodeImage(Photo(12, 8), "PNG")));
    EXPECT_EQ(LoadImageFile(folder.file("good.png")).size(), QSize(12, 8));
}

TEST(Decode, SizesComeFromTheHeaderAndClaimsBeyondAnyPageAreRefused) {
    const QByteArray jpeg = EncodeImage(QuadrantImage(64, 48), "JPEG");
    const struct {
        const char* what;
        QByteArray bytes;
        QSize size; // invalid: refused before decoding
    } cases[] = {
        {"png", EncodeImage(QuadrantImage(30, 20), "PNG"), {30, 20}},
        {"png claiming 3000 x 2000", PngClaimingSize(3000, 2000), {3000, 2000}},
        {"png of 16000 x 16000", PngClaimingSize(16000, 16000), {}},
        {"jpeg", jpeg, {64, 48}},
        {"jpeg turned", JpegWithOrientation(QuadrantImage(64, 48), 6), {48, 64}},
        {"jpeg of 16000 x 16000", JpegClaimingSize(16000, 16000), {}},
        {"jpeg cut short", jpeg.left(jpeg.size() / 2), {}},
        {"no picture", "this is no picture", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ImageSizeOf(c.bytes), c.size) << c.what;
        if (!c.size.isValid()) {
            EXPECT_TRUE(DecodeImage(c.bytes).isNull()) << c.what;
        }
    }
}
