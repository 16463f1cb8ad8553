#pragma once

#include <QImage>

// The picture with margin pixels added on every side, each new pixel a copy
// of the nearest edge pixel (corners take the corner pixel): a print lab's
// bleed that leaves the design at its own scale. A 32-bit picture keeps its
// format; others come out RGB32. margin 0 returns the picture itself.
QImage ExtendEdges(const QImage& image, int margin);
