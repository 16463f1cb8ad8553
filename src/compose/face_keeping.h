#pragma once

#include "raster/rect.h"

#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>

// Where a photo's cover crop sits in a slot so that the faces in it stay in
// view: the crop is only moved, by the slot's ordinary offsets, never zoomed,
// so a page placed this way is stored, reopened and printed like one the
// operator nudged by hand.

struct CropOffsets {
    int x = 0; // thirtieths of the crop width
    int y = 0; // thirtieths of the crop height
    bool operator==(const CropOffsets& o) const { return x == o.x && y == o.y; }
};

// The faces of a photo of size whole, in the pixels of a copy of it of size
// copy (the working copy the crop is cut from).
QList<QRectF> FacesInCopy(const QList<QRect>& faces, QSize whole, QSize copy);

// The offsets that put the faces, each with room of half its height above
// and a quarter below, inside the crop CropToSlot cuts from a source of this
// size for the slot at this zoom, and their middle as near the crop's middle
// as the source allows. When they cannot all be in view, the largest face
// and the faces nearest to it that still fit together are. Without faces
// the centred crop (0, 0).
CropOffsets FaceKeepingOffsets(QSize source, const Rect& slot, int zoom,
                               const QList<QRectF>& faces);
