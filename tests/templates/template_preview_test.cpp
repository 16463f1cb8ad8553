#include "common/byte_io.h"
#include "compose/template_body.h"
#include "templates/template_preview.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

QByteArray PackageWithPreview(const QByteArray& preview) {
    TemplateBody body;
    body.preview = preview;
    body.width = 3000;
    body.height = 2000;
    body.background = preview;
    return SerializeTemplateBody(body);
}

TEST(TemplatePreview, ReadsOnlyThePreviewOfAPackage) {
    TestFolder folder;
    const QByteArray png = EncodeImage(QuadrantImage(40, 30), "PNG");
    const QString path = folder.file("1.temp");
    ASSERT_TRUE(WriteBytes(path, PackageWithPreview(png)));

    EXPECT_EQ(ReadTemplatePreviewBytes(path), png);
    const QImage image = ReadTemplatePreview(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(40, 30));
    EXPECT_TRUE(Near(image.pixel(5, 5), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(image.pixel(35, 25), qRgb(0, 0, 255)));
}

TEST(TemplatePreview, MarkerIsNotLookedAtAndTheRestIsNotNeeded) {
    TestFolder folder;
    const QByteArray jpeg = EncodeImage(QuadrantImage(16, 16), "JPEG");
    ByteWriter w;
    w.u8(0); // not the body marker
    w.u32(static_cast<uint32_t>(jpeg.size()));
    w.bytes(jpeg);
    const QString path = folder.file("odd.temp");
    ASSERT_TRUE(WriteBytes(path, w.data()));
    EXPECT_EQ(ReadTemplatePreview(path).size(), QSize(16, 16));
}

TEST(TemplatePreview, LengthPastTheFileGivesNoPreview) {
    TestFolder folder;
    const QByteArray png = EncodeImage(QuadrantImage(8, 8), "PNG");
    for (uint32_t claimed : {static_cast<uint32_t>(png.size() + 1), 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        ByteWriter w;
        w.u8(kTemplateMarker);
        w.u32(claimed);
        w.bytes(png);
        const QString path = folder.file("long.temp");
        ASSERT_TRUE(WriteBytes(path, w.data()));
        EXPECT_TRUE(ReadTemplatePreviewBytes(path).isEmpty()) << claimed;
        EXPECT_TRUE(ReadTemplatePreview(path).isNull()) << claimed;
    }
}

TEST(TemplatePreview, ShortMissingOrUndecodableFilesGiveNoPreview) {
    TestFolder folder;
    EXPECT_TRUE(ReadTemplatePreview(folder.file("missing.temp")).isNull());

    ASSERT_TRUE(WriteBytes(folder.file("short.temp"), QByteArray("\xC8\x10\x00", 3)));
    EXPECT_TRUE(ReadTemplatePreview(folder.file("short.temp")).isNull());

    ASSERT_TRUE(WriteBytes(folder.file("empty.temp"), QByteArray()));
    EXPECT_TRUE(ReadTemplatePreview(folder.file("empty.temp")).isNull());

    ASSERT_TRUE(WriteBytes(folder.file("junk.temp"), PackageWithPreview("not an image")));
    EXPECT_EQ(ReadTemplatePreviewBytes(folder.file("junk.temp")), QByteArray("not an image"));
    EXPECT_TRUE(ReadTemplatePreview(folder.file("junk.temp")).isNull());

    // A zero-length preview is simply no preview.
    ASSERT_TRUE(WriteBytes(folder.file("none.temp"), PackageWithPreview(QByteArray())));
    EXPECT_TRUE(ReadTemplatePreview(folder.file("none.temp")).isNull());
}

} // namespace
