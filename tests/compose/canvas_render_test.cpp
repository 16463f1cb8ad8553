// Composing the page: layer order, slot drawing, number marks, saving.

#include "canvas_fixtures.h"

#include "compose/digit_strips.h"
#include "compose/slot_drawing.h"

#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);

QPoint At(QPointF p) {
    return QPoint(static_cast<int>(p.x()), static_cast<int>(p.y()));
}

// A canvas with one 300 x 300 slot at (300, 200) holding a white photo on a
// black page.
struct WhiteSlotPage {
    TestFolder folder;
    CComposeCanvas canvas;
    Rect rect{300, 200, 600, 500};

    WhiteSlotPage() {
        const QString photo = WriteFile(folder, "white.png", SolidPng(600, 600, Qt::white));
        canvas.ApplyTemplateBody(
            SerializeTemplateBody(MakeTemplate({{300, 200, 600, 500}}, Qt::black)), true, true);
        canvas.PutPhoto(photo, true);
    }
    QRgb At(QPointF p) const { return Pixel(canvas, int(p.x()), int(p.y())); }
    void Draw(int angle, int shear) {
        canvas.placement(0).angle = angle;
        canvas.placement(0).shear = shear;
        canvas.RenderComposite();
    }
};

// A point a fraction of the way along both edges from a corner.
QPointF Inside(QPointF corner, QPointF alongA, QPointF alongB, double fa, double fb) {
    return corner + fa * (alongA - corner) + fb * (alongB - corner);
}

} // namespace

TEST(CanvasRender, PreviewUntilTheFirstPhotoThenOverlayBetweenBackAndFrontSlots) {
    TestFolder folder;
    const QColor background(0, 0, 200), preview(255, 0, 255), band(255, 128, 0);
    TemplateBody t = MakeTemplate({{100, 100, 400, 400}, {600, 100, 900, 400}}, background, preview,
                                  BandOverlayPng(400, 300, 80, 120, band));
    t.front[1] = 1;
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(t), true, true));
    // Only the sample shows: no overlay band, no background.
    EXPECT_TRUE(Near(Pixel(c, 50, 50), qRgb(255, 0, 255)));
    EXPECT_TRUE(Near(Pixel(c, 150, 250), qRgb(255, 0, 255)));
    EXPECT_TRUE(Near(Pixel(c, 50, 250), qRgb(255, 0, 255)));

    const QString photo = WriteFile(folder, "w.png", SolidPng(600, 600, Qt::white));
    c.SetCurrentSlot(0);
    ASSERT_TRUE(c.PutPhoto(photo, true));
    EXPECT_TRUE(c.previewImage().isNull());
    EXPECT_TRUE(Near(Pixel(c, 50, 50), background.rgb()));
    EXPECT_TRUE(Near(Pixel(c, 50, 250), band.rgb()));  // overlay over background
    EXPECT_TRUE(Near(Pixel(c, 150, 150), kWhite));     // back slot
    EXPECT_TRUE(Near(Pixel(c, 150, 250), band.rgb())); // overlay covers the back slot

    c.SetCurrentSlot(1);
    ASSERT_TRUE(c.PutPhoto(photo, true));
    EXPECT_TRUE(Near(Pixel(c, 850, 250), kWhite)); // front slot covers the overlay
    EXPECT_TRUE(Near(Pixel(c, 850, 150), kWhite));
    EXPECT_TRUE(Near(Pixel(c, 150, 250), band.rgb()));
}

TEST(CanvasRender, ShearNeedsARotatedSlot) {
    WhiteSlotPage page;
    page.Draw(0, 0);
    const QImage upright = page.canvas.backBuffer().copy();
    page.Draw(0, 30);
    EXPECT_EQ(page.canvas.backBuffer(), upright) << "an upright slot is never sheared";
    EXPECT_TRUE(Near(Pixel(page.canvas, 303, 203), kWhite));
    EXPECT_TRUE(Near(Pixel(page.canvas, 303, 196), kBlack));
}

TEST(CanvasRender, VerticalShearLiftsTheTopLeftCorner) {
    WhiteSlotPage page;
    page.Draw(5, 30);
    const RotatedCorners c = ComputeRotatedCorners(5, page.rect);
    const int lift = static_cast<int>(300 * 30 * 0.01f);
    const QPointF topLeft(c.topLeft.x(), c.topLeft.y() - lift);
    const QPointF inside = Inside(topLeft, c.topRight, c.bottomLeft, 0.1, 0.03);
    // The point lies some 80 pixels above the unsheared slot.
    ASSERT_LT(inside.y(), c.topLeft.y() - 60);
    EXPECT_TRUE(Near(page.At(inside), kWhite));
    EXPECT_TRUE(
        Near(page.At(Inside(topLeft, c.topRight, c.bottomLeft, 0.1, 0.0) - QPointF(0, 6)), kBlack));
    // The other three corners stay where the rotation put them.
    EXPECT_TRUE(Near(page.At(Inside(c.bottomRight, c.topRight, c.bottomLeft, 0.03, 0.03)), kWhite));
}

