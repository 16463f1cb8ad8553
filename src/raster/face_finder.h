#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>

// Faces in customer photos, found by dlib's frontal face detector (a HOG
// detector whose model is built into the library). A photo is looked at
// with its longer side at kFaceScanSide pixels, whatever its own size: the
// detector finds faces from about 80 pixels across there, a tenth of the
// photo's longer side, which every portrait and family group has. Faces are
// rectangles in the pixels of the photo as it is shown (upright, after its
// EXIF orientation), at the photo's own size.

constexpr int kFaceScanSide = 800;

// Faces in a picture of the photo (any size, upright) whose own size is
// whole; a null picture has none. scanSide: the longer side the picture is
// looked at with (a larger one finds smaller faces, at four times the work
// for twice the side).
QList<QRect> FindFacesInPicture(const QImage& picture, QSize whole, int scanSide = kFaceScanSide);

// Whether a reduced decode of a photo of the whole size still has the pixels
// the face scan looks at: a decode at most a quarter smaller than the scan
// size (a 24 MP JPEG at an eighth, 750 pixels) is taken as it is.
bool ReducedCoversFaceScan(QSize reduced, QSize whole);

// Faces in the photo file's bytes, decoded reduced for the scan; none when
// the bytes do not decode.
QList<QRect> FindFacesInPhoto(const QByteArray& bytes);
