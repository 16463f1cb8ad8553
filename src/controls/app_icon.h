#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>

// The application icon: an album page on the studio's blue, a portrait in
// its large slot and a second photo in the small one. One drawing serves the
// window icon, the PNG sizes of the desktop's icon theme and its SVG.

// The icon at size x size pixels on a transparent ground.
QImage AppIconImage(int size);
// The same drawing as an SVG document (256 x 256 user units).
QByteArray AppIconSvg();
// The icon theme's usual pixel sizes, 16 to 256.
QList<int> AppIconSizes();
// The window icon at each of those sizes.
QIcon AppIcon();
