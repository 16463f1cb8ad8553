#pragma once

// Copies of a photo at the resolution its slot on the screen shows it at.
// The working copy (400 pixels) stays the unit every offset, zoom and crop
// is kept in; a screen copy only lends the slot more pixels for the same
// crop, so it never changes what the slot shows, only how sharply.

#include "raster/rect.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

// The size of the copy of the photo whose crop window holds as many pixels
// as the slot covers on the screen, the photo's proportions kept; invalid
// when the working copy already has them or the photo has no more.
QSize ScreenCopySize(QSize workingCopy, QSize photo, const Rect& slot, int zoom, int offsetX,
                     int offsetY);
// The photo decoded at the smallest JPEG reduction that covers size and
// averaged down to it; null when the bytes do not decode.
QImage MakeScreenCopy(const QByteArray& bytes, QSize size);
// Tells photo files apart by their content, whatever their path.
quint64 PhotoFingerprint(const QByteArray& bytes);
// The most pixels a screen copy holds: a slot zoomed far into a camera photo
// is shown from a copy of this size, not from the whole photo.
constexpr qint64 kMaxScreenCopyPixels = 16000000;
