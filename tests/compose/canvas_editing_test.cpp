// The operator's edits of a slot: selection, drags, nudges, zoom and resize,
// rotation, mirrors, reset, and the area each edit reports for repainting.

#include "canvas_fixtures.h"

#include "compose/canvas_geometry.h"
#include "compose/canvas_operation.h"
#include "compose/digit_strips.h"

#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QColor kGrey(128, 128, 128);

Rect SlotRect(const CComposeCanvas& c, int slot) {
    const SlotPlacement& p = c.placement(slot);
    return Rect{p.left, p.top, p.right, p.bottom};
}

QPoint Centre(const CComposeCanvas& c, int slot) {
    const Rect r = SlotRect(c, slot);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A canvas on a 1000 x 750 client with a 4:3 template, so grid units are
// display pixels; it records what it asks the view to repaint.
struct Page {
    explicit Page(const TemplateBody& t) {
        canvas.SetInvalidateHandler([this](std::optional<Rect> r) { reports.append(r); });
        EXPECT_TRUE(canvas.ApplyTemplateBody(SerializeTemplateBody(t), true, true));
        reports.clear();
    }
    explicit Page(const QList<TemplateRect>& rects) : Page(MakeTemplate(rects, kGrey)) {}
    void Put(int slot, const QString& path) {
        canvas.SetCurrentSlot(slot);
        ASSERT_TRUE(canvas.PutPhoto(path, true));
        reports.clear();
    }
    CComposeCanvas canvas;
    QList<std::optional<Rect>> reports;
};

QString PhotoFile(const TestFolder& folder, int w, int h) {
    return WriteFile(folder, QString("q%1x%2.png").arg(w).arg(h),
                     EncodeImage(QuadrantImage(w, h), "PNG"));
}

int Disc(int x, int y) {
    return (x - 32) * (x - 32) + (y - 32) * (y - 32) < 30 * 30 ? 255 : 0;
}

int LeftHalf(int x, int) {
    return x < 32 ? 255 : 0;
}

} // namespace

TEST(CanvasEditing, APressSelectsTheTopmostSlotAndShowsTheMarksAtOnce) {
    Page page({{100, 100, 400, 400}, {300, 300, 600, 600}});
    CComposeCanvas& c = page.canvas;
    c.SelectAt({350, 350}); // in both slots
    EXPECT_EQ(c.currentSlot(), 1);
    ASSERT_FALSE(page.reports.isEmpty());
    EXPECT_FALSE(page.reports.last().has_value()) << "the marks show over the whole window";

    // The page is not composed again: its "2" is still green, the window's red.
    QImage window(1000, 750, QImage::Format_RGB32);
    {
        QPainter painter(&window);
        c.PaintClient(painter);
    }
    const QPointF centre = DigitSegmentCentre(0); // "2" lights its top bar
    const QPoint bar(300 + (300 - 25) / 2 + int(centre.x()),
                     300 + (300 - 30) / 2 + int(centre.y()));
    EXPECT_TRUE(Near(Pixel(c, bar.x(), bar.y()), OtherSlotDigitColor().rgb(), 20));
    EXPECT_TRUE(Near(window.pixel(bar), CurrentSlotDigitColor().rgb(), 20));

    c.SelectAt({150, 150});
    EXPECT_EQ(c.currentSlot(), 0);
    c.SelectAt({900, 700}); // beside every slot: the selection stays, a drag is armed
    EXPECT_EQ(c.currentSlot(), 0);
    EXPECT_EQ(c.pressPoint(), QPoint(900, 700));
    c.RenderComposite();
    EXPECT_FALSE(c.pressMarksShown());
}