TEST(CanvasRender, HorizontalShearMovesTheTopLeftCornerSideways) {
    const int shift = static_cast<int>(300 * 5 * 0.01f);
    {
        WhiteSlotPage page; // 1005: to the left
        page.Draw(1, 1005);
        const RotatedCorners c = ComputeRotatedCorners(1, page.rect);
        const QPointF topLeft(c.topLeft.x() - shift, c.topLeft.y());
        const QPointF inside = Inside(topLeft, c.topRight, c.bottomLeft, 0.03, 0.03);
        ASSERT_LT(inside.x(), c.topLeft.x() - 3); // left of the unsheared slot
        EXPECT_TRUE(Near(page.At(inside), kWhite));
    }
    {
        WhiteSlotPage page; // -1005: the amount is negative, so to the right
        page.Draw(1, -1005);
        const RotatedCorners c = ComputeRotatedCorners(1, page.rect);
        const QPointF topLeft(c.topLeft.x() + shift, c.topLeft.y());
        EXPECT_TRUE(Near(page.At(QPointF(c.topLeft.x() + 4, c.topLeft.y() + 9)), kBlack));
        EXPECT_TRUE(Near(page.At(Inside(topLeft, c.topRight, c.bottomLeft, 0.03, 0.03)), kWhite));
    }
}

TEST(CanvasRender, DigitStripsHoldOneToNineAndZero) {
    const QImage strip = MakeDigitStrip(QColor(230, 20, 20));
    ASSERT_EQ(strip.size(), QSize(250, 30));
    for (int cell = 0; cell < 10; ++cell) {
        const int digit = (cell + 1) % 10;
        for (int s = 0; s < 7; ++s) {
            const QPoint p = At(DigitSegmentCentre(s)) + QPoint(cell * 25, 0);
            const QRgb px = strip.pixel(p);
            if (DigitLightsSegment(digit, s))
                EXPECT_TRUE(Near(px, qRgb(230, 20, 20), 20)) << digit << " segment " << s;
            else
                EXPECT_EQ(qAlpha(px), 0) << digit << " segment " << s;
        }
    }
    // Seven-segment shapes: "8" lights all, "1" only the right pair.
    EXPECT_TRUE(DigitLightsSegment(8, 6) && DigitLightsSegment(8, 0));
    EXPECT_FALSE(DigitLightsSegment(1, 0) || DigitLightsSegment(1, 4));
}

TEST(CanvasRender, SlotNineShowsZeroAndSlotTenNoMark) {
    QList<TemplateRect> rects;
    for (int i = 0; i < 11; ++i)
        rects.append({(i % 5) * 200, (i / 5) * 250, (i % 5) * 200 + 200, (i / 5) * 250 + 250});
    const QColor grey(128, 128, 128);
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate(rects, grey)), true, true));
    ASSERT_EQ(c.currentSlot(), 0);
    auto cellOrigin = [&](int slot) {
        const SlotPlacement& p = c.placement(slot);
        return QPoint(p.left + (p.width() - 25) / 2, p.top + (p.height() - 30) / 2);
    };
    auto segment = [&](int slot, int s) {
        const QPoint p = cellOrigin(slot) + At(DigitSegmentCentre(s));
        return Pixel(c, p.x(), p.y());
    };
    const QRgb red = CurrentSlotDigitColor().rgb(), green = OtherSlotDigitColor().rgb();
    // Slot 0 is current: a red "1".
    EXPECT_TRUE(Near(segment(0, 1), red, 20));
    EXPECT_TRUE(Near(segment(0, 2), red, 20));
    EXPECT_TRUE(Near(segment(0, 0), grey.rgb(), 2));
    // Slot 9: a green "0", its middle bar dark.
    for (int s = 0; s < 6; ++s)
        EXPECT_TRUE(Near(segment(9, s), green, 20)) << s;
    EXPECT_TRUE(Near(segment(9, 6), grey.rgb(), 2));
    // Slot 10: nothing at all where a mark would be.
    const QPoint o = cellOrigin(10);
    for (int y = o.y(); y < o.y() + 30; ++y)
        for (int x = o.x(); x < o.x() + 25; ++x)
            ASSERT_TRUE(Near(Pixel(c, x, y), grey.rgb(), 2)) << x << "," << y;

    // The saved page carries no marks; the canvas shows them again after.
    TestFolder folder;
    const QString out = folder.file("page.jpg");
    ASSERT_TRUE(c.SaveComposite(out));
    const QImage saved(out);
    ASSERT_EQ(saved.size(), QSize(1000, 750));
    const QPoint nine = cellOrigin(9) + At(DigitSegmentCentre(1));
    EXPECT_TRUE(Near(saved.pixel(nine), grey.rgb(), 8));
    EXPECT_TRUE(Near(segment(9, 1), green, 20));
}

