#pragma once

#include <QImage>
#include <QSize>

// The demo's stand-in photographs: an outdoor or studio scene with people
// standing upright in it (a couple, a bride, a child, a family, ...), so a
// photo's orientation and crop can be seen at a glance.
constexpr int kSceneCount = 6;

// Draws scene variant (0 .. kSceneCount - 1) over the whole image. With
// corner marks the four corners carry distinct squares, red at the top left,
// then green, blue and yellow clockwise, so mirrors and crops show too.
void DrawScene(QImage& image, int variant, bool cornerMarks);
QImage MakeScene(QSize size, int variant, bool cornerMarks);
