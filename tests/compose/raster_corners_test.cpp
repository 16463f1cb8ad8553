// Corners of rotated and sheared slots.

#include "compose/slot_drawing.h"

#include <QLineF>
#include <cmath>
#include <gtest/gtest.h>

namespace {
Rect R(int left, int top, int right, int bottom) {
    return Rect{left, top, right, bottom};
}

// Corners are rounded by adding 0.5 and truncating toward zero, which for
// negative offsets from the centre lands up to one more pixel away; angle 0
// keeps every corner within one pixel.
::testing::AssertionResult WithinPixels(QPoint got, QPointF want, double tolerance) {
    if (std::abs(got.x() - want.x()) <= tolerance && std::abs(got.y() - want.y()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << got.x() << "," << got.y() << ") vs (" << want.x() << "," << want.y() << ")";
}
::testing::AssertionResult Within1(QPoint got, QPointF want) {
    return WithinPixels(got, want, 1.0 + 1e-9);
}
::testing::AssertionResult Within1AndAHalf(QPoint got, QPointF want) {
    return WithinPixels(got, want, 1.5);
}

// The exact clockwise turn of a point about a centre (y grows downward).
QPointF Turned(QPointF p, QPointF centre, double degrees) {
    const double a = degrees * M_PI / 180.0;
    const QPointF d = p - centre;
    return centre + QPointF(d.x() * std::cos(a) - d.y() * std::sin(a),
                            d.x() * std::sin(a) + d.y() * std::cos(a));
}

SlotPlacement Placed(int angle, int shear) {
    SlotPlacement p = SlotPlacement::Zero();
    p.angle = angle;
    p.shear = shear;
    return p;
}
} // namespace

TEST(RotatedCorners, AngleZeroGivesTheRectangle) {
    for (Rect r : {R(10, 20, 110, 70), R(0, 0, 101, 51), R(-30, 5, 17, 9)}) {
        const RotatedCorners c = ComputeRotatedCorners(0, r);
        EXPECT_TRUE(Within1(c.topLeft, QPointF(r.left, r.top)));
        EXPECT_TRUE(Within1(c.topRight, QPointF(r.right, r.top)));
        EXPECT_TRUE(Within1(c.bottomLeft, QPointF(r.left, r.bottom)));
        EXPECT_TRUE(Within1(c.bottomRight, QPointF(r.right, r.bottom)));
    }
    const RotatedCorners even = ComputeRotatedCorners(0, R(10, 20, 110, 70));
    EXPECT_EQ(even.topLeft, QPoint(10, 20));
    EXPECT_EQ(even.bottomRight, QPoint(110, 70));
}

TEST(RotatedCorners, QuarterTurnStandsTheSlotOnEnd) {
    const Rect r = R(0, 0, 100, 50);
    const RotatedCorners c = ComputeRotatedCorners(90, r);
    // Turned clockwise about (50, 25): the top edge becomes the right edge.
    EXPECT_TRUE(Within1(c.topLeft, QPointF(75, -25)));
    EXPECT_TRUE(Within1(c.topRight, QPointF(75, 75)));
    EXPECT_TRUE(Within1(c.bottomLeft, QPointF(25, -25)));
    EXPECT_TRUE(Within1(c.bottomRight, QPointF(25, 75)));
    EXPECT_NEAR(QLineF(c.topLeft, c.topRight).length(), 100, 2);
    EXPECT_NEAR(QLineF(c.topLeft, c.bottomLeft).length(), 50, 2);
    EXPECT_NEAR(QLineF(c.bottomLeft, c.bottomRight).length(), 100, 2);
    const QPointF centre = QPointF(c.topLeft + c.bottomRight) / 2;
    EXPECT_NEAR(centre.x(), 50, 1);
    EXPECT_NEAR(centre.y(), 25, 1);
}

TEST(RotatedCorners, AnyAngleMatchesAnExactTurn) {
    const Rect r = R(100, 200, 340, 380);
    const QPointF centre(220, 290);
    for (int angle : {-170, -45, -7, 3, 30, 60, 135, 180, 359}) {
        const RotatedCorners c = ComputeRotatedCorners(angle, r);
        EXPECT_TRUE(Within1AndAHalf(c.topLeft, Turned({100, 200}, centre, angle))) << angle;
        EXPECT_TRUE(Within1AndAHalf(c.topRight, Turned({340, 200}, centre, angle))) << angle;
        EXPECT_TRUE(Within1AndAHalf(c.bottomLeft, Turned({100, 380}, centre, angle))) << angle;
        EXPECT_TRUE(Within1AndAHalf(c.bottomRight, Turned({340, 380}, centre, angle))) << angle;
    }
}

TEST(RotatedCorners, RectangleWithoutAreaStaysFinite) {
    const RotatedCorners point = ComputeRotatedCorners(30, R(5, 5, 5, 5));
    EXPECT_EQ(point.topLeft, QPoint(5, 5));
    EXPECT_EQ(point.bottomRight, QPoint(5, 5));
    const RotatedCorners line = ComputeRotatedCorners(0, R(0, 10, 40, 10));
    EXPECT_TRUE(Within1(line.topLeft, QPointF(0, 10)));
    EXPECT_TRUE(Within1(line.bottomRight, QPointF(40, 10)));
}

TEST(Shear, UprightSlotIgnoresShear) {
    const Rect r = R(10, 10, 210, 110);
    const RotatedCorners plain = ComputeRotatedCorners(0, r);
    const RotatedCorners sheared = ShearedCorners(Placed(0, 30), r);
    EXPECT_EQ(sheared.topLeft, plain.topLeft);
    EXPECT_EQ(sheared.topRight, plain.topRight);
    EXPECT_EQ(sheared.bottomLeft, plain.bottomLeft);
}

TEST(Shear, SmallShearLiftsTheTopLeftCorner) {
    const Rect r = R(0, 0, 200, 100);
    const RotatedCorners turned = ComputeRotatedCorners(5, r);
    const RotatedCorners c = ShearedCorners(Placed(5, 30), r);
    // trunc(100 * 30 * 0.01f) in single precision is 30 (29 in double).
    EXPECT_EQ(c.topLeft, turned.topLeft - QPoint(0, 30));
    EXPECT_EQ(c.topRight, turned.topRight);
    EXPECT_EQ(c.bottomLeft, turned.bottomLeft);
    EXPECT_EQ(c.bottomRight, turned.bottomRight);

    const RotatedCorners down = ShearedCorners(Placed(5, -999), R(0, 0, 200, 77));
    EXPECT_EQ(down.topLeft,
              ComputeRotatedCorners(5, R(0, 0, 200, 77)).topLeft + QPoint(0, 769)); // 769.23
}

TEST(Shear, LargeShearPushesTheTopLeftCornerSideways) {
    const Rect r = R(0, 0, 200, 100);
    const QPoint tl = ComputeRotatedCorners(5, r).topLeft;
    EXPECT_EQ(ShearedCorners(Placed(5, 1005), r).topLeft, tl - QPoint(5, 0));  // left
    EXPECT_EQ(ShearedCorners(Placed(5, -1005), r).topLeft, tl + QPoint(5, 0)); // right
    EXPECT_EQ(ShearedCorners(Placed(5, 1000), r).topLeft, tl - QPoint(2000, 0));
    EXPECT_EQ(ShearedCorners(Placed(5, -1000), r).topLeft, tl);
    EXPECT_EQ(ShearedCorners(Placed(5, 1030), R(0, 0, 200, 77)).topLeft,
              ComputeRotatedCorners(5, R(0, 0, 200, 77)).topLeft - QPoint(23, 0)); // 23.1
    // A damaged record's extreme value neither overflows nor crashes.
    const RotatedCorners extreme = ShearedCorners(Placed(5, 2147483647), r);
    EXPECT_LT(extreme.topLeft.x(), tl.x());
}
