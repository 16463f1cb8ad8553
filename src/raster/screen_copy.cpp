#include "raster/screen_copy.h"

#include "raster/raster.h"

#include <QHashFunctions>
#include <QRect>
#include <algorithm>
#include <cmath>

namespace {
// A copy less than this much larger than the working copy shows nothing
// sharper; the slot keeps drawing the working copy's crop.
constexpr double kWorthwhileGain = 1.1;
} // namespace

QSize ScreenCopySize(QSize workingCopy, QSize photo, const Rect& slot, int zoom, int offsetX,
                     int offsetY) {
    if (workingCopy.isEmpty() || photo.isEmpty() || slot.width() <= 0 || slot.height() <= 0)
        return {};
    const QRect window = CropWindowRect(workingCopy, slot, zoom, offsetX, offsetY);
    if (window.isEmpty())
        return {};
    const double need =
        std::max(double(slot.width()) / window.width(), double(slot.height()) / window.height());
    if (need < kWorthwhileGain)
        return {};
    const double longSide = std::max(photo.width(), photo.height());
    double k = std::min(1.0, need * std::max(workingCopy.width(), workingCopy.height()) / longSide);
    const double pixels = double(photo.width()) * photo.height();
    if (pixels * k * k > double(kMaxScreenCopyPixels))
        k = std::sqrt(double(kMaxScreenCopyPixels) / pixels);
    const QSize size(std::min(photo.width(), int(std::ceil(photo.width() * k))),
                     std::min(photo.height(), int(std::ceil(photo.height() * k))));
    if (size.width() < workingCopy.width() * kWorthwhileGain)
        return {};
    return size;
}

QImage MakeScreenCopy(const QByteArray& bytes, QSize size) {
    if (size.isEmpty())
        return {};
    QImage photo = DecodeBitmapReduced(bytes, [size](QSize reduced, QSize) {
        return reduced.width() >= size.width() && reduced.height() >= size.height();
    });
    if (photo.isNull() || photo.size() == size)
        return photo;
    // Never enlarged: a photo smaller than asked for is all there is.
    return photo.scaled(size.boundedTo(photo.size()), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

quint64 PhotoFingerprint(const QByteArray& bytes) {
    static_assert(sizeof(size_t) == 8, "a 64-bit hash tells photos apart");
    return quint64(qHashBits(bytes.constData(), size_t(bytes.size()), 0x9e3779b9u)) ^
           quint64(bytes.size());
}
