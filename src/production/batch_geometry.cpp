#include "production/batch_geometry.h"

#include "raster/raster.h"

namespace {
// Page coordinates never come near this bound (a page has at most 250
// megapixels), yet a slot rectangle or a background read from a damaged file
// can scale to any float. Clamping before the conversion keeps it defined,
// and keeps sums of two coordinates (an offset added, a width taken) inside
// the int range.
constexpr float kMaxPageCoordinate = 1 << 28;

int Trunc(float v) {
    if (!(v > -kMaxPageCoordinate)) // also catches NaN
        return -static_cast<int>(kMaxPageCoordinate);
    if (v > kMaxPageCoordinate)
        return static_cast<int>(kMaxPageCoordinate);
    return static_cast<int>(v);
}
} // namespace

BatchGeometry ComputeBatchGeometry(QSize page, QSize background, QSize canvas) {
    BatchGeometry g;
    const int W = page.width(), H = page.height();
    const int cw = canvas.width(), ch = canvas.height();
    g.exactBackground = background == page;

    // A missing or empty background or canvas gives no scale at all: every
    // slot then maps to an empty rectangle and is not drawn.
    if (W <= 0 || H <= 0 || cw <= 0 || ch <= 0 || background.width() <= 0 ||
        background.height() <= 0)
        return g;

    const float ri = static_cast<float>(background.height()) / background.width();
    const float rp = static_cast<float>(H) / W;
    if (rp > ri) {
        g.x0 = -Trunc((H / ri - W) * 0.5f);
        g.y0 = 0;
    } else {
        g.x0 = 0;
        g.y0 = -Trunc((W * ri - H) * 0.5f);
    }
    // The composition area is three quarters as high as it is wide.
    if (g.x0 < 0)
        g.rho = ri < 0.75f ? H / (cw * ri) : static_cast<float>(H) / ch;
    else
        g.rho = ri > 0.75f ? W / (ch / ri) : static_cast<float>(W) / cw;

    Rect fitted{0, 0, cw, ch};
    FitInside(W, H, fitted);
    if (fitted.width() > 0 && fitted.height() > 0) {
        g.sx = static_cast<float>(W) / fitted.width();
        g.sy = static_cast<float>(H) / fitted.height();
    }
    return g;
}

SlotMapping MapSlot(const BatchGeometry& g, const Rect& s) {
    SlotMapping m;
    if (g.exactBackground) {
        m.crop = s;
        m.draw = Rect{Trunc(s.left * g.rho) + g.x0, Trunc(s.top * g.rho) + g.y0,
                      Trunc(s.right * g.rho) + g.x0, Trunc(s.bottom * g.rho) + g.y0};
    } else {
        m.draw = Rect{Trunc(s.left * g.sx), Trunc(s.top * g.sy), Trunc(s.right * g.sx),
                      Trunc(s.bottom * g.sy)};
        m.crop = m.draw;
    }
    return m;
}
