#pragma once

#include "page_description.h"

#include <QSize>
#include <QString>

// How finely a page's images are drawn. The hand-written pages are drawn at
// 40 pixels to the centimetre, enough for the canvas and thumbnails; the many
// generated sets at a draft resolution that keeps the library small.
struct ArtResolution {
    double pixelsPerCm = 40.0;
    int previewLongSide = 800; // longer side of the preview image
    int maskLongSide = 400;    // longer side of a mask image
};
constexpr ArtResolution kDraftArt{16.0, 400, 160};

QSize PagePixelSize(const PageDescription& page, double pixelsPerCm);

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
bool DrawPageArt(const PageDescription& page, const QString& folder, int sceneSeed,
                 const ArtResolution& resolution, QString& error);