TEST(CanvasEditing, AReleaseThreePixelsAwayInEitherDirectionIsADrag) {
    const struct {
        int dx, dy;
        bool drag;
    } cases[] = {{2, 5, true}, {-3, 0, true}, {0, -3, true}, {2, 2, false}, {-2, 2, false}};
    for (const auto& k : cases) {
        Page page({{100, 100, 300, 300}});
        CComposeCanvas& c = page.canvas;
        c.SelectAt({200, 200});
        c.DragTo({200 + k.dx, 200 + k.dy}, false); // an empty slot moves too
        const Rect moved{100 + k.dx, 100 + k.dy, 300 + k.dx, 300 + k.dy};
        const Rect still{100, 100, 300, 300};
        EXPECT_EQ(SlotRect(c, 0), k.drag ? moved : still) << k.dx << "," << k.dy;
        // A click leaves the press armed; a drag uses it up.
        EXPECT_EQ(c.pressPoint().has_value(), !k.drag) << k.dx << "," << k.dy;
    }
}

TEST(CanvasEditing, ALockedDragMovesThePhotoUntilItsEdge) {
    TestFolder folder;
    const struct {
        int w, h;
        int offsetX;
    } cases[] = {
        // 400 x 40 working copy, 40 x 40 crop: 30 steps of 1.33 pixels fit.
        {4000, 400, -30},
        // 400 x 266 copy, 266 x 266 crop, 67 pixels to the left edge: the
        // crop stops there, trunc(-67 / 266 x 30) = -7.
        {600, 400, -7},
    };
    for (const auto& k : cases) {
        Page page({{100, 100, 400, 400}});
        page.Put(0, PhotoFile(folder, k.w, k.h));
        CComposeCanvas& c = page.canvas;
        c.SelectAt({250, 250});
        c.DragTo({280, 250}, true);
        EXPECT_EQ(c.placement(0).offsetX, k.offsetX) << k.w;
        EXPECT_EQ(c.placement(0).offsetY, 0) << k.w;
        EXPECT_EQ(SlotRect(c, 0), (Rect{100, 100, 400, 400})) << k.w;
    }
}

TEST(CanvasEditing, AnUnlockedDragMovesTheSlotAndKeepsTheCrop) {
    TestFolder folder;
    Page page({{100, 100, 400, 400}});
    page.Put(0, PhotoFile(folder, 600, 400));
    CComposeCanvas& c = page.canvas;
    const qint64 crop = c.slotImage(0).cacheKey();
    c.SelectAt({250, 250});
    c.DragTo({290, 225}, false);
    EXPECT_EQ(SlotRect(c, 0), (Rect{140, 75, 440, 375}));
    EXPECT_EQ(c.slotImage(0).cacheKey(), crop);
    EXPECT_EQ(c.placement(0).offsetX, 0);
}

TEST(CanvasEditing, RotationStaysWithinAFullTurnEachWay) {
    const struct {
        int from, step, times, angle;
    } cases[] = {{0, 90, 4, 360}, {0, 90, 5, 90}, {-360, -2, 1, -2}, {0, 270, 2, 180}};
    for (const auto& k : cases) {
        Page page({{100, 100, 300, 300}});
        page.canvas.placement(0).angle = k.from;
        for (int i = 0; i < k.times; ++i)
            page.canvas.Rotate(k.step);
        EXPECT_EQ(page.canvas.placement(0).angle, k.angle) << k.from << " " << k.step;
    }
}

TEST(CanvasEditing, UnlockedResizingStepsAndLimits) {
    TestFolder folder;
    const QString photo = PhotoFile(folder, 600, 400);
    const struct {
        TemplateRect rect;
        bool withPhoto, enlarge, coarse;
        Rect expected;
    } cases[] = {
        {{100, 100, 300, 200}, false, true, true, {80, 90, 320, 210}},
        {{100, 100, 111, 111}, false, false, true, {100, 100, 111, 111}}, // would go below 10
        {{100, 100, 112, 112}, false, false, true, {101, 101, 111, 111}},
        // 2 % of 40 x 20 is nothing: the 400 x 200 crop asks for 2 and 1
        // pixels; the bottom follows the crop's proportions, 44 x 22.
        {{100, 100, 140, 120}, true, true, false, {98, 99, 142, 121}},
    };
    for (const auto& k : cases) {
        Page page({k.rect});
        if (k.withPhoto)
            page.Put(0, photo);
        if (k.enlarge)
            page.canvas.Enlarge(k.coarse, false);
        else
            page.canvas.Shrink(k.coarse, false);
        EXPECT_EQ(SlotRect(page.canvas, 0), k.expected) << k.rect.right;
        EXPECT_EQ(page.reports.isEmpty(), SlotRect(page.canvas, 0) == Rect(k.rect));
    }
}

