#pragma once

// Reading what print programs read from a JPEG's own headers, parsed here
// without any codec, and making photos in another colour space.

#include <QByteArray>
#include <QList>
#include <QRgb>

struct JpegHeaders {
    bool jfif = false; // APP0 JFIF: density units, x and y density
    int units = -1, xDensity = -1, yDensity = -1;
    bool baseline = false; // SOF0: size and each component's sampling
    int width = -1, height = -1;
    QList<int> sampling; // high nibble horizontal, low vertical
    QByteArray icc;      // the APP2 ICC_PROFILE chunks joined in order
    // The libjpeg quality (1 to 100) whose scaled standard table is the
    // brightness table of the file; -1 when none is.
    int quality = -1;
};
JpegHeaders ReadJpegHeaders(const QByteArray& jpeg);

// A w x h photo whose every pixel is stored as the Adobe RGB value given,
// with the Adobe RGB profile embedded, as a camera set to Adobe RGB writes
// it (Qt's own JPEG writer, quality 100).
QByteArray AdobeRgbJpeg(int w, int h, QRgb stored);
