#pragma once

// The raster toolkit: decoding, the working copy, cropping and encoding,
// shared by the canvas and the batch worker.
// Images the engine makes are QImage::Format_ARGB32_Premultiplied. Every
// operation accepts a null image and then does nothing (or returns null).

#include "raster/rect.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QImageReader;

class QPainter;

// Decodes JPEG, PNG or BMP bytes; null when they do not decode, are cut short,
// are 0 x 0 or too large to allocate. EXIF orientation is applied, and the
// colours are converted to sRGB from an embedded ICC profile. The result is
// RGB32 when the image has no alpha, else ARGB32_Premultiplied (both draw
// fast).
QImage DecodeImage(const QByteArray& bytes);
// No page has more pixels (250 megapixels), so no picture drawn on one needs
// more; a header claiming more is refused before anything is decoded.
constexpr qint64 kMaxDecodePixels = 250000000;
// The size DecodeImage would give (upright), read from the image's header
// without decoding it; invalid where DecodeImage refuses before decoding.
QSize ImageSizeOf(const QByteArray& bytes);
// As DecodeImage, as an editable ARGB32_Premultiplied bitmap (customer photos).
QImage DecodeBitmap(const QByteArray& bytes);
// Tells whether a picture of the reduced size (as shown, upright) still has
// the pixels its user needs; whole is the size of the undivided picture.
using ReducedSizeTest = std::function<bool(QSize reduced, QSize whole)>;
// As DecodeBitmap, but a JPEG is decoded at the largest of the reductions
// 1/8, 1/4 and 1/2 that passes enough (whole when none does): the decoder
// reduces while decoding, at a fraction of the work and memory. Other
// formats are decoded whole.
QImage DecodeBitmapReduced(const QByteArray& bytes, const ReducedSizeTest& enough);
// The part of the reduced picture (as shown, upright) its user needs.
using ReducedRegion = std::function<QRect(QSize reduced)>;
// As DecodeBitmapReduced, but of a JPEG only the rows and block columns that
// hold the region are decoded; *origin is where the picture returned lies in
// the whole (other formats are decoded whole, at 0, 0).
QImage DecodeBitmapRegion(const QByteArray& bytes, const ReducedSizeTest& enough,
                          const ReducedRegion& region, QPoint* origin);
// As DecodeImage, for a template layer (background, overlay) stretched over
// a page of the size given: a picture larger than the page is shrunk while it
// is decoded, never held at a size no drawing of the page uses. A JPEG is
// reduced to the smallest of 1/2, 1/4 and 1/8 that still covers the page;
// another format with more than four times the page's pixels is read
// stretched to the page row by row (refused when its codec cannot). shownSize
// receives the picture's own upright size (0 x 0 when it does not decode).
QImage DecodeLayerForPage(const QByteArray& bytes, QSize page, QSize* shownSize = nullptr);
QImage LoadImageFile(const QString& path);
// The size the picture is shown at (upright, after its EXIF orientation),
// read from its header without decoding it; invalid when it has none.
QSize ShownImageSize(const QByteArray& bytes);
// The same for the picture a reader is set to.
QSize ShownSizeFromHeader(QImageReader& reader);
// The most bytes the pixels of one decoded image may take.
qint64 ImageDecodeLimitBytes();
// Whether a picture stored at size in a file of fileBytes is decoded at all:
// every decode above refuses the others before allocating anything.
bool SizeMayBeDecoded(QSize size, qint64 fileBytes);

// Copy with the longer side 400 pixels: trunc(w / s) x trunc(h / s) with
// s = max(w, h) * 0.0025.
QImage MakeWorkingCopy(const QImage& photo);
// The size MakeWorkingCopy gives a photo of this size (empty for an empty one).
QSize WorkingCopySize(QSize photo);
// The same copy made straight from photo file bytes; JPEG photos are decoded
// at reduced scale instead of whole. Null when the bytes do not decode.
// photoSize, when given, receives the photo's own upright size.
QImage MakeWorkingCopyFromBytes(const QByteArray& bytes, QSize* photoSize = nullptr);
// Whether a photo of the whole size, decoded reduced, still has the pixels
// of its working copy.
bool ReducedCoversWorkingCopy(QSize reduced, QSize whole);
// The working copy from a decode of the photo that passed
// ReducedCoversWorkingCopy (whole: the photo's undivided size).
QImage WorkingCopyFromReduced(const QImage& reduced, QSize whole);

// The largest size with the slot's proportions that fits in sw x sh.
QSize CoverCropSize(const Rect& slot, int sw, int sh);
// Shrinks rect symmetrically to the proportions a : b; returns the inset.
int FitInside(int a, int b, Rect& rect);

// Cuts the part of src that fills the slot. zoom and the offsets are in
// thirtieths of the crop size; values that leave the source are corrected
// and written back.
QImage CropToSlot(const QImage& src, const Rect& slot, int& zoom, int& offsetX, int& offsetY);
// The size of the part of a source of this size that CropToSlot cuts (the
// window before it is stretched to the crop size); empty when nothing fits.
QSize CropWindowSize(QSize source, const Rect& slot, int zoom, int offsetX, int offsetY);
// That window with its place in the source.
QRect CropWindowRect(QSize source, const Rect& slot, int zoom, int offsetX, int offsetY);
// The batch worker's variant: same crop, nothing written back.
QImage CropToSlotByValue(const QImage& src, const Rect& slot, int zoom, int offsetX, int offsetY);
// The same window of the photo as CropToSlotByValue, already averaged down to
// at most drawSize on each side where the crop is larger: a full-resolution
// photo is then mirrored, masked and drawn at page size, not at camera size.
QImage CropToSlotForDrawing(const QImage& src, const Rect& slot, int zoom, int offsetX, int offsetY,
                            QSize drawSize);
// The same from a part of a source of sourceSize lying at origin, which
// holds the window (DecodeBitmapRegion's result); null when it does not.
QImage CropToSlotForDrawing(const QImage& part, QPoint origin, QSize sourceSize, const Rect& slot,
                            int zoom, int offsetX, int offsetY, QSize drawSize);

// JPEG quality 100 with full colour resolution (4:4:4) and the sRGB ICC
// profile, written atomically from the image's own rows. dpi > 0 is stored as the resolution in
// both directions (JFIF header, dots per inch); dpi 0 stores none. False when nothing could be
// written; an existing file then stays as it was.
bool SaveJpeg(const QImage& image, const QString& path, int dpi = 0);
bool SavePng(const QImage& image, const QString& path);
// The image encoded in memory ("jpeg", "png"; quality -1 for the codec's
// default); empty when encoding fails.
QByteArray EncodeImageBytes(const QImage& image, const char* format, int quality = -1);
