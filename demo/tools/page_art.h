#pragma once

#include "page_description.h"

#include <QSize>
#include <QString>

// How finely a page's images are drawn, in pixels to the centimetre of the
// page. The hand-written pages are printed: their background and overlay are
// drawn so that a 300 dpi print enlarges them by at most 1.25 in either
// direction, and their masks at half a 300 dpi slot's pixels (the studio
// enlarges masks smoothly, and their shapes have no fine detail). The many
// generated sets keep a draft resolution that keeps the library small.
struct ArtResolution {
    double layerPixelsPerCm; // background and overlay, before the 4:3 stretch
    double maskPixelsPerCm;  // a mask has its slot's size on such a page
    int previewLongSide;     // longer side of the preview image
};
constexpr double kPrintPixelsPerCm = 300 / 2.54;
constexpr double kMostLayerEnlargement = 1.25;
constexpr ArtResolution kPrintArt{kPrintPixelsPerCm / kMostLayerEnlargement, kPrintPixelsPerCm / 2,
                                  800};
constexpr ArtResolution kDraftArt{16.0, 8.0, 400};

// Rounded up, so the page is never drawn coarser than asked.
QSize PagePixelSize(const PageDescription& page, double pixelsPerCm);

// The size the background and overlay images are stored at. The canvas lays
// the 1000 x 750 slot grid over its composition area, which is three
// quarters as high as it is wide, and scales the slots to the page by how
// much the page's proportions differ from the background's. So the layers
// are kept at the composition area's 4:3 proportions, whatever the page's
// own, and the studio stretches them over the page; the size is chosen so
// that neither direction has fewer pixels than the page drawing.
QSize StoredLayerSize(QSize pagePixels);

// Draws every image the JSON file names (background, overlay, masks,
// preview) into folder. sceneSeed picks the stand-in photos of the preview.
bool DrawPageArt(const PageDescription& page, const QString& folder, int sceneSeed,
                 const ArtResolution& resolution, QString& error);
