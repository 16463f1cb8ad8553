// Fitting a photo to a slot's proportions and cutting the part that fills it.

#include "raster/raster.h"

#include "raster/large_image.h"
#include "raster/raster_math.h"

#include <QPainter>

using raster::ClampToInt;
using raster::kThirtieth;
using raster::TruncToInt;

QSize CoverCropSize(const Rect& slot, int sw, int sh) {
    if (sw == 0 || sh == 0)
        return QSize(sw, sh);
    // A slot without area has no proportions; nothing of the photo fits it.
    if (slot.width() <= 0 || slot.height() <= 0 || sw < 0 || sh < 0)
        return QSize(0, 0);
    const double r = double(slot.width()) / double(slot.height());
    if (r >= double(sw) / double(sh))
        return QSize(sw, sh - TruncToInt(sh - sw / r));
    return QSize(sw - TruncToInt(sw - r * sh), sh);
}

int FitInside(int a, int b, Rect& rect) {
    if (a == 0 || b == 0)
        return 0;
    const int W = rect.width(), H = rect.height();
    // An empty or inverted rectangle has no proportions to compare with.
    if (W <= 0 || H <= 0)
        return 0;
    const double g = double(a) / double(b);
    if (double(W) / double(H) >= g) {
        const int inset = TruncToInt((W - g * H) * 0.5);
        rect.left += inset;
        rect.right -= inset;
        return inset;
    }
    const int inset = TruncToInt((H - W / g) * 0.5);
    rect.top += inset;
    rect.bottom -= inset;
    return inset;
}

namespace {

// Pulls a pixel offset back so the crop window stays inside the source, and
// rewrites the stored offset (thirtieths of the crop size) to match.
void KeepOffsetInside(int64_t& px, int64_t lead, int64_t inset, int cropSide, int& offset) {
    const int64_t m = inset + lead;
    if (px + lead + inset < 0) {
        px = -m;
        offset = TruncToInt(float(-m) / float(cropSide) * 30.0f);
    } else if (m - px < 0) {
        px = m;
        offset = TruncToInt(float(m) / float(cropSide) * 30.0f);
    }
}

// The part of the source that fills the slot (from) and the crop size it
// stands for; from is smaller than the crop when zoomed in.
struct CropWindow {
    QRect from;
    QSize crop;
};

bool FindWindow(QSize src, const Rect& slot, int& zoom, int& offsetX, int& offsetY,
                CropWindow& window) {
    if (src.isEmpty())
        return false;
    const int sw = src.width(), sh = src.height();
    const QSize crop = CoverCropSize(slot, sw, sh);
    const int cw = crop.width(), ch = crop.height();
    if (cw <= 0 || ch <= 0)
        return false;

    int64_t ix = TruncToInt(float(zoom) * kThirtieth * float(cw));
    int64_t iy = TruncToInt(float(zoom) * kThirtieth * float(ch));
    // A zoom that leaves no pixels, or a negative one that would reach past
    // the photo's edges, shows the whole crop.
    if (zoom < 0 || 2 * ix >= cw || 2 * iy >= ch) {
        zoom = 0;
        ix = iy = 0;
    }

    int64_t px = TruncToInt(float(cw) * (float(offsetX) * kThirtieth));
    int64_t py = TruncToInt(float(ch) * (float(offsetY) * kThirtieth));
    const int64_t lx = (sw - cw) / 2, ly = (sh - ch) / 2;
    KeepOffsetInside(px, lx, ix, cw, offsetX);
    KeepOffsetInside(py, ly, iy, ch, offsetY);

    window.from = QRect(ClampToInt(px + lx + ix), ClampToInt(py + ly + iy), ClampToInt(cw - 2 * ix),
                        ClampToInt(ch - 2 * iy));
    window.crop = crop;
    return true;
}

QImage Premultiplied(QImage image) {
    if (image.isNull() || image.format() == QImage::Format_ARGB32_Premultiplied)
        return image;
    return std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The window's pixels in place, without copying them (32-bit sources).
QImage ViewOf(const QImage& src, const QRect& r) {
    if (src.depth() != 32)
        return src.copy(r);
    const uchar* first = src.constBits() + qsizetype(r.y()) * src.bytesPerLine() + r.x() * 4;
    return QImage(first, r.width(), r.height(), src.bytesPerLine(), src.format());
}

// Cuts the window out of the source at the given size.
QImage CutWindow(const QImage& src, const QRect& from, QSize size) {
    if (size == from.size())
        return Premultiplied(src.copy(from));
    if (size.width() < from.width() || size.height() < from.height()) {
        // Shrinking averages every source pixel (no moire from fine detail;
        // bilinear samples would give sharp edges a stair of their own).
        return Premultiplied(
            ViewOf(src, from).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    // Zoomed in: the smaller window is enlarged. Drawing it straight from the
    // source spares a copy of a window of a full-size photo.
    QImage out = NewLargeImage(size, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return {};
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), src, from);
    return out;
}

} // namespace

QImage CropToSlot(const QImage& src, const Rect& slot, int& zoom, int& offsetX, int& offsetY) {
    CropWindow window;
    if (!FindWindow(src.size(), slot, zoom, offsetX, offsetY, window))
        return {};
    return CutWindow(src, window.from, window.crop);
}

QSize CropWindowSize(QSize source, const Rect& slot, int zoom, int offsetX, int offsetY) {
    return CropWindowRect(source, slot, zoom, offsetX, offsetY).size();
}

QRect CropWindowRect(QSize source, const Rect& slot, int zoom, int offsetX, int offsetY) {
    CropWindow window;
    if (!FindWindow(source, slot, zoom, offsetX, offsetY, window))
        return {};
    return window.from;
}

QImage CropToSlotByValue(const QImage& src, const Rect& slot, int zoom, int offsetX, int offsetY) {
    return CropToSlot(src, slot, zoom, offsetX, offsetY);
}

QImage CropToSlotForDrawing(const QImage& src, const Rect& slot, int zoom, int offsetX, int offsetY,
                            QSize drawSize) {
    return CropToSlotForDrawing(src, QPoint(0, 0), src.size(), slot, zoom, offsetX, offsetY,
                                drawSize);
}

QImage CropToSlotForDrawing(const QImage& part, QPoint origin, QSize sourceSize, const Rect& slot,
                            int zoom, int offsetX, int offsetY, QSize drawSize) {
    CropWindow window;
    if (!FindWindow(sourceSize, slot, zoom, offsetX, offsetY, window))
        return {};
    const QRect from = window.from.translated(-origin);
    if (!QRect(QPoint(0, 0), part.size()).contains(from))
        return {};
    QSize size = window.crop;
    if (drawSize.width() > 0 && drawSize.height() > 0)
        size = size.boundedTo(drawSize);
    return CutWindow(part, from, size);
}
