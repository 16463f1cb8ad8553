#pragma once

#include "raster/rect.h"

#include <QSize>

// Where a page's slots land on the full-size page. Slot rectangles are kept
// in pixels of the canvas the page was composed on (its display area), so
// they are scaled up to the page's W x H here.
struct BatchGeometry {
    // The background image measures exactly W x H: slots are scaled by the
    // display scale rho and moved by the cover offsets. Otherwise by the
    // fitted scale (sx, sy) and crop and draw rectangle are the same.
    bool exactBackground = false;
    int x0 = 0, y0 = 0;
    float rho = 0;
    float sx = 0, sy = 0;
};

// page: W x H; background: the decoded background image's size; canvas: the
// client size of the canvas the slot rectangles were measured on.
BatchGeometry ComputeBatchGeometry(QSize page, QSize background, QSize canvas);

struct SlotMapping {
    Rect crop; // gives the photo crop its proportions
    Rect draw; // page pixels
};
SlotMapping MapSlot(const BatchGeometry& geometry, const Rect& slot);
