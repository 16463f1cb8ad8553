// Drawing slot images: opacity, parallelograms, mirrors and placed slots.

#include "compose/slot_drawing.h"
#include "test_support.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

Rect R(int left, int top, int right, int bottom) {
    return Rect{left, top, right, bottom};
}

QImage Page(int w, int h, QRgb ground = qRgb(255, 255, 255)) {
    QImage page(w, h, QImage::Format_ARGB32_Premultiplied);
    page.fill(ground);
    return page;
}

QImage Solid(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(colour);
    return img;
}

// Stripes one pixel wide; vertical ones alternate along x, horizontal along y.
// period > 2 draws a single white line every period pixels.
QImage Stripes(int w, int h, bool vertical, int period = 2) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = ((vertical ? x : y) % period == 0) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    return img;
}

SlotPlacement Placement(int angle = 0, int transparency = 0, uint32_t border = 0) {
    SlotPlacement p = SlotPlacement::Zero();
    p.angle = angle;
    p.transparency = transparency;
    p.borderColor = border;
    return p;
}

// The largest distance of any pixel inside rect (inset by a margin against
// edge blending) from the grey level wanted.
int WorstGreyDeviation(const QImage& page, QRect rect, int wanted) {
    int worst = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            worst = qMax(worst, qAbs(qGray(page.pixel(x, y)) - wanted));
    return worst;
}

} // namespace

