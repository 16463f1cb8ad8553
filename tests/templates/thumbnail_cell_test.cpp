#include "compose/compose_canvas.h"
#include "compose/template_body.h"
#include "raster/raster.h"
#include "raster/working_copy_cache.h"
#include "templates/canvas_preparation.h"
#include "templates/thumbnail_cache.h"
#include "templates/thumbnail_cell.h"
#include "test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QRgb kPicture = qRgb(20, 110, 90);
const QRgb kSilver = qRgb(0xC0, 0xC0, 0xC0);
const QRgb kWhite = qRgb(255, 255, 255);

QImage Solid(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray PackageWithPreview(const QByteArray& preview) {
    TemplateBody body;
    body.preview = preview;
    body.background = preview;
    body.width = 3000;
    body.height = 2000;
    return SerializeTemplateBody(body);
}

// Pixels of cell that differ from a cell showing a picture of one colour in
// drawn: the picture inside drawn, else the silver frame on the border and
// white within. Every mismatch is printed up to a few.
int WrongPixels(const QImage& cell, const QRect& drawn, QRgb colour) {
    int wrong = 0;
    for (int y = 0; y < kThumbnailHeight; ++y) {
        for (int x = 0; x < kThumbnailWidth; ++x) {
            const bool frame =
                x == 0 || y == 0 || x == kThumbnailWidth - 1 || y == kThumbnailHeight - 1;
            const QRgb expected = drawn.contains(x, y) ? colour : frame ? kSilver : kWhite;
            if (!Near(cell.pixel(x, y), expected, 6) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << cell.pixel(x, y)
                              << ", expected " << expected;
        }
    }
    return wrong;
}

TEST(ThumbnailPlacement, DegenerateSizes) {
    EXPECT_TRUE(ThumbnailPlacement(QSize(0, 10)).isEmpty());
    EXPECT_TRUE(ThumbnailPlacement(QSize(-5, 10)).isEmpty());
    EXPECT_EQ(ThumbnailPlacement(QSize(10, 0)), QRect(0, 42, 75, 0));
    EXPECT_EQ(ThumbnailPlacement(QSize(1, 100000)), QRect(37, 0, 0, 85));
}

struct CellCase {
    const char* name;
    ThumbnailSource source;
    QSize picture;
    const char* format; // of the file, or of the preview inside a package
    QRect drawn;
};

void PrintTo(const CellCase& c, std::ostream* os) {
    *os << c.name;
}

class ThumbnailCellFromFile : public ::testing::TestWithParam<CellCase> {};

TEST_P(ThumbnailCellFromFile, PictureFittedAtItsPlace) {
    const CellCase& c = GetParam();
    TestFolder folder;
    const QByteArray image = EncodeImage(Solid(c.picture, kPicture), c.format, 95);
    const bool package = c.source == ThumbnailSource::TemplatePreview;
    const QString path = folder.file(package ? "1.temp" : "picture");
    ASSERT_TRUE(WriteBytes(path, package ? PackageWithPreview(image) : image));

    EXPECT_EQ(ThumbnailPlacement(c.picture), c.drawn);
    const QImage cell = MakeThumbnailCell(path, c.source);
    ASSERT_EQ(cell.size(), QSize(75, 85));
    EXPECT_FALSE(cell.hasAlphaChannel());
    EXPECT_EQ(WrongPixels(cell, c.drawn, kPicture), 0);
    // The same picture in memory gives the same cell.
    EXPECT_EQ(WrongPixels(DrawThumbnailCell(Solid(c.picture, kPicture)), c.drawn, kPicture), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, ThumbnailCellFromFile,
    ::testing::Values(
        CellCase{"square", ThumbnailSource::ImageFile, {300, 300}, "JPEG", {0, 5, 75, 75}},
        CellCase{"panorama", ThumbnailSource::ImageFile, {1000, 100}, "PNG", {0, 39, 75, 7}},
        CellCase{"portrait", ThumbnailSource::ImageFile, {100, 1000}, "JPEG", {33, 0, 8, 85}},
        // Shrunk by the JPEG decoder itself (1/8), then to the exact size.
        CellCase{"camera", ThumbnailSource::ImageFile, {2400, 1800}, "JPEG", {0, 14, 75, 56}},
        // Exactly the cell's proportions: fitted by width, filling the cell
        // (in double precision 85 / 75 * 75 would truncate to 84).
        CellCase{"cell_shape", ThumbnailSource::ImageFile, {150, 170}, "PNG", {0, 0, 75, 85}},
        CellCase{"template", ThumbnailSource::TemplatePreview, {60, 100}, "PNG", {12, 0, 51, 85}},
        CellCase{"small", ThumbnailSource::ImageFile, {30, 20}, "PNG", {0, 17, 75, 50}},
        // Customer photos are decoded no smaller than their working copy.
        CellCase{"customer_camera",
                 ThumbnailSource::CustomerPhoto,
                 {2400, 1800},
                 "JPEG",
                 {0, 14, 75, 56}},
        CellCase{
            "customer_small", ThumbnailSource::CustomerPhoto, {30, 20}, "PNG", {0, 17, 75, 50}}),
    [](const ::testing::TestParamInfo<CellCase>& info) { return info.param.name; });

TEST(ThumbnailCell, UnreadablePicturesGiveTheBlankCell) {
    TestFolder folder;
    const QByteArray jpeg = EncodeImage(Solid({64, 48}, kPicture), "JPEG");
    struct Case {
        const char* name;
        ThumbnailSource source;
        QByteArray bytes; // no file when null
    } cases[] = {
        {"garbage.jpg", ThumbnailSource::ImageFile, QByteArray("not a picture at all")},
        {"empty.jpg", ThumbnailSource::ImageFile, QByteArray("")},
        {"missing.jpg", ThumbnailSource::ImageFile, QByteArray()},
        {"bad_preview.temp", ThumbnailSource::TemplatePreview, PackageWithPreview("garbage")},
        // A header claiming far more pixels than may be decoded.
        {"huge.jpg", ThumbnailSource::ImageFile,
         jpeg.left(jpeg.indexOf("\xFF\xC0")) +
             QByteArray("\xFF\xC0\x00\x11\x08\xEA\x60\xEA\x60", 9) +
             jpeg.mid(jpeg.indexOf("\xFF\xC0") + 9)},
    };
    ASSERT_GT(jpeg.indexOf("\xFF\xC0"), 0);
    for (const Case& c : cases) {
        const QString path = folder.file(c.name);
        if (!c.bytes.isNull()) {
            ASSERT_TRUE(WriteBytes(path, c.bytes));
        }
        SCOPED_TRACE(c.name);
        const QImage cell = MakeThumbnailCell(path, c.source);
        ASSERT_EQ(cell.size(), QSize(75, 85));
        EXPECT_EQ(WrongPixels(cell, QRect(), 0), 0);
    }
    EXPECT_EQ(WrongPixels(DrawThumbnailCell(QImage()), QRect(), 0), 0);
}

TEST(ThumbnailCell, CustomerPhotoKeepsTheWorkingCopyThatPuttingItUses) {
    TestFolder folder;
    const QByteArray bytes = EncodeImage(QuadrantImage(2400, 1800), "JPEG", 95);
    const QString photo = folder.file("photo.jpg");
    const QString page = folder.file("page.jpg");
    ASSERT_TRUE(WriteBytes(photo, bytes));
    ASSERT_TRUE(WriteBytes(page, bytes));

    MakeThumbnailCell(page, ThumbnailSource::ImageFile);
    EXPECT_TRUE(WorkingCopyCache::Shared().Find(*WorkingCopyCache::KeyOf(page)).isNull());

    MakeThumbnailCell(photo, ThumbnailSource::CustomerPhoto);
    const QImage kept = WorkingCopyCache::Shared().Find(*WorkingCopyCache::KeyOf(photo));
    ASSERT_EQ(kept.size(), QSize(400, 300));
    const QImage decoded = MakeWorkingCopyFromBytes(bytes);
    for (QPoint p : {QPoint(100, 75), QPoint(300, 75), QPoint(300, 225), QPoint(100, 225)})
        EXPECT_TRUE(Near(kept.pixel(p), decoded.pixel(p), 8)) << p.x() << "," << p.y();

    CComposeCanvas canvas;
    ASSERT_TRUE(canvas.PutPhoto(photo, true, 0));
    EXPECT_EQ(canvas.workingCopy(0).cacheKey(), kept.cacheKey());

    // A list keeps no more copies than it has room for.
    const QString more = folder.file("more.jpg");
    ASSERT_TRUE(WriteBytes(more, bytes));
    std::atomic<qint64> room{0};
    MakeThumbnailCell(more, ThumbnailSource::CustomerPhoto, &room);
    EXPECT_TRUE(WorkingCopyCache::Shared().Find(*WorkingCopyCache::KeyOf(more)).isNull());
    ASSERT_TRUE(QFile::remove(CachedThumbnailPath(more)));
    room = 1;
    MakeThumbnailCell(more, ThumbnailSource::CustomerPhoto, &room);
    EXPECT_FALSE(WorkingCopyCache::Shared().Find(*WorkingCopyCache::KeyOf(more)).isNull());
    EXPECT_EQ(room, 1 - 400 * 300 * 4);
}

// The photo list's background pass finds the faces beside the working copy,
// off the window's thread, when the operator keeps faces; a put then scans
// nothing.
TEST(ThumbnailCell, CustomerPhotoFacesAreFoundWithItsWorkingCopy) {
    TestFolder folder;
    for (const bool scan : {true, false}) {
        const QString photo = folder.file(scan ? "scanned.jpg" : "unscanned.jpg");
        ASSERT_TRUE(QFile::copy(kFacePhoto, photo));
        EXPECT_FALSE(CanvasReadinessOf(photo, scan).complete);
        EXPECT_GT(PrepareForCanvas(photo, scan), 0);
        EXPECT_TRUE(CanvasReadinessOf(photo, scan).complete);
        const auto key = *WorkingCopyCache::KeyOf(photo);
        EXPECT_FALSE(WorkingCopyCache::Shared().Find(key).isNull());
        const auto faces = WorkingCopyCache::Shared().FindFaces(key);
        ASSERT_EQ(faces.has_value(), scan);
        if (scan) {
            ASSERT_EQ(faces->size(), 1);
            // Grace Hopper's face, in the photo's own 512 x 600 pixels.
            EXPECT_TRUE(QRect(100, 80, 320, 320).contains(faces->at(0))) << faces->at(0).x();
        }
    }
}

TEST(ThumbnailCell, PhotoTurnedByItsExifOrientationIsDrawnUpright) {
    TestFolder folder;
    // Stored 200 x 100 with orientation 6 (turn clockwise): shown 100 x 200,
    // fitted 42 x 85 at x 16. Turned, the stored quadrants red, green,
    // blue, yellow (clockwise from the top-left) start with yellow.
    const QString path = folder.file("turned.jpg");
    ASSERT_TRUE(WriteBytes(path, JpegWithOrientation(QuadrantImage(200, 100), 6)));
    const QImage cell = MakeThumbnailCell(path, ThumbnailSource::ImageFile);
    EXPECT_TRUE(Near(cell.pixel(16 + 10, 20), qRgb(255, 255, 0), 40));
    EXPECT_TRUE(Near(cell.pixel(16 + 31, 20), qRgb(255, 0, 0), 40));
    EXPECT_TRUE(Near(cell.pixel(16 + 31, 65), qRgb(0, 255, 0), 40));
    EXPECT_TRUE(Near(cell.pixel(16 + 10, 65), qRgb(0, 0, 255), 40));
    // Left and right of the picture the ground stays white.
    EXPECT_TRUE(Near(cell.pixel(8, 42), kWhite, 0));
    EXPECT_TRUE(Near(cell.pixel(16 + 42 + 8, 42), kWhite, 0));
}

} // namespace
