// Fitting photos to slot proportions and cutting the part that fills a slot.

#include "raster/raster.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {
Rect R(int left, int top, int right, int bottom) {
    return Rect{left, top, right, bottom};
}

// Columns of distinct grey levels (x + 10 for column x, on 400 x 266), so the
// left edge of a crop can be read from its first pixel.
QImage ColumnRamp(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb(x % 256, (x / 256) * 60, y % 256);
    }
    return img;
}
int ColumnOf(QRgb p) {
    return qRed(p) + qGreen(p) / 60 * 256;
}
} // namespace

TEST(CoverCropSize, TakesTheSlotsProportions) {
    EXPECT_EQ(CoverCropSize(R(0, 0, 100, 100), 400, 266), QSize(266, 266));
    EXPECT_EQ(CoverCropSize(R(10, 10, 210, 110), 400, 266), QSize(400, 200));
    // 400 - trunc(400 - 66.5): the half pixel is kept
    EXPECT_EQ(CoverCropSize(R(0, 0, 50, 200), 400, 266), QSize(67, 266));
    EXPECT_EQ(CoverCropSize(R(0, 0, 300, 200), 300, 200), QSize(300, 200));
    // A source without pixels changes nothing; a slot without area crops nothing.
    EXPECT_EQ(CoverCropSize(R(0, 0, 100, 100), 0, 266), QSize(0, 266));
    EXPECT_EQ(CoverCropSize(R(0, 0, 100, 0), 400, 266), QSize(0, 0));
    EXPECT_EQ(CoverCropSize(R(0, 0, 0, 0), 400, 266), QSize(0, 0));
    EXPECT_EQ(CoverCropSize(R(100, 0, 0, 100), 400, 266), QSize(0, 0));
}

TEST(FitInside, LetterboxesSymmetrically) {
    Rect wide = R(0, 0, 1000, 750);
    EXPECT_EQ(FitInside(2000, 3000, wide), 250);
    EXPECT_EQ(wide, R(250, 0, 750, 750));

    Rect tall = R(0, 0, 1000, 750);
    EXPECT_EQ(FitInside(4000, 1000, tall), 250);
    EXPECT_EQ(tall, R(0, 250, 1000, 500));

    Rect square = R(0, 0, 1000, 750);
    FitInside(100, 100, square);
    EXPECT_EQ(square, R(125, 0, 875, 750));

    Rect same = R(5, 5, 105, 80);
    EXPECT_EQ(FitInside(4, 3, same), 0);
    EXPECT_EQ(same, R(5, 5, 105, 80));

    Rect untouched = R(0, 0, 10, 10);
    EXPECT_EQ(FitInside(0, 5, untouched), 0);
    EXPECT_EQ(FitInside(5, 0, untouched), 0);
    EXPECT_EQ(untouched, R(0, 0, 10, 10));
    Rect flat = R(0, 0, 10, 0);
    EXPECT_EQ(FitInside(3, 4, flat), 0);
    EXPECT_EQ(flat, R(0, 0, 10, 0));
}

