#pragma once

// A JPEG with an EXIF block as cameras write it, for the tests and the
// photo list's benchmark.

#include <QByteArray>

// jpeg with an APP1 EXIF block (TIFF in little-endian order) right after its
// start: IFD0 with the orientation (1 to 8), IFD1 naming the JPEG thumbnail
// when one is given.
QByteArray WithExifBlock(const QByteArray& jpeg, int orientation, const QByteArray& thumbnail);
