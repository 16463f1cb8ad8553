#pragma once

#include <QByteArray>
#include <QImage>

// Slot masks are stored as complete 8-bit grey BMP files: 14-byte file
// header, 40-byte info header, a 256-entry grey palette (pixel rows start at
// byte 1078), bottom-up rows each padded to a multiple of 4 bytes. The pixel
// value is the slot's opacity.
constexpr int kMaskBmpHeaderSize = 1078;

// The mask BMP of image at its own size. Each pixel's grey value is taken as
// the image shows over black: an opaque grey picture keeps its grey, and a
// picture drawn with transparency is opaque only where it is drawn. Empty
// for a null image.
QByteArray EncodeMaskBmp(const QImage& image);
