#pragma once

// JPEG decoding and encoding straight through libjpeg-turbo: rows are read
// into and written from QImage scan lines in the 32-bit layout the pages are
// drawn in, so no whole-picture conversion or copy is ever made.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>

// The most scans a JPEG may have. Ordinary progressive files have about ten;
// every scan is a pass over the whole picture, so a file repeating a tiny
// scan thousands of times would keep the decoder busy for minutes.
constexpr int kMaxJpegScans = 300;

// A JPEG whose header has been read. Every call fails (null image, false)
// once the file has proved bad; the decoder refuses it as soon as it meets
// anything wrong, or more scans or coefficient work than a real photo has.
class JpegDecoder {
public:
    explicit JpegDecoder(const QByteArray& bytes);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    bool ok() const;
    // The stored size, and the size shown once the EXIF orientation turns it.
    QSize storedSize() const;
    QSize shownSize() const;
    // EXIF orientation 1 to 8 (1 when the file has none).
    int orientation() const;
    // The shown size a decode reduced by 1/denominator (1, 2, 4 or 8) gives.
    QSize shownSizeAt(int denominator) const;
    // The embedded ICC profile (APP2 markers joined), empty when there is none.
    QByteArray iccProfile() const;
    // The resolution the file states in dots per inch (JFIF density in dots
    // per inch or per centimetre); 0 when it states none.
    int dotsPerInch() const;

    // Decodes once, reduced by 1/denominator, upright. format is Format_RGB32,
    // Format_ARGB32 or Format_ARGB32_Premultiplied (opaque pixels: the same
    // bytes). maxBytes bounds the pixels and the decoder's own memory.
    // With a region (upright, in the reduced picture's pixels) only the rows
    // and block columns that hold it are decoded: the picture returned
    // covers the region and lies at *origin of the whole.
    QImage decode(int denominator, QImage::Format format, qint64 maxBytes,
                  const QRect& region = QRect(), QPoint* origin = nullptr);

    struct State;

private:
    std::unique_ptr<State> state_;
};

// Rows of MCUs in each band a tall page is split into to be encoded on all
// cores: a multiple of eight (see jpeg_band_join.h). 32 rows of MCUs are 256
// rows of pixels at full colour resolution, so a print page gives each core
// several bands and each band's file is a few megabytes at most.
constexpr int kJpegBandMcuRows = 32;

// How a page is written: dpi > 0 goes into the JFIF header as dots per inch
// in both directions, dpi 0 writes no resolution (units 0, aspect 1:1);
// quality 1 to 100; full colour resolution (4:4:4) unless the chroma is
// halved both ways (4:2:0); the ICC profile, when given, as APP2 markers.
// Every row of MCUs (8 rows of pixels, 16 with halved chroma) ends with a
// restart marker. A page taller than one band of bandMcuRows rows of MCUs
// (rounded up to a multiple of eight) is encoded in such bands on all cores;
// 0 encodes it in one pass. Both give the same bytes.
struct JpegPageOptions {
    int dpi = 0;
    int quality = 100;
    bool halfChroma = false;
    QByteArray iccProfile;
    int bandMcuRows = kJpegBandMcuRows;
};

// Encodes a page as JPEG. 32-bit images are read in place; other formats are
// converted first. Empty on failure.
QByteArray EncodeJpegPage(const QImage& image, const JpegPageOptions& options);
