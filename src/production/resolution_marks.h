#pragma once

#include "raster/rect.h"
#include "records/resolution_threshold.h"

#include <QRect>
#include <QRgb>

class CComposeCanvas;
class QPainter;

// The warning mark of a slot whose photo would print soft: a small disc in
// the slot's top-right corner, amber below the threshold, red below its
// second level. Painted over the canvas on screen only; it never enters the
// back buffer, so no saved page or preview carries it.
constexpr QRgb kSoftMarkColor = 0xFFFFB000;
constexpr QRgb kLowMarkColor = 0xFFE00000;

// Where the mark of a slot with rectangle slot goes in the canvas window
// (displayArea: where the page is shown in it).
QRect ResolutionMarkRect(const Rect& slot, const Rect& displayArea);

// Paints the marks of every slot below the threshold at the page's current
// resolution setting, in the canvas window's coordinates.
void PaintResolutionMarks(QPainter& painter, const CComposeCanvas& canvas, int dpi,
                          const ResolutionThreshold& threshold);