TEST(CanvasEditing, LockedZoomStepsAndNeverGoesBelowZero) {
    TestFolder folder;
    const QString photo = PhotoFile(folder, 600, 400);
    const struct {
        int from;
        bool enlarge;
        int zoom;
    } cases[] = {{0, true, 1}, {2, false, 1}, {0, false, 0}};
    for (const auto& k : cases) {
        Page page({{100, 100, 400, 400}});
        page.Put(0, photo);
        CComposeCanvas& c = page.canvas;
        c.placement(0).zoom = k.from;
        const QSize crop = c.slotImage(0).size();
        if (k.enlarge)
            c.Enlarge(true, true);
        else
            c.Shrink(true, true);
        EXPECT_EQ(c.placement(0).zoom, k.zoom) << k.from;
        EXPECT_EQ(SlotRect(c, 0), (Rect{100, 100, 400, 400}));
        EXPECT_EQ(c.slotImage(0).size(), crop);
        EXPECT_EQ(page.reports.isEmpty(), k.zoom == k.from) << k.from;
    }
}

TEST(CanvasEditing, DigitKeysSelectOnlySlotsTheTemplateHas) {
    // Slot 3 covers the centre of slot 2; the key still reaches slot 2.
    Page page({{0, 0, 200, 200}, {200, 0, 400, 200}, {400, 0, 600, 200}, {450, 50, 550, 150}});
    CComposeCanvas& c = page.canvas;
    RunCanvasOperation(c, CanvasOperation::ClickSlot, true, 4);
    EXPECT_EQ(c.currentSlot(), 0);
    EXPECT_TRUE(page.reports.isEmpty());
    RunCanvasOperation(c, CanvasOperation::ClickSlot, true, 2);
    EXPECT_EQ(c.currentSlot(), 2);
    EXPECT_TRUE(c.pressMarksShown());
}

TEST(CanvasEditing, ResetLeavesTheTemplatesAngleAndTransparencyUnrestored) {
    TestFolder folder;
    TemplateBody t = MakeTemplate({{100, 100, 400, 400}}, kGrey);
    t.angle[0] = 5;
    t.transparency[0] = 40;
    Page page(t);
    page.Put(0, PhotoFile(folder, 600, 400));
    CComposeCanvas& c = page.canvas;
    c.Rotate(2);
    c.NudgeRight(false);
    c.NudgeDown(true);
    c.ResetSlot();
    EXPECT_EQ(c.placement(0).angle, 0);
    EXPECT_EQ(c.placement(0).transparency, 0);
    EXPECT_EQ(c.placement(0).offsetY, 0);
    EXPECT_EQ(SlotRect(c, 0), (Rect{100, 100, 400, 400}));
}

TEST(CanvasEditing, MirroringLeavesTheMaskWhereTheTemplatePutIt) {
    TestFolder folder;
    TemplateBody t = MakeTemplate({{100, 100, 400, 400}}, kGrey);
    t.masks = {GreyMaskBmp(64, 64, LeftHalf)};
    Page page(t);
    page.Put(0, PhotoFile(folder, 600, 600)); // the whole 400 x 400 copy
    CComposeCanvas& c = page.canvas;
    c.MirrorX();
    const QImage& slot = c.slotImage(0);
    ASSERT_EQ(slot.size(), QSize(400, 400));
    EXPECT_EQ(c.placement(0).mirrorX, 1);
    // The photo turned (green, its top right, now on the left); the mask not.
    EXPECT_TRUE(Near(slot.pixel(100, 100), qRgb(0, 255, 0), 40));
    EXPECT_EQ(qAlpha(slot.pixel(300, 100)), 0);
}

