#include "production/batch_geometry.h"
#include "production/progress_schedule.h"

#include <gtest/gtest.h>

namespace {

TEST(BatchGeometryTest, CoverOffsetsAndDisplayScaleFollowTheProportions) {
    // Page squarer than a 4:3 background: offsets across, rho = H / ch.
    BatchGeometry g = ComputeBatchGeometry({1000, 1000}, {400, 300}, {1000, 750});
    EXPECT_EQ(g.x0, -166); // -trunc((1000 / 0.75 - 1000) * 0.5)
    EXPECT_EQ(g.y0, 0);
    EXPECT_FLOAT_EQ(g.rho, 1000.0f / 750);
    // Background wider than 4:3: rho = H / (cw * rhoI).
    g = ComputeBatchGeometry({1000, 1000}, {400, 200}, {1000, 750});
    EXPECT_EQ(g.x0, -500);
    EXPECT_FLOAT_EQ(g.rho, 2.0f);
    // Page wider than a square background: offsets down, rho = W / (ch / rhoI).
    g = ComputeBatchGeometry({1000, 500}, {300, 300}, {1000, 750});
    EXPECT_EQ(g.x0, 0);
    EXPECT_EQ(g.y0, -250);
    EXPECT_FLOAT_EQ(g.rho, 1000.0f / 750);
    // Neither: rho = W / cw.
    g = ComputeBatchGeometry({3000, 2000}, {3000, 2000}, {1000, 750});
    EXPECT_EQ(g.x0, 0);
    EXPECT_EQ(g.y0, 0);
    EXPECT_FLOAT_EQ(g.rho, 3.0f);
}

TEST(BatchGeometryTest, ExactBackgroundMapsByRhoOtherwiseByTheFittedArea) {
    const Rect slot{10, 20, 500, 600};
    const BatchGeometry exact = ComputeBatchGeometry({3000, 2000}, {3000, 2000}, {1000, 750});
    ASSERT_TRUE(exact.exactBackground);
    SlotMapping m = MapSlot(exact, slot);
    EXPECT_EQ(m.draw, (Rect{30, 60, 1500, 1800}));
    EXPECT_EQ(m.crop, slot); // the crop keeps the canvas rectangle

    // The fitted area of a 3:2 page in 1000 x 750 is 1000 x 668.
    const BatchGeometry fitted = ComputeBatchGeometry({3000, 2000}, {300, 200}, {1000, 750});
    ASSERT_FALSE(fitted.exactBackground);
    EXPECT_FLOAT_EQ(fitted.sx, 3.0f);
    EXPECT_FLOAT_EQ(fitted.sy, 2000.0f / 668);
    m = MapSlot(fitted, slot);
    EXPECT_EQ(m.draw, (Rect{30, 59, 1500, 1796}));
    EXPECT_EQ(m.crop, m.draw);
}

TEST(BatchGeometryTest, NothingToScaleByGivesEmptyRectanglesNotADivisionByZero) {
    const BatchGeometry g = ComputeBatchGeometry({3000, 2000}, {300, 200}, {0, 0});
    const SlotMapping m = MapSlot(g, Rect{10, 10, 100, 100});
    EXPECT_EQ(m.draw.width(), 0);
    EXPECT_EQ(m.draw.height(), 0);
}

TEST(BatchGeometryTest, SlotEdgesBeyondAnyPageAreClampedNotOverflowed) {
    // A damaged "1.tx" can hold any 32-bit edge; scaled up it leaves the int range.
    const BatchGeometry exact = ComputeBatchGeometry({1000, 1000}, {1000, 1000}, {400, 300});
    const BatchGeometry fitted = ComputeBatchGeometry({3000, 2000}, {300, 200}, {1000, 750});
    for (const BatchGeometry& g : {exact, fitted}) {
        const SlotMapping m = MapSlot(g, Rect{-180, -180, 1000000000, 1000000000});
        EXPECT_LT(m.draw.left, 0);
        EXPECT_GT(m.draw.width(), 0);
        EXPECT_GT(m.draw.height(), 0);
        EXPECT_GT(m.crop.right, m.crop.left);
    }
}

TEST(ProgressScheduleTest, ValuesOfTheSecondOfThreePages) {
    using namespace progress_schedule;
    // step 33, i = 1
    EXPECT_EQ(At(1, 33, 0.05), 34);
    EXPECT_EQ(At(1, 33, 0.15), 37);
    EXPECT_EQ(At(1, 33, 0.42), 46);
    EXPECT_EQ(At(1, 33, 0.98), 65);
    // R = 2: photos advance by trunc(3.3 / 2) = 1, slots by trunc(13.2 / 2) = 6.
    EXPECT_EQ(AfterPhoto(1, 33, 3, 2), 37); // trunc(34.65 + 3)
    EXPECT_EQ(AfterSlot(1, 33, 2, 2), 58);  // trunc(46.86 + 12)
    // No rectangles: no advance at all.
    EXPECT_EQ(AfterPhoto(1, 33, 5, 0), 34);
    EXPECT_EQ(AfterSlot(1, 33, 5, 0), 46);
}

} // namespace
