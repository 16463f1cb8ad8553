// Files claiming far more picture than their bytes hold, and files that would
// keep the decoder busy for minutes: every reader refuses them before taking
// the memory they claim, while real pictures of the same sizes still read.

#include "raster/jpeg_codec.h"
#include "raster/raster.h"
#include "hostile_images.h"
#include "templates/thumbnail_cell.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(HostileImages, EveryReaderRefusesThem) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"3 KB progressive jpeg claiming 16000 x 16000", ForgedProgressiveJpeg(16000, 16000, 200)},
        {"3 KB progressive jpeg claiming 15000 x 16000", ForgedProgressiveJpeg(15000, 16000, 200)},
        {"jpeg of 20000 scans", ForgedProgressiveJpeg(1000, 1000, 20000)},
        {"one-bit flat png of 15000 x 16000", FlatPng(15000, 16000, 1, 1)},
        {"flat grey png of 8000 x 8000", FlatPng(8000, 8000, 1)},
    };
    TestFolder dir;
    const QImage blankCell = DrawThumbnailCell(QImage());
    for (const auto& c : cases) {
        EXPECT_TRUE(DecodeImage(c.bytes).isNull()) << c.what;
        EXPECT_TRUE(DecodeBitmapReduced(c.bytes, [](QSize, QSize) { return true; }).isNull())
            << c.what;
        EXPECT_TRUE(MakeWorkingCopyFromBytes(c.bytes).isNull()) << c.what;
        EXPECT_TRUE(DecodeLayerForPage(c.bytes, QSize(3000, 2000)).isNull()) << c.what;
        ASSERT_TRUE(WriteBytes(dir.file("hostile"), c.bytes));
        EXPECT_EQ(MakeThumbnailCell(dir.file("hostile"), ThumbnailSource::CustomerPhoto), blankCell)
            << c.what;
    }
    // Sizes from headers: refused for forged claims, told for the scans
    // (their claim is small; only decoding them is refused).
    EXPECT_FALSE(ImageSizeOf(cases[1].bytes).isValid());
    EXPECT_FALSE(ImageSizeOf(cases[3].bytes).isValid());
    EXPECT_EQ(ImageSizeOf(cases[2].bytes), QSize(1000, 1000));
}

TEST(HostileImages, RealFilesOfLargeAndFlatPicturesStillRead) {
    // A blank page of 49 megapixels as the pages are written, and a flat
    // template image under the size every file may claim: both are read.
    QImage page(7000, 7000, QImage::Format_RGB32);
    page.fill(Qt::white);
    const QByteArray blankPage = EncodeJpegPage(page, {});
    page = QImage();
    EXPECT_EQ(ImageSizeOf(blankPage), QSize(7000, 7000)) << blankPage.size();
    EXPECT_EQ(DecodeBitmapReduced(blankPage, [](QSize, QSize) { return true; }).size(),
              QSize(875, 875));
    const QByteArray flat = FlatPng(6000, 6000, 1, 1);
    EXPECT_EQ(ImageSizeOf(flat), QSize(6000, 6000)) << flat.size();
}

TEST(HostileImages, TemplateLayersLargerThanThePageAreShrunkWhileDecoding) {
    const struct {
        const char* what;
        QByteArray bytes;
        QSize page, layer;
    } cases[] = {
        // JPEG: the smallest reduction still covering the page.
        {"jpeg twice the page",
         EncodeImage(QuadrantImage(800, 600), "JPEG"),
         {300, 200},
         {400, 300}},
        {"jpeg the page's size",
         EncodeImage(QuadrantImage(800, 600), "JPEG"),
         {800, 600},
         {800, 600}},
        // PNG: stretched to the page once it has four times its pixels.
        {"png four times the page",
         EncodeImage(QuadrantImage(800, 600), "PNG"),
         {400, 300},
         {800, 600}},
        {"png over four times the page",
         EncodeImage(QuadrantImage(800, 600), "PNG"),
         {200, 100},
         {200, 100}},
    };
    const QImage whole = QuadrantImage(800, 600);
    for (const auto& c : cases) {
        QSize shown;
        const QImage layer = DecodeLayerForPage(c.bytes, c.page, &shown);
        EXPECT_EQ(layer.size(), c.layer) << c.what;
        EXPECT_EQ(shown, QSize(800, 600)) << c.what;
        // Still the same picture: each quadrant's colour where it was.
        for (const QPoint p : {QPoint(1, 1), QPoint(3, 3)}) {
            const QPoint at(p.x() * layer.width() / 4, p.y() * layer.height() / 4);
            const QPoint there(p.x() * 200, p.y() * 150);
            EXPECT_TRUE(Near(layer.pixel(at), whole.pixel(there), 24)) << c.what << " " << p.x();
        }
    }
}

} // namespace
