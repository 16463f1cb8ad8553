#include "slot_geometry.h"

#include <cmath>

namespace {

struct Corners {
    QPoint bottomLeft, bottomRight, topRight, topLeft;
};

// Turns the rectangle about its integer centre; the constants are the ones
// the page renderer uses (pi taken as 3.1416), so the demo art lines up with
// what the studio draws to the pixel.
Corners RotatedCorners(int angle, int left, int top, int right, int bottom) {
    const double hw = (right - left) * 0.5;
    const double hh = (bottom - top) * 0.5;
    const int cx = (left + right) / 2;
    const int cy = (top + bottom) / 2;
    const double radius = std::sqrt(hw * hw + hh * hh);
    const double d0 = std::atan(hw / hh) * 57.29564553093965;
    const double k = 0.017453333333333335;
    const double a1 = (d0 - angle) * k;
    const double a2 = (d0 + angle) * k;
    const int x1 = static_cast<int>(radius * std::sin(a1) + 0.5);
    const int y1 = static_cast<int>(radius * std::cos(a1) + 0.5);
    const int x2 = static_cast<int>(0.5 - radius * std::sin(a2));
    const int y2 = static_cast<int>(radius * std::cos(a2) + 0.5);
    Corners c;
    c.bottomRight = QPoint(cx + x1, cy + y1);
    c.topLeft = QPoint(cx - x1, cy - y1);
    c.bottomLeft = QPoint(cx + x2, cy + y2);
    c.topRight = QPoint(cx - x2, cy - y2);
    return c;
}

} // namespace

QTransform SlotFrame::ToPage() const {
    const double w = width();
    const double h = height();
    return QTransform((topRight.x() - topLeft.x()) / w, (topRight.y() - topLeft.y()) / w,
                      (bottomLeft.x() - topLeft.x()) / h, (bottomLeft.y() - topLeft.y()) / h,
                      topLeft.x(), topLeft.y());
}

SlotFrame PlaceSlot(const SlotDescription& slot, QSize page) {
    const double fx = page.width() * 0.001;
    const float fy = static_cast<float>(page.height() * 0.0013333333333333333);
    const int left = static_cast<int>(fx * slot.left);
    const int right = static_cast<int>(fx * slot.right);
    const int top = static_cast<int>(fy * slot.top);
    const int bottom = static_cast<int>(fy * slot.bottom);

    SlotFrame frame;
    frame.rect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    if (slot.angle == 0) {
        // An upright slot ignores shear.
        frame.topLeft = QPointF(left, top);
        frame.topRight = QPointF(right, top);
        frame.bottomLeft = QPointF(left, bottom);
        return frame;
    }
    Corners c = RotatedCorners(slot.angle, left, top, right, bottom);
    const int sh = bottom - top;
    const int s = slot.shear;
    if (s > -1000 && s < 1000) {
        c.topLeft.ry() -= static_cast<int>(sh * s * 0.01f);
    } else {
        const int horizontal = s > 1000 ? s - 1000 : s + 1000;
        c.topLeft.rx() -= static_cast<int>(sh * horizontal * 0.01f);
    }
    frame.topLeft = c.topLeft;
    frame.topRight = c.topRight;
    frame.bottomLeft = c.bottomLeft;
    return frame;
}
