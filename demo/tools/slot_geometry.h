#pragma once

#include "page_description.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QTransform>

// Where a slot lands on a page drawn at a given pixel size, worked out the
// way the canvas and the batch worker place it: the grid rectangle scaled to
// the page, turned about its centre by the angle, and for a turned slot the
// top-left corner moved by the shear.
struct SlotFrame {
    QRect rect; // upright rectangle in page pixels (right/bottom exclusive)
    QPointF topLeft, topRight, bottomLeft;

    int width() const { return rect.width(); }
    int height() const { return rect.height(); }
    // Maps the slot's own coordinates (0, 0)-(width, height) onto the page.
    QTransform ToPage() const;
};

SlotFrame PlaceSlot(const SlotDescription& slot, QSize page);
