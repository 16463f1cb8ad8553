// Slot masks (grey BMP pictures that become a photo's opacity) and slot
// borders.

#include "compose/slot_drawing.h"

#include "common/byte_io.h"

#include <QPainter>
#include <algorithm>
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

// The source samples (and their weights, summing to 1) of each of the out
// positions when in positions are resampled to out: bilinear between the two
// nearest centres when enlarged (or kept, one to one, at the same size), the
// average of the covered area when reduced. A mask enlarged by nearest
// neighbour prints its curves as stair steps.
struct Taps {
    std::vector<int> first; // per out position: index into source/weight
    std::vector<int> source;
    std::vector<float> weight;
};

Taps ResampleTaps(int in, int out) {
    Taps t;
    t.first.reserve(size_t(out) + 1);
    const double scale = double(in) / double(out);
    for (int o = 0; o < out; ++o) {
        t.first.push_back(int(t.source.size()));
        if (out >= in) {
            const double centre = std::clamp((o + 0.5) * scale - 0.5, 0.0, double(in - 1));
            const int left = int(centre);
            const double f = centre - left;
            t.source.push_back(left);
            t.weight.push_back(float(1.0 - f));
            if (f > 0 && left + 1 < in) {
                t.source.push_back(left + 1);
                t.weight.push_back(float(f));
            }
        } else {
            const double from = o * scale, to = (o + 1) * scale;
            for (int i = int(from); i < in && i < to; ++i) {
                const double covered = std::min<double>(i + 1, to) - std::max<double>(i, from);
                if (covered <= 0)
                    continue;
                t.source.push_back(i);
                t.weight.push_back(float(covered / scale));
            }
        }
    }
    t.first.push_back(int(t.source.size()));
    return t;
}

// A plane of iw x ih values resampled to ow across its rows.
std::vector<float> AlongRows(const std::vector<float>& in, int iw, int ih, int ow) {
    const Taps taps = ResampleTaps(iw, ow);
    std::vector<float> out(size_t(ow) * size_t(ih));
    for (int r = 0; r < ih; ++r) {
        const float* from = in.data() + size_t(r) * size_t(iw);
        float* to = out.data() + size_t(r) * size_t(ow);
        for (int x = 0; x < ow; ++x) {
            float v = 0;
            for (int k = taps.first[x]; k < taps.first[x + 1]; ++k)
                v += taps.weight[k] * from[taps.source[k]];
            to[x] = v;
        }
    }
    return out;
}

// A plane of iw x ih values resampled to oh down its columns.
std::vector<float> AlongColumns(const std::vector<float>& in, int iw, int ih, int oh) {
    const Taps taps = ResampleTaps(ih, oh);
    std::vector<float> out(size_t(iw) * size_t(oh), 0.0f);
    for (int y = 0; y < oh; ++y) {
        float* to = out.data() + size_t(y) * size_t(iw);
        for (int k = taps.first[y]; k < taps.first[y + 1]; ++k) {
            const float weight = taps.weight[k];
            const float* from = in.data() + size_t(taps.source[k]) * size_t(iw);
            for (int x = 0; x < iw; ++x)
                to[x] += weight * from[x];
        }
    }
    return out;
}

// The mask (mw x mh, rows rowBytes apart, bottom row first) resampled to
// w x h, rows kept bottom first. The pass that leaves the smaller plane in
// between goes first, so a damaged mask of one column and a million rows
// costs no more than its own bytes.
std::vector<uchar> ResampleMask(const uchar* rows, qint64 rowBytes, int mw, int mh, int w, int h) {
    std::vector<float> plane(size_t(mw) * size_t(mh));
    for (int r = 0; r < mh; ++r)
        std::copy(rows + qint64(r) * rowBytes, rows + qint64(r) * rowBytes + mw,
                  plane.begin() + qint64(r) * mw);
    if (qint64(mh) * w <= qint64(mw) * h)
        plane = AlongColumns(AlongRows(plane, mw, mh, w), w, mh, h);
    else
        plane = AlongRows(AlongColumns(plane, mw, mh, h), mw, h, w);
    std::vector<uchar> alpha(plane.size());
    for (size_t i = 0; i < plane.size(); ++i)
        alpha[i] = uchar(std::clamp(int(plane[i] + 0.5f), 0, 255));
    return alpha;
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
    const std::vector<uchar> alpha = ResampleMask(rows, rowBytes, mw, mh, W, H);
    if (image.format() != QImage::Format_ARGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;

    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        // Mask rows are stored bottom row first; the resampled plane is kept
        // the same way, so the mask's picture stands upright on the photo.
        const int i = H - 1 - y;
        const uchar* alphaRow = alpha.data() + qint64(i) * W;
        for (int x = 0; x < W; ++x) {
            // A one-pixel transparent ring keeps the outline clean when the
            // slot is turned or sheared.
            const bool ring = x == 0 || x == W - 1 || i == 0 || i == H - 1;
            const uint a = ring ? 0 : alphaRow[x];
            if (premultiplied)
                line[x] = WithAlphaPremultiplied(line[x], a);
            else
                line[x] = (line[x] & 0x00FFFFFFu) | (a << 24);
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