TEST(DrawWithOpacity, TransparencyScalesTheImagesAlpha) {
    const QImage red = Solid(20, 20, qRgb(255, 0, 0));

    QImage plain = Page(40, 40);
    {
        QPainter p(&plain);
        DrawWithOpacity(p, red, R(10, 10, 30, 30), 0);
    }
    EXPECT_EQ(plain.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(plain.pixel(29, 29), qRgb(255, 0, 0));
    EXPECT_EQ(plain.pixel(30, 30), qRgb(255, 255, 255));
    EXPECT_EQ(plain.pixel(9, 20), qRgb(255, 255, 255));

    QImage invisible = Page(40, 40);
    {
        QPainter p(&invisible);
        DrawWithOpacity(p, red, R(10, 10, 30, 30), 255);
        DrawWithOpacity(p, red, R(10, 10, 30, 30), 300);
    }
    EXPECT_EQ(invisible, Page(40, 40));

    // Opacity (255 - t) / 255: red over white keeps t of green and blue. 128
    // alone would not tell the opacity from its inverse.
    for (int t : {40, 128, 200}) {
        QImage page = Page(40, 40);
        {
            QPainter p(&page);
            DrawWithOpacity(p, red, R(10, 10, 30, 30), t);
        }
        EXPECT_TRUE(Near(page.pixel(20, 20), qRgb(255, t, t), 2)) << t;
    }
}

TEST(DrawWithOpacity, CombinesWithThePaintersOwnOpacityAndRestoresIt) {
    QImage page = Page(20, 20, qRgb(0, 0, 0));
    QPainter p(&page);
    p.setOpacity(0.5);
    DrawWithOpacity(p, Solid(10, 10, qRgb(255, 255, 255)), R(0, 0, 10, 10), 128);
    EXPECT_DOUBLE_EQ(p.opacity(), 0.5);
    p.end();
    EXPECT_NEAR(qRed(page.pixel(5, 5)), 64, 2); // 0.5 * 127 / 255 of white
}

TEST(DrawWithOpacity, ThreeCornersMapTheWholeImageOntoTheParallelogram) {
    const QImage quadrants = QuadrantImage(40, 20);

    QImage upright = Page(60, 60);
    {
        QPainter p(&upright);
        DrawWithOpacity(p, quadrants, QPoint(10, 10), QPoint(50, 10), QPoint(10, 30), 0);
    }
    EXPECT_TRUE(Near(upright.pixel(20, 15), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(upright.pixel(40, 15), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(upright.pixel(40, 25), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(upright.pixel(20, 25), qRgb(255, 255, 0)));
    EXPECT_EQ(upright.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(upright.pixel(55, 35), qRgb(255, 255, 255));

    // Top edge down the right side: image (x, y) lands at (50 - y, 10 + x).
    QImage turned = Page(60, 60);
    {
        QPainter p(&turned);
        DrawWithOpacity(p, quadrants, QPoint(50, 10), QPoint(50, 50), QPoint(30, 10), 0);
    }
    EXPECT_TRUE(Near(turned.pixel(45, 20), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(turned.pixel(45, 40), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(turned.pixel(35, 40), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(turned.pixel(35, 20), qRgb(255, 255, 0)));
    EXPECT_EQ(turned.pixel(20, 20), qRgb(255, 255, 255));

    QImage faded = Page(60, 60);
    QImage flat = Page(60, 60);
    {
        QPainter p(&faded);
        DrawWithOpacity(p, quadrants, QPoint(10, 10), QPoint(50, 10), QPoint(10, 30), 255);
        QPainter q(&flat);
        DrawWithOpacity(q, quadrants, QPoint(10, 10), QPoint(50, 10), QPoint(30, 10), 0);
    }
    EXPECT_EQ(faded, Page(60, 60));
    EXPECT_EQ(flat, Page(60, 60)); // corners on one line
}

TEST(Mirror, FlipsInPlace) {
    QImage img = QuadrantImage(40, 20);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    Mirror(img, MirrorAxis::LeftRight);
    EXPECT_EQ(img.pixel(39, 0), qRgb(1, 2, 3));
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(5, 15), qRgb(0, 0, 255));
    Mirror(img, MirrorAxis::TopBottom);
    EXPECT_EQ(img.pixel(39, 19), qRgb(1, 2, 3));
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(35, 5), qRgb(255, 255, 0));
    QImage none;
    Mirror(none, MirrorAxis::LeftRight);
    EXPECT_TRUE(none.isNull());
}

TEST(DrawPlacedSlot, UprightSlotFillsItsRectangle) {
    QImage page = Page(200, 150);
    {
        QPainter p(&page);
        DrawPlacedSlot(p, QuadrantImage(100, 60), Placement(), R(50, 40, 150, 100),
                       QSize(200, 150));
    }
    EXPECT_TRUE(Near(page.pixel(60, 50), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(page.pixel(140, 50), qRgb(0, 255, 0)));
    EXPECT_TRUE(Near(page.pixel(140, 90), qRgb(0, 0, 255)));
    EXPECT_TRUE(Near(page.pixel(60, 90), qRgb(255, 255, 0)));
    EXPECT_EQ(page.pixel(49, 70), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(150, 70), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(100, 39), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(100, 100), qRgb(255, 255, 255));
}

TEST(DrawPlacedSlot, BorderThicknessFromTheReferenceSize) {
    const QImage photo = Solid(100, 60, qRgb(0, 0, 0));
    QImage page = Page(200, 150);
    {
        QPainter p(&page);
        // 0x000000FF is red; a 2400 x 1800 page gives a 4-pixel frame.
        DrawPlacedSlot(p, photo, Placement(0, 0, 0x000000FF), R(50, 40, 150, 100),
                       QSize(2400, 1800));
    }
    EXPECT_EQ(page.pixel(50, 70), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(53, 70), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(54, 70), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(100, 99), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(100, 95), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(100, 100), qRgb(255, 255, 255));
}

TEST(DrawPlacedSlot, TransparencyAppliesToPhotoAndBorder) {
    const QImage photo = Solid(100, 60, qRgb(0, 0, 0));
    QImage hidden = Page(200, 150);
    QImage faded = Page(200, 150);
    {
        QPainter p(&hidden);
        DrawPlacedSlot(p, photo, Placement(0, 255, 0x000000FF), R(50, 40, 150, 100),
                       QSize(200, 150));
        DrawPlacedSlot(p, photo, Placement(30, 255, 0x000000FF), R(50, 40, 150, 100),
                       QSize(200, 150));
        QPainter q(&faded);
        DrawPlacedSlot(q, photo, Placement(0, 128, 0x000000FF), R(50, 40, 150, 100),
                       QSize(200, 150));
    }
    EXPECT_EQ(hidden, Page(200, 150));
    EXPECT_TRUE(Near(faded.pixel(100, 70), qRgb(128, 128, 128), 2));
    // The red frame at half strength over the half-strength black photo.
    EXPECT_TRUE(Near(faded.pixel(50, 70), qRgb(191, 64, 64), 2));
}

TEST(DrawPlacedSlot, RotatedSlotIsDrawnOnItsCorners) {
    QImage page = Page(200, 200);
    const Rect r = R(50, 75, 150, 125); // 100 x 50 about (100, 100)
    {
        QPainter p(&page);
        DrawPlacedSlot(p, QuadrantImage(100, 50), Placement(90), r, QSize(200, 200));
    }
    // A quarter turn clockwise: the photo's top-left (red) quadrant goes to
    // the top-right of the standing slot, its top-right (green) to the bottom-right.
    EXPECT_TRUE(Near(page.pixel(112, 75), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(page.pixel(112, 125), qRgb(0, 255, 0), 20));
    EXPECT_TRUE(Near(page.pixel(88, 125), qRgb(0, 0, 255), 20));
    EXPECT_TRUE(Near(page.pixel(88, 75), qRgb(255, 255, 0), 20));
    EXPECT_EQ(page.pixel(60, 100), qRgb(255, 255, 255)); // inside r, outside the turned slot
}

TEST(DrawPlacedSlot, ShearMovesTheDrawnTopLeftCorner) {
    const Rect r = R(100, 100, 300, 200);
    QImage straight = Page(400, 300);
    QImage sheared = Page(400, 300);
    {
        QPainter p(&straight);
        DrawPlacedSlot(p, Solid(200, 100, qRgb(0, 0, 0)), Placement(180), r, QSize(400, 300));
        SlotPlacement withShear = Placement(180);
        withShear.shear = 20; // top-left corner (drawn at the bottom right) lifted by 20
        QPainter q(&sheared);
        DrawPlacedSlot(q, Solid(200, 100, qRgb(0, 0, 0)), withShear, r, QSize(400, 300));
    }
    EXPECT_EQ(straight.pixel(290, 190), qRgb(0, 0, 0));
    EXPECT_EQ(sheared.pixel(290, 190), qRgb(255, 255, 255));
    EXPECT_EQ(sheared.pixel(290, 150), qRgb(0, 0, 0));
}

// A full-resolution crop drawn into a much smaller slot must be averaged:
// sampling a few source pixels per page pixel turns fine detail into moire.
TEST(DrawPlacedSlot, ShrinkingAveragesEverySourcePixel) {
    const Rect slot = R(20, 20, 320, 220); // 300 x 200
    for (bool vertical : {true, false}) {
        QImage page = Page(340, 240);
        {
            QPainter p(&page);
            DrawPlacedSlot(p, Stripes(1200, 800, vertical), Placement(), slot, QSize(340, 240));
        }
        EXPECT_LE(WorstGreyDeviation(page, QRect(22, 22, 296, 196), 127), 6) << vertical;
    }
    // One white line in four: an even quarter grey, never stripes of black.
    QImage sparse = Page(340, 240);
    {
        QPainter p(&sparse);
        DrawPlacedSlot(p, Stripes(1200, 800, true, 4), Placement(), slot, QSize(340, 240));
    }
    EXPECT_LE(WorstGreyDeviation(sparse, QRect(22, 22, 296, 196), 64), 6);

    // The same on a turned slot: reduced to the parallelogram's sides first.
    QImage turned = Page(340, 340);
    {
        QPainter p(&turned);
        DrawPlacedSlot(p, Stripes(1200, 800, true, 4), Placement(90), R(20, 70, 320, 270),
                       QSize(340, 340));
    }
    EXPECT_LE(WorstGreyDeviation(turned, QRect(80, 30, 180, 280), 64), 10);
}

TEST(DrawPlacedSlot, NothingToDraw) {
    QImage page = Page(50, 50);
    {
        QPainter p(&page);
        DrawPlacedSlot(p, QImage(), Placement(0, 0, 0x000000FF), R(0, 0, 50, 50), QSize(50, 50));
        DrawPlacedSlot(p, Solid(10, 10, 0xFF000000), Placement(), R(10, 10, 10, 40), QSize(50, 50));
    }
    EXPECT_EQ(page, Page(50, 50));
}