TEST(CanvasEditing, EveryEditChangesThePageOnlyWithinTheAreaItReports) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "p.jpg", EncodeImage(QuadrantImage(600, 400), "JPEG"));
    TemplateBody t = MakeTemplate(
        {{100, 100, 350, 300}, {450, 150, 700, 400}, {100, 420, 350, 650}, {800, 600, 820, 616}},
        kGrey);
    t.angle[1] = 10; // turned and sheared, with a border
    t.shear[1] = 20;
    t.borderColor[1] = 0x0000FF;
    t.masks = {QByteArray(), QByteArray(), GreyMaskBmp(64, 64, Disc)};
    // Slot 3 is empty and smaller than its number mark.
    const auto drag = [](QPoint by, bool locked) {
        return [by, locked](CComposeCanvas& c) {
            const QPoint from = Centre(c, c.currentSlot());
            c.SelectAt(from);
            c.DragTo(from + by, locked);
        };
    };
    const struct {
        const char* name;
        int slot;
        std::function<void(CComposeCanvas&)> edit;
    } cases[] = {
        {"nudge left, locked", 0, [](CComposeCanvas& c) { c.NudgeLeft(true); }},
        {"nudge right, locked, turned", 1, [](CComposeCanvas& c) { c.NudgeRight(true); }},
        {"nudge up, turned", 1, [](CComposeCanvas& c) { c.NudgeUp(false); }},
        {"nudge down, small empty slot", 3, [](CComposeCanvas& c) { c.NudgeDown(false); }},
        {"drag, locked, masked", 2, drag({20, -10}, true)},
        {"drag, turned", 1, drag({-30, 40}, false)},
        {"enlarge coarse, turned", 1, [](CComposeCanvas& c) { c.Enlarge(true, false); }},
        {"shrink coarse", 0, [](CComposeCanvas& c) { c.Shrink(true, false); }},
        {"zoom in, masked", 2, [](CComposeCanvas& c) { c.Enlarge(false, true); }},
        {"rotate +90, turned", 1, [](CComposeCanvas& c) { c.Rotate(90); }},
        {"rotate -2", 0, [](CComposeCanvas& c) { c.Rotate(-2); }},
        {"mirror x, turned", 1, [](CComposeCanvas& c) { c.MirrorX(); }},
        {"mirror y, masked", 2, [](CComposeCanvas& c) { c.MirrorY(); }},
        {"reset, turned", 1, [](CComposeCanvas& c) { c.ResetSlot(); }},
        {"remove one of three photos", 2, [](CComposeCanvas& c) { c.RemovePhoto(); }},
    };
    for (const auto& k : cases) {
        Page page(t);
        for (int slot : {0, 1, 2})
            page.Put(slot, photo);
        CComposeCanvas& c = page.canvas;
        c.SetCurrentSlot(k.slot);
        c.RenderComposite();
        const QImage before = c.backBuffer().copy();
        page.reports.clear();

        k.edit(c);

        ASSERT_FALSE(page.reports.isEmpty()) << k.name;
        Rect area = *page.reports.first();
        for (const std::optional<Rect>& r : page.reports) {
            ASSERT_TRUE(r.has_value()) << k.name << ": repaints the whole window";
            area = UnionRect(area, *r);
        }
        int changed = 0, outside = 0;
        QPoint first;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x) {
                if (before.pixel(x, y) == c.backBuffer().pixel(x, y))
                    continue;
                ++changed;
                if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) {
                    if (outside++ == 0)
                        first = QPoint(x, y);
                }
            }
        EXPECT_GT(changed, 0) << k.name;
        EXPECT_EQ(outside, 0) << k.name << ": first at " << first.x() << "," << first.y()
                              << " outside " << area.left << "," << area.top << " - " << area.right
                              << "," << area.bottom;
    }
}
