// Corners of rotated and sheared slots.

#include "compose/slot_drawing.h"

#include "raster/raster_math.h"

#include <QLineF>

#include <cmath>

using raster::TruncToInt;

namespace {
// Degrees and radians converted with pi taken as 3.1416, as page layouts have
// always been drawn; the pair multiplies to 1, so angle 0 gives the
// rectangle's own corners.
constexpr double kRadiansToDegrees = 57.29564553093965;
constexpr double kDegreesToRadians = 0.017453333333333335;
} // namespace

RotatedCorners ComputeRotatedCorners(int angleDegrees, const Rect& rect) {
    const double hw = (double(rect.right) - rect.left) * 0.5;
    const double hh = (double(rect.bottom) - rect.top) * 0.5;
    const int cx = static_cast<int>((int64_t(rect.left) + rect.right) / 2);
    const int cy = static_cast<int>((int64_t(rect.top) + rect.bottom) / 2);

    const double radius = std::sqrt(hw * hw + hh * hh);
    // A rectangle without height would divide by zero; its corner lies on
    // the horizontal axis (or at the centre when it has no width either).
    const double corner = hh != 0.0 ? std::atan(hw / hh) : std::atan2(hw, hh);
    const double d0 = corner * kRadiansToDegrees;
    const double a1 = (d0 - angleDegrees) * kDegreesToRadians;
    const double a2 = (d0 + angleDegrees) * kDegreesToRadians;

    const int x1 = TruncToInt(radius * std::sin(a1) + 0.5);
    const int y1 = TruncToInt(radius * std::cos(a1) + 0.5);
    const int x2 = TruncToInt(0.5 - radius * std::sin(a2));
    const int y2 = TruncToInt(radius * std::cos(a2) + 0.5);

    RotatedCorners c;
    auto at = [cx, cy](int64_t dx, int64_t dy) {
        return QPoint(raster::ClampToInt(cx + dx), raster::ClampToInt(cy + dy));
    };
    c.bottomRight = at(x1, y1);
    c.topLeft = at(-int64_t(x1), -int64_t(y1));
    c.bottomLeft = at(x2, y2);
    c.topRight = at(-int64_t(x2), -int64_t(y2));
    return c;
}

RotatedCorners ShearedCorners(const SlotPlacement& placement, const Rect& r) {
    RotatedCorners c = ComputeRotatedCorners(placement.angle, r);
    if (placement.angle == 0)
        return c; // an upright slot is never sheared
    const int s = placement.shear;
    const int64_t height = int64_t(r.bottom) - r.top;
    // Shear values between -1000 and 1000 lift the top-left corner by that
    // many hundredths of the height; values beyond push it left by the part
    // past 1000 (s - 1000 above 1000, s + 1000 otherwise, so exactly 1000
    // counts as 2000, as stored pages have always been drawn).
    if (s > -1000 && s < 1000) {
        const int a = TruncToInt(float(height * s) * 0.01f);
        c.topLeft.setY(raster::ClampToInt(int64_t(c.topLeft.y()) - a));
    } else {
        const int64_t s2 = s > 1000 ? int64_t(s) - 1000 : int64_t(s) + 1000;
        const int a = TruncToInt(float(height * s2) * 0.01f);
        c.topLeft.setX(raster::ClampToInt(int64_t(c.topLeft.x()) - a));
    }
    return c;
}

QSize CornerSides(const RotatedCorners& c) {
    return QSize(raster::RoundToInt(QLineF(c.topLeft, c.topRight).length()),
                 raster::RoundToInt(QLineF(c.topLeft, c.bottomLeft).length()));
}
