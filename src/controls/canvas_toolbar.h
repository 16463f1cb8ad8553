#pragma once

#include "compose/canvas_operation.h" // kToolbarCellCount

#include <QImage>
#include <QPoint>
#include <QRect>

// The strip of thirteen icons under the canvas. Cell i covers the columns
// 28 * i to 28 * i + 27 of the strip (the last cell is cut to 24 by the
// strip's width) and triggers, in order: nudge left, right, up, down,
// enlarge, shrink, mirror left-right, mirror top-bottom, quarter turn left,
// quarter turn right, small turn anticlockwise, small turn clockwise, reset.
constexpr int kToolbarWidth = 360;
constexpr int kToolbarHeight = 26;
constexpr int kToolbarCellWidth = kToolbarWidth / kToolbarCellCount + 1; // 28
// Rows between the canvas and the strip.
constexpr int kToolbarGap = 5;

// Where the strip's top-left corner goes for a canvas rectangle:
// (canvasRect.left(), canvasRect.bottom() + 1 + kToolbarGap). The canvas
// bottom counts as the first row below the canvas, bottom() + 1 (Qt's
// bottom() is the last row inside), so the strip covers the rows 5 to 30 below
// that edge, bottom() + 6 to bottom() + 31. Painting and hit testing both go
// through this function.
QPoint ToolbarOrigin(const QRect& canvasRect);
// The strip's rectangle, kToolbarWidth x kToolbarHeight at ToolbarOrigin.
QRect ToolbarRect(const QRect& canvasRect);

// The cell 0 .. 12 under a point of the window's client area, or -1 when the
// point is not on the strip. Cells are counted from the canvas's left edge.
int ToolbarCellAt(QPoint clickInClient, QRect canvasRect);

// The strip itself, 360 x 26, drawn afresh on every call (keep the result).
// Between the buttons it is transparent, so the window shows through.
QImage CanvasToolbarBitmap();
