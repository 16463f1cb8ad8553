#pragma once

#include "themes.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QString>

// The opening of one back slot in an overlay, in page pixels: the slot's
// shape as it lands on the page. The overlay is cut open a little inside it,
// so the overlay's edge lies over the photo's edge and no background gap
// shows.
struct OverlayWindow {
    QPainterPath inner; // cut fully transparent
    QPainterPath outer; // a line is drawn round it on a mat
};

// Overlay styles by file name: "mat" (paper covering the page), "frame"
// (a band round the page with corner ornaments), "lace" (a translucent
// scalloped border) and "vignette" (darkened corners, half transparent).
bool IsKnownOverlay(const QString& fileName);
// Draws in page pixels onto an image of image pixels, stretched to it, the
// way DrawBackground does.
QImage DrawOverlay(const QString& fileName, const Theme& theme, QSizeF page, QSize image,
                   const QList<OverlayWindow>& windows);
