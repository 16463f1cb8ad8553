#include "raster/edge_extension.h"

#include <algorithm>
#include <cstring>

QImage ExtendEdges(const QImage& image, int margin) {
    if (image.isNull() || margin <= 0)
        return image;
    const QImage source = image.depth() == 32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    QImage out(w + 2 * margin, h + 2 * margin, source.format());
    if (out.isNull())
        return {};
    for (int y = 0; y < out.height(); ++y) {
        const auto* from = reinterpret_cast<const quint32*>(
            source.constScanLine(std::clamp(y - margin, 0, h - 1)));
        auto* to = reinterpret_cast<quint32*>(out.scanLine(y));
        std::fill(to, to + margin, from[0]);
        std::memcpy(to + margin, from, size_t(w) * 4);
        std::fill(to + margin + w, to + out.width(), from[w - 1]);
    }
    return out;
}
