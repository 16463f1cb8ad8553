#pragma once

#include "page_description.h"

#include <QSize>
#include <QString>

// Drawing resolution of the demo art: 40 pixels to the centimetre, enough
// for the canvas and thumbnails while keeping the library small.
constexpr double kPixelsPerCm = 40.0;
// Longer side of a page's preview image.
constexpr int kPreviewLongSide = 800;

QSize PagePixelSize(const PageDescription& page);

// The size the background and overlay images are stored at. The canvas lays
// the 1000 x 750 slot grid over its composition area, which is three
// quarters as high as it is wide, and scales the slots to the page by how
// much the page's proportions differ from the background's. So the layers
// are kept at the composition area's 4:3 proportions, whatever the page's
// own, and the studio stretches them over the page; the size is chosen so
// that neither direction loses resolution against the page drawing.
QSize StoredLayerSize(QSize pagePixels);

// Draws every image the JSON file names (background, overlay, masks,
// preview) into folder. sceneSeed picks the stand-in photos of the preview.
bool DrawPageArt(const PageDescription& page, const QString& folder, int sceneSeed, QString& error);
