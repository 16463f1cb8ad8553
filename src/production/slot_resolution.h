#pragma once

#include "compose/slot_placement.h"

#include <QList>
#include <QSize>
#include <optional>

class CComposeCanvas;

// Where a page's slots land when it is printed: the page's output size in
// pixels, the size of the template's background (it decides how slot
// rectangles are scaled), the canvas client size the slots were measured on,
// and the resolution setting.
struct PrintFrame {
    QSize page;
    QSize background;
    QSize canvas;
    int dpi = 254;
};

// The effective resolution of a slot in pixels per inch: the pixels of the
// photo the slot shows (its crop in the photo at full resolution, upright)
// divided by the inches the slot's rectangle covers on the printed page,
// taken along the side that has fewer. Rotation turns the slot but does not
// change its inches. Nothing for a slot that prints nothing of the photo.
std::optional<double> EffectiveResolution(QSize photo, const SlotPlacement& placement,
                                          const PrintFrame& frame);

struct SlotResolution {
    int slot = 0;
    double ppi = 0;
};

// The effective resolution of every slot holding a photo on the canvas, for
// the page it would be saved as: the chosen product's size, else the
// template's own.
QList<SlotResolution> CanvasSlotResolutions(const CComposeCanvas& canvas, int dpi);
