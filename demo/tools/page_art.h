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

// Draws every image the description names (background, overlay, masks,
// preview) into folder. sceneSeed picks the stand-in photos of the preview.
bool DrawPageArt(const PageDescription& page, const QString& folder, int sceneSeed, QString& error);
