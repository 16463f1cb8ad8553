#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>

// The 75 x 85 cells of the icon lists (template pages, customer photos,
// finished pages). A cell is RGB: a one-pixel silver frame around a white
// ground, with the picture fitted inside and centred across its shorter
// extent. The picture is drawn last, so where it spans the whole width (or
// height) it covers the frame on those sides.

constexpr int kThumbnailWidth = 75;
constexpr int kThumbnailHeight = 85;
constexpr QRgb kThumbnailFrame = 0xFFC0C0C0;

// Where the lists take the picture of an entry from.
enum class ThumbnailSource {
    TemplatePreview, // the preview image at the front of a template package
    ImageFile,       // the file itself (finished pages)
    CustomerPhoto,   // the thumbnail cache, the file's EXIF thumbnail or the
                     // file itself; what putting it into a slot needs is
                     // made apart (PrepareForCanvas)
};

// The rectangle a picture of this size takes inside the cell. With
// r = height / width in single precision: taller than 85 / 75 (r above
// 1.1333333) gives trunc(85 / r) x 85 at x (75 - width) / 2; anything else
// gives 75 x trunc(r * 75) at y (85 - height) / 2 (integer division). Empty
// for a picture without width; a sliver may come out 0 pixels across.
QRect ThumbnailPlacement(QSize picture);

// The cell with picture drawn into ThumbnailPlacement(picture.size()). A
// null picture gives the blank cell: frame and white ground only.
QImage DrawThumbnailCell(const QImage& picture);

// The cell of one list entry. Photos are decoded at reduced scale (the JPEG
// decoder shrinks while decoding) straight to the size they take in the
// cell, upright as their EXIF orientation says; a template package gives
// its preview image. A file that is missing, cannot be decoded or claims
// more pixels than the decoding limit gives the blank cell. A customer photo
// is taken from the shared thumbnail cache (ThumbnailCacheFolder) or from
// the thumbnail its camera embedded (UprightExifThumbnail) where one shows
// it as it is, and kept in that cache; only a photo without either is
// decoded, and then no smaller than its working copy, which is kept too,
// as long as copyRoom (bytes of copies a list may still make this way;
// none: no bound) is above 0. It is lowered by each copy kept.
QImage MakeThumbnailCell(const QString& path, ThumbnailSource source,
                         std::atomic<qint64>* copyRoom = nullptr);
