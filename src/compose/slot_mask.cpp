// Slot masks (grey BMP pictures that become a photo's opacity) and slot
// borders.

#include "compose/slot_drawing.h"

#include "common/byte_io.h"
#include "raster/raster_math.h"

#include <QPainter>
#include <vector>

namespace {

constexpr qsizetype kMaskPixelsAt = 1078; // 14 + 40 + 256 * 4 header bytes

// Sets alpha while keeping the colour. The engine's images hold colour
// premultiplied by alpha, so the colour is taken back to full strength and
// multiplied by the new alpha; the picture then looks exactly like colour
// with a plain alpha channel.
inline QRgb WithAlphaPremultiplied(QRgb pixel, uint alpha) {
    const uint old = qAlpha(pixel);
    if (old == alpha)
        return pixel;
    if (alpha == 0)
        return 0;
    if (old != 255)
        pixel = qUnpremultiply(pixel);
    return qPremultiply((pixel & 0x00FFFFFFu) | (alpha << 24));
}

} // namespace

void ApplySlotMask(QImage& image, const QByteArray& maskBmp) {
    if (image.isNull())
        return;
    ByteReader reader(maskBmp);
    reader.skip(18);
    const int mw = reader.i32();
    const int mh = reader.i32();
    if (!reader.ok() || mw <= 0 || mh <= 0)
        return;
    const qint64 rowBytes = (qint64(mw) + 3) / 4 * 4;
    // A mask whose rows run past its bytes is damaged; the photo stays as it is.
    reader.skip(kMaskPixelsAt - reader.pos());
    const auto* rows = reinterpret_cast<const uchar*>(reader.view(rowBytes * mh));
    if (!rows)
        return;

    const int W = image.width(), H = image.height();
    const float xr = float(mw) / float(W);
    const float yr = float(mh) / float(H);

    // Mask column for each image column; -1 for the transparent ring and for
    // positions outside the mask.
    std::vector<int> column(W, -1);
    for (int j = 1; j < W - 1; ++j) {
        const int c = raster::TruncToInt(float(j) * xr);
        if (c >= 0 && c < mw)
            column[j] = c;
    }

    if (image.format() != QImage::Format_ARGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;

    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        // Mask rows are stored bottom row first; row i of the resampled mask
        // belongs to image row H - 1 - y, so the mask's picture stands upright.
        const int i = H - 1 - y;
        const uchar* maskRow = nullptr;
        if (i != 0 && i != H - 1) {
            const int r = raster::TruncToInt(float(i) * yr);
            if (r >= 0 && r < mh)
                maskRow = rows + qint64(r) * rowBytes;
        }
        for (int x = 0; x < W; ++x) {
            const uint alpha = (maskRow && column[x] >= 0) ? maskRow[column[x]] : 0;
            if (premultiplied)
                line[x] = WithAlphaPremultiplied(line[x], alpha);
            else
                line[x] = (line[x] & 0x00FFFFFFu) | (alpha << 24);
        }
    }
}

int SlotBorderThickness(int refW, int refH) {
    return qMax(qMax(refW, refH) / 600, 1);
}

void PaintSlotFrame(QPainter& painter, int w, int h, int thickness, uint32_t colorRef) {
    const QColor color(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
    const int t = thickness;
    painter.fillRect(0, 0, w, t, color);
    painter.fillRect(0, h - t, w, t, color);
    painter.fillRect(0, 0, t, h, color);
    painter.fillRect(w - t, 0, t, h, color);
}

QImage MakeSlotBorder(int w, int h, int refW, int refH, uint32_t colorRef) {
    if (w <= 0 || h <= 0)
        return {};
    QImage border(w, h, QImage::Format_ARGB32_Premultiplied);
    if (border.isNull())
        return {};
    border.fill(Qt::transparent);
    QPainter painter(&border);
    PaintSlotFrame(painter, w, h, SlotBorderThickness(refW, refH), colorRef);
    return border;
}
