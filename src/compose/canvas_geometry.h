#pragma once

#include "raster/rect.h"
#include "compose/slot_placement.h"

#include <QPoint>
#include <QSize>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

// Slot coordinates are display pixels. A corrupt template or task file can
// carry any 32-bit value, and scaling such a value overflows an int; slot
// rectangles are therefore kept within this bound, far beyond any screen, so
// widths and centres never overflow.
constexpr int kMaxSlotCoordinate = 1000000;

// A size with area: a chosen product, a decoded image.
inline bool IsPositive(QSize s) {
    return s.width() > 0 && s.height() > 0;
}

// Truncates toward zero, as every conversion of the canvas does, clamped to
// the slot coordinate bound.
inline int TruncToCoordinate(double v) {
    if (!(v > -kMaxSlotCoordinate)) // also catches NaN
        return -kMaxSlotCoordinate;
    if (v > kMaxSlotCoordinate)
        return kMaxSlotCoordinate;
    return static_cast<int>(v);
}

inline bool WithinSlotBounds(const Rect& r) {
    auto in = [](int32_t v) { return v >= -kMaxSlotCoordinate && v <= kMaxSlotCoordinate; };
    return in(r.left) && in(r.top) && in(r.right) && in(r.bottom);
}

// A slot rectangle a photo can be cut for and drawn into.
inline bool IsDrawableSlotRect(const Rect& r) {
    return WithinSlotBounds(r) && r.width() > 0 && r.height() > 0;
}

inline Rect UnionRect(const Rect& a, const Rect& b) {
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// Widens r (right and bottom exclusive) so that it holds the pixel at p. A
// hostile shear can put a corner at the very end of the int range; the edge
// past it then stays at that end instead of wrapping round.
inline void WidenToHold(Rect& r, QPoint p) {
    auto after = [](int v) { return v == std::numeric_limits<int>::max() ? v : v + 1; };
    r.left = std::min(r.left, p.x());
    r.top = std::min(r.top, p.y());
    r.right = std::max(r.right, after(p.x()));
    r.bottom = std::max(r.bottom, after(p.y()));
}

// Scales a slot's rectangle from one display size to another (the page shown
// larger or smaller); its crop, zoom and turn are relative and stay.
inline void ScaleSlotRect(SlotPlacement& p, QSize from, QSize to) {
    if (from.width() <= 0 || from.height() <= 0)
        return;
    auto scale = [](int32_t v, int64_t num, int64_t den) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(v) * num / den,
                                                        std::numeric_limits<int32_t>::min(),
                                                        std::numeric_limits<int32_t>::max()));
    };
    p.left = scale(p.left, to.width(), from.width());
    p.right = scale(p.right, to.width(), from.width());
    p.top = scale(p.top, to.height(), from.height());
    p.bottom = scale(p.bottom, to.height(), from.height());
}
