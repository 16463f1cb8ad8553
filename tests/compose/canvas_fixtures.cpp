#include "canvas_fixtures.h"

#include "common/byte_io.h"

#include <QPainter>

QImage SolidImage(int w, int h, const QColor& color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QByteArray SolidPng(int w, int h, const QColor& color) {
    return EncodeImage(SolidImage(w, h, color), "PNG");
}

QByteArray SolidJpeg(int w, int h, const QColor& color) {
    return EncodeImage(SolidImage(w, h, color).convertToFormat(QImage::Format_RGB32), "JPEG");
}

QByteArray BandOverlayPng(int w, int h, int bandTop, int bandBottom, const QColor& color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(0, bandTop, w, bandBottom - bandTop, color);
    p.end();
    return EncodeImage(image, "PNG");
}

QByteArray GreyMaskBmp(int w, int h, int (*grey)(int x, int y)) {
    const int rowSize = (w + 3) / 4 * 4;
    const int pixelBytes = rowSize * h;
    ByteWriter b;
    b.u8('B');
    b.u8('M');
    b.u32(static_cast<uint32_t>(1078 + pixelBytes));
    b.u32(0);
    b.u32(1078);
    b.u32(40);
    b.i32(w);
    b.i32(h);
    b.u16(1);
    b.u16(8);
    b.u32(0);
    b.u32(static_cast<uint32_t>(pixelBytes));
    b.i32(2835);
    b.i32(2835);
    b.u32(256);
    b.u32(0);
    for (int i = 0; i < 256; ++i) {
        b.u8(static_cast<uint8_t>(i));
        b.u8(static_cast<uint8_t>(i));
        b.u8(static_cast<uint8_t>(i));
        b.u8(0);
    }
    for (int row = h - 1; row >= 0; --row) { // bottom row first
        for (int x = 0; x < w; ++x)
            b.u8(static_cast<uint8_t>(grey(x, row)));
        b.zeros(rowSize - w);
    }
    return b.take();
}

TemplateBody MakeTemplate(const QList<TemplateRect>& rects, const QColor& background,
                          const QColor& preview, const QByteArray& overlay) {
    TemplateBody body;
    if (preview.isValid())
        body.preview = SolidPng(400, 300, preview);
    body.width = 3000;
    body.height = 2250;
    body.overlay = overlay;
    body.background = SolidPng(400, 300, background);
    body.rects = rects;
    return body;
}

QString WriteFile(const TestFolder& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.file(name);
    WriteBytes(path, bytes);
    return path;
}

QRgb Pixel(const CComposeCanvas& canvas, int x, int y) {
    return canvas.backBuffer().pixel(x, y);
}
