#pragma once

// Drawing a slot onto a page: its mask, border, turn and shear, mirroring and
// transparency. The canvas and the batch worker draw every slot with these.

#include "compose/slot_placement.h"
#include "raster/raster.h"

#include <QImage>
#include <QPoint>
#include <cstdint>

class QPainter;

// The mask (a complete 8-bit BMP file) becomes the image's alpha channel,
// resampled smoothly (bilinear when enlarged, area average when reduced,
// unchanged at the same size), with a one-pixel transparent ring.
// An ARGB32 image keeps its format and colour bytes; any other comes out
// ARGB32_Premultiplied, its colour premultiplied by the new alpha (the same
// picture). A mask whose rows run past its bytes changes nothing.
void ApplySlotMask(QImage& image, const QByteArray& maskBmp);
// A w x h frame of colorRef (0x00BBGGRR) on a transparent ground,
// max(refW, refH) / 600 pixels thick (at least 1).
QImage MakeSlotBorder(int w, int h, int refW, int refH, uint32_t colorRef);
int SlotBorderThickness(int refW, int refH);
// Paints the frame of a w x h slot at the painter's origin.
void PaintSlotFrame(QPainter& painter, int w, int h, int thickness, uint32_t colorRef);

struct RotatedCorners {
    QPoint bottomLeft, bottomRight, topRight, topLeft;
};
RotatedCorners ComputeRotatedCorners(int angleDegrees, const Rect& rect);

// Draws image into dest (whole source) with alpha scaled by (255 - t) / 255:
// plainly for t = 0, not at all for t >= 255. Interpolation is the painter's.
void DrawWithOpacity(QPainter& painter, const QImage& image, const Rect& dest, int transparency);
// Draws image onto the parallelogram given by three corners.
void DrawWithOpacity(QPainter& painter, const QImage& image, QPoint topLeft, QPoint topRight,
                     QPoint bottomLeft, int transparency);

enum class MirrorAxis { LeftRight, TopBottom };
void Mirror(QImage& image, MirrorAxis axis);

// Draws a prepared slot image (cropped, mirrored, masked) into slot rectangle
// r the way every page shows it: border of the placement's colour (its
// thickness from reference, the page or display size), rotation with shear
// on three corners, transparency. The canvas and the batch worker both use it.
// Smooth interpolation; an image larger than where it goes is first averaged
// down to that size (no moire from full-resolution crops). No number marks.
void DrawPlacedSlot(QPainter& painter, const QImage& slotImage, const SlotPlacement& placement,
                    const Rect& r, QSize reference);
// The three corners a rotated, sheared slot is drawn onto (top-left moved by
// the shear).
RotatedCorners ShearedCorners(const SlotPlacement& placement, const Rect& r);
// The lengths of the sides from the top-left corner to the top-right and to
// the bottom-left one, rounded; a damaged page's corners can lie anywhere in
// the int range, so the lengths are held within it.
QSize CornerSides(const RotatedCorners& corners);
