// Drawing slot images onto a page: opacity, parallelograms, mirrors, and the
// per-slot steps the canvas and the batch worker share.

#include "compose/slot_drawing.h"

#include <QPainter>
#include <QTransform>

namespace {

// Opacity of a slot: (255 - t) / 255 with 1/255 as the double constant the
// pages have always used, kept in single precision.
float OpacityFor(int transparency) {
    return static_cast<float>((255 - transparency) * 0.00392156862745098);
}

// Runs draw() with the painter's opacity scaled for the transparency; plain
// drawing when the transparency is 0, nothing at all when it is 255 or more.
template <typename Draw> void WithOpacity(QPainter& painter, int transparency, Draw draw) {
    if (transparency <= 0) {
        draw();
        return;
    }
    if (transparency >= 255)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * OpacityFor(transparency));
    draw();
    painter.restore();
}

// Shrinks an image to the size it will cover before it is drawn. Qt's
// painter samples only a few source pixels per target pixel, so a
// full-resolution crop drawn into a much smaller slot would shimmer with
// moire; the smooth scale averages every source pixel instead.
QImage ReducedFor(const QImage& image, QSize target) {
    target = target.expandedTo(QSize(1, 1));
    if (image.width() <= target.width() && image.height() <= target.height())
        return image;
    return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Maps a w x h rectangle at the origin onto the parallelogram of three
// corners: its top edge to topLeft..topRight, its left edge to
// topLeft..bottomLeft. The edges are taken in floating point: corners of a
// damaged page lie anywhere in the int range, and their differences need not
// fit in an int.
QTransform SlotToCorners(qreal w, qreal h, QPoint topLeft, QPoint topRight, QPoint bottomLeft) {
    const QPointF origin(topLeft), top(topRight), left(bottomLeft);
    return QTransform((top.x() - origin.x()) / w, (top.y() - origin.y()) / w,
                      (left.x() - origin.x()) / h, (left.y() - origin.y()) / h, origin.x(),
                      origin.y());
}

} // namespace

void DrawWithOpacity(QPainter& painter, const QImage& image, const Rect& dest, int transparency) {
    if (image.isNull() || dest.width() <= 0 || dest.height() <= 0)
        return;
    const QRect target(dest.left, dest.top, dest.width(), dest.height());
    WithOpacity(painter, transparency, [&] { painter.drawImage(target, image); });
}

void DrawWithOpacity(QPainter& painter, const QImage& image, QPoint topLeft, QPoint topRight,
                     QPoint bottomLeft, int transparency) {
    if (image.isNull())
        return;
    // The whole image rectangle goes onto the parallelogram: its top edge to
    // topLeft..topRight, its left edge to topLeft..bottomLeft.
    const QTransform toCorners =
        SlotToCorners(image.width(), image.height(), topLeft, topRight, bottomLeft);
    if (!toCorners.isInvertible())
        return; // corners on one line: nothing to see
    WithOpacity(painter, transparency, [&] {
        painter.save();
        painter.setTransform(toCorners, true);
        painter.drawImage(QPointF(0, 0), image);
        painter.restore();
    });
}

void Mirror(QImage& image, MirrorAxis axis) {
    if (image.isNull())
        return;
    if (axis == MirrorAxis::LeftRight)
        image.mirror(true, false);
    else
        image.mirror(false, true);
}

void DrawPlacedSlot(QPainter& painter, const QImage& slotImage, const SlotPlacement& placement,
                    const Rect& r, QSize reference) {
    if (slotImage.isNull() || r.width() <= 0 || r.height() <= 0)
        return;
    const int t = placement.transparency;
    if (t >= 255)
        return; // fully transparent: nothing would show
    // The frame is painted straight onto the page through the slot's own
    // mapping rather than as a slot-sized bitmap, which for a big page slot
    // would cost as much memory as the photo itself.
    const auto frame = [&] {
        if (placement.borderColor != 0)
            PaintSlotFrame(painter, r.width(), r.height(),
                           SlotBorderThickness(reference.width(), reference.height()),
                           placement.borderColor);
    };

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (placement.angle != 0) {
        painter.setRenderHint(QPainter::Antialiasing);
        const RotatedCorners c = ShearedCorners(placement, r);
        DrawWithOpacity(painter, ReducedFor(slotImage, CornerSides(c)), c.topLeft, c.topRight,
                        c.bottomLeft, t);
        const QTransform toCorners =
            SlotToCorners(r.width(), r.height(), c.topLeft, c.topRight, c.bottomLeft);
        if (toCorners.isInvertible()) {
            painter.setTransform(toCorners, true);
            WithOpacity(painter, t, frame);
        }
    } else {
        DrawWithOpacity(painter, ReducedFor(slotImage, QSize(r.width(), r.height())), r, t);
        painter.translate(r.left, r.top);
        WithOpacity(painter, t, frame);
    }
    painter.restore();
}