TEST(CanvasRender, SquarePagesAreSavedSquare) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "p.jpg", SolidJpeg(300, 300, Qt::white));
    {
        CComposeCanvas c; // a square product on a 4:3 template
        c.SetProductSize({1000, 1000});
        ASSERT_TRUE(c.ApplyTemplateBody(
            SerializeTemplateBody(MakeTemplate({{100, 100, 900, 650}}, Qt::gray)), true, true));
        ASSERT_TRUE(c.PutPhoto(photo, true));
        EXPECT_EQ(c.displaySize(), QSize(750, 750));
        EXPECT_EQ(c.displayArea().left, 125);
        ASSERT_TRUE(c.SaveComposite(folder.file("a.jpg")));
        EXPECT_EQ(QImageReader(folder.file("a.jpg")).size(), QSize(750, 750));
    }
    {
        CComposeCanvas c; // no product: the template's own square page size
        TemplateBody t = MakeTemplate({{100, 100, 900, 650}}, Qt::gray);
        t.width = t.height = 2000;
        ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(t), true, true));
        EXPECT_EQ(c.displaySize(), QSize(1000, 750));
        EXPECT_EQ(c.pageSize(), QSize(2000, 2000));
        ASSERT_TRUE(c.SaveComposite(folder.file("b.jpg")));
        EXPECT_EQ(QImageReader(folder.file("b.jpg")).size(), QSize(750, 750));
    }
}

TEST(CanvasRender, RenderingReportsTheAreaToRepaint) {
    CComposeCanvas c;
    QList<std::optional<Rect>> reports;
    c.SetInvalidateHandler([&](std::optional<Rect> r) { reports.append(r); });
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{100, 100, 400, 400}}, Qt::gray)), true, true));
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_FALSE(reports.last().has_value());
    c.RenderComposite(Rect{10, 20, 30, 40});
    ASSERT_TRUE(reports.last().has_value());
    EXPECT_EQ(*reports.last(), (Rect{10, 20, 30, 40}));
}

TEST(CanvasRender, SlotBoundsHoldTheRotatedSlot) {
    CComposeCanvas c;
    const Rect r{100, 100, 200, 150};
    EXPECT_EQ(c.SlotBounds(r), r);
    c.placement(0).angle = 90;
    const Rect b = c.SlotBounds(r);
    // Turned a quarter about (150, 125): 50 wide and 100 high.
    EXPECT_LE(b.left, 100);
    EXPECT_LE(b.top, 75);
    EXPECT_GE(b.right, 200);
    EXPECT_GE(b.bottom, 175);
    EXPECT_LE(b.bottom, 177);
    EXPECT_GE(b.top, 73);
}

TEST(CanvasRender, PaintingShowsTheBackBufferOrTheSinglePhoto) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "red.png", SolidPng(400, 200, Qt::red));
    CComposeCanvas c;
    c.SetClientSize({1000, 750});
    QImage window(1000, 750, QImage::Format_RGB32);
    const QRgb ground = qRgb(230, 243, 251);

    // No template: the photo alone, cut to the window's proportions (267 x 200
    // of the 400 x 200 working copy), so it fills the window.
    ASSERT_TRUE(c.PutPhoto(photo, true));
    ASSERT_EQ(c.slotImage(0).size(), QSize(267, 200));
    {
        QPainter p(&window);
        c.PaintClient(p);
    }
    EXPECT_EQ(c.displayArea(), (Rect{0, 0, 1000, 750}));
    EXPECT_TRUE(Near(window.pixel(500, 375), qRgb(255, 0, 0)));
    EXPECT_TRUE(Near(window.pixel(2, 2), qRgb(255, 0, 0)));

    c.SetProductSize({2000, 3000});
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{0, 0, 1000, 750}}, Qt::gray)), true, true));
    {
        QPainter p(&window);
        c.PaintClient(p);
    }
    EXPECT_EQ(window.pixel(100, 375), ground); // left of the 500 x 750 page at x = 250
    EXPECT_EQ(window.pixel(900, 375), ground);
    EXPECT_EQ(window.pixel(260, 10), c.backBuffer().pixel(10, 10));
    EXPECT_TRUE(Near(window.pixel(500, 600), qRgb(255, 0, 0))); // the photo, refitted
}
