// Photos in another colour space are drawn in sRGB, whichever way they are
// decoded; photos without a profile are taken as sRGB.

#include "canvas_fixtures.h"
#include "raster/raster.h"
#include "jpeg_files.h"

#include <QColorSpace>
#include <gtest/gtest.h>

namespace {

// sRGB (60, 160, 90) as an Adobe RGB photo stores it.
constexpr QRgb kStoredAdobe = qRgb(103, 159, 94);
constexpr QRgb kSrgb = qRgb(60, 160, 90);
constexpr int kLevels = 3;

QByteArray AdobeRgbPng(int w, int h) {
    QImage photo(w, h, QImage::Format_RGB32);
    photo.fill(kStoredAdobe);
    photo.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    return EncodeImage(photo, "PNG");
}

QImage Reduced(const QByteArray& bytes) {
    return DecodeBitmapReduced(bytes, [](QSize, QSize) { return true; });
}

} // namespace

TEST(ColourManagement, EveryDecodePathDrawsTheSrgbColour) {
    const QByteArray adobeJpeg = AdobeRgbJpeg(640, 480, kStoredAdobe);
    const QByteArray plainJpeg =
        EncodeImage(SolidImage(640, 480, QColor(kStoredAdobe)), "JPEG", 100);
    const struct {
        const char* what;
        QByteArray bytes;
        QRgb expected;
    } inputs[] = {
        {"Adobe RGB JPEG", adobeJpeg, kSrgb},
        {"Adobe RGB PNG", AdobeRgbPng(640, 480), kSrgb},
        {"JPEG without profile", plainJpeg, kStoredAdobe},
    };
    const struct {
        const char* what;
        QImage (*decode)(const QByteArray&);
    } paths[] = {
        {"DecodeImage (templates)", DecodeImage},
        {"DecodeBitmap (photos)", DecodeBitmap},
        {"reduced decode (thumbnails, batch)", Reduced},
        {"working copy (canvas)", [](const QByteArray& b) { return MakeWorkingCopyFromBytes(b); }},
    };
    for (const auto& input : inputs) {
        for (const auto& path : paths) {
            SCOPED_TRACE(testing::Message() << input.what << " through " << path.what);
            const QImage image = path.decode(input.bytes);
            ASSERT_FALSE(image.isNull());
            EXPECT_TRUE(
                Near(image.pixel(image.width() / 2, image.height() / 2), input.expected, kLevels))
                << std::hex << image.pixel(image.width() / 2, image.height() / 2);
        }
    }
}

TEST(ColourManagement, CanvasShowsTheSrgbColourOfAnAdobeRgbPhoto) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "adobe.jpg", AdobeRgbJpeg(1200, 900, kStoredAdobe));
    CComposeCanvas canvas;
    canvas.SetClientSize({1000, 750});
    ASSERT_TRUE(canvas.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{0, 0, 1000, 750}}, Qt::white)), true, true));
    ASSERT_TRUE(canvas.PutPhoto(photo, true));
    EXPECT_TRUE(Near(Pixel(canvas, 300, 500), kSrgb, kLevels))
        << std::hex << Pixel(canvas, 300, 500);
}