TEST(CropToSlot, CentredCropOfTheSlotsProportions) {
    const QImage src = ColumnRamp(400, 266);
    int zoom = 0, ox = 0, oy = 0;
    const QImage crop = CropToSlot(src, R(0, 0, 90, 90), zoom, ox, oy);
    ASSERT_EQ(crop.size(), QSize(266, 266));
    EXPECT_EQ(crop.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(ColumnOf(crop.pixel(0, 0)), 67); // (400 - 266) / 2
    EXPECT_EQ(ColumnOf(crop.pixel(265, 0)), 67 + 265);

    const QImage wide = CropToSlot(src, R(0, 0, 200, 100), zoom, ox, oy);
    ASSERT_EQ(wide.size(), QSize(400, 200));
    EXPECT_EQ(qBlue(wide.pixel(0, 0)), 33); // (266 - 200) / 2
    EXPECT_EQ(ColumnOf(wide.pixel(0, 0)), 0);
}

TEST(CropToSlot, OffsetsMoveTheWindowInThirtieths) {
    const QImage src = ColumnRamp(400, 266);
    int zoom = 0, ox = 3, oy = 0;
    const QImage crop = CropToSlot(src, R(0, 0, 50, 50), zoom, ox, oy);
    // px = trunc(266 * (3 * 0.033333335f)) = 26
    EXPECT_EQ(ColumnOf(crop.pixel(0, 0)), 67 + 26);
    EXPECT_EQ(ox, 3); // inside the source: kept

    ox = -3;
    const QImage left = CropToSlot(src, R(0, 0, 50, 50), zoom, ox, oy);
    EXPECT_EQ(ColumnOf(left.pixel(0, 0)), 67 - 26);
}

TEST(CropToSlot, TooLargeZoomIsResetAndWrittenBack) {
    const QImage src = ColumnRamp(400, 266);
    int zoom = 15, ox = 0, oy = 0; // ix = 133 on a 266 crop: nothing would be left
    const QImage crop = CropToSlot(src, R(0, 0, 10, 10), zoom, ox, oy);
    EXPECT_EQ(zoom, 0);
    ASSERT_EQ(crop.size(), QSize(266, 266));
    EXPECT_EQ(ColumnOf(crop.pixel(0, 0)), 67); // the whole crop is shown

    int kept = 14;
    CropToSlot(src, R(0, 0, 10, 10), kept, ox, oy);
    EXPECT_EQ(kept, 14);

    int negative = -4;
    const QImage whole = CropToSlot(src, R(0, 0, 10, 10), negative, ox, oy);
    EXPECT_EQ(negative, 0);
    EXPECT_EQ(ColumnOf(whole.pixel(0, 0)), 67);
}

TEST(CropToSlot, ZoomCutsTheSameFractionFromEachSide) {
    const QImage src = ColumnRamp(400, 266);
    int zoom = 3, ox = 0, oy = 0; // ix = iy = trunc(3 * 0.033333335f * 266) = 26
    const QImage crop = CropToSlot(src, R(0, 0, 10, 10), zoom, ox, oy);
    ASSERT_EQ(crop.size(), QSize(266, 266));
    EXPECT_EQ(zoom, 3);
    // The window 93 .. 306 (214 wide) is enlarged to 266: its ends stay put.
    EXPECT_NEAR(ColumnOf(crop.pixel(0, 100)), 93, 1);
    EXPECT_NEAR(ColumnOf(crop.pixel(265, 100)), 306, 1);
    EXPECT_NEAR(ColumnOf(crop.pixel(133, 100)), 200, 1);
    EXPECT_NEAR(qBlue(crop.pixel(100, 0)), 26, 1);
}

TEST(CropToSlot, OffsetsBeyondTheImageArePulledBackAndRewritten) {
    const QImage src = ColumnRamp(400, 266);
    int zoom = 0, ox = 500, oy = -500;
    const QImage crop = CropToSlot(src, R(0, 0, 10, 10), zoom, ox, oy);
    // mx = 67: the window touches the right edge; ox = trunc(67 / 266 * 30).
    EXPECT_EQ(ColumnOf(crop.pixel(0, 0)), 134);
    EXPECT_EQ(ColumnOf(crop.pixel(265, 0)), 399);
    EXPECT_EQ(ox, 7);
    EXPECT_EQ(oy, 0); // no room vertically: my = 0

    ox = -500;
    const QImage left = CropToSlot(src, R(0, 0, 10, 10), zoom, ox, oy);
    EXPECT_EQ(ColumnOf(left.pixel(0, 0)), 0);
    EXPECT_EQ(ox, -7);

    // With a zoom the allowed range grows by the zoom inset.
    zoom = 3, ox = 500, oy = 500;
    const QImage zoomed = CropToSlot(src, R(0, 0, 10, 10), zoom, ox, oy);
    EXPECT_EQ(ox, 10); // trunc((26 + 67) / 266 * 30)
    EXPECT_EQ(oy, 2);  // trunc(26 / 266 * 30)
    EXPECT_NEAR(ColumnOf(zoomed.pixel(265, 0)), 399, 1);

    // The rewritten offsets stay put when applied again.
    int again = ox;
    CropToSlot(src, R(0, 0, 10, 10), zoom, again, oy);
    EXPECT_EQ(again, 10);
}

TEST(CropToSlot, ByValueGivesTheSameCropAndWritesNothingBack) {
    const QImage src = QuadrantImage(1200, 800);
    int zoom = 40, ox = 900, oy = -900;
    const QImage byValue = CropToSlotByValue(src, R(0, 0, 300, 100), zoom, ox, oy);
    EXPECT_EQ(zoom, 40);
    EXPECT_EQ(ox, 900);
    EXPECT_EQ(oy, -900);
    const QImage written = CropToSlot(src, R(0, 0, 300, 100), zoom, ox, oy);
    EXPECT_EQ(byValue, written);
    EXPECT_EQ(byValue.size(), QSize(1200, 400));
}

TEST(CropToSlot, ForDrawingTakesTheSameWindowAtThePagesSize) {
    const QImage src = ColumnRamp(400, 266);
    // Larger draw: exactly the by-value crop.
    EXPECT_EQ(CropToSlotForDrawing(src, R(0, 0, 10, 10), 0, 3, 0, QSize(900, 900)),
              CropToSlotByValue(src, R(0, 0, 10, 10), 0, 3, 0));
    EXPECT_EQ(CropToSlotForDrawing(src, R(0, 0, 10, 10), 2, -2, 1, QSize()),
              CropToSlotByValue(src, R(0, 0, 10, 10), 2, -2, 1));

    // Smaller draw: the same window, averaged down. Offset 3 starts the
    // window at column 93 (67 + 26); zoom 3 cuts 26 more from each side.
    const QImage small = CropToSlotForDrawing(src, R(0, 0, 10, 10), 3, 3, 0, QSize(107, 107));
    ASSERT_EQ(small.size(), QSize(107, 107));
    EXPECT_EQ(small.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_NEAR(ColumnOf(small.pixel(0, 50)), 119, 2);         // 93 + 26
    EXPECT_NEAR(ColumnOf(small.pixel(106, 50)), 119 + 213, 2); // window 214 wide
    EXPECT_NEAR(qBlue(small.pixel(50, 0)), 26, 2);

    // Only the side that is larger shrinks.
    EXPECT_EQ(CropToSlotForDrawing(src, R(0, 0, 20, 10), 0, 0, 0, QSize(100, 900)).size(),
              QSize(100, 200));
}

TEST(CropToSlot, ForDrawingAveragesFineDetail) {
    // One white column in four, shrunk four times: an even quarter grey.
    QImage lines(1600, 800, QImage::Format_RGB32);
    for (int y = 0; y < 800; ++y) {
        auto* line = reinterpret_cast<QRgb*>(lines.scanLine(y));
        for (int x = 0; x < 1600; ++x)
            line[x] = x % 4 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    const QImage small = CropToSlotForDrawing(lines, R(0, 0, 20, 10), 0, 0, 0, QSize(400, 200));
    ASSERT_EQ(small.size(), QSize(400, 200));
    for (int x = 1; x < 399; x += 3)
        ASSERT_NEAR(qGray(small.pixel(x, 100)), 64, 6) << x;
}

TEST(CropToSlot, NothingToCrop) {
    int zoom = 0, ox = 0, oy = 0;
    EXPECT_TRUE(CropToSlot(QImage(), R(0, 0, 10, 10), zoom, ox, oy).isNull());
    EXPECT_TRUE(CropToSlot(ColumnRamp(40, 30), R(0, 0, 10, 0), zoom, ox, oy).isNull());
    EXPECT_TRUE(CropToSlotByValue(ColumnRamp(40, 30), R(5, 5, 5, 5), 0, 0, 0).isNull());
}
