// Inputs the fuzz targets found, replayed: each once broke the canvas.

#include "common/atomic_file.h"
#include "compose/compose_canvas.h"
#include "compose/slot_drawing.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray FindingInput(const char* name) {
    QByteArray bytes;
    ReadWholeFile(QStringLiteral(TAOBAN_SOURCE_DIR "/tests/compose/data/") + name, bytes);
    return bytes;
}

// The area r must repaint holds the pixel at p, or reaches the end of the int
// range where p lies there.
void ExpectHolds(const Rect& r, QPoint p) {
    EXPECT_LE(r.left, p.x());
    EXPECT_LE(r.top, p.y());
    EXPECT_TRUE(p.x() < r.right || r.right == INT_MAX) << p.x() << " " << r.right;
    EXPECT_TRUE(p.y() < r.bottom || r.bottom == INT_MAX) << p.y() << " " << r.bottom;
}

// The fuzz target's steps: the body applied to a 200 x 150 canvas, a photo
// in every slot, the first slot turned by 90 degrees.
bool ReplayWithPhotos(CComposeCanvas& canvas, const QByteArray& body) {
    canvas.SetClientSize(QSize(200, 150));
    if (!canvas.ApplyTemplateBody(body, true, true))
        return false;
    QImage photo(24, 16, QImage::Format_RGB32);
    photo.fill(0xFF3080C0);
    for (int slot = 0; slot < canvas.slotCount(); ++slot)
        canvas.LoadSlotPhoto(EncodeImageBytes(photo, "jpeg", 90), true, slot);
    canvas.SetCurrentSlot(0);
    canvas.Rotate(90);
    return true;
}

} // namespace

// A turned slot whose shear puts the corner it is drawn from at the end of
// the int range: its repaint area once wrapped round past that end.
TEST(CanvasFuzzFindings, ShearToTheEndOfTheIntRangeKeepsTheRepaintArea) {
    const QByteArray body = FindingInput("shear_at_int_end.temp");
    ASSERT_FALSE(body.isEmpty());
    CComposeCanvas canvas;
    canvas.SetClientSize(QSize(200, 150));
    ASSERT_TRUE(canvas.ApplyTemplateBody(body, true, true));
    canvas.SetCurrentSlot(0);
    canvas.Rotate(90);
    const SlotPlacement& p = canvas.placement(0);
    const Rect slot{p.left, p.top, p.right, p.bottom};
    const RotatedCorners c = ShearedCorners(p, slot);
    const Rect bounds = canvas.SlotBounds(slot);
    ExpectHolds(bounds, c.topLeft);
    ExpectHolds(bounds, c.topRight);
    ExpectHolds(bounds, c.bottomLeft);
    // The fourth corner of the parallelogram lies past the end of the range.
    const int64_t fourthX = int64_t(c.topRight.x()) + c.bottomLeft.x() - c.topLeft.x();
    ASSERT_GT(fourthX, int64_t(INT_MAX)) << "the input no longer reaches past the range";
    EXPECT_EQ(bounds.right, INT_MAX);
}

// A turned slot whose sides are longer than the int range: drawing it once
// rounded those lengths into an int.
TEST(CanvasFuzzFindings, TurnedSlotLongerThanTheIntRangeIsDrawn) {
    const QByteArray body = FindingInput("turned_slot_beyond_int.temp");
    ASSERT_FALSE(body.isEmpty());
    CComposeCanvas canvas;
    ASSERT_TRUE(ReplayWithPhotos(canvas, body));
    const SlotPlacement& p = canvas.placement(0);
    const QSize sides = CornerSides(ShearedCorners(p, Rect{p.left, p.top, p.right, p.bottom}));
    EXPECT_GE(sides.width(), 0);
    EXPECT_GE(sides.height(), 0);
    EXPECT_TRUE(sides.width() == INT_MAX || sides.height() == INT_MAX)
        << "the input no longer reaches past the range";
    EXPECT_FALSE(canvas.backBuffer().isNull());
}

// A turned slot whose corners lie further apart than the int range reaches:
// the mapping onto them once took their differences in int.
TEST(CanvasFuzzFindings, TurnedSlotWithCornersFarApartIsDrawn) {
    const QByteArray body = FindingInput("turned_slot_corners_apart.temp");
    ASSERT_FALSE(body.isEmpty());
    CComposeCanvas canvas;
    ASSERT_TRUE(ReplayWithPhotos(canvas, body));
    const SlotPlacement& p = canvas.placement(0);
    const RotatedCorners c = ShearedCorners(p, Rect{p.left, p.top, p.right, p.bottom});
    auto apart = [](int a, int b) { return std::abs(int64_t(a) - b) > int64_t(INT_MAX); };
    EXPECT_TRUE(apart(c.topRight.x(), c.topLeft.x()) || apart(c.topRight.y(), c.topLeft.y()) ||
                apart(c.bottomLeft.x(), c.topLeft.x()) || apart(c.bottomLeft.y(), c.topLeft.y()))
        << "the input no longer puts the corners that far apart";
    EXPECT_FALSE(canvas.backBuffer().isNull());
}
