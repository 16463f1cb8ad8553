// Slots drawn from screen copies: the same crop as the working copy's, with
// the pixels a large screen shows.

#include "canvas_fixtures.h"

#include "compose/screen_copy_loader.h"
#include "raster/raster.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Smooth detail everywhere (rings over a gradient), so two resamplings of
// the same crop agree closely and a shifted crop does not.
QImage RingsPhoto(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double r = std::hypot(x - w * 0.3, y - h * 0.6) / (w * 0.05);
            image.setPixel(x, y, qRgb(255 * x / w, int(127.5 + 127.5 * std::sin(r)), 255 * y / h));
        }
    return image;
}

// Black and white stripes 4 pixels wide.
QImage StripesPhoto(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            image.setPixel(x, y, (x / 4) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// How often the back buffer's row through the slot's middle crosses from
// dark to light or back.
int RowCrossings(const CComposeCanvas& c, const SlotPlacement& p) {
    const int y = (p.top + p.bottom) / 2;
    int crossings = 0;
    bool light = qGreen(Pixel(c, p.left + 10, y)) > 128;
    for (int x = p.left + 10; x < p.right - 10; ++x) {
        const int v = qGreen(Pixel(c, x, y));
        if ((light && v < 108) || (!light && v > 148)) {
            light = !light;
            ++crossings;
        }
    }
    return crossings;
}

struct Shape {
    const char* name;
    QSize product; // (-1, -1): no product chosen
};

class CanvasScreenCopy : public ::testing::TestWithParam<Shape> {};

} // namespace

// The canvas of a 1920 x 1080 screen, on every page shape: a slot shows its
// working copy at once, and the screen copy once it is ready, cut at the
// same place for every placement an operator makes.
TEST_P(CanvasScreenCopy, SameCropWithTheScreensPixels) {
    TestFolder folder;
    ScreenCopyLoader::ClearKept();
    CComposeCanvas c;
    c.EnableScreenCopies(true);
    c.SetClientSize({1440, 1080});
    c.SetProductSize(GetParam().product);
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{50, 50, 950, 700}, {0, 0, 60, 60}}, Qt::black)), true,
        true));

    ASSERT_TRUE(c.PutPhoto(
        WriteFile(folder, "stripes.jpg", EncodeImage(StripesPhoto(2400, 1800), "jpeg", 98)), true,
        0));
    EXPECT_EQ(c.drawnSlotImage(0).cacheKey(), c.slotImage(0).cacheKey()) << "first paint";
    const SlotPlacement& p = c.placement(0);
    // Two crossings for every 8 photo pixels the slot shows.
    const int span = p.right - p.left - 20;
    const double stripes =
        2.0 * span *
        CropWindowRect({2400, 1800}, Rect{p.left, p.top, p.right, p.bottom}, 0, 0, 0).width() /
        (8.0 * (p.right - p.left));
    EXPECT_LT(RowCrossings(c, p), stripes * 0.5) << "the working copy cannot show the stripes";
    c.FinishScreenCopies();
    EXPECT_NEAR(RowCrossings(c, p), stripes, stripes * 0.1) << "every stripe on the screen";

    ASSERT_TRUE(c.PutPhoto(
        WriteFile(folder, "rings.png", EncodeImage(RingsPhoto(3000, 2000), "png")), true, 0));
    struct Case {
        int zoom, offsetX, offsetY, mirrorX;
    };
    for (const Case& k :
         {Case{0, 0, 0, 0}, Case{0, 9, -4, 0}, Case{6, -5, 3, 0}, Case{4, 2, 2, 1}}) {
        SlotPlacement& p = c.placement(0);
        p.zoom = k.zoom;
        p.offsetX = k.offsetX;
        p.offsetY = k.offsetY;
        p.mirrorX = k.mirrorX;
        // The second fit cuts where the corrected values say, as every
        // later edit and the printed page do.
        c.RefitSlot(0);
        c.RefitSlot(0);
        const SlotPlacement kept = p;
        c.FinishScreenCopies();
        EXPECT_EQ(std::memcmp(&kept, &c.placement(0), sizeof kept), 0) << "nothing stored changes";
        const QImage& working = c.slotImage(0);
        const QImage& screen = c.drawnSlotImage(0);
        ASSERT_GT(screen.width(), working.width() * 2) << k.zoom << " " << k.offsetX;
        const QImage reduced =
            screen.scaled(working.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(MeanDifference(reduced, working), 4.0) << k.zoom << " " << k.offsetX;
    }

    // The tiny slot needs no more than its working copy.
    ASSERT_TRUE(c.PutPhoto(folder.path() + "/rings.png", true, 1));
    c.FinishScreenCopies();
    EXPECT_EQ(c.drawnSlotImage(1).cacheKey(), c.slotImage(1).cacheKey());

    // A photo put before comes with its working copy: the slot shows it,
    // not the screen copy of the photo it replaces.
    c.placement(0).zoom = 0;
    ASSERT_TRUE(c.PutPhoto(folder.path() + "/stripes.jpg", true, 0));
    c.FinishScreenCopies();
    EXPECT_NEAR(RowCrossings(c, c.placement(0)), stripes, stripes * 0.1);
}

INSTANTIATE_TEST_SUITE_P(ProductShapes, CanvasScreenCopy,
                         ::testing::Values(Shape{"square", {3000, 3000}},
                                           Shape{"portrait", {3000, 4000}},
                                           Shape{"none", {-1, -1}}),
                         [](const auto& info) { return std::string(info.param.name); });
