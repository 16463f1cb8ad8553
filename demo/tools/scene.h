#pragma once

#include <QImage>
#include <QSize>

// The demo's stand-in photographs: an outdoor or studio scene with people
// standing upright in it (a couple, a bride, a child, a family, ...), so a
// photo's orientation and crop can be seen at a glance.
constexpr int kSceneCount = 6;

// Draws scene variant (0 .. kSceneCount - 1) over the whole image. Variants
// 0 to 3 have the sun in the upper right, centred a fifth of the way down
// and a fifth in from the right, so an upright photo can be told from a
// turned one.
void DrawScene(QImage& image, int variant);
QImage MakeScene(QSize size, int variant);
