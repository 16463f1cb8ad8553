#pragma once

// The small picture a camera stores in a JPEG's EXIF block, so that a list
// of a whole shoot shows each photo without decoding it. Only the segments
// before the picture data are read (a few kilobytes of a file of megabytes),
// each read bounded, never the whole file.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// What a JPEG file's first segments tell.
struct JpegHead {
    QSize stored;         // the frame as stored (SOF)
    int orientation = 1;  // EXIF orientation, 1 to 8
    QByteArray thumbnail; // the JPEG thumbnail of EXIF IFD1, empty when none
    QByteArray icc;       // the embedded ICC profile, empty when none
    qint64 fileBytes = 0;
    // The file ends with the end-of-image marker: not cut short (a file with
    // other bytes after its end is not taken as whole here).
    bool ends = false;
    // The size the photo is shown at, upright.
    QSize shownSize() const;
};

// Reads the segments of the JPEG at path up to its frame header: at most 64
// segments within its first megabyte, none larger than a segment can be
// (64 KB), plus its last two bytes. None for anything but a regular file
// that starts as a JPEG and has a frame header there.
std::optional<JpegHead> ReadJpegHead(const QString& path);

// The orientation (1 to 8; 1 when absent) and the IFD1 JPEG thumbnail of
// an APP1 EXIF block ("Exif\0\0" and a TIFF structure of either byte order).
// Every offset is checked against the block.
struct ExifFields {
    int orientation = 1;
    QByteArray thumbnail;
};
ExifFields ParseExifBlock(const QByteArray& app1);

// Turns a decoded picture upright as EXIF orientation 1 to 8 says: mirror
// and flip first, then a quarter turn clockwise.
QImage TurnUpright(QImage image, int orientation);

// Whether a picture of size a shows a photo of size b undistorted: their
// proportions agree within 3 %, or within a pixel of rounding either side.
bool SameProportions(QSize a, QSize b);

// Where the photo lies in its embedded thumbnail (upright) of a photo shown
// at shown: the whole thumbnail when their proportions agree (within 3 %, or
// a pixel of rounding); the centred band of the photo's proportions when
// the camera filled the rest with black bars (their seam left out); empty
// when the rest holds picture, as in a thumbnail cut from the photo or
// stretched to another shape, which would mislead.
QRect PhotoInThumbnail(const QImage& thumbnail, QSize shown);

// The embedded thumbnail decoded, turned upright, its colours converted to
// sRGB by the photo's profile and cut to the photo (PhotoInThumbnail). Null
// when there is none, it does not decode, it does not show the photo as it
// is, it is smaller than need (as shown) on either side, or the file is cut
// short or claims more pixels than may be decoded.
QImage UprightExifThumbnail(const JpegHead& head, QSize need);
