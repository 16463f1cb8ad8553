#include "templates/mask_bmp.h"

#include "common/byte_io.h"

namespace {

uint8_t MaskValue(QRgb pixel) {
    // Non-premultiplied pixel: composite over black, then grey.
    const int grey = qGray(pixel);
    return static_cast<uint8_t>((grey * qAlpha(pixel) + 127) / 255);
}

} // namespace

QByteArray EncodeMaskBmp(const QImage& image) {
    if (image.isNull())
        return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const int rowSize = (width + 3) / 4 * 4;
    const uint32_t pixelBytes = static_cast<uint32_t>(rowSize) * static_cast<uint32_t>(height);

    ByteWriter w;
    // BITMAPFILEHEADER
    w.u8('B');
    w.u8('M');
    w.u32(kMaskBmpHeaderSize + pixelBytes);
    w.u16(0);
    w.u16(0);
    w.u32(kMaskBmpHeaderSize);
    // BITMAPINFOHEADER; a positive height means bottom-up rows.
    w.u32(40);
    w.i32(width);
    w.i32(height);
    w.u16(1); // planes
    w.u16(8); // bits per pixel
    w.u32(0); // no compression
    w.u32(pixelBytes);
    w.i32(2835); // 72 dpi in pixels per metre
    w.i32(2835);
    w.u32(256); // palette entries
    w.u32(0);   // all important
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        w.u8(v);
        w.u8(v);
        w.u8(v);
        w.u8(0);
    }
    QByteArray row(rowSize, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = static_cast<char>(MaskValue(line[x]));
        w.bytes(row);
    }
    return w.take();
}
